#pragma once
// Reading a playlist file.
//
// readPlayList is a pure function over the file's bytes returning the model and
// the lines to log; the Read button's step that fetches the file and reports
// through the session is in shell/SessionFiles.h. Every length field bounds what is read inside it, so a file
// that ends early or whose lengths disagree with its contents is reported with the place where it goes wrong,
// never read on into garbage.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "io/ReadResult.h"
#include "playlist/PlayList.h"

namespace corvane {

// Status Ok (read whole; may be saved), FormatError (wrong type indicator or version:
// "Invalid format: " + name, nothing else read) or Damaged (the file ends early or its
// lengths and addresses disagree at problemAt: reported, not to be saved).
struct PlsReadResult : ReadResult {
    TMPLS mpls;           // whole when Ok; what was read before the fault when Damaged
    std::string progress; // the last "position/size" text of status panel 1
};

// Reads a playlist from its bytes; `name` (with extension) is used in the messages.
// In quiet mode only the error lines are returned, not the summary line.
PlsReadResult readPlayList(const std::vector<std::uint8_t>& bytes, std::string_view name, bool quiet = false);

// "[b]n[/b] PlayItem(s), [b]m[/b] SubPath(s) and [b]k[/b] PlayListMark(s) found."
std::string playListFoundLine(const TMPLS& mpls);

class ByteReader;

// The reference fields of a stream_entry() of a known stream_type (1, 2 or 3), read from
// the byte after stream_type on; other types have none.
void readEntryRefs(ByteReader& in, TStreamEntry& entry);

} // namespace corvane
