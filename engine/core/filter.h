// Bitmap filters and blend modes of display objects: what PlaceObject3 records and
// scripts set, and what the renderer applies to an object's offscreen picture.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/core/geometry.h"

namespace velmora {

// In SWF filter-id order; displacement maps come from scripts only.
enum class FilterKind : uint8_t {
    DropShadow, Blur, Glow, Bevel, GradientGlow, Convolution, ColorMatrix, GradientBevel, DisplacementMap
};

// One bitmap filter. Fields a filter kind does not use stay at their defaults. Distances
// and blur sizes are in stage pixels, the angle in radians.
struct Filter {
    FilterKind kind = FilterKind::Blur;
    std::vector<Rgba> colors;      // shadow/glow colour; bevel highlight then shadow; gradient colours
    std::vector<uint8_t> ratios;   // gradient filters
    double blurX = 0, blurY = 0, angle = 0, distance = 0;
    float strength = 0;
    bool inner = false, knockout = false, compositeSource = false, onTop = false;
    unsigned passes = 0;
    std::vector<float> matrix;     // colour matrix (20) or convolution (w*h)
    unsigned matrixX = 0, matrixY = 0;
    float divisor = 1, bias = 0;
    Rgba defaultColor;             // convolution and displacement substitute colour
    bool clamp = false, preserveAlpha = false;
    // Displacement map: where the map starts, the map channels that move x and y, how far,
    // and what shows beyond the edges (0 wrap, 1 clamp, 2 ignore, 3 colour).
    double mapX = 0, mapY = 0, scaleX = 0, scaleY = 0;
    unsigned componentX = 0, componentY = 0;
    uint8_t mode = 0;

    friend bool operator==(const Filter&, const Filter&) = default;
};

// PlaceObject3 / button record blend modes, numbered as in the SWF (0 and 1 are both normal).
enum class BlendMode : uint8_t {
    Normal = 1, Layer, Multiply, Screen, Lighten, Darken, Difference, Add, Subtract,
    Invert, Alpha, Erase, Overlay, HardLight
};

}  // namespace velmora
