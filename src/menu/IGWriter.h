#pragma once
// Writing an IG menu: the interactive composition, one PDS per palette, the objects
// (re-encoded from their index pictures, first-page pictures first) and END, either each
// behind a .mnu frame (mode 0) or as PES packets of private stream 1 (mode 1).

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "menu/IGMenu.h"

namespace corvane {

enum class IGSaveMode { Mnu = 0, Pes = 1 };

// The longest segment body: a PES packet of 65535 bytes holds it with its 16 header bytes.
inline constexpr std::size_t MaxSegmentLength = 65519;
inline constexpr std::size_t IcsFixedBytes = 9; // video and composition descriptors, sequence byte
inline constexpr std::size_t OdsFixedBytes = 4; // object_id, version, sequence byte
inline constexpr std::size_t OdsFirstBytes = 7; // object_data_length, width, height

struct IGSaveResult {
    bool ok = true;
    std::string error; // why nothing could be written
    std::vector<std::uint8_t> bytes;
};

// The ids of the objects in writing order: page 0's in-effect objects, the state objects of
// its BOGs with a valid default button (normal, then selected, then activated), the objects
// of its other BOGs button by button, then every other object by ascending id. Only slots
// that hold an object are listed, each once.
std::vector<std::uint16_t> objectOrder(const TMenu& menu);

// The pages as the composition body stores them.
std::vector<std::uint8_t> compositionBody(const TIGSc& ics);
// The bytes of interactive_composition() ahead of the pages, its length field included.
std::size_t compositionHeaderBytes(const TIGSc& ics);
// interactive_composition_length as the writer sets it: the bytes after the field.
std::uint32_t compositionLength(const TIGSc& ics);

// A time stamp as the 5 bytes of a PES header; `prefix` is 0x31 (PTS with DTS), 0x21 (PTS
// alone) or 0x11 (DTS).
void appendPesTimeStamp(std::vector<std::uint8_t>& out, std::uint8_t prefix, std::uint32_t value);

// The whole stream in the given framing. Objects are encoded again from their index
// pictures (decoded for the occasion when not held). `status` receives the status-bar
// words of each step.
IGSaveResult saveIGS(const TMenu& menu, IGSaveMode mode,
                     const std::function<void(const std::string&)>& status = {});

} // namespace corvane
