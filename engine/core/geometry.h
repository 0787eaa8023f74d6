// Basic value types shared by the SWF reader, the display list and the renderer.
#pragma once

#include <cstdint>

namespace velmora {

// Straight (not premultiplied) colour as stored in SWF records.
struct Rgba {
    uint8_t r = 0, g = 0, b = 0, a = 255;
    friend bool operator==(const Rgba&, const Rgba&) = default;
};

// SWF MATRIX: x' = a*x + c*y + tx, y' = b*x + d*y + ty.
// Shape coordinates are twips; a matrix that maps to the screen maps twips to pixels.
struct Matrix {
    double a = 1, b = 0, c = 0, d = 1, tx = 0, ty = 0;

    friend bool operator==(const Matrix&, const Matrix&) = default;
    // (*this) applied after `inner`: result(p) = this(inner(p)).
    Matrix operator*(const Matrix& inner) const {
        return {a * inner.a + c * inner.b,   b * inner.a + d * inner.b,
                a * inner.c + c * inner.d,   b * inner.c + d * inner.d,
                a * inner.tx + c * inner.ty + tx, b * inner.tx + d * inner.ty + ty};
    }
};

// SWF CXFORM(WITHALPHA): channel' = channel * mul + add, with add in 0..255 units.
struct ColorTransform {
    float rMul = 1, gMul = 1, bMul = 1, aMul = 1;
    float rAdd = 0, gAdd = 0, bAdd = 0, aAdd = 0;

    friend bool operator==(const ColorTransform&, const ColorTransform&) = default;
    // (*this) applied after `inner`.
    ColorTransform operator*(const ColorTransform& inner) const {
        return {rMul * inner.rMul, gMul * inner.gMul, bMul * inner.bMul, aMul * inner.aMul,
                rMul * inner.rAdd + rAdd, gMul * inner.gAdd + gAdd,
                bMul * inner.bAdd + bAdd, aMul * inner.aAdd + aAdd};
    }
};

// SWF RECT in twips.
struct RectTwips {
    int32_t xMin = 0, xMax = 0, yMin = 0, yMax = 0;
    friend bool operator==(const RectTwips&, const RectTwips&) = default;
};

struct PointF {
    double x = 0, y = 0;
};

}  // namespace velmora
