#pragma once
// "-> Menu" of the clip page: an IG stream of the clip last read, extracted into the
// temporary folder as a .mnu file and read as the menu in memory.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "io/ReadResult.h"
#include "menu/IGReader.h"

namespace corvane {

struct Session;

// The file the stream is extracted into: "Corvane_MENU.tmp" in the temporary folder.
std::string streamMenuFile();

// Extracts PID `pid` of the m2ts of session.clpiName (MNU mode, through the session's
// reporter with its progress and cancel) and reads the result into session.menu; every
// read outcome but FileError replaces the menu. None when no menu file was read: the clip
// has no stream file, or the extraction failed or was cancelled.
// `compositions` receives the list of the stream's compositions.
std::optional<ReadStatus> loadStreamToMenu(Session& session, std::uint16_t pid,
                                           std::vector<CompositionEntry>* compositions = nullptr);
// The same from the m2ts of `clip`, which need not be the clip read.
std::optional<ReadStatus> loadStreamToMenu(Session& session, const std::string& clip, std::uint16_t pid,
                                           std::vector<CompositionEntry>* compositions = nullptr);

// The disc's menu as a first read shows it: the first clip of session.clips whose clip
// information lists an IG stream and whose stream file holds at most `maxBytes` (a menu
// with a long background stays for "-> Menu") and whose PMT lists that PID. Files that
// cannot be read are passed over without a word.
struct MenuStream {
    std::string clip;
    std::uint16_t pid = 0;
};
std::optional<MenuStream> findMenuStream(const Session& session, std::int64_t maxBytes);

} // namespace corvane
