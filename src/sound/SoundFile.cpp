#include "sound/SoundFile.h"

#include <algorithm>

#include "io/ByteReader.h"
#include "io/ByteWriter.h"
#include "io/TextUtil.h"

namespace corvane {

namespace {

constexpr std::size_t HeaderBytes = 46; // header, SoundIndex length, reserved byte and count

// Big-endian samples to WAV order and back: the two bytes of every 16-bit sample trade places.
void swapSamples(std::vector<std::uint8_t>& data) {
    for (std::size_t i = 0; i + 1 < data.size(); i += 2) std::swap(data[i], data[i + 1]);
}

// One sound's entry of the SoundIndex as the file holds it.
void appendIndexEntry(ByteWriter& out, const TSoundEntries& entry) {
    out.appendbyte((entry.channel_configuration & 0x0Fu) << 4 | (entry.sampling_frequency & 0x0Fu));
    out.appendbyte((entry.bits_per_sample & 3u) << 6);
    out.appendlword(entry.sound_data_start_address);
    out.appendlword(entry.sound_data_length);
}

const std::int64_t IndexEntryBytes =
    static_cast<std::int64_t>(writtenSize(TSoundEntries{}, appendIndexEntry));

void resizeIndex(TSND& sound, std::int64_t entries, std::int64_t dataBytes) {
    const std::int64_t indexBytes = IndexEntryBytes * entries;
    sound.SoundIndex.length = static_cast<std::uint32_t>(sound.SoundIndex.length + indexBytes);
    sound.SoundData_start_address = static_cast<std::uint32_t>(sound.SoundData_start_address + indexBytes);
    if (sound.ExtensionData_start_address != 0)
        sound.ExtensionData_start_address =
            static_cast<std::uint32_t>(sound.ExtensionData_start_address + indexBytes + dataBytes);
    sound.SoundIndex.number_of_sound_entries = static_cast<std::uint8_t>(sound.SoundIndex.entries.size());
}

} // namespace

SoundReadResult readSoundBytes(const std::vector<std::uint8_t>& bytes) {
    SoundReadResult result;
    TSND& sound = result.sound;
    ByteReader in(bytes);
    sound.type_indicator = in.readstring(4);
    sound.version_number = in.readstring(4);
    if (sound.type_indicator != "BCLK" ||
        (sound.version_number != "0100" && sound.version_number != "0200")) {
        result.status = ReadStatus::FormatError;
        result.sound = TSND{};
        result.sound.SoundIndex.length = 2;
        result.messages.push_back({ReadMessage::Kind::Error, "Invalid format: sound.bdmv"});
        result.messages.push_back({ReadMessage::Kind::Log, soundFoundLine(0)});
        return result;
    }
    sound.SoundData_start_address = in.readlword();
    sound.ExtensionData_start_address = in.readlword();
    in.skip(24);
    sound.SoundIndex.length = in.readlword();
    in.skip(1);
    sound.SoundIndex.number_of_sound_entries = static_cast<std::uint8_t>(in.readbyte());
    const std::size_t count = in.capCount(sound.SoundIndex.number_of_sound_entries, 10);
    std::string problem;
    if (in.overrun() || count < sound.SoundIndex.number_of_sound_entries) problem = "the sound index";
    for (std::size_t i = 0; i < count; ++i) {
        TSoundEntries entry;
        const std::uint32_t format = in.readbyte();
        entry.channel_configuration = static_cast<std::uint8_t>(format >> 4);
        entry.sampling_frequency = static_cast<std::uint8_t>(format & 0x0F);
        entry.bits_per_sample = static_cast<std::uint8_t>(in.readbyte() >> 6);
        entry.sound_data_start_address = in.readlword();
        entry.sound_data_length = in.readlword();
        sound.SoundIndex.entries.push_back(std::move(entry));
    }
    for (std::size_t i = 0; i < sound.SoundIndex.entries.size(); ++i) {
        TSoundEntries& entry = sound.SoundIndex.entries[i];
        ByteReader data = ByteReader(bytes).range(std::size_t{sound.SoundData_start_address} +
                                                      entry.sound_data_start_address,
                                                  entry.sound_data_length);
        entry.sound_data = data.readbytes(entry.sound_data_length);
        if (data.overrun() && problem.empty()) problem = "the data of sound " + zeroPad(i, 3);
    }
    if (sound.ExtensionData_start_address != 0) {
        if (sound.ExtensionData_start_address >= bytes.size()) {
            if (problem.empty()) problem = "ExtensionData()";
        } else {
            ByteReader block = ByteReader(bytes).range(sound.ExtensionData_start_address,
                                                       bytes.size() - sound.ExtensionData_start_address);
            ReadExtensionData(block, sound.ExtensionData);
            if (block.overrun() && problem.empty()) problem = "ExtensionData()";
        }
    }
    sound.SoundIndex.number_of_sound_entries = static_cast<std::uint8_t>(sound.SoundIndex.entries.size());
    if (!problem.empty()) {
        result.status = ReadStatus::Damaged;
        result.messages.push_back(
            {ReadMessage::Kind::Error, "Error: sound.bdmv ends inside " + problem + "."});
    }
    result.messages.push_back({ReadMessage::Kind::Log, soundFoundLine(sound.SoundIndex.entries.size())});
    return result;
}

std::string soundFoundLine(std::size_t count) {
    return " Found [b]" + std::to_string(count) + "[/b] sound entr" + (count > 1 ? "ies" : "y");
}

void layOutSound(TSND& sound) {
    auto& entries = sound.SoundIndex.entries;
    if (entries.size() > MaxSounds) entries.resize(MaxSounds);
    sound.SoundIndex.number_of_sound_entries = static_cast<std::uint8_t>(entries.size());
    sound.SoundData_start_address =
        static_cast<std::uint32_t>(HeaderBytes + IndexEntryBytes * static_cast<std::int64_t>(entries.size()));
    // Each sound starts on a 4-byte boundary of the sound data (lengths are even).
    std::uint32_t end = 0;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        entries[i].sound_data_start_address = end;
        end += entries[i].sound_data_length;
        if (end % 4) end += 2;
    }
    const bool hasBlock = sound.ExtensionData_start_address != 0 && sound.ExtensionData.length != 0;
    sound.ExtensionData_start_address = hasBlock ? sound.SoundData_start_address + end : 0;
}

