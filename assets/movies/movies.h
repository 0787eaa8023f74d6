// The movies shipped beside the player, drawn with swfgen.
#pragma once

#include <cstdint>
#include <vector>

namespace velmora::swfgen {

// uistar.dll: the about box's slowly turning, pulsing gold star (24 frames).
std::vector<uint8_t> AboutStar();
// UIwel.dll: the idle player's welcome picture with a play mark (36 frames).
std::vector<uint8_t> Welcome();
// demo.swf: the default list's demo, a ball bouncing over a sunset, a turning star and a
// button that changes colour under the pointer (96 frames).
std::vector<uint8_t> Demo();

}  // namespace velmora::swfgen
