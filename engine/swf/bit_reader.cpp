#include "engine/swf/bit_reader.h"

#include <bit>
#include <cstring>

namespace velmora::swf {

uint8_t BitReader::U8() {
    m_bitCount = 0;
    if (m_pos >= m_data.size()) {
        m_ok = false;
        return 0;
    }
    return m_data[m_pos++];
}

uint16_t BitReader::U16() {
    uint16_t lo = U8();
    uint16_t hi = U8();
    return static_cast<uint16_t>(lo | (hi << 8));
}

uint32_t BitReader::U32() {
    uint32_t lo = U16();
    uint32_t hi = U16();
    return lo | (hi << 16);
}

float BitReader::Fixed8() { return static_cast<float>(S16()) / 256.0f; }

double BitReader::Fixed16() { return static_cast<double>(S32()) / 65536.0; }

float BitReader::Float32() { return std::bit_cast<float>(U32()); }

double BitReader::Float64() {
    uint64_t lo = U32();
    uint64_t hi = U32();
    return std::bit_cast<double>(lo | (hi << 32));
}

uint32_t BitReader::EncodedU32() {
    uint32_t value = 0;
    for (int i = 0; i < 5; ++i) {
        uint8_t byte = U8();
        value |= static_cast<uint32_t>(byte & 0x7F) << (7 * i);
        if (!(byte & 0x80)) break;
    }
    return value;
}

uint32_t BitReader::UB(unsigned n) {
    if (n > 32) {
        m_ok = false;
        return 0;
    }
    uint64_t value = 0;
    for (unsigned left = n; left > 0;) {
        if (m_bitCount == 0) {
            if (m_pos >= m_data.size()) {
                m_ok = false;
                return 0;
            }
            m_bits = m_data[m_pos++];
            m_bitCount = 8;
        }
        unsigned take = left < m_bitCount ? left : m_bitCount;
        unsigned shift = m_bitCount - take;
        uint32_t chunk = (m_bits >> shift) & ((1u << take) - 1);
        value = (value << take) | chunk;
        m_bitCount -= take;
        left -= take;
    }
    return static_cast<uint32_t>(value);
}

int32_t BitReader::SB(unsigned n) {
    uint32_t raw = UB(n);
    if (n == 0 || n >= 32) return static_cast<int32_t>(raw);
    uint32_t sign = 1u << (n - 1);
    return static_cast<int32_t>((raw ^ sign) - sign);
}

double BitReader::FB(unsigned n) { return static_cast<double>(SB(n)) / 65536.0; }

std::string BitReader::String() {
    m_bitCount = 0;
    const uint8_t* begin = m_data.data() + m_pos;
    size_t left = Remaining();
    const void* nul = left ? std::memchr(begin, 0, left) : nullptr;
    if (!nul) {
        m_pos = m_data.size();
        m_ok = false;
        return std::string(reinterpret_cast<const char*>(begin), left);
    }
    size_t len = static_cast<const uint8_t*>(nul) - begin;
    m_pos += len + 1;
    return std::string(reinterpret_cast<const char*>(begin), len);
}

std::span<const uint8_t> BitReader::Bytes(size_t n) {
    m_bitCount = 0;
    if (n > Remaining()) {
        m_ok = false;
        n = Remaining();
    }
    auto out = m_data.subspan(m_pos, n);
    m_pos += n;
    return out;
}

}  // namespace velmora::swf
