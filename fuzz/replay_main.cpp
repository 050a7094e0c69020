// Replays a fuzz target's seed corpus without libFuzzer, so every build (and the
// sanitizer build of CI) runs the readers over the seeds.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string_view>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

// replay_NAME [--cut-step N] FOLDER...: with --cut-step the prefixes are cut every N bytes
// (a target that reads whole records of N bytes learns nothing from the cuts between).
int main(int argc, char** argv) {
    int files = 0;
    std::size_t cutStep = 0;
    for (int i = 1; i < argc; ++i) {
        if (std::string_view(argv[i]) == "--cut-step" && i + 1 < argc) {
            cutStep = std::strtoul(argv[++i], nullptr, 10);
            continue;
        }
        std::error_code ec;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(argv[i], ec)) {
            if (!entry.is_regular_file()) continue;
            std::ifstream in(entry.path(), std::ios::binary);
            std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                            std::istreambuf_iterator<char>());
            LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
            // Every prefix too: truncated input is the commonest damage.
            for (std::size_t cut = 0; cut < bytes.size() && cut < 4096;
                 cut += cutStep ? cutStep : 1 + cut / 64)
                LLVMFuzzerTestOneInput(bytes.data(), cut);
            ++files;
        }
    }
    std::cout << "replayed " << files << " seed files\n";
    return files > 0 ? 0 : 1;
}
