#include "engine/swf/shape_reader.h"

#include <gtest/gtest.h>

#include <array>

#include "tools/swfgen/record_writer.h"
#include "tools/swfgen/shape_builder.h"

namespace velmora::swf {
namespace {

bool SameEdges(const std::vector<ShapeEdge>& a, const std::vector<ShapeEdge>& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        const ShapeEdge &x = a[i], &y = b[i];
        if (x.x0 != y.x0 || x.y0 != y.y0 || x.x1 != y.x1 || x.y1 != y.y1 || x.curved != y.curved ||
            x.fill0 != y.fill0 || x.fill1 != y.fill1 || x.line != y.line)
            return false;
        if (x.curved && (x.cx != y.cx || x.cy != y.cy)) return false;
    }
    return true;
}

Shape TwoLayerShape() {
    swfgen::ShapeBuilder b;
    uint32_t red = b.AddFill(swfgen::SolidFill({255, 0, 0, 255}));
    uint32_t blue = b.AddFill(swfgen::SolidFill({0, 0, 255, 255}));
    uint32_t line = b.AddLine(swfgen::Stroke(20, {0, 0, 0, 255}));
    b.SetStyles(0, red, line);
    b.Rect(0, 0, 1000, 500);
    b.SetStyles(red, blue, 0);  // shared edge between two fills
    b.MoveTo(500, 0);
    b.LineTo(500, 500);
    b.SetStyles(0, blue, 0);
    b.Ellipse(-3000, 7000, 40000, 300);  // needs wide delta fields and a far move
    b.NewLayer();
    b.SetStyles(0, b.AddFill(swfgen::SolidFill({0, 255, 0, 255})), 0);
    b.CurveTo(100, -100, 200, 0);
    return b.Build();
}

TEST(ShapeReader, RoundTripsLayersEdgesAndStyles) {
    for (int version = 2; version <= 4; ++version) {
        SCOPED_TRACE(version);
        Shape shape = TwoLayerShape();
        shape.usesNonZeroWinding = version == 4;
        auto body = swfgen::ShapeBody(shape, version);
        auto read = ReadDefineShape(body, version);
        ASSERT_TRUE(read);
        EXPECT_EQ(read->bounds, shape.bounds);
        EXPECT_EQ(read->usesNonZeroWinding, version == 4);
        ASSERT_EQ(read->layers.size(), 2u);
        for (size_t i = 0; i < 2; ++i) {
            EXPECT_EQ(read->layers[i].fills.size(), shape.layers[i].fills.size());
            EXPECT_EQ(read->layers[i].lines.size(), shape.layers[i].lines.size());
            EXPECT_TRUE(SameEdges(read->layers[i].edges, shape.layers[i].edges)) << "layer " << i;
        }
    }
}

// A DefineShape (version 1) written by hand: one red fill, a 20x20 twip square.
const std::vector<uint8_t> kHandSquare = {
    0x30, 0x0A, 0x00, 0xA0,        // RECT, 6-bit fields: 0, 20, 0, 20
    0x01, 0x00, 0xFF, 0x00, 0x00,  // one solid fill, red
    0x00,                          // no lines
    0x10,                          // 1 fill bit, 0 line bits
    // style change selecting fill1 = 1, four straight 6-bit edges, end record
    0x13, 0xA0, 0xA6, 0x8A, 0x9A, 0x16, 0x68, 0xD8, 0x00};

TEST(ShapeReader, HandWrittenSquare) {
    auto shape = ReadDefineShape(kHandSquare, 1);
    ASSERT_TRUE(shape);
    EXPECT_EQ(shape->bounds, (RectTwips{0, 20, 0, 20}));
    ASSERT_EQ(shape->layers.size(), 1u);
    const auto& layer = shape->layers[0];
    ASSERT_EQ(layer.fills.size(), 1u);
    EXPECT_EQ(layer.fills[0].color, (Rgba{255, 0, 0, 255}));
    ASSERT_EQ(layer.edges.size(), 4u);
    const int32_t expected[4][4] = {{0, 0, 20, 0}, {20, 0, 20, 20}, {20, 20, 0, 20}, {0, 20, 0, 0}};
    for (int i = 0; i < 4; ++i) {
        const auto& e = layer.edges[i];
        EXPECT_EQ((std::array{e.x0, e.y0, e.x1, e.y1}),
                  (std::array{expected[i][0], expected[i][1], expected[i][2], expected[i][3]}))
            << i;
        EXPECT_EQ(e.fill1, 1u);
        EXPECT_EQ(e.fill0, 0u);
    }
}

TEST(ShapeReader, TruncatedShapeKeepsTheEdgesBeforeTheCut) {
    size_t previous = 0;
    for (size_t cut = 0; cut < kHandSquare.size(); ++cut) {
        auto shape = ReadDefineShape(std::span(kHandSquare.data(), cut), 1);
        size_t edges = shape ? shape->layers[0].edges.size() : 0;
        EXPECT_GE(edges, previous) << cut;  // more bytes never lose edges
        EXPECT_LE(edges, 4u);
        previous = edges;
    }
    auto almost = ReadDefineShape(std::span(kHandSquare.data(), kHandSquare.size() - 2), 1);
    ASSERT_TRUE(almost);
    EXPECT_EQ(almost->layers[0].edges.size(), 3u);
}

TEST(ShapeReader, StyleIndexOutsideItsGroupSelectsNothing) {
    Shape shape = TwoLayerShape();
    shape.layers[0].edges[0].fill1 = 3;  // only two fills exist
    auto read = ReadDefineShape(swfgen::ShapeBody(shape, 3), 3);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->layers[0].edges[0].fill1, 0u);
}

