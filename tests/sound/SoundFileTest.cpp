// sound.bdmv: layout of written files, WAV exchange, insert/delete upkeep, table
// texts, damaged input, and a real file of another authoring tool.

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "TestBytes.h"
#include "io/FileIO.h"
#include "sound/SoundFile.h"

namespace corvane {
namespace {

TSoundEntries sound(std::uint8_t channels, std::uint32_t length, std::uint8_t seed = 1) {
    TSoundEntries entry;
    entry.channel_configuration = channels;
    entry.sampling_frequency = 1;
    entry.bits_per_sample = 1;
    entry.sound_data_length = length;
    for (std::uint32_t i = 0; i < length; ++i)
        entry.sound_data.push_back(static_cast<std::uint8_t>(i * seed + seed));
    return entry;
}

std::uint32_t be32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return std::uint32_t{b[at]} << 24 | std::uint32_t{b[at + 1]} << 16 | std::uint32_t{b[at + 2]} << 8 |
           b[at + 3];
}

TEST(SoundFile, CreatedFileWithOneStereoSound) {
    TSND created = createSound();
    ASSERT_EQ(insertSound(created, std::nullopt, sound(3, 4000)), 0u);
    const auto bytes = writeSound(created);
    ASSERT_EQ(bytes.size(), 46u + 10 + 4000);
    EXPECT_EQ(be32(bytes, 8), 56u);  // SoundData_start_address
    EXPECT_EQ(be32(bytes, 12), 0u);  // no ExtensionData
    EXPECT_EQ(be32(bytes, 40), 12u); // SoundIndex length
    EXPECT_EQ(be32(bytes, 48), 0u);  // sound start
    EXPECT_EQ(bytes[46], 0x31);
    EXPECT_EQ(bytes[47], 0x40);
    const SoundReadResult back = readSoundBytes(bytes);
    ASSERT_EQ(back.status, ReadStatus::Ok);
    EXPECT_EQ(back.sound.SoundIndex.entries.at(0).sound_data, created.SoundIndex.entries[0].sound_data);
    EXPECT_EQ(back.messages.back().text, " Found [b]1[/b] sound entry");
}

TEST(SoundFile, SoundsAreFourByteAligned) {
    TSND file = createSound();
    insertSound(file, std::nullopt, sound(1, 102, 3)); // 2 modulo 4
    insertSound(file, 0, sound(3, 64, 5));
    TExtensionData block;
    block.length = 12;
    setSoundExtensionData(file, block);
    const auto bytes = writeSound(file);
    EXPECT_EQ(be32(bytes, 8), 66u);
    EXPECT_EQ(be32(bytes, 66 - 20 + 2), 0u);   // entry 0 start
    EXPECT_EQ(be32(bytes, 66 - 10 + 2), 104u); // entry 1 starts after 102 + 2 fill bytes
    EXPECT_EQ(bytes[66 + 102], 0);
    EXPECT_EQ(bytes[66 + 103], 0);
    EXPECT_EQ(be32(bytes, 12), 66u + 104 + 64); // ExtensionData after the last sound
    const SoundReadResult back = readSoundBytes(bytes);
    ASSERT_EQ(back.status, ReadStatus::Ok);
    EXPECT_EQ(back.sound.SoundIndex.entries[1].sound_data, file.SoundIndex.entries[1].sound_data);
    EXPECT_EQ(back.sound.ExtensionData.length, 12u);
    EXPECT_EQ(testing::byteDifference(bytes, writeSound(back.sound)), "");
    // Written files are the writer's fixed point.
    TSND laid = file;
    layOutSound(laid);
    EXPECT_EQ(laid.SoundIndex.entries[1].sound_data_start_address, 104u);
}

TEST(SoundFile, InsertAndDeleteUpkeep) {
    TSND file = createSound();
    insertSound(file, std::nullopt, sound(3, 400));
    insertSound(file, 0, sound(3, 800));
    layOutSound(file);
    TExtensionData block;
    block.length = 12;
    setSoundExtensionData(file, block);
    layOutSound(file);
    const std::uint32_t extension = file.ExtensionData_start_address;
    // Ins with row 0 selected: the new entry becomes entry 1, the old entry 1 moves up.
    ASSERT_EQ(insertSound(file, 0, sound(1, 96000)), 1u);
    EXPECT_EQ(file.SoundIndex.entries[2].sound_data_start_address, 400u + 96000);
    EXPECT_EQ(file.SoundIndex.number_of_sound_entries, 3);
    EXPECT_EQ(file.SoundIndex.length, 32u);
    EXPECT_EQ(file.ExtensionData_start_address, extension + 10 + 96000);
    // One second of mono: the length counts the entry's channels.
    EXPECT_EQ(soundRow(file.SoundIndex.entries[1], 1),
              (std::vector<std::string>{"001", "Mono", "48kHz", "16", "1 s"}));
    EXPECT_TRUE(deleteSound(file, 1));
    EXPECT_EQ(file.SoundIndex.entries[1].sound_data_start_address, 400u);
    EXPECT_EQ(file.ExtensionData_start_address, extension);
    EXPECT_EQ(file.SoundIndex.length, 22u);
    EXPECT_FALSE(deleteSound(file, 5));
    while (file.SoundIndex.entries.size() < MaxSounds) ASSERT_TRUE(insertSound(file, 0, sound(1, 4)));
    EXPECT_FALSE(insertSound(file, 0, sound(1, 4)));
    EXPECT_EQ(readSoundBytes(writeSound(file)).sound.SoundIndex.entries.size(), MaxSounds);
}

TEST(SoundFile, WavExchange) {
    const TSoundEntries stereo = sound(3, 4800, 7);
    const auto wav = mkWav(stereo);
    ASSERT_EQ(wav.size(), 44u + 4800);
    EXPECT_EQ(std::string(wav.begin(), wav.begin() + 4), "RIFF");
    EXPECT_EQ(wav[22], 2);                    // channels
    EXPECT_EQ(wav[44], stereo.sound_data[1]); // samples in WAV byte order
    const WavImport back = importWav(wav);
    ASSERT_TRUE(back.entry) << back.error;
    EXPECT_EQ(back.entry->sound_data, stereo.sound_data);
    EXPECT_EQ(back.entry->channel_configuration, 3);

    // Six channels count as stereo; chunks before "data" are skipped, odd ones with their pad byte.
    std::vector<std::uint8_t> six = wav;
    six[22] = 6;
    six.insert(six.begin() + 36, {'L', 'I', 'S', 'T', 3, 0, 0, 0, 'a', 'b', 'c', 0});
    const WavImport sixChannels = importWav(six);
    ASSERT_TRUE(sixChannels.entry) << sixChannels.error;
    EXPECT_EQ(sixChannels.entry->channel_configuration, 3);
    EXPECT_EQ(sixChannels.entry->sound_data, stereo.sound_data);

    std::vector<std::uint8_t> rate = wav;
    rate[24] = 0x44; // 44100 Hz
    rate[25] = 0xAC;
    rate[26] = 0;
    EXPECT_EQ(importWav(rate).error, WavFormatError);
    EXPECT_TRUE(importWav(rate).formatError);
    EXPECT_EQ(importWav({}).error, WavFormatError);
    // No data chunk, or cut short: nothing made.
    std::vector<std::uint8_t> noData(wav.begin(), wav.begin() + 38);
    EXPECT_EQ(importWav(noData).error, WavReadError);
    std::vector<std::uint8_t> cut(wav.begin(), wav.end() - 1);
    EXPECT_EQ(importWav(cut).error, WavReadError);
    EXPECT_FALSE(importWav(cut).entry);
}

TEST(SoundFile, TextsAndBadFiles) {
    TSND file = createSound();
    EXPECT_EQ(soundInfoLine(file, 0), "");
    insertSound(file, std::nullopt, sound(3, 2000000));
    insertSound(file, 0, sound(5, 1000));
    layOutSound(file);
    EXPECT_EQ(
        soundInfoLine(file, 1, '.'),
        "Data start: 001E8480 (2.000.000)  Length: 000003E8 (1.000)  Total data length: 001E8868(2.001.000)");
    EXPECT_EQ(soundRow(file.SoundIndex.entries[1], 1, ',')[1], "-");
    EXPECT_EQ(soundRow(file.SoundIndex.entries[0], 0, ',')[4], "10,41 s");
    EXPECT_EQ(soundWavName(7), "sound_007.wav");

    const SoundReadResult wrong = readSoundBytes({'B', 'C', 'L', 'K', '0', '3', '0', '0'});
    EXPECT_EQ(wrong.status, ReadStatus::FormatError);
    EXPECT_TRUE(wrong.sound.SoundIndex.entries.empty());
    const auto bytes = writeSound(file);
    for (std::size_t size :
         {0ul, 7ul, 8ul, 45ul, 46ul, 50ul, 66ul, 67ul, 1000ul, 2000000ul, bytes.size() - 1}) {
        const SoundReadResult cut =
            readSoundBytes(std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + size));
        EXPECT_NE(cut.status, ReadStatus::Ok) << size;
    }
    std::mt19937 random(11);
    for (int round = 0; round < 200; ++round) {
        std::vector<std::uint8_t> noisy(bytes.begin(), bytes.begin() + 200);
        for (int k = 0; k < 8; ++k) noisy[random() % noisy.size()] = static_cast<std::uint8_t>(random());
        readSoundBytes(noisy);
    }
}

TEST(SoundFile, AcceptanceFileComesBack) {
    const std::string path = std::string(CORVANE_TEST_DATA) + "/sound/hdcookbook-bookmenu-sound.bdmv";
    std::string error;
    const auto bytes = readWholeFile(path, error);
    ASSERT_TRUE(bytes) << error;
    const SoundReadResult result = readSoundBytes(*bytes);
    ASSERT_EQ(result.status, ReadStatus::Ok);
    ASSERT_EQ(result.sound.SoundIndex.entries.size(), 10u);
    EXPECT_EQ(channelName(result.sound.SoundIndex.entries[0].channel_configuration), "Stereo");
    EXPECT_EQ(testing::byteDifference(*bytes, writeSound(result.sound)), "");
}

} // namespace
} // namespace corvane
