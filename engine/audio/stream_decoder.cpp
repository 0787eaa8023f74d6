#include "engine/audio/stream_decoder.h"

#include <algorithm>
#include <cmath>

namespace velmora::audio {

namespace {

Pcm SilentFrames(const SoundFormatInfo& format, size_t frames) {
    Pcm pcm;
    pcm.rate = format.rate;
    pcm.channels = format.Channels();
    pcm.samples.assign(frames * static_cast<size_t>(pcm.channels), 0);
    return pcm;
}

}  // namespace

Pcm StreamDecoder::Decode(std::span<const uint8_t> body, bool first) {
    Pcm pcm;
    switch (m_head.stream.format) {
    case SoundFormat::PcmNative:
    case SoundFormat::PcmLittle: DecodeUncompressed(m_head.stream, body, pcm); return pcm;
    case SoundFormat::Adpcm: DecodeAdpcm(m_head.stream, body, pcm); return pcm;
    case SoundFormat::Mp3: return DecodeMp3(body, first);
    default: return SilentFrames(m_head.stream, m_head.samplesPerBlock);
    }
}

Pcm StreamDecoder::DecodeMp3(std::span<const uint8_t> body, bool first) {
    Pcm pcm;
    if (body.size() < 4) return pcm;
    const size_t sampleCount = body[0] | (body[1] << 8);
    const int16_t seek = static_cast<int16_t>(body[2] | (body[3] << 8));
    const std::span<const uint8_t> frames = body.subspan(4);
    if (first) m_previous.clear();
    std::vector<uint8_t> input = m_previous;
    input.insert(input.end(), frames.begin(), frames.end());
    m_previous.assign(frames.begin(), frames.end());
    if (!m_mp3 || !m_mp3->Decode(input, pcm) || pcm.channels <= 0) return SilentFrames(m_head.stream, sampleCount);
    // This block's samples are the last `sampleCount` decoded; a start skips the seek.
    const size_t channels = static_cast<size_t>(pcm.channels);
    size_t keep = std::min(sampleCount, pcm.Frames());
    size_t from = pcm.Frames() - keep;
    if (first && seek > 0) {
        const size_t skip = std::min<size_t>(static_cast<size_t>(seek), keep);
        from += skip;
        keep -= skip;
    }
    pcm.samples.erase(pcm.samples.begin(), pcm.samples.begin() + static_cast<std::ptrdiff_t>(from * channels));
    pcm.samples.resize(keep * channels);
    return pcm;
}

Pcm StreamDecoder::Silence(double framesPerSecond) const {
    return SilentFrames(m_head.stream,
                        static_cast<size_t>(std::lround(m_head.stream.rate / std::max(framesPerSecond, 0.01))));
}

}  // namespace velmora::audio
