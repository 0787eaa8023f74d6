#include "engine/raster/compose.h"

#include <algorithm>
#include <cmath>

#include "engine/raster/blend.h"
#include "engine/raster/paint.h"

namespace velmora::raster {

namespace {

int Channel(uint32_t c, int shift) { return static_cast<int>((c >> shift) & 255); }

uint32_t Pack(int a, int r, int g, int b) {
    auto clamp = [](int v) { return static_cast<uint32_t>(std::clamp(v, 0, 255)); };
    const uint32_t alpha = clamp(a);
    // Premultiplied: no colour channel may exceed alpha.
    return alpha << 24 | std::min(clamp(r), alpha) << 16 | std::min(clamp(g), alpha) << 8 |
           std::min(clamp(b), alpha);
}

// x * y / 255 for signed products of 0..255 values.
int Mul(int x, int y) { return static_cast<int>(MulDiv255(static_cast<uint32_t>(x), static_cast<uint32_t>(y))); }

// The separable modes in premultiplied form: s, d colour channels, sa, da alphas.
int Separable(BlendMode mode, int s, int d, int sa, int da) {
    const int keep = Mul(s, 255 - da) + Mul(d, 255 - sa);
    switch (mode) {
    case BlendMode::Multiply: return keep + Mul(s, d);
    case BlendMode::Screen: return s + d - Mul(s, d);
    case BlendMode::Lighten: return keep + std::max(Mul(s, da), Mul(d, sa));
    case BlendMode::Darken: return keep + std::min(Mul(s, da), Mul(d, sa));
    case BlendMode::Difference: return s + d - 2 * std::min(Mul(s, da), Mul(d, sa));
    case BlendMode::Subtract: return keep + std::max(0, Mul(d, sa) - Mul(s, da));
    case BlendMode::Overlay:
        if (2 * d <= da) return keep + 2 * Mul(s, d);
        return keep + Mul(sa, da) - 2 * Mul(da - d, sa - s);
    case BlendMode::HardLight:
        if (2 * s <= sa) return keep + 2 * Mul(s, d);
        return keep + Mul(sa, da) - 2 * Mul(da - d, sa - s);
    default: return s + Mul(d, 255 - sa);
    }
}

}  // namespace

uint32_t BlendPixel(uint32_t src, uint32_t dst, BlendMode mode) {
    const int sa = Channel(src, 24), da = Channel(dst, 24);
    switch (mode) {
    case BlendMode::Normal:
    case BlendMode::Layer: return Over(src, dst);
    case BlendMode::Add: return AddSaturate(src, dst);
    case BlendMode::Alpha: return ScalePixel(dst, Factor(static_cast<uint32_t>(sa)));
    case BlendMode::Erase: return ScalePixel(dst, Factor(static_cast<uint32_t>(255 - sa)));
    default: break;
    }
    if (sa == 0) return dst;
    const int a = sa + da - Mul(sa, da);
    int out[3];
    for (int i = 0; i < 3; ++i) {
        const int shift = 16 - 8 * i;
        const int s = Channel(src, shift), d = Channel(dst, shift);
        switch (mode) {
        case BlendMode::Invert: out[i] = Mul(d, 255 - sa) + Mul(da - d, sa); break;
        default: out[i] = Separable(mode, s, d, sa, da); break;
        }
    }
    // Invert works on what is below; it adds no coverage of its own.
    const int alpha = mode == BlendMode::Invert ? da : a;
    return Pack(alpha, out[0], out[1], out[2]);
}

void CompositeLayer(const Surface& layer, Surface& target, const PixelRect& area, BlendMode mode,
                    const uint8_t* mask) {
    for (int y = area.top; y < area.bottom; ++y) {
        const uint32_t* src = layer.Row(y);
        uint32_t* dst = target.Row(y);
        const uint8_t* m = mask ? mask + static_cast<size_t>(y) * target.Width() : nullptr;
        for (int x = area.left; x < area.right; ++x) {
            uint32_t c = src[x];
            if (m) c = ScalePixel(c, Factor(m[x]));
            // Where the layer has nothing, what is below stays (the object's bounds end there).
            if (c == 0) continue;
            dst[x] = BlendPixel(c, dst[x], mode);
        }
    }
}

void TransformPixels(Surface& surface, const PixelRect& area, const ColorTransform& cx) {
    if (IsIdentity(cx)) return;
    for (int y = area.top; y < area.bottom; ++y) {
        uint32_t* row = surface.Row(y);
        for (int x = area.left; x < area.right; ++x)
            if (row[x] != 0 || cx.aAdd > 0) row[x] = Premultiply(ApplyTransform(Unpremultiply(row[x]), cx));
    }
}

}  // namespace velmora::raster
