#include "engine/raster/paint.h"

#include <algorithm>
#include <cmath>

#include "engine/raster/path.h"

namespace velmora::raster {

namespace {

constexpr double kGradientHalf = 16384;

// NaN (from a hostile colour transform) counts as 0.
uint8_t Clamp255(float v) { return v >= 255 ? 255 : v > 0 ? static_cast<uint8_t>(v + 0.5f) : 0; }

bool Invert(const Matrix& m, Matrix& out) {
    const double det = m.a * m.d - m.b * m.c;
    if (!std::isfinite(det) || std::fabs(det) < 1e-12) return false;
    const double a = m.d / det, b = -m.b / det, c = -m.c / det, d = m.a / det;
    out = {a, b, c, d, -(a * m.tx + c * m.ty), -(b * m.tx + d * m.ty)};
    for (double v : {out.a, out.b, out.c, out.d, out.tx, out.ty})
        if (!std::isfinite(v)) return false;
    return true;
}

double ToLinear(double v) {
    v /= 255;
    return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
}

double FromLinear(double v) {
    v = v <= 0.0031308 ? v * 12.92 : 1.055 * std::pow(v, 1 / 2.4) - 0.055;
    return v * 255;
}

Rgba Mix(Rgba a, Rgba b, double f, Interpolation mode) {
    auto lerp = [f](double x, double y) { return x + (y - x) * f; };
    Rgba out;
    if (mode == Interpolation::LinearRgb) {
        out.r = Clamp255(static_cast<float>(FromLinear(lerp(ToLinear(a.r), ToLinear(b.r)))));
        out.g = Clamp255(static_cast<float>(FromLinear(lerp(ToLinear(a.g), ToLinear(b.g)))));
        out.b = Clamp255(static_cast<float>(FromLinear(lerp(ToLinear(a.b), ToLinear(b.b)))));
    } else {
        out.r = Clamp255(static_cast<float>(lerp(a.r, b.r)));
        out.g = Clamp255(static_cast<float>(lerp(a.g, b.g)));
        out.b = Clamp255(static_cast<float>(lerp(a.b, b.b)));
    }
    out.a = Clamp255(static_cast<float>(lerp(a.a, b.a)));
    return out;
}

uint32_t Pack(uint32_t a, uint32_t r, uint32_t g, uint32_t b) {
    return a << 24 | r << 16 | g << 8 | b;
}

// Bilinear blend of four premultiplied texels; fx, fy in 0..256.
uint32_t Bilerp(uint32_t c00, uint32_t c10, uint32_t c01, uint32_t c11, uint32_t fx,
                uint32_t fy) {
    auto blend = [](uint32_t p, uint32_t q, uint32_t f) {
        const uint32_t rb = ((p & 0x00FF00FF) * (256 - f) + (q & 0x00FF00FF) * f) >> 8;
        const uint32_t ag = ((p >> 8) & 0x00FF00FF) * (256 - f) + ((q >> 8) & 0x00FF00FF) * f;
        return (rb & 0x00FF00FF) | (ag & 0xFF00FF00);
    };
    return blend(blend(c00, c10, fx), blend(c01, c11, fx), fy);
}

}  // namespace

Rgba ApplyTransform(Rgba c, const ColorTransform& cx) {
    return {Clamp255(c.r * cx.rMul + cx.rAdd), Clamp255(c.g * cx.gMul + cx.gAdd),
            Clamp255(c.b * cx.bMul + cx.bAdd), Clamp255(c.a * cx.aMul + cx.aAdd)};
}

uint32_t Premultiply(Rgba c) {
    auto mul = [a = c.a](uint32_t v) { return (v * a + 127) / 255; };
    return Pack(c.a, mul(c.r), mul(c.g), mul(c.b));
}

Rgba Unpremultiply(uint32_t pixel) {
    const uint32_t a = pixel >> 24;
    auto straight = [a](uint32_t v) {
        return static_cast<uint8_t>(a ? std::min<uint32_t>(255, (v * 255 + a / 2) / a) : 0);
    };
    return {straight((pixel >> 16) & 255), straight((pixel >> 8) & 255), straight(pixel & 255),
            static_cast<uint8_t>(a)};
}

bool IsIdentity(const ColorTransform& cx) { return cx == ColorTransform{}; }

std::array<Rgba, 256> BuildGradientRamp(const Gradient& gradient) {
    std::array<Rgba, 256> ramp{};
    const auto& stops = gradient.stops;
    if (stops.empty()) return ramp;
    size_t target = 0;  // the stop the ramp is heading for
    for (int t = 0; t < 256; ++t) {
        // Stops already behind the ramp are passed one per entry, each shown once, and the
        // last of them starts the next stretch.
        size_t behind = 0;
        while (target + behind < stops.size() && stops[target + behind].ratio < t) ++behind;
        if (behind > 1) {
            ramp[t] = stops[target++].color;
            continue;
        }
        target += behind;
        if (target == 0) {
            ramp[t] = stops[0].color;
        } else if (target == stops.size()) {
            ramp[t] = stops.back().color;
        } else {
            const GradientStop& from = stops[target - 1];
            const GradientStop& to = stops[target];
            const int span = to.ratio - from.ratio;
            const double f = span > 0 ? std::clamp((t - from.ratio) / double(span), 0.0, 1.0) : 1.0;
            ramp[t] = Mix(from.color, to.color, f, gradient.interpolation);
        }
    }
    return ramp;
}

bool Paint::Setup(const FillStyle& fill, const Matrix& toPixels, const ColorTransform& cx,
                  const BitmapLookup& bitmaps, bool smoothBitmaps) {
    m_kind = fill.kind;
    m_cx = cx;
    m_opaque = false;
    m_bitmap = nullptr;
    m_identity = IsIdentity(cx);
    switch (fill.kind) {
    case FillKind::Solid:
        m_solid = Premultiply(ApplyTransform(fill.color, cx));
        m_opaque = (m_solid >> 24) == 255;
        return (m_solid >> 24) != 0;
    case FillKind::LinearGradient:
    case FillKind::RadialGradient:
    case FillKind::FocalGradient: {
        if (!Invert(toPixels * fill.matrix, m_inverse)) return false;
        m_spread = fill.gradient.spread;
        m_focal = std::clamp(static_cast<double>(fill.gradient.focalPoint), -0.998, 0.998);
        const auto ramp = BuildGradientRamp(fill.gradient);
        uint32_t alphaSum = 0, alphaMin = 255;
        for (size_t i = 0; i < ramp.size(); ++i) {
            m_lut[i] = Premultiply(ApplyTransform(ramp[i], cx));
            alphaSum += m_lut[i] >> 24;
            alphaMin = std::min(alphaMin, m_lut[i] >> 24);
        }
        m_opaque = alphaMin == 255;
        return !fill.gradient.stops.empty() && alphaSum != 0;
    }
    default: {
        const Bitmap* bitmap = fill.bitmapId == 0xFFFF || !bitmaps ? nullptr : bitmaps(fill.bitmapId);
        if (!bitmap || bitmap->width <= 0 || bitmap->height <= 0 ||
            bitmap->pixels.size() < static_cast<size_t>(bitmap->width) * bitmap->height)
            return false;
        m_bitmap = bitmap;
        m_repeat = fill.kind == FillKind::RepeatingBitmap ||
                   fill.kind == FillKind::RepeatingBitmapNearest;
        m_smooth = smoothBitmaps && (fill.kind == FillKind::RepeatingBitmap ||
                                     fill.kind == FillKind::ClippedBitmap);
        return Invert(toPixels * fill.matrix, m_inverse);
    }
    }
}

void Paint::Span(int x, int y, int count, uint32_t* out) const {
    if (m_kind == FillKind::Solid) {
        std::fill(out, out + count, m_solid);
        return;
    }
    const double px = x + 0.5, py = y + 0.5;
    const double u = m_inverse.a * px + m_inverse.c * py + m_inverse.tx;
    const double v = m_inverse.b * px + m_inverse.d * py + m_inverse.ty;
    if (m_bitmap) BitmapSpan(u, v, count, out);
    else GradientSpan(u, v, count, out);
}

namespace {

// Ramp lookups for `count` pixels whose gradient position comes from `position(i)`; the
// spread mode is decided once per span so the loops stay branch-free.
template <typename Position>
void RampSpan(const std::array<uint32_t, 256>& lut, SpreadMode spread, int count, uint32_t* out,
              Position position) {
    switch (spread) {
    case SpreadMode::Pad:
        for (int i = 0; i < count; ++i) {
            const float t = std::min(1.f, std::max(0.f, position(i)));  // NaN becomes 0
            out[i] = lut[std::min(255, static_cast<int>(t * 256 + 0.5f))];
        }
        break;
    case SpreadMode::Repeat:
    case SpreadMode::Reflect:
        for (int i = 0; i < count; ++i) out[i] = lut[GradientIndex(position(i), spread)];
        break;
    }
}

// A linear ramp in 16.16 fixed point: the position moves by the same step every pixel.
void LinearSpan(const std::array<uint32_t, 256>& lut, SpreadMode spread, double t, double dt,
                int count, uint32_t* out) {
    constexpr double kOne = 256.0 * 65536;
    // Beyond this the index is pinned (pad) or its phase is all that counts (repeat, reflect).
    static constexpr double kLimit = 1e12;
    auto fixed = [](double v) { return static_cast<int64_t>(std::clamp(v, -kLimit, kLimit)); };
    int64_t pos = fixed(t * kOne + 32768);
    const int64_t step = fixed(dt * kOne);
    if (!std::isfinite(t) || !std::isfinite(dt)) pos = 0;
    for (int i = 0; i < count; ++i, pos += step) out[i] = lut[RampIndex(pos >> 16, spread)];
}

}  // namespace

void Paint::GradientSpan(double gx, double gy, int count, uint32_t* out) const {
    // Unit gradient space (the square is -1..1), stepped per pixel.
    const float x = static_cast<float>(gx / kGradientHalf), y = static_cast<float>(gy / kGradientHalf);
    const float dx = static_cast<float>(m_inverse.a / kGradientHalf);
    const float dy = static_cast<float>(m_inverse.b / kGradientHalf);
    if (m_kind == FillKind::LinearGradient) {
        LinearSpan(m_lut, m_spread, (x + 1) * 0.5, dx * 0.5, count, out);
    } else if (m_kind == FillKind::RadialGradient || m_focal == 0) {
        RampSpan(m_lut, m_spread, count, out, [=](int i) {
            const float px = x + dx * i, py = y + dy * i;
            return std::sqrt(px * px + py * py);
        });
    } else {
        // Position along the ray from the focal point through the pixel to the circle.
        const float f = static_cast<float>(m_focal), c = f * f - 1;
        RampSpan(m_lut, m_spread, count, out, [=](int i) {
            const float ddx = x + dx * i - f, py = y + dy * i;
            const float dd = ddx * ddx + py * py, fd = f * ddx;
            const float s = dd > 0 ? (-fd + std::sqrt(fd * fd - dd * c)) / dd : 0;
            return s > 0 ? 1 / s : 0.f;
        });
    }
}

inline uint32_t Paint::BitmapTexel(int u, int v) const {
    const int w = m_bitmap->width, h = m_bitmap->height;
    if (m_repeat) {
        u %= w;
        v %= h;
        if (u < 0) u += w;
        if (v < 0) v += h;
    } else {
        u = std::clamp(u, 0, w - 1);
        v = std::clamp(v, 0, h - 1);
    }
    return m_bitmap->pixels[static_cast<size_t>(v) * w + u];
}

void Paint::BitmapSpan(double u, double v, int count, uint32_t* out) const {
    const double du = m_inverse.a, dv = m_inverse.b;
    auto toInt = [](double d) { return ToPixel(std::floor(d)); };
    // Position between texels in 256ths; 0 where the coordinate is not finite.
    auto fraction = [](double d, double whole) {
        const double f = d - whole;
        return f >= 0 && f < 1 ? static_cast<uint32_t>(f * 256) : 0u;
    };
    for (int i = 0; i < count; ++i, u += du, v += dv) {
        if (m_smooth) {
            const double su = u - 0.5, sv = v - 0.5;
            const double fu = std::floor(su), fv = std::floor(sv);
            const int iu = ToPixel(fu), iv = ToPixel(fv);
            out[i] = Bilerp(BitmapTexel(iu, iv), BitmapTexel(iu + 1, iv), BitmapTexel(iu, iv + 1),
                            BitmapTexel(iu + 1, iv + 1), fraction(su, fu), fraction(sv, fv));
        } else {
            out[i] = BitmapTexel(toInt(u), toInt(v));
        }
    }
    if (m_identity) return;
    for (int i = 0; i < count; ++i) {
        if ((out[i] >> 24) == 0 && m_cx.aAdd <= 0) continue;
        out[i] = Premultiply(ApplyTransform(Unpremultiply(out[i]), m_cx));
    }
}

}  // namespace velmora::raster
