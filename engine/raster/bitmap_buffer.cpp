#include "engine/raster/bitmap_buffer.h"

#include <algorithm>
#include <vector>

#include "engine/raster/blend.h"

namespace velmora::raster {

namespace {

// Source over destination with exact /255 arithmetic: bitmap copies are read back
// pixel by pixel, so the renderer's faster approximation would show.
uint32_t MergeOver(uint32_t src, uint32_t dst) {
    const uint32_t keep = 255 - (src >> 24);
    uint32_t out = 0;
    for (int shift : {24, 16, 8, 0})
        out |= std::min<uint32_t>(255, ((src >> shift) & 255) + MulDiv255((dst >> shift) & 255, keep)) << shift;
    return out;
}

}  // namespace

uint32_t StorePixel(uint32_t argb) {
    const uint32_t a = argb >> 24;
    if (a == 255) return argb;
    auto mul = [a](uint32_t v) { return (v * a + 127) / 255; };
    return a << 24 | mul((argb >> 16) & 255) << 16 | mul((argb >> 8) & 255) << 8 | mul(argb & 255);
}

uint32_t LoadPixel(uint32_t stored) {
    const uint32_t a = stored >> 24;
    if (a == 255) return stored;
    if (a == 0) return 0;
    // Through an 8.8 fixed-point reciprocal, whose truncation the player's values show.
    const uint32_t reciprocal = 65280 / a;
    auto div = [reciprocal](uint32_t v) { return std::min<uint32_t>(255, (v * reciprocal + 127) >> 8); };
    return a << 24 | div((stored >> 16) & 255) << 16 | div((stored >> 8) & 255) << 8 | div(stored & 255);
}

BitmapBuffer::BitmapBuffer(int width, int height, bool transparent, uint32_t fill) : m_transparent(transparent) {
    m_bitmap.width = std::max(width, 0);
    m_bitmap.height = std::max(height, 0);
    m_bitmap.pixels.assign(static_cast<size_t>(m_bitmap.width) * m_bitmap.height, StorePixel(Fix(fill)));
}

BitmapBuffer::BitmapBuffer(const Bitmap& pixels, bool transparent) : m_bitmap(pixels), m_transparent(transparent) {}

void BitmapBuffer::Touched() { ++m_version; }

void BitmapBuffer::Draw(const std::function<void(Surface&)>& paint) {
    Surface surface(Width(), Height());
    std::copy(m_bitmap.pixels.begin(), m_bitmap.pixels.end(), surface.Data());
    paint(surface);
    std::copy(surface.Data(), surface.Data() + m_bitmap.pixels.size(), m_bitmap.pixels.begin());
    if (!m_transparent)
        for (uint32_t& p : m_bitmap.pixels) p |= 0xFF000000u;
    Touched();
}

void BitmapBuffer::DrawBitmap(const BitmapBuffer& src, const Matrix& toPixels, const ColorTransform& cx, bool smooth) {
    // Through a copy: a bitmap may be drawn onto itself.
    const Bitmap picture = src.m_bitmap;
    Draw([&](Surface& surface) {
        Renderer renderer(surface, Quality::High, nullptr);
        renderer.DrawBitmap(picture, toPixels, cx, smooth);
    });
}

uint32_t BitmapBuffer::GetPixel32(int x, int y) const { return Contains(x, y) ? LoadPixel(At(x, y)) : 0; }

void BitmapBuffer::SetPixel32(int x, int y, uint32_t argb) {
    if (!Contains(x, y)) return;
    At(x, y) = StorePixel(Fix(argb));
    Touched();
}

void BitmapBuffer::SetPixel(int x, int y, uint32_t rgb) {
    if (!Contains(x, y)) return;
    SetPixel32(x, y, (GetPixel32(x, y) & 0xFF000000u) | (rgb & 0xFFFFFF));
}

void BitmapBuffer::FillRect(const PixelRect& rect, uint32_t argb) {
    const uint32_t stored = StorePixel(Fix(argb));
    for (int y = std::max(rect.top, 0); y < std::min(rect.bottom, Height()); ++y)
        for (int x = std::max(rect.left, 0); x < std::min(rect.right, Width()); ++x) At(x, y) = stored;
    Touched();
}

void BitmapBuffer::FloodFill(int x, int y, uint32_t argb) {
    if (!Contains(x, y)) return;
    const uint32_t from = At(x, y), to = StorePixel(Fix(argb));
    if (from == to) return;
    std::vector<std::pair<int, int>> work{{x, y}};
    while (!work.empty()) {
        auto [px, py] = work.back();
        work.pop_back();
        if (!Contains(px, py) || At(px, py) != from) continue;
        At(px, py) = to;
        work.insert(work.end(), {{px + 1, py}, {px - 1, py}, {px, py + 1}, {px, py - 1}});
    }
    Touched();
}

bool ClipCopy(const PixelRect& srcBounds, const PixelRect& dstBounds, PixelRect& rect, int& dx, int& dy) {
    // Clip the source rectangle to the source, moving the destination along.
    if (rect.left < srcBounds.left) dx += srcBounds.left - rect.left, rect.left = srcBounds.left;
    if (rect.top < srcBounds.top) dy += srcBounds.top - rect.top, rect.top = srcBounds.top;
    rect.right = std::min(rect.right, srcBounds.right);
    rect.bottom = std::min(rect.bottom, srcBounds.bottom);
    // Then the destination to the target.
    if (dx < dstBounds.left) rect.left += dstBounds.left - dx, dx = dstBounds.left;
    if (dy < dstBounds.top) rect.top += dstBounds.top - dy, dy = dstBounds.top;
    rect.right = std::min(rect.right, rect.left + dstBounds.right - dx);
    rect.bottom = std::min(rect.bottom, rect.top + dstBounds.bottom - dy);
    return rect.right > rect.left && rect.bottom > rect.top;
}

void BitmapBuffer::CopyPixels(const BitmapBuffer& src, PixelRect rect, int dx, int dy,
                              const BitmapBuffer* alphaSource, int ax, int ay, bool mergeAlpha) {
    const int startX = rect.left, startY = rect.top;
    if (!ClipCopy(src.Bounds(), Bounds(), rect, dx, dy)) return;
    ax += rect.left - startX;
    ay += rect.top - startY;
    // Copy through a scratch row so a bitmap copied onto itself reads the old pixels.
    std::vector<uint32_t> row(static_cast<size_t>(rect.right - rect.left));
    const int dyStart = dy, yStep = &src == this && dy > rect.top ? -1 : 1;
    const int height = rect.bottom - rect.top;
    for (int k = 0; k < height; ++k) {
        const int i = yStep > 0 ? k : height - 1 - k;
        const int sy = rect.top + i, ty = dyStart + i;
        for (int x = rect.left; x < rect.right; ++x) row[x - rect.left] = src.At(x, sy);
        for (int x = 0; x < rect.right - rect.left; ++x) {
            uint32_t c = row[x];
            if (!src.Transparent()) c |= 0xFF000000u;
            if (alphaSource) {
                const int px = ax + x, py = ay + i;
                const uint32_t a = alphaSource->Contains(px, py) ? alphaSource->At(px, py) >> 24 : 0;
                c = ScalePixel(c, Factor(a));
            }
            uint32_t& d = At(dx + x, ty);
            if (mergeAlpha && m_transparent) d = MergeOver(c, d);
            else if (mergeAlpha) d = MergeOver(c, d) | 0xFF000000u;
            else d = m_transparent ? c : StorePixel(LoadPixel(c) | 0xFF000000u);
        }
    }
    Touched();
}

namespace {

int ChannelShift(uint32_t channel) {
    switch (channel) {
    case kRedChannel: return 16;
    case kGreenChannel: return 8;
    case kBlueChannel: return 0;
    case kAlphaChannel: return 24;
    default: return -1;
    }
}

}  // namespace

void BitmapBuffer::CopyChannel(const BitmapBuffer& src, PixelRect rect, int dx, int dy, uint32_t srcChannel,
                               uint32_t dstChannel) {
    const int from = ChannelShift(srcChannel), to = ChannelShift(dstChannel);
    // An unknown source channel copies zeros.
    if (to < 0 || (to == 24 && !m_transparent)) return;
    if (!ClipCopy(src.Bounds(), Bounds(), rect, dx, dy)) return;
    std::vector<uint32_t> values;
    for (int y = rect.top; y < rect.bottom; ++y)
        for (int x = rect.left; x < rect.right; ++x)
            values.push_back(from < 0 ? 0 : (src.GetPixel32(x, y) >> from) & 255);
    size_t k = 0;
    for (int y = rect.top; y < rect.bottom; ++y) {
        for (int x = rect.left; x < rect.right; ++x) {
            const int tx = dx + x - rect.left, ty = dy + y - rect.top;
            const uint32_t c = GetPixel32(tx, ty);
            At(tx, ty) = StorePixel(Fix((c & ~(255u << to)) | values[k++] << to));
        }
    }
    Touched();
}

int BitmapBuffer::Threshold(const BitmapBuffer& src, PixelRect rect, int dx, int dy, Compare op, uint32_t threshold,
                            uint32_t color, uint32_t mask, bool copySource) {
    if (!ClipCopy(src.Bounds(), Bounds(), rect, dx, dy)) return 0;
    const uint32_t target = threshold & mask;
    std::vector<uint32_t> values;
    for (int y = rect.top; y < rect.bottom; ++y)
        for (int x = rect.left; x < rect.right; ++x) values.push_back(src.GetPixel32(x, y));
    int count = 0;
    size_t k = 0;
    for (int y = rect.top; y < rect.bottom; ++y) {
        for (int x = rect.left; x < rect.right; ++x) {
            const uint32_t c = values[k++], v = c & mask;
            bool hit = false;
            switch (op) {
            case Compare::Less: hit = v < target; break;
            case Compare::LessEqual: hit = v <= target; break;
            case Compare::Greater: hit = v > target; break;
            case Compare::GreaterEqual: hit = v >= target; break;
            case Compare::Equal: hit = v == target; break;
            case Compare::NotEqual: hit = v != target; break;
            }
            const int tx = dx + x - rect.left, ty = dy + y - rect.top;
            if (hit) {
                At(tx, ty) = StorePixel(Fix(color));
                ++count;
            } else if (copySource) {
                At(tx, ty) = StorePixel(Fix(c));
            }
        }
    }
    Touched();
    return count;
}

void BitmapBuffer::Noise(int32_t seed, uint32_t low, uint32_t high, uint32_t channels, bool grayScale) {
    // Park and Miller's minimal standard generator, seeded as the player seeds it.
    int64_t state = seed > 0 ? seed : 1 - static_cast<int64_t>(seed);
    state %= 2147483647;
    if (state == 0) state = 1;
    const uint32_t range = high >= low ? high - low + 1 : 1;
    auto next = [&] {
        state = state * 16807 % 2147483647;
        return low + static_cast<uint32_t>(state % range);
    };
    for (int y = 0; y < Height(); ++y) {
        for (int x = 0; x < Width(); ++x) {
            uint32_t r = 0, g = 0, b = 0, a = 255;
            if (grayScale) {
                r = g = b = next() & 255;
            } else {
                if (channels & kRedChannel) r = next() & 255;
                if (channels & kGreenChannel) g = next() & 255;
                if (channels & kBlueChannel) b = next() & 255;
            }
            // An opaque bitmap draws no random alpha: the sequence goes on to the next pixel.
            if ((channels & kAlphaChannel) && m_transparent) a = next() & 255;
            At(x, y) = StorePixel(Fix(a << 24 | r << 16 | g << 8 | b));
        }
    }
    Touched();
}

void BitmapBuffer::Transform(const PixelRect& rect, const ColorTransform& cx) {
    for (int y = std::max(rect.top, 0); y < std::min(rect.bottom, Height()); ++y) {
        for (int x = std::max(rect.left, 0); x < std::min(rect.right, Width()); ++x) {
            const uint32_t c = LoadPixel(At(x, y));
            auto apply = [](uint32_t v, float mul, float add) {
                const float r = static_cast<float>(v) * mul + add;
                return r >= 255 ? 255u : r > 0 ? static_cast<uint32_t>(r) : 0u;
            };
            const uint32_t out = apply(c >> 24, cx.aMul, cx.aAdd) << 24 | apply((c >> 16) & 255, cx.rMul, cx.rAdd) << 16 |
                                 apply((c >> 8) & 255, cx.gMul, cx.gAdd) << 8 | apply(c & 255, cx.bMul, cx.bAdd);
            At(x, y) = StorePixel(Fix(out));
        }
    }
    Touched();
}

void BitmapBuffer::Scroll(int dx, int dy) {
    PixelRect rect = Bounds();
    int tx = dx, ty = dy;
    if (!ClipCopy(Bounds(), Bounds(), rect, tx, ty)) return;
    const std::vector<uint32_t> old = m_bitmap.pixels;
    for (int y = rect.top; y < rect.bottom; ++y)
        for (int x = rect.left; x < rect.right; ++x)
            At(tx + x - rect.left, ty + y - rect.top) = old[static_cast<size_t>(y) * Width() + x];
    Touched();
}

PixelRect BitmapBuffer::ColorBounds(uint32_t mask, uint32_t color, bool findColor) const {
    PixelRect r{Width(), Height(), 0, 0};
    for (int y = 0; y < Height(); ++y) {
        for (int x = 0; x < Width(); ++x) {
            if (((GetPixel32(x, y) & mask) == (color & mask)) != findColor) continue;
            r = {std::min(r.left, x), std::min(r.top, y), std::max(r.right, x + 1), std::max(r.bottom, y + 1)};
        }
    }
    return r.right > r.left ? r : PixelRect{};
}

}  // namespace velmora::raster
