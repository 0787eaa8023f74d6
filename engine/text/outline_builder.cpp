#include "engine/text/outline_builder.h"

#include <cmath>

namespace velmora::text {

namespace {

// Beyond any real font's coordinates; hostile input cannot overflow the edges.
int32_t Coordinate(double v) { return std::isfinite(v) ? static_cast<int32_t>(std::lround(std::fmax(-1e8, std::fmin(1e8, v)))) : 0; }

}  // namespace

OutlineBuilder::OutlineBuilder(double shear) : m_shear(shear) {
    ShapeLayer& layer = m_shape.layers.emplace_back();
    layer.fills.push_back(FillStyle{FillKind::Solid, Rgba{255, 255, 255, 255}});
    m_shape.usesNonZeroWinding = true;
}

OutlineBuilder::Point OutlineBuilder::Map(double x, double y) const {
    return {Coordinate(x + m_shear * y), Coordinate(-y)};
}

void OutlineBuilder::Edge(bool curved, Point control, Point to) {
    const Point from = Map(m_x, m_y);
    if (from.x == to.x && from.y == to.y) return;
    ShapeEdge e;
    e.x0 = from.x, e.y0 = from.y;
    e.x1 = to.x, e.y1 = to.y;
    e.curved = curved;
    if (curved) e.cx = control.x, e.cy = control.y;
    e.fill0 = 1;
    m_shape.layers[0].edges.push_back(e);
}

void OutlineBuilder::MoveTo(double x, double y) {
    Close();
    m_x = m_startX = x;
    m_y = m_startY = y;
    m_open = true;
}

void OutlineBuilder::LineTo(double x, double y) {
    Edge(false, {}, Map(x, y));
    m_x = x, m_y = y;
}

void OutlineBuilder::QuadTo(double cx, double cy, double x, double y) {
    Edge(true, Map(cx, cy), Map(x, y));
    m_x = x, m_y = y;
}

void OutlineBuilder::CubicTo(double c1x, double c1y, double c2x, double c2y, double x, double y) {
    // Four quadratics, each through the cubic's points at its ends and mid-parameter:
    // close enough at text sizes.
    constexpr int kPieces = 4;
    const double x0 = m_x, y0 = m_y;
    auto at = [&](double t, double& px, double& py) {
        const double u = 1 - t;
        px = u * u * u * x0 + 3 * u * u * t * c1x + 3 * u * t * t * c2x + t * t * t * x;
        py = u * u * u * y0 + 3 * u * u * t * c1y + 3 * u * t * t * c2y + t * t * t * y;
    };
    for (int i = 1; i <= kPieces; ++i) {
        double ex, ey, mx, my;
        at(static_cast<double>(i) / kPieces, ex, ey);
        at((i - 0.5) / kPieces, mx, my);
        // The control point making the quadratic pass through the mid point.
        QuadTo(2 * mx - (m_x + ex) / 2, 2 * my - (m_y + ey) / 2, ex, ey);
    }
}

void OutlineBuilder::Close() {
    if (m_open && (m_x != m_startX || m_y != m_startY)) LineTo(m_startX, m_startY);
    m_open = false;
}

Shape OutlineBuilder::Take() {
    Close();
    Shape out = std::move(m_shape);
    *this = OutlineBuilder(m_shear);
    return out;
}

}  // namespace velmora::text
