// Decoded sound: 16-bit samples, interleaved when stereo, and the decoders that make it.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "engine/audio/sound_records.h"

namespace velmora::audio {

struct Pcm {
    int rate = 44100;
    int channels = 1;
    std::vector<int16_t> samples;  // interleaved
    size_t Frames() const { return channels > 0 ? samples.size() / static_cast<size_t>(channels) : 0; }
};

// The host's MP3 decoder (the system's codec on Windows, libmpg123 elsewhere).
class Mp3Decoder {
public:
    virtual ~Mp3Decoder() = default;
    // Decodes whole MP3 frames, appending to `out` (whose rate and channels it sets).
    // False when nothing could be decoded.
    virtual bool Decode(std::span<const uint8_t> frames, Pcm& out) = 0;
};

// Uncompressed 8-bit (unsigned) or 16-bit little-endian samples; a partial last sample
// is dropped.
void DecodeUncompressed(const SoundFormatInfo& format, std::span<const uint8_t> data, Pcm& out);

// Flash ADPCM: a 2-bit code size, then packets of 4096 samples per channel, each starting
// with a 16-bit sample and a 6-bit step index per channel. Stops cleanly at truncated data.
void DecodeAdpcm(const SoundFormatInfo& format, std::span<const uint8_t> data, Pcm& out);

// A whole DefineSound; MP3 needs the decoder (nothing without one). Formats we do not
// decode (Nellymoser, Speex) give no samples.
Pcm DecodeSound(const DefineSoundRecord& sound, Mp3Decoder* mp3);

}  // namespace velmora::audio
