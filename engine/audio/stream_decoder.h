// The blocks of one timeline's streaming sound decoded in order: PCM and ADPCM block by
// block, MP3 with the previous block in front so frames that borrow from it decode whole.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "engine/audio/pcm.h"
#include "engine/audio/sound_records.h"

namespace velmora::audio {

class StreamDecoder {
public:
    StreamDecoder(const StreamHead& head, Mp3Decoder* mp3) : m_head(head), m_mp3(mp3) {}

    // The body of a SoundStreamBlock. `first`: the stream starts here (after a start or
    // a jump), so an MP3 block's seek samples are skipped. Formats we do not decode give
    // a block of silence, keeping the soundtrack's length.
    Pcm Decode(std::span<const uint8_t> body, bool first);
    // Silence for a frame without a block, at the stream's rate.
    Pcm Silence(double framesPerSecond) const;

private:
    Pcm DecodeMp3(std::span<const uint8_t> body, bool first);

    StreamHead m_head;
    Mp3Decoder* m_mp3;
    std::vector<uint8_t> m_previous;  // MP3 frames of the block before
};

}  // namespace velmora::audio
