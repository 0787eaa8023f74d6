#include "engine/raster/filters.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "engine/raster/blend.h"
#include "engine/raster/paint.h"

namespace velmora::raster {

namespace {

// One channel of the working picture as floats, 0..255.
struct Plane {
    int width = 0, height = 0;
    std::vector<float> v;
    Plane(int w, int h) : width(w), height(h), v(static_cast<size_t>(w) * h, 0.0f) {}
    float& At(int x, int y) { return v[static_cast<size_t>(y) * width + x]; }
    float Get(int x, int y) const {
        return x < 0 || y < 0 || x >= width || y >= height ? 0.0f : v[static_cast<size_t>(y) * width + x];
    }
};

// The picture inside `area` as straight-or-premultiplied channel planes (a, r, g, b).
struct Picture {
    int width, height;
    std::array<Plane, 4> ch;
    explicit Picture(const PixelRect& area)
        : width(area.right - area.left), height(area.bottom - area.top),
          ch{Plane(width, height), Plane(width, height), Plane(width, height), Plane(width, height)} {}
};

Picture Read(const Surface& s, const PixelRect& area) {
    Picture p(area);
    for (int y = 0; y < p.height; ++y) {
        const uint32_t* row = s.Row(area.top + y) + area.left;
        for (int x = 0; x < p.width; ++x)
            for (int c = 0; c < 4; ++c) p.ch[c].At(x, y) = static_cast<float>((row[x] >> (24 - 8 * c)) & 255);
    }
    return p;
}

uint32_t ToByte(float v) { return v >= 255 ? 255u : v > 0 ? static_cast<uint32_t>(v + 0.5f) : 0u; }

uint32_t PixelAt(const Picture& p, size_t i) {
    return ToByte(p.ch[0].v[i]) << 24 | ToByte(p.ch[1].v[i]) << 16 | ToByte(p.ch[2].v[i]) << 8 | ToByte(p.ch[3].v[i]);
}

void Write(const Picture& p, Surface& s, const PixelRect& area) {
    for (int y = 0; y < p.height; ++y) {
        uint32_t* row = s.Row(area.top + y) + area.left;
        for (int x = 0; x < p.width; ++x) {
            const size_t i = static_cast<size_t>(y) * p.width + x;
            const uint32_t a = ToByte(p.ch[0].v[i]);
            auto c = [&](int k) { return std::min(ToByte(p.ch[k].v[i]), a); };
            row[x] = a << 24 | c(1) << 16 | c(2) << 8 | c(3);
        }
    }
}

// A box of `size` pixels (fractional sizes weigh the two end pixels partly) run along
// rows (dx = 1) or columns.
void Box(Plane& plane, double size, bool horizontal) {
    if (size <= 1) return;
    const double radius = (size - 1) / 2;
    const int whole = static_cast<int>(radius);
    const float frac = static_cast<float>(radius - whole), scale = static_cast<float>(1 / size);
    const int length = horizontal ? plane.width : plane.height;
    const int lines = horizontal ? plane.height : plane.width;
    std::vector<float> line(static_cast<size_t>(length) + 2 * (whole + 1), 0.0f);
    const int pad = whole + 1;
    for (int l = 0; l < lines; ++l) {
        for (int i = 0; i < length; ++i) line[pad + i] = horizontal ? plane.At(i, l) : plane.At(l, i);
        float sum = 0;
        for (int k = -whole; k <= whole; ++k) sum += line[pad + k];
        for (int i = 0; i < length; ++i) {
            const float edge = line[pad + i - whole - 1] + (i + whole + 1 < length ? line[pad + i + whole + 1] : 0.0f);
            const float value = (sum + frac * edge) * scale;
            (horizontal ? plane.At(i, l) : plane.At(l, i)) = value;
            sum -= line[pad + i - whole];
            if (i + whole + 1 < length) sum += line[pad + i + whole + 1];
        }
    }
}

void Blur(Plane& plane, double bx, double by, unsigned passes) {
    for (unsigned p = 0; p < std::max(1u, passes); ++p) {
        Box(plane, bx, true);
        Box(plane, by, false);
    }
}

// The plane moved by (dx, dy) whole pixels.
Plane Shift(const Plane& plane, int dx, int dy) {
    Plane out(plane.width, plane.height);
    for (int y = 0; y < plane.height; ++y)
        for (int x = 0; x < plane.width; ++x) out.At(x, y) = plane.Get(x - dx, y - dy);
    return out;
}

struct Offset {
    int dx = 0, dy = 0;
};

Offset OffsetOf(const Filter& f, double scale) {
    const double d = f.distance * scale;
    return {static_cast<int>(std::lround(std::cos(f.angle) * d)), static_cast<int>(std::lround(std::sin(f.angle) * d))};
}

// The 256 colours of a gradient filter's ramp, premultiplied.
std::array<uint32_t, 256> Ramp(const Filter& f) {
    std::array<uint32_t, 256> lut{};
    const size_t n = std::min(f.colors.size(), f.ratios.size());
    if (n == 0) return lut;
    for (int i = 0; i < 256; ++i) {
        size_t k = 0;
        while (k + 1 < n && f.ratios[k + 1] < i) ++k;
        Rgba a = f.colors[k], b = k + 1 < n ? f.colors[k + 1] : a;
        const int r0 = f.ratios[k], r1 = k + 1 < n ? f.ratios[k + 1] : r0;
        const float t = i <= r0 ? 0.0f : i >= r1 ? 1.0f : static_cast<float>(i - r0) / static_cast<float>(r1 - r0);
        auto mix = [t](uint8_t p, uint8_t q) { return static_cast<uint8_t>(ToByte(p + (q - p) * t)); };
        lut[i] = Premultiply({mix(a.r, b.r), mix(a.g, b.g), mix(a.b, b.b), mix(a.a, b.a)});
    }
    return lut;
}

uint32_t Tint(Rgba color, float amount) {
    color.a = static_cast<uint8_t>(ToByte(color.a * std::min(amount, 255.0f) / 255.0f));
    return Premultiply(color);
}

enum class Side : uint8_t { Inner, Outer, Full };

// Puts an effect picture (premultiplied pixels) together with the source as the filter's
// flags say: inner effects stay inside the source, outer ones outside or under it, full
// ones over it.
void Combine(Picture& src, const std::vector<uint32_t>& effect, const Filter& f, Side side) {
    for (size_t i = 0; i < effect.size(); ++i) {
        const uint32_t s = PixelAt(src, i);
        const uint32_t sa = s >> 24;
        const bool hide = f.knockout || !f.compositeSource;
        uint32_t e = effect[i], out;
        switch (side) {
        case Side::Inner:
            e = ScalePixel(e, Factor(sa));
            out = hide ? e : Over(e, s);
            break;
        case Side::Outer:
            out = f.knockout ? ScalePixel(e, Factor(255 - sa)) : !f.compositeSource ? e : Over(s, e);
            break;
        case Side::Full: out = hide ? e : Over(e, s); break;
        }
        for (int c = 0; c < 4; ++c) src.ch[c].v[i] = static_cast<float>((out >> (24 - 8 * c)) & 255);
    }
}

void Shadow(Picture& p, const Filter& f, double scale, Offset offset) {
    Plane alpha = p.ch[0];
    if (f.inner)
        for (float& a : alpha.v) a = 255 - a;
    Blur(alpha, f.blurX * scale, f.blurY * scale, f.passes);
    if (offset.dx || offset.dy) alpha = Shift(alpha, offset.dx, offset.dy);
    std::vector<uint32_t> effect(alpha.v.size());
    const bool gradient = f.kind == FilterKind::GradientGlow;
    const std::array<uint32_t, 256> ramp = gradient ? Ramp(f) : std::array<uint32_t, 256>{};
    const Rgba color = f.colors.empty() ? Rgba{0, 0, 0, 255} : f.colors[0];
    for (size_t i = 0; i < effect.size(); ++i) {
        const float amount = alpha.v[i] * f.strength;
        effect[i] = gradient ? ramp[ToByte(amount)] : Tint(color, amount);
    }
    Combine(p, effect, f, f.inner ? Side::Inner : Side::Outer);
}

// Highlight toward the light, shadow away from it: the blurred outline seen from both
// sides of the offset. Gradient bevels run from the highlight (0) to the shadow (255).
void Bevel(Picture& p, const Filter& f, double scale) {
    Plane alpha = p.ch[0];
    Blur(alpha, f.blurX * scale, f.blurY * scale, f.passes);
    const Offset o = OffsetOf(f, scale);
    // Where the outline pushed away from the light covers more than the one pushed toward
    // it, the surface faces away (shadow); the other way round it faces the light.
    const Plane away = Shift(alpha, o.dx, o.dy), toward = Shift(alpha, -o.dx, -o.dy);
    const bool gradient = f.kind == FilterKind::GradientBevel;
    const std::array<uint32_t, 256> ramp = gradient ? Ramp(f) : std::array<uint32_t, 256>{};
    const Rgba highlight = f.colors.size() > 0 ? f.colors[0] : Rgba{255, 255, 255, 255};
    const Rgba shadow = f.colors.size() > 1 ? f.colors[1] : Rgba{0, 0, 0, 255};
    std::vector<uint32_t> effect(alpha.v.size());
    for (size_t i = 0; i < effect.size(); ++i) {
        const float d = (away.v[i] - toward.v[i]) * f.strength;
        if (gradient) effect[i] = ramp[ToByte(128 + std::clamp(d, -255.0f, 255.0f) / 2)];
        else effect[i] = d > 0 ? Tint(shadow, d) : Tint(highlight, -d);
    }
    // Full bevels (inner and outer at once) show on both sides of the outline.
    Combine(p, effect, f, f.onTop ? Side::Full : f.inner ? Side::Inner : Side::Outer);
}

void ColorMatrix(Picture& p, const Filter& f) {
    if (f.matrix.size() < 20) return;
    const float* m = f.matrix.data();
    for (size_t i = 0; i < p.ch[0].v.size(); ++i) {
        const Rgba c = Unpremultiply(PixelAt(p, i));
        const float r = c.r, g = c.g, b = c.b, a = c.a;
        auto row = [&](int k) {
            return static_cast<uint8_t>(ToByte(m[k] * r + m[k + 1] * g + m[k + 2] * b + m[k + 3] * a + m[k + 4]));
        };
        const uint32_t out = Premultiply({row(0), row(5), row(10), row(15)});
        for (int c = 0; c < 4; ++c) p.ch[c].v[i] = static_cast<float>((out >> (24 - 8 * c)) & 255);
    }
}

void Convolution(Picture& p, const Filter& f) {
    const int mw = static_cast<int>(f.matrixX), mh = static_cast<int>(f.matrixY);
    if (mw == 0 || mh == 0 || f.matrix.size() < static_cast<size_t>(mw) * mh) return;
    const float divisor = f.divisor == 0 ? 1 : f.divisor;
    std::array<Plane, 4> straight = p.ch;
    for (size_t i = 0; i < straight[0].v.size(); ++i) {
        const Rgba c = Unpremultiply(PixelAt(p, i));
        for (int k = 0; k < 4; ++k) straight[k].v[i] = static_cast<float>(k == 0 ? c.a : k == 1 ? c.r : k == 2 ? c.g : c.b);
    }
    const float fallback[4] = {static_cast<float>(f.defaultColor.a), static_cast<float>(f.defaultColor.r),
                               static_cast<float>(f.defaultColor.g), static_cast<float>(f.defaultColor.b)};
    for (int y = 0; y < p.height; ++y) {
        for (int x = 0; x < p.width; ++x) {
            float sum[4] = {0, 0, 0, 0};
            for (int j = 0; j < mh; ++j) {
                for (int i = 0; i < mw; ++i) {
                    int sx = x + i - mw / 2, sy = y + j - mh / 2;
                    const bool outside = sx < 0 || sy < 0 || sx >= p.width || sy >= p.height;
                    if (outside && f.clamp) sx = std::clamp(sx, 0, p.width - 1), sy = std::clamp(sy, 0, p.height - 1);
                    const float w = f.matrix[static_cast<size_t>(j) * mw + i];
                    for (int k = 0; k < 4; ++k) sum[k] += w * (outside && !f.clamp ? fallback[k] : straight[k].At(sx, sy));
                }
            }
            uint8_t out[4];
            for (int k = 0; k < 4; ++k) out[k] = static_cast<uint8_t>(ToByte(sum[k] / divisor + f.bias));
            if (f.preserveAlpha) out[0] = static_cast<uint8_t>(ToByte(straight[0].At(x, y)));
            const uint32_t c = Premultiply({out[1], out[2], out[3], out[0]});
            const size_t idx = static_cast<size_t>(y) * p.width + x;
            for (int k = 0; k < 4; ++k) p.ch[k].v[idx] = static_cast<float>((c >> (24 - 8 * k)) & 255);
        }
    }
}

}  // namespace

int FilterMargin(const std::vector<Filter>& filters, double scale) {
    double margin = 0;
    for (const Filter& f : filters) {
        const double blur = std::max(f.blurX, f.blurY) * scale;
        const double spread = std::ceil(blur / 2) * std::max(1u, f.passes);
        switch (f.kind) {
        case FilterKind::ColorMatrix:
        case FilterKind::DisplacementMap: break;
        case FilterKind::Convolution: margin += std::max(f.matrixX, f.matrixY); break;
        case FilterKind::Blur: margin += spread; break;
        default: margin += spread + std::fabs(f.distance) * scale; break;
        }
    }
    return static_cast<int>(std::min(std::ceil(margin), 4096.0));
}

void ApplyFilter(Surface& surface, const PixelRect& area, const Filter& f, double scale) {
    // A displacement needs its map bitmap, which only the script side holds.
    if (area.right <= area.left || area.bottom <= area.top || f.kind == FilterKind::DisplacementMap) return;
    Picture p = Read(surface, area);
    switch (f.kind) {
    case FilterKind::Blur:
        for (Plane& c : p.ch) Blur(c, f.blurX * scale, f.blurY * scale, f.passes);
        break;
    case FilterKind::DropShadow: Shadow(p, f, scale, OffsetOf(f, scale)); break;
    case FilterKind::Glow:
    case FilterKind::GradientGlow: Shadow(p, f, scale, f.kind == FilterKind::GradientGlow ? OffsetOf(f, scale) : Offset{}); break;
    case FilterKind::Bevel:
    case FilterKind::GradientBevel: Bevel(p, f, scale); break;
    case FilterKind::ColorMatrix: ColorMatrix(p, f); break;
    case FilterKind::Convolution: Convolution(p, f); break;
    case FilterKind::DisplacementMap: break;
    }
    Write(p, surface, area);
}

void ApplyFilters(Surface& surface, const PixelRect& area, const std::vector<Filter>& filters, double scale) {
    for (const Filter& f : filters) ApplyFilter(surface, area, f, scale);
}

}  // namespace velmora::raster
