// The text-heavy movie of the renderer benchmark: a page of Chinese text scrolling.
#pragma once

namespace velmora::bench {

// Plays the movie through the player at 550x400 for `seconds` of CPU per quality and
// prints frames per second.
void RunTextMovie(double seconds);

}  // namespace velmora::bench
