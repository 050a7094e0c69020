// diff: the differences of two files of one type, or of two disc folders file by file, as
// JSON pointers into the dumps with both values.

#include <algorithm>
#include <cctype>
#include <iostream>
#include <map>
#include <optional>

#include <nlohmann/json.hpp>

#include "cli/CliCommon.h"
#include "cli/FileFormats.h"
#include "cli/Subcommands.h"
#include "io/FileIO.h"
#include "shell/DiscFolder.h"
#include "json/JsonDiff.h"

namespace corvane::cli {

namespace {

using nlohmann::ordered_json;

// One line of the text form holds a value up to this many bytes.
constexpr std::size_t MaxValueText = 72;

// The compact JSON of a value, cut short (at a character boundary) when long.
std::string valueText(const ordered_json& value) {
    std::string text = value.dump(-1, ' ', false, ordered_json::error_handler_t::replace);
    if (text.size() <= MaxValueText) return text;
    std::size_t cut = MaxValueText - 12;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
    return text.substr(0, cut) + "... (" + std::to_string(text.size()) + " bytes)";
}

struct FileDifference {
    std::string file;
    json::JsonDifference difference;
};

// Differences of two disc folders, and of two files with `file` as their name.
class DiffRun {
public:
    DiffRun(bool quiet, int& result) : m_quiet(quiet), m_result(result) {}

    // Byte arrays in full: a change of kept bytes is a difference too.
    std::optional<ordered_json> load(const std::string& path, std::string_view& type) {
        LoadedFile loaded = loadFile(path, false, m_quiet, false, m_result);
        if (!loaded.ok) return std::nullopt;
        type = loaded.type;
        return std::move(loaded.json);
    }

    void files(const std::string& file, const std::string& a, const std::string& b) {
        std::string_view typeA;
        std::string_view typeB;
        const auto jsonA = load(a, typeA);
        const auto jsonB = load(b, typeB);
        if (!jsonA || !jsonB) return;
        if (typeA != typeB) {
            printError(b, "not the same type of file as " + a);
            m_result = Rejected;
            return;
        }
        for (auto& difference : json::diffJson(*jsonA, *jsonB))
            differences.push_back({file, std::move(difference)});
    }

    // A file of one folder only: one difference for the whole file.
    void single(const std::string& file, const std::string& path, json::DiffKind kind) {
        std::string_view type;
        auto loaded = load(path, type);
        if (!loaded) return;
        json::JsonDifference difference{"", kind, {}, {}};
        (kind == json::DiffKind::Added ? difference.newValue : difference.oldValue) = std::move(*loaded);
        differences.push_back({file, std::move(difference)});
    }

