#include "engine/audio/pcm.h"

#include <algorithm>

#include "engine/swf/bit_reader.h"

namespace velmora::audio {

namespace {

constexpr int kStepTable[89] = {
    7,     8,     9,     10,    11,    12,    13,    14,    16,    17,    19,    21,    23,    25,   28,
    31,    34,    37,    41,    45,    50,    55,    60,    66,    73,    80,    88,    97,    107,  118,
    130,   143,   157,   173,   190,   209,   230,   253,   279,   307,   337,   371,   408,   449,  494,
    544,   598,   658,   724,   796,   876,   963,   1060,  1166,  1282,  1411,  1552,  1707,  1878, 2066,
    2272,  2499,  2749,  3024,  3327,  3660,  4026,  4428,  4871,  5358,  5894,  6484,  7132,  7845, 8630,
    9493,  10442, 11487, 12635, 13899, 15289, 16818, 18500, 20350, 22385, 24623, 27086, 29794, 32767};

// Index changes per code, by code size (2 to 5 bits), for the code's magnitude bits.
constexpr int kIndex2[] = {-1, 2};
constexpr int kIndex3[] = {-1, -1, 2, 4};
constexpr int kIndex4[] = {-1, -1, -1, -1, 2, 4, 6, 8};
constexpr int kIndex5[] = {-1, -1, -1, -1, -1, -1, -1, -1, 1, 2, 4, 6, 8, 10, 13, 16};
constexpr const int* kIndexTables[] = {kIndex2, kIndex3, kIndex4, kIndex5};

struct ChannelState {
    int sample = 0;
    int index = 0;
};

int16_t Step(ChannelState& s, uint32_t code, unsigned bits) {
    const int step = kStepTable[s.index];
    const uint32_t signBit = 1u << (bits - 1);
    // The difference is step * (magnitude + 0.5) / 2^(bits-2), built bit by bit.
    int diff = step >> (bits - 1);
    for (unsigned bit = 0; bit < bits - 1; ++bit)
        if (code & (1u << bit)) diff += step >> (bits - 2 - bit);
    s.sample += (code & signBit) ? -diff : diff;
    s.sample = std::clamp(s.sample, -32768, 32767);
    s.index = std::clamp(s.index + kIndexTables[bits - 2][code & (signBit - 1)], 0, 88);
    return static_cast<int16_t>(s.sample);
}

}  // namespace

void DecodeUncompressed(const SoundFormatInfo& format, std::span<const uint8_t> data, Pcm& out) {
    out.rate = format.rate;
    out.channels = format.Channels();
    if (format.sixteenBit) {
        for (size_t i = 0; i + 1 < data.size(); i += 2)
            out.samples.push_back(static_cast<int16_t>(data[i] | (data[i + 1] << 8)));
    } else {
        for (const uint8_t b : data) out.samples.push_back(static_cast<int16_t>((b - 128) << 8));
    }
    out.samples.resize(out.Frames() * static_cast<size_t>(out.channels));  // whole frames only
}

void DecodeAdpcm(const SoundFormatInfo& format, std::span<const uint8_t> data, Pcm& out) {
    out.rate = format.rate;
    out.channels = format.Channels();
    const int channels = out.channels;
    swf::BitReader r(data);
    const unsigned bits = r.UB(2) + 2;
    ChannelState state[2];
    // Each packet: per channel 16 + 6 bits of start state, then up to 4095 codes per channel.
    while (r.Ok() && r.Remaining() > 0) {
        for (int c = 0; c < channels; ++c) {
            state[c].sample = r.SB(16);
            state[c].index = static_cast<int>(r.UB(6));
        }
        if (!r.Ok()) break;
        for (int c = 0; c < channels; ++c) out.samples.push_back(static_cast<int16_t>(state[c].sample));
        for (int i = 1; i < 4096; ++i) {
            int16_t frame[2];
            for (int c = 0; c < channels; ++c) frame[c] = Step(state[c], r.UB(bits), bits);
            if (!r.Ok()) break;
            out.samples.insert(out.samples.end(), frame, frame + channels);
        }
    }
}

Pcm DecodeSound(const DefineSoundRecord& sound, Mp3Decoder* mp3) {
    Pcm pcm;
    pcm.rate = sound.format.rate;
    pcm.channels = sound.format.Channels();
    switch (sound.format.format) {
    case SoundFormat::PcmNative:
    case SoundFormat::PcmLittle: DecodeUncompressed(sound.format, sound.data, pcm); break;
    case SoundFormat::Adpcm: DecodeAdpcm(sound.format, sound.data, pcm); break;
    case SoundFormat::Mp3: {
        // A DefineSound's MP3 data starts with the number of the encoder's priming samples
        // to skip; the sample count then says where the sound ends.
        if (!mp3 || sound.data.size() <= 2) break;
        const int16_t seek = static_cast<int16_t>(sound.data[0] | (sound.data[1] << 8));
        if (!mp3->Decode(sound.data.subspan(2), pcm)) break;
        const size_t channels = static_cast<size_t>(pcm.channels);
        const size_t skip = std::min(static_cast<size_t>(std::max<int16_t>(seek, 0)), pcm.Frames());
        pcm.samples.erase(pcm.samples.begin(), pcm.samples.begin() + static_cast<std::ptrdiff_t>(skip * channels));
        if (sound.sampleCount > 0 && sound.sampleCount < pcm.Frames()) pcm.samples.resize(sound.sampleCount * channels);
        break;
    }
    default: break;
    }
    return pcm;
}

}  // namespace velmora::audio
