// The display list flattened into renderer calls, and the difference between two such
// lists as the screen area that must be redrawn.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/core/geometry.h"
#include "engine/movie/display_object.h"
#include "engine/raster/renderer.h"

namespace velmora::movie {

struct DrawCommand {
    enum class Op : uint8_t { Shape, PushMask, BeginMasked, PopMask, PushLayer, PopLayer };
    Op op = Op::Shape;
    uint64_t key = 0;  // instance serial; identifies the command across frames
    const Shape* shape = nullptr;        // a shape, or
    const text::TextPicture* text = nullptr;  // a text drawing, or
    const raster::BitmapBuffer* bitmap = nullptr;  // a script bitmap, at a version of its pixels
    uint64_t bitmapVersion = 0;
    bool smooth = false;
    uint16_t ratio = 0;  // morphs get a new shape per ratio; the address alone may repeat
    Matrix toPixels;
    ColorTransform colorTransform;
    raster::PixelRect bounds;
    int margin = 0;              // PushLayer: how far the layer's effect spreads its content
    raster::LayerEffect effect;  // PopLayer
};

using DrawList = std::vector<DrawCommand>;

// Appends the commands drawing `list` under a parent transform; the transform's scale
// is also the stage scale that filters follow.
void BuildDrawList(DisplayList& list, const Matrix& toPixels, const ColorTransform& colorTransform,
                   DrawList& out);

// The commands drawing one instance's content under `toPixels`, its own placement left out.
void BuildContentDrawList(DisplayObject& object, const Matrix& toPixels, const ColorTransform& colorTransform,
                          DrawList& out);

// Area that differs between two draw lists; `whole` when their structure differs.
raster::PixelRect ChangedArea(const DrawList& before, const DrawList& after, const raster::PixelRect& whole);

void Execute(raster::Renderer& renderer, const DrawList& list);

bool IsEmpty(const raster::PixelRect& r);
raster::PixelRect Union(const raster::PixelRect& a, const raster::PixelRect& b);
raster::PixelRect Intersection(const raster::PixelRect& a, const raster::PixelRect& b);

}  // namespace velmora::movie
