#pragma once
// AUXDATA/sound.bdmv: the short LPCM sounds that menu buttons play, addressed by
// their index (the sound id), with WAV export and import.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "io/ExtensionData.h"
#include "io/ReadResult.h"

namespace corvane {

struct TSoundEntries {
    std::uint8_t channel_configuration = 0;     // 4-bit: 1 mono, 3 stereo
    std::uint8_t sampling_frequency = 0;        // 4-bit: 1 = 48 kHz
    std::uint8_t bits_per_sample = 0;           // 2-bit: 1 = 16 bits
    std::uint32_t sound_data_start_address = 0; // relative to SoundData_start_address
    std::uint32_t sound_data_length = 0;        // bytes
    std::vector<std::uint8_t> sound_data;       // 16-bit LPCM, most significant byte first
    bool operator==(const TSoundEntries&) const = default;
};

struct TSoundIndex {
    std::uint32_t length = 2;                 // as read; ±10 per entry inserted or deleted
    std::uint8_t number_of_sound_entries = 0; // equals entries.size()
    std::vector<TSoundEntries> entries;
    bool operator==(const TSoundIndex&) const = default;
};

struct TSND {
    std::string type_indicator = "BCLK";
    std::string version_number = "0200";
    std::uint32_t SoundData_start_address = 46;
    std::uint32_t ExtensionData_start_address = 0; // 0 = no block
    TSoundIndex SoundIndex;
    TExtensionData ExtensionData;
    bool operator==(const TSND&) const = default;
};

inline constexpr std::size_t MaxSounds = 255;

// Status Ok (read whole; may be saved), FormatError (not "BCLK" 0100/0200: no sounds, and
// the file is not written over) or Damaged (ends early: what was read is shown, the file
// is not written over). The messages end with the "Found" line.
struct SoundReadResult : ReadResult {
    TSND sound;
};

// Reads sound.bdmv from its bytes.
SoundReadResult readSoundBytes(const std::vector<std::uint8_t>& bytes);
// Sets the addresses to the writer's layout: the sound data after the index, each sound on a
// 4-byte boundary, the ExtensionData block (when one is held) after the last sound.
void layOutSound(TSND& sound);
// The file as the writer lays it out (layOutSound on a copy).
std::vector<std::uint8_t> writeSound(const TSND& sound);
// A new file without sounds.
TSND createSound();

// " Found [b]N[/b] sound entries" (or "entry").
std::string soundFoundLine(std::size_t count);

// Channels of the samples: 2 for stereo, else 1.
std::uint32_t soundChannels(const TSoundEntries& entry);
// The 44-byte WAV header and the samples in WAV byte order.
std::vector<std::uint8_t> mkWav(const TSoundEntries& entry);

inline constexpr std::string_view WavFormatError = "Wave format error! (Mandatory 48 kHz, 16 bit, PCM)";
inline constexpr std::string_view WavReadError = "Stream read error";
struct WavImport {
    std::optional<TSoundEntries> entry; // the new entry, samples in disc byte order
    std::string error;                  // WavFormatError or WavReadError
    bool formatError = false;           // the three-second pause follows a format error
};
// Checks a WAV image (48 kHz, 16-bit PCM) and makes an entry of its data chunk.
WavImport importWav(const std::vector<std::uint8_t>& wav);

// Inserts an entry after `after` (as entry 0 without one): the later entries move up with
// their data, the sizes follow. Nothing with 255 sounds.
std::optional<std::size_t> insertSound(TSND& sound, std::optional<std::size_t> after, TSoundEntries entry);
// Deletes entry `index`; false when there is none.
bool deleteSound(TSND& sound, std::size_t index);
// Replaces the ExtensionData block; the address becomes non-zero when a block is held.
void setSoundExtensionData(TSND& sound, const TExtensionData& block);

// Table texts: "No.", "channel", "frequency", "bits/sample", "length".
std::string_view channelName(std::uint8_t channel_configuration); // "Mono", "Stereo", "-"
std::vector<std::string> soundRow(const TSoundEntries& entry, std::size_t index, char decimalPoint = '.');
// The info line of a selected entry; empty without entries.
std::string soundInfoLine(const TSND& sound, std::size_t index, char thousandsSeparator = ',');
// "sound_000.wav".
std::string soundWavName(std::size_t index);

} // namespace corvane
