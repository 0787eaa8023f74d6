// A shape as the renderer consumes it: the SWF reader decodes DefineShape 1-4 (and a
// morph shape at a given ratio) into this form; the renderer fills and strokes it.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/core/geometry.h"

namespace velmora {

enum class FillKind : uint8_t {
    Solid,
    LinearGradient,
    RadialGradient,
    FocalGradient,
    RepeatingBitmap,
    ClippedBitmap,
    RepeatingBitmapNearest,  // SWF 8 "non-smoothed"
    ClippedBitmapNearest,
};

enum class SpreadMode : uint8_t { Pad, Reflect, Repeat };
enum class Interpolation : uint8_t { Rgb, LinearRgb };

struct GradientStop {
    uint8_t ratio = 0;
    Rgba color;
};

struct Gradient {
    SpreadMode spread = SpreadMode::Pad;
    Interpolation interpolation = Interpolation::Rgb;
    float focalPoint = 0;  // -1..1, FocalGradient only
    std::vector<GradientStop> stops;  // as stored (ratios may be unsorted or equal)
};

struct FillStyle {
    FillKind kind = FillKind::Solid;
    Rgba color;            // Solid
    Matrix matrix;         // gradient square (-16384..16384) or bitmap pixels -> shape twips
    Gradient gradient;     // gradient kinds
    uint16_t bitmapId = 0; // bitmap kinds; 0xFFFF or unknown id draws nothing
};

enum class CapStyle : uint8_t { Round, None, Square };
enum class JoinStyle : uint8_t { Round, Bevel, Miter };

struct LineStyle {
    uint16_t width = 0;  // twips; 0 is a hairline (one pixel wide at any scale)
    Rgba color;
    CapStyle startCap = CapStyle::Round, endCap = CapStyle::Round;
    JoinStyle join = JoinStyle::Round;
    float miterLimit = 3;
    bool noHScale = false, noVScale = false, pixelHinting = false, noClose = false;
    bool hasFill = false;  // LINESTYLE2 with a fill: `fill` paints the stroke
    FillStyle fill;
};

// One edge in absolute twips. A straight edge has curved == false and ignores the control
// point. fill0/fill1 are 1-based indices into the layer's fills (0: none): fill0 is on the
// left of the edge's direction of travel, fill1 on its right (Flash's two-sided edges);
// line is a 1-based index into the layer's lines (0: none).
struct ShapeEdge {
    int32_t x0 = 0, y0 = 0, cx = 0, cy = 0, x1 = 0, y1 = 0;
    bool curved = false;
    uint32_t fill0 = 0, fill1 = 0, line = 0;
};

// Each NewStyles record of a shape starts a layer; layers are drawn in order, and within a
// layer all fills first, then all strokes.
struct ShapeLayer {
    std::vector<FillStyle> fills;
    std::vector<LineStyle> lines;
    std::vector<ShapeEdge> edges;
};

struct Shape {
    RectTwips bounds;
    RectTwips edgeBounds;  // DefineShape4; equals bounds otherwise
    bool usesNonZeroWinding = false;  // DefineShape4 flag; otherwise even-odd
    std::vector<ShapeLayer> layers;
};

// Decoded bitmap: premultiplied BGRA, rows top to bottom, stride == width.
struct Bitmap {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;
};

}  // namespace velmora
