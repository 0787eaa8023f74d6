// BitmapData pixels: the player's rounding of stored pixels, and the whole-bitmap
// operations as tables of small bitmaps.
#include "engine/raster/bitmap_buffer.h"

#include <gtest/gtest.h>

namespace velmora::raster {
namespace {

struct RoundTrip {
    uint32_t written, read;
};

class PixelRoundTrip : public ::testing::TestWithParam<RoundTrip> {};

TEST_P(PixelRoundTrip, ReadsBackAsThePlayerDoes) {
    BitmapBuffer b(2, 2, true, 0);
    b.SetPixel32(1, 1, GetParam().written);
    EXPECT_EQ(b.GetPixel32(1, 1), GetParam().read) << std::hex << GetParam().written;
}

INSTANTIATE_TEST_SUITE_P(Rounding, PixelRoundTrip, ::testing::Values(
    RoundTrip{0xAABBCCDD, 0xAABBCCDC}, RoundTrip{0xAA345678, 0xAA345578}, RoundTrip{0x98765432, 0x98755432},
    RoundTrip{0xF7D6D6D6, 0xF7D5D5D5}, RoundTrip{0x01FFFFFF, 0x01FFFFFF}, RoundTrip{0xFF123456, 0xFF123456},
    RoundTrip{0x00123456, 0x00000000}));

TEST(BitmapBuffer, OpaqueBitmapsKeepFullAlpha) {
    BitmapBuffer b(2, 1, false, 0x00112233);
    EXPECT_EQ(b.GetPixel32(0, 0), 0xFF112233u);
    b.SetPixel32(1, 0, 0x10FFFFFF);
    EXPECT_EQ(b.GetPixel32(1, 0), 0xFFFFFFFFu);
    EXPECT_EQ(b.GetPixel32(5, 0), 0u);  // outside reads as nothing
}

TEST(BitmapBuffer, FloodFillStopsAtOtherColours) {
    // A wall splits the bitmap; the fill stays on its side and does not leak diagonally.
    BitmapBuffer b(4, 3, false, 0xFFFFFFFF);
    for (auto [x, y] : {std::pair{1, 0}, {1, 1}, {2, 2}}) b.SetPixel32(x, y, 0xFF000000);
    b.FloodFill(0, 0, 0xFFFF0000);
    const char* expected[] = {"R#..", "R#..", "RR#."};
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) {
            const uint32_t p = b.GetPixel32(x, y);
            const char got = p == 0xFFFF0000 ? 'R' : p == 0xFF000000 ? '#' : '.';
            EXPECT_EQ(got, expected[y][x]) << x << "," << y;
        }
}

TEST(BitmapBuffer, CopyPixelsClipsAndMergesAlpha) {
    BitmapBuffer src(2, 2, true, 0x80FF0000);
    BitmapBuffer dst(3, 3, false, 0xFF0000FF);
    dst.CopyPixels(src, {0, 0, 2, 2}, 2, -1, nullptr, 0, 0, true);
    // Only the source's bottom-left lands, at (2, 0), blended half over blue.
    EXPECT_EQ(dst.GetPixel32(2, 0), 0xFF80007Fu);
    EXPECT_EQ(dst.GetPixel32(2, 1), 0xFF0000FFu);
    EXPECT_EQ(dst.GetPixel32(1, 0), 0xFF0000FFu);
    // Without merging, a transparent target takes the source pixel as it is.
    BitmapBuffer clear(2, 2, true, 0);
    clear.CopyPixels(src, {0, 0, 2, 2}, 0, 0, nullptr, 0, 0, false);
    EXPECT_EQ(clear.GetPixel32(1, 1), 0x80FF0000u);
}

TEST(BitmapBuffer, CopyPixelsOntoItselfReadsTheOldPixels) {
    BitmapBuffer b(3, 1, false, 0);
    b.SetPixel32(0, 0, 0xFF000001);
    b.SetPixel32(1, 0, 0xFF000002);
    b.CopyPixels(b, {0, 0, 2, 1}, 1, 0, nullptr, 0, 0, false);
    EXPECT_EQ(b.GetPixel32(1, 0), 0xFF000001u);
    EXPECT_EQ(b.GetPixel32(2, 0), 0xFF000002u);
}

struct ThresholdCase {
    BitmapBuffer::Compare op;
    uint32_t threshold, mask;
    int matches;
};

class ThresholdTable : public ::testing::TestWithParam<ThresholdCase> {};

TEST_P(ThresholdTable, CountsAndPaintsTheMatches) {
    BitmapBuffer src(3, 1, false, 0);
    src.SetPixel32(0, 0, 0xFF102030);
    src.SetPixel32(1, 0, 0xFF402030);
    src.SetPixel32(2, 0, 0xFF802030);
    BitmapBuffer dst(3, 1, false, 0xFFFFFFFF);
    const ThresholdCase& t = GetParam();
    const int n = dst.Threshold(src, src.Bounds(), 0, 0, t.op, t.threshold, 0xFF00FF00, t.mask, true);
    EXPECT_EQ(n, t.matches);
    int painted = 0;
    for (int x = 0; x < 3; ++x) painted += dst.GetPixel32(x, 0) == 0xFF00FF00 ? 1 : 0;
    EXPECT_EQ(painted, t.matches);
}

INSTANTIATE_TEST_SUITE_P(Ops, ThresholdTable, ::testing::Values(
    ThresholdCase{BitmapBuffer::Compare::Equal, 0x00400000, 0x00FF0000, 1},
    ThresholdCase{BitmapBuffer::Compare::NotEqual, 0x00400000, 0x00FF0000, 2},
    ThresholdCase{BitmapBuffer::Compare::Less, 0x00400000, 0x00FF0000, 1},
    ThresholdCase{BitmapBuffer::Compare::LessEqual, 0x00400000, 0x00FF0000, 2},
    ThresholdCase{BitmapBuffer::Compare::Greater, 0x00400000, 0x00FF0000, 1},
    ThresholdCase{BitmapBuffer::Compare::GreaterEqual, 0xFF402030, 0xFFFFFFFF, 2},
    // The mask hides the channel that differs: every pixel equals.
    ThresholdCase{BitmapBuffer::Compare::Equal, 0x00002030, 0x0000FFFF, 3}));

TEST(BitmapBuffer, NoiseFollowsTheSeed) {
    // Park-Miller from seed 128: red, green, blue of the first pixel, then the next.
    BitmapBuffer b(2, 1, false, 0);
    b.Noise(128, 0, 255, kRedChannel | kGreenChannel | kBlueChannel, false);
    EXPECT_EQ(b.GetPixel32(0, 0), 0xFF8090E0u);
    EXPECT_EQ(b.GetPixel32(1, 0), 0xFF3A441Cu);
    // Seeds below one count as 1 - seed.
    BitmapBuffer c(1, 1, false, 0), d(1, 1, false, 0);
    c.Noise(-1, 0, 255, kRedChannel, true);
    d.Noise(2, 0, 255, kRedChannel, true);
    EXPECT_EQ(c.GetPixel32(0, 0), d.GetPixel32(0, 0));
    // An opaque bitmap asked for alpha noise takes no numbers for it.
    BitmapBuffer opaque(2, 1, false, 0);
    opaque.Noise(128, 0, 255, kRedChannel | kAlphaChannel, true);
    EXPECT_EQ(opaque.GetPixel32(0, 0), 0xFF808080u);
    EXPECT_EQ(opaque.GetPixel32(1, 0), 0xFF909090u);
}

TEST(BitmapBuffer, ColorBoundsFindsTheMaskedColour) {
    BitmapBuffer b(5, 4, false, 0xFFFFFFFF);
    b.SetPixel32(1, 2, 0xFF00FF00);
    b.SetPixel32(3, 1, 0xFF00FF00);
    const PixelRect r = b.ColorBounds(0xFFFFFFFF, 0xFF00FF00, true);
    EXPECT_EQ(r.left, 1);
    EXPECT_EQ(r.top, 1);
    EXPECT_EQ(r.right, 4);
    EXPECT_EQ(r.bottom, 3);
    const PixelRect none = b.ColorBounds(0xFFFFFFFF, 0xFF123456, true);
    EXPECT_EQ(none.right - none.left, 0);
}

}  // namespace
}  // namespace velmora::raster
