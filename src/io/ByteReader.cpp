#include "io/ByteReader.h"

#include <algorithm>

namespace corvane {

void ByteReader::markOverrun() {
    if (!m_overrun) {
        m_overrun = true;
        m_overrunAt = std::min(m_pos, m_data.size());
    }
}

std::uint64_t ByteReader::readField(int width, bool littleEndian) {
    std::uint64_t value = 0;
    for (int i = 0; i < width; ++i) {
        std::uint64_t byte = 0;
        if (m_pos < m_data.size()) {
            byte = m_data[m_pos];
            ++m_pos;
        } else {
            markOverrun();
        }
        value = littleEndian ? value | byte << (8 * i) : value << 8 | byte;
    }
    return value;
}

std::uint32_t ByteReader::readwordLE() {
    return static_cast<std::uint32_t>(readField(2, true));
}
std::uint32_t ByteReader::readlwordLE() {
    return static_cast<std::uint32_t>(readField(4, true));
}

std::string ByteReader::readstring(std::size_t n) {
    std::string text(n, ' ');
    const std::size_t available = std::min(n, remaining());
    for (std::size_t i = 0; i < available; ++i) text[i] = static_cast<char>(m_data[m_pos + i]);
    m_pos += available;
    if (available < n) markOverrun();
    const auto nul = text.find('\0');
    if (nul != std::string::npos) text.resize(nul);
    return text;
}

std::vector<std::uint8_t> ByteReader::readbytes(std::size_t n) {
    const std::size_t available = std::min(n, remaining());
    std::vector<std::uint8_t> bytes(m_data.begin() + static_cast<std::ptrdiff_t>(m_pos),
                                    m_data.begin() + static_cast<std::ptrdiff_t>(m_pos + available));
    m_pos += available;
    if (available < n) markOverrun();
    return bytes;
}

void ByteReader::skipPastEnd(std::size_t n) {
    const std::size_t available = std::min(n, remaining());
    m_pos += available;
    if (available < n) markOverrun();
}

void ByteReader::seek(std::size_t offset) {
    if (offset > m_data.size()) {
        m_pos = m_data.size();
        markOverrun();
    } else {
        m_pos = offset;
    }
}

ByteReader ByteReader::sub(std::size_t n) {
    const std::size_t available = std::min(n, remaining());
    ByteReader inner(m_data.subspan(std::min(m_pos, m_data.size()), available));
    m_pos += available;
    if (available < n) markOverrun();
    return inner;
}

ByteReader ByteReader::range(std::size_t offset, std::size_t n) const {
    if (offset >= m_data.size()) return ByteReader(m_data.subspan(m_data.size(), 0));
    return ByteReader(m_data.subspan(offset, std::min(n, m_data.size() - offset)));
}

std::size_t ByteReader::capCount(std::size_t count, std::size_t itemSize) const {
    if (itemSize == 0) return count;
    return std::min(count, remaining() / itemSize);
}

} // namespace corvane
