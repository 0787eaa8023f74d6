// What the fuzz targets do with one input; the regression test replays saved crashers
// through the same functions in every build.
#pragma once

#include <cstdint>
#include <span>

namespace velmora::fuzz {

// Progressive parse of a movie in chunks whose sizes come from the input itself, then
// every morph at a few ratios.
void ReadMovie(std::span<const uint8_t> data);

// Loads, plays, renders (both qualities, a small viewport) and clicks a movie.
void PlayMovie(std::span<const uint8_t> data);

}  // namespace velmora::fuzz
