#include "moviehost/mp3_acm.h"

#include <windows.h>
#include <mmsystem.h>
#include <mmreg.h>
#include <msacm.h>

#include <algorithm>
#include <optional>
#include <span>
#include <vector>

namespace velmora::moviehost {

namespace {

// The rate and channels of the first MPEG audio frame header in the data.
struct FrameFormat {
    int rate;
    int channels;
};

std::optional<FrameFormat> FirstFrameFormat(std::span<const uint8_t> data) {
    static constexpr int kRates[3][3] = {{44100, 48000, 32000}, {22050, 24000, 16000}, {11025, 12000, 8000}};
    for (size_t i = 0; i + 4 <= data.size(); ++i) {
        if (data[i] != 0xFF || (data[i + 1] & 0xE0) != 0xE0) continue;
        const int version = (data[i + 1] >> 3) & 3;  // 3: MPEG 1, 2: MPEG 2, 0: MPEG 2.5
        const int rateIndex = (data[i + 2] >> 2) & 3;
        if (version == 1 || rateIndex == 3) continue;
        const int row = version == 3 ? 0 : version == 2 ? 1 : 2;
        return FrameFormat{kRates[row][rateIndex], ((data[i + 3] >> 6) & 3) == 3 ? 1 : 2};
    }
    return std::nullopt;
}

class AcmMp3Decoder : public audio::Mp3Decoder {
public:
    bool Decode(std::span<const uint8_t> frames, audio::Pcm& out) override {
        const auto format = FirstFrameFormat(frames);
        if (!format) return false;
        MPEGLAYER3WAVEFORMAT mp3{};
        mp3.wfx.wFormatTag = WAVE_FORMAT_MPEGLAYER3;
        mp3.wfx.nChannels = static_cast<WORD>(format->channels);
        mp3.wfx.nSamplesPerSec = static_cast<DWORD>(format->rate);
        mp3.wfx.nAvgBytesPerSec = 128000 / 8;
        mp3.wfx.nBlockAlign = 1;
        mp3.wfx.cbSize = MPEGLAYER3_WFX_EXTRA_BYTES;
        mp3.wID = MPEGLAYER3_ID_MPEG;
        mp3.fdwFlags = MPEGLAYER3_FLAG_PADDING_OFF;
        mp3.nBlockSize = 1;
        mp3.nFramesPerBlock = 1;
        mp3.nCodecDelay = 0;
        WAVEFORMATEX pcm{};
        pcm.wFormatTag = WAVE_FORMAT_PCM;
        pcm.nChannels = static_cast<WORD>(format->channels);
        pcm.nSamplesPerSec = static_cast<DWORD>(format->rate);
        pcm.wBitsPerSample = 16;
        pcm.nBlockAlign = static_cast<WORD>(2 * format->channels);
        pcm.nAvgBytesPerSec = pcm.nSamplesPerSec * pcm.nBlockAlign;
        HACMSTREAM stream = nullptr;
        if (acmStreamOpen(&stream, nullptr, &mp3.wfx, &pcm, nullptr, 0, 0, ACM_STREAMOPENF_NONREALTIME) != 0)
            return false;

        out.rate = format->rate;
        out.channels = format->channels;
        const size_t before = out.samples.size();
        constexpr DWORD kChunk = 4096;
        std::vector<uint8_t> input(kChunk), output(kChunk * 48);
        ACMSTREAMHEADER header{};
        header.cbStruct = sizeof header;
        header.pbSrc = input.data();
        header.cbSrcLength = kChunk;
        header.pbDst = output.data();
        header.cbDstLength = static_cast<DWORD>(output.size());
        acmStreamPrepareHeader(stream, &header, 0);
        size_t offset = 0;
        size_t pending = 0;  // bytes of input not yet taken by the codec
        for (;;) {
            const size_t take = std::min<size_t>(kChunk - pending, frames.size() - offset);
            std::copy_n(frames.data() + offset, take, input.data() + pending);
            offset += take;
            header.cbSrcLength = static_cast<DWORD>(pending + take);
            const bool last = offset >= frames.size();
            if (acmStreamConvert(stream, &header, last ? ACM_STREAMCONVERTF_END : ACM_STREAMCONVERTF_BLOCKALIGN) != 0)
                break;
            const auto* samples = reinterpret_cast<const int16_t*>(output.data());
            out.samples.insert(out.samples.end(), samples, samples + header.cbDstLengthUsed / 2);
            pending = header.cbSrcLength - header.cbSrcLengthUsed;
            std::copy_n(input.data() + header.cbSrcLengthUsed, pending, input.data());
            if (last && header.cbDstLengthUsed == 0) break;
            if (!last && header.cbSrcLengthUsed == 0 && header.cbDstLengthUsed == 0 && pending == kChunk) break;
        }
        header.cbSrcLength = kChunk;
        acmStreamUnprepareHeader(stream, &header, 0);
        acmStreamClose(stream, 0);
        return out.samples.size() > before;
    }
};

}  // namespace

std::unique_ptr<audio::Mp3Decoder> CreateAcmMp3Decoder() { return std::make_unique<AcmMp3Decoder>(); }

}  // namespace velmora::moviehost