std::vector<std::uint8_t> writeSound(const TSND& held) {
    TSND sound = held;
    layOutSound(sound);
    ByteWriter out;
    out.appendstring(sound.type_indicator, 4);
    out.appendstring(sound.version_number, 4);
    out.appendlword(sound.SoundData_start_address);
    out.appendlword(sound.ExtensionData_start_address);
    out.appendbytes(std::vector<std::uint8_t>(24, 0));
    out.appendlword(sound.SoundIndex.length);
    out.appendbyte(0);
    out.appendbyte(sound.SoundIndex.number_of_sound_entries);
    for (const TSoundEntries& entry : sound.SoundIndex.entries) appendIndexEntry(out, entry);
    for (const TSoundEntries& entry : sound.SoundIndex.entries) {
        // The held length decides; data shorter than it (never in a file read whole) is padded.
        std::vector<std::uint8_t> data = entry.sound_data;
        data.resize(entry.sound_data_length, 0);
        out.appendbytes(data);
        if ((out.fill() - sound.SoundData_start_address) % 4)
            out.appendbytes(std::vector<std::uint8_t>(2, 0));
    }
    if (sound.ExtensionData_start_address != 0) WriteExtensionData(out, sound.ExtensionData);
    std::vector<std::uint8_t> bytes;
    out.flushbuffer(bytes);
    return bytes;
}

TSND createSound() {
    return TSND{};
}

std::uint32_t soundChannels(const TSoundEntries& entry) {
    return entry.channel_configuration == 3 ? 2 : 1;
}

std::vector<std::uint8_t> mkWav(const TSoundEntries& entry) {
    const std::uint32_t channels = soundChannels(entry);
    ByteWriter wav;
    wav.appendstring("RIFF", 4);
    wav.appendlwordLE(entry.sound_data_length + 36);
    wav.appendstring("WAVEfmt ", 8);
    wav.appendlwordLE(16); // fmt chunk size
    wav.appendwordLE(1);   // PCM
    wav.appendwordLE(channels);
    wav.appendlwordLE(48000);                // samples per second
    wav.appendlwordLE(channels * 2 * 48000); // bytes per second
    wav.appendwordLE(channels * 2);          // block align
    wav.appendwordLE(16);                    // bits per sample
    wav.appendstring("data", 4);
    wav.appendlwordLE(entry.sound_data_length);
    std::vector<std::uint8_t> samples = entry.sound_data;
    samples.resize(entry.sound_data_length, 0);
    swapSamples(samples);
    wav.appendbytes(samples);
    return wav.take();
}

