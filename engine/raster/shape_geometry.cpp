// Bounds and hit tests of shapes, without drawing.
#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

#include "engine/raster/path.h"
#include "engine/raster/renderer.h"

namespace velmora::raster {

namespace {

// Flattening tolerance for hit tests, in twips.
constexpr double kHitTolerance = 2;

double DistanceToSegment(PointF p, PointF a, PointF b) {
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double len2 = dx * dx + dy * dy;
    double t = len2 > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / len2 : 0;
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(p.x - (a.x + t * dx), p.y - (a.y + t * dy));
}

// Winding contribution of a directed segment for a ray from p to the right.
int Crossing(PointF p, PointF a, PointF b) {
    if ((a.y <= p.y) == (b.y <= p.y)) return 0;
    const double x = a.x + (p.y - a.y) * (b.x - a.x) / (b.y - a.y);
    if (x <= p.x) return 0;
    return b.y > a.y ? 1 : -1;
}

}  // namespace

bool HitTestShape(const Shape& shape, PointF p) {
    const Matrix identity;
    std::vector<PointF> pts;
    for (const ShapeLayer& layer : shape.layers) {
        std::vector<int> winding(layer.fills.size() + 1, 0);
        for (const ShapeEdge& e : layer.edges) {
            pts.assign(1, PointF{static_cast<double>(e.x0), static_cast<double>(e.y0)});
            FlattenEdge(e, identity, kHitTolerance, pts);
            for (size_t i = 1; i < pts.size(); ++i) {
                const int c = Crossing(p, pts[i - 1], pts[i]);
                if (c != 0 && e.fill0 != e.fill1) {
                    if (e.fill0 && e.fill0 <= layer.fills.size()) winding[e.fill0] += c;
                    if (e.fill1 && e.fill1 <= layer.fills.size()) winding[e.fill1] -= c;
                }
                if (e.line && e.line <= layer.lines.size()) {
                    // A hairline is one pixel wide at the movie's own scale (20 twips).
                    const double reach = std::max<double>(layer.lines[e.line - 1].width, 20) / 2;
                    if (DistanceToSegment(p, pts[i - 1], pts[i]) <= reach) return true;
                }
            }
        }
        for (size_t f = 1; f < winding.size(); ++f) {
            if (shape.usesNonZeroWinding ? winding[f] != 0 : (winding[f] & 1) != 0) return true;
        }
    }
    return false;
}

PixelRect ShapePixelBounds(const Shape& shape, const Matrix& toPixels) {
    double minX = std::numeric_limits<double>::max(), minY = minX;
    double maxX = std::numeric_limits<double>::lowest(), maxY = maxX;
    double reach = 0;  // how far strokes reach past the edges, in pixels
    auto include = [&](PointF q) {
        minX = std::min(minX, q.x), maxX = std::max(maxX, q.x);
        minY = std::min(minY, q.y), maxY = std::max(maxY, q.y);
    };
    for (const ShapeLayer& layer : shape.layers) {
        for (const LineStyle& line : layer.lines) {
            // Square caps reach a diagonal half-width; miters up to their limit.
            const double factor = line.join == JoinStyle::Miter
                                      ? std::max<double>(line.miterLimit, std::numbers::sqrt2)
                                      : std::numbers::sqrt2;
            reach = std::max(reach, StrokePixelWidth(line, toPixels) / 2 * std::min(factor, 100.0));
        }
        for (const ShapeEdge& e : layer.edges) {
            include(Transform(toPixels, e.x0, e.y0));
            include(Transform(toPixels, e.x1, e.y1));
            // A quadratic curve lies within the triangle of its points.
            if (e.curved) include(Transform(toPixels, e.cx, e.cy));
        }
    }
    if (maxX < minX) return {};
    const double pad = reach + 1;  // anti-aliasing touches one more pixel
    return {ToPixel(std::floor(minX - pad)), ToPixel(std::floor(minY - pad)),
            ToPixel(std::ceil(maxX + pad)), ToPixel(std::ceil(maxY + pad))};
}

PixelRect BitmapPixelBounds(const Bitmap& bitmap, const Matrix& toPixels) {
    double minX = std::numeric_limits<double>::max(), minY = minX;
    double maxX = std::numeric_limits<double>::lowest(), maxY = maxX;
    for (auto [x, y] : {std::pair{0, 0}, {bitmap.width, 0}, {0, bitmap.height}, {bitmap.width, bitmap.height}}) {
        const PointF q = Transform(toPixels, x * 20, y * 20);
        minX = std::min(minX, q.x), maxX = std::max(maxX, q.x);
        minY = std::min(minY, q.y), maxY = std::max(maxY, q.y);
    }
    return {ToPixel(std::floor(minX)), ToPixel(std::floor(minY)), ToPixel(std::ceil(maxX)), ToPixel(std::ceil(maxY))};
}

}  // namespace velmora::raster