    std::vector<FileDifference> differences;

private:
    bool m_quiet;
    int& m_result;
};

std::string lower(std::string text) {
    for (auto& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// The navigation files of a BDMV folder by their lower-case relative names, in the order a
// disc is read: index, MovieObject, playlists, clips, BD-J objects, sound.
std::vector<std::pair<std::string, std::string>> discFiles(const std::string& bdmv) {
    struct Place {
        const char* folder;
        std::vector<std::string> endings; // lower case; a whole name for the files of the top folder
        bool wholeName;
    };
    const Place places[] = {{"", {"index.bdmv", "movieobject.bdmv"}, true},
                            {"PLAYLIST", {".mpls", ".mpl"}, false},
                            {"CLIPINF", {".clpi", ".clp"}, false},
                            {"BDJO", {".bdjo"}, false},
                            {"AUXDATA", {"sound.bdmv"}, true}};
    std::vector<std::pair<std::string, std::string>> out; // key, relative name
    for (const Place& place : places) {
        const std::string prefix = *place.folder ? std::string(place.folder) + "/" : std::string();
        std::string folder = bdmv + place.folder;
        if (*place.folder) folder += pathSeparator();
        std::vector<std::pair<std::string, std::string>> found;
        for (const std::string& name : listFiles(folder, "")) {
            const std::string key = lower(name);
            const bool wanted =
                std::any_of(place.endings.begin(), place.endings.end(), [&](const std::string& ending) {
                    if (place.wholeName) return key == ending;
                    return key.size() > ending.size() &&
                           key.compare(key.size() - ending.size(), ending.size(), ending) == 0;
                });
            if (wanted) found.emplace_back(lower(prefix) + key, prefix + name);
        }
        std::sort(found.begin(), found.end());
        out.insert(out.end(), found.begin(), found.end());
    }
    return out;
}

void diffFolders(DiffRun& run, const std::string& a, const std::string& b) {
    const std::string bdmvA = bdmvFolderFromChosen(a);
    const std::string bdmvB = bdmvFolderFromChosen(b);
    const auto filesA = discFiles(bdmvA);
    const auto filesB = discFiles(bdmvB);
    const std::map<std::string, std::string> byKeyB(filesB.begin(), filesB.end());
    std::map<std::string, bool> inA;
    for (const auto& [key, name] : filesA) {
        inA[key] = true;
        auto other = byKeyB.find(key);
        if (other == byKeyB.end())
            run.single(name, bdmvA + name, json::DiffKind::Removed);
        else
            run.files(name, bdmvA + name, bdmvB + other->second);
    }
    for (const auto& [key, name] : filesB)
        if (!inA.count(key)) run.single(name, bdmvB + name, json::DiffKind::Added);
}

void printText(const std::vector<FileDifference>& differences, bool folders) {
    for (const auto& [file, difference] : differences) {
        std::string where = folders ? file : std::string();
        if (!difference.pointer.empty()) where += (where.empty() ? "" : " ") + difference.pointer;
        std::cout << where << ": ";
        switch (difference.kind) {
        case json::DiffKind::Changed:
            std::cout << valueText(difference.oldValue) << " -> " << valueText(difference.newValue);
            break;
        case json::DiffKind::Added:
            std::cout << "added";
            if (!difference.pointer.empty()) std::cout << ' ' << valueText(difference.newValue);
            break;
        case json::DiffKind::Removed:
            std::cout << "removed";
            if (!difference.pointer.empty()) std::cout << ' ' << valueText(difference.oldValue);
            break;
        }
        std::cout << '\n';
    }
}

void printJson(const std::vector<FileDifference>& differences) {
    ordered_json out = ordered_json::array();
    for (const auto& [file, difference] : differences)
        out.push_back({{"file", file},
                       {"pointer", difference.pointer},
                       {"kind", json::diffKindName(difference.kind)},
                       {"old", difference.oldValue},
                       {"new", difference.newValue}});
    std::cout << out.dump(2, ' ', false, ordered_json::error_handler_t::replace) << '\n';
}

} // namespace

void addDiffCommand(CLI::App& app, int& result) {
    auto* cmd = app.add_subcommand(
        "diff", "The differences of two files of one type or two disc folders, field by field");
    auto first = std::make_shared<std::string>();
    auto second = std::make_shared<std::string>();
    auto json = std::make_shared<bool>(false);
    cmd->add_option("A", *first, "A file dump reads, or a BDMV folder or the folder that holds it")
        ->required();
    cmd->add_option("B", *second, "A file of the same type, or a second disc folder")->required();
    cmd->add_flag("--json", *json, "A JSON array of {file, pointer, kind, old, new} instead of lines");
    auto quiet = addQuietFlag(cmd);
    cmd->callback([&result, first, second, json, quiet] {
        const bool folderA = directoryExists(*first);
        const bool folderB = directoryExists(*second);
        if (folderA != folderB) {
            printError(folderA ? *second : *first, "a file cannot be compared with a folder");
            result = Rejected;
            return;
        }
        DiffRun run(*quiet, result);
        if (folderA) {
            for (const std::string* disc : {first.get(), second.get()})
                if (!directoryExists(bdmvFolderFromChosen(*disc))) {
                    printError(*disc, "no BDMV folder");
                    result = Rejected;
                    return;
                }
            diffFolders(run, *first, *second);
        } else {
            const std::string name = *first;
            run.files(name.substr(name.find_last_of("/\\") + 1), *first, *second);
        }
        if (*json)
            printJson(run.differences);
        else
            printText(run.differences, folderA);
        if (!run.differences.empty()) result = Rejected;
    });
}

} // namespace corvane::cli
