// info: the disc report, as aligned tables or as one JSON object.

#include <iostream>

#include <nlohmann/json.hpp>

#include "cli/CliCommon.h"
#include "cli/Subcommands.h"
#include "cli/TextTable.h"
#include "disc/DiscReport.h"
#include "io/FileIO.h"
#include "io/TextUtil.h"
#include "playlist/PlayListNames.h"
#include "shell/DiscFolder.h"

namespace corvane::cli {

namespace {

using nlohmann::ordered_json;

ordered_json timeJson(std::uint64_t ticks) {
    return {{"ticks45k", ticks}, {"seconds", static_cast<double>(ticks) / 45000.0}};
}

std::string pidHex(std::uint16_t pid) {
    return "0x" + hexText(pid, 4);
}

std::string readText(const DiscFileRead& read) {
    switch (read.status) {
    case ReadStatus::Ok:
        return "ok";
    case ReadStatus::Damaged:
        return "damaged";
    case ReadStatus::FileError:
        return "unreadable";
    default:
        return "refused";
    }
}

std::string sizeText(std::int64_t size) {
    return size < 0 ? "missing" : std::to_string(size);
}

ordered_json sizeJson(std::int64_t size) {
    return size < 0 ? ordered_json(nullptr) : ordered_json(size);
}

ordered_json reportJson(const DiscReport& report) {
    ordered_json out;
    out["index"] = readText(report.indexRead);
    out["movie_objects"] = readText(report.mobjRead);
    ordered_json titles = ordered_json::array();
    for (const TitleReport& t : report.titles) {
        ordered_json title = {{"title", t.label}, {"object_type", t.object_type}};
        title["object"] = t.object >= 0 ? ordered_json(t.object) : ordered_json(nullptr);
        title["bdjo"] = t.bdjo.empty() ? ordered_json(nullptr) : ordered_json(t.bdjo + ".bdjo");
        ordered_json lists = ordered_json::array();
        for (const std::string& name : t.playlists) lists.push_back(name + ".mpls");
        title["playlists"] = lists;
        titles.push_back(title);
    }
    out["titles"] = titles;
    ordered_json playlists = ordered_json::array();
    for (const PlayListReport& p : report.playlists) {
        ordered_json playlist = {{"name", p.name + ".mpls"}, {"read", readText(p.read)}};
        if (!p.read.message.empty()) playlist["message"] = p.read.message;
        playlist["duration"] = timeJson(p.duration);
        ordered_json clips = ordered_json::array(), items = ordered_json::array();
        for (const PlayItemReport& item : p.items) {
            clips.push_back(item.clip);
            items.push_back({{"clip", item.clip},
                             {"in", timeJson(item.IN_time)},
                             {"out", timeJson(item.OUT_time)},
                             {"angle_clips", item.angleClips}});
        }
        playlist["clips"] = clips;
        playlist["playitems"] = items;
        playlist["angles"] = p.angles;
        ordered_json chapters = ordered_json::array();
        for (const ChapterReport& c : p.chapters)
            chapters.push_back(
                {{"start", timeJson(c.start)}, {"length", timeJson(c.length)}, {"playitem", c.playItem}});
        playlist["chapters"] = chapters;
        ordered_json streams = ordered_json::array();
        for (const StreamReport& s : p.streams)
            streams.push_back({{"type", s.type},
                               {"number", s.number},
                               {"pid", s.pid},
                               {"pid_hex", pidHex(s.pid)},
                               {"coding", s.codingName},
                               {"coding_type", s.coding},
                               {"format", s.format},
                               {"rate", s.rate},
                               {"language", s.language},
                               {"language_name", s.languageName}});
        playlist["streams"] = streams;
        ordered_json subPaths = ordered_json::array();
        for (const SubPathReport& s : p.subPaths) subPaths.push_back({{"type", s.type}, {"clips", s.clips}});
        playlist["subpaths"] = subPaths;
        playlist["size"] = sizeJson(p.size);
        playlist["referenced_by"] = p.referencedBy;
        playlist["main"] = p.main;
        playlists.push_back(playlist);
    }
    out["playlists"] = playlists;
    ordered_json clips = ordered_json::array();
    for (const ClipReport& c : report.clips) {
        ordered_json clip = {{"name", c.name + ".clpi"}, {"read", readText(c.read)}};
        clip["packets"] = c.packets;
        clip["duration"] = timeJson(c.duration);
        ordered_json streams = ordered_json::array();
        for (const ClipStreamReport& s : c.streams)
            streams.push_back({{"pid", s.pid},
                               {"pid_hex", pidHex(s.pid)},
                               {"coding", s.codingName},
                               {"coding_type", s.coding},
                               {"language", s.language}});
        clip["streams"] = streams;
        clip["stream_file"] = c.streamFile.empty() ? ordered_json(nullptr) : ordered_json(c.streamFile);
        clip["size"] = sizeJson(c.size);
        clips.push_back(clip);
    }
    out["clips"] = clips;
    ordered_json lengths = ordered_json::array();
    for (std::uint64_t ms : report.sounds.lengths)
        lengths.push_back({{"ticks45k", ms * 45}, {"seconds", ms / 1000.0}});
    out["sounds"] = {{"present", report.sounds.present},
                     {"read", report.sounds.present ? readText(report.sounds.read) : "missing"},
                     {"count", report.sounds.lengths.size()},
                     {"lengths", lengths}};
    ordered_json bdjos = ordered_json::array();
    for (const BdjoReport& b : report.bdjos) {
        ordered_json lists = ordered_json::array();
        for (const std::string& name : b.playlists) lists.push_back(name + ".mpls");
        bdjos.push_back({{"name", b.name + ".bdjo"},
                         {"read", readText(b.read)},
                         {"applications", b.applications},
                         {"playlists", lists},
                         {"autostart_first_playlist", b.autostartFirst}});
    }
    out["bdjo"] = bdjos;
    ordered_json menus = ordered_json::array();
    for (const MenuReport& m : report.menus)
        menus.push_back({{"clip", m.clip + ".clpi"},
                         {"pid", m.pid},
                         {"pid_hex", pidHex(m.pid)},
                         {"read", readText(m.read)},
                         {"pages", m.pages},
                         {"buttons", m.buttons}});
    out["menus"] = menus;
    out["main_playlist"] =
        report.mainPlaylist.empty() ? ordered_json(nullptr) : ordered_json(report.mainPlaylist + ".mpls");
    return out;
}

std::string joined(const std::vector<std::string>& items, const std::string& separator = " ") {
    std::string out;
    for (const std::string& item : items) out += (out.empty() ? "" : separator) + item;
    return out;
}

void printReport(std::ostream& out, const DiscReport& report) {
    out << "Titles\n";
    std::vector<std::vector<std::string>> rows;
    for (const TitleReport& t : report.titles)
        rows.push_back(
            {t.label, t.object_type,
             t.object >= 0 ? "object " + std::to_string(t.object) : (t.bdjo.empty() ? "-" : t.bdjo + ".bdjo"),
             t.playlists.empty() ? "-" : joined(t.playlists)});
    printTable(out, {"title", "type", "object", "playlists"}, rows);
    if (!report.indexRead.usable()) out << "index.bdmv " << readText(report.indexRead) << '\n';
    if (!report.mobjRead.usable()) out << "MovieObject.bdmv " << readText(report.mobjRead) << '\n';

    out << "\nPlaylists\n";
    rows.clear();
    for (const PlayListReport& p : report.playlists) {
        std::string clips;
        for (const PlayItemReport& item : p.items) clips += (clips.empty() ? "" : " ") + item.clip;
        rows.push_back(
            {(p.main ? "* " : "  ") + p.name, p.read.usable() ? timeText45(p.duration) : readText(p.read),
             std::to_string(p.items.size()), std::to_string(p.angles), std::to_string(p.chapters.size()),
             std::to_string(p.streams.size()), std::to_string(p.subPaths.size()), sizeText(p.size),
             p.referencedBy.empty() ? "-" : joined(p.referencedBy, ", "), clips});
    }
    printTable(out,
               {"  playlist", "duration", "items", "angles", "chapters", "streams", "subpaths", "size",
                "referenced by", "clips"},
               rows);
    if (!report.mainPlaylist.empty()) out << "* main playlist " << report.mainPlaylist << '\n';

    for (const PlayListReport& p : report.playlists) {
        if (!p.read.usable() || (p.chapters.empty() && p.streams.empty())) continue;
        out << "\nPlaylist " << p.name << " (" << timeText45(p.duration) << ")\n";
        rows.clear();
        for (std::size_t c = 0; c < p.chapters.size(); ++c)
            rows.push_back({std::to_string(c + 1), timeText45(p.chapters[c].start),
                            timeText45(p.chapters[c].length), std::to_string(p.chapters[c].playItem)});
        if (!rows.empty()) printTable(out, {"chapter", "start", "length", "PlayItem"}, rows);
        rows.clear();
        for (const StreamReport& s : p.streams)
            rows.push_back({s.type + " " + std::to_string(s.number), pidHex(s.pid), s.codingName, s.format,
                            s.rate, s.language.empty() ? "" : s.language + " " + s.languageName});
        if (!rows.empty()) printTable(out, {"stream", "PID", "coding", "format", "rate", "language"}, rows);
    }

    out << "\nClips\n";
    rows.clear();
    for (const ClipReport& c : report.clips) {
        std::string streams;
        for (const ClipStreamReport& s : c.streams)
            streams += (streams.empty() ? "" : " ") + hexText(s.pid, 4) + ":" + s.codingName;
        rows.push_back({c.name, c.read.usable() ? std::to_string(c.packets) : readText(c.read),
                        timeText45(c.duration), sizeText(c.size), streams});
    }
    printTable(out, {"clip", "packets", "duration", "m2ts size", "streams"}, rows);

    out << "\nSounds\n";
    if (!report.sounds.present) {
        out << "no sound.bdmv\n";
    } else {
        rows.clear();
        for (std::size_t s = 0; s < report.sounds.lengths.size(); ++s)
            rows.push_back({std::to_string(s), std::to_string(report.sounds.lengths[s]) + " ms"});
        printTable(out, {"sound", "length"}, rows);
    }

    out << "\nBD-J objects\n";
    rows.clear();
    for (const BdjoReport& b : report.bdjos)
        rows.push_back({b.name, readText(b.read), std::to_string(b.applications), joined(b.playlists)});
    printTable(out, {"bdjo", "read", "applications", "playlists"}, rows);

    out << "\nMenus\n";
    rows.clear();
    for (const MenuReport& m : report.menus)
        rows.push_back(
            {m.clip, pidHex(m.pid), readText(m.read), std::to_string(m.pages), std::to_string(m.buttons)});
    printTable(out, {"clip", "PID", "read", "pages", "buttons"}, rows);
}

} // namespace

void addInfoCommand(CLI::App& app, int& result) {
    auto* cmd = app.add_subcommand("info", "The disc report: titles, playlists, clips, sounds, BD-J objects");
    auto disc = std::make_shared<std::string>();
    auto json = std::make_shared<bool>(false);
    auto use83 = std::make_shared<bool>(false);
    cmd->add_option("DISC", *disc, "The BDMV folder or the folder that holds it")->required();
    cmd->add_flag("--json", *json, "One JSON object instead of the tables");
    cmd->add_flag("--83", *use83, "Use the 8.3 file-name set");
    cmd->callback([&result, disc, json, use83] {
        if (!directoryExists(bdmvFolderFromChosen(*disc))) {
            printError(*disc, "no BDMV folder");
            result = Rejected;
            return;
        }
        const DiscReport report = discReport(loadDisc(*disc, {*use83, true}));
        if (*json)
            std::cout << reportJson(report).dump(2, ' ', false, ordered_json::error_handler_t::replace)
                      << '\n';
        else
            printReport(std::cout, report);
    });
}

} // namespace corvane::cli