WavImport importWav(const std::vector<std::uint8_t>& wav) {
    WavImport result;
    ByteReader in(wav);
    const std::string riff = in.readstring(4);
    in.skip(4); // RIFF size
    const std::string wave = in.readstring(4);
    const std::string fmt = in.readstring(4);
    const std::uint32_t fmtSize = in.readlwordLE();
    const std::uint32_t format = in.readwordLE();
    const std::uint32_t channels = in.readwordLE();
    const std::uint32_t rate = in.readlwordLE();
    in.skip(6); // bytes per second, block align
    const std::uint32_t bits = in.readwordLE();
    if (wav.size() < 38 || riff != "RIFF" || wave != "WAVE" || fmt != "fmt " || format != 1 ||
        rate != 48000 || bits != 16) {
        result.error = WavFormatError;
        result.formatError = true;
        return result;
    }
    // Chunks after fmt: skip to "data" (RIFF pads odd-sized chunks with one byte).
    std::uint64_t at = 20 + std::uint64_t{fmtSize} + (fmtSize & 1);
    while (true) {
        if (at + 8 > wav.size()) {
            result.error = WavReadError;
            return result;
        }
        ByteReader chunk = in.range(static_cast<std::size_t>(at), 8);
        const std::string id = chunk.readstring(4);
        const std::uint32_t size = chunk.readlwordLE();
        if (id == "data") {
            if (at + 8 + size > wav.size()) {
                result.error = WavReadError;
                return result;
            }
            TSoundEntries entry;
            entry.channel_configuration = channels == 1 ? 1 : 3;
            entry.sampling_frequency = 1;
            entry.bits_per_sample = 1;
            entry.sound_data_length = size;
            entry.sound_data.assign(wav.begin() + static_cast<std::ptrdiff_t>(at + 8),
                                    wav.begin() + static_cast<std::ptrdiff_t>(at + 8 + size));
            swapSamples(entry.sound_data);
            result.entry = std::move(entry);
            return result;
        }
        at += 8 + std::uint64_t{size} + (size & 1);
    }
}

std::optional<std::size_t> insertSound(TSND& sound, std::optional<std::size_t> after, TSoundEntries entry) {
    auto& entries = sound.SoundIndex.entries;
    if (entries.size() >= MaxSounds) return std::nullopt;
    const std::size_t at = after ? std::min(*after + 1, entries.size()) : 0;
    const std::uint32_t length = entry.sound_data_length;
    entry.sound_data_start_address = 0; // fixed by the next save
    for (std::size_t i = at; i < entries.size(); ++i) entries[i].sound_data_start_address += length;
    entries.insert(entries.begin() + static_cast<std::ptrdiff_t>(at), std::move(entry));
    resizeIndex(sound, 1, length);
    return at;
}

bool deleteSound(TSND& sound, std::size_t index) {
    auto& entries = sound.SoundIndex.entries;
    if (index >= entries.size()) return false;
    const std::uint32_t length = entries[index].sound_data_length;
    entries.erase(entries.begin() + static_cast<std::ptrdiff_t>(index));
    for (std::size_t i = index; i < entries.size(); ++i) entries[i].sound_data_start_address -= length;
    resizeIndex(sound, -1, -static_cast<std::int64_t>(length));
    return true;
}

void setSoundExtensionData(TSND& sound, const TExtensionData& block) {
    sound.ExtensionData = block;
    if (block.length == 0) {
        sound.ExtensionData_start_address = 0;
    } else if (sound.ExtensionData_start_address == 0) {
        sound.ExtensionData_start_address = 1; // any non-zero value; the writer places the block
    }
}

std::string_view channelName(std::uint8_t channel_configuration) {
    switch (channel_configuration) {
    case 1:
        return "Mono";
    case 3:
        return "Stereo";
    default:
        return "-";
    }
}

std::vector<std::string> soundRow(const TSoundEntries& entry, std::size_t index, char decimalPoint) {
    // Hundredths of a second of 48 kHz 16-bit samples on the entry's channels.
    const std::uint32_t hundredths = entry.sound_data_length / 480 / (2 * soundChannels(entry));
    std::string length = std::to_string(hundredths / 100);
    if (hundredths % 100) {
        std::string fraction = zeroPad(hundredths % 100, 2);
        if (fraction.back() == '0') fraction.pop_back();
        length += decimalPoint + fraction;
    }
    return {zeroPad(index, 3), std::string(channelName(entry.channel_configuration)),
            entry.sampling_frequency == 1 ? "48kHz" : "-", entry.bits_per_sample == 1 ? "16" : "-",
            length + " s"};
}

std::string soundInfoLine(const TSND& sound, std::size_t index, char thousandsSeparator) {
    const auto& entries = sound.SoundIndex.entries;
    if (entries.empty() || index >= entries.size()) return {};
    auto grouped = [&](std::uint64_t value) {
        std::string text = thousands(static_cast<std::int64_t>(value));
        if (thousandsSeparator != ',') std::replace(text.begin(), text.end(), ',', thousandsSeparator);
        return text;
    };
    const TSoundEntries& entry = entries[index];
    const std::uint64_t total =
        std::uint64_t{entries.back().sound_data_start_address} + entries.back().sound_data_length;
    return "Data start: " + hexText(entry.sound_data_start_address, 8) + " (" +
           grouped(entry.sound_data_start_address) + ")  Length: " + hexText(entry.sound_data_length, 8) +
           " (" + grouped(entry.sound_data_length) + ")  Total data length: " + hexText(total, 8) + "(" +
           grouped(total) + ")";
}

std::string soundWavName(std::size_t index) {
    return "sound_" + zeroPad(index, 3) + ".wav";
}

} // namespace corvane
