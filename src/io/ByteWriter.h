#pragma once
// Big-endian field writer into a growable output buffer, with the little-endian
// fields of a WAV header beside it.
//
// Positional writers (put…) write at a given offset and leave the fill position
// alone; appending writers (append…) write at the fill position and advance it.
// Values wider than their field are cut to the field's width. The buffer grows
// by itself when written past its length, with zero bytes in any gap.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace corvane {

class ByteWriter {
public:
    void putbyte(std::uint32_t value, std::size_t offset);
    void putword(std::uint32_t value, std::size_t offset);  // 16-bit
    void put3byte(std::uint32_t value, std::size_t offset); // 24-bit
    void putlword(std::uint32_t value, std::size_t offset); // 32-bit
    // n bytes: zero-filled, then the first min(n, length) characters of the text.
    void putstring(std::string_view text, std::size_t offset, std::size_t n);
    void putbytes(std::span<const std::uint8_t> bytes, std::size_t offset);

    void appendbyte(std::uint32_t value);
    void appendword(std::uint32_t value);
    void append3byte(std::uint32_t value);
    void appendlword(std::uint32_t value);
    void append5byte(std::uint64_t value);
    void appendstring(std::string_view text, std::size_t n);
    void appendbytes(std::span<const std::uint8_t> bytes);
    void appendwordLE(std::uint32_t value);  // 16-bit little-endian
    void appendlwordLE(std::uint32_t value); // 32-bit little-endian

    // Sets the buffer to exactly n bytes (new bytes zero).
    void resize(std::size_t n) { m_buffer.resize(n, 0); }
    std::size_t fill() const { return m_fill; }
    void setFill(std::size_t fill) { m_fill = fill; }
    std::size_t size() const { return m_buffer.size(); }

    // The first fill() bytes are moved to the end of `out`; the fill position returns to 0.
    void flushbuffer(std::vector<std::uint8_t>& out);
    const std::vector<std::uint8_t>& buffer() const { return m_buffer; }
    // The whole buffer, handed over; the writer is empty afterwards.
    std::vector<std::uint8_t> take();

private:
    void putBigEndian(std::uint64_t value, int width, std::size_t offset);
    void putLittleEndian(std::uint64_t value, int width, std::size_t offset);
    // Writes `width` bytes of `value` at the fill position and moves it past them.
    void appendBigEndian(std::uint64_t value, int width) {
        putBigEndian(value, width, m_fill);
        m_fill += static_cast<std::size_t>(width);
    }
    void appendLittleEndian(std::uint64_t value, int width) {
        putLittleEndian(value, width, m_fill);
        m_fill += static_cast<std::size_t>(width);
    }

    std::vector<std::uint8_t> m_buffer;
    std::size_t m_fill = 0;
};

// The bytes a record takes in its file: what its appending writer puts into a scratch writer.
// The edits measure records this way, so a size never has a formula of its own.
template <typename Record>
std::size_t writtenSize(const Record& record, void (*append)(ByteWriter&, const Record&)) {
    ByteWriter scratch;
    append(scratch, record);
    return scratch.fill();
}

} // namespace corvane
