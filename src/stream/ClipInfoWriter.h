#pragma once
// Writing a clip information file.
//
// The sections go out in file order with the gaps kept between them; every length, count
// and start address is computed from what is written, so a clip built in memory needs only
// its fields. A file read whole and left unchanged comes back byte for byte.

#include <cstdint>
#include <vector>

#include "stream/ClipInfo.h"

namespace corvane {

// The whole file.
std::vector<std::uint8_t> writeClipInfo(const TCLPI& clpi);

// The StreamCodingInfo() body of a stream: the kept bytes when the fields still read back
// from them, else the fields put over the kept bytes (21 bytes when none are kept).
std::vector<std::uint8_t> streamCodingInfoBytes(const TStreamCodingInfo& stream);

} // namespace corvane
