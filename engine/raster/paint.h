// Paints: the colour of each pixel a fill covers (solid, gradients, bitmaps), with the
// colour transform applied, as premultiplied 0xAARRGGBB.
#pragma once

#include <array>
#include <cmath>
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

// Maps a gradient position (0 at the start, 1 at the end) to a ramp index by spread mode.
inline int GradientIndex(float t, SpreadMode spread) {
    if (!(t > -1e6f && t < 1e6f)) t = 0;  // also NaN
    switch (spread) {
    case SpreadMode::Pad:
        t = t < 0 ? 0 : t > 1 ? 1 : t;
        break;
    case SpreadMode::Repeat:
        t -= std::floor(t);
        break;
    case SpreadMode::Reflect:
        t = std::fabs(t - 2 * std::floor(t * 0.5f));
        if (t > 1) t = 2 - t;
        break;
    }
    const int index = static_cast<int>(t * 255 + 0.5f);
    return index < 0 ? 0 : index > 255 ? 255 : index;
}

class Paint {
public:
    // Prepares the fill for `toPixels` (shape twips to pixels). False when it draws nothing
    // (missing bitmap, singular matrix, fully transparent after the transform).
    bool Setup(const FillStyle& fill, const Matrix& toPixels, const ColorTransform& cx,
               const BitmapLookup& bitmaps, bool smoothBitmaps);
    bool IsSolid() const { return m_kind == FillKind::Solid; }
    uint32_t SolidColor() const { return m_solid; }
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
    bool m_repeat = false, m_smooth = false, m_identity = true;
    ColorTransform m_cx;
};

}  // namespace velmora::raster
