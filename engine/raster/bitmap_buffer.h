// The pixels of a script-made bitmap (BitmapData): premultiplied storage that the
// renderer draws directly, read and written as straight ARGB with the player's
// rounding, and the whole-bitmap operations scripts call.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "engine/core/geometry.h"
#include "engine/core/shape.h"
#include "engine/raster/renderer.h"

namespace velmora::raster {

enum Channel : uint32_t { kRedChannel = 1, kGreenChannel = 2, kBlueChannel = 4, kAlphaChannel = 8 };

// Straight 0xAARRGGBB to the stored form and back, rounding as the player does:
// 0xAABBCCDD reads back as 0xAABBCCDC.
uint32_t StorePixel(uint32_t argb);
uint32_t LoadPixel(uint32_t stored);

class BitmapBuffer {
public:
    // Filled with `fill` (straight ARGB); an opaque buffer keeps every alpha at 255.
    BitmapBuffer(int width, int height, bool transparent, uint32_t fill);
    BitmapBuffer(const Bitmap& pixels, bool transparent);

    int Width() const { return m_bitmap.width; }
    int Height() const { return m_bitmap.height; }
    bool Transparent() const { return m_transparent; }
    PixelRect Bounds() const { return {0, 0, Width(), Height()}; }
    // The premultiplied picture for the renderer; `Version` changes with every write.
    const Bitmap& Pixels() const { return m_bitmap; }
    uint64_t Version() const { return m_version; }
    // Draws over the pixels: `paint` gets a surface holding them.
    void Draw(const std::function<void(Surface&)>& paint);
    // Another bitmap drawn over this one, its pixels through `toPixels` (20 units each).
    void DrawBitmap(const BitmapBuffer& src, const Matrix& toPixels, const ColorTransform& cx, bool smooth);

    bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < Width() && y < Height(); }
    uint32_t GetPixel32(int x, int y) const;  // straight ARGB, 0 outside
    void SetPixel32(int x, int y, uint32_t argb);
    void SetPixel(int x, int y, uint32_t rgb);  // keeps the pixel's alpha

    // `rect` is clipped to the bitmap.
    void FillRect(const PixelRect& rect, uint32_t argb);
    // Fills the 4-connected area of the start pixel's exact colour.
    void FloodFill(int x, int y, uint32_t argb);
    // src's rect to (dx, dy); mergeAlpha blends transparent sources over what is there,
    // `alphaSource` (may be null) multiplies the source alpha, read from (ax, ay) on.
    void CopyPixels(const BitmapBuffer& src, PixelRect rect, int dx, int dy, const BitmapBuffer* alphaSource,
                    int ax, int ay, bool mergeAlpha);
    void CopyChannel(const BitmapBuffer& src, PixelRect rect, int dx, int dy, uint32_t srcChannel,
                     uint32_t dstChannel);
    // Pixels of src whose (value & mask) compares true against (threshold & mask) get
    // `color`; the others get the source pixel when copySource. Returns how many matched.
    enum class Compare : uint8_t { Less, LessEqual, Greater, GreaterEqual, Equal, NotEqual };
    int Threshold(const BitmapBuffer& src, PixelRect rect, int dx, int dy, Compare op, uint32_t threshold,
                  uint32_t color, uint32_t mask, bool copySource);
    // The player's random noise (Park-Miller generator from the seed).
    void Noise(int32_t seed, uint32_t low, uint32_t high, uint32_t channels, bool grayScale);
    void Transform(const PixelRect& rect, const ColorTransform& cx);
    void Scroll(int dx, int dy);
    // The smallest rectangle holding every pixel whose (value & mask) is (or, with
    // !findColor, is not) color; empty when none.
    PixelRect ColorBounds(uint32_t mask, uint32_t color, bool findColor) const;

private:
    void Touched();  // every write changes the version
    uint32_t& At(int x, int y) { return m_bitmap.pixels[static_cast<size_t>(y) * Width() + x]; }
    uint32_t At(int x, int y) const { return m_bitmap.pixels[static_cast<size_t>(y) * Width() + x]; }
    uint32_t Fix(uint32_t argb) const { return m_transparent ? argb : argb | 0xFF000000u; }

    Bitmap m_bitmap;
    bool m_transparent;
    uint64_t m_version = 1;
};

// Clips a copy of `rect` at (dx, dy) to both bitmaps; false when nothing is left.
bool ClipCopy(const PixelRect& srcBounds, const PixelRect& dstBounds, PixelRect& rect, int& dx, int& dy);

}  // namespace velmora::raster
