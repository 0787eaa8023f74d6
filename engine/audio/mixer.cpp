#include "engine/audio/mixer.h"

#include <algorithm>
#include <cmath>

namespace velmora::audio {

namespace {

// Linear interpolation between neighbouring source frames.
void SampleAt(const Pcm& pcm, double position, int32_t& left, int32_t& right) {
    const size_t frames = pcm.Frames();
    const size_t i = static_cast<size_t>(position);
    const double t = position - static_cast<double>(i);
    const size_t j = std::min(i + 1, frames - 1);
    const auto at = [&](size_t frame, int channel) {
        return static_cast<double>(pcm.samples[frame * static_cast<size_t>(pcm.channels) +
                                               static_cast<size_t>(std::min(channel, pcm.channels - 1))]);
    };
    left = static_cast<int32_t>(at(i, 0) + (at(j, 0) - at(i, 0)) * t);
    right = static_cast<int32_t>(at(i, 1) + (at(j, 1) - at(i, 1)) * t);
}

// Envelope levels (0..32768) at a position, linear between points, flat outside them.
void EnvelopeAt(const std::vector<EnvelopePoint>& envelope, uint64_t position44, int32_t& left, int32_t& right) {
    if (envelope.empty()) {
        left = right = 32768;
        return;
    }
    if (position44 <= envelope.front().position44) {
        left = envelope.front().left;
        right = envelope.front().right;
        return;
    }
    for (size_t k = 1; k < envelope.size(); ++k) {
        const EnvelopePoint& a = envelope[k - 1];
        const EnvelopePoint& b = envelope[k];
        if (position44 < b.position44) {
            const double t = static_cast<double>(position44 - a.position44) / (b.position44 - a.position44);
            left = static_cast<int32_t>(a.left + (b.left - a.left) * t);
            right = static_cast<int32_t>(a.right + (b.right - a.right) * t);
            return;
        }
    }
    left = envelope.back().left;
    right = envelope.back().right;
}

}  // namespace

uint64_t Mixer::Start(uint16_t soundId, std::shared_ptr<const Pcm> sound, const SoundInfo& info, uint64_t owner) {
    std::lock_guard lock(m_mutex);
    if (info.syncStop) {
        std::erase_if(m_voices, [&](const Voice& v) { return v.id == soundId; });
        return 0;
    }
    if (!sound || sound->Frames() == 0 || sound->rate <= 0) return 0;
    if (info.syncNoMultiple &&
        std::any_of(m_voices.begin(), m_voices.end(), [&](const Voice& v) { return v.id == soundId; }))
        return 0;
    const double toSource = static_cast<double>(sound->rate) / kOutputRate;
    const double frames = static_cast<double>(sound->Frames());
    const double start = std::min(frames, info.inPoint.value_or(0) * toSource);
    const double end = info.outPoint ? std::clamp(*info.outPoint * toSource, start, frames) : frames;
    if (end <= start) return 0;
    const uint64_t handle = m_nextVoice++;
    m_voices.push_back({handle, owner, soundId, std::move(sound), info, start, end, start,
                        std::max<uint32_t>(info.loops, 1)});
    return handle;
}

void Mixer::StopOwner(uint64_t owner) {
    std::lock_guard lock(m_mutex);
    std::erase_if(m_voices, [&](const Voice& v) { return v.owner == owner; });
}

bool Mixer::IsVoicePlaying(uint64_t voice) const {
    std::lock_guard lock(m_mutex);
    return std::any_of(m_voices.begin(), m_voices.end(), [&](const Voice& v) { return v.handle == voice; });
}

bool Mixer::HasVoiceEnded(uint64_t voice) const {
    std::lock_guard lock(m_mutex);
    return std::find(m_ended.begin(), m_ended.end(), voice) != m_ended.end();
}

double Mixer::VoicePositionMs(uint64_t voice) const {
    std::lock_guard lock(m_mutex);
    for (const Voice& v : m_voices)
        if (v.handle == voice) return v.position * 1000.0 / v.sound->rate;
    return 0;
}

void Mixer::SetTransform(uint64_t owner, const SoundTransform& transform) {
    std::lock_guard lock(m_mutex);
    if (transform == SoundTransform{}) m_transforms.erase(owner);
    else m_transforms[owner] = transform;
}

SoundTransform Mixer::Transform(uint64_t owner) const {
    std::lock_guard lock(m_mutex);
    const auto found = m_transforms.find(owner);
    return found == m_transforms.end() ? SoundTransform{} : found->second;
}

void Mixer::ForgetOwner(uint64_t owner) {
    std::lock_guard lock(m_mutex);
    m_transforms.erase(owner);
}

Mixer::Gains Mixer::GainsOf(uint64_t owner) const {
    // Output = global * owner, each a 2x2 matrix of percentages scaled by its volume.
    struct Matrix2 {
        double ll, lr, rl, rr;
    };
    const auto matrixOf = [&](uint64_t key) {
        const auto found = m_transforms.find(key);
        const SoundTransform t = found == m_transforms.end() ? SoundTransform{} : found->second;
        const double v = t.volume / 100.0;
        return Matrix2{t.ll * v / 100.0, t.lr * v / 100.0, t.rl * v / 100.0, t.rr * v / 100.0};
    };
    Matrix2 m = matrixOf(owner);
    if (owner != kGlobalOwner) {
        const Matrix2 g = matrixOf(kGlobalOwner);
        m = {g.ll * m.ll + g.lr * m.rl, g.ll * m.lr + g.lr * m.rr, g.rl * m.ll + g.rr * m.rl, g.rl * m.lr + g.rr * m.rr};
    }
    // Past 256 times louder everything clips anyway; the bound keeps the sums in range.
    const auto fixed = [](double gain) { return static_cast<int64_t>(std::clamp(gain, -256.0, 256.0) * 65536); };
    return {fixed(m.ll), fixed(m.lr), fixed(m.rr), fixed(m.rl)};
}

void Mixer::Stop(uint16_t soundId) {
    std::lock_guard lock(m_mutex);
    std::erase_if(m_voices, [&](const Voice& v) { return v.id == soundId; });
}

void Mixer::StopAll() {
    std::lock_guard lock(m_mutex);
    m_voices.clear();
    m_streams.clear();
}

bool Mixer::IsPlaying(uint16_t soundId) const {
    std::lock_guard lock(m_mutex);
    return std::any_of(m_voices.begin(), m_voices.end(), [&](const Voice& v) { return v.id == soundId; });
}

void Mixer::StreamAppend(uint64_t stream, const Pcm& block) {
    if (block.Frames() == 0 || block.rate <= 0) return;
    std::lock_guard lock(m_mutex);
    Stream& s = m_streams[stream];
    s.queued += static_cast<uint64_t>(std::llround(static_cast<double>(block.Frames()) * kOutputRate / block.rate));
    s.blocks.push_back(block);
}

void Mixer::StreamStop(uint64_t stream) {
    std::lock_guard lock(m_mutex);
    m_streams.erase(stream);
}

uint64_t Mixer::StreamPosition(uint64_t stream) const {
    std::lock_guard lock(m_mutex);
    const auto found = m_streams.find(stream);
    return found == m_streams.end() ? 0 : found->second.played;
}

uint64_t Mixer::StreamQueued(uint64_t stream) const {
    std::lock_guard lock(m_mutex);
    const auto found = m_streams.find(stream);
    return found == m_streams.end() ? 0 : found->second.queued;
}

void Mixer::SetVolume(int percent) {
    std::lock_guard lock(m_mutex);
    m_volume = std::clamp(percent, 0, 100);
}

namespace {

void Accumulate(int32_t* frame, int64_t left, int64_t right, int64_t ll, int64_t lr, int64_t rr, int64_t rl) {
    frame[0] += static_cast<int32_t>((left * ll + right * lr) >> 16);
    frame[1] += static_cast<int32_t>((right * rr + left * rl) >> 16);
}

}  // namespace

bool Mixer::MixVoice(Voice& voice, const Gains& g, int32_t* accumulator, size_t frames) const {
    const double step = static_cast<double>(voice.sound->rate) / kOutputRate;
    for (size_t f = 0; f < frames; ++f) {
        if (voice.position >= voice.end) {
            if (--voice.loopsLeft == 0) return false;
            voice.position = voice.start;
            voice.played44 = 0;
        }
        int32_t left, right, envLeft, envRight;
        SampleAt(*voice.sound, voice.position, left, right);
        EnvelopeAt(voice.info.envelope, voice.played44, envLeft, envRight);
        Accumulate(accumulator + 2 * f, static_cast<int64_t>(left) * envLeft / 32768,
                   static_cast<int64_t>(right) * envRight / 32768, g.ll, g.lr, g.rr, g.rl);
        voice.position += step;
        ++voice.played44;
    }
    return true;
}

void Mixer::MixStream(Stream& stream, const Gains& g, int32_t* accumulator, size_t frames) const {
    for (size_t f = 0; f < frames && !stream.blocks.empty(); ++f) {
        const Pcm& block = stream.blocks.front();
        int32_t left, right;
        SampleAt(block, stream.position, left, right);
        Accumulate(accumulator + 2 * f, left, right, g.ll, g.lr, g.rr, g.rl);
        stream.position += static_cast<double>(block.rate) / kOutputRate;
        ++stream.played;
        if (stream.queued > 0) --stream.queued;
        if (stream.position >= static_cast<double>(block.Frames())) {
            stream.position -= static_cast<double>(block.Frames());
            stream.blocks.pop_front();
        }
    }
}

void Mixer::Mix(int16_t* stereo, size_t frames) {
    std::lock_guard lock(m_mutex);
    m_accumulator.assign(frames * 2, 0);
    constexpr size_t kEndedRemembered = 256;
    std::erase_if(m_voices, [&](Voice& v) {
        if (MixVoice(v, GainsOf(v.owner), m_accumulator.data(), frames)) return false;
        m_ended.push_back(v.handle);
        if (m_ended.size() > kEndedRemembered) m_ended.pop_front();
        return true;
    });
    for (auto& [key, stream] : m_streams) MixStream(stream, GainsOf(key), m_accumulator.data(), frames);
    for (size_t i = 0; i < frames * 2; ++i)
        stereo[i] = static_cast<int16_t>(std::clamp(m_accumulator[i] * m_volume / 100, -32768, 32767));
}

}  // namespace velmora::audio
