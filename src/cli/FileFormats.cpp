#include "cli/FileFormats.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <iostream>
#include <string_view>
#include <utility>

#include "bdj/BdjObject.h"
#include "cli/CliCommon.h"
#include "io/ExtensionData.h"
#include "io/FileIO.h"
#include "menu/IGReader.h"
#include "menu/IGWriter.h"
#include "navigation/IndexTable.h"
#include "navigation/MovieObject.h"
#include "playlist/PlayListReader.h"
#include "playlist/PlayListWriter.h"
#include "shell/Markup.h"
#include "sound/SoundFile.h"
#include "stream/ClipInfo.h"
#include "json/JsonMenu.h"

namespace corvane::cli {

namespace {

using Bytes = std::vector<std::uint8_t>;

// What a reader gave: its status and lines, and for a file read whole the JSON of the
// model and the writer's bytes.
struct FormatRead {
    ReadResult read;
    OrderedJson json;
    Bytes written;
    std::string error; // a failure with its own text (the .exd reader, the menu writer)
};

// The shared part of a reader's result; `model` fills in the JSON and the bytes only when
// the file was read whole.
template <class Result, class Model> FormatRead fromRead(Result& result, Model model) {
    FormatRead out;
    if (result.status == ReadStatus::Ok) model(out);
    out.read = std::move(static_cast<ReadResult&>(result));
    return out;
}

struct FileFormat {
    std::string_view magic;     // the file's first bytes; empty for a type known by its extension
    std::string_view extension; // lower case with the dot, for a type without a magic
    std::string_view notRead;   // the error when the reader refuses the file without an error line
    FormatRead (*read)(const Bytes& bytes, const std::string& name, bool noData, bool writing);
};

const FileFormat Formats[] = {
    {"INDX", "", "not an index file this program reads",
     [](const Bytes& bytes, const std::string& name, bool noData, bool writing) {
         auto result = readIndex(bytes, name);
         return fromRead(result, [&](FormatRead& out) {
             out.json = json::toJson(result.index, noData);
             if (writing) out.written = writeIndex(result.index);
         });
     }},
    {"MOBJ", "", "not a MovieObject file this program reads",
     [](const Bytes& bytes, const std::string& name, bool noData, bool writing) {
         auto result = readMovieObject(bytes, name);
         return fromRead(result, [&](FormatRead& out) {
             out.json = json::toJson(result.mobj, noData);
             if (writing) out.written = writeMovieObject(result.mobj);
         });
     }},
    {"MPLS", "", "not a playlist this program reads",
     [](const Bytes& bytes, const std::string& name, bool noData, bool writing) {
         auto result = readPlayList(bytes, name);
         return fromRead(result, [&](FormatRead& out) {
             out.json = json::toJson(result.mpls, noData);
             if (writing) out.written = writePlayList(result.mpls);
         });
     }},
    {"HDMV", "", "not a clip information file this program reads",
     [](const Bytes& bytes, const std::string& name, bool noData, bool) {
         // Clip information files are only read: nothing to write back.
         auto result = readClipInfo(bytes, name);
         return fromRead(result, [&](FormatRead& out) { out.json = json::toJson(result.clpi, noData); });
     }},
    {"BCLK", "", "not a sound file this program reads",
     [](const Bytes& bytes, const std::string&, bool noData, bool writing) {
         auto result = readSoundBytes(bytes);
         return fromRead(result, [&](FormatRead& out) {
             out.json = json::toJson(result.sound, noData);
             if (writing) out.written = writeSound(result.sound);
         });
     }},
    {"BDJO", "", "not a BD-J object this program reads",
     [](const Bytes& bytes, const std::string& name, bool, bool) {
         // BD-J objects are only read: nothing to write back.
         auto result = readBDJO(bytes, name);
         return fromRead(result, [&](FormatRead& out) { out.json = json::toJson(result.bdjo); });
     }},
    {"IG", "", "not an IG menu this program reads",
     [](const Bytes& bytes, const std::string&, bool, bool writing) {
         auto result = loadMNU(bytes);
         return fromRead(result, [&](FormatRead& out) {
             out.json = json::toJson(result.menu);
             if (!writing) return;
             auto saved = saveIGS(result.menu, IGSaveMode::Mnu);
             if (saved.ok)
                 out.written = std::move(saved.bytes);
             else
                 out.error = saved.error;
         });
     }},
    {"", ".exd", "not an ExtensionData file this program reads",
     [](const Bytes& bytes, const std::string&, bool noData, bool writing) {
         FormatRead out;
         auto block = readExdBytes(bytes, out.error);
         if (!block) {
             out.read.status = ReadStatus::FormatError;
             return out;
         }
         out.json = json::toJson(*block, noData);
         if (writing) out.written = exdFileBytes(*block);
         return out;
     }},
};

const FileFormat* findFormat(const std::string& path, const Bytes& bytes) {
    for (const auto& format : Formats)
        if (!format.magic.empty() && bytes.size() >= format.magic.size() &&
            std::equal(format.magic.begin(), format.magic.end(), bytes.begin()))
            return &format;
    std::string ext = std::filesystem::path(path).extension().string();
    for (auto& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (const auto& format : Formats)
        if (!format.extension.empty() && ext == format.extension) return &format;
    return nullptr;
}

} // namespace

LoadedFile loadFile(const std::string& path, bool noData, bool quiet, bool writing, int& result) {
    std::string error;
    const auto bytes = readWholeFile(path, error);
    if (!bytes) {
        std::cerr << "error: " << error << '\n';
        result = Rejected;
        return {};
    }
    const FileFormat* format = findFormat(path, *bytes);
    if (!format) {
        printError(path, "not a file type this program reads");
        result = Rejected;
        return {};
    }
    const std::string name = std::filesystem::path(path).filename().string();
    FormatRead read = format->read(*bytes, name, noData, writing);
    if (!read.error.empty()) {
        showMessages(read.read.messages, quiet);
        printError(path, read.error);
        result = Rejected;
        return {};
    }
    if (!reportRead(path, read.read.messages, read.read.status == ReadStatus::Ok, format->notRead, quiet,
                    result))
        return {};
    return {true, std::move(read.json), std::move(read.written),
            format->magic.empty() ? format->extension : format->magic};
}

} // namespace corvane::cli
