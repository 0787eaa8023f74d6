// Turns a device font's contours (lines, quadratic and cubic curves, as TrueType and GDI
// give them, y up) into a glyph outline the renderer fills (y down, white, non-zero).
#pragma once

#include "engine/core/shape.h"

namespace velmora::text {

class OutlineBuilder {
public:
    // `shear` slants the glyph (x += shear * height above the baseline): a synthetic italic.
    explicit OutlineBuilder(double shear = 0);

    void MoveTo(double x, double y);
    void LineTo(double x, double y);
    void QuadTo(double cx, double cy, double x, double y);
    void CubicTo(double c1x, double c1y, double c2x, double c2y, double x, double y);
    // Closes the open contour back to its start.
    void Close();

    // The outline; the builder is empty afterwards.
    Shape Take();

private:
    struct Point {
        int32_t x, y;
    };
    Point Map(double x, double y) const;
    void Edge(bool curved, Point control, Point to);

    double m_shear;
    Shape m_shape;
    double m_x = 0, m_y = 0;          // pen, font units
    double m_startX = 0, m_startY = 0;  // contour start
    bool m_open = false;
};

}  // namespace velmora::text
