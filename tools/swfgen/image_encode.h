// PNG and JPEG encoding of premultiplied BGRA pixels (stb_image_write).
#pragma once

#include <cstdint>
#include <vector>

#include "engine/core/shape.h"

namespace velmora::swfgen {

// Straight RGBA bytes of a premultiplied bitmap.
std::vector<uint8_t> ToStraightRgba(const Bitmap& bitmap);
std::vector<uint8_t> EncodePng(const Bitmap& bitmap);
std::vector<uint8_t> EncodeJpeg(const Bitmap& bitmap, int quality);

}  // namespace velmora::swfgen
