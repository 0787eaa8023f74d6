#include "tools/swfgen/shape_builder.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace velmora::swfgen {

FillStyle SolidFill(Rgba color) {
    FillStyle f;
    f.color = color;
    return f;
}

FillStyle GradientFill(FillKind kind, std::initializer_list<GradientStop> stops, double x, double y,
                       double w, double h) {
    FillStyle f;
    f.kind = kind;
    f.gradient.stops = stops;
    // The gradient square spans -16384..16384 twips.
    f.matrix = {w / 32768.0, 0, 0, h / 32768.0, x + w / 2, y + h / 2};
    return f;
}

FillStyle BitmapFill(uint16_t bitmapId, bool repeating, bool smoothed, double x, double y,
                     double twipsPerPixel) {
    FillStyle f;
    f.kind = repeating ? (smoothed ? FillKind::RepeatingBitmap : FillKind::RepeatingBitmapNearest)
                       : (smoothed ? FillKind::ClippedBitmap : FillKind::ClippedBitmapNearest);
    f.bitmapId = bitmapId;
    f.matrix = {twipsPerPixel, 0, 0, twipsPerPixel, x, y};
    return f;
}

LineStyle Stroke(uint16_t widthTwips, Rgba color) {
    LineStyle l;
    l.width = widthTwips;
    l.color = color;
    return l;
}

ShapeBuilder::ShapeBuilder() { m_shape.layers.emplace_back(); }

uint32_t ShapeBuilder::AddFill(const FillStyle& fill) {
    m_shape.layers.back().fills.push_back(fill);
    return static_cast<uint32_t>(m_shape.layers.back().fills.size());
}

uint32_t ShapeBuilder::AddLine(const LineStyle& line) {
    m_shape.layers.back().lines.push_back(line);
    return static_cast<uint32_t>(m_shape.layers.back().lines.size());
}

void ShapeBuilder::NewLayer() {
    m_shape.layers.emplace_back();
    m_fill0 = m_fill1 = m_line = 0;
}

void ShapeBuilder::SetStyles(uint32_t fill0, uint32_t fill1, uint32_t line) {
    m_fill0 = fill0;
    m_fill1 = fill1;
    m_line = line;
}

void ShapeBuilder::MoveTo(int32_t x, int32_t y) {
    m_x = x;
    m_y = y;
}

void ShapeBuilder::AddEdge(bool curved, int32_t cx, int32_t cy, int32_t x, int32_t y) {
    ShapeEdge e;
    e.x0 = m_x;
    e.y0 = m_y;
    e.cx = cx;
    e.cy = cy;
    e.x1 = x;
    e.y1 = y;
    e.curved = curved;
    e.fill0 = m_fill0;
    e.fill1 = m_fill1;
    e.line = m_line;
    m_shape.layers.back().edges.push_back(e);
    MoveTo(x, y);
}

void ShapeBuilder::LineTo(int32_t x, int32_t y) { AddEdge(false, 0, 0, x, y); }

void ShapeBuilder::CurveTo(int32_t cx, int32_t cy, int32_t x, int32_t y) { AddEdge(true, cx, cy, x, y); }

void ShapeBuilder::Rect(int32_t x, int32_t y, int32_t w, int32_t h) {
    MoveTo(x, y);
    LineTo(x + w, y);
    LineTo(x + w, y + h);
    LineTo(x, y + h);
    LineTo(x, y);
}

void ShapeBuilder::Ellipse(int32_t cx, int32_t cy, int32_t rx, int32_t ry) {
    // Eight quadratic segments; the control point sits on the tangent intersection.
    constexpr int kSegments = 8;
    const double step = 2 * std::numbers::pi / kSegments;
    const double k = 1.0 / std::cos(step / 2);
    MoveTo(cx + rx, cy);
    for (int i = 1; i <= kSegments; ++i) {
        double mid = (i - 0.5) * step, end = i * step;
        CurveTo(cx + static_cast<int32_t>(std::lround(rx * k * std::cos(mid))),
                cy + static_cast<int32_t>(std::lround(ry * k * std::sin(mid))),
                cx + static_cast<int32_t>(std::lround(rx * std::cos(end))),
                cy + static_cast<int32_t>(std::lround(ry * std::sin(end))));
    }
}

Shape ShapeBuilder::Build(int shapeVersion) const {
    Shape shape = m_shape;
    int32_t xMin = INT32_MAX, yMin = INT32_MAX, xMax = INT32_MIN, yMax = INT32_MIN;
    int32_t halfStroke = 0;
    for (const auto& layer : shape.layers) {
        for (const auto& l : layer.lines) halfStroke = std::max<int32_t>(halfStroke, l.width / 2);
        for (const auto& e : layer.edges) {
            int points = e.curved ? 3 : 2;
            const std::pair<int32_t, int32_t> xy[] = {{e.x0, e.y0}, {e.x1, e.y1}, {e.cx, e.cy}};
            for (int i = 0; i < points; ++i) {
                auto [x, y] = xy[i];
                xMin = std::min(xMin, x);
                yMin = std::min(yMin, y);
                xMax = std::max(xMax, x);
                yMax = std::max(yMax, y);
            }
        }
    }
    if (xMin > xMax) xMin = yMin = xMax = yMax = 0;
    shape.edgeBounds = {xMin, xMax, yMin, yMax};
    shape.bounds = {xMin - halfStroke, xMax + halfStroke, yMin - halfStroke, yMax + halfStroke};
    if (shapeVersion < 4) shape.edgeBounds = shape.bounds;
    return shape;
}

}  // namespace velmora::swfgen
