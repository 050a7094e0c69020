#include "io/ByteWriter.h"

#include <algorithm>

namespace corvane {

void ByteWriter::putBigEndian(std::uint64_t value, int width, std::size_t offset) {
    if (m_buffer.size() < offset + static_cast<std::size_t>(width)) m_buffer.resize(offset + width, 0);
    for (int i = 0; i < width; ++i)
        m_buffer[offset + i] = static_cast<std::uint8_t>(value >> (8 * (width - 1 - i)));
}

void ByteWriter::putLittleEndian(std::uint64_t value, int width, std::size_t offset) {
    if (m_buffer.size() < offset + static_cast<std::size_t>(width)) m_buffer.resize(offset + width, 0);
    for (int i = 0; i < width; ++i) m_buffer[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

void ByteWriter::putbyte(std::uint32_t value, std::size_t offset) {
    putBigEndian(value, 1, offset);
}
void ByteWriter::putword(std::uint32_t value, std::size_t offset) {
    putBigEndian(value, 2, offset);
}
void ByteWriter::put3byte(std::uint32_t value, std::size_t offset) {
    putBigEndian(value, 3, offset);
}
void ByteWriter::putlword(std::uint32_t value, std::size_t offset) {
    putBigEndian(value, 4, offset);
}

void ByteWriter::putstring(std::string_view text, std::size_t offset, std::size_t n) {
    if (m_buffer.size() < offset + n) m_buffer.resize(offset + n, 0);
    std::fill_n(m_buffer.begin() + static_cast<std::ptrdiff_t>(offset), n, 0);
    const std::size_t count = std::min(n, text.size());
    for (std::size_t i = 0; i < count; ++i) m_buffer[offset + i] = static_cast<std::uint8_t>(text[i]);
}

void ByteWriter::putbytes(std::span<const std::uint8_t> bytes, std::size_t offset) {
    if (m_buffer.size() < offset + bytes.size()) m_buffer.resize(offset + bytes.size(), 0);
    std::copy(bytes.begin(), bytes.end(), m_buffer.begin() + static_cast<std::ptrdiff_t>(offset));
}

void ByteWriter::appendbyte(std::uint32_t value) {
    appendBigEndian(value, 1);
}
void ByteWriter::appendword(std::uint32_t value) {
    appendBigEndian(value, 2);
}
void ByteWriter::append3byte(std::uint32_t value) {
    appendBigEndian(value, 3);
}
void ByteWriter::appendlword(std::uint32_t value) {
    appendBigEndian(value, 4);
}
void ByteWriter::append5byte(std::uint64_t value) {
    appendBigEndian(value, 5);
}

void ByteWriter::appendstring(std::string_view text, std::size_t n) {
    putstring(text, m_fill, n);
    m_fill += n;
}

void ByteWriter::appendbytes(std::span<const std::uint8_t> bytes) {
    putbytes(bytes, m_fill);
    m_fill += bytes.size();
}

void ByteWriter::appendwordLE(std::uint32_t value) {
    appendLittleEndian(value, 2);
}
void ByteWriter::appendlwordLE(std::uint32_t value) {
    appendLittleEndian(value, 4);
}

void ByteWriter::flushbuffer(std::vector<std::uint8_t>& out) {
    const std::size_t n = std::min(m_fill, m_buffer.size());
    out.insert(out.end(), m_buffer.begin(), m_buffer.begin() + static_cast<std::ptrdiff_t>(n));
    m_fill = 0;
}

std::vector<std::uint8_t> ByteWriter::take() {
    std::vector<std::uint8_t> out;
    out.swap(m_buffer);
    m_fill = 0;
    return out;
}

} // namespace corvane
