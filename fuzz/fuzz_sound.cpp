// libFuzzer target of sound.bdmv and WAV reading: no input crashes; a sound file read
// whole is written, and the written file reads back to the same sounds.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "sound/SoundFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::uint8_t> bytes(data, data + size);
    corvane::importWav(bytes);
    const corvane::SoundReadResult first = corvane::readSoundBytes(bytes);
    if (first.status != corvane::ReadStatus::Ok) return 0;
    if (first.sound.SoundIndex.entries.size() > 16) return 0; // keep runs short
    std::size_t total = 0;
    for (const auto& entry : first.sound.SoundIndex.entries) total += entry.sound_data_length;
    if (total > (1u << 20)) return 0;
    const auto written = corvane::writeSound(first.sound);
    const corvane::SoundReadResult again = corvane::readSoundBytes(written);
    if (again.status != corvane::ReadStatus::Ok) __builtin_trap();
    if (again.sound.SoundIndex.entries.size() != first.sound.SoundIndex.entries.size()) __builtin_trap();
    for (std::size_t i = 0; i < first.sound.SoundIndex.entries.size(); ++i)
        if (again.sound.SoundIndex.entries[i].sound_data != first.sound.SoundIndex.entries[i].sound_data)
            __builtin_trap();
    return 0;
}
