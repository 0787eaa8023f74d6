// MP3 decoding through libmpg123, for native builds and tests (the Windows programs use
// the system's codec).
#pragma once

#include <memory>

#include "engine/audio/pcm.h"

namespace velmora::audio {

std::unique_ptr<Mp3Decoder> CreateMpg123Decoder();

}  // namespace velmora::audio
