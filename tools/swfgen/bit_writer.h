// Little-endian byte and bit writer: the mirror of the engine's BitReader.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace velmora::swfgen {

// Bits a signed / unsigned value needs in an SB / UB field.
unsigned SignedBits(int64_t value);
unsigned UnsignedBits(uint64_t value);

class BitWriter {
public:
    void U8(uint8_t v);
    void U16(uint16_t v);
    void U32(uint32_t v);
    void S16(int16_t v) { U16(static_cast<uint16_t>(v)); }
    void Fixed8(float v);
    void Fixed16(double v);
    void Float32(float v);
    void EncodedU32(uint32_t v);
    void UB(uint32_t v, unsigned n);
    void SB(int32_t v, unsigned n) { UB(static_cast<uint32_t>(v) & Mask(n), n); }
    void Flag(bool v) { UB(v ? 1 : 0, 1); }
    void Align();
    void String(std::string_view s);  // with terminating zero
    void Bytes(std::span<const uint8_t> bytes);

    const std::vector<uint8_t>& Data() {
        Align();
        return m_data;
    }
    size_t Size() const { return m_data.size(); }

private:
    static uint32_t Mask(unsigned n) { return n >= 32 ? 0xFFFFFFFFu : (1u << n) - 1; }
    std::vector<uint8_t> m_data;
    unsigned m_bitCount = 0;  // bits used in the last byte while writing bit fields
};

}  // namespace velmora::swfgen
