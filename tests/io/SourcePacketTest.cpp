// The view of one source packet over a buffer of them: where a view can be made (whole
// packets only, wherever they start), the fields it reads, and what lies past its end.

#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "io/SourcePacket.h"

namespace corvane {
namespace {

TEST(SourcePacket, ViewsOnlyWholePacketsAndReadsNothingPastThem) {
    // Two packets and the first 100 bytes of a third, as a file cut short ends.
    std::vector<std::uint8_t> data(2 * SourcePacket::Size + 100);
    for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<std::uint8_t>(i);
    data[SourcePacket::Size + 4] = 0x47;

    const auto second = SourcePacket::at(data, SourcePacket::Size);
    ASSERT_TRUE(second.has_value());
    EXPECT_EQ(second->byte(4), 0x47u);
    EXPECT_EQ(second->word(5), 0xC5C6u);
    EXPECT_EQ(second->lword(0), 0xC0C1C2C3u);
    EXPECT_EQ(second->byte(191), 0x7Fu);
    // Offsets past the packet read as zero, never the next packet's bytes.
    EXPECT_EQ(second->byte(192), 0u);
    EXPECT_EQ(second->word(191), 0x7F00u);
    EXPECT_EQ(second->tail(188).size(), 4u);
    EXPECT_EQ(second->tail(188)[0], 0x7Cu);
    EXPECT_TRUE(second->tail(192).empty());
    EXPECT_TRUE(second->tail(std::numeric_limits<std::size_t>::max()).empty());

    // A packet with a wrong sync byte, and one looked for off the 192-byte grid after lost
    // bytes, are whole packets all the same.
    const auto first = SourcePacket::at(data, 0);
    ASSERT_TRUE(first.has_value());
    EXPECT_NE(first->byte(4), 0x47u);
    ASSERT_TRUE(SourcePacket::at(data, 101).has_value());
    EXPECT_EQ(SourcePacket::at(data, 101)->byte(0), 101u);

    // The short last packet: no view, however little is missing, and no wrap-around.
    EXPECT_TRUE(SourcePacket::at(data, data.size() - SourcePacket::Size).has_value());
    EXPECT_FALSE(SourcePacket::at(data, data.size() - SourcePacket::Size + 1).has_value());
    EXPECT_FALSE(SourcePacket::at(data, 2 * SourcePacket::Size).has_value());
    EXPECT_FALSE(SourcePacket::at(data, data.size()).has_value());
    EXPECT_FALSE(SourcePacket::at(data, std::numeric_limits<std::size_t>::max()).has_value());
    EXPECT_FALSE(SourcePacket::at({}, 0).has_value());
}

} // namespace
} // namespace corvane
