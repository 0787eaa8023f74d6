// Bitmap filters over an object's offscreen picture: blur, drop shadow, glow, bevel,
// gradient glow/bevel, colour matrix and convolution.
#pragma once

#include <vector>

#include "engine/core/filter.h"
#include "engine/raster/renderer.h"

namespace velmora::raster {

// How far (device pixels) the filters may spread a picture beyond its own pixels;
// `scale` maps the filters' stage pixels to device pixels.
int FilterMargin(const std::vector<Filter>& filters, double scale);

// Replaces the premultiplied picture inside `area` by its filtered form, the filters
// applied in order. Pixels outside the area count as transparent.
void ApplyFilters(Surface& surface, const PixelRect& area, const std::vector<Filter>& filters, double scale);

// One filter on a standalone picture, in place (BitmapData.applyFilter).
void ApplyFilter(Surface& surface, const PixelRect& area, const Filter& filter, double scale);

}  // namespace velmora::raster
