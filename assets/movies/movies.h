// The movies shipped beside the player, drawn with swfgen.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/text/font.h"

namespace velmora::swfgen {

// uistar.dll: the about box's slowly turning, pulsing gold star (24 frames).
std::vector<uint8_t> AboutStar();
// The movies' Chinese text is drawn in glyphs taken from `face` (a device font) and
// embedded, so it shows on any system.
// UIwel.dll: the idle player's welcome picture with a greeting and a play mark (36 frames).
std::vector<uint8_t> Welcome(const text::Font& face);
// demo.swf: the default list's demo, a ball bouncing over a sunset under a title, a
// turning star and a button that changes colour under the pointer and pauses and resumes
// the movie (96 frames).
std::vector<uint8_t> Demo(const text::Font& face);

}  // namespace velmora::swfgen
