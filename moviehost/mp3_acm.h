// MP3 decoding through the system's audio codec manager (ACM).
#pragma once

#include <memory>

#include "engine/audio/pcm.h"

namespace velmora::moviehost {

std::unique_ptr<audio::Mp3Decoder> CreateAcmMp3Decoder();

}  // namespace velmora::moviehost
