// Bitmap tags (DefineBits with JPEGTables, DefineBitsJPEG2-4, DefineBitsLossless 1-2)
// decoded into premultiplied BGRA, plus the bounded zlib inflation they rely on.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "engine/core/shape.h"

namespace velmora::swf {

// Largest bitmap side accepted; Flash itself refuses larger ones.
inline constexpr int kMaxBitmapSide = 8191;
// Compressed images decode to at most this many pixels per byte of data.
inline constexpr uint64_t kMaxPixelsPerByte = 4096;

// Inflates a zlib stream, producing at most maxOut bytes; the output grows only as real
// data decompresses. Returns what was produced (possibly short on damaged input).
std::vector<uint8_t> InflateBounded(std::span<const uint8_t> data, size_t maxOut);

// JPEG, PNG or GIF bytes to a premultiplied bitmap.
std::optional<Bitmap> DecodeImage(std::span<const uint8_t> bytes);

// Body after the character id. `jpegTables` is the movie's JPEGTables body (DefineBits).
std::optional<Bitmap> ReadDefineBits(std::span<const uint8_t> body, uint16_t code,
                                     std::span<const uint8_t> jpegTables);

// Body after the character id; version 1 or 2.
std::optional<Bitmap> ReadDefineBitsLossless(std::span<const uint8_t> body, int version);

}  // namespace velmora::swf
