#include "tools/swfgen/record_writer.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace velmora::swfgen {

namespace {

int32_t Fixed16Raw(double v) { return static_cast<int32_t>(std::llround(v * 65536.0)); }

unsigned MaxSignedBits(std::initializer_list<int64_t> values) {
    unsigned bits = 0;
    for (int64_t v : values) bits = std::max(bits, SignedBits(v));
    return bits;
}

uint8_t FillTypeCode(FillKind kind) {
    switch (kind) {
    case FillKind::Solid: return 0x00;
    case FillKind::LinearGradient: return 0x10;
    case FillKind::RadialGradient: return 0x12;
    case FillKind::FocalGradient: return 0x13;
    case FillKind::RepeatingBitmap: return 0x40;
    case FillKind::ClippedBitmap: return 0x41;
    case FillKind::RepeatingBitmapNearest: return 0x42;
    case FillKind::ClippedBitmapNearest: return 0x43;
    }
    return 0;
}

bool IsGradient(FillKind k) {
    return k == FillKind::LinearGradient || k == FillKind::RadialGradient || k == FillKind::FocalGradient;
}

void WriteStyleCount(BitWriter& w, size_t count, bool extended) {
    if (count >= 0xFF && extended) {
        w.U8(0xFF);
        w.U16(static_cast<uint16_t>(count));
    } else {
        w.U8(static_cast<uint8_t>(count));
    }
}

struct Pen {
    int32_t x = 0, y = 0;
    uint32_t fill0 = 0, fill1 = 0, line = 0;
};

void WriteStyleChange(BitWriter& w, Pen& pen, const ShapeEdge& e, unsigned fillBits, unsigned lineBits) {
    bool move = e.x0 != pen.x || e.y0 != pen.y;
    bool f0 = e.fill0 != pen.fill0, f1 = e.fill1 != pen.fill1, ln = e.line != pen.line;
    if (!move && !f0 && !f1 && !ln) return;
    w.Flag(false);
    w.Flag(false);  // new styles
    w.Flag(ln);
    w.Flag(f1);
    w.Flag(f0);
    w.Flag(move);
    if (move) {
        unsigned bits = MaxSignedBits({e.x0, e.y0});
        w.UB(bits, 5);
        w.SB(e.x0, bits);
        w.SB(e.y0, bits);
    }
    if (f0) w.UB(e.fill0, fillBits);
    if (f1) w.UB(e.fill1, fillBits);
    if (ln) w.UB(e.line, lineBits);
    pen = {e.x0, e.y0, e.fill0, e.fill1, e.line};
}

void WriteEdge(BitWriter& w, Pen& pen, const ShapeEdge& e) {
    w.Flag(true);
    if (!e.curved) {
        int32_t dx = e.x1 - e.x0, dy = e.y1 - e.y0;
        unsigned bits = std::max(2u, MaxSignedBits({dx, dy}));
        w.Flag(true);
        w.UB(bits - 2, 4);
        bool general = dx != 0 && dy != 0;
        w.Flag(general);
        if (general) {
            w.SB(dx, bits);
            w.SB(dy, bits);
        } else {
            w.Flag(dx == 0);
            w.SB(dx == 0 ? dy : dx, bits);
        }
    } else {
        int32_t cdx = e.cx - e.x0, cdy = e.cy - e.y0, adx = e.x1 - e.cx, ady = e.y1 - e.cy;
        unsigned bits = std::max(2u, MaxSignedBits({cdx, cdy, adx, ady}));
        w.Flag(false);
        w.UB(bits - 2, 4);
        w.SB(cdx, bits);
        w.SB(cdy, bits);
        w.SB(adx, bits);
        w.SB(ady, bits);
    }
    pen.x = e.x1;
    pen.y = e.y1;
}

void WriteEdges(BitWriter& w, Pen& pen, const std::vector<ShapeEdge>& edges, unsigned fillBits,
                unsigned lineBits) {
    for (const ShapeEdge& e : edges) {
        WriteStyleChange(w, pen, e, fillBits, lineBits);
        WriteEdge(w, pen, e);
    }
}

void WriteEndRecord(BitWriter& w) {
    w.UB(0, 6);
    w.Align();
}

void WriteMorphFill(BitWriter& w, const swf::MorphFillStyle& f) {
    w.U8(FillTypeCode(f.kind));
    if (f.kind == FillKind::Solid) {
        WriteRgba(w, f.startColor);
        WriteRgba(w, f.endColor);
    } else if (IsGradient(f.kind)) {
        WriteMatrix(w, f.startMatrix);
        WriteMatrix(w, f.endMatrix);
        w.U8(static_cast<uint8_t>((static_cast<unsigned>(f.spread) << 6) |
                                  ((f.interpolation == Interpolation::LinearRgb ? 1u : 0u) << 4) |
                                  (f.stops.size() & 0x0F)));
        for (const auto& s : f.stops) {
            w.U8(s.start.ratio);
            WriteRgba(w, s.start.color);
            w.U8(s.end.ratio);
            WriteRgba(w, s.end.color);
        }
        if (f.kind == FillKind::FocalGradient) {
            w.Fixed8(f.startFocal);
            w.Fixed8(f.endFocal);
        }
    } else {
        w.U16(f.bitmapId);
        WriteMatrix(w, f.startMatrix);
        WriteMatrix(w, f.endMatrix);
    }
}

}  // namespace

