#include "engine/swf/records.h"

#include <algorithm>

namespace velmora::swf {

RectTwips ReadRect(BitReader& r) {
    r.Align();
    unsigned bits = r.UB(5);
    RectTwips rect;
    rect.xMin = r.SB(bits);
    rect.xMax = r.SB(bits);
    rect.yMin = r.SB(bits);
    rect.yMax = r.SB(bits);
    r.Align();
    return rect;
}

Matrix ReadMatrix(BitReader& r) {
    r.Align();
    Matrix m;
    if (r.Flag()) {
        unsigned bits = r.UB(5);
        m.a = r.FB(bits);
        m.d = r.FB(bits);
    }
    if (r.Flag()) {
        unsigned bits = r.UB(5);
        m.b = r.FB(bits);
        m.c = r.FB(bits);
    }
    unsigned bits = r.UB(5);
    m.tx = r.SB(bits);
    m.ty = r.SB(bits);
    r.Align();
    return m;
}

ColorTransform ReadColorTransform(BitReader& r, bool withAlpha) {
    r.Align();
    ColorTransform cx;
    bool hasAdd = r.Flag();
    bool hasMul = r.Flag();
    unsigned bits = r.UB(4);
    if (hasMul) {
        cx.rMul = static_cast<float>(r.SB(bits)) / 256.0f;
        cx.gMul = static_cast<float>(r.SB(bits)) / 256.0f;
        cx.bMul = static_cast<float>(r.SB(bits)) / 256.0f;
        if (withAlpha) cx.aMul = static_cast<float>(r.SB(bits)) / 256.0f;
    }
    if (hasAdd) {
        cx.rAdd = static_cast<float>(r.SB(bits));
        cx.gAdd = static_cast<float>(r.SB(bits));
        cx.bAdd = static_cast<float>(r.SB(bits));
        if (withAlpha) cx.aAdd = static_cast<float>(r.SB(bits));
    }
    r.Align();
    return cx;
}

Rgba ReadRgb(BitReader& r) {
    Rgba c;
    c.r = r.U8();
    c.g = r.U8();
    c.b = r.U8();
    return c;
}

Rgba ReadRgba(BitReader& r) {
    Rgba c = ReadRgb(r);
    c.a = r.U8();
    return c;
}

static Gradient ReadGradient(BitReader& r, int shapeVersion, bool focal) {
    Gradient g;
    uint8_t head = r.U8();
    g.spread = static_cast<SpreadMode>(std::min<int>((head >> 6) & 3, 2));
    g.interpolation = ((head >> 4) & 3) == 1 ? Interpolation::LinearRgb : Interpolation::Rgb;
    unsigned count = head & 0x0F;
    for (unsigned i = 0; i < count && r.Ok(); ++i) {
        GradientStop stop;
        stop.ratio = r.U8();
        stop.color = shapeVersion >= 3 ? ReadRgba(r) : ReadRgb(r);
        g.stops.push_back(stop);
    }
    if (focal) g.focalPoint = r.Fixed8();
    return g;
}

FillKind BitmapFillKind(uint8_t type) {
    static constexpr FillKind kKinds[] = {FillKind::RepeatingBitmap, FillKind::ClippedBitmap,
                                          FillKind::RepeatingBitmapNearest, FillKind::ClippedBitmapNearest};
    return kKinds[(type - 0x40) & 3];
}

FillStyle ReadFillStyle(BitReader& r, int shapeVersion) {
    FillStyle f;
    uint8_t type = r.U8();
    switch (type) {
    case 0x00:
        f.kind = FillKind::Solid;
        f.color = shapeVersion >= 3 ? ReadRgba(r) : ReadRgb(r);
        break;
    case 0x10:
    case 0x12:
    case 0x13:
        f.kind = type == 0x10 ? FillKind::LinearGradient
                 : type == 0x12 ? FillKind::RadialGradient : FillKind::FocalGradient;
        f.matrix = ReadMatrix(r);
        f.gradient = ReadGradient(r, shapeVersion, type == 0x13);
        break;
    case 0x40:
    case 0x41:
    case 0x42:
    case 0x43: {
        f.kind = BitmapFillKind(type);
        f.bitmapId = r.U16();
        f.matrix = ReadMatrix(r);
        break;
    }
    default:
        r.Fail();  // the rest of the record cannot be located
        break;
    }
    return f;
}

// Style counts are bounded by the bytes left: every style takes at least one byte.
static unsigned ReadStyleCount(BitReader& r, bool extended) {
    unsigned count = r.U8();
    if (count == 0xFF && extended) count = r.U16();
    if (count > r.Remaining()) {
        r.Fail();
        return 0;
    }
    return count;
}

std::vector<FillStyle> ReadFillStyles(BitReader& r, int shapeVersion) {
    std::vector<FillStyle> fills;
    unsigned count = ReadStyleCount(r, shapeVersion >= 2);
    for (unsigned i = 0; i < count && r.Ok(); ++i) fills.push_back(ReadFillStyle(r, shapeVersion));
    return fills;
}

static CapStyle ToCap(uint32_t raw) { return raw <= 2 ? static_cast<CapStyle>(raw) : CapStyle::Round; }

std::vector<LineStyle> ReadLineStyles(BitReader& r, int shapeVersion) {
    std::vector<LineStyle> lines;
    unsigned count = ReadStyleCount(r, true);
    for (unsigned i = 0; i < count && r.Ok(); ++i) {
        LineStyle line;
        line.width = r.U16();
        if (shapeVersion < 4) {
            line.color = shapeVersion >= 3 ? ReadRgba(r) : ReadRgb(r);
        } else {
            line.startCap = ToCap(r.UB(2));
            uint32_t join = r.UB(2);
            line.join = join <= 2 ? static_cast<JoinStyle>(join) : JoinStyle::Round;
            line.hasFill = r.Flag();
            line.noHScale = r.Flag();
            line.noVScale = r.Flag();
            line.pixelHinting = r.Flag();
            r.UB(5);
            line.noClose = r.Flag();
            line.endCap = ToCap(r.UB(2));
            if (line.join == JoinStyle::Miter) line.miterLimit = r.Fixed8();
            if (line.hasFill) {
                line.fill = ReadFillStyle(r, shapeVersion);
                line.color = line.fill.color;
            } else {
                line.color = ReadRgba(r);
            }
        }
        lines.push_back(line);
    }
    return lines;
}

BlendMode ToBlendMode(uint8_t raw) {
    return raw >= 2 && raw <= 14 ? static_cast<BlendMode>(raw) : BlendMode::Normal;
}

static void ReadFilterFlags(BitReader& r, Filter& f, bool hasOnTop) {
    f.inner = r.Flag();
    f.knockout = r.Flag();
    f.compositeSource = r.Flag();
    if (hasOnTop) {
        f.onTop = r.Flag();
        f.passes = r.UB(4);
    } else {
        f.passes = r.UB(5);
    }
}

std::vector<Filter> ReadFilterList(BitReader& r) {
    std::vector<Filter> filters;
    unsigned count = r.U8();
    for (unsigned i = 0; i < count && r.Ok(); ++i) {
        Filter f;
        uint8_t id = r.U8();
        if (id > 7) {
            r.Fail();
            break;
        }
        f.kind = static_cast<FilterKind>(id);
        switch (f.kind) {
        case FilterKind::DropShadow:
        case FilterKind::Glow:
            f.colors.push_back(ReadRgba(r));
            f.blurX = r.Fixed16();
            f.blurY = r.Fixed16();
            if (f.kind == FilterKind::DropShadow) {
                f.angle = r.Fixed16();
                f.distance = r.Fixed16();
            }
            f.strength = r.Fixed8();
            ReadFilterFlags(r, f, false);
            break;
        case FilterKind::Blur:
            f.blurX = r.Fixed16();
            f.blurY = r.Fixed16();
            f.passes = r.UB(5);
            r.UB(3);
            break;
        case FilterKind::Bevel:
        case FilterKind::GradientGlow:
        case FilterKind::GradientBevel: {
            if (f.kind == FilterKind::Bevel) {
                // Movies store the highlight first, whatever the format's documents say.
                f.colors.push_back(ReadRgba(r));  // highlight
                f.colors.push_back(ReadRgba(r));  // shadow
            } else {
                unsigned n = r.U8();
                for (unsigned c = 0; c < n && r.Ok(); ++c) f.colors.push_back(ReadRgba(r));
                for (unsigned c = 0; c < n && r.Ok(); ++c) f.ratios.push_back(r.U8());
            }
            f.blurX = r.Fixed16();
            f.blurY = r.Fixed16();
            f.angle = r.Fixed16();
            f.distance = r.Fixed16();
            f.strength = r.Fixed8();
            ReadFilterFlags(r, f, true);
            break;
        }
        case FilterKind::Convolution: {
            f.matrixX = r.U8();
            f.matrixY = r.U8();
            f.divisor = r.Float32();
            f.bias = r.Float32();
            size_t n = static_cast<size_t>(f.matrixX) * f.matrixY;
            if (n * 4 > r.Remaining()) {
                r.Fail();
                break;
            }
            for (size_t k = 0; k < n; ++k) f.matrix.push_back(r.Float32());
            f.defaultColor = ReadRgba(r);
            r.UB(6);
            f.clamp = r.Flag();
            f.preserveAlpha = r.Flag();
            break;
        }
        case FilterKind::ColorMatrix:
            for (int k = 0; k < 20; ++k) f.matrix.push_back(r.Float32());
            break;
        case FilterKind::DisplacementMap: break;  // never in a movie (ids above 7 fail)
        }
        if (r.Ok()) filters.push_back(std::move(f));
    }
    return filters;
}

}  // namespace velmora::swf
