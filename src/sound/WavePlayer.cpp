#include "sound/WavePlayer.h"

#include <algorithm>
#include <string_view>

#include "io/ByteReader.h"
#include "sound/SoundFile.h"

namespace corvane {

namespace {

bool tagAt(const std::vector<std::uint8_t>& b, std::size_t at, std::string_view tag) {
    return at + 4 <= b.size() &&
           std::equal(tag.begin(), tag.end(), b.begin() + static_cast<std::ptrdiff_t>(at));
}

} // namespace

std::optional<PcmClip> pcmClipOfWav(const std::vector<std::uint8_t>& wav) {
    ByteReader in(wav);
    in.skip(16); // RIFF, its size, WAVE, fmt
    const std::uint64_t fmtSize = in.readlwordLE();
    const std::uint32_t format = in.readwordLE();
    const std::uint32_t channels = in.readwordLE();
    const std::uint32_t rate = in.readlwordLE();
    in.skip(6); // bytes per second, block align
    const std::uint32_t bits = in.readwordLE();
    if (wav.size() < 36 || !tagAt(wav, 0, "RIFF") || !tagAt(wav, 8, "WAVE") || !tagAt(wav, 12, "fmt ") ||
        format != 1 || bits != 16)
        return std::nullopt;
    PcmClip clip;
    clip.channels = static_cast<int>(channels);
    clip.sampleRate = static_cast<int>(rate);
    if (clip.channels <= 0 || clip.sampleRate <= 0) return std::nullopt;
    // Chunks after fmt up to "data"; RIFF pads odd-sized chunks with one byte.
    std::uint64_t at = 20 + fmtSize + (fmtSize & 1);
    while (at + 8 <= wav.size()) {
        const std::uint64_t size = in.range(static_cast<std::size_t>(at) + 4, 4).readlwordLE();
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
