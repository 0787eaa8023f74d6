#include "engine/audio/sound_records.h"

#include "engine/swf/bit_reader.h"

namespace velmora::audio {

namespace {

constexpr int kRates[] = {5512, 11025, 22050, 44100};

SoundFormatInfo ReadFormat(swf::BitReader& r, bool withCompression) {
    SoundFormatInfo f;
    if (withCompression) f.format = static_cast<SoundFormat>(r.UB(4));
    f.rate = kRates[r.UB(2)];
    f.sixteenBit = r.Flag();
    f.stereo = r.Flag();
    return f;
}

// Envelope points are 8 bytes each; the count is checked against what is there.
SoundInfo ReadSoundInfo(swf::BitReader& r) {
    SoundInfo info;
    r.UB(2);
    info.syncStop = r.Flag();
    info.syncNoMultiple = r.Flag();
    const bool hasEnvelope = r.Flag(), hasLoops = r.Flag(), hasOut = r.Flag(), hasIn = r.Flag();
    if (hasIn) info.inPoint = r.U32();
    if (hasOut) info.outPoint = r.U32();
    if (hasLoops) info.loops = r.U16();
    if (hasEnvelope) {
        const uint8_t count = r.U8();
        if (static_cast<size_t>(count) * 8 > r.Remaining()) {
            r.Fail();
            return info;
        }
        for (uint8_t i = 0; i < count; ++i) {
            EnvelopePoint p;
            p.position44 = r.U32();
            p.left = r.U16();
            p.right = r.U16();
            info.envelope.push_back(p);
        }
    }
    return info;
}

}  // namespace

std::optional<DefineSoundRecord> ParseDefineSound(std::span<const uint8_t> body) {
    swf::BitReader r(body);
    DefineSoundRecord sound;
    sound.id = r.U16();
    sound.format = ReadFormat(r, true);
    sound.sampleCount = r.U32();
    sound.data = r.Rest();
    if (!r.Ok()) return std::nullopt;
    return sound;
}

std::optional<StartSoundRecord> ParseStartSound(std::span<const uint8_t> body) {
    swf::BitReader r(body);
    StartSoundRecord start;
    start.id = r.U16();
    start.info = ReadSoundInfo(r);
    if (!r.Ok()) return std::nullopt;
    return start;
}

std::optional<StartSound2Record> ParseStartSound2(std::span<const uint8_t> body) {
    swf::BitReader r(body);
    StartSound2Record start;
    start.className = r.String();
    start.info = ReadSoundInfo(r);
    if (!r.Ok()) return std::nullopt;
    return start;
}

std::optional<StreamHead> ParseStreamHead(std::span<const uint8_t> body) {
    swf::BitReader r(body);
    StreamHead head;
    r.UB(4);
    head.playback = ReadFormat(r, false);
    head.stream = ReadFormat(r, true);
    head.playback.format = head.stream.format;
    head.samplesPerBlock = r.U16();
    if (head.stream.format == SoundFormat::Mp3 && r.Remaining() >= 2) head.latencySeek = r.S16();
    if (!r.Ok()) return std::nullopt;
    return head;
}

std::optional<ButtonSounds> ParseButtonSound(std::span<const uint8_t> body) {
    swf::BitReader r(body);
    ButtonSounds sounds;
    sounds.buttonId = r.U16();
    for (auto& transition : sounds.transitions) {
        if (r.AtEnd()) break;
        StartSoundRecord start;
        start.id = r.U16();
        if (start.id == 0) continue;
        start.info = ReadSoundInfo(r);
        transition = start;
    }
    if (!r.Ok()) return std::nullopt;
    return sounds;
}

std::span<const uint8_t> StreamBlockAudio(const StreamHead& head, std::span<const uint8_t> body) {
    if (head.stream.format != SoundFormat::Mp3) return body;
    return body.size() >= 4 ? body.subspan(4) : std::span<const uint8_t>();
}

}  // namespace velmora::audio
