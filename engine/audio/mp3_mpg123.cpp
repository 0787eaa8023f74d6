#include "engine/audio/mp3_mpg123.h"

#include <mpg123.h>

namespace velmora::audio {

namespace {

class Mpg123Decoder : public Mp3Decoder {
public:
    bool Decode(std::span<const uint8_t> frames, Pcm& out) override {
        int error = 0;
        mpg123_handle* mh = mpg123_new(nullptr, &error);
        if (!mh) return false;
        mpg123_param(mh, MPG123_ADD_FLAGS, MPG123_QUIET, 0);
        mpg123_format_none(mh);
        for (const long rate : {8000L, 11025L, 12000L, 16000L, 22050L, 24000L, 32000L, 44100L, 48000L})
            mpg123_format(mh, rate, MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
        bool decoded = false;
        if (mpg123_open_feed(mh) == MPG123_OK) {
            unsigned char buffer[16384];
            size_t done = 0;
            int result = mpg123_decode(mh, frames.data(), frames.size(), buffer, sizeof buffer, &done);
            for (;;) {
                if (result == MPG123_NEW_FORMAT) {
                    long rate = 0;
                    int channels = 0, encoding = 0;
                    mpg123_getformat(mh, &rate, &channels, &encoding);
                    out.rate = static_cast<int>(rate);
                    out.channels = channels;
                }
                const auto* samples = reinterpret_cast<const int16_t*>(buffer);
                out.samples.insert(out.samples.end(), samples, samples + done / 2);
                decoded = decoded || done > 0;
                if (result != MPG123_OK && result != MPG123_NEW_FORMAT) break;
                result = mpg123_decode(mh, nullptr, 0, buffer, sizeof buffer, &done);
            }
        }
        mpg123_delete(mh);
        return decoded;
    }
};

}  // namespace

std::unique_ptr<Mp3Decoder> CreateMpg123Decoder() { return std::make_unique<Mpg123Decoder>(); }

}  // namespace velmora::audio
