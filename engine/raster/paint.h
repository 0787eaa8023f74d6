// Paints: the colour of each pixel a fill covers (solid, gradients, bitmaps), with the
// colour transform applied, as premultiplied 0xAARRGGBB.
#pragma once

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "engine/core/geometry.h"
#include "engine/core/shape.h"
#include "engine/raster/renderer.h"

namespace velmora::raster {

Rgba ApplyTransform(Rgba c, const ColorTransform& cx);
uint32_t Premultiply(Rgba c);
Rgba Unpremultiply(uint32_t pixel);
bool IsIdentity(const ColorTransform& cx);

// Straight colours of a gradient at 256 evenly spaced positions. Stops are taken in file
// order: the ramp reaches a stop's ratio before moving on, so a stop whose ratio is already
// behind is skipped, and equal ratios make a hard step.
std::array<Rgba, 256> BuildGradientRamp(const Gradient& gradient);

// Ramp index of a position in 256ths of the gradient (0 at its start, 256 at its end).
inline size_t RampIndex(int64_t pos, SpreadMode spread) {
    switch (spread) {
    case SpreadMode::Repeat:
        return static_cast<size_t>(pos & 255);
    case SpreadMode::Reflect: {
        const int64_t v = pos & 511;
        return static_cast<size_t>(v > 255 ? 511 - v : v);
    }
    case SpreadMode::Pad:
        break;
    }
    return static_cast<size_t>(pos < 0 ? 0 : pos > 255 ? 255 : pos);
}

// Maps a gradient position (0 at the start, 1 at the end) to a ramp index by spread mode.
inline size_t GradientIndex(float t, SpreadMode spread) {
    if (!(t > -1e6f && t < 1e6f)) t = 0;  // also NaN
    return RampIndex(static_cast<int64_t>(std::floor(t * 256 + 0.5f)), spread);
}

class Paint {
public:
    // Prepares the fill for `toPixels` (shape twips to pixels). False when it draws nothing
    // (missing bitmap, singular matrix, fully transparent after the transform).
    bool Setup(const FillStyle& fill, const Matrix& toPixels, const ColorTransform& cx,
               const BitmapLookup& bitmaps, bool smoothBitmaps);
    bool IsSolid() const { return m_kind == FillKind::Solid; }
    uint32_t SolidColor() const { return m_solid; }
    // Every colour it yields has full alpha (solid and gradient paints only).
    bool IsOpaque() const { return m_opaque; }
    // Colours of pixels [x, x + count) of row y, sampled at pixel centres.
    void Span(int x, int y, int count, uint32_t* out) const;

private:
    void GradientSpan(double gx, double gy, int count, uint32_t* out) const;
    void BitmapSpan(double u, double v, int count, uint32_t* out) const;
    uint32_t BitmapTexel(int u, int v) const;

    FillKind m_kind = FillKind::Solid;
    uint32_t m_solid = 0;
    Matrix m_inverse;  // pixels to gradient square or bitmap pixels
    SpreadMode m_spread = SpreadMode::Pad;
    double m_focal = 0;
    std::array<uint32_t, 256> m_lut{};
    const Bitmap* m_bitmap = nullptr;
    bool m_repeat = false, m_smooth = false, m_identity = true, m_opaque = false;
    ColorTransform m_cx;
};

}  // namespace velmora::raster
