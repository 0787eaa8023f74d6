#include "tools/swfgen/bit_writer.h"

#include <bit>
#include <cmath>

namespace velmora::swfgen {

unsigned SignedBits(int64_t value) {
    if (value == 0) return 0;  // a zero-width field reads as 0
    uint64_t magnitude = value < 0 ? ~static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    return std::bit_width(magnitude) + 1;
}

unsigned UnsignedBits(uint64_t value) { return std::bit_width(value); }

void BitWriter::U8(uint8_t v) {
    Align();
    m_data.push_back(v);
}

void BitWriter::U16(uint16_t v) {
    U8(v & 0xFF);
    U8(v >> 8);
}

void BitWriter::U32(uint32_t v) {
    U16(v & 0xFFFF);
    U16(v >> 16);
}

void BitWriter::Fixed8(float v) { S16(static_cast<int16_t>(std::lround(v * 256.0f))); }

void BitWriter::Fixed16(double v) {
    U32(static_cast<uint32_t>(static_cast<int32_t>(std::llround(v * 65536.0))));
}

void BitWriter::Float32(float v) { U32(std::bit_cast<uint32_t>(v)); }

void BitWriter::EncodedU32(uint32_t v) {
    do {
        uint8_t byte = v & 0x7F;
        v >>= 7;
        U8(v ? byte | 0x80 : byte);
    } while (v);
}

void BitWriter::UB(uint32_t v, unsigned n) {
    for (unsigned i = n; i > 0; --i) {
        if (m_bitCount == 0) m_data.push_back(0);
        if ((v >> (i - 1)) & 1) m_data.back() |= static_cast<uint8_t>(0x80 >> m_bitCount);
        m_bitCount = (m_bitCount + 1) % 8;
    }
}

void BitWriter::Align() { m_bitCount = 0; }

void BitWriter::String(std::string_view s) {
    Align();
    m_data.insert(m_data.end(), s.begin(), s.end());
    m_data.push_back(0);
}

void BitWriter::Bytes(std::span<const uint8_t> bytes) {
    Align();
    m_data.insert(m_data.end(), bytes.begin(), bytes.end());
}

}  // namespace velmora::swfgen