void WriteRect(BitWriter& w, const RectTwips& r) {
    w.Align();
    unsigned bits = MaxSignedBits({r.xMin, r.xMax, r.yMin, r.yMax});
    w.UB(bits, 5);
    w.SB(r.xMin, bits);
    w.SB(r.xMax, bits);
    w.SB(r.yMin, bits);
    w.SB(r.yMax, bits);
    w.Align();
}

void WriteMatrix(BitWriter& w, const Matrix& m) {
    w.Align();
    auto pair = [&w](bool present, double first, double second) {
        w.Flag(present);
        if (!present) return;
        int32_t x = Fixed16Raw(first), y = Fixed16Raw(second);
        unsigned bits = MaxSignedBits({x, y});
        w.UB(bits, 5);
        w.SB(x, bits);
        w.SB(y, bits);
    };
    pair(m.a != 1 || m.d != 1, m.a, m.d);
    pair(m.b != 0 || m.c != 0, m.b, m.c);
    auto tx = static_cast<int32_t>(std::lround(m.tx)), ty = static_cast<int32_t>(std::lround(m.ty));
    unsigned bits = MaxSignedBits({tx, ty});
    w.UB(bits, 5);
    w.SB(tx, bits);
    w.SB(ty, bits);
    w.Align();
}

void WriteColorTransform(BitWriter& w, const ColorTransform& cx, bool withAlpha) {
    w.Align();
    auto mul = [](float v) { return static_cast<int32_t>(std::lround(v * 256.0f)); };
    auto add = [](float v) { return static_cast<int32_t>(std::lround(v)); };
    int32_t m[4] = {mul(cx.rMul), mul(cx.gMul), mul(cx.bMul), mul(cx.aMul)};
    int32_t a[4] = {add(cx.rAdd), add(cx.gAdd), add(cx.bAdd), add(cx.aAdd)};
    int channels = withAlpha ? 4 : 3;
    bool hasMul = false, hasAdd = false;
    unsigned bits = 0;
    for (int i = 0; i < channels; ++i) {
        hasMul |= m[i] != 256;
        hasAdd |= a[i] != 0;
    }
    for (int i = 0; i < channels; ++i) {
        if (hasMul) bits = std::max(bits, SignedBits(m[i]));
        if (hasAdd) bits = std::max(bits, SignedBits(a[i]));
    }
    w.Flag(hasAdd);
    w.Flag(hasMul);
    w.UB(bits, 4);
    if (hasMul)
        for (int i = 0; i < channels; ++i) w.SB(m[i], bits);
    if (hasAdd)
        for (int i = 0; i < channels; ++i) w.SB(a[i], bits);
    w.Align();
}

void WriteRgb(BitWriter& w, Rgba c) {
    w.U8(c.r);
    w.U8(c.g);
    w.U8(c.b);
}

void WriteRgba(BitWriter& w, Rgba c) {
    WriteRgb(w, c);
    w.U8(c.a);
}

