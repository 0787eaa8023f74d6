// Blend modes, layers and filters: pixel tables for the modes, the shape of blurred and
// shadowed pictures, and layers through the renderer.
#include <gtest/gtest.h>

#include <cmath>

#include "engine/raster/compose.h"
#include "engine/raster/filters.h"
#include "engine/raster/test_support.h"

namespace velmora::raster {
namespace {

using namespace testing;

struct BlendCase {
    BlendMode mode;
    uint32_t src, dst, expected;  // premultiplied 0xAARRGGBB
};

class BlendTable : public ::testing::TestWithParam<BlendCase> {};

TEST_P(BlendTable, GivesThePixel) {
    const BlendCase& c = GetParam();
    const uint32_t got = BlendPixel(c.src, c.dst, c.mode);
    for (int shift : {24, 16, 8, 0})
        EXPECT_NEAR(static_cast<int>((got >> shift) & 255), static_cast<int>((c.expected >> shift) & 255), 1)
            << std::hex << "got " << got << " want " << c.expected << " mode " << static_cast<int>(c.mode);
}

INSTANTIATE_TEST_SUITE_P(Modes, BlendTable, ::testing::Values(
    // Opaque over opaque: the plain formulas on 0..255 channels.
    BlendCase{BlendMode::Normal, 0xFF336699, 0xFFCCCCCC, 0xFF336699},
    BlendCase{BlendMode::Multiply, 0xFF808080, 0xFFFF4000, 0xFF802000},
    BlendCase{BlendMode::Screen, 0xFF808080, 0xFFFF4000, 0xFFFFA080},
    BlendCase{BlendMode::Lighten, 0xFF20C080, 0xFF80408F, 0xFF80C08F},
    BlendCase{BlendMode::Darken, 0xFF20C080, 0xFF80408F, 0xFF204080},
    BlendCase{BlendMode::Difference, 0xFF20C080, 0xFF80408F, 0xFF60800F},
    BlendCase{BlendMode::Add, 0xFFA0C080, 0xFF80408F, 0xFFFFFFFF},
    BlendCase{BlendMode::Subtract, 0xFF20C080, 0xFF80408F, 0xFF60000F},
    BlendCase{BlendMode::Invert, 0xFF123456, 0xFF00FF80, 0xFFFF007F},
    // Overlay decides by the backdrop, hard light by the source.
    BlendCase{BlendMode::Overlay, 0xFF808080, 0xFF40C000, 0xFF40C100},
    BlendCase{BlendMode::HardLight, 0xFF40C000, 0xFF808080, 0xFF40C100},
    // A half-transparent source blends half way: multiply of black at 50% halves the colour.
    BlendCase{BlendMode::Multiply, 0x80000000, 0xFFFFFFFF, 0xFF7F7F7F},
    BlendCase{BlendMode::Difference, 0x80808080, 0xFFFFFFFF, 0xFF7F7F7F},
    // Over a transparent backdrop the separable modes show the source as it is.
    BlendCase{BlendMode::Multiply, 0xFF336699, 0x00000000, 0xFF336699},
    BlendCase{BlendMode::Screen, 0x80402010, 0x00000000, 0x80402010},
    // Alpha keeps the backdrop where the source is opaque; erase removes it there.
    BlendCase{BlendMode::Alpha, 0x80000000, 0xFF00FF00, 0x80008000},
    BlendCase{BlendMode::Erase, 0x80000000, 0xFF00FF00, 0x7F007F00},
    BlendCase{BlendMode::Erase, 0xFFFFFFFF, 0xFF00FF00, 0x00000000}));

Surface Dot(int size, int x0, int y0, int x1, int y1, uint32_t color) {
    Surface s(size, size);
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) s.Row(y)[x] = color;
    return s;
}

const PixelRect kAll{0, 0, 41, 41};

TEST(BlurFilter, SpreadsSymmetricallyAndKeepsTheAmount) {
    Surface s = Dot(41, 18, 18, 23, 23, 0xFFFFFFFF);
    const double before = CoveredArea(s);
    Filter blur;
    blur.kind = FilterKind::Blur;
    blur.blurX = blur.blurY = 8;
    blur.passes = 2;
    ApplyFilter(s, kAll, blur, 1);
    EXPECT_NEAR(CoveredArea(s), before, before * 0.02);
    const uint32_t centre = Alpha(s.Row(20)[20]);
    EXPECT_LT(centre, 255u);
    // Falls off from the centre, the same in all four directions.
    for (int d = 1; d < 12; ++d) {
        EXPECT_LE(Alpha(s.Row(20)[20 + d]), Alpha(s.Row(20)[20 + d - 1]));
        EXPECT_EQ(Alpha(s.Row(20)[20 + d]), Alpha(s.Row(20)[20 - d])) << d;
        EXPECT_EQ(Alpha(s.Row(20 + d)[20]), Alpha(s.Row(20)[20 + d])) << d;
    }
    EXPECT_GT(Alpha(s.Row(20)[27]), 0u);
    EXPECT_EQ(Alpha(s.Row(20)[35]), 0u);  // two passes of 8 reach 8 pixels out
}

TEST(BlurFilter, BlursOnlyAlongTheAxesAsked) {
    Surface s = Dot(41, 20, 10, 21, 30, 0xFFFFFFFF);  // a vertical bar
    Filter blur;
    blur.kind = FilterKind::Blur;
    blur.blurX = 5;
    blur.blurY = 0;
    blur.passes = 1;
    ApplyFilter(s, kAll, blur, 1);
    EXPECT_EQ(Alpha(s.Row(20)[18]), 51u);  // one fifth of the bar on each of five columns
    EXPECT_EQ(Alpha(s.Row(20)[20]), 51u);
    EXPECT_EQ(Alpha(s.Row(20)[23]), 0u);
    EXPECT_EQ(Alpha(s.Row(9)[20]), 0u);  // nothing spread above the bar
}

Filter Shadow(FilterKind kind, Rgba color, double distance) {
    Filter f;
    f.kind = kind;
    f.colors = {color};
    f.blurX = f.blurY = 4;
    f.passes = 1;
    f.strength = 1;
    f.distance = distance;
    f.angle = 0;  // to the right
    f.compositeSource = true;
    return f;
}

TEST(DropShadowFilter, FallsBehindTheObjectOnTheFarSide) {
    Surface s = Dot(41, 10, 10, 20, 30, 0xFFFF0000);
    ApplyFilter(s, kAll, Shadow(FilterKind::DropShadow, {0, 0, 255, 255}, 6), 1);
    EXPECT_EQ(s.Row(20)[15], 0xFFFF0000u);      // the object stays on top
    EXPECT_EQ(Blue(s.Row(20)[23]), 255u);       // the shadow shows to its right
    EXPECT_EQ(Alpha(s.Row(20)[7]), 0u);         // nothing on the near side
}

TEST(GlowFilter, SurroundsTheObjectEvenly) {
    Surface s = Dot(41, 15, 15, 26, 26, 0xFFFF0000);
    ApplyFilter(s, kAll, Shadow(FilterKind::Glow, {0, 255, 0, 255}, 0), 1);
    EXPECT_EQ(s.Row(20)[20], 0xFFFF0000u);
    const uint32_t left = Alpha(s.Row(20)[14]), right = Alpha(s.Row(20)[26]);
    EXPECT_GT(left, 0u);
    EXPECT_EQ(left, right);
    EXPECT_EQ(left, Alpha(s.Row(14)[20]));
    EXPECT_EQ(Green(s.Row(20)[14]), left);  // the glow colour, premultiplied
}

TEST(GlowFilter, KnockoutLeavesOnlyTheGlow) {
    Surface s = Dot(41, 15, 15, 26, 26, 0xFFFF0000);
    Filter glow = Shadow(FilterKind::Glow, {0, 255, 0, 255}, 0);
    glow.knockout = true;
    ApplyFilter(s, kAll, glow, 1);
    EXPECT_EQ(Alpha(s.Row(20)[20]), 0u);
    EXPECT_GT(Green(s.Row(20)[14]), 0u);
}

TEST(ColorMatrixFilter, SwapsChannelsOfStraightColour) {
    Surface s = Dot(41, 0, 0, 41, 41, 0x80400000);  // red 0x80 at half alpha
    Filter m;
    m.kind = FilterKind::ColorMatrix;
    m.matrix = {0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0};  // red goes to green
    ApplyFilter(s, kAll, m, 1);
    EXPECT_EQ(s.Row(3)[3], 0x80004000u);
}

TEST(FilterMargin, GrowsWithBlurDistanceAndScale) {
    Filter shadow = Shadow(FilterKind::DropShadow, {}, 10);
    EXPECT_EQ(FilterMargin({shadow}, 1), 12);
    EXPECT_EQ(FilterMargin({shadow}, 2), 24);
    Filter matrix;
    matrix.kind = FilterKind::ColorMatrix;
    EXPECT_EQ(FilterMargin({matrix}, 1), 0);
}

// Two overlapping half-transparent squares: in a layer with the alpha applied to the whole
// they do not show through each other.
TEST(RendererLayer, ColorTransformAppliesToTheWholePicture) {
    Surface s(30, 10);
    Renderer r(s, Quality::Low, nullptr);
    r.Clear({255, 255, 255, 255});
    r.PushLayer(0, {0, 0, 30, 10});
    r.DrawShape(RectShape(0, 0, 20 * kTwips, 10 * kTwips, {0, 0, 0, 255}), PixelScale(), {});
    r.DrawShape(RectShape(10 * kTwips, 0, 30 * kTwips, 10 * kTwips, {0, 0, 0, 255}), PixelScale(), {});
    LayerEffect half;
    half.blend = BlendMode::Layer;
    half.colorTransform.aMul = 0.5f;
    r.PopLayer(half);
    EXPECT_EQ(s.Row(5)[5], s.Row(5)[15]);
    EXPECT_NEAR(static_cast<int>(Red(s.Row(5)[15])), 127, 1);
}

TEST(RendererLayer, BlendsWithWhatIsBelowAndHonoursOuterMasks) {
    Surface s(20, 10);
    Renderer r(s, Quality::Low, nullptr);
    r.Clear({200, 100, 50, 255});
    r.PushMask();
    r.DrawShape(RectShape(0, 0, 10 * kTwips, 10 * kTwips, {0, 0, 0, 255}), PixelScale(), {});
    r.BeginMasked();
    r.PushLayer(0, {0, 0, 20, 10});
    r.DrawShape(RectShape(0, 0, 20 * kTwips, 10 * kTwips, {128, 128, 128, 255}), PixelScale(), {});
    LayerEffect multiply;
    multiply.blend = BlendMode::Multiply;
    r.PopLayer(multiply);
    r.PopMask();
    EXPECT_EQ(s.Row(5)[5], 0xFF643219u);   // multiplied inside the mask
    EXPECT_EQ(s.Row(5)[15], 0xFFC86432u);  // untouched outside it
}

}  // namespace
}  // namespace velmora::raster
