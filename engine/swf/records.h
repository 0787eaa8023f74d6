// Basic SWF records: RECT, MATRIX, CXFORM, colours, fill and line styles, and the
// filter list of PlaceObject3 / DefineButton2.
#pragma once

#include <cstdint>
#include <vector>

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

enum class FilterKind : uint8_t {
    DropShadow, Blur, Glow, Bevel, GradientGlow, Convolution, ColorMatrix, GradientBevel
};

// One bitmap filter. Fields a filter kind does not use stay at their defaults.
struct Filter {
    FilterKind kind = FilterKind::Blur;
    std::vector<Rgba> colors;      // shadow/glow/highlight colours, gradient colours
    std::vector<uint8_t> ratios;   // gradient filters
    double blurX = 0, blurY = 0, angle = 0, distance = 0;
    float strength = 0;
    bool inner = false, knockout = false, compositeSource = false, onTop = false;
    unsigned passes = 0;
    std::vector<float> matrix;     // colour matrix (20) or convolution (w*h)
    unsigned matrixX = 0, matrixY = 0;
    float divisor = 1, bias = 0;
    Rgba defaultColor;
    bool clamp = false, preserveAlpha = false;
};

std::vector<Filter> ReadFilterList(BitReader& r);

// PlaceObject3 / button record blend modes (0 and 1 are both normal).
enum class BlendMode : uint8_t {
    Normal = 1, Layer, Multiply, Screen, Lighten, Darken, Difference, Add, Subtract,
    Invert, Alpha, Erase, Overlay, HardLight
};
BlendMode ToBlendMode(uint8_t raw);

}  // namespace velmora::swf
