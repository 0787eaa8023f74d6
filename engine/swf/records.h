// Basic SWF records: RECT, MATRIX, CXFORM, colours, fill and line styles, and the
// filter list of PlaceObject3 / DefineButton2.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/core/filter.h"
#include "engine/core/geometry.h"
#include "engine/core/shape.h"
#include "engine/swf/bit_reader.h"

namespace velmora::swf {

RectTwips ReadRect(BitReader& r);
Matrix ReadMatrix(BitReader& r);
ColorTransform ReadColorTransform(BitReader& r, bool withAlpha);
Rgba ReadRgb(BitReader& r);
Rgba ReadRgba(BitReader& r);

// Shape tag generation: 1..4 for DefineShape..DefineShape4. Colours are RGBA from 3 on,
// line styles are LINESTYLE2 in 4.
FillStyle ReadFillStyle(BitReader& r, int shapeVersion);
// The bitmap fill kind of fill style types 0x40..0x43.
FillKind BitmapFillKind(uint8_t type);
std::vector<FillStyle> ReadFillStyles(BitReader& r, int shapeVersion);
std::vector<LineStyle> ReadLineStyles(BitReader& r, int shapeVersion);

using velmora::Filter;
using velmora::FilterKind;

std::vector<Filter> ReadFilterList(BitReader& r);

using velmora::BlendMode;
BlendMode ToBlendMode(uint8_t raw);

}  // namespace velmora::swf
