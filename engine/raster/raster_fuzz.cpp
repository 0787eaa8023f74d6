// libFuzzer target: arbitrary shapes, styles, matrices and mask nesting through the
// renderer, bounds and hit test. Build with -DVELMORA_FUZZ=ON and clang.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "engine/raster/renderer.h"

namespace {

using namespace velmora;

class Bytes {
public:
    Bytes(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}
    bool Empty() const { return m_pos >= m_size; }
    uint8_t U8() { return m_pos < m_size ? m_data[m_pos++] : 0; }
    uint16_t U16() { return static_cast<uint16_t>(U8() | U8() << 8); }
    int32_t I32() { return static_cast<int32_t>(U16() | static_cast<uint32_t>(U16()) << 16); }
    // Mostly small values, sometimes anything (including NaN and infinities).
    double Real() {
        const uint8_t kind = U8();
        if (kind < 200) return (static_cast<int16_t>(U16())) / 256.0;
        uint64_t bits = static_cast<uint64_t>(static_cast<uint32_t>(I32())) << 32 | static_cast<uint32_t>(I32());
        double d;
        std::memcpy(&d, &bits, sizeof d);
        return d;
    }
    Rgba Color() { return {U8(), U8(), U8(), U8()}; }

private:
    const uint8_t* m_data;
    size_t m_size, m_pos = 0;
};

Matrix ReadMatrix(Bytes& in) { return {in.Real(), in.Real(), in.Real(), in.Real(), in.Real() * 64, in.Real() * 64}; }

FillStyle ReadFill(Bytes& in) {
    FillStyle f;
    f.kind = static_cast<FillKind>(in.U8() % 8);
    f.color = in.Color();
    f.matrix = ReadMatrix(in);
    f.gradient.spread = static_cast<SpreadMode>(in.U8() % 3);
    f.gradient.interpolation = static_cast<Interpolation>(in.U8() % 2);
    f.gradient.focalPoint = static_cast<float>(in.Real());
    for (int n = in.U8() % 16; n > 0; --n) f.gradient.stops.push_back({in.U8(), in.Color()});
    f.bitmapId = in.U8() % 3;
    return f;
}

Shape ReadShape(Bytes& in) {
    Shape s;
    s.usesNonZeroWinding = in.U8() & 1;
    for (int layers = in.U8() % 3 + 1; layers > 0 && !in.Empty(); --layers) {
        ShapeLayer layer;
        for (int n = in.U8() % 4; n > 0; --n) layer.fills.push_back(ReadFill(in));
        for (int n = in.U8() % 3; n > 0; --n) {
            LineStyle l;
            l.width = in.U16();
            l.color = in.Color();
            l.startCap = static_cast<CapStyle>(in.U8() % 3);
            l.endCap = static_cast<CapStyle>(in.U8() % 3);
            l.join = static_cast<JoinStyle>(in.U8() % 3);
            l.miterLimit = static_cast<float>(in.Real());
            const uint8_t flags = in.U8();
            l.noHScale = flags & 1, l.noVScale = flags & 2, l.noClose = flags & 4, l.hasFill = flags & 8;
            if (l.hasFill) l.fill = ReadFill(in);
            layer.lines.push_back(l);
        }
        int x = 0, y = 0;
        for (int n = in.U8(); n > 0 && !in.Empty(); --n) {
            ShapeEdge e;
            const uint8_t flags = in.U8();
            // Mostly connected edges of moderate size, sometimes jumps anywhere.
            if (flags & 1) x = in.I32(), y = in.I32();
            e.x0 = x, e.y0 = y;
            e.curved = flags & 2;
            auto step = [&in](int32_t from) {  // wraps like the reader's int32 sums would
                return static_cast<int32_t>(static_cast<uint32_t>(from) + static_cast<uint32_t>(static_cast<int16_t>(in.U16())));
            };
            e.cx = step(x), e.cy = step(y);
            e.x1 = x = step(x), e.y1 = y = step(y);
            e.fill0 = in.U8() % 6, e.fill1 = in.U8() % 6, e.line = in.U8() % 4;
            layer.edges.push_back(e);
        }
        s.layers.push_back(std::move(layer));
    }
    return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Bytes in(data, size);
    static const Bitmap bitmap{3, 2, {0xFF102030u, 0x80402010u, 0u, 0xFFFFFFFFu, 0x7F7F7F7Fu, 0x01010101u}};
    static const Bitmap broken{4, 4, {}};  // fewer pixels than its size claims
    raster::Surface surface(1 + in.U8() % 64, 1 + in.U8() % 64);
    raster::Renderer r(surface, in.U8() & 1 ? raster::Quality::High : raster::Quality::Low,
                       [](uint16_t id) -> const Bitmap* { return id == 1 ? &bitmap : id == 2 ? &broken : nullptr; });
    r.SetClip({static_cast<int8_t>(in.U8()), static_cast<int8_t>(in.U8()), in.U8(), in.U8()});
    r.Clear(in.Color());
    while (!in.Empty()) {
        switch (in.U8() % 6) {
        case 0: r.PushMask(); break;
        case 1: r.BeginMasked(); break;
        case 2: r.PopMask(); break;
        default: {
            const Shape shape = ReadShape(in);
            Matrix m = ReadMatrix(in);
            m.a /= 20, m.b /= 20, m.c /= 20, m.d /= 20;
            ColorTransform cx{static_cast<float>(in.Real()), 1, 1, static_cast<float>(in.Real()),
                              static_cast<float>(in.Real()), 0, 0, static_cast<float>(in.Real())};
            r.DrawShape(shape, m, cx);
            raster::ShapePixelBounds(shape, m);
            raster::HitTestShape(shape, {in.Real() * 20, in.Real() * 20});
        }
        }
    }
    return 0;
}
