// An exported movie is the projector program with the movie appended, followed by an
// 8-byte trailer: 56 34 12 FA (0xFA123456, little-endian), then the movie's length.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace velmora::projector {

inline constexpr uint32_t kTrailerMagic = 0xFA123456;
inline constexpr size_t kTrailerSize = 8;

// The movie appended to a program file, or nothing when the file carries none: no
// trailer, a length that does not fit in the file, or bytes that are not a movie.
std::optional<std::span<const uint8_t>> FindAppendedMovie(std::span<const uint8_t> file);

// Program + movie + trailer.
std::vector<uint8_t> AppendMovie(std::span<const uint8_t> program, std::span<const uint8_t> movie);

}  // namespace velmora::projector
