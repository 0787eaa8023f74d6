#include "engine/movie/drawing.h"

#include <algorithm>

namespace velmora::movie {

void Drawing::Clear() {
    m_shape = Shape{};
    m_fill = m_line = 0;
    m_x = m_y = m_startX = m_startY = 0;
    m_fillHasEdges = false;
    m_hasEdges = false;
    m_changed = true;
}

void Drawing::SetLine(const LineStyle* style) {
    if (!style) {
        m_line = 0;
        return;
    }
    if (m_shape.layers.empty()) m_shape.layers.emplace_back();
    m_shape.layers.back().lines.push_back(*style);
    m_line = static_cast<uint32_t>(m_shape.layers.back().lines.size());
}

void Drawing::SetFill(const FillStyle* style) {
    CloseFill();
    m_fill = 0;
    if (!style) return;
    if (m_shape.layers.empty()) m_shape.layers.emplace_back();
    m_shape.layers.back().fills.push_back(*style);
    m_fill = static_cast<uint32_t>(m_shape.layers.back().fills.size());
    m_startX = m_x;
    m_startY = m_y;
}

void Drawing::CloseFill() {
    // A fill's outline is closed back to where it started; the closing edge draws no line.
    if (m_fill && m_fillHasEdges && (m_x != m_startX || m_y != m_startY)) {
        const uint32_t line = m_line;
        m_line = 0;
        LineTo(m_startX, m_startY);
        m_line = line;
    }
    m_fillHasEdges = false;
}

void Drawing::MoveTo(int32_t x, int32_t y) {
    CloseFill();
    m_x = m_startX = x;
    m_y = m_startY = y;
}

void Drawing::LineTo(int32_t x, int32_t y) { AddEdge({m_x, m_y, 0, 0, x, y, false}); }

void Drawing::CurveTo(int32_t cx, int32_t cy, int32_t x, int32_t y) { AddEdge({m_x, m_y, cx, cy, x, y, true}); }

void Drawing::AddEdge(ShapeEdge e) {
    if (m_shape.layers.empty()) m_shape.layers.emplace_back();
    ShapeLayer& layer = m_shape.layers.back();
    e.fill0 = m_fill;
    e.line = m_line;
    const int32_t halfWidth = m_line ? layer.lines[m_line - 1].width / 2 : 0;
    if (m_fill || m_line) {
        layer.edges.push_back(e);
        Grow(e.x0, e.y0, halfWidth);
        Grow(e.x1, e.y1, halfWidth);
        if (e.curved) Grow(e.cx, e.cy, halfWidth);
    }
    m_fillHasEdges |= m_fill != 0;
    m_x = e.x1;
    m_y = e.y1;
}

void Drawing::Grow(int32_t x, int32_t y, int32_t halfWidth) {
    RectTwips& b = m_shape.bounds;
    if (!m_hasEdges) b = {x, x, y, y};
    m_hasEdges = true;
    b.xMin = std::min(b.xMin, x - halfWidth);
    b.xMax = std::max(b.xMax, x + halfWidth);
    b.yMin = std::min(b.yMin, y - halfWidth);
    b.yMax = std::max(b.yMax, y + halfWidth);
    m_shape.edgeBounds = b;
    m_changed = true;
}

const Shape* Drawing::Current() {
    if (m_changed) {
        m_published = std::make_shared<const Shape>(m_shape);
        m_changed = false;
    }
    return m_hasEdges ? m_published.get() : nullptr;
}

}  // namespace velmora::movie
