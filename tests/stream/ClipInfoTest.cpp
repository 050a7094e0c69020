// Clip information files: real files, files built here for what real discs rarely
// hold (ATC deltas, font files, several sequences, every coding type), the page texts,
// and input that is cut short or random.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "io/ByteWriter.h"
#include "io/FileIO.h"
#include "navigation/NavTestUtil.h"
#include "shell/CaptureSink.h"
#include "shell/DiscFolder.h"
#include "shell/Session.h"
#include "shell/SessionFiles.h"
#include "stream/ClipInfo.h"

namespace corvane {
namespace {

std::vector<std::uint8_t> clipSample(const std::string& name) {
    std::ifstream file(std::string(CORVANE_TEST_DATA) + "/clipinf/" + name, std::ios::binary);
    EXPECT_TRUE(file.good()) << "missing sample " << name;
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

struct BuiltStream {
    std::uint16_t pid;
    std::vector<std::uint8_t> coding; // coding type and the attribute bytes after it
};

// What a built clip holds.
struct ClipLayout {
    std::uint8_t application_type = 1;
    std::vector<TATCDeltaEntry> deltas; // is_ATC_delta when not empty
    std::vector<std::string> fonts;     // written for application type 6
    std::vector<std::vector<TSTCSequence>> atcSequences{{{0x1001, 0, 0x100, 0x200}}};
    std::vector<std::vector<BuiltStream>> programs;
    std::vector<std::array<std::uint16_t, 4>> epEntries; // PID and the three words after it
    std::vector<std::uint8_t> extension;                 // a whole ExtensionData() block or nothing
};

std::vector<std::uint8_t> video(std::uint8_t formatRate, std::uint8_t aspect) {
    std::vector<std::uint8_t> bytes{0x1B, formatRate, aspect, 0, 0};
    for (char c : std::string("USABC2400001")) bytes.push_back(static_cast<std::uint8_t>(c));
    bytes.resize(21, 0);
    return bytes;
}
std::vector<std::uint8_t> attributes(std::uint8_t type, std::vector<std::uint8_t> head) {
    head.insert(head.begin(), type);
    head.resize(21, 0);
    return head;
}

std::vector<std::uint8_t> buildClip(const ClipLayout& layout) {
    ByteWriter w;
    w.appendstring("HDMV", 4);
    w.appendstring("0200", 4);
    for (int i = 0; i < 5; ++i) w.appendlword(0);
    for (int i = 0; i < 12; ++i) w.appendbyte(0);
    // ClipInfo()
    const std::size_t clipInfo = w.fill();
    w.appendlword(0);
    w.appendword(0);
    w.appendbyte(1);
    w.appendbyte(layout.application_type);
    w.appendlword(layout.deltas.empty() ? 0 : 1);
    w.appendlword(48000000 / 8);
    w.appendlword(1234);
    for (int i = 0; i < 128; ++i) w.appendbyte(0);
    w.appendword(30);
    w.appendbyte(0x80);
    w.appendstring("HDMV", 4);
    for (int i = 0; i < 25; ++i) w.appendbyte(0);
    if (!layout.deltas.empty()) {
        w.appendbyte(0);
        w.appendbyte(static_cast<std::uint32_t>(layout.deltas.size()));
        for (const auto& d : layout.deltas) {
            w.appendlword(d.ATC_delta);
            w.appendstring(d.following_Clip_Information_file_name, 5);
            w.appendstring(d.Clip_codec_identifier, 4);
            w.appendbyte(0);
        }
    }
    if (layout.application_type == 6) {
        w.appendbyte(0);
        w.appendbyte(static_cast<std::uint32_t>(layout.fonts.size()));
        for (const auto& f : layout.fonts) {
            w.appendstring(f, 5);
            w.appendbyte(0);
        }
    }
    w.putlword(static_cast<std::uint32_t>(w.fill() - clipInfo - 4), clipInfo);
    // SequenceInfo()
    w.putlword(static_cast<std::uint32_t>(w.fill()), 8);
    const std::size_t sequenceInfo = w.fill();
    w.appendlword(0);
    w.appendbyte(0);
    w.appendbyte(static_cast<std::uint32_t>(layout.atcSequences.size()));
    for (std::size_t i = 0; i < layout.atcSequences.size(); ++i) {
        w.appendlword(static_cast<std::uint32_t>(0x100 * i));
        w.appendbyte(static_cast<std::uint32_t>(layout.atcSequences[i].size()));
        w.appendbyte(static_cast<std::uint32_t>(i));
        for (const auto& stc : layout.atcSequences[i]) {
            w.appendword(stc.PCR_PID);
            w.appendlword(stc.SPN_STC_start);
            w.appendlword(stc.presentation_start_time);
            w.appendlword(stc.presentation_end_time);
        }
    }
    w.putlword(static_cast<std::uint32_t>(w.fill() - sequenceInfo - 4), sequenceInfo);
    // ProgramInfo()
    w.putlword(static_cast<std::uint32_t>(w.fill()), 12);
    const std::size_t programInfo = w.fill();
    w.appendlword(0);
    w.appendword(static_cast<std::uint32_t>(layout.programs.size()));
    for (const auto& program : layout.programs) {
        w.appendlword(0);
        w.appendword(0x0100);
        w.appendbyte(static_cast<std::uint32_t>(program.size()));
        w.appendbyte(0);
        for (const auto& stream : program) {
            w.appendword(stream.pid);
            w.appendbyte(static_cast<std::uint32_t>(stream.coding.size()));
            w.appendbytes(stream.coding);
        }
    }
    w.putlword(static_cast<std::uint32_t>(w.fill() - programInfo - 4), programInfo);
    // CPI()
    w.putlword(static_cast<std::uint32_t>(w.fill()), 16);
    if (layout.epEntries.empty()) {
        w.appendlword(0);
    } else {
        w.appendlword(static_cast<std::uint32_t>(4 + 12 * layout.epEntries.size()));
        w.appendword(1);
        w.appendbyte(0);
        w.appendbyte(static_cast<std::uint32_t>(layout.epEntries.size()));
        for (const auto& e : layout.epEntries) {
            for (auto word : e) w.appendword(word);
            w.appendlword(0x0E);
        }
    }
    // ClipMark()
    w.putlword(static_cast<std::uint32_t>(w.fill()), 20);
    w.appendlword(0);
    if (!layout.extension.empty()) {
        w.putlword(static_cast<std::uint32_t>(w.fill()), 24);
        w.appendbytes(layout.extension);
    }
    w.resize(w.fill());
    return w.take();
}

ClipLayout typicalLayout() {
    ClipLayout layout;
    layout.programs = {{{0x1011, video(0x61, 0x30)},
                        {0x1100, attributes(0x80, {0x61, 'j', 'p', 'n'})},
                        {0x1200, attributes(0x90, {'e', 'n', 'g'})}}};
    layout.epEntries = {{0x1011, 0x0004, 0x0008, 0x0002}};
    return layout;
}

TEST(ClipInfoReal, KnownFieldsOfADiscClip) {
    const auto result = readClipInfo(clipSample("bdpl-disc1-00002-5pg.clpi"), "00002.clpi");
    ASSERT_EQ(result.status, ReadStatus::Ok);
    const TCLPI& clpi = result.clpi;
    EXPECT_EQ(clpi.ClipInfo.application_type, 1);
    EXPECT_EQ(clpi.ClipInfo.TS_recording_rate, 6000000u);
    EXPECT_EQ(clpi.ClipInfo.number_of_source_packets, 27584u);
    const auto rows = clipStreamRows(clpi);
    ASSERT_EQ(rows.size(), 7u);
    EXPECT_EQ(rows[0], (StreamRow{"1", "1011", "AVC", "1080p, 23.976, 16:9"}));
    EXPECT_EQ(rows[1], (StreamRow{"2", "1100", "LPCM", "Stereo, 48 kHz, jpn"}));
    EXPECT_EQ(rows[3], (StreamRow{"4", "1201", "PG", "eng"}));
    const auto ep = epMapRows(clpi);
    ASSERT_EQ(ep.size(), 1u);
    EXPECT_EQ(ep[0], (std::array<std::string, 6>{"0", "1011", "1", "0002", "00002", "0000000E"}));
    EXPECT_EQ(result.messages.front().text, "[b]7[/b] Program stream(s) found.");
}

TEST(ClipInfoReal, EmptyExtensionDataAtcDeltaAndMenuClips) {
    const auto ext = readClipInfo(clipSample("bdj-sdk-00000-extdata.clpi"), "00000.clpi");
    ASSERT_EQ(ext.status, ReadStatus::Ok);
    EXPECT_EQ(ext.clpi.ExtensionData_start_address, 1132u); // an empty block: its length field only
    EXPECT_EQ(ext.clpi.ExtensionData.length, 0u);
    EXPECT_EQ(clipStreamRows(ext.clpi)[1][2], "DD");

    const auto delta = readClipInfo(clipSample("bdpl-disc1-00007-atc-delta.clpi"), "00007.clpi");
    ASSERT_EQ(delta.status, ReadStatus::Ok);
    const auto rows = atcDeltaRows(delta.clpi);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][0], "0");
    EXPECT_EQ(rows[0][2], "00008");
    EXPECT_EQ(rows[0][3], "M2TS");
    EXPECT_EQ(delta.clpi.ClipInfo.number_of_source_packets, 43086400u);

