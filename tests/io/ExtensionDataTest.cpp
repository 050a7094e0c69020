#include <gtest/gtest.h>

#include <random>

#include "TestBytes.h"
#include "io/ExtensionData.h"

namespace corvane {
namespace {

std::vector<std::uint8_t> write(const TExtensionData& block) {
    ByteWriter out;
    WriteExtensionData(out, block);
    std::vector<std::uint8_t> bytes;
    out.flushbuffer(bytes);
    return bytes;
}

// A block as another tool lays it out: header, entries, data, and a tail of padding.
std::vector<std::uint8_t> sampleBlock() {
    std::vector<std::uint8_t> bytes = {0,    0,    0,    0,  // length, patched below
                                       0,    0,    0,    36, // data_block_start_address
                                       0,    0,    0,    2,  // reserved, N = 2
                                       0x10, 0x00, 0x00, 0x01, 0, 0, 0, 36, 0, 0, 0, 33,
                                       0x20, 0x00, 0x00, 0x02, 0, 0, 0, 69, 0, 0, 0, 4};
    for (int i = 0; i < 33; ++i) bytes.push_back(static_cast<std::uint8_t>(i < 3 ? i : 'A' + i % 26));
    for (std::uint8_t b : {'W', 'X', 'Y', 'Z'}) bytes.push_back(b);
    bytes.push_back(0xEE); // a byte after the last entry's data
    const std::uint32_t length = static_cast<std::uint32_t>(bytes.size() - 4);
    bytes[3] = static_cast<std::uint8_t>(length);
    return bytes;
}

TEST(ExtensionData, EmptyBlockIsFourZeroBytes) {
    const std::vector<std::uint8_t> zeros{0, 0, 0, 0, 0xFF};
    ByteReader in(zeros);
    TExtensionData block;
    block.length = 99;
    ReadExtensionData(in, block);
    EXPECT_EQ(block, TExtensionData{});
    EXPECT_EQ(in.pos(), 4u); // nothing after a zero length is read
    EXPECT_EQ(write(block), (std::vector<std::uint8_t>{0, 0, 0, 0}));
    EXPECT_EQ(ExtDatCap(block), "no ExtensionData()");
    EXPECT_EQ(extDatDialogSummary(block), "None");
}

TEST(ExtensionData, RoundTripKeepsEveryByteAfterTheTable) {
    const auto bytes = sampleBlock();
    ByteReader in(bytes);
    TExtensionData block;
    ReadExtensionData(in, block);
    ASSERT_FALSE(in.overrun());
    ASSERT_EQ(block.ext_data_entries.size(), 2u);
    EXPECT_EQ(block.ext_data_entries[1].ID1, 0x2000);
    EXPECT_EQ(block.ext_data_entries[1].ext_data_start_address, 69u);
    EXPECT_EQ(block.ext_data_block.size(), 38u);
    EXPECT_EQ(testing::byteDifference(bytes, write(block)), "");
    EXPECT_EQ(ExtDatCap(block), "2 entries, " + std::to_string(bytes.size()) + " bytes");
    EXPECT_EQ(extDatDialogSummary(block), std::to_string(bytes.size()) + " bytes, 2 entries");
}

TEST(ExtensionData, SummariesCountEntries) {
    TExtensionData block;
    block.length = 116;
    EXPECT_EQ(ExtDatCap(block), "no ExtensionData()"); // a length but no entries
    EXPECT_EQ(extDatDialogSummary(block), "120 bytes, 0 entry");
    block.ext_data_entries.resize(1);
    EXPECT_EQ(ExtDatCap(block), "1 entry, 120 bytes");
    block.ext_data_entries.resize(2);
    EXPECT_EQ(ExtDatCap(block), "2 entries, 120 bytes");
}

TEST(ExtensionData, ExdFileRoundTripAndDataCut) {
    auto bytes = sampleBlock();
    ByteReader in(bytes);
    TExtensionData block;
    ReadExtensionData(in, block);
    // An .exd keeps length − 8 − 12 × N bytes of data: everything of this block.
    const auto exd = exdFileBytes(block);
    EXPECT_EQ(testing::byteDifference(bytes, exd), "");
    std::string error;
    const auto again = readExdBytes(exd, error);
    ASSERT_TRUE(again.has_value()) << error;
    EXPECT_EQ(*again, block);

    // Held data beyond the declared length is not written into the .exd.
    block.ext_data_block.resize(block.ext_data_block.size() + 10, 0x55);
    EXPECT_EQ(exdFileBytes(block).size(), bytes.size());
    // A length smaller than the table never yields a negative data size.
    block.length = 4;
    EXPECT_EQ(exdFileBytes(block).size(), 12u + 24u);
}

TEST(ExtensionData, BadExdFilesAreRefusedWithAReason) {
    std::string error;
    EXPECT_FALSE(readExdBytes({}, error).has_value());
    EXPECT_NE(error.find("empty"), std::string::npos);
    auto bytes = sampleBlock();
    bytes.resize(20); // cut inside the entry table
    EXPECT_FALSE(readExdBytes(bytes, error).has_value());
    EXPECT_NE(error.find("entry table"), std::string::npos);
}

TEST(ExtensionData, EveryTruncationAndRandomDamageIsSafe) {
    const auto bytes = sampleBlock();
    for (std::size_t cut = 0; cut <= bytes.size(); ++cut) {
        std::vector<std::uint8_t> part(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(cut));
        ByteReader in(part);
        TExtensionData block;
        ReadExtensionData(in, block);
        EXPECT_LE(block.ext_data_entries.size(), 2u);
        for (std::size_t i = 0; i < block.ext_data_entries.size(); ++i) extDataView(block, i);
    }
    std::mt19937 random(7);
    for (int round = 0; round < 2000; ++round) {
        auto damaged = bytes;
        for (int flips = 0; flips < 4; ++flips)
            damaged[random() % damaged.size()] = static_cast<std::uint8_t>(random());
        ByteReader in(damaged);
        TExtensionData block;
        ReadExtensionData(in, block);
        for (std::size_t i = 0; i < block.ext_data_entries.size(); ++i) extDataView(block, i);
        exdFileBytes(block);
    }
}

TEST(ExtensionData, DataViewShowsLinesOf32Bytes) {
    const auto bytes = sampleBlock();
    ByteReader in(bytes);
    TExtensionData block;
    ReadExtensionData(in, block);

    const auto lines = extDataView(block, 0); // 33 bytes: two lines, the second with one byte
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].address, " 0024");
    EXPECT_EQ(lines[1].address, " 0044");
    EXPECT_EQ(lines[0].hex.substr(0, 9), " 00 01 02");
    EXPECT_EQ(lines[0].chars.substr(0, 4), " ...");
    EXPECT_EQ(lines[1].hex.size(), 32u * 3);
    EXPECT_EQ(lines[1].hex.substr(3), std::string(31 * 3, ' ')); // one byte and 31 gaps
    EXPECT_EQ(lines[1].chars.size(), 2u);

    const auto second = extDataView(block, 1);
    ASSERT_EQ(second.size(), 1u);
    EXPECT_EQ(second[0].chars, " WXYZ");
    EXPECT_TRUE(extDataView(block, 2).empty());

    EXPECT_EQ(extDataEntryRow(block, 1),
              (std::vector<std::string>{"001", "2000", "0002", "00000045", "00000004"}));
}

TEST(ExtensionData, DataViewOfAnEntryPointingOutsideTheBlockShowsGaps) {
    TExtensionData block;
    block.length = 40;
    block.data_block_start_address = 100;
    block.ext_data_entries.push_back({1, 1, 50, 8});            // before the data block
    block.ext_data_entries.push_back({1, 1, 100, 0xFFFFFFF0u}); // far beyond it
    block.ext_data_block = {1, 2, 3};
    const auto before = extDataView(block, 0);
    ASSERT_EQ(before.size(), 1u);
    EXPECT_EQ(before[0].hex, std::string(32 * 3, ' '));
    const auto beyond = extDataView(block, 1);
    EXPECT_EQ(beyond[0].hex.substr(0, 9), " 01 02 03");
    EXPECT_EQ(beyond.size(), 1u); // a huge length does not make a huge view
}

} // namespace
} // namespace corvane
