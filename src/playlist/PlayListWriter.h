#pragma once
// Writing a playlist file.
//
// The sections go out back to back in file order; the lengths and start addresses
// are written as held (the edits keep them in step), the counts as the number of
// elements held. A playlist read whole and left unchanged comes back byte for byte.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "io/ByteWriter.h"
#include "playlist/PlayList.h"

namespace corvane {

// The whole file, ready for the backup-and-write step.
std::vector<std::uint8_t> writePlayList(const TMPLS& mpls);

// Sets every length, count and start address from the records, laid out as writePlayList
// writes them: what a playlist made from scratch needs. Kept bytes and paddings count as held;
// PlayListMark() goes at an even offset.
void layOutPlayList(TMPLS& mpls);

// One record as the file holds it, at the fill position. The edits measure a record by
// writing it into a scratch writer.
void appendStreamEntry(ByteWriter& out, const TStreamEntry& entry);
void appendSecondaryAudio(ByteWriter& out, const TSecAudio& secondary); // entry, then its reference list
void appendSecondaryVideo(ByteWriter& out, const TSecVideo& secondary); // entry, then its two reference lists
void appendSubPlayItem(ByteWriter& out, const TSubPlayItem& item);
void appendSubPath(ByteWriter& out, const TSubPath& path);
void appendMark(ByteWriter& out, const TMarkEntry& mark);
void appendPlayListMark(ByteWriter& out, const TPlayListMark& marks); // the whole PlayListMark() section

// Writes one stream_entry() at `offset`; returns its size: 10 bytes for a known
// stream_type, 2 for another, plus the kept bytes past them.
std::size_t writeentry(ByteWriter& out, std::size_t offset, const TStreamEntry& entry);
// Writes one stream_attributes() at `offset`; returns its size: 6 bytes for a known
// coding type, 2 for another, plus the kept bytes past them.
std::size_t writeattrib(ByteWriter& out, std::size_t offset, const TStreamEntry& entry);
// Bytes of stream_entry() and stream_attributes() together (16 for a usual entry).
std::size_t streamEntrySize(const TStreamEntry& entry);

} // namespace corvane
