// Mixes event sounds and streaming sounds into 44.1 kHz stereo for the host's audio
// output. The UI thread starts and stops sounds; the host's audio thread calls Mix.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "engine/audio/pcm.h"
#include "engine/audio/sound_records.h"

namespace velmora::audio {

// The soundtrack's clock: how far the output has got through a stream. The mixer is one
// (what the device has pulled); tests inject their own.
class AudioClock {
public:
    virtual ~AudioClock() = default;
    // Output frames (44.1 kHz) of the stream played since it last started.
    virtual uint64_t StreamPlayed(uint64_t stream) const = 0;
};

// What a Sound object sets for the sounds of a clip, in the script's own numbers:
// percentages, ll/lr the left and right input into the left speaker, rr/rl into the right.
struct SoundTransform {
    int32_t volume = 100;
    int32_t ll = 100, lr = 0, rr = 100, rl = 0;
    bool operator==(const SoundTransform&) const = default;
};

// Owner of the sounds no clip started, and of the transform over everything.
inline constexpr uint64_t kGlobalOwner = 0;

class Mixer : public AudioClock {
public:
    static constexpr int kOutputRate = 44100;

    // StartSound: honours SyncStop (stop every instance, start none), SyncNoMultiple
    // (not again while playing), in and out points, loops and the envelope. `owner` is
    // the clip whose transform applies. Returns the voice, 0 when nothing started.
    uint64_t Start(uint16_t soundId, std::shared_ptr<const Pcm> sound, const SoundInfo& info,
                   uint64_t owner = kGlobalOwner);
    void Stop(uint16_t soundId);
    // Event sounds started for a clip.
    void StopOwner(uint64_t owner);
    void StopAll();
    bool IsPlaying(uint16_t soundId) const;
    bool IsVoicePlaying(uint64_t voice) const;
    // The voice played to its end (not stopped); remembered for the last few hundred.
    bool HasVoiceEnded(uint64_t voice) const;
    // Where the voice is in its sound, in milliseconds; 0 once it ended.
    double VoicePositionMs(uint64_t voice) const;

    // Transforms per owner; the global one applies on top of every other.
    void SetTransform(uint64_t owner, const SoundTransform& transform);
    SoundTransform Transform(uint64_t owner) const;
    void ForgetOwner(uint64_t owner);

    // Streaming sound of one timeline (keyed by the caller): blocks queue up in order.
    void StreamAppend(uint64_t stream, const Pcm& block);
    void StreamStop(uint64_t stream);
    // Output frames of the stream played so far: the soundtrack's clock.
    uint64_t StreamPosition(uint64_t stream) const;
    uint64_t StreamPlayed(uint64_t stream) const override { return StreamPosition(stream); }
    // Output frames still queued for the stream.
    uint64_t StreamQueued(uint64_t stream) const;

    void SetVolume(int percent);  // 0..100, all sounds
    // Fills `frames` interleaved stereo frames; silence when nothing plays.
    void Mix(int16_t* stereo, size_t frames);

private:
    struct Voice {
        uint64_t handle;
        uint64_t owner;
        uint16_t id;
        std::shared_ptr<const Pcm> sound;
        SoundInfo info;
        double position;  // in source frames
        double end;       // out point or the sound's end, in source frames
        double start;     // in point, where each loop starts
        uint32_t loopsLeft;
        uint64_t played44 = 0;  // output frames since the start of this loop, for the envelope
    };
    struct Stream {
        std::deque<Pcm> blocks;
        double position = 0;  // in source frames of the front block
        uint64_t played = 0;
        uint64_t queued = 0;
    };

    // Channel gains in 1/65536 (ll, lr, rr, rl) of an owner with the global transform on top.
    struct Gains {
        int64_t ll, lr, rr, rl;
    };
    Gains GainsOf(uint64_t owner) const;
    bool MixVoice(Voice& voice, const Gains& gains, int32_t* accumulator, size_t frames) const;
    void MixStream(Stream& stream, const Gains& gains, int32_t* accumulator, size_t frames) const;

    mutable std::mutex m_mutex;
    std::vector<Voice> m_voices;
    std::map<uint64_t, Stream> m_streams;
    std::map<uint64_t, SoundTransform> m_transforms;
    std::deque<uint64_t> m_ended;
    uint64_t m_nextVoice = 1;
    int m_volume = 100;
    std::vector<int32_t> m_accumulator;
};

}  // namespace velmora::audio