void WriteFillStyle(BitWriter& w, const FillStyle& f, int shapeVersion) {
    w.U8(FillTypeCode(f.kind));
    if (f.kind == FillKind::Solid) {
        shapeVersion >= 3 ? WriteRgba(w, f.color) : WriteRgb(w, f.color);
    } else if (IsGradient(f.kind)) {
        WriteMatrix(w, f.matrix);
        const Gradient& g = f.gradient;
        w.U8(static_cast<uint8_t>((static_cast<unsigned>(g.spread) << 6) |
                                  ((g.interpolation == Interpolation::LinearRgb ? 1u : 0u) << 4) |
                                  (g.stops.size() & 0x0F)));
        for (const auto& s : g.stops) {
            w.U8(s.ratio);
            shapeVersion >= 3 ? WriteRgba(w, s.color) : WriteRgb(w, s.color);
        }
        if (f.kind == FillKind::FocalGradient) w.Fixed8(g.focalPoint);
    } else {
        w.U16(f.bitmapId);
        WriteMatrix(w, f.matrix);
    }
}

void WriteFillStyles(BitWriter& w, const std::vector<FillStyle>& fills, int shapeVersion) {
    WriteStyleCount(w, fills.size(), shapeVersion >= 2);
    for (const auto& f : fills) WriteFillStyle(w, f, shapeVersion);
}

void WriteLineStyles(BitWriter& w, const std::vector<LineStyle>& lines, int shapeVersion) {
    WriteStyleCount(w, lines.size(), true);
    for (const auto& l : lines) {
        w.U16(l.width);
        if (shapeVersion < 4) {
            shapeVersion >= 3 ? WriteRgba(w, l.color) : WriteRgb(w, l.color);
            continue;
        }
        w.UB(static_cast<uint32_t>(l.startCap), 2);
        w.UB(static_cast<uint32_t>(l.join), 2);
        w.Flag(l.hasFill);
        w.Flag(l.noHScale);
        w.Flag(l.noVScale);
        w.Flag(l.pixelHinting);
        w.UB(0, 5);
        w.Flag(l.noClose);
        w.UB(static_cast<uint32_t>(l.endCap), 2);
        if (l.join == JoinStyle::Miter) w.Fixed8(l.miterLimit);
        if (l.hasFill) {
            WriteFillStyle(w, l.fill, shapeVersion);
        } else {
            WriteRgba(w, l.color);
        }
    }
}

void WriteFilterList(BitWriter& w, const std::vector<swf::Filter>& filters) {
    using swf::FilterKind;
    // Displacement maps exist only in scripts; the format has no record for them.
    auto recorded = [](const swf::Filter& f) { return f.kind != FilterKind::DisplacementMap; };
    w.U8(static_cast<uint8_t>(std::count_if(filters.begin(), filters.end(), recorded)));
    for (const auto& f : filters) {
        if (!recorded(f)) continue;
        w.U8(static_cast<uint8_t>(f.kind));
        auto color = [&](size_t i) { WriteRgba(w, i < f.colors.size() ? f.colors[i] : Rgba{}); };
        auto flags = [&](bool onTop) {
            w.Flag(f.inner);
            w.Flag(f.knockout);
            w.Flag(f.compositeSource);
            if (onTop) w.Flag(f.onTop);
            w.UB(f.passes, onTop ? 4 : 5);
        };
        switch (f.kind) {
        case FilterKind::DropShadow:
        case FilterKind::Glow:
            color(0);
            w.Fixed16(f.blurX);
            w.Fixed16(f.blurY);
            if (f.kind == FilterKind::DropShadow) {
                w.Fixed16(f.angle);
                w.Fixed16(f.distance);
            }
            w.Fixed8(f.strength);
            flags(false);
            break;
        case FilterKind::Blur:
            w.Fixed16(f.blurX);
            w.Fixed16(f.blurY);
            w.UB(f.passes, 5);
            w.UB(0, 3);
            break;
        case FilterKind::Bevel:
        case FilterKind::GradientGlow:
        case FilterKind::GradientBevel:
            if (f.kind == FilterKind::Bevel) {
                color(0);
                color(1);
            } else {
                w.U8(static_cast<uint8_t>(f.colors.size()));
                for (size_t i = 0; i < f.colors.size(); ++i) color(i);
                for (size_t i = 0; i < f.colors.size(); ++i) w.U8(i < f.ratios.size() ? f.ratios[i] : 0);
            }
            w.Fixed16(f.blurX);
            w.Fixed16(f.blurY);
            w.Fixed16(f.angle);
            w.Fixed16(f.distance);
            w.Fixed8(f.strength);
            flags(true);
            break;
        case FilterKind::Convolution:
            w.U8(static_cast<uint8_t>(f.matrixX));
            w.U8(static_cast<uint8_t>(f.matrixY));
            w.Float32(f.divisor);
            w.Float32(f.bias);
            for (float v : f.matrix) w.Float32(v);
            WriteRgba(w, f.defaultColor);
            w.UB(0, 6);
            w.Flag(f.clamp);
            w.Flag(f.preserveAlpha);
            break;
        case FilterKind::ColorMatrix:
            for (size_t i = 0; i < 20; ++i) w.Float32(i < f.matrix.size() ? f.matrix[i] : 0.0f);
            break;
        case FilterKind::DisplacementMap: break;
        }
    }
}

