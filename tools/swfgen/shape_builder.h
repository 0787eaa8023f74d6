// Draws shapes in twips the way an authoring tool would: pick styles, move, line, curve.
#pragma once

#include <cstdint>

#include "engine/core/shape.h"

namespace velmora::swfgen {

FillStyle SolidFill(Rgba color);
// Gradient fill over the rectangle (x, y, w, h) in twips: linear left to right, radial
// centred in it.
FillStyle GradientFill(FillKind kind, std::initializer_list<GradientStop> stops, double x, double y,
                       double w, double h);
// Bitmap fill mapping one bitmap pixel to `twipsPerPixel` twips from (x, y).
FillStyle BitmapFill(uint16_t bitmapId, bool repeating, bool smoothed, double x, double y,
                     double twipsPerPixel);
LineStyle Stroke(uint16_t widthTwips, Rgba color);

class ShapeBuilder {
public:
    ShapeBuilder();
    // Styles are added to the current layer; the returned index selects them.
    uint32_t AddFill(const FillStyle& fill);
    uint32_t AddLine(const LineStyle& line);
    // Starts a new style group (NewStyles).
    void NewLayer();
    void SetStyles(uint32_t fill0, uint32_t fill1, uint32_t line);

    void MoveTo(int32_t x, int32_t y);
    void LineTo(int32_t x, int32_t y);
    void CurveTo(int32_t cx, int32_t cy, int32_t x, int32_t y);
    // Closed outlines drawn clockwise (on screen), filled by fill0 of the current styles.
    void Rect(int32_t x, int32_t y, int32_t w, int32_t h);
    void Ellipse(int32_t cx, int32_t cy, int32_t rx, int32_t ry);

    Shape Build(int shapeVersion = 3) const;

private:
    void AddEdge(bool curved, int32_t cx, int32_t cy, int32_t x, int32_t y);

    Shape m_shape;
    int32_t m_x = 0, m_y = 0;
    uint32_t m_fill0 = 0, m_fill1 = 0, m_line = 0;
};

}  // namespace velmora::swfgen
