// DefineShape 1-4 and DefineMorphShape 1-2 decoded into the renderer's Shape form.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "engine/core/shape.h"
#include "engine/swf/bit_reader.h"

namespace velmora::swf {

// Decodes SHAPEWITHSTYLE records (the part after the style arrays' owner has read them):
// `layer` holds the first style group; NewStyles records start further layers.
// Returns false when the records are malformed; the layers decoded so far stay.
bool ReadShapeRecords(BitReader& r, int shapeVersion, Shape& shape);

// Body of DefineShape/2/3/4 after the character id.
std::optional<Shape> ReadDefineShape(std::span<const uint8_t> body, int shapeVersion);

// A glyph's SHAPE (the font tags): one implicit fill and no style changes. The result has
// one layer with a white solid fill and the non-zero rule, as Flash fills glyphs. Records
// cut short keep the edges read so far.
Shape ReadGlyphShape(std::span<const uint8_t> bytes);

struct MorphGradientStop {
    GradientStop start, end;
};

struct MorphFillStyle {
    FillKind kind = FillKind::Solid;
    Rgba startColor, endColor;
    Matrix startMatrix, endMatrix;
    SpreadMode spread = SpreadMode::Pad;
    Interpolation interpolation = Interpolation::Rgb;
    std::vector<MorphGradientStop> stops;
    float startFocal = 0, endFocal = 0;
    uint16_t bitmapId = 0;
};

struct MorphLineStyle {
    uint16_t startWidth = 0, endWidth = 0;
    Rgba startColor, endColor;
    LineStyle style;  // caps, joins and flags (DefineMorphShape2)
    bool hasFill = false;
    MorphFillStyle fill;
};

struct MorphShape {
    RectTwips startBounds, endBounds;
    std::vector<MorphFillStyle> fills;
    std::vector<MorphLineStyle> lines;
    std::vector<ShapeEdge> startEdges;  // carry the style indices
    std::vector<ShapeEdge> endEdges;    // positions only, paired with startEdges by index
};

// Body of DefineMorphShape/2 after the character id; version is 1 or 2.
std::optional<MorphShape> ReadDefineMorphShape(std::span<const uint8_t> body, int version);

// The morph at ratio 0..65535 (0: start shape, 65535: end shape).
Shape InterpolateMorph(const MorphShape& morph, uint16_t ratio);

}  // namespace velmora::swf
