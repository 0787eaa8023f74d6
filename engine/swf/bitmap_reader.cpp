#include "engine/swf/bitmap_reader.h"

#include <zlib.h>

#include <algorithm>

#include "engine/swf/bit_reader.h"
#include "engine/swf/tags.h"

#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#define STBI_NO_STDIO
#define STBI_ONLY_JPEG
#define STBI_ONLY_PNG
#define STBI_ONLY_GIF
#define STBI_MAX_DIMENSIONS 8191
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wunused-but-set-variable"
#include <stb_image.h>
#pragma GCC diagnostic pop

namespace velmora::swf {

namespace {

uint32_t Premultiply(uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
    auto mul = [a](uint8_t c) { return static_cast<uint32_t>((c * a + 127) / 255); };
    return (uint32_t{a} << 24) | (mul(r) << 16) | (mul(g) << 8) | mul(b);
}

bool StartsWith(std::span<const uint8_t> data, std::initializer_list<uint8_t> prefix) {
    return data.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), data.begin());
}

// Old authoring tools wrote an EOI+SOI pair before the real SOI, and DefineBits splits
// tables and image into two streams: glue them into one plain JPEG stream.
std::vector<uint8_t> CleanJpeg(std::span<const uint8_t> tables, std::span<const uint8_t> image) {
    auto strip = [](std::span<const uint8_t> s) {
        if (StartsWith(s, {0xFF, 0xD9, 0xFF, 0xD8})) s = s.subspan(4);
        return s;
    };
    tables = strip(tables);
    image = strip(image);
    std::vector<uint8_t> out;
    if (tables.size() > 4) {
        out.assign(tables.begin(), tables.end());
        if (out.size() >= 2 && out[out.size() - 2] == 0xFF && out.back() == 0xD9) out.resize(out.size() - 2);
        if (StartsWith(image, {0xFF, 0xD8})) image = image.subspan(2);
    }
    // Drop embedded EOI+SOI pairs between segments.
    for (size_t i = 0; i < image.size(); ++i) {
        if (i + 3 < image.size() && image[i] == 0xFF && image[i + 1] == 0xD9 &&
            image[i + 2] == 0xFF && image[i + 3] == 0xD8) {
            i += 3;
            continue;
        }
        out.push_back(image[i]);
    }
    return out;
}

// The packaged stb_image trusts the code counts of a JPEG Huffman table and writes past
// its size list when they add up to more than 256; such a table is refused here first.
// Like the decoder, this reads tables on past a too-short segment and skips stray bytes
// between markers.
bool HuffmanTablesFit(std::span<const uint8_t> jpeg) {
    for (size_t pos = 0; pos + 4 <= jpeg.size(); ++pos) {
        if (jpeg[pos] != 0xFF) continue;
        uint8_t marker = jpeg[pos + 1];
        bool hasLength = marker != 0x00 && marker != 0x01 && marker != 0xFF && (marker < 0xD0 || marker > 0xD9);
        if (!hasLength) continue;
        long left = ((jpeg[pos + 2] << 8) | jpeg[pos + 3]) - 2;
        if (marker == 0xC4) {
            for (size_t t = pos + 4; left > 0 && t + 17 <= jpeg.size();) {
                size_t total = 0;
                for (int i = 0; i < 16; ++i) total += jpeg[t + 1 + i];
                if (total > 256) return false;
                t += 17 + total;
                left -= static_cast<long>(17 + total);
            }
        }
        pos += 1 + static_cast<size_t>(std::max(left + 2, 0L));
    }
    return true;
}

}  // namespace

std::vector<uint8_t> InflateBounded(std::span<const uint8_t> data, size_t maxOut) {
    std::vector<uint8_t> out;
    z_stream zs{};
    if (inflateInit(&zs) != Z_OK) return out;
    zs.next_in = const_cast<Bytef*>(data.data());
    zs.avail_in = static_cast<uInt>(std::min<size_t>(data.size(), UINT32_MAX));
    uint8_t chunk[32 * 1024];
    while (out.size() < maxOut) {
        size_t want = std::min(sizeof chunk, maxOut - out.size());
        zs.next_out = chunk;
        zs.avail_out = static_cast<uInt>(want);
        int rc = inflate(&zs, Z_NO_FLUSH);
        out.insert(out.end(), chunk, chunk + (want - zs.avail_out));
        if (rc != Z_OK) break;
        if (zs.avail_out == want) break;  // no progress
    }
    inflateEnd(&zs);
    return out;
}

