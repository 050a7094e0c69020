#pragma once
// Reading a playlist file.
//
// readPlayList is a pure function over the file's bytes returning the model and
// the lines to log; readPlayListFile is the thin step of the Read button (and of
// the quiet pass over every playlist) that fetches the file and reports through
// the session. Every length field bounds what is read inside it, so a file that
// ends early or whose lengths disagree with its contents is reported with the
// place where it goes wrong, never read on into garbage.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "navigation/MovieObject.h" // ReadMessage
#include "playlist/PlayList.h"

namespace corvane {

struct Session;

enum class PlsReadStatus {
    Ok,          // read whole; may be saved
    FormatError, // wrong type indicator or version: "Invalid format: " + name, nothing else read
    Damaged,     // the file ends early or its lengths and addresses disagree: reported, not to be saved
    FileError,   // the file could not be read (reported through Reporter::fileError)
};

struct PlsReadResult {
    PlsReadStatus status = PlsReadStatus::Ok;
    TMPLS mpls;                // whole when Ok; what was read before the fault when Damaged
    std::size_t problemAt = 0; // Damaged: file offset where reading went wrong
    std::string progress;      // the last "position/size" text of status panel 1
    std::vector<ReadMessage> messages;
};

// Reads a playlist from its bytes; `name` (with extension) is used in the messages.
// In quiet mode only the error lines are returned, not the summary line.
PlsReadResult readPlayList(const std::vector<std::uint8_t>& bytes, std::string_view name, bool quiet = false);

// The Read step: "Reading [bl]name[/bl]", the file session.BDMVdir + "PLAYLIST" + name +
// PlayListExt, its lines and positions. Only a playlist read whole replaces `mpls`.
PlsReadStatus readPlayListFile(Session& session, const std::string& name, TMPLS& mpls, bool quiet = false);

// "[b]n[/b] PlayItem(s), [b]m[/b] SubPath(s) and [b]k[/b] PlayListMark(s) found."
std::string playListFoundLine(const TMPLS& mpls);

class ByteReader;

// The reference fields of a stream_entry() of a known stream_type (1, 2 or 3), read from
// the byte after stream_type on; other types have none.
void readEntryRefs(ByteReader& in, TStreamEntry& entry);

} // namespace corvane
