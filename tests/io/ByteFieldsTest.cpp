#include <gtest/gtest.h>

#include "io/ByteReader.h"
#include "io/ByteWriter.h"
#include "io/TextUtil.h"

namespace corvane {
namespace {

std::vector<std::uint8_t> bytesOf(std::string_view text) {
    return {text.begin(), text.end()};
}

TEST(ByteReader, IntegersAreBigEndian) {
    const std::vector<std::uint8_t> data{0x12, 0x34, 'I',  'N',  'D',  'X',  0x01,
                                         0x02, 0x03, 0x04, 0x05, 0xAB, 0xCD, 0xEF};
    ByteReader in(data);
    EXPECT_EQ(in.readword(), 0x1234u);
    EXPECT_EQ(in.readlword(), 0x494E4458u);
    EXPECT_EQ(in.read5byte(), 0x0102030405ull);
    EXPECT_EQ(in.read3byte(), 0xABCDEFu);
    EXPECT_FALSE(in.overrun());
    EXPECT_TRUE(in.atEnd());
}

TEST(ByteReader, ReadingPastTheEndYieldsZerosAndSetsTheStickyFlag) {
    const std::vector<std::uint8_t> data{0xFF, 0xEE, 0xDD};
    ByteReader in(data);
    in.readbyte();
    EXPECT_EQ(in.readlword(), 0xEEDD0000u); // the missing bytes read as zero
    EXPECT_TRUE(in.overrun());
    EXPECT_EQ(in.overrunAt(), 3u);
    EXPECT_EQ(in.readbyte(), 0u);
    EXPECT_TRUE(in.overrun());
    EXPECT_EQ(in.pos(), 3u); // never beyond the data
}

TEST(ByteReader, ReadStringStopsAtNulButConsumesTheField) {
    const auto cases = std::vector<std::pair<std::string, std::string>>{
        {std::string("ABCDE"), "ABCDE"},
        {std::string("AB\0\0\0", 5), "AB"},
        {std::string("\0BCDE", 5), ""},
        {std::string("ABCD\0", 5), "ABCD"},
    };
    for (const auto& [field, expected] : cases) {
        auto data = bytesOf(field + "Z");
        ByteReader in(data);
        EXPECT_EQ(in.readstring(5), expected);
        EXPECT_EQ(in.pos(), 5u);
        EXPECT_EQ(in.readbyte(), static_cast<std::uint32_t>('Z'));
    }
}

TEST(ByteReader, ReadStringAtTheEndPadsWithSpaces) {
    auto data = bytesOf("xyAB");
    ByteReader in(data);
    in.skip(2);
    EXPECT_EQ(in.readstring(4), "AB  ");
    EXPECT_EQ(in.pos(), 4u);
    EXPECT_TRUE(in.overrun());
}

TEST(ByteReader, SubRangesAreCappedAndCountsAreCapped) {
    std::vector<std::uint8_t> data(10, 0x11);
    ByteReader in(data);
    in.skip(4);
    ByteReader inner = in.sub(100);
    EXPECT_EQ(inner.size(), 6u);
    EXPECT_TRUE(in.overrun());
    EXPECT_EQ(inner.readlword(), 0x11111111u);
    EXPECT_EQ(inner.capCount(1000000, 2), 1u);

    ByteReader whole(data);
    EXPECT_EQ(whole.range(8, 50).size(), 2u);
    EXPECT_EQ(whole.range(20, 5).size(), 0u);
    whole.seek(11);
    EXPECT_TRUE(whole.overrun());
}

TEST(ByteWriter, PositionalAndAppendingWriters) {
    ByteWriter out;
    out.resize(7);
    out.putword(65536 + 2, 0); // cut to 16 bits
    out.putstring("abc", 2, 5);
    EXPECT_EQ(out.buffer(), (std::vector<std::uint8_t>{0x00, 0x02, 'a', 'b', 'c', 0, 0}));
    out.putstring("abcdefgh", 2, 5);
    EXPECT_EQ(out.buffer(), (std::vector<std::uint8_t>{0x00, 0x02, 'a', 'b', 'c', 'd', 'e'}));
    EXPECT_EQ(out.fill(), 0u); // positional writers leave the fill position alone

    ByteWriter app;
    app.appendlword(1);
    app.appendword(2);
    std::vector<std::uint8_t> file;
    app.flushbuffer(file);
    EXPECT_EQ(file, (std::vector<std::uint8_t>{0, 0, 0, 1, 0, 2}));
    EXPECT_EQ(app.fill(), 0u);
    app.append3byte(0x1ABCDEF);
    app.append5byte(0x0102030405ull);
    app.appendstring("xy", 3);
    app.flushbuffer(file);
    EXPECT_EQ(file,
              (std::vector<std::uint8_t>{0, 0, 0, 1, 0, 2, 0xAB, 0xCD, 0xEF, 1, 2, 3, 4, 5, 'x', 'y', 0}));
}

TEST(ByteFields, LittleEndianPairRoundTripsAndAShortFieldReadsAsZeros) {
    ByteWriter out;
    out.appendwordLE(0x10002); // cut to 16 bits
    out.appendlwordLE(48000);
    out.appendbyte(0xAB);
    EXPECT_EQ(out.buffer(), (std::vector<std::uint8_t>{0x02, 0x00, 0x80, 0xBB, 0x00, 0x00, 0xAB}));

    ByteReader in(out.buffer());
    EXPECT_EQ(in.readwordLE(), 0x0002u);
    EXPECT_EQ(in.readlwordLE(), 48000u);
    EXPECT_FALSE(in.overrun());
    // The last field of a cut file: the byte there is the low byte, the missing ones zero.
    EXPECT_EQ(in.readlwordLE(), 0xABu);
    EXPECT_TRUE(in.overrun());
    EXPECT_EQ(in.overrunAt(), 7u);
    EXPECT_EQ(in.pos(), 7u);
    EXPECT_EQ(in.readwordLE(), 0u);
}

TEST(TextUtil, NumbersAndNames) {
    EXPECT_EQ(zeroPad(7, 4), "0007");
    EXPECT_EQ(zeroPad(12345, 3), "12345");
    EXPECT_EQ(hexText(0x1a, 4), "001A");
    EXPECT_EQ(hexText(0xDEADBEEF, 2), "DEADBEEF");
    EXPECT_EQ(hexToNumber("1a"), 0x1Au);
    EXPECT_EQ(hexToNumber("001A"), 0x1Au);
    EXPECT_EQ(hexToNumber("1G2"), 0x12u);
    EXPECT_EQ(hexToNumber(""), 0u);
    EXPECT_EQ(withoutExtension("00001.mpls"), "00001");
    EXPECT_EQ(withoutExtension("dir.x/name"), "dir.x/name");
    EXPECT_EQ(withoutExtension("noext"), "noext");
    EXPECT_EQ(thousands(1234567), "1,234,567");
    EXPECT_EQ(thousands(999), "999");
    EXPECT_EQ(thousands(-1000), "-1,000");
}

TEST(TextUtil, ShortCellsArePaddedAndLatin1IsOneBytePerCharacter) {
    EXPECT_EQ(padShortCell("250 "), "0250");
    EXPECT_EQ(padShortCell("7   "), "0007");
    EXPECT_EQ(padShortCell("0250"), "0250");
    EXPECT_EQ(padShortCell("2081 000"), "2081 000"); // a gap is no short number
    EXPECT_EQ(padShortCell("    "), "    ");
    EXPECT_EQ(padShortCell("12:3 "), "12:3 ");
    EXPECT_EQ(latin1ToUtf8("Caf\xE9"), "Caf\xC3\xA9");
    EXPECT_EQ(utf8ToLatin1("Caf\xC3\xA9 \xF0\x9F\x98\x80!", 32), "Caf\xE9 ?!");
    EXPECT_EQ(utf8ToLatin1("\xC3", 32), "?");     // cut inside a character
    EXPECT_EQ(utf8ToLatin1("\xC0\x80", 32), "?"); // an overlong NUL stays out
    EXPECT_EQ(utf8ToLatin1("\xC3\xA9\xC3\xA9\xC3\xA9", 2), "\xE9\xE9");
}

} // namespace
} // namespace corvane
