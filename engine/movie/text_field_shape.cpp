#include "engine/movie/text_field_shape.h"

namespace velmora::movie {

namespace {

Rgba FromRgb(uint32_t c) {
    return {static_cast<uint8_t>(c >> 16), static_cast<uint8_t>(c >> 8), static_cast<uint8_t>(c), 255};
}

void AddRect(ShapeLayer& layer, const RectTwips& r, uint32_t fill, uint32_t line) {
    const int32_t xs[] = {r.xMin, r.xMax, r.xMax, r.xMin, r.xMin};
    const int32_t ys[] = {r.yMin, r.yMin, r.yMax, r.yMax, r.yMin};
    for (int i = 0; i < 4; ++i) {
        ShapeEdge e;
        e.x0 = xs[i];
        e.y0 = ys[i];
        e.x1 = xs[i + 1];
        e.y1 = ys[i + 1];
        e.fill1 = fill;
        e.line = line;
        layer.edges.push_back(e);
    }
}

}  // namespace

Shape TextFieldShape(text::EditText& field) {
    Shape shape;
    shape.bounds = shape.edgeBounds = field.Box();
    if (field.background || field.border) {
        ShapeLayer layer;
        uint32_t fill = 0, line = 0;
        if (field.background) {
            FillStyle f;
            f.color = FromRgb(field.backgroundColor);
            layer.fills.push_back(f);
            fill = 1;
        }
        if (field.border) {
            LineStyle l;
            l.width = 0;  // a hairline, as Flash draws field borders
            l.color = FromRgb(field.borderColor);
            layer.lines.push_back(l);
            line = 1;
        }
        AddRect(layer, shape.bounds, fill, line);
        shape.layers.push_back(std::move(layer));
    }
    return shape;
}

}  // namespace velmora::movie
