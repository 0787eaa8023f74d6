// Small pictures of typical content compared with reviewed renders in testdata/.
// Run with VELMORA_UPDATE_GOLDEN=1 to rewrite them after a deliberate change (then look).
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>

#include "engine/raster/image_file.h"
#include "engine/raster/renderer.h"
#include "engine/raster/test_support.h"

namespace velmora::raster {
namespace {

using namespace testing;

constexpr int kSize = 96;

Shape Blob() {
    // Two regions sharing a curved border, each with its own fill, outlined in one stroke.
    Shape s;
    ShapeLayer layer;
    layer.fills = {SolidFill({250, 200, 40, 255}), SolidFill({40, 120, 220, 255})};
    LineStyle outline;
    outline.width = 60;
    outline.color = {30, 20, 10, 255};
    layer.lines = {outline};
    layer.edges = {Curve(200, 1000, 200, 200, 1000, 200, 0, 1, 1),
                   Curve(1000, 200, 1800, 200, 1800, 1000, 0, 1, 1),
                   Curve(1800, 1000, 1000, 600, 200, 1000, 2, 1, 1),
                   Curve(200, 1000, 300, 1800, 1000, 1800, 2, 0, 1),
                   Curve(1000, 1800, 1700, 1800, 1800, 1000, 2, 0, 1)};
    s.layers.push_back(layer);
    return s;
}

Shape Ring(const FillStyle& fill, int cx, int cy, int r) {
    Shape s;
    ShapeLayer layer;
    layer.fills = {fill};
    AddCircleEdges(layer, cx, cy, r, 1);
    AddCircleEdges(layer, cx, cy, r / 2, 1);  // even-odd: a hole
    s.layers.push_back(layer);
    return s;
}

FillStyle GradientFill(FillKind kind, SpreadMode spread, int cx, int cy, double radiusTwips) {
    FillStyle f;
    f.kind = kind;
    f.gradient.spread = spread;
    f.gradient.focalPoint = -0.6f;
    f.gradient.stops = {{0, {255, 255, 255, 255}}, {128, {220, 30, 60, 255}}, {255, {20, 20, 80, 160}}};
    const double s = radiusTwips / 16384;
    f.matrix = {s * 0.9, s * 0.4, -s * 0.4, s * 0.9, static_cast<double>(cx), static_cast<double>(cy)};
    return f;
}

using Scene = std::function<void(Renderer&)>;

const Bitmap& Photo() {
    static const Bitmap bmp = [] {
        Bitmap b{8, 8, std::vector<uint32_t>(64)};
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x) {
                const uint32_t r = x * 32, g = y * 32, bl = ((x ^ y) & 1) * 200;
                b.pixels[y * 8 + x] = 0xFF000000u | r << 16 | g << 8 | bl;
            }
        return b;
    }();
    return bmp;
}

void CartoonScene(Renderer& r) {
    r.Clear({255, 255, 255, 255});
    const Shape blob = Blob();
    r.DrawShape(blob, PixelScale(), {});
    ColorTransform faded;
    faded.aMul = 0.5f;
    r.DrawShape(blob, {0.03, 0.02, -0.02, 0.03, 40, 30}, faded);
}

void GradientScene(Renderer& r) {
    r.Clear({240, 240, 240, 255});
    const int h = 24 * kTwips;
    r.DrawShape(Ring(GradientFill(FillKind::LinearGradient, SpreadMode::Reflect, h, h, 240), h, h, 440), PixelScale(), {});
    r.DrawShape(Ring(GradientFill(FillKind::RadialGradient, SpreadMode::Repeat, 3 * h, h, 300), 3 * h, h, 440), PixelScale(), {});
    r.DrawShape(Ring(GradientFill(FillKind::FocalGradient, SpreadMode::Pad, h, 3 * h, 400), h, 3 * h, 440), PixelScale(), {});
    FillStyle lrgb = GradientFill(FillKind::LinearGradient, SpreadMode::Pad, 3 * h, 3 * h, 400);
    lrgb.gradient.interpolation = Interpolation::LinearRgb;
    r.DrawShape(Ring(lrgb, 3 * h, 3 * h, 440), PixelScale(), {});
}

void BitmapScene(Renderer& r) {
    r.Clear({0, 0, 0, 255});
    FillStyle tiles;
    tiles.kind = FillKind::RepeatingBitmap;
    tiles.bitmapId = 1;
    tiles.matrix = {60, 30, -30, 60, 0, 0};  // rotated, 3.4 px per texel
    Shape s = RectShape(0, 0, 48 * kTwips, 96 * kTwips, {});
    s.layers[0].fills[0] = tiles;
    r.DrawShape(s, PixelScale(), {});
    FillStyle clipped = tiles;
    clipped.kind = FillKind::ClippedBitmapNearest;
    clipped.matrix = {80, 0, 0, 80, 56 * kTwips, 24 * kTwips};
    s = RectShape(50 * kTwips, 4 * kTwips, 94 * kTwips, 92 * kTwips, {});
    s.layers[0].fills[0] = clipped;
    r.DrawShape(s, PixelScale(), {});
}

void MaskScene(Renderer& r) {
    r.Clear({255, 255, 255, 255});
    Shape circle;
    circle.layers.emplace_back();
    circle.layers[0].fills = {SolidFill({0, 0, 0, 255})};
    AddCircleEdges(circle.layers[0], 48 * kTwips, 48 * kTwips, 40 * kTwips, 1);
    r.PushMask();
    r.DrawShape(circle, PixelScale(), {});
    r.BeginMasked();
    const Shape blob = Blob();
    r.DrawShape(blob, {0.05, 0, 0, 0.05, 0, 0}, {});
    r.PopMask();
    r.DrawShape(blob, {0.015, 0, 0, 0.015, 64, 64}, {});
}

struct GoldenCase {
    const char* name;
    Scene scene;
    Quality quality;
};

class Golden : public ::testing::TestWithParam<GoldenCase> {};

TEST_P(Golden, MatchesReviewedRender) {
    const GoldenCase& c = GetParam();
    Surface out(kSize, kSize);
    {
        Renderer r(out, c.quality, [](uint16_t id) { return id == 1 ? &Photo() : nullptr; });
        c.scene(r);
    }
    const std::string name = c.name;
    WritePng(out, std::string(VELMORA_RASTER_OUT) + "/" + name + ".png");
    const std::string expectedPath = std::string(VELMORA_RASTER_TESTDATA) + "/" + name + ".png";
    if (std::getenv("VELMORA_UPDATE_GOLDEN")) {
        ASSERT_TRUE(WritePng(out, expectedPath));
        GTEST_SKIP() << "rewrote " << expectedPath;
    }
    Surface expected;
    ASSERT_TRUE(ReadPng(expectedPath, expected)) << expectedPath;
    ASSERT_EQ(expected.Width(), kSize);
    ASSERT_EQ(expected.Height(), kSize);
    // A few channels may move by rounding between compilers; anything more is a change.
    int outliers = 0;
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x)
            for (int shift = 0; shift < 32; shift += 8) {
                const int a = static_cast<int>((out.Row(y)[x] >> shift) & 255);
                const int b = static_cast<int>((expected.Row(y)[x] >> shift) & 255);
                if (std::abs(a - b) > 3) ++outliers;
            }
    EXPECT_LE(outliers, kSize * kSize / 200) << name;
}

INSTANTIATE_TEST_SUITE_P(
    Raster, Golden,
    ::testing::Values(GoldenCase{"cartoon_high", CartoonScene, Quality::High},
                      GoldenCase{"cartoon_low", CartoonScene, Quality::Low},
                      GoldenCase{"gradients", GradientScene, Quality::High},
                      GoldenCase{"bitmaps", BitmapScene, Quality::High},
                      GoldenCase{"mask", MaskScene, Quality::High}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace velmora::raster
