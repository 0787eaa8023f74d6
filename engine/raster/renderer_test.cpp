#include "engine/raster/renderer.h"

#include <gtest/gtest.h>

#include <numbers>

#include "engine/raster/test_support.h"

namespace velmora::raster {
namespace {

using namespace testing;

constexpr Rgba kRed{255, 0, 0, 255}, kBlue{0, 0, 255, 255}, kWhite{255, 255, 255, 255};

Surface Draw(const Shape& shape, Quality q = Quality::High, int w = 48, int h = 48,
             Matrix m = PixelScale()) {
    Surface s(w, h);
    Renderer r(s, q, nullptr);
    r.DrawShape(shape, m, {});
    return s;
}

Shape StrokeShape(std::initializer_list<std::pair<int, int>> pts, LineStyle style, bool close = false) {
    Shape s;
    ShapeLayer layer;
    layer.lines.push_back(style);
    const auto* prev = pts.begin();
    for (const auto* p = pts.begin() + 1; p != pts.end(); prev = p, ++p)
        layer.edges.push_back(Line(prev->first, prev->second, p->first, p->second, 0, 0, 1));
    if (close)
        layer.edges.push_back(Line(prev->first, prev->second, pts.begin()->first, pts.begin()->second, 0, 0, 1));
    s.layers.push_back(layer);
    return s;
}

LineStyle Style(int widthTwips, CapStyle cap = CapStyle::Round, JoinStyle join = JoinStyle::Round) {
    LineStyle l;
    l.width = static_cast<uint16_t>(widthTwips);
    l.color = kRed;
    l.startCap = l.endCap = cap;
    l.join = join;
    l.miterLimit = 10;
    return l;
}

TEST(Renderer, SharedEdgesBetweenFillsLeaveNoSeam) {
    // A square cut along its diagonal: fill 1 left of the diagonal, fill 2 right of it.
    Shape s;
    ShapeLayer layer;
    layer.fills = {SolidFill(kRed), SolidFill(kBlue)};
    const int a = 4 * kTwips, b = 40 * kTwips;
    layer.edges = {Line(a, a, b, a, 0, 2), Line(b, a, b, b, 0, 2), Line(b, b, a, a, 1, 2),
                   Line(b, b, a, b, 1), Line(a, b, a, a, 1)};
    s.layers.push_back(layer);
    Surface out(48, 48);
    Renderer r(out, Quality::High, nullptr);
    r.Clear(kWhite);
    r.DrawShape(s, PixelScale(), {});
    for (int y = 4; y < 40; ++y)
        for (int x = 4; x < 40; ++x) {
            const uint32_t p = out.Row(y)[x];
            ASSERT_EQ(Green(p), 0u) << "background shows at " << x << "," << y;
            ASSERT_NEAR(Red(p) + Blue(p), 255, 2) << x << "," << y;
        }
    EXPECT_EQ(out.Row(30)[10], 0xFFFF0000u);
    EXPECT_EQ(out.Row(10)[30], 0xFF0000FFu);
}

TEST(Renderer, FillRuleOfShapeFlag) {
    // Two overlapping squares in one fill: a hole under even-odd, filled under non-zero.
    Shape s;
    ShapeLayer layer;
    layer.fills = {SolidFill(kRed)};
    AddPolygonEdges(layer, {{0, 0}, {400, 0}, {400, 400}, {0, 400}}, 1);
    AddPolygonEdges(layer, {{200, 200}, {600, 200}, {600, 600}, {200, 600}}, 1);
    s.layers.push_back(layer);
    EXPECT_EQ(Draw(s).Row(15)[15], 0u);
    s.usesNonZeroWinding = true;
    EXPECT_EQ(Draw(s).Row(15)[15], 0xFFFF0000u);
}

TEST(Renderer, CurvesFillTheirTrueArea) {
    Shape s;
    ShapeLayer layer;
    layer.fills = {SolidFill(kRed)};
    AddCircleEdges(layer, 24 * kTwips, 24 * kTwips, 15 * kTwips, 1);
    s.layers.push_back(layer);
    // Eight quadratics enclose 0.33% more than the circle; flattening each into chords
    // within 0.1 px loses at most 0.1 px times the perimeter.
    const double curveArea = std::numbers::pi * 225 * 1.0033, perimeter = 2 * std::numbers::pi * 15;
    const double area = CoveredArea(Draw(s));
    EXPECT_LE(area, curveArea + 0.5);
    EXPECT_GE(area, curveArea - 0.1 * perimeter);
    const Surface low = Draw(s, Quality::Low);
    EXPECT_NEAR(CoveredArea(low), std::numbers::pi * 225, 15);
    for (int y = 0; y < low.Height(); ++y)
        for (int x = 0; x < low.Width(); ++x) {
            const uint32_t a = Alpha(low.Row(y)[x]);
            ASSERT_TRUE(a == 0 || a == 255) << "low quality blends at " << x << "," << y;
        }
}

TEST(Renderer, StrokeAreaByCap) {
    // A 20 px line, 4 px wide, centred on a pixel row boundary.
    struct Case { CapStyle cap; double area; };
    for (const Case& k : {Case{CapStyle::None, 80}, Case{CapStyle::Square, 96},
                          Case{CapStyle::Round, 80 + std::numbers::pi * 4}}) {
        const Shape s = StrokeShape({{10 * kTwips, 20 * kTwips}, {30 * kTwips, 20 * kTwips}}, Style(80, k.cap));
        EXPECT_NEAR(CoveredArea(Draw(s)), k.area, 0.15) << static_cast<int>(k.cap);
    }
}

TEST(Renderer, StrokeJoinsAddTheirCornerArea) {
    // An L turning 90 degrees with a 8 px wide stroke (half width 4): relative to a bevel,
    // a miter adds hw^2/2 and a round join (pi/4 - 1/2) hw^2.
    auto area = [](JoinStyle join) {
        const Shape s = StrokeShape({{8 * kTwips, 8 * kTwips}, {36 * kTwips, 8 * kTwips}, {36 * kTwips, 40 * kTwips}},
                                    Style(160, CapStyle::None, join));
        return CoveredArea(Draw(s));
    };
    const double bevel = area(JoinStyle::Bevel);
    EXPECT_NEAR(bevel, 28 * 8 + 32 * 8 - 16 + 8, 0.2);
    EXPECT_NEAR(area(JoinStyle::Miter) - bevel, 8, 0.2);
    EXPECT_NEAR(area(JoinStyle::Round) - bevel, (std::numbers::pi / 4 - 0.5) * 16, 0.2);
}

TEST(Renderer, ClosedStrokeJoinsWhereItMeetsItself) {
    // Square outline with mitered corners: a 12x12 frame around an 8x8 hole.
    const Shape s = StrokeShape({{10 * kTwips, 10 * kTwips}, {20 * kTwips, 10 * kTwips},
                                 {20 * kTwips, 20 * kTwips}, {10 * kTwips, 20 * kTwips}},
                                Style(40, CapStyle::Round, JoinStyle::Miter), true);
    const Surface out = Draw(s);
    EXPECT_NEAR(CoveredArea(out), 144 - 64, 0.1);
    EXPECT_EQ(out.Row(15)[15], 0u);
    EXPECT_EQ(out.Row(9)[9], 0xFFFF0000u);
}

TEST(Renderer, HairlinesStayOnePixelAtAnyScale) {
    // Horizontal lines on a pixel-row centre: width 0, and 5 twips, at 1x and 8x zoom.
    struct Case { int width; double scale; };
    for (const Case& k : {Case{0, 1}, Case{5, 1}, Case{0, 8}, Case{2, 8}}) {
        const Matrix m{k.scale / kTwips, 0, 0, k.scale / kTwips, 0, 0.5};
        const int y = static_cast<int>(10 * kTwips / k.scale);
        const Shape s = StrokeShape({{static_cast<int>(4 * kTwips / k.scale), y},
                                     {static_cast<int>(30 * kTwips / k.scale), y}},
                                    Style(k.width, CapStyle::None));
        for (Quality q : {Quality::High, Quality::Low}) {
            const Surface out = Draw(s, q, 48, 48, m);
            EXPECT_EQ(Alpha(out.Row(10)[15]), 255u) << k.width << " x" << k.scale;
            EXPECT_EQ(Alpha(out.Row(9)[15]), 0u);
            EXPECT_EQ(Alpha(out.Row(11)[15]), 0u);
        }
    }
}

TEST(Renderer, LineStyleOptions) {
    const std::initializer_list<std::pair<int, int>> square = {
        {10 * kTwips, 10 * kTwips}, {20 * kTwips, 10 * kTwips}, {20 * kTwips, 20 * kTwips}, {10 * kTwips, 20 * kTwips}};
    // A line with its own fill paints with that fill, not its colour.
    LineStyle filled = Style(40);
    filled.hasFill = true;
    filled.fill = SolidFill(kBlue);
    EXPECT_EQ(Draw(StrokeShape(square, filled, true)).Row(10)[15], 0xFF0000FFu);
    // noClose: a closed path gets caps instead of a join where it meets itself. The corner
    // pixel outside (9, 9) is half covered by a bevel join, fully by two square caps.
    LineStyle capped = Style(40, CapStyle::Square, JoinStyle::Bevel);
    EXPECT_NEAR(Alpha(Draw(StrokeShape(square, capped, true)).Row(9)[9]), 128, 2);
    capped.noClose = true;
    EXPECT_EQ(Draw(StrokeShape(square, capped, true)).Row(9)[9], 0xFFFF0000u);
    // noHScale keeps the width when the shape is stretched horizontally (here 3x).
    const Shape vertical = StrokeShape({{10 * kTwips, 5 * kTwips}, {10 * kTwips, 40 * kTwips}}, Style(80, CapStyle::None));
    const Matrix stretch{3.0 / kTwips, 0, 0, 1.0 / kTwips, 0, 0};
    EXPECT_NEAR(CoveredArea(Draw(vertical, Quality::High, 48, 48, stretch)), 35 * 4 * 2, 1);
    Shape fixedWidth = vertical;
    fixedWidth.layers[0].lines[0].noHScale = true;
    EXPECT_NEAR(CoveredArea(Draw(fixedWidth, Quality::High, 48, 48, stretch)), 35 * 4, 1);
}

TEST(Renderer, ClipLimitsDrawingAndClear) {
    Surface out(32, 32);
    for (int y = 0; y < 32; ++y) std::fill(out.Row(y), out.Row(y) + 32, 0x12345678u);
    Renderer r(out, Quality::High, nullptr);
    r.SetClip({8, 8, 16, 20});
    r.Clear(kWhite);
    r.DrawShape(RectShape(0, 0, 32 * kTwips, 32 * kTwips, kRed), PixelScale(), {});
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            const bool inside = x >= 8 && x < 16 && y >= 8 && y < 20;
            ASSERT_EQ(out.Row(y)[x], inside ? 0xFFFF0000u : 0x12345678u) << x << "," << y;
        }
    // An empty clip draws nothing at all.
    r.SetClip({20, 20, 20, 30});
    r.Clear(kBlue);
    r.DrawShape(RectShape(0, 0, 32 * kTwips, 32 * kTwips, kBlue), PixelScale(), {});
    EXPECT_EQ(out.Row(25)[20], 0x12345678u);
}

TEST(Renderer, ColorTransformAppliesToSolidFill) {
    ColorTransform cx;
    cx.rMul = 0.5f;
    cx.gAdd = 100;
    cx.aMul = 0.5f;
    Surface out(8, 8);
    Renderer r(out, Quality::High, nullptr);
    r.DrawShape(RectShape(0, 0, 160, 160, {200, 10, 0, 255}), PixelScale(), cx);
    // Straight (100, 110, 0, 128) premultiplied.
    EXPECT_EQ(out.Row(4)[4], 0x80323700u);
}

TEST(Renderer, MasksClipAndNest) {
    Surface out(32, 32);
    Renderer r(out, Quality::High, nullptr);
    r.Clear(kWhite);
    r.PushMask();
    r.DrawShape(RectShape(0, 0, 16 * kTwips, 32 * kTwips, kBlue), PixelScale(), {});
    r.BeginMasked();
    r.PushMask();
    r.DrawShape(RectShape(0, 8 * kTwips, 32 * kTwips, 24 * kTwips, kBlue), PixelScale(), {});
    r.BeginMasked();
    r.DrawShape(RectShape(0, 0, 32 * kTwips, 32 * kTwips, kRed), PixelScale(), {});
    r.PopMask();
    r.PopMask();
    // Only the intersection x < 16, 8 <= y < 24 is red; the mask's own colour never shows.
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            const bool inside = x < 16 && y >= 8 && y < 24;
            ASSERT_EQ(out.Row(y)[x], inside ? 0xFFFF0000u : 0xFFFFFFFFu) << x << "," << y;
        }
    // After the masks are popped drawing is unclipped again.
    r.DrawShape(RectShape(30 * kTwips, 0, 32 * kTwips, 2 * kTwips, kBlue), PixelScale(), {});
    EXPECT_EQ(out.Row(1)[31], 0xFF0000FFu);
}

