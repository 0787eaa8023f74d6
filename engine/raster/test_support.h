// Shape builders and surface measurements shared by the renderer's tests and benchmark.
#pragma once

#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <numbers>
#include <utility>

#include "engine/core/shape.h"
#include "engine/raster/renderer.h"

namespace velmora::raster::testing {

inline constexpr int kTwips = 20;  // twips per pixel

inline ShapeEdge Line(int x0, int y0, int x1, int y1, uint32_t fill0, uint32_t fill1 = 0,
                      uint32_t line = 0) {
    ShapeEdge e;
    e.x0 = x0, e.y0 = y0, e.x1 = x1, e.y1 = y1;
    e.fill0 = fill0, e.fill1 = fill1, e.line = line;
    return e;
}

inline ShapeEdge Curve(int x0, int y0, int cx, int cy, int x1, int y1, uint32_t fill0,
                       uint32_t fill1 = 0, uint32_t line = 0) {
    ShapeEdge e = Line(x0, y0, x1, y1, fill0, fill1, line);
    e.cx = cx, e.cy = cy, e.curved = true;
    return e;
}

inline FillStyle SolidFill(Rgba c) {
    FillStyle f;
    f.color = c;
    return f;
}

// Closed polygon (twips) with fill 1 on its left.
inline void AddPolygonEdges(ShapeLayer& layer, std::initializer_list<std::pair<int, int>> pts,
                            uint32_t fill0, uint32_t fill1 = 0, uint32_t line = 0) {
    const auto* prev = pts.end() - 1;
    for (const auto* p = pts.begin(); p != pts.end(); prev = p, ++p)
        layer.edges.push_back(Line(prev->first, prev->second, p->first, p->second, fill0, fill1, line));
}

// Circle of eight quadratic curves (twips), fill `fill0` on its left, optional line.
inline void AddCircleEdges(ShapeLayer& layer, double cx, double cy, double r, uint32_t fill0,
                           uint32_t line = 0) {
    const double k = r / std::cos(std::numbers::pi / 8);
    for (int i = 0; i < 8; ++i) {
        const double a0 = i * std::numbers::pi / 4, a1 = (i + 1) * std::numbers::pi / 4;
        const double am = (a0 + a1) / 2;
        layer.edges.push_back(Curve(
            static_cast<int>(std::lround(cx + r * std::cos(a0))), static_cast<int>(std::lround(cy + r * std::sin(a0))),
            static_cast<int>(std::lround(cx + k * std::cos(am))), static_cast<int>(std::lround(cy + k * std::sin(am))),
            static_cast<int>(std::lround(cx + r * std::cos(a1))), static_cast<int>(std::lround(cy + r * std::sin(a1))),
            fill0, 0, line));
    }
}

inline Shape RectShape(int x0, int y0, int x1, int y1, Rgba color) {
    Shape s;
    ShapeLayer layer;
    layer.fills.push_back(SolidFill(color));
    AddPolygonEdges(layer, {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}}, 1);
    s.layers.push_back(layer);
    s.bounds = s.edgeBounds = {x0, x1, y0, y1};
    return s;
}

// Twips-to-pixels matrix at one pixel per 20 twips.
inline Matrix PixelScale() { return {1.0 / kTwips, 0, 0, 1.0 / kTwips, 0, 0}; }

inline uint32_t Alpha(uint32_t p) { return p >> 24; }
inline uint32_t Red(uint32_t p) { return (p >> 16) & 255; }
inline uint32_t Green(uint32_t p) { return (p >> 8) & 255; }
inline uint32_t Blue(uint32_t p) { return p & 255; }

// Sum of alpha over the surface in pixels (255 = one pixel).
inline double CoveredArea(const Surface& s) {
    double sum = 0;
    for (int y = 0; y < s.Height(); ++y)
        for (int x = 0; x < s.Width(); ++x) sum += Alpha(s.Row(y)[x]);
    return sum / 255;
}

}  // namespace velmora::raster::testing
