// Bounded little-endian byte and bit reader for SWF data. Reading past the end never
// touches memory outside the span: it returns zero and latches an error, so a parser can
// read a whole record and check Ok() once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace velmora::swf {

class BitReader {
public:
    BitReader() = default;
    explicit BitReader(std::span<const uint8_t> data) : m_data(data) {}

    uint8_t U8();
    uint16_t U16();
    uint32_t U32();
    int16_t S16() { return static_cast<int16_t>(U16()); }
    int32_t S32() { return static_cast<int32_t>(U32()); }
    float Fixed8();    // signed 8.8
    double Fixed16();  // signed 16.16
    float Float32();
    double Float64();
    uint32_t EncodedU32();

    // Bit fields, most significant bit first. n may be 0..32.
    uint32_t UB(unsigned n);
    int32_t SB(unsigned n);
    double FB(unsigned n);  // signed 16.16 fixed in n bits
    bool Flag() { return UB(1) != 0; }
    void Align() { m_bitCount = 0; }

    // Null-terminated string; an unterminated one runs to the end and is an error.
    std::string String();
    // Exactly n bytes, or what is left (and an error) when fewer remain.
    std::span<const uint8_t> Bytes(size_t n);
    std::span<const uint8_t> Rest() { return Bytes(Remaining()); }
    void Skip(size_t n) { Bytes(n); }

    size_t Position() const { return m_pos; }
    size_t Remaining() const { return m_data.size() - m_pos; }
    bool AtEnd() const { return m_pos >= m_data.size(); }
    bool Ok() const { return m_ok; }
    void Fail() { m_ok = false; }

private:
    std::span<const uint8_t> m_data;
    size_t m_pos = 0;
    uint8_t m_bits = 0;       // current byte being consumed bit by bit
    unsigned m_bitCount = 0;  // bits of m_bits still unread
    bool m_ok = true;
};

}  // namespace velmora::swf