    const auto menu = readClipInfo(clipSample("bdpl-disc1-00003-ig-menu.clpi"), "00003.clpi");
    ASSERT_EQ(menu.status, ReadStatus::Ok);
    EXPECT_EQ(applicationTypeName(menu.clpi.ClipInfo.application_type),
              "Sub TS for a Interactive Graphics menu");
    EXPECT_EQ(clipStreamRows(menu.clpi).at(0)[1], "1400");

    for (const char* name : {"bdpl-disc3-00002-truehd.clpi", "bdpl-disc17-00007-slideshow.clpi"})
        EXPECT_EQ(readClipInfo(clipSample(name), name).status, ReadStatus::Ok) << name;
}

// The clips of a UHD disc (0300): each reads whole with its version; the HEVC streams show
// their format, dynamic range and colour space, and carry an EP map.
TEST(ClipInfoReal, UhdDiscClips) {
    const std::filesystem::path folder = std::filesystem::path(CORVANE_TEST_DATA) / "clipinf" / "disc5";
    std::size_t read = 0, hevc = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        SCOPED_TRACE(entry.path().string());
        const auto result = readClipInfo(clipSample("disc5/" + entry.path().filename().string()), "x.clpi");
        ASSERT_EQ(result.status, ReadStatus::Ok);
        EXPECT_EQ(result.clpi.version_number, "0300");
        ++read;
        for (const auto& stream : result.clpi.ProgramInfo.program_sequences.at(0).streams) {
            if (stream.stream_coding_type != 0x24) continue;
            ++hevc;
            EXPECT_EQ(stream.video_format, 8);
            const bool ep =
                std::any_of(result.clpi.CPI.EP_map_entries.begin(), result.clpi.CPI.EP_map_entries.end(),
                            [&](const TEPMapEntry& e) {
                                return e.stream_PID == stream.stream_PID && e.number_of_EP_fine_entries;
                            });
            EXPECT_TRUE(ep);
        }
    }
    EXPECT_EQ(read, 23u);
    EXPECT_EQ(hevc, 17u);
    const auto main = readClipInfo(clipSample("disc5/00002.clpi"), "00002.clpi");
    const TStreamCodingInfo& video = main.clpi.ProgramInfo.program_sequences.at(0).streams.at(0);
    EXPECT_EQ(video.dynamic_range_type, 1);
    EXPECT_EQ(video.color_space, 2);
    EXPECT_EQ(clipStreamRows(main.clpi).at(0),
              (StreamRow{"1", "1011", "HEVC", "2160p, 23.976, 16:9, HDR10, BT.2020"}));
    const auto sdr = readClipInfo(clipSample("disc5/00000.clpi"), "00000.clpi");
    EXPECT_EQ(clipStreamRows(sdr.clpi).at(0).at(3), "2160p, 23.976, 16:9, SDR, BT.709");
}

