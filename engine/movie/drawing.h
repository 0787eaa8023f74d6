// What a script draws into a clip with the drawing API (lineStyle, beginFill, moveTo,
// lineTo, curveTo, endFill, clear): kept as one shape in the clip's own twips, drawn
// below the clip's children.
#pragma once

#include <cstdint>
#include <memory>

#include "engine/core/shape.h"

namespace velmora::movie {

class Drawing {
public:
    void Clear();
    // width in twips; no style: the following edges draw no line.
    void SetLine(const LineStyle* style);
    // Closes the open fill; no style: the following edges fill nothing.
    void SetFill(const FillStyle* style);
    void MoveTo(int32_t x, int32_t y);
    void LineTo(int32_t x, int32_t y);
    void CurveTo(int32_t cx, int32_t cy, int32_t x, int32_t y);
    // The shape so far; nullptr while nothing was drawn. Valid until the next change.
    const Shape* Current();

private:
    void AddEdge(ShapeEdge edge);
    void CloseFill();
    void Grow(int32_t x, int32_t y, int32_t halfWidth);

    Shape m_shape;
    std::shared_ptr<const Shape> m_published;
    bool m_changed = false;
    uint32_t m_fill = 0, m_line = 0;  // 1-based style indices, 0: none
    int32_t m_x = 0, m_y = 0;         // pen
    int32_t m_startX = 0, m_startY = 0;  // where the open fill's outline began
    bool m_fillHasEdges = false;
    bool m_hasEdges = false;
};

}  // namespace velmora::movie
