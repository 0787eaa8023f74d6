// The software renderer's interface: what the display list calls to draw a frame.
// Implementation lives in engine/raster; callers are engine/movie (and later text).
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "engine/core/filter.h"
#include "engine/core/geometry.h"
#include "engine/core/shape.h"

namespace velmora::raster {

// Premultiplied BGRA pixels (0xAARRGGBB in a uint32_t), rows top to bottom.
class Surface {
public:
    Surface() = default;
    Surface(int width, int height) { Resize(width, height); }
    void Resize(int width, int height) {
        m_width = width > 0 ? width : 0;
        m_height = height > 0 ? height : 0;
        m_pixels.assign(static_cast<size_t>(m_width) * m_height, 0);
    }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    uint32_t* Row(int y) { return m_pixels.data() + static_cast<size_t>(y) * m_width; }
    const uint32_t* Row(int y) const { return m_pixels.data() + static_cast<size_t>(y) * m_width; }
    uint32_t* Data() { return m_pixels.data(); }
    const uint32_t* Data() const { return m_pixels.data(); }

private:
    int m_width = 0, m_height = 0;
    std::vector<uint32_t> m_pixels;
};

enum class Quality : uint8_t { Low, High };  // Low: aliased; High: anti-aliased

struct PixelRect {
    int left = 0, top = 0, right = 0, bottom = 0;  // right/bottom exclusive
};

// How a layer's picture goes back onto what lies below it: filtered, colour-transformed,
// then blended. `filterScale` maps the filters' stage pixels to device pixels.
struct LayerEffect {
    BlendMode blend = BlendMode::Normal;
    ColorTransform colorTransform;
    std::vector<Filter> filters;
    double filterScale = 1;
    friend bool operator==(const LayerEffect&, const LayerEffect&) = default;
};

// Finds a decoded bitmap by character id; returns nullptr when unknown.
using BitmapLookup = std::function<const Bitmap*(uint16_t id)>;

// Draws one frame into a surface. Usage per frame:
//   Renderer r(surface, quality, lookup); r.SetClip(dirty); r.Clear(bg);
//   r.DrawShape(...); r.PushMask(); <draw mask shapes>; r.BeginMasked(); <draw clipped>; r.PopMask();
class Renderer {
public:
    Renderer(Surface& target, Quality quality, BitmapLookup bitmaps);
    ~Renderer();
    Renderer(const Renderer&) = delete;
    Renderer& operator=(const Renderer&) = delete;

    // Restricts all drawing to a rectangle (the dirty region); default: the whole surface.
    void SetClip(const PixelRect& clip);
    void Clear(Rgba background);
    // `toPixels` maps shape twips to surface pixels.
    void DrawShape(const Shape& shape, const Matrix& toPixels, const ColorTransform& cx);
    // A premultiplied picture whose pixels are 20 units wide under `toPixels`, like twips.
    void DrawBitmap(const Bitmap& bitmap, const Matrix& toPixels, const ColorTransform& cx, bool smooth);

    // Masks (clip depths): shapes drawn between PushMask and BeginMasked form the mask
    // (their coverage, colours ignored); what is drawn after BeginMasked until PopMask is
    // clipped by it. Masks nest.
    void PushMask();
    void BeginMasked();
    void PopMask();

    // Layers: what is drawn between PushLayer and PopLayer goes to an offscreen picture
    // that PopLayer puts back with the effect. `margin` is how far (pixels) the effect may
    // spread content, so drawing inside the layer reaches that far beyond the clip;
    // `area` bounds the layer's content with its effect, and all work on the layer.
    // Masks open outside a layer apply to the layer as a whole. Layers nest.
    void PushLayer(int margin, const PixelRect& area);
    void PopLayer(const LayerEffect& effect);

private:
    struct Impl;
    Impl* m_impl;
};

// True when the point (shape twips) lies inside any fill or stroke of the shape.
bool HitTestShape(const Shape& shape, PointF pointTwips);

// Device-space bounds of a shape under a matrix, strokes included (for dirty regions).
PixelRect ShapePixelBounds(const Shape& shape, const Matrix& toPixels);
PixelRect BitmapPixelBounds(const Bitmap& bitmap, const Matrix& toPixels);

}  // namespace velmora::raster
