#include "graphics/RleCodec.h"

#include <algorithm>

#include "io/ByteReader.h"
#include "io/ByteWriter.h"

namespace corvane {

namespace {

// The longest run one code holds (14 bits).
constexpr int MaxRun = 0x3FFF;

// Writes the runs of a picture into a cursor.
class LineWriter {
public:
    explicit LineWriter(ByteWriter& out) : m_out(out) {}

    void run(std::uint8_t index, int length) {
        if (index != 0 && length <= 2) {
            for (int i = 0; i < length; ++i) m_out.appendbyte(index);
            return;
        }
        m_out.appendbyte(0);
        const std::uint32_t colourFlag = index != 0 ? 0x80 : 0;
        if (length > 63) {
            m_out.appendword(((colourFlag | 0x40) << 8) | static_cast<std::uint32_t>(length));
        } else {
            m_out.appendbyte(colourFlag | static_cast<std::uint32_t>(length));
        }
        if (index != 0) m_out.appendbyte(index);
    }
    void endOfLine() { m_out.appendword(0); }

private:
    ByteWriter& m_out;
};

} // namespace

IndexPicture rle_decode(std::span<const std::uint8_t> data, int width, int height) {
    if (width <= 0 || height <= 0) return IndexPicture(std::max(width, 0), std::max(height, 0));
    if (static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) > MaxObjectPixels) return {};
    IndexPicture picture(width, height);
    ByteReader in(data);
    int x = 0;
    std::int64_t y = 0;
    // Writes a run on line y and moves on; a run ending past the edge, or of length 0, ends the line.
    auto run = [&](std::uint32_t length, std::uint8_t index) {
        const std::int64_t end = length == 0 ? width : static_cast<std::int64_t>(x) + length;
        if (y < height && index != 0) {
            auto row = picture.pixels.begin() + static_cast<std::ptrdiff_t>(y * width);
            std::fill(row + x, row + static_cast<std::ptrdiff_t>(std::min<std::int64_t>(end, width)), index);
        }
        if (length == 0 || end > width) {
            x = 0;
            ++y;
        } else {
            x = static_cast<int>(end);
        }
    };
    while (!in.atEnd()) {
        const auto first = static_cast<std::uint8_t>(in.readbyte());
        if (first != 0) {
            run(1, first);
            continue;
        }
        const std::uint32_t flags = in.readbyte();
        if (flags == 0) {
            x = 0;
            ++y;
            continue;
        }
        std::uint32_t length = flags & 0x3F;
        if (flags & 0x40) length = (length << 8) | in.readbyte();
        const auto index = static_cast<std::uint8_t>((flags & 0x80) ? in.readbyte() : 0);
        run(length, index);
    }
    return picture;
}

void rle_encode(const IndexPicture& picture, std::vector<std::uint8_t>& out) {
    ByteWriter writer;
    LineWriter lines(writer);
    for (int y = 0; y < picture.height; ++y) {
        int x = 0;
        while (x < picture.width) {
            const std::uint8_t index = picture.at(x, y);
            int length = 1;
            while (x + length < picture.width && length < MaxRun && picture.at(x + length, y) == index)
                ++length;
            lines.run(index, length);
            x += length;
        }
        lines.endOfLine();
    }
    writer.flushbuffer(out);
}

std::vector<std::uint8_t> rle_encode(const IndexPicture& picture) {
    std::vector<std::uint8_t> out;
    rle_encode(picture, out);
    return out;
}

} // namespace corvane
