#include "tools/swfgen/image_encode.h"

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#define STBI_WRITE_NO_STDIO
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#include <stb_image_write.h>
#pragma GCC diagnostic pop

namespace velmora::swfgen {

namespace {

void Append(void* context, void* data, int size) {
    auto* out = static_cast<std::vector<uint8_t>*>(context);
    auto* bytes = static_cast<const uint8_t*>(data);
    out->insert(out->end(), bytes, bytes + size);
}

}  // namespace

std::vector<uint8_t> ToStraightRgba(const Bitmap& bitmap) {
    std::vector<uint8_t> rgba(bitmap.pixels.size() * 4);
    for (size_t i = 0; i < bitmap.pixels.size(); ++i) {
        uint32_t p = bitmap.pixels[i];
        unsigned a = p >> 24;
        auto un = [a](unsigned c) { return static_cast<uint8_t>(a ? (c * 255 + a / 2) / a : 0); };
        rgba[i * 4 + 0] = un((p >> 16) & 0xFF);
        rgba[i * 4 + 1] = un((p >> 8) & 0xFF);
        rgba[i * 4 + 2] = un(p & 0xFF);
        rgba[i * 4 + 3] = static_cast<uint8_t>(a);
    }
    return rgba;
}

std::vector<uint8_t> EncodePng(const Bitmap& bitmap) {
    std::vector<uint8_t> out;
    if (bitmap.width <= 0 || bitmap.height <= 0) return out;
    std::vector<uint8_t> rgba = ToStraightRgba(bitmap);
    stbi_write_png_to_func(Append, &out, bitmap.width, bitmap.height, 4, rgba.data(), bitmap.width * 4);
    return out;
}

std::vector<uint8_t> EncodeJpeg(const Bitmap& bitmap, int quality) {
    std::vector<uint8_t> out;
    if (bitmap.width <= 0 || bitmap.height <= 0) return out;
    std::vector<uint8_t> rgba = ToStraightRgba(bitmap);
    stbi_write_jpg_to_func(Append, &out, bitmap.width, bitmap.height, 4, rgba.data(), quality);
    return out;
}

}  // namespace velmora::swfgen
