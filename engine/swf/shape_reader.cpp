#include "engine/swf/shape_reader.h"

#include <algorithm>
#include <cmath>

#include "engine/swf/records.h"

namespace velmora::swf {

namespace {

// A style index outside the current group draws nothing rather than something random.
uint32_t CheckedIndex(uint32_t index, size_t count) { return index <= count ? index : 0; }

bool DecodeRecords(BitReader& r, int shapeVersion, Shape& shape, bool allowNewStyles) {
    if (shape.layers.empty()) shape.layers.emplace_back();
    r.Align();
    unsigned fillBits = r.UB(4), lineBits = r.UB(4);
    int32_t x = 0, y = 0;
    uint32_t fill0 = 0, fill1 = 0, line = 0;
    while (r.Ok()) {
        ShapeLayer* layer = &shape.layers.back();
        if (!r.Flag()) {
            bool newStyles = r.Flag(), hasLine = r.Flag(), hasFill1 = r.Flag(), hasFill0 = r.Flag(),
                 moveTo = r.Flag();
            if (!newStyles && !hasLine && !hasFill1 && !hasFill0 && !moveTo) return r.Ok();
            if (moveTo) {
                unsigned bits = r.UB(5);
                x = r.SB(bits);
                y = r.SB(bits);
            }
            uint32_t newFill0 = hasFill0 ? r.UB(fillBits) : 0;
            uint32_t newFill1 = hasFill1 ? r.UB(fillBits) : 0;
            uint32_t newLine = hasLine ? r.UB(lineBits) : 0;
            // New style arrays come first: indices in the same record refer to them.
            if (newStyles && allowNewStyles && shapeVersion >= 2) {
                ShapeLayer next;
                next.fills = ReadFillStyles(r, shapeVersion);
                next.lines = ReadLineStyles(r, shapeVersion);
                shape.layers.push_back(std::move(next));
                layer = &shape.layers.back();
                fillBits = r.UB(4);
                lineBits = r.UB(4);
                fill0 = fill1 = line = 0;
            }
            if (hasFill0) fill0 = CheckedIndex(newFill0, layer->fills.size());
            if (hasFill1) fill1 = CheckedIndex(newFill1, layer->fills.size());
            if (hasLine) line = CheckedIndex(newLine, layer->lines.size());
            continue;
        }
        ShapeEdge edge;
        edge.x0 = x;
        edge.y0 = y;
        edge.fill0 = fill0;
        edge.fill1 = fill1;
        edge.line = line;
        bool straight = r.Flag();
        unsigned bits = r.UB(4) + 2;
        if (straight) {
            bool general = r.Flag();
            bool vertical = !general && r.Flag();
            if (general || !vertical) x += r.SB(bits);
            if (general || vertical) y += r.SB(bits);
        } else {
            edge.curved = true;
            edge.cx = x + r.SB(bits);
            edge.cy = y + r.SB(bits);
            x = edge.cx + r.SB(bits);
            y = edge.cy + r.SB(bits);
        }
        edge.x1 = x;
        edge.y1 = y;
        if (r.Ok()) layer->edges.push_back(edge);
    }
    return false;
}

double Lerp(double a, double b, double t) { return a + (b - a) * t; }

uint8_t LerpByte(uint8_t a, uint8_t b, double t) {
    return static_cast<uint8_t>(std::lround(Lerp(a, b, t)));
}

Rgba LerpColor(Rgba a, Rgba b, double t) {
    return {LerpByte(a.r, b.r, t), LerpByte(a.g, b.g, t), LerpByte(a.b, b.b, t),
            LerpByte(a.a, b.a, t)};
}

Matrix LerpMatrix(const Matrix& a, const Matrix& b, double t) {
    return {Lerp(a.a, b.a, t), Lerp(a.b, b.b, t), Lerp(a.c, b.c, t),
            Lerp(a.d, b.d, t), Lerp(a.tx, b.tx, t), Lerp(a.ty, b.ty, t)};
}

int32_t LerpCoord(int32_t a, int32_t b, double t) {
    return static_cast<int32_t>(std::lround(Lerp(a, b, t)));
}

MorphFillStyle ReadMorphFill(BitReader& r) {
    MorphFillStyle f;
    uint8_t type = r.U8();
    switch (type) {
    case 0x00:
        f.kind = FillKind::Solid;
        f.startColor = ReadRgba(r);
        f.endColor = ReadRgba(r);
        break;
    case 0x10:
    case 0x12:
    case 0x13: {
        f.kind = type == 0x10 ? FillKind::LinearGradient
                 : type == 0x12 ? FillKind::RadialGradient : FillKind::FocalGradient;
        f.startMatrix = ReadMatrix(r);
        f.endMatrix = ReadMatrix(r);
        uint8_t head = r.U8();
        f.spread = static_cast<SpreadMode>(std::min<int>((head >> 6) & 3, 2));
        f.interpolation = ((head >> 4) & 3) == 1 ? Interpolation::LinearRgb : Interpolation::Rgb;
        for (unsigned i = 0, n = head & 0x0F; i < n && r.Ok(); ++i) {
            MorphGradientStop stop;
            stop.start.ratio = r.U8();
            stop.start.color = ReadRgba(r);
            stop.end.ratio = r.U8();
            stop.end.color = ReadRgba(r);
            f.stops.push_back(stop);
        }
        if (type == 0x13) {
            f.startFocal = r.Fixed8();
            f.endFocal = r.Fixed8();
        }
        break;
    }
    case 0x40:
    case 0x41:
    case 0x42:
    case 0x43: {
        f.kind = BitmapFillKind(type);
        f.bitmapId = r.U16();
        f.startMatrix = ReadMatrix(r);
        f.endMatrix = ReadMatrix(r);
        break;
    }
    default:
        r.Fail();
        break;
    }
    return f;
}

unsigned ReadMorphCount(BitReader& r) {
    unsigned count = r.U8();
    if (count == 0xFF) count = r.U16();
    if (count > r.Remaining()) {
        r.Fail();
        return 0;
    }
    return count;
}

FillStyle FillAt(const MorphFillStyle& m, double t) {
    FillStyle f;
    f.kind = m.kind;
    f.color = LerpColor(m.startColor, m.endColor, t);
    f.matrix = LerpMatrix(m.startMatrix, m.endMatrix, t);
    f.bitmapId = m.bitmapId;
    f.gradient.spread = m.spread;
    f.gradient.interpolation = m.interpolation;
    f.gradient.focalPoint = static_cast<float>(Lerp(m.startFocal, m.endFocal, t));
    for (const auto& s : m.stops)
        f.gradient.stops.push_back({LerpByte(s.start.ratio, s.end.ratio, t),
                                    LerpColor(s.start.color, s.end.color, t)});
    return f;
}

}  // namespace

bool ReadShapeRecords(BitReader& r, int shapeVersion, Shape& shape) {
    return DecodeRecords(r, shapeVersion, shape, true);
}

std::optional<Shape> ReadDefineShape(std::span<const uint8_t> body, int shapeVersion) {
    BitReader r(body);
    Shape shape;
    shape.bounds = ReadRect(r);
    shape.edgeBounds = shape.bounds;
    if (shapeVersion >= 4) {
        shape.edgeBounds = ReadRect(r);
        uint8_t flags = r.U8();
        shape.usesNonZeroWinding = (flags & 0x04) != 0;
    }
    ShapeLayer first;
    first.fills = ReadFillStyles(r, shapeVersion);
    first.lines = ReadLineStyles(r, shapeVersion);
    if (!r.Ok()) return std::nullopt;
    shape.layers.push_back(std::move(first));
    // A shape cut short keeps the edges read so far, as Flash draws them.
    DecodeRecords(r, shapeVersion, shape, true);
    return shape;
}

Shape ReadGlyphShape(std::span<const uint8_t> bytes) {
    BitReader r(bytes);
    Shape shape;
    shape.usesNonZeroWinding = true;
    ShapeLayer& layer = shape.layers.emplace_back();
    layer.fills.push_back(FillStyle{FillKind::Solid, Rgba{255, 255, 255, 255}});
    DecodeRecords(r, 1, shape, false);
    return shape;
}

std::optional<MorphShape> ReadDefineMorphShape(std::span<const uint8_t> body, int version) {
    BitReader r(body);
    MorphShape morph;
    morph.startBounds = ReadRect(r);
    morph.endBounds = ReadRect(r);
    if (version >= 2) {
        ReadRect(r);  // start edge bounds
        ReadRect(r);  // end edge bounds
        r.U8();       // stroke scaling hints
    }
    uint32_t endOffset = r.U32();
    size_t endStart = r.Position() + endOffset;
    for (unsigned i = 0, n = ReadMorphCount(r); i < n && r.Ok(); ++i)
        morph.fills.push_back(ReadMorphFill(r));
    for (unsigned i = 0, n = ReadMorphCount(r); i < n && r.Ok(); ++i) {
        MorphLineStyle line;
        line.startWidth = r.U16();
        line.endWidth = r.U16();
        if (version >= 2) {
            uint32_t startCap = r.UB(2), join = r.UB(2);
            line.style.startCap = startCap <= 2 ? static_cast<CapStyle>(startCap) : CapStyle::Round;
            line.style.join = join <= 2 ? static_cast<JoinStyle>(join) : JoinStyle::Round;
            line.hasFill = r.Flag();
            line.style.noHScale = r.Flag();
            line.style.noVScale = r.Flag();
            line.style.pixelHinting = r.Flag();
            r.UB(5);
            line.style.noClose = r.Flag();
            uint32_t endCap = r.UB(2);
            line.style.endCap = endCap <= 2 ? static_cast<CapStyle>(endCap) : CapStyle::Round;
            if (line.style.join == JoinStyle::Miter) line.style.miterLimit = r.Fixed8();
        }
        if (line.hasFill) {
            line.fill = ReadMorphFill(r);
            line.startColor = line.fill.startColor;
            line.endColor = line.fill.endColor;
        } else {
            line.startColor = ReadRgba(r);
            line.endColor = ReadRgba(r);
        }
        morph.lines.push_back(line);
    }
    if (!r.Ok()) return std::nullopt;

    Shape start;
    start.layers.emplace_back();
    start.layers[0].fills.resize(morph.fills.size());
    start.layers[0].lines.resize(morph.lines.size());
    DecodeRecords(r, 3, start, false);
    morph.startEdges = std::move(start.layers[0].edges);

    if (endStart <= body.size()) {
        BitReader endReader(body.subspan(endStart));
        Shape end;
        DecodeRecords(endReader, 3, end, false);
        morph.endEdges = std::move(end.layers[0].edges);
    }
    return morph;
}

Shape InterpolateMorph(const MorphShape& morph, uint16_t ratio) {
    double t = ratio / 65535.0;
    Shape shape;
    shape.bounds = {LerpCoord(morph.startBounds.xMin, morph.endBounds.xMin, t),
                    LerpCoord(morph.startBounds.xMax, morph.endBounds.xMax, t),
                    LerpCoord(morph.startBounds.yMin, morph.endBounds.yMin, t),
                    LerpCoord(morph.startBounds.yMax, morph.endBounds.yMax, t)};
    shape.edgeBounds = shape.bounds;
    ShapeLayer& layer = shape.layers.emplace_back();
    for (const auto& f : morph.fills) layer.fills.push_back(FillAt(f, t));
    for (const auto& m : morph.lines) {
        LineStyle line = m.style;
        line.width = static_cast<uint16_t>(std::lround(Lerp(m.startWidth, m.endWidth, t)));
        line.color = LerpColor(m.startColor, m.endColor, t);
        line.hasFill = m.hasFill;
        if (m.hasFill) line.fill = FillAt(m.fill, t);
        layer.lines.push_back(line);
    }
    // Edges pair up by position in the two lists; a straight edge paired with a curve
    // behaves as a curve whose control point is its midpoint.
    size_t count = std::min(morph.startEdges.size(), morph.endEdges.size());
    for (size_t i = 0; i < count; ++i) {
        ShapeEdge a = morph.startEdges[i], b = morph.endEdges[i];
        ShapeEdge e = a;
        e.curved = a.curved || b.curved;
        if (e.curved) {
            for (ShapeEdge* s : {&a, &b}) {
                if (!s->curved) {
                    s->cx = (s->x0 + s->x1) / 2;
                    s->cy = (s->y0 + s->y1) / 2;
                }
            }
        }
        e.x0 = LerpCoord(a.x0, b.x0, t);
        e.y0 = LerpCoord(a.y0, b.y0, t);
        e.cx = LerpCoord(a.cx, b.cx, t);
        e.cy = LerpCoord(a.cy, b.cy, t);
        e.x1 = LerpCoord(a.x1, b.x1, t);
        e.y1 = LerpCoord(a.y1, b.y1, t);
        layer.edges.push_back(e);
    }
    return shape;
}

}  // namespace velmora::swf
