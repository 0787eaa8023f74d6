// Writers for the SWF records the engine reads (engine/swf/records.h, shape_reader.h):
// each Write* produces the bytes its Read* counterpart decodes back to the same value.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/core/shape.h"
#include "engine/swf/records.h"
#include "engine/swf/shape_reader.h"
#include "tools/swfgen/bit_writer.h"

namespace velmora::swfgen {

void WriteRect(BitWriter& w, const RectTwips& rect);
void WriteMatrix(BitWriter& w, const Matrix& m);
void WriteColorTransform(BitWriter& w, const ColorTransform& cx, bool withAlpha);
void WriteRgb(BitWriter& w, Rgba c);
void WriteRgba(BitWriter& w, Rgba c);
void WriteFillStyle(BitWriter& w, const FillStyle& fill, int shapeVersion);
void WriteFillStyles(BitWriter& w, const std::vector<FillStyle>& fills, int shapeVersion);
void WriteLineStyles(BitWriter& w, const std::vector<LineStyle>& lines, int shapeVersion);
void WriteFilterList(BitWriter& w, const std::vector<swf::Filter>& filters);

// Style arrays of the first layer and all shape records (the part of a shape tag after
// the bounds); further layers become NewStyles records (shape version 2 and up).
void WriteShapeWithStyles(BitWriter& w, const Shape& shape, int shapeVersion);
// A glyph's SHAPE: fill 1 only, edges of every layer; the mirror of swf::ReadGlyphShape.
void WriteGlyphShape(BitWriter& w, const Shape& glyph);
// Body of DefineShape/2/3/4 after the character id.
std::vector<uint8_t> ShapeBody(const Shape& shape, int shapeVersion);
// Body of DefineMorphShape (version 1) after the character id.
std::vector<uint8_t> MorphShapeBody(const swf::MorphShape& morph);

}  // namespace velmora::swfgen
