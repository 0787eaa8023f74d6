#include "engine/raster/paint.h"

#include <gtest/gtest.h>

#include "engine/raster/test_support.h"

namespace velmora::raster {
namespace {

using namespace testing;

constexpr Rgba kRed{255, 0, 0, 255}, kGreen{0, 255, 0, 255}, kBlue{0, 0, 255, 255},
    kCyan{0, 255, 255, 255}, kBlack{0, 0, 0, 255};

Gradient Stops(std::initializer_list<GradientStop> stops) {
    Gradient g;
    g.stops = stops;
    return g;
}

TEST(GradientRamp, StopOrderAndRatiosAsFlashDrawsThem) {
    struct Probe { int t; Rgba color; };
    struct Case {
        const char* name;
        Gradient gradient;
        std::vector<Probe> probes;
    };
    const std::vector<Case> cases = {
        {"single stop is flat", Stops({{128, kRed}}), {{0, kRed}, {255, kRed}}},
        {"ends pad with the outer stops", Stops({{64, kRed}, {192, kBlue}}),
         {{0, kRed}, {64, kRed}, {128, {127, 0, 128, 255}}, {192, kBlue}, {255, kBlue}}},
        // A stop whose ratio is behind the ramp is skipped; colour resumes from it.
        {"later stop with a smaller ratio is never reached",
         Stops({{0, kRed}, {128, kGreen}, {255, kBlue}, {128, kCyan}}),
         {{128, kGreen}, {255, kBlue}}},
        // Stops behind the ramp are shown one entry each; the last one starts the next stretch.
        {"skipped stop is the start of the next stretch",
         Stops({{0, kRed}, {100, kGreen}, {50, kCyan}, {150, kBlue}}),
         {{100, kGreen}, {101, kGreen}, {102, {0, 122, 255, 255}}, {150, kBlue}}},
        {"equal ratios step", Stops({{0, kRed}, {100, kGreen}, {100, kBlue}, {200, kBlack}, {150, kCyan}}),
         {{100, kGreen}, {101, kGreen}, {102, {0, 0, 250, 255}}, {200, kBlack}, {201, kBlack},
          {202, kCyan}, {255, kCyan}}},
        {"a group of equal ratios shows each stop once",
         Stops({{6, kRed}, {6, kGreen}, {6, kBlue}, {6, kBlack}, {150, kRed}}),
         {{6, kRed}, {7, kRed}, {8, kGreen}, {9, kBlue}, {10, {7, 0, 0, 255}}, {150, kRed}}},
    };
    for (const Case& k : cases) {
        const auto ramp = BuildGradientRamp(k.gradient);
        for (const Probe& p : k.probes) {
            const Rgba c = ramp[p.t];
            EXPECT_TRUE(std::abs(c.r - p.color.r) <= 1 && std::abs(c.g - p.color.g) <= 1 &&
                        std::abs(c.b - p.color.b) <= 1 && c.a == p.color.a)
                << k.name << " at " << p.t << ": " << int(c.r) << "," << int(c.g) << "," << int(c.b);
        }
    }
}

TEST(GradientRamp, LinearRgbMixesInLightNotInCodeValues) {
    Gradient g = Stops({{0, kBlack}, {255, {255, 255, 255, 255}}});
    EXPECT_NEAR(BuildGradientRamp(g)[128].r, 128, 1);
    g.interpolation = Interpolation::LinearRgb;
    // Half the light of white is sRGB code 188.
    EXPECT_NEAR(BuildGradientRamp(g)[128].r, 188, 1);
}

TEST(GradientIndex, SpreadModes) {
    struct Case { float t; SpreadMode mode; size_t index; };
    for (const Case& k : {Case{-0.5, SpreadMode::Pad, 0}, Case{1.5, SpreadMode::Pad, 255},
                          Case{0.5, SpreadMode::Pad, 128}, Case{1.25, SpreadMode::Repeat, 64},
                          Case{-0.25, SpreadMode::Repeat, 192}, Case{1.25, SpreadMode::Reflect, 191},
                          Case{-0.25, SpreadMode::Reflect, 63}, Case{2.25, SpreadMode::Reflect, 64},
                          Case{0.999, SpreadMode::Repeat, 0}, Case{1.0, SpreadMode::Pad, 255},
                          Case{std::nanf(""), SpreadMode::Repeat, 0}}) {
        EXPECT_EQ(GradientIndex(k.t, k.mode), k.index) << k.t << " mode " << static_cast<int>(k.mode);
    }
}

// A 64 px square drawn with one fill at one pixel per 20 twips.
Surface FillSquare(const FillStyle& fill, const BitmapLookup& bitmaps = nullptr,
                   Quality q = Quality::High, const ColorTransform& cx = {}) {
    Shape s = RectShape(0, 0, 64 * kTwips, 64 * kTwips, kRed);
    s.layers[0].fills[0] = fill;
    Surface out(64, 64);
    Renderer r(out, q, bitmaps);
    r.DrawShape(s, PixelScale(), cx);
    return out;
}

TEST(Paint, GradientSquareIsMappedByTheFillMatrix) {
    // The square -16384..16384 scaled to 0..64 px: linear runs left to right.
    FillStyle f;
    f.kind = FillKind::LinearGradient;
    f.gradient = Stops({{0, kBlack}, {255, {255, 255, 255, 255}}});
    const double scale = 32.0 * kTwips / 16384;
    f.matrix = {scale, 0, 0, scale, 32.0 * kTwips, 32.0 * kTwips};
    const Surface linear = FillSquare(f);
    for (int x : {0, 16, 32, 48, 63})
        EXPECT_NEAR(Red(linear.Row(10)[x]), (x + 0.5) / 64 * 255, 2) << x;
    EXPECT_EQ(linear.Row(0)[20], linear.Row(63)[20]);

    f.kind = FillKind::RadialGradient;
    const Surface radial = FillSquare(f);
    EXPECT_LE(Red(radial.Row(32)[32]), 6u);
    EXPECT_NEAR(Red(radial.Row(32)[48]), 16.5 / 32 * 255, 3);
    EXPECT_EQ(Red(radial.Row(0)[0]), 255u);  // padded outside the circle
    EXPECT_EQ(radial.Row(32)[16], radial.Row(16)[32]);

    // A focal point at +0.5 moves the start of the ramp half way to the right edge.
    f.kind = FillKind::FocalGradient;
    f.gradient.focalPoint = 0.5f;
    const Surface focal = FillSquare(f);
    // On the axis t is the distance from the focus over the focus's distance to the circle.
    for (int x : {8, 40, 56, 62}) {
        const double u = (x + 0.5 - 32) / 32;
        const double t = u > 0.5 ? (u - 0.5) / 0.5 : (0.5 - u) / 1.5;
        EXPECT_NEAR(Red(focal.Row(32)[x]), t * 255, 2) << x;
    }
}

TEST(Paint, GradientSpreadRepeatsOutsideTheSquare) {
    FillStyle f;
    f.kind = FillKind::LinearGradient;
    f.gradient = Stops({{0, kBlack}, {255, {255, 255, 255, 255}}});
    const double scale = 8.0 * kTwips / 16384;  // square is 16 px wide, 0..16
    f.matrix = {scale, 0, 0, scale, 8.0 * kTwips, 0};
    for (SpreadMode mode : {SpreadMode::Pad, SpreadMode::Repeat, SpreadMode::Reflect}) {
        f.gradient.spread = mode;
        const Surface out = FillSquare(f);
        const uint32_t inside = Red(out.Row(5)[4]), beyond = Red(out.Row(5)[20]);
        const int expected = mode == SpreadMode::Pad ? 255 : mode == SpreadMode::Repeat ? int(inside) : 255 - int(inside);
        EXPECT_NEAR(int(beyond), expected, 2) << static_cast<int>(mode);
    }
}

Bitmap Checker2x2() {
    // Premultiplied: red, green / blue, half-transparent white.
    return {2, 2, {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0x80808080u}};
}

FillStyle BitmapFill(FillKind kind, double pixelsPerTexel) {
    FillStyle f;
    f.kind = kind;
    f.bitmapId = 7;
    f.matrix = {kTwips * pixelsPerTexel, 0, 0, kTwips * pixelsPerTexel, 0, 0};
    return f;
}

TEST(Paint, BitmapFillsClipOrRepeat) {
    const Bitmap bmp = Checker2x2();
    auto lookup = [&bmp](uint16_t id) { return id == 7 ? &bmp : nullptr; };
    // One texel per 4 px, nearest: exact texel colours.
    const Surface clipped = FillSquare(BitmapFill(FillKind::ClippedBitmapNearest, 4), lookup);
    EXPECT_EQ(clipped.Row(1)[1], 0xFFFF0000u);
    EXPECT_EQ(clipped.Row(1)[5], 0xFF00FF00u);
    EXPECT_EQ(clipped.Row(6)[2], 0xFF0000FFu);
    EXPECT_EQ(clipped.Row(6)[6], 0x80808080u);
    EXPECT_EQ(clipped.Row(1)[40], 0xFF00FF00u);  // edge texels extend
    EXPECT_EQ(clipped.Row(40)[40], 0x80808080u);
    const Surface repeated = FillSquare(BitmapFill(FillKind::RepeatingBitmapNearest, 4), lookup);
    EXPECT_EQ(repeated.Row(1)[9], 0xFFFF0000u);
    EXPECT_EQ(repeated.Row(9)[45], 0xFF00FF00u);
    EXPECT_EQ(repeated.Row(13)[41], 0xFF0000FFu);
    // A missing bitmap draws nothing.
    EXPECT_EQ(FillSquare(BitmapFill(FillKind::ClippedBitmap, 4), nullptr).Row(1)[1], 0u);
}

TEST(Paint, ReusedPaintForgetsThePreviousBitmap) {
    // One Paint serves every fill of a frame; a gradient after a bitmap must not sample it.
    const Bitmap bmp = Checker2x2();
    const Bitmap broken{4, 4, {}};  // claims more pixels than it has
    auto lookup = [&](uint16_t id) { return id == 7 ? &bmp : id == 8 ? &broken : nullptr; };
    FillStyle gradient;
    gradient.kind = FillKind::LinearGradient;
    gradient.gradient = Stops({{0, kBlue}, {255, kBlue}});
    for (uint16_t id : {7, 8}) {
        Paint paint;
        FillStyle bitmapFill = BitmapFill(FillKind::ClippedBitmapNearest, 4);
        bitmapFill.bitmapId = id;
        EXPECT_EQ(paint.Setup(bitmapFill, PixelScale(), {}, lookup, false), id == 7);
        ASSERT_TRUE(paint.Setup(gradient, PixelScale(), {}, lookup, false));
        uint32_t out[3] = {};
        paint.Span(0, 0, 3, out);
        for (uint32_t c : out) EXPECT_EQ(c, 0xFF0000FFu) << id;
    }
}

TEST(Paint, SmoothedBitmapsBlendBetweenTexelsOnlyAtHighQuality) {
    const Bitmap bmp{2, 1, {0xFF000000u, 0xFFFFFFFFu}};
    auto lookup = [&bmp](uint16_t id) { return id == 7 ? &bmp : nullptr; };
    const Surface smooth = FillSquare(BitmapFill(FillKind::ClippedBitmap, 16), lookup);
    // Texel centres at 8 and 24 px: between them a ramp, outside them flat.
    EXPECT_EQ(Red(smooth.Row(0)[2]), 0u);
    EXPECT_NEAR(Red(smooth.Row(0)[16]), 128, 9);
    EXPECT_EQ(Red(smooth.Row(0)[30]), 255u);
    const Surface nearest = FillSquare(BitmapFill(FillKind::ClippedBitmapNearest, 16), lookup);
    EXPECT_EQ(Red(nearest.Row(0)[15]), 0u);
    EXPECT_EQ(Red(nearest.Row(0)[16]), 255u);
    const Surface low = FillSquare(BitmapFill(FillKind::ClippedBitmap, 16), lookup, Quality::Low);
    EXPECT_EQ(Red(low.Row(0)[15]), 0u);
}

TEST(Paint, ColorTransformOfBitmapWorksOnStraightColour) {
    const Bitmap bmp = Checker2x2();
    auto lookup = [&bmp](uint16_t id) { return id == 7 ? &bmp : nullptr; };
    ColorTransform cx;
    cx.aMul = 0.5f;
    cx.bAdd = 255;
    const Surface out = FillSquare(BitmapFill(FillKind::ClippedBitmapNearest, 4), lookup,
                                   Quality::High, cx);
    // Red becomes straight (255, 0, 255, 128); half-white (255,255,255,128) stays white at 64.
    EXPECT_EQ(out.Row(1)[1], 0x80800080u);
    EXPECT_EQ(out.Row(6)[6], 0x40404040u);
}

TEST(Paint, ColorTransformOfGradientAppliesToEveryStop) {
    FillStyle f;
    f.kind = FillKind::LinearGradient;
    f.gradient = Stops({{0, kRed}, {255, kRed}});
    ColorTransform cx;
    cx.rMul = 0;
    cx.gAdd = 255;
    cx.aMul = 0;
    cx.aAdd = 255;
    EXPECT_EQ(FillSquare(f, nullptr, Quality::High, cx).Row(3)[3], 0xFF00FF00u);
    cx.aAdd = 0;  // fully transparent: nothing drawn
    EXPECT_EQ(FillSquare(f, nullptr, Quality::High, cx).Row(3)[3], 0u);
}

}  // namespace
}  // namespace velmora::raster