// Every clip of the acceptance set reads whole, the UHD ones (0300) too.
TEST(ClipInfoReal, AcceptanceSet) {
    const auto root = testing::acceptanceFolder();
    std::error_code ec;
    if (!std::filesystem::is_directory(root, ec)) GTEST_SKIP() << "no acceptance set at " << root;
    std::size_t read = 0, uhd = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root, ec)) {
        if (entry.path().extension() != ".clpi") continue;
        std::string error;
        const auto bytes = readWholeFile(entry.path().string(), error);
        ASSERT_TRUE(bytes);
        const auto result = readClipInfo(*bytes, entry.path().filename().string());
        const std::string version(bytes->begin() + 4, bytes->begin() + 8);
        if (version == "0300") ++uhd;
        EXPECT_EQ(result.status, ReadStatus::Ok) << entry.path();
        EXPECT_FALSE(result.clpi.ProgramInfo.program_sequences.empty()) << entry.path();
        ++read;
    }
    EXPECT_GT(read, 700u);
    std::cout << "acceptance clips read: " << read << ", of them 0300: " << uhd << '\n';
}

TEST(ClipInfoBuilt, AtcDeltaEntriesAndFontFiles) {
    ClipLayout layout = typicalLayout();
    layout.deltas = {{0x12345678, "00010", "M2TS"}, {0x9ABCDEF0, "00011", "M2TS"}};
    auto result = readClipInfo(buildClip(layout), "x.clpi");
    ASSERT_EQ(result.status, ReadStatus::Ok);
    auto rows = atcDeltaRows(result.clpi);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0], (std::array<std::string, 4>{"0", "12345678", "00010", "M2TS"}));
    EXPECT_EQ(rows[1][0], "1");
    EXPECT_EQ(rows[1][1], "9ABCDEF0");
    EXPECT_TRUE(fontFileRows(result.clpi).empty());

    // Application type 6 reads its font files after the ATC deltas.
    layout.application_type = 6;
    layout.fonts = {"00001", "00002", "00003"};
    result = readClipInfo(buildClip(layout), "x.clpi");
    ASSERT_EQ(result.status, ReadStatus::Ok);
    const auto fonts = fontFileRows(result.clpi);
    ASSERT_EQ(fonts.size(), 3u);
    EXPECT_EQ(fonts[0], (std::array<std::string, 2>{"1", "00001"}));
    EXPECT_EQ(fonts[2], (std::array<std::string, 2>{"3", "00003"}));
    EXPECT_EQ(atcDeltaRows(result.clpi).size(), 2u);
    EXPECT_EQ(applicationTypeName(6), "Sub TS for a Text subtitle");
    EXPECT_EQ(applicationTypeName(8), "");
}