std::optional<Bitmap> DecodeImage(std::span<const uint8_t> bytes) {
    if (bytes.empty() || bytes.size() > INT32_MAX) return std::nullopt;
    int w = 0, h = 0, comp = 0;
    auto* data = reinterpret_cast<const stbi_uc*>(bytes.data());
    int len = static_cast<int>(bytes.size());
    if (StartsWith(bytes, {0xFF, 0xD8}) && !HuffmanTablesFit(bytes)) return std::nullopt;
    if (!stbi_info_from_memory(data, len, &w, &h, &comp)) return std::nullopt;
    if (w <= 0 || h <= 0 || w > kMaxBitmapSide || h > kMaxBitmapSide) return std::nullopt;
    // The decoder allocates the whole picture from the header's size: keep that in
    // proportion to the data (no format packs more than a few thousand pixels per byte).
    if (static_cast<uint64_t>(w) * h > bytes.size() * kMaxPixelsPerByte + 65536) return std::nullopt;
    stbi_uc* rgba = stbi_load_from_memory(data, len, &w, &h, &comp, 4);
    if (!rgba) return std::nullopt;
    Bitmap bmp;
    bmp.width = w;
    bmp.height = h;
    bmp.pixels.resize(static_cast<size_t>(w) * h);
    for (size_t i = 0; i < bmp.pixels.size(); ++i) {
        const stbi_uc* p = rgba + i * 4;
        bmp.pixels[i] = Premultiply(p[0], p[1], p[2], p[3]);
    }
    stbi_image_free(rgba);
    return bmp;
}

std::optional<Bitmap> ReadDefineBits(std::span<const uint8_t> body, uint16_t code,
                                     std::span<const uint8_t> jpegTables) {
    BitReader r(body);
    std::span<const uint8_t> image, alpha;
    if (code == kTagDefineBits || code == kTagDefineBitsJpeg2) {
        image = r.Rest();
    } else {
        uint32_t alphaOffset = r.U32();
        if (code == kTagDefineBitsJpeg4) r.U16();  // deblocking filter strength
        image = r.Bytes(alphaOffset);
        alpha = r.Rest();
        if (!r.Ok()) return std::nullopt;
    }
    std::optional<Bitmap> bmp;
    bool isJpeg = !StartsWith(image, {0x89, 'P', 'N', 'G'}) && !StartsWith(image, {'G', 'I', 'F'});
    if (isJpeg) {
        bmp = DecodeImage(CleanJpeg(code == kTagDefineBits ? jpegTables : std::span<const uint8_t>{}, image));
    } else {
        bmp = DecodeImage(image);
    }
    if (!bmp || !isJpeg || alpha.empty()) return bmp;
    // Separate alpha plane (JPEG only): one byte per pixel, colour not yet premultiplied.
    std::vector<uint8_t> plane = InflateBounded(alpha, bmp->pixels.size());
    if (plane.size() < bmp->pixels.size()) return bmp;
    for (size_t i = 0; i < bmp->pixels.size(); ++i) {
        uint32_t p = bmp->pixels[i];
        bmp->pixels[i] = Premultiply((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF, plane[i]);
    }
    return bmp;
}

std::optional<Bitmap> ReadDefineBitsLossless(std::span<const uint8_t> body, int version) {
    BitReader r(body);
    uint8_t format = r.U8();
    int width = r.U16(), height = r.U16();
    unsigned paletteSize = format == 3 ? r.U8() + 1u : 0;
    if (!r.Ok() || width == 0 || height == 0 || width > kMaxBitmapSide || height > kMaxBitmapSide)
        return std::nullopt;
    if (format != 3 && !(format == 4 && version == 1) && format != 5) return std::nullopt;
    size_t entry = version == 2 ? 4 : 3;
    size_t rowBytes = format == 3 ? (width + 3u) & ~3u
                      : format == 4 ? (width * 2u + 3u) & ~3u : width * 4u;
    size_t paletteBytes = paletteSize * entry;
    size_t need = paletteBytes + rowBytes * height;
    // The decompressed data must cover the whole bitmap before anything sized by
    // width*height is allocated.
    std::vector<uint8_t> data = InflateBounded(r.Rest(), need);
    if (data.size() < need) return std::nullopt;

    Bitmap bmp;
    bmp.width = width;
    bmp.height = height;
    bmp.pixels.resize(static_cast<size_t>(width) * height);
    std::vector<uint32_t> palette(paletteSize);
    for (unsigned i = 0; i < paletteSize; ++i) {
        const uint8_t* p = data.data() + i * entry;
        palette[i] = Premultiply(p[0], p[1], p[2], version == 2 ? p[3] : 255);
    }
    for (int y = 0; y < height; ++y) {
        const uint8_t* row = data.data() + paletteBytes + rowBytes * y;
        uint32_t* dst = bmp.pixels.data() + static_cast<size_t>(y) * width;
        for (int x = 0; x < width; ++x) {
            if (format == 3) {
                uint8_t index = row[x];
                dst[x] = index < paletteSize ? palette[index] : 0;
            } else if (format == 4) {
                unsigned v = (row[x * 2] << 8) | row[x * 2 + 1];
                auto expand = [](unsigned c) { return static_cast<uint8_t>((c << 3) | (c >> 2)); };
                dst[x] = Premultiply(expand((v >> 10) & 31), expand((v >> 5) & 31), expand(v & 31), 255);
            } else {
                const uint8_t* p = row + x * 4;
                if (version == 1) {
                    dst[x] = Premultiply(p[1], p[2], p[3], 255);
                } else {
                    // Stored premultiplied; clamp channels a broken file lets exceed alpha.
                    uint8_t a = p[0];
                    dst[x] = (uint32_t{a} << 24) | (uint32_t{std::min(p[1], a)} << 16) |
                             (uint32_t{std::min(p[2], a)} << 8) | std::min(p[3], a);
                }
            }
        }
    }
    return bmp;
}

}  // namespace velmora::swf
