#include "engine/swf/bit_reader.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "tools/swfgen/bit_writer.h"

namespace velmora::swf {
namespace {

// One field kind of a {bytes, values} table: how to read it and how to write it.
enum class Field { U8, U16, U32, EncodedU32, UB, SB, Align };

struct FieldValue {
    Field field;
    int64_t value;
    unsigned bits = 0;
};

struct BitCase {
    const char* name;
    std::vector<uint8_t> bytes;
    std::vector<FieldValue> fields;
};

const std::vector<BitCase>& Cases() {
    static const std::vector<BitCase> kCases = {
        {"little endian", {0x34, 0x12, 0x78, 0x56, 0x34, 0x12, 0xFF},
         {{Field::U16, 0x1234}, {Field::U32, 0x12345678}, {Field::U8, 0xFF}}},
        {"bits msb first across bytes", {0b10110011, 0b11000000},
         {{Field::UB, 0b101, 3}, {Field::UB, 0b10011, 5}, {Field::UB, 0b11, 2}, {Field::Align, 0}}},
        {"signed bits extend the sign", {0b11101000, 0b01000000},
         {{Field::SB, -1, 3}, {Field::SB, 0b01, 2}, {Field::SB, 0, 3}, {Field::SB, 2, 3}, {Field::Align, 0}}},
        {"thirty-two bit field", {0xDE, 0xAD, 0xBE, 0xEF}, {{Field::UB, 0xDEADBEEF, 32}}},
        {"align drops the rest of a byte", {0b10000000, 0x2A},
         {{Field::UB, 1, 1}, {Field::Align, 0}, {Field::U8, 42}}},
        {"encoded u32 one byte", {0x7F}, {{Field::EncodedU32, 127}}},
        {"encoded u32 two bytes", {0x80, 0x01}, {{Field::EncodedU32, 128}}},
        {"encoded u32 five bytes", {0xFF, 0xFF, 0xFF, 0xFF, 0x0F}, {{Field::EncodedU32, 0xFFFFFFFF}}},
    };
    return kCases;
}

TEST(BitReader, ReadsTable) {
    for (const auto& c : Cases()) {
        SCOPED_TRACE(c.name);
        BitReader r(c.bytes);
        for (const auto& f : c.fields) {
            switch (f.field) {
            case Field::U8: EXPECT_EQ(r.U8(), f.value); break;
            case Field::U16: EXPECT_EQ(r.U16(), f.value); break;
            case Field::U32: EXPECT_EQ(r.U32(), f.value); break;
            case Field::EncodedU32: EXPECT_EQ(r.EncodedU32(), f.value); break;
            case Field::UB: EXPECT_EQ(r.UB(f.bits), f.value); break;
            case Field::SB: EXPECT_EQ(r.SB(f.bits), f.value); break;
            case Field::Align: r.Align(); break;
            }
        }
        EXPECT_TRUE(r.Ok());
        EXPECT_TRUE(r.AtEnd());
    }
}

TEST(BitWriter, WritesTable) {
    for (const auto& c : Cases()) {
        SCOPED_TRACE(c.name);
        swfgen::BitWriter w;
        for (const auto& f : c.fields) {
            switch (f.field) {
            case Field::U8: w.U8(static_cast<uint8_t>(f.value)); break;
            case Field::U16: w.U16(static_cast<uint16_t>(f.value)); break;
            case Field::U32: w.U32(static_cast<uint32_t>(f.value)); break;
            case Field::EncodedU32: w.EncodedU32(static_cast<uint32_t>(f.value)); break;
            case Field::UB: w.UB(static_cast<uint32_t>(f.value), f.bits); break;
            case Field::SB: w.SB(static_cast<int32_t>(f.value), f.bits); break;
            case Field::Align: w.Align(); break;
            }
        }
        EXPECT_EQ(w.Data(), c.bytes);
    }
}

TEST(BitReader, ReadingPastTheEndGivesZeroAndLatchesError) {
    const std::vector<uint8_t> bytes = {0x01};
    BitReader r(bytes);
    EXPECT_EQ(r.U16(), 0x0001);  // low byte read, high byte missing
    EXPECT_FALSE(r.Ok());
    EXPECT_EQ(r.U32(), 0u);
    EXPECT_EQ(r.UB(7), 0u);
    EXPECT_FALSE(r.Ok());
}

TEST(BitReader, FieldWiderThan32BitsIsAnError) {
    const std::vector<uint8_t> bytes(8, 0xFF);
    BitReader r(bytes);
    EXPECT_EQ(r.UB(33), 0u);
    EXPECT_FALSE(r.Ok());
}

TEST(BitReader, BytesAndStringsStayInsideTheSpan) {
    const std::vector<uint8_t> bytes = {'a', 'b', 0, 'c', 'd'};
    BitReader r(bytes);
    EXPECT_EQ(r.String(), "ab");
    EXPECT_EQ(r.Bytes(10).size(), 2u);  // only what is there
    EXPECT_FALSE(r.Ok());

    BitReader unterminated(std::span<const uint8_t>(bytes).subspan(3));
    EXPECT_EQ(unterminated.String(), "cd");
    EXPECT_FALSE(unterminated.Ok());
}

TEST(BitReader, FixedPointFormats) {
    const std::vector<uint8_t> bytes = {0x80, 0xFF, 0x00, 0x80, 0x01, 0x00};
    BitReader r(bytes);
    EXPECT_FLOAT_EQ(r.Fixed8(), -0.5f);
    EXPECT_DOUBLE_EQ(r.Fixed16(), 1.5);
    EXPECT_TRUE(r.Ok());
}

}  // namespace
}  // namespace velmora::swf
