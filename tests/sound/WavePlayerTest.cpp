// The button-sound player over a recording output: what reaches the output, the private
// copy, the busy rule and the no-device rule.

#include <gtest/gtest.h>

#include "sound/SoundFile.h"
#include "sound/WavePlayer.h"

namespace corvane {
namespace {

// Keeps every clip it is given; "plays" until finish() is called.
class RecordingOutput : public SoundOutput {
public:
    bool device = true;
    bool busy = false;
    std::vector<std::shared_ptr<const PcmClip>> started;

    bool available() const override { return device; }
    bool supports(int sampleRate, int channels) const override {
        return sampleRate == 48000 && channels >= 1 && channels <= 8;
    }
    bool start(std::shared_ptr<const PcmClip> clip) override {
        started.push_back(std::move(clip));
        busy = true;
        return true;
    }
    bool playing() const override { return busy; }
    void stop() override { busy = false; }
};

TSoundEntries entry(std::uint8_t channels, std::uint32_t length, std::uint8_t seed) {
    TSoundEntries e;
    e.channel_configuration = channels;
    e.sampling_frequency = 1;
    e.bits_per_sample = 1;
    e.sound_data_length = length;
    for (std::uint32_t i = 0; i < length; ++i)
        e.sound_data.push_back(static_cast<std::uint8_t>(i * 7 + seed));
    return e;
}

TEST(WavePlayer, OutputGetsThePrivateSamplesAndASecondRequestWaits) {
    RecordingOutput output;
    TWavePlayer player(output);
    auto first = mkWav(entry(3, 4800, 1));
    ASSERT_TRUE(player.Play(first));
    ASSERT_EQ(output.started.size(), 1u);
    const PcmClip& clip = *output.started[0];
    EXPECT_EQ(clip.sampleRate, 48000);
    EXPECT_EQ(clip.channels, 2);
    ASSERT_EQ(clip.samples.size(), 4800u);
    const std::vector<std::uint8_t> expected(first.begin() + 44, first.end());
    EXPECT_EQ(clip.samples, expected);

    // The caller's image changes and goes away; a second request while playing starts nothing.
    std::fill(first.begin(), first.end(), 0);
    first.clear();
    EXPECT_FALSE(player.Play(mkWav(entry(1, 960, 9))));
    ASSERT_EQ(output.started.size(), 1u);
    EXPECT_EQ(output.started[0]->samples, expected);

    // After the first ends the next one plays, mono, with its own size.
    output.stop();
    ASSERT_TRUE(player.Play(mkWav(entry(1, 962, 9))));
    ASSERT_EQ(output.started.size(), 2u);
    EXPECT_EQ(output.started[1]->channels, 1);
    EXPECT_EQ(output.started[1]->samples.size(), 962u);
}

TEST(WavePlayer, NothingPlaysWithoutDeviceOrFromABadImage) {
    RecordingOutput output;
    TWavePlayer player(output);
    output.device = false;
    EXPECT_FALSE(player.Play(mkWav(entry(3, 100, 1))));
    output.device = true;

    EXPECT_FALSE(player.Play({}));
    auto wav = mkWav(entry(3, 100, 1));
    auto eightBit = wav;
    eightBit[34] = 8;
    EXPECT_FALSE(player.Play(eightBit));
    // No data chunk: the tag is gone.
    auto noData = wav;
    noData[36] = 'x';
    EXPECT_FALSE(player.Play(noData));
    // A data chunk longer than the image is cut at the image's end.
    auto cut = wav;
    cut.resize(44 + 50);
    ASSERT_TRUE(player.Play(cut));
    EXPECT_EQ(output.started.back()->samples.size(), 50u);
    EXPECT_TRUE(output.started.size() == 1u);
}

TEST(WavePlayer, ChunksBeforeDataAreSkippedWithTheirPadding) {
    auto wav = mkWav(entry(3, 8, 1));
    // Insert a 3-byte "LIST" chunk (padded to 4) between fmt and data.
    const std::vector<std::uint8_t> list{'L', 'I', 'S', 'T', 3, 0, 0, 0, 'a', 'b', 'c', 0};
    wav.insert(wav.begin() + 36, list.begin(), list.end());
    const auto clip = pcmClipOfWav(wav);
    ASSERT_TRUE(clip);
    EXPECT_EQ(clip->samples, std::vector<std::uint8_t>(wav.end() - 8, wav.end()));
}

TEST(WavePlayer, ButtonSoundById) {
    RecordingOutput output;
    TWavePlayer player(output);
    TSND sound = createSound();
    EXPECT_FALSE(plWav(player, sound, 0));
    ASSERT_TRUE(insertSound(sound, std::nullopt, entry(1, 20, 3)));
    EXPECT_FALSE(plWav(player, sound, 1));
    EXPECT_FALSE(plWav(player, sound, 0xFF));
    ASSERT_TRUE(plWav(player, sound, 0));
    EXPECT_EQ(output.started.back()->samples.size(), 20u);
}

} // namespace
} // namespace corvane