TEST(ClipInfoBuilt, SequencesAndStcRows) {
    ClipLayout layout = typicalLayout();
    layout.atcSequences = {
        {{0x1001, 0, 0x100, 0x200}, {0x1001, 0x5000, 0x300, 0x400}}, {}, {{0x1011, 0x9000, 1, 2}}};
    const auto result = readClipInfo(buildClip(layout), "x.clpi");
    ASSERT_EQ(result.status, ReadStatus::Ok);
    const auto sequences = sequenceRows(result.clpi);
    ASSERT_EQ(sequences.size(), 3u);
    EXPECT_EQ(sequences[1], (std::array<std::string, 4>{"1", "00000100", "0", "1"}));
    const auto stc = stcRows(result.clpi);
    ASSERT_EQ(stc.size(), 3u);
    EXPECT_EQ(stc[1], (std::array<std::string, 5>{"0", "1001", "00005000", "00000300", "00000400"}));
    EXPECT_EQ(stc[2][0], "2");
}

TEST(ClipInfoBuilt, DetailsOfEveryCodingKind) {
    ClipLayout layout;
    layout.programs = {{{0x1011, video(0x63, 0x20)},
                        {0x1100, attributes(0x86, {0x6C, 'e', 'n', 'g'})},
                        {0x1400, attributes(0x91, {'f', 'r', 'a'})},
                        {0x1800, attributes(0x92, {0x01, 'd', 'e', 'u'})},
                        {0x1900, {0x42, 1, 2, 3, 4, 5, 6, 7}}, // unknown: stepped over by its length
                        {0x1A00, attributes(0xA1, {0x11, 'e', 'n', 'g'})}},
                       {{0x1011, video(0x41, 0x30)}}};
    const auto result = readClipInfo(buildClip(layout), "x.clpi");
    ASSERT_EQ(result.status, ReadStatus::Ok);
    const auto first = streamRows(result.clpi.ProgramInfo.program_sequences[0]);
    ASSERT_EQ(first.size(), 6u);
    EXPECT_EQ(first[0][3], "1080p, 25, 4:3");
    EXPECT_EQ(first[1], (StreamRow{"2", "1100", "DTS-HD XLL", "Multi-ch., c:48/96, e:192 kHz, eng"}));
    EXPECT_EQ(first[2][3], "fra");
    EXPECT_EQ(first[3], (StreamRow{"4", "1800", "Text", "1, deu"}));
    EXPECT_EQ(first[4][3], "");
    EXPECT_EQ(first[5], (StreamRow{"6", "1A00", "DD+", "Mono, 48 kHz, eng"}));
    // A second program sequence keeps its own rows.
    const auto all = clipStreamRows(result.clpi);
    ASSERT_EQ(all.size(), 7u);
    EXPECT_EQ(all[6], (StreamRow{"1", "1011", "AVC", "1080i, 23.976, 16:9"}));
    EXPECT_EQ(result.messages.front().text, "[b]6[/b] Program stream(s) found.");
}

