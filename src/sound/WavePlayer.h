#pragma once
// The button-sound player behind the sound-output seam. A request hands over a WAV image;
// the player keeps a private copy of its samples, so neither a later request nor the
// caller changing or freeing the image disturbs a sound that is playing. While one plays,
// a further request starts nothing; without an output device nothing plays.

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace corvane {

struct TSND;

// 16-bit PCM samples in WAV byte order (little-endian, channels interleaved).
struct PcmClip {
    int sampleRate = 0;
    int channels = 0;
    std::vector<std::uint8_t> samples;
};

// The samples of a 16-bit PCM WAV image (its data chunk, cut at the image's end); nothing
// for another format or an image without a data chunk.
std::optional<PcmClip> pcmClipOfWav(const std::vector<std::uint8_t>& wav);

// Where samples go: the desktop's audio device, or a test's recorder.
class SoundOutput {
public:
    virtual ~SoundOutput() = default;
    virtual bool available() const = 0; // an output device is there
    virtual bool supports(int sampleRate, int channels) const = 0;
    // Starts playing the clip asynchronously; the output keeps the pointer until it ends.
    virtual bool start(std::shared_ptr<const PcmClip> clip) = 0;
    virtual bool playing() const = 0;
    virtual void stop() = 0;
};

class TWavePlayer {
public:
    explicit TWavePlayer(SoundOutput& output) : m_output(output) {}
    // False when a sound is playing, the image is not 16-bit PCM, or the output cannot play it.
    bool Play(const std::vector<std::uint8_t>& wav);
    void Stop() { m_output.stop(); }
    bool playing() const { return m_output.playing(); }

private:
    SoundOutput& m_output;
};

// A button's sound: entry `soundId` of sound.bdmv as a WAV image; false when there is none.
bool plWav(TWavePlayer& player, const TSND& sound, std::size_t soundId);

} // namespace corvane
