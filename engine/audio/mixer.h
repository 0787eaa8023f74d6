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

class Mixer {
public:
    static constexpr int kOutputRate = 44100;

    // StartSound: honours SyncStop (stop every instance, start none), SyncNoMultiple
    // (not again while playing), in and out points, loops and the envelope.
    void Start(uint16_t soundId, std::shared_ptr<const Pcm> sound, const SoundInfo& info);
    void Stop(uint16_t soundId);
    void StopAll();
    bool IsPlaying(uint16_t soundId) const;

    // Streaming sound of one timeline (keyed by the caller): blocks queue up in order.
    void StreamAppend(uint64_t stream, const Pcm& block);
    void StreamStop(uint64_t stream);
    // Output frames of the stream played so far: the soundtrack's clock.
    uint64_t StreamPosition(uint64_t stream) const;
    // Output frames still queued for the stream.
    uint64_t StreamQueued(uint64_t stream) const;

    void SetVolume(int percent);  // 0..100, all sounds
    // Fills `frames` interleaved stereo frames; silence when nothing plays.
    void Mix(int16_t* stereo, size_t frames);

private:
    struct Voice {
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

    bool MixVoice(Voice& voice, int32_t* accumulator, size_t frames) const;
    void MixStream(Stream& stream, int32_t* accumulator, size_t frames) const;

    mutable std::mutex m_mutex;
    std::vector<Voice> m_voices;
    std::map<uint64_t, Stream> m_streams;
    int m_volume = 100;
    std::vector<int32_t> m_accumulator;
};

}  // namespace velmora::audio
