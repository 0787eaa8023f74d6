// Device-space geometry: flattening shape edges and expanding strokes into polygons.
#pragma once

#include <cstddef>
#include <vector>

#include "engine/core/geometry.h"
#include "engine/core/shape.h"

namespace velmora::raster {

class Rasterizer;

// Whole pixels of a coordinate, saturated to +-1e9 (NaN gives 0) so hostile geometry
// never makes an undefined conversion.
inline int ToPixel(double v) {
    return v >= -1e9 && v <= 1e9 ? static_cast<int>(v) : v > 0 ? 1000000000 : v < 0 ? -1000000000 : 0;
}

inline PointF Transform(const Matrix& m, double x, double y) {
    return {m.a * x + m.c * y + m.tx, m.b * x + m.d * y + m.ty};
}

// Largest distance, in pixels, a flattened curve may stray from the true curve.
inline constexpr double kFlattenTolerance = 0.1;

// Appends the edge's points after its start, mapped by `m` (a curve becomes a polyline
// within `tolerance` of it).
void FlattenEdge(const ShapeEdge& edge, const Matrix& m, double tolerance,
                 std::vector<PointF>& out);

struct StrokeStyle {
    double halfWidth = 0.5;  // pixels
    CapStyle startCap = CapStyle::Round, endCap = CapStyle::Round;
    JoinStyle join = JoinStyle::Round;
    double miterLimit = 3;
};

// Stroke width on screen: twips scaled by the matrix (unless the style opts out of one
// direction), never thinner than one pixel, so hairlines stay visible.
double StrokePixelWidth(const LineStyle& style, const Matrix& toPixels);

// Adds the outline of a stroked polyline to `raster`; fill it with the non-zero rule.
// A closed polyline gets a join where it meets itself instead of caps.
void StrokePolyline(const PointF* points, size_t count, bool closed, const StrokeStyle& style,
                    Rasterizer& raster);

// Adds a closed polygon (the last point connects back to the first).
void AddPolygon(const std::vector<PointF>& polygon, Rasterizer& raster);

}  // namespace velmora::raster
