#include "engine/swf/records.h"

#include <gtest/gtest.h>

#include "tools/swfgen/record_writer.h"

namespace velmora::swf {
namespace {

using swfgen::BitWriter;

template <typename Write>
std::vector<uint8_t> Written(Write write) {
    BitWriter w;
    write(w);
    return w.Data();
}

struct RectCase {
    std::vector<uint8_t> bytes;
    RectTwips rect;
};

TEST(Records, RectTable) {
    const std::vector<RectCase> cases = {
        // The usual 550x400 stage.
        {{0x78, 0x00, 0x05, 0x5F, 0x00, 0x00, 0x0F, 0xA0, 0x00}, {0, 11000, 0, 8000}},
        {{0x00}, {0, 0, 0, 0}},
        {{0x0D, 0x00}, {-1, 0, -1, 0}},
    };
    for (const auto& c : cases) {
        BitReader r(c.bytes);
        EXPECT_EQ(ReadRect(r), c.rect);
        EXPECT_TRUE(r.Ok() && r.AtEnd());
        EXPECT_EQ(Written([&](BitWriter& w) { swfgen::WriteRect(w, c.rect); }), c.bytes);
    }
}

struct MatrixCase {
    const char* name;
    std::vector<uint8_t> bytes;
    Matrix matrix;
};

TEST(Records, MatrixTable) {
    const std::vector<MatrixCase> cases = {
        {"identity", {0x00}, {}},
        // translate only: 6-bit tx=20, ty=-20
        {"translate", {0x0C, 0xA5, 0x80}, {1, 0, 0, 1, 20, -20}},
        // scale 2 and 0.5 as 16.16 in 19 bits, no rotation, no translation
        {"scale", {0xCD, 0x00, 0x00, 0x08, 0x00, 0x00, 0x00}, {2, 0, 0, 0.5, 0, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        BitReader r(c.bytes);
        EXPECT_EQ(ReadMatrix(r), c.matrix);
        EXPECT_TRUE(r.Ok());
        EXPECT_EQ(Written([&](BitWriter& w) { swfgen::WriteMatrix(w, c.matrix); }), c.bytes);
    }
}

TEST(Records, MatrixWithRotationRoundTrips) {
    const Matrix m = {0.75, -0.25, 0.5, -1.5, -1234, 98765};
    auto bytes = Written([&](BitWriter& w) { swfgen::WriteMatrix(w, m); });
    BitReader r(bytes);
    EXPECT_EQ(ReadMatrix(r), m);
    EXPECT_TRUE(r.Ok() && r.AtEnd());
}

struct CxformCase {
    const char* name;
    bool alpha;
    std::vector<uint8_t> bytes;
    ColorTransform cx;
};

TEST(Records, ColorTransformTable) {
    const std::vector<CxformCase> cases = {
        {"none", false, {0x00}, {}},
        // add only, 9 bits: r=-255 g=0 b=255
        {"add rgb", false, {0xA6, 0x02, 0x00, 0x7F, 0x80}, {1, 1, 1, 1, -255, 0, 255, 0}},
        // mul only with alpha, 10 bits: 256, 256, 256, 128
        {"alpha half", true, {0x69, 0x00, 0x40, 0x10, 0x02, 0x00}, {1, 1, 1, 0.5f, 0, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        BitReader r(c.bytes);
        EXPECT_EQ(ReadColorTransform(r, c.alpha), c.cx);
        EXPECT_TRUE(r.Ok() && r.AtEnd());
        EXPECT_EQ(Written([&](BitWriter& w) { swfgen::WriteColorTransform(w, c.cx, c.alpha); }), c.bytes);
    }
}

bool SameFill(const FillStyle& a, const FillStyle& b) {
    if (a.kind != b.kind || !(a.color == b.color) || !(a.matrix == b.matrix) || a.bitmapId != b.bitmapId)
        return false;
    const Gradient &ga = a.gradient, &gb = b.gradient;
    if (ga.spread != gb.spread || ga.interpolation != gb.interpolation || ga.focalPoint != gb.focalPoint ||
        ga.stops.size() != gb.stops.size())
        return false;
    for (size_t i = 0; i < ga.stops.size(); ++i)
        if (ga.stops[i].ratio != gb.stops[i].ratio || !(ga.stops[i].color == gb.stops[i].color)) return false;
    return true;
}

TEST(Records, FillStylesRoundTripInEveryShapeVersion) {
    FillStyle solid;
    solid.color = {10, 20, 30, 255};
    FillStyle linear;
    linear.kind = FillKind::LinearGradient;
    linear.matrix = {0.5, 0, 0, 0.25, 100, 200};
    linear.gradient.spread = SpreadMode::Reflect;
    linear.gradient.interpolation = Interpolation::LinearRgb;
    linear.gradient.stops = {{0, {255, 0, 0, 255}}, {128, {0, 255, 0, 255}}, {255, {0, 0, 255, 255}}};
    FillStyle focal = linear;
    focal.kind = FillKind::FocalGradient;
    focal.gradient.focalPoint = -0.5f;
    FillStyle bitmap;
    bitmap.kind = FillKind::ClippedBitmapNearest;
    bitmap.bitmapId = 7;
    bitmap.matrix = {20, 0, 0, 20, 0, 0};
    for (int version = 1; version <= 4; ++version) {
        SCOPED_TRACE(version);
        std::vector<FillStyle> fills = {solid, linear, focal, bitmap};
        if (version >= 3) fills[0].color.a = 128;  // alpha only exists from version 3 on
        auto bytes = Written([&](BitWriter& w) { swfgen::WriteFillStyles(w, fills, version); });
        BitReader r(bytes);
        auto read = ReadFillStyles(r, version);
        ASSERT_EQ(read.size(), fills.size());
        for (size_t i = 0; i < fills.size(); ++i) EXPECT_TRUE(SameFill(read[i], fills[i])) << i;
        EXPECT_TRUE(r.Ok() && r.AtEnd());
    }
}

TEST(Records, ExtendedStyleCount) {
    std::vector<FillStyle> many(300);
    auto bytes = Written([&](BitWriter& w) { swfgen::WriteFillStyles(w, many, 2); });
    EXPECT_EQ(bytes[0], 0xFF);
    BitReader r(bytes);
    EXPECT_EQ(ReadFillStyles(r, 2).size(), 300u);
}

TEST(Records, StyleCountLargerThanTheDataIsRejected) {
    const std::vector<uint8_t> bytes = {0xFF, 0xFF, 0xFF, 0x00, 1, 2, 3};
    BitReader r(bytes);
    EXPECT_TRUE(ReadFillStyles(r, 3).empty());
    EXPECT_FALSE(r.Ok());
}

TEST(Records, LineStyle2RoundTrips) {
    LineStyle a;
    a.width = 40;
    a.color = {1, 2, 3, 4};
    a.startCap = CapStyle::None;
    a.endCap = CapStyle::Square;
    a.join = JoinStyle::Miter;
    a.miterLimit = 2.5f;
    a.noHScale = true;
    a.pixelHinting = true;
    a.noClose = true;
    LineStyle b;
    b.width = 0;
    b.hasFill = true;
    b.fill.kind = FillKind::RadialGradient;
    b.fill.gradient.stops = {{0, {9, 9, 9, 9}}, {255, {8, 8, 8, 8}}};
    b.join = JoinStyle::Bevel;
    auto bytes = Written([&](BitWriter& w) { swfgen::WriteLineStyles(w, {a, b}, 4); });
    BitReader r(bytes);
    auto read = ReadLineStyles(r, 4);
    ASSERT_EQ(read.size(), 2u);
    EXPECT_EQ(read[0].width, 40);
    EXPECT_EQ(read[0].color, a.color);
    EXPECT_EQ(read[0].startCap, CapStyle::None);
    EXPECT_EQ(read[0].endCap, CapStyle::Square);
    EXPECT_EQ(read[0].join, JoinStyle::Miter);
    EXPECT_FLOAT_EQ(read[0].miterLimit, 2.5f);
    EXPECT_TRUE(read[0].noHScale && read[0].pixelHinting && read[0].noClose && !read[0].noVScale);
    EXPECT_TRUE(read[1].hasFill);
    EXPECT_TRUE(SameFill(read[1].fill, b.fill));
    EXPECT_EQ(read[1].join, JoinStyle::Bevel);
    EXPECT_TRUE(r.Ok() && r.AtEnd());
}

TEST(Records, FilterListRoundTripsEveryKind) {
    std::vector<Filter> filters(8);
    for (size_t i = 0; i < filters.size(); ++i) {
        Filter& f = filters[i];
        f.kind = static_cast<FilterKind>(i);
        f.blurX = 4.5;
        f.blurY = 2;
        f.passes = 3;
    }
    filters[0].colors = {{0, 0, 0, 128}};
    filters[0].angle = 0.785;
    filters[0].distance = 4;
    filters[0].strength = 1.5f;
    filters[0].inner = true;
    filters[2].colors = {{255, 0, 0, 200}};
    filters[3].colors = {{255, 255, 255, 255}, {0, 0, 0, 255}};
    filters[7].colors = {{3, 3, 3, 3}};
    filters[7].ratios = {128};
    filters[3].onTop = true;
    filters[4].colors = {{1, 1, 1, 1}, {2, 2, 2, 2}};
    filters[4].ratios = {0, 255};
    filters[5].matrixX = 3;
    filters[5].matrixY = 1;
    filters[5].matrix = {1, 2, 1};
    filters[5].divisor = 4;
    filters[5].clamp = true;
    filters[6].matrix.assign(20, 0.5f);
    for (size_t i = 0; i < filters.size(); ++i) {
        // Fields a kind does not store read back as defaults.
        if (filters[i].kind == FilterKind::Convolution || filters[i].kind == FilterKind::ColorMatrix) {
            filters[i].blurX = filters[i].blurY = 0;
            filters[i].passes = 0;
        }
    }
    auto bytes = Written([&](BitWriter& w) { swfgen::WriteFilterList(w, filters); });
    BitReader r(bytes);
    auto read = ReadFilterList(r);
    ASSERT_EQ(read.size(), filters.size());
    EXPECT_TRUE(r.Ok() && r.AtEnd());
    for (size_t i = 0; i < read.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(read[i].kind, filters[i].kind);
        EXPECT_EQ(read[i].colors, filters[i].colors);
        EXPECT_EQ(read[i].ratios, filters[i].ratios);
        EXPECT_DOUBLE_EQ(read[i].blurX, filters[i].blurX);
        EXPECT_EQ(read[i].passes, filters[i].passes);
        EXPECT_EQ(read[i].matrix, filters[i].matrix);
        EXPECT_EQ(read[i].inner, filters[i].inner);
        EXPECT_EQ(read[i].onTop, filters[i].onTop);
        EXPECT_EQ(read[i].clamp, filters[i].clamp);
    }
}

TEST(Records, ConvolutionSizedBeyondTheDataIsRejected) {
    const std::vector<uint8_t> bytes = {1, 5, 255, 255, 0, 0, 128, 63, 0, 0, 0, 0};
    BitReader r(bytes);
    EXPECT_TRUE(ReadFilterList(r).empty());
    EXPECT_FALSE(r.Ok());
}

}  // namespace
}  // namespace velmora::swf