TEST(Renderer, ShapeBoundsCoverStrokesAndCurves) {
    Shape s = StrokeShape({{100, 100}, {300, 100}}, Style(80));
    s.layers[0].edges.push_back(Curve(300, 100, 600, 400, 300, 200, 0, 0, 1));
    const PixelRect b = ShapePixelBounds(s, PixelScale());
    // Edges span 5..30 x 5..20 px (the control point bounds the curve); stroke adds 2 px.
    EXPECT_LE(b.left, 3);
    EXPECT_LE(b.top, 3);
    EXPECT_GE(b.right, 22);  // the curve reaches x = 22.5 at most
    EXPECT_GE(b.bottom, 16);
    EXPECT_LE(b.right, 36);
    const Surface out = Draw(s);
    for (int y = 0; y < out.Height(); ++y)
        for (int x = 0; x < out.Width(); ++x)
            if (out.Row(y)[x]) {
                ASSERT_TRUE(x >= b.left && x < b.right && y >= b.top && y < b.bottom) << x << "," << y;
            }
    EXPECT_TRUE(ShapePixelBounds(Shape{}, PixelScale()).right == 0);
}

TEST(Renderer, HitTestFillsAndStrokes) {
    Shape s = RectShape(0, 0, 400, 400, kRed);
    ShapeLayer& layer = s.layers[0];
    AddPolygonEdges(layer, {{100, 100}, {100, 300}, {300, 300}, {300, 100}}, 1);  // a hole
    layer.lines.push_back(Style(40));
    layer.edges.push_back(Line(1000, 0, 1000, 400, 0, 0, 1));
    struct Case { double x, y; bool hit; };
    for (const Case& k : {Case{50, 50, true}, Case{200, 200, false}, Case{399, 200, true},
                          Case{401, 200, false}, Case{1015, 200, true}, Case{1025, 200, false}}) {
        EXPECT_EQ(HitTestShape(s, {k.x, k.y}), k.hit) << k.x << "," << k.y;
    }
}

}  // namespace
}  // namespace velmora::raster