TEST(ClipInfoBuilt, EpMapWordSplit) {
    TEPMapEntry entry;
    splitEPMapWords(0x0003, 0x0000, 0x0000, entry);
    EXPECT_EQ(entry.number_of_EP_coarse_entries, 0xC000);
    splitEPMapWords(0x0001, 0x0000, 0x0000, entry);
    EXPECT_EQ(entry.number_of_EP_coarse_entries, 16384);
    splitEPMapWords(0x0000, 0x0003, 0x0005, entry);
    EXPECT_EQ(entry.number_of_EP_fine_entries, 3u * 65536 + 5);
    EXPECT_EQ(entry.number_of_EP_coarse_entries, 0);
    splitEPMapWords(0xFFFF, 0xFFFF, 0xFFFF, entry);
    EXPECT_EQ(entry.EP_stream_type, 0x0F);
    EXPECT_EQ(entry.number_of_EP_coarse_entries, 0xFFFF);
    EXPECT_EQ(entry.number_of_EP_fine_entries, 0x3FFFFu);

    ClipLayout layout = typicalLayout();
    layout.epEntries = {{0x1011, 0x0005, 0x0003, 0x0001}, {0x1100, 0x0008, 0, 0}};
    const auto rows = epMapRows(readClipInfo(buildClip(layout), "x.clpi").clpi);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0], (std::array<std::string, 6>{"0", "1011", "1", "4000", "30001", "0000000E"}));
    EXPECT_EQ(rows[1][2], "2");
    // No CPI: no EP map rows.
    layout.epEntries.clear();
    EXPECT_TRUE(epMapRows(readClipInfo(buildClip(layout), "x.clpi").clpi).empty());
}

TEST(ClipInfoRobust, WrongTypeOrVersion) {
    auto bytes = buildClip(typicalLayout());
    bytes[7] = '3';
    auto result = readClipInfo(bytes, "00001.clpi");
    EXPECT_EQ(result.status, ReadStatus::FormatError);
    ASSERT_EQ(result.messages.size(), 1u);
    EXPECT_EQ(result.messages[0].text, "Invalid format: 00001.clpi");
    EXPECT_EQ(readClipInfo({}, "e.clpi").status, ReadStatus::FormatError);
    EXPECT_EQ(readClipInfo({'M', 'P', 'L', 'S', '0'}, "m.clpi").status, ReadStatus::FormatError);
    // Cut inside its type and version, the file is a clip information file that ends early.
    const auto cut = readClipInfo(std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + 6), "c.clpi");
    EXPECT_EQ(cut.status, ReadStatus::Damaged);
    ASSERT_EQ(cut.messages.size(), 1u);
    EXPECT_EQ(cut.messages[0].text.rfind("c.clpi ends early", 0), 0u) << cut.messages[0].text;
}

TEST(ClipInfoRobust, EveryTruncationIsReported) {
    ClipLayout layout = typicalLayout();
    layout.deltas = {{1, "00002", "M2TS"}};
    layout.extension = {0, 0, 0, 0};
    for (const auto& bytes : {buildClip(layout), clipSample("disc5/00002.clpi")}) {
        ASSERT_EQ(readClipInfo(bytes, "x.clpi").status, ReadStatus::Ok);
        for (std::size_t cut = 0; cut < bytes.size(); ++cut) {
            const std::vector<std::uint8_t> part(bytes.begin(),
                                                 bytes.begin() + static_cast<std::ptrdiff_t>(cut));
            const auto result = readClipInfo(part, "x.clpi");
            EXPECT_NE(result.status, ReadStatus::Ok) << "cut at " << cut;
            ASSERT_FALSE(result.messages.empty());
            EXPECT_EQ(result.messages.back().kind, ReadMessage::Kind::Error);
            if (result.status == ReadStatus::Damaged) {
                EXPECT_LE(result.problemAt, cut);
            }
        }
    }
}

