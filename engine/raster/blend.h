// Premultiplied 0xAARRGGBB pixel arithmetic, two channels per multiply.
#pragma once

#include <cstdint>

namespace velmora::raster {

// c * f / 256 per channel, rounded, f in 0..256.
inline uint32_t ScalePixel(uint32_t c, uint32_t f) {
    const uint32_t rb = (((c & 0x00FF00FF) * f + 0x00800080) >> 8) & 0x00FF00FF;
    const uint32_t ag = (((c >> 8) & 0x00FF00FF) * f + 0x00800080) & 0xFF00FF00;
    return rb | ag;
}

// 0..255 to the 0..256 factor ScalePixel takes.
inline uint32_t Factor(uint32_t v) { return v + (v >> 7); }

// Source over destination.
inline uint32_t Over(uint32_t src, uint32_t dst) {
    return src + ScalePixel(dst, Factor(255 - (src >> 24)));
}

// Per-channel a + b, saturating at 255.
inline uint32_t AddSaturate(uint32_t a, uint32_t b) {
    uint32_t rb = (a & 0x00FF00FF) + (b & 0x00FF00FF);
    uint32_t ag = ((a >> 8) & 0x00FF00FF) + ((b >> 8) & 0x00FF00FF);
    rb |= ((rb >> 8) & 0x00010001) * 0xFF;
    ag |= ((ag >> 8) & 0x00010001) * 0xFF;
    return (rb & 0x00FF00FF) | ((ag & 0x00FF00FF) << 8);
}

// x * y / 255, rounded, for 0..255 values.
inline uint32_t MulDiv255(uint32_t x, uint32_t y) {
    const uint32_t t = x * y + 128;
    return (t + (t >> 8)) >> 8;
}

}  // namespace velmora::raster
