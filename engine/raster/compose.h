// Offscreen layers put back onto what lies below them: blend modes and colour
// transforms over whole premultiplied pictures.
#pragma once

#include <cstdint>

#include "engine/core/filter.h"
#include "engine/core/geometry.h"
#include "engine/raster/renderer.h"

namespace velmora::raster {

// One premultiplied source pixel blended onto a premultiplied destination pixel.
uint32_t BlendPixel(uint32_t src, uint32_t dst, BlendMode mode);

// Blends the layer's pixels inside `area` onto the target's; `mask` (one byte per
// target pixel, or nullptr) scales the layer first.
void CompositeLayer(const Surface& layer, Surface& target, const PixelRect& area, BlendMode mode,
                    const uint8_t* mask);

// A colour transform applied to premultiplied pixels (through their straight colours).
void TransformPixels(Surface& surface, const PixelRect& area, const ColorTransform& cx);

}  // namespace velmora::raster