TEST(ClipInfoRobust, AddressPastTheEndAndRandomBytes) {
    auto bytes = buildClip(typicalLayout());
    bytes[16] = 0x7F; // CPI_start_address far past the end
    const auto result = readClipInfo(bytes, "x.clpi");
    EXPECT_EQ(result.status, ReadStatus::Damaged);
    EXPECT_NE(result.messages[0].text.find("CPI_start_address"), std::string::npos);

    std::mt19937 random(6);
    const auto real = clipSample("bdpl-disc1-00002-5pg.clpi");
    for (int round = 0; round < 2000; ++round) {
        auto damaged = real;
        for (int flips = 0; flips < 8; ++flips)
            damaged[8 + random() % (damaged.size() - 8)] = static_cast<std::uint8_t>(random());
        const auto r = readClipInfo(damaged, "x.clpi");
        if (r.status == ReadStatus::Ok) {
            EXPECT_LE(r.clpi.ProgramInfo.program_sequences.size(), 255u);
        }
    }
    std::vector<std::uint8_t> noise(600);
    for (int round = 0; round < 500; ++round) {
        for (auto& b : noise) b = static_cast<std::uint8_t>(random());
        noise[0] = 'H', noise[1] = 'D', noise[2] = 'M', noise[3] = 'V', noise[4] = '0', noise[5] = '2';
        noise[6] = '0', noise[7] = '0';
        readClipInfo(noise, "x.clpi");
    }
}

TEST(ClipInfoFile, ReadStepWith83NamesKeepsModelOnFailure) {
    const auto dir = std::filesystem::temp_directory_path() / "corvane_clipinfo_test" / "BDMV";
    std::filesystem::remove_all(dir.parent_path());
    std::filesystem::create_directories(dir / "CLIPINF");
    ASSERT_TRUE(writeWholeFile((dir / "CLIPINF" / "00001.CLP").string(), buildClip(typicalLayout())).ok);
    std::vector<std::uint8_t> bad = buildClip(typicalLayout());
    bad[0] = 'X';
    ASSERT_TRUE(writeWholeFile((dir / "CLIPINF" / "00002.CLP").string(), bad).ok);

    testing::CaptureSink sink;
    Session session;
    session.reporter.setSink(&sink);
    session.options.use83names = true;
    session.applyOptions();
    session.BDMVdir = dir.string() + std::string(1, pathSeparator());
    TCLPI clpi;
    EXPECT_EQ(readClipInfoFile(session, "00001", clpi), ReadStatus::Ok);
    EXPECT_TRUE(sink.contains("Reading 00001.CLP"));
    EXPECT_TRUE(sink.contains("3 Program stream(s) found."));
    EXPECT_EQ(sink.status[0], "Ready.");
    const TCLPI before = clpi;
    EXPECT_EQ(readClipInfoFile(session, "00002", clpi), ReadStatus::FormatError);
    EXPECT_TRUE(sink.contains("ERROR: Invalid format: 00002.CLP"));
    EXPECT_EQ(clpi, before);
    EXPECT_EQ(readClipInfoFile(session, "00003", clpi), ReadStatus::FileError);
    EXPECT_EQ(sink.fileErrors.size(), 1u);
    std::filesystem::remove_all(dir.parent_path());
}

TEST(ClipInfoPage, LabelsAndStreamRowActions) {
    const std::vector<TAVStream> streams{{"00001.m2ts", 1234567}, {"", 0}};
    auto labels = streamLabels(streams, 0, "00001", ".m2ts");
    EXPECT_EQ(labels.name, "00001.m2ts");
    EXPECT_EQ(labels.size, "1,234,567");
    EXPECT_FALSE(labels.missing);
    labels = streamLabels(streams, 1, "00002", ".MTS");
    EXPECT_EQ(labels.name, "00002.MTS");
    EXPECT_EQ(labels.size, "missing file");
    EXPECT_TRUE(labels.missing);
    EXPECT_EQ(streamLabels(streams, 5, "x", ".m2ts").name, "-");

    EXPECT_TRUE(canLoadToMenu(100, 0x1401));
    EXPECT_FALSE(canLoadToMenu(0, 0x1400));
    EXPECT_FALSE(canLoadToMenu(100, 0x1200));
    EXPECT_EQ(streamRowAction(true, 100, 0x1401), StreamRowAction::Play);
    EXPECT_EQ(streamRowAction(true, 100, 0x1400), StreamRowAction::LoadMenu);
    EXPECT_EQ(streamRowAction(false, 100, 0x1400), StreamRowAction::Nothing);
    EXPECT_EQ(streamRowAction(true, 0, 0x1011), StreamRowAction::Nothing);
}

} // namespace
} // namespace corvane
