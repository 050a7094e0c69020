// libFuzzer target of the clip information made from a stream: any bytes, as an m2ts file,
// give a clip or an error without a crash, and a clip made writes and reads back whole.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "stream/ClipFromStream.h"
#include "stream/ClipInfo.h"
#include "stream/ClipInfoWriter.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string path = (std::filesystem::temp_directory_path() /
                                     ("corvane-fuzz-clip-" + std::to_string(::getpid()) + ".m2ts"))
                                        .string();
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    std::string error;
    const auto clip = corvane::clipInfoFromStream(path, error);
    std::filesystem::remove(path);
    if (!clip) return 0;
    const auto bytes = corvane::writeClipInfo(*clip);
    if (corvane::readClipInfo(bytes, "00001.clpi", true).status != corvane::ReadStatus::Ok) __builtin_trap();
    return 0;
}
