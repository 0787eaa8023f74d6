// Sound records of SWF movies: DefineSound, StartSound's SOUNDINFO, SoundStreamHead and
// DefineButtonSound, read from tag bodies with bounds checked.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace velmora::audio {

// The sound tags of a SWF file.
enum SoundTag : uint16_t {
    kTagDefineSound = 14, kTagStartSound = 15, kTagDefineButtonSound = 17, kTagSoundStreamHead = 18,
    kTagSoundStreamBlock = 19, kTagSoundStreamHead2 = 45, kTagStartSound2 = 89,
};

enum class SoundFormat : uint8_t {
    PcmNative = 0,  // uncompressed in the authoring machine's byte order (little-endian in practice)
    Adpcm = 1,
    Mp3 = 2,
    PcmLittle = 3,
    Nellymoser16k = 4,
    Nellymoser8k = 5,
    Nellymoser = 6,
    Speex = 11,
};

struct SoundFormatInfo {
    SoundFormat format = SoundFormat::PcmLittle;
    int rate = 44100;  // 5512, 11025, 22050 or 44100
    bool sixteenBit = true;
    bool stereo = false;
    int Channels() const { return stereo ? 2 : 1; }
};

struct DefineSoundRecord {
    uint16_t id = 0;
    SoundFormatInfo format;
    uint32_t sampleCount = 0;  // per channel
    std::span<const uint8_t> data;
};

struct EnvelopePoint {
    uint32_t position44 = 0;  // in samples at 44.1 kHz
    uint16_t left = 32768, right = 32768;  // 32768 is full level
};

struct SoundInfo {
    bool syncStop = false;
    bool syncNoMultiple = false;
    std::optional<uint32_t> inPoint, outPoint;  // samples at 44.1 kHz
    uint16_t loops = 1;
    std::vector<EnvelopePoint> envelope;
};

struct StartSoundRecord {
    uint16_t id = 0;
    SoundInfo info;
};

// StartSound2 names the sound by its class (the export name) instead of its id.
struct StartSound2Record {
    std::string className;
    SoundInfo info;
};

struct StreamHead {
    SoundFormatInfo playback;
    SoundFormatInfo stream;
    uint16_t samplesPerBlock = 0;
    int16_t latencySeek = 0;  // MP3 only
};

// The four transitions of DefineButtonSound: over-up to idle, idle to over-up,
// over-up to over-down, over-down to over-up. A sound id of 0 plays nothing.
struct ButtonSounds {
    uint16_t buttonId = 0;
    std::array<std::optional<StartSoundRecord>, 4> transitions;
};

std::optional<DefineSoundRecord> ParseDefineSound(std::span<const uint8_t> body);
std::optional<StartSoundRecord> ParseStartSound(std::span<const uint8_t> body);
std::optional<StartSound2Record> ParseStartSound2(std::span<const uint8_t> body);
std::optional<StreamHead> ParseStreamHead(std::span<const uint8_t> body);
std::optional<ButtonSounds> ParseButtonSound(std::span<const uint8_t> body);

// The PCM data of one SoundStreamBlock: MP3 blocks start with a sample count and a seek.
std::span<const uint8_t> StreamBlockAudio(const StreamHead& head, std::span<const uint8_t> body);

}  // namespace velmora::audio
