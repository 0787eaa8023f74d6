// Writers for the sound records (engine/audio/sound_records.h): each body decodes back
// to the record it was written from.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "engine/audio/sound_records.h"
#include "tools/swfgen/bit_writer.h"

namespace velmora::swfgen {

void WriteSoundInfo(BitWriter& w, const audio::SoundInfo& info);
std::vector<uint8_t> DefineSoundBody(uint16_t id, const audio::SoundFormatInfo& format, uint32_t sampleCount,
                                     std::span<const uint8_t> data);
std::vector<uint8_t> StartSoundBody(uint16_t id, const audio::SoundInfo& info);
// SoundStreamHead2 (any format).
std::vector<uint8_t> StreamHeadBody(const audio::StreamHead& head);
std::vector<uint8_t> ButtonSoundBody(const audio::ButtonSounds& sounds);
// 16-bit little-endian sample bytes, as uncompressed sounds and blocks hold them.
std::vector<uint8_t> Pcm16Bytes(std::span<const int16_t> samples);

}  // namespace velmora::swfgen