MorphShape SquareToWideMorph() {
    MorphShape morph;
    morph.startBounds = {0, 100, 0, 100};
    morph.endBounds = {0, 300, 0, 100};
    MorphFillStyle fill;
    fill.startColor = {0, 0, 0, 255};
    fill.endColor = {200, 100, 50, 55};
    morph.fills.push_back(fill);
    MorphLineStyle line;
    line.startWidth = 20;
    line.endWidth = 60;
    morph.lines.push_back(line);
    auto edge = [](int32_t x0, int32_t y0, int32_t x1, int32_t y1, bool styled) {
        ShapeEdge e;
        e.x0 = x0;
        e.y0 = y0;
        e.x1 = x1;
        e.y1 = y1;
        e.fill1 = styled ? 1 : 0;
        e.line = styled ? 1 : 0;
        return e;
    };
    morph.startEdges = {edge(0, 0, 100, 0, true), edge(100, 0, 100, 100, true), edge(100, 100, 0, 0, true)};
    morph.endEdges = {edge(0, 0, 300, 0, false), edge(300, 0, 300, 100, false), edge(300, 100, 0, 0, false)};
    ShapeEdge curve = morph.endEdges[2];
    curve.curved = true;
    curve.cx = 0;
    curve.cy = 100;
    morph.endEdges[2] = curve;
    return morph;
}

TEST(ShapeReader, MorphRoundTripsAndInterpolates) {
    MorphShape morph = SquareToWideMorph();
    auto read = ReadDefineMorphShape(swfgen::MorphShapeBody(morph), 1);
    ASSERT_TRUE(read);
    EXPECT_TRUE(SameEdges(read->startEdges, morph.startEdges));
    ASSERT_EQ(read->endEdges.size(), 3u);

    Shape start = InterpolateMorph(*read, 0);
    ASSERT_EQ(start.layers[0].edges.size(), 3u);
    EXPECT_EQ(start.layers[0].edges[1].x1, 100);
    EXPECT_TRUE(start.layers[0].edges[2].curved);  // paired with a curve: control at the midpoint
    EXPECT_EQ(start.layers[0].edges[2].cx, 50);
    EXPECT_EQ(start.layers[0].fills[0].color, (Rgba{0, 0, 0, 255}));
    EXPECT_EQ(start.layers[0].lines[0].width, 20);

    Shape mid = InterpolateMorph(*read, 32768);
    EXPECT_EQ(mid.bounds.xMax, 200);
    EXPECT_EQ(mid.layers[0].edges[0].x1, 200);
    EXPECT_EQ(mid.layers[0].lines[0].width, 40);
    EXPECT_EQ(mid.layers[0].fills[0].color, (Rgba{100, 50, 25, 155}));
    // Straight start edge against a curved end edge: control point moves from the midpoint.
    EXPECT_TRUE(mid.layers[0].edges[2].curved);
    EXPECT_EQ(mid.layers[0].edges[2].cx, 25);
    EXPECT_EQ(mid.layers[0].edges[2].cy, 75);
    EXPECT_EQ(mid.layers[0].edges[2].fill1, 1u);

    Shape end = InterpolateMorph(*read, 65535);
    EXPECT_EQ(end.layers[0].edges[1].x0, 300);
    EXPECT_EQ(end.layers[0].fills[0].color, (Rgba{200, 100, 50, 55}));
}

TEST(ShapeReader, MorphWithEndOffsetPastTheTagKeepsTheStartShape) {
    auto body = swfgen::MorphShapeBody(SquareToWideMorph());
    body[14] = 0x7F;  // top byte of the end-edges offset, after the 5- and 6-byte RECTs
    auto read = ReadDefineMorphShape(body, 1);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->startEdges.size(), 3u);
    EXPECT_TRUE(read->endEdges.empty());
    EXPECT_TRUE(InterpolateMorph(*read, 100).layers[0].edges.empty());
}

}  // namespace
}  // namespace velmora::swf
