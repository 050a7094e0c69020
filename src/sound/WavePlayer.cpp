#include "sound/WavePlayer.h"

#include <algorithm>
#include <string_view>

#include "sound/SoundFile.h"

namespace corvane {

namespace {

std::uint32_t le(const std::vector<std::uint8_t>& b, std::size_t at, int bytes) {
    std::uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; --i) value = value << 8 | b[at + static_cast<std::size_t>(i)];
    return value;
}

bool tagAt(const std::vector<std::uint8_t>& b, std::size_t at, std::string_view tag) {
    return at + 4 <= b.size() && std::equal(tag.begin(), tag.end(), b.begin() + static_cast<std::ptrdiff_t>(at));
}

} // namespace

std::optional<PcmClip> pcmClipOfWav(const std::vector<std::uint8_t>& wav) {
    if (wav.size() < 36 || !tagAt(wav, 0, "RIFF") || !tagAt(wav, 8, "WAVE") || !tagAt(wav, 12, "fmt ") ||
        le(wav, 20, 2) != 1 || le(wav, 34, 2) != 16)
        return std::nullopt;
    PcmClip clip;
    clip.channels = static_cast<int>(le(wav, 22, 2));
    clip.sampleRate = static_cast<int>(le(wav, 24, 4));
    if (clip.channels <= 0 || clip.sampleRate <= 0) return std::nullopt;
    // Chunks after fmt up to "data"; RIFF pads odd-sized chunks with one byte.
    const std::uint64_t fmtSize = le(wav, 16, 4);
    std::uint64_t at = 20 + fmtSize + (fmtSize & 1);
    while (at + 8 <= wav.size()) {
        const std::uint64_t size = le(wav, static_cast<std::size_t>(at) + 4, 4);
        if (tagAt(wav, static_cast<std::size_t>(at), "data")) {
            const std::uint64_t from = at + 8;
            const std::uint64_t length = std::min<std::uint64_t>(size, wav.size() - from);
            clip.samples.assign(wav.begin() + static_cast<std::ptrdiff_t>(from),
                                wav.begin() + static_cast<std::ptrdiff_t>(from + length));
            return clip;
        }
        at += 8 + size + (size & 1);
    }
    return std::nullopt;
}

bool TWavePlayer::Play(const std::vector<std::uint8_t>& wav) {
    if (m_output.playing() || !m_output.available()) return false;
    std::optional<PcmClip> clip = pcmClipOfWav(wav);
    if (!clip || !m_output.supports(clip->sampleRate, clip->channels)) return false;
    return m_output.start(std::make_shared<const PcmClip>(std::move(*clip)));
}

bool plWav(TWavePlayer& player, const TSND& sound, std::size_t soundId) {
    const auto& entries = sound.SoundIndex.entries;
    if (soundId >= entries.size()) return false;
    return player.Play(mkWav(entries[soundId]));
}

} // namespace corvane
