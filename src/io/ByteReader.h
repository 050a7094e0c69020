#pragma once
// Big-endian field reader over an in-memory byte range, with the little-endian
// reads of the WAV and bitmap files beside it.
//
// Every format reads its fields through this cursor. A read past the end
// yields zero bytes for the missing part and sets a sticky flag; the format's
// entry point checks overrun() once and reports where the data ended.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace corvane {

class ByteReader {
public:
    ByteReader() = default;
    explicit ByteReader(std::span<const std::uint8_t> data) : m_data(data) {}
    explicit ByteReader(const std::vector<std::uint8_t>& data) : m_data(data.data(), data.size()) {}

    std::uint32_t readbyte() { return static_cast<std::uint32_t>(readBigEndian(1)); }  // 8-bit
    std::uint32_t readword() { return static_cast<std::uint32_t>(readBigEndian(2)); }  // 16-bit big-endian
    std::uint32_t read3byte() { return static_cast<std::uint32_t>(readBigEndian(3)); } // 24-bit big-endian
    std::uint32_t readlword() { return static_cast<std::uint32_t>(readBigEndian(4)); } // 32-bit big-endian
    std::uint64_t read5byte() { return readBigEndian(5); } // 40-bit big-endian, upper 24 bits zero
    std::uint32_t readwordLE();                            // 16-bit little-endian
    std::uint32_t readlwordLE();                           // 32-bit little-endian
    // n bytes as text: cut at the first NUL, spaces where the data ended early.
    // The position advances by the bytes actually there.
    std::string readstring(std::size_t n);
    // n raw bytes (fewer when the data ends first; the flag is then set).
    std::vector<std::uint8_t> readbytes(std::size_t n);
    void skip(std::size_t n) {
        if (n <= remaining())
            m_pos += n;
        else
            skipPastEnd(n);
    }

    std::size_t pos() const { return m_pos; }
    std::size_t size() const { return m_data.size(); }
    std::size_t remaining() const { return m_pos < m_data.size() ? m_data.size() - m_pos : 0; }
    bool atEnd() const { return m_pos >= m_data.size(); }
    // Moves to an absolute offset; an offset past the end sets the overrun flag.
    void seek(std::size_t offset);
    // True once any read went past the end of the data.
    bool overrun() const { return m_overrun; }
    // Offset at which data first ran out (valid when overrun()).
    std::size_t overrunAt() const { return m_overrunAt; }

    // A reader over the next n bytes (capped at what remains); this cursor skips them.
    ByteReader sub(std::size_t n);
    // A reader over [offset, offset + n) of the same data, capped at the end.
    ByteReader range(std::size_t offset, std::size_t n) const;
    // Caps a count read from the file by the bytes left, given the minimum size of one item.
    std::size_t capCount(std::size_t count, std::size_t itemSize) const;

    std::span<const std::uint8_t> data() const { return m_data; }

private:
    // Inline while the field is there: the extraction reads a PES header at every packet start.
    std::uint64_t readBigEndian(int width) {
        const auto n = static_cast<std::size_t>(width);
        if (m_data.size() - m_pos < n) return readField(width, false);
        std::uint64_t value = 0;
        for (std::size_t i = 0; i < n; ++i) value = value << 8 | m_data[m_pos + i];
        m_pos += n;
        return value;
    }
    // Byte by byte, in either order: the bytes there, zeros past the end (which sets the flag).
    std::uint64_t readField(int width, bool littleEndian);
    void skipPastEnd(std::size_t n);
    void markOverrun();

    std::span<const std::uint8_t> m_data;
    std::size_t m_pos = 0;
    bool m_overrun = false;
    std::size_t m_overrunAt = 0;
};

} // namespace corvane
