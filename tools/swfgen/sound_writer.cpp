#include "tools/swfgen/sound_writer.h"

namespace velmora::swfgen {

namespace {

unsigned RateCode(int rate) { return rate >= 44100 ? 3 : rate >= 22050 ? 2 : rate >= 11025 ? 1 : 0; }

void WriteFormat(BitWriter& w, const audio::SoundFormatInfo& f, bool withCompression) {
    if (withCompression) w.UB(static_cast<uint32_t>(f.format), 4);
    w.UB(RateCode(f.rate), 2);
    w.Flag(f.sixteenBit);
    w.Flag(f.stereo);
}

}  // namespace

void WriteSoundInfo(BitWriter& w, const audio::SoundInfo& info) {
    w.UB(0, 2);
    w.Flag(info.syncStop);
    w.Flag(info.syncNoMultiple);
    w.Flag(!info.envelope.empty());
    w.Flag(info.loops != 1);
    w.Flag(info.outPoint.has_value());
    w.Flag(info.inPoint.has_value());
    if (info.inPoint) w.U32(*info.inPoint);
    if (info.outPoint) w.U32(*info.outPoint);
    if (info.loops != 1) w.U16(info.loops);
    if (!info.envelope.empty()) {
        w.U8(static_cast<uint8_t>(info.envelope.size()));
        for (const audio::EnvelopePoint& p : info.envelope) {
            w.U32(p.position44);
            w.U16(p.left);
            w.U16(p.right);
        }
    }
}

std::vector<uint8_t> DefineSoundBody(uint16_t id, const audio::SoundFormatInfo& format, uint32_t sampleCount,
                                     std::span<const uint8_t> data) {
    BitWriter w;
    w.U16(id);
    WriteFormat(w, format, true);
    w.U32(sampleCount);
    w.Bytes(data);
    return w.Data();
}

std::vector<uint8_t> StartSoundBody(uint16_t id, const audio::SoundInfo& info) {
    BitWriter w;
    w.U16(id);
    WriteSoundInfo(w, info);
    return w.Data();
}

std::vector<uint8_t> StreamHeadBody(const audio::StreamHead& head) {
    BitWriter w;
    w.UB(0, 4);
    WriteFormat(w, head.playback, false);
    WriteFormat(w, head.stream, true);
    w.U16(head.samplesPerBlock);
    if (head.stream.format == audio::SoundFormat::Mp3) w.S16(head.latencySeek);
    return w.Data();
}

std::vector<uint8_t> ButtonSoundBody(const audio::ButtonSounds& sounds) {
    BitWriter w;
    w.U16(sounds.buttonId);
    for (const auto& transition : sounds.transitions) {
        w.U16(transition ? transition->id : 0);
        if (transition) WriteSoundInfo(w, transition->info);
    }
    return w.Data();
}

std::vector<uint8_t> Pcm16Bytes(std::span<const int16_t> samples) {
    BitWriter w;
    for (int16_t s : samples) w.S16(s);
    return w.Data();
}

}  // namespace velmora::swfgen