void WriteShapeWithStyles(BitWriter& w, const Shape& shape, int shapeVersion) {
    static const ShapeLayer kEmpty;
    const ShapeLayer& first = shape.layers.empty() ? kEmpty : shape.layers[0];
    WriteFillStyles(w, first.fills, shapeVersion);
    WriteLineStyles(w, first.lines, shapeVersion);
    unsigned fillBits = UnsignedBits(first.fills.size()), lineBits = UnsignedBits(first.lines.size());
    w.UB(fillBits, 4);
    w.UB(lineBits, 4);
    Pen pen;
    WriteEdges(w, pen, first.edges, fillBits, lineBits);
    for (size_t i = 1; i < shape.layers.size(); ++i) {
        const ShapeLayer& layer = shape.layers[i];
        w.Flag(false);
        w.Flag(true);  // new styles
        w.UB(0, 4);
        WriteFillStyles(w, layer.fills, shapeVersion);
        WriteLineStyles(w, layer.lines, shapeVersion);
        fillBits = UnsignedBits(layer.fills.size());
        lineBits = UnsignedBits(layer.lines.size());
        w.UB(fillBits, 4);
        w.UB(lineBits, 4);
        pen.fill0 = pen.fill1 = pen.line = 0;
        WriteEdges(w, pen, layer.edges, fillBits, lineBits);
    }
    WriteEndRecord(w);
}

void WriteGlyphShape(BitWriter& w, const Shape& glyph) {
    w.UB(1, 4);  // one implicit fill
    w.UB(0, 4);  // no lines
    Pen pen;
    for (const ShapeLayer& layer : glyph.layers) WriteEdges(w, pen, layer.edges, 1, 0);
    WriteEndRecord(w);
}

std::vector<uint8_t> ShapeBody(const Shape& shape, int shapeVersion) {
    BitWriter w;
    WriteRect(w, shape.bounds);
    if (shapeVersion >= 4) {
        WriteRect(w, shape.edgeBounds);
        w.U8(shape.usesNonZeroWinding ? 0x04 : 0x00);
    }
    WriteShapeWithStyles(w, shape, shapeVersion);
    return w.Data();
}

std::vector<uint8_t> MorphShapeBody(const swf::MorphShape& morph) {
    BitWriter styles;
    WriteStyleCount(styles, morph.fills.size(), true);
    for (const auto& f : morph.fills) WriteMorphFill(styles, f);
    WriteStyleCount(styles, morph.lines.size(), true);
    for (const auto& l : morph.lines) {
        styles.U16(l.startWidth);
        styles.U16(l.endWidth);
        WriteRgba(styles, l.startColor);
        WriteRgba(styles, l.endColor);
    }
    unsigned fillBits = UnsignedBits(morph.fills.size()), lineBits = UnsignedBits(morph.lines.size());
    styles.UB(fillBits, 4);
    styles.UB(lineBits, 4);
    Pen pen;
    WriteEdges(styles, pen, morph.startEdges, fillBits, lineBits);
    WriteEndRecord(styles);

    BitWriter end;
    end.UB(0, 4);
    end.UB(0, 4);
    Pen endPen;
    std::vector<ShapeEdge> endEdges = morph.endEdges;
    for (auto& e : endEdges) e.fill0 = e.fill1 = e.line = 0;
    WriteEdges(end, endPen, endEdges, 0, 0);
    WriteEndRecord(end);

    BitWriter w;
    WriteRect(w, morph.startBounds);
    WriteRect(w, morph.endBounds);
    w.U32(static_cast<uint32_t>(styles.Data().size()));
    w.Bytes(styles.Data());
    w.Bytes(end.Data());
    return w.Data();
}

}  // namespace velmora::swfgen
