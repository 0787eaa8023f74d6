#include "engine/raster/image_file.h"

#include <cstdint>
#include <vector>

#include "engine/raster/paint.h"

#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#include <stb_image.h>
#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

namespace velmora::raster {

bool WritePng(const Surface& surface, const std::string& path) {
    const int w = surface.Width(), h = surface.Height();
    if (w == 0 || h == 0) return false;
    std::vector<uint8_t> rgba(static_cast<size_t>(w) * h * 4);
    uint8_t* out = rgba.data();
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x, out += 4) {
            const Rgba c = Unpremultiply(surface.Row(y)[x]);
            out[0] = c.r, out[1] = c.g, out[2] = c.b, out[3] = c.a;
        }
    }
    return stbi_write_png(path.c_str(), w, h, 4, rgba.data(), w * 4) != 0;
}

bool ReadPng(const std::string& path, Surface& surface) {
    int w = 0, h = 0, channels = 0;
    uint8_t* data = stbi_load(path.c_str(), &w, &h, &channels, 4);
    if (!data) return false;
    surface.Resize(w, h);
    const uint8_t* in = data;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x, in += 4) {
            surface.Row(y)[x] = Premultiply({in[0], in[1], in[2], in[3]});
        }
    }
    stbi_image_free(data);
    return true;
}

}  // namespace velmora::raster
