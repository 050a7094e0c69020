#include <gtest/gtest.h>

#include <random>

#include "navigation/MovieObject.h"
#include "navigation/NavTestUtil.h"

namespace corvane {
namespace {

using testing::byteDifference;
using testing::readSample;

const char* const kMobjSamples[] = {"bdpl-disc1-MovieObject.bdmv", "bdpl-disc3-MovieObject.bdmv",
                                    "bdj-sdk-MovieObject.bdmv", "bridgehead-MovieObject.bdmv",
                                    "bdpl-disc5-MovieObject-0300.bdmv"};

// A well-formed file of objects holding `programs[i]` commands each (opcode 0x50400001 + line,
// destination = object, source = line), with consistent lengths.
TMOBJ buildMobj(const std::vector<std::size_t>& programs) {
    TMOBJ mobj;
    mobj.type_indicator = "MOBJ";
    mobj.version_number = "0200";
    std::uint32_t length = 6;
    for (std::size_t i = 0; i < programs.size(); ++i) {
        Tmobject object;
        object.resume_intention_flag = static_cast<std::uint8_t>(i & 1);
        object.menu_call_mask = 1;
        for (std::size_t line = 0; line < programs[i]; ++line)
            object.navigation_commands.push_back({0x50400001u + static_cast<std::uint32_t>(line),
                                                  static_cast<std::uint32_t>(i),
                                                  static_cast<std::uint32_t>(line)});
        object.number_of_navigation_commands = static_cast<std::uint16_t>(programs[i]);
        length += 4 + 12 * static_cast<std::uint32_t>(programs[i]);
        mobj.MovieObjects.mobjs.push_back(object);
    }
    mobj.MovieObjects.number_of_mobjs = static_cast<std::uint16_t>(programs.size());
    mobj.MovieObjects.mobjs_length = length;
    return mobj;
}

std::size_t commandCount(const TMOBJ& mobj) {
    std::size_t count = 0;
    for (const auto& object : mobj.MovieObjects.mobjs) count += object.navigation_commands.size();
    return count;
}

// A read that succeeds gives a model whose written form reads back complete and writes the same bytes.
void expectStableRewrite(const MobjReadResult& first) {
    const auto written = writeMovieObject(first.mobj);
    const auto again = readMovieObject(written);
    ASSERT_EQ(again.status, ReadStatus::Ok);
    EXPECT_FALSE(again.endedEarly);
    EXPECT_EQ(again.mobj.MovieObjects, first.mobj.MovieObjects);
    EXPECT_EQ(byteDifference(written, writeMovieObject(again.mobj)), "");
}

TEST(MovieObjectSamples, RoundTripIsByteExact) {
    for (const char* name : kMobjSamples) {
        SCOPED_TRACE(name);
        const auto bytes = readSample(name);
        const auto result = readMovieObject(bytes);
        ASSERT_EQ(result.status, ReadStatus::Ok);
        EXPECT_FALSE(result.endedEarly);
        const auto written = writeMovieObject(result.mobj);
        EXPECT_EQ(byteDifference(bytes, written), "");
    }
}

TEST(MovieObjectSamples, AcceptanceSetRoundTrip) {
    const auto files = testing::acceptanceFiles("movieobject.bdmv");
    if (files.empty()) GTEST_SKIP() << "acceptance set not found at " << testing::acceptanceFolder();
    for (const auto& path : files) {
        SCOPED_TRACE(path.string());
        const auto bytes = testing::readPath(path);
        const auto result = readMovieObject(bytes);
        ASSERT_EQ(result.status, ReadStatus::Ok);
        EXPECT_EQ(byteDifference(bytes, writeMovieObject(result.mobj)), "");
    }
}

TEST(MovieObjectSamples, KnownFieldValues) {
    const auto disc1 = readMovieObject(readSample("bdpl-disc1-MovieObject.bdmv"));
    ASSERT_EQ(disc1.status, ReadStatus::Ok);
    const TMOBJ& mobj = disc1.mobj;
    EXPECT_EQ(mobj.type_indicator, "MOBJ");
    EXPECT_EQ(mobj.version_number, "0200");
    EXPECT_EQ(mobj.ExtensionData_start_address, 0u);
    EXPECT_EQ(mobj.MovieObjects.mobjs_length, 3194u);
    ASSERT_EQ(mobj.MovieObjects.number_of_mobjs, 11);
    ASSERT_EQ(mobj.MovieObjects.mobjs.size(), 11u);
    EXPECT_EQ(commandCount(mobj), 262u);
    // Object 0: flag word 0x6000, three commands, the first Move GPR0, 0.
    const Tmobject& first = mobj.MovieObjects.mobjs[0];
    EXPECT_EQ(first.resume_intention_flag, 0);
    EXPECT_EQ(first.menu_call_mask, 1);
    EXPECT_EQ(first.title_search_mask, 1);
    EXPECT_EQ(first.number_of_navigation_commands, 3);
    EXPECT_EQ(first.navigation_commands[0], (TNavCommand{0x50400001, 0, 0}));
    EXPECT_EQ(first.navigation_commands[1], (TNavCommand{0x22800000, 0, 0}));
    EXPECT_EQ(objline(mobj, 0), (std::array<std::string, 5>{"000", "discard", "disable", "disable", "3"}));
    // Object 2: flag word 0xA000 and a GoTo 15 on line 1.
    EXPECT_EQ(objline(mobj, 2), (std::array<std::string, 5>{"002", "suspend", "enable", "disable", "23"}));
    EXPECT_EQ(mobj.MovieObjects.mobjs[2].navigation_commands[1], (TNavCommand{0x20810000, 15, 0}));
    EXPECT_EQ(disc1.messages,
              (std::vector<ReadMessage>{
                  {ReadMessage::Kind::Log, "  Found [b]11[/b] objects, [b]0[/b] extended entry."}}));
    EXPECT_EQ(objectCountLabel(mobj), "11 objects");

    const auto bridgehead = readMovieObject(readSample("bridgehead-MovieObject.bdmv"));
    ASSERT_EQ(bridgehead.status, ReadStatus::Ok);
    ASSERT_EQ(bridgehead.mobj.MovieObjects.mobjs.size(), 2u);
    for (const auto& object : bridgehead.mobj.MovieObjects.mobjs) {
        ASSERT_EQ(object.navigation_commands.size(), 1u);
        EXPECT_EQ(object.navigation_commands[0], (TNavCommand{0x21810000, 1, 0})); // Jump Title 1
    }
}

TEST(MovieObjectRead, RefusesWrongTypeOrVersion) {
    const std::vector<std::uint8_t> base = readSample("bridgehead-MovieObject.bdmv");
    auto withHead = [&](const std::string& head) {
        auto bytes = base;
        std::copy(head.begin(), head.end(), bytes.begin());
        return bytes;
    };
    const std::vector<std::vector<std::uint8_t>> refused = {withHead("MOBJ0400"),
                                                            withHead("MOBX0200"),
                                                            withHead("MOBJ0210"),
                                                            withHead("INDX0200"),
                                                            {},
                                                            {'M', 'O', 'B'},
                                                            {'M', 'O', 'B', 'J', '0', '2', '0'}};
    for (const auto& bytes : refused) {
        const auto result = readMovieObject(bytes, "MOVIEOBJ.BDM");
        EXPECT_EQ(result.status, ReadStatus::FormatError);
        EXPECT_EQ(result.mobj, TMOBJ{});
        EXPECT_EQ(result.messages,
                  (std::vector<ReadMessage>{{ReadMessage::Kind::Error, "Format error MOVIEOBJ.BDM"}}));
    }
    EXPECT_EQ(readMovieObject(withHead("MOBJ0100")).status, ReadStatus::Ok);
    // Ultra HD discs write 0300 over the same layout; the version comes back as read.
    const auto uhd = readMovieObject(readSample("bdpl-disc5-MovieObject-0300.bdmv"));
    ASSERT_EQ(uhd.status, ReadStatus::Ok);
    EXPECT_EQ(uhd.mobj.version_number, "0300");
    EXPECT_EQ(uhd.mobj.MovieObjects.mobjs.size(), 14u);
    EXPECT_EQ(commandCount(uhd.mobj), 189u);
}

TEST(MovieObjectRead, EarlyEndKeepsCountsWithZeroCommandsAndEmptyObjects) {
    const TMOBJ full = buildMobj({3, 3, 3});
    const auto bytes = writeMovieObject(full);
    // Object 0 at 50 (4 + 36 bytes), object 1 at 90: its head, then commands at 94, 106, 118.
    for (std::size_t cut : {std::size_t{106}, std::size_t{100}}) { // after line 0 of object 1; inside line 0
        SCOPED_TRACE(cut);
        const std::vector<std::uint8_t> shortFile(bytes.begin(),
                                                  bytes.begin() + static_cast<std::ptrdiff_t>(cut));
        const auto result = readMovieObject(shortFile);
        ASSERT_EQ(result.status, ReadStatus::Ok);
        EXPECT_TRUE(result.endedEarly);
        const auto& objects = result.mobj.MovieObjects.mobjs;
        ASSERT_EQ(objects.size(), 3u);
        EXPECT_EQ(objects[0], full.MovieObjects.mobjs[0]);
        ASSERT_EQ(objects[1].navigation_commands.size(), 3u); // the count read remains
        if (cut == 106) {
            EXPECT_EQ(objects[1].navigation_commands[0], full.MovieObjects.mobjs[1].navigation_commands[0]);
        }
        EXPECT_EQ(objects[1].navigation_commands[1], TNavCommand{});
        EXPECT_EQ(objects[1].navigation_commands[2], TNavCommand{});
        EXPECT_EQ(objects[2], Tmobject{}); // flags 0, no commands
        EXPECT_EQ(result.messages.back().text, "  Found [b]3[/b] objects, [b]0[/b] extended entry.");
        EXPECT_EQ(result.messages.front().text,
                  "  MovieObject.bdmv ends early at $" + hexText(cut, 8) + ": missing commands read as NOP.");
        // Written back: full counts, zero commands, the empty object as a 4-byte entry.
        EXPECT_EQ(writeMovieObject(result.mobj).size(), bytes.size() - 36);
        expectStableRewrite(result);
    }
    // A file that stops exactly after its last object is complete.
    const auto whole = readMovieObject(bytes);
    EXPECT_FALSE(whole.endedEarly);
    EXPECT_EQ(whole.messages.size(), 1u);
}

TEST(MovieObjectRead, TruncationAtEveryOffsetNeverFails) {
    for (const char* name :
         {"bridgehead-MovieObject.bdmv", "bdpl-disc3-MovieObject.bdmv", "bdpl-disc5-MovieObject-0300.bdmv"}) {
        SCOPED_TRACE(name);
        const auto bytes = readSample(name);
        for (std::size_t size = 0; size < bytes.size(); ++size) {
            const std::vector<std::uint8_t> cut(bytes.begin(),
                                                bytes.begin() + static_cast<std::ptrdiff_t>(size));
            const auto result = readMovieObject(cut);
            if (size < 8) {
                EXPECT_EQ(result.status, ReadStatus::FormatError) << size;
                continue;
            }
            ASSERT_EQ(result.status, ReadStatus::Ok) << size;
            EXPECT_TRUE(result.endedEarly) << size;
            expectStableRewrite(result);
        }
    }
}

TEST(MovieObjectRead, RandomBytesNeverCrash) {
    const auto base = readSample("bdpl-disc1-MovieObject.bdmv");
    std::mt19937 random(20240611);
    for (int round = 0; round < 600; ++round) {
        auto bytes = base;
        const int flips = 1 + static_cast<int>(random() % 8);
        for (int i = 0; i < flips; ++i) {
            // Flips favour the head, where the counts and the address are.
            const std::size_t at = random() % 2 ? random() % 60 : random() % bytes.size();
            bytes[at] = static_cast<std::uint8_t>(random());
        }
        if (round % 3 == 0) bytes.resize(random() % bytes.size());
        const auto result = readMovieObject(bytes);
        if (result.status == ReadStatus::Ok) expectStableRewrite(result);
    }
    std::vector<std::uint8_t> noise(4096);
    for (int round = 0; round < 20; ++round) {
        for (auto& byte : noise) byte = static_cast<std::uint8_t>(random());
        std::copy_n("MOBJ0200", 8, noise.begin());
        const auto result = readMovieObject(noise);
        ASSERT_EQ(result.status, ReadStatus::Ok);
        expectStableRewrite(result);
    }
}

TEST(MovieObjectWrite, FlagWordKeepsOnlyTheThreeFlags) {
    auto bytes = readSample("bridgehead-MovieObject.bdmv");
    bytes[50] = 0xBF; // object 0: resume 1, menu call 0, title search 1, bits 12-0 set
    bytes[51] = 0xFF;
    const auto result = readMovieObject(bytes);
    ASSERT_EQ(result.status, ReadStatus::Ok);
    const Tmobject& object = result.mobj.MovieObjects.mobjs[0];
    EXPECT_EQ(object.resume_intention_flag, 1);
    EXPECT_EQ(object.menu_call_mask, 0);
    EXPECT_EQ(object.title_search_mask, 1);
    EXPECT_EQ(objectFlagWord(object), 0xA000);
    const auto written = writeMovieObject(result.mobj);
    EXPECT_EQ(written[50], 0xA0);
    EXPECT_EQ(written[51], 0x00);
}

TEST(MovieObjectWrite, ReservedFieldsAndExtensionDataComeBack) {
    TMOBJ mobj = buildMobj({2, 0, 1});
    for (std::size_t i = 0; i < mobj.reserved.size(); ++i)
        mobj.reserved[i] = static_cast<std::uint8_t>(0xA0 + i);
    mobj.MovieObjects.reserved = 0x12345678;
    mobj.ExtensionData.length = 12 + 12 + 5;
    mobj.ExtensionData.data_block_start_address = 24;
    mobj.ExtensionData.number_of_ext_data_entries = 1;
    mobj.ExtensionData.ext_data_entries = {{0x1000, 0x0100, 24, 5}};
    mobj.ExtensionData.ext_data_block = {'H', 'E', 'L', 'L', 'O'};
    mobj.ExtensionData_start_address = 44 + mobj.MovieObjects.mobjs_length;
    const auto bytes = writeMovieObject(mobj);
    const auto result = readMovieObject(bytes);
    ASSERT_EQ(result.status, ReadStatus::Ok);
    EXPECT_EQ(result.mobj, mobj);
    EXPECT_EQ(result.messages.back().text, "  Found [b]3[/b] objects, [b]1[/b] extended entry.");

    // A block placed further on keeps the bytes before it, and the file comes back the same.
    auto padded = bytes;
    const std::size_t at = mobj.ExtensionData_start_address;
    padded.insert(padded.begin() + static_cast<std::ptrdiff_t>(at), {0xEE, 0xEE, 0xEE, 0xEE});
    padded[8] = 0;
    padded[9] = 0;
    padded[10] = static_cast<std::uint8_t>((at + 4) >> 8);
    padded[11] = static_cast<std::uint8_t>(at + 4);
    const auto paddedResult = readMovieObject(padded);
    ASSERT_EQ(paddedResult.status, ReadStatus::Ok);
    EXPECT_EQ(paddedResult.mobj.ExtensionData, mobj.ExtensionData);
    EXPECT_EQ(paddedResult.mobj.padding_before_extension,
              (std::vector<std::uint8_t>{0xEE, 0xEE, 0xEE, 0xEE}));
    EXPECT_EQ(byteDifference(padded, writeMovieObject(paddedResult.mobj)), "");
}

} // namespace
} // namespace corvane
