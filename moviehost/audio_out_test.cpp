// The system's side of sound: MP3 through ACM, output through waveOut.
#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <iterator>

#include "engine/audio/pcm.h"
#include "engine/swf/swf_stream.h"
#include "engine/swf/tags.h"
#include "moviehost/mp3_acm.h"
#include "moviehost/wave_out.h"

namespace velmora::moviehost {
namespace {

TEST(AcmMp3, DecodesTheEventSoundsOfACorpusMovie) {
    std::ifstream in(VELMORA_CORPUS_DIR "/ruffle-avm1/avm1__sound/test.swf", std::ios::binary);
    if (!in) GTEST_SKIP() << "corpus not present";
    const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
    swf::SwfStream stream;
    stream.Append(bytes);
    stream.Finish();
    std::span<const uint8_t> tags = stream.Tags();
    const auto decoder = CreateAcmMp3Decoder();
    int decoded = 0;
    swf::TagHeader tag;
    while (swf::PeekTag(tags, tag)) {
        if (tag.code == 14) {
            const auto sound = audio::ParseDefineSound(tags.subspan(tag.headerSize, tag.length));
            ASSERT_TRUE(sound);
            const audio::Pcm pcm = audio::DecodeSound(*sound, decoder.get());
            EXPECT_EQ(pcm.rate, sound->format.rate);
            EXPECT_EQ(pcm.channels, sound->format.Channels());
            // The codec may hold back its last frame; nearly all of the sound must be there.
            EXPECT_GT(pcm.Frames(), sound->sampleCount * 9 / 10);
            EXPECT_LE(pcm.Frames(), sound->sampleCount);
            ++decoded;
        }
        tags = tags.subspan(tag.headerSize + tag.length);
    }
    EXPECT_GT(decoded, 0);
}

TEST(AcmMp3, GarbageGivesNothing) {
    audio::Pcm pcm;
    const std::vector<uint8_t> garbage(700, 0x11);
    EXPECT_FALSE(CreateAcmMp3Decoder()->Decode(garbage, pcm));
}

TEST(WaveOut, PullsFromTheSourceOrFailsCleanlyWithoutADevice) {
    std::atomic<int> pulls{0};
    WaveOut out;
    const bool opened = out.Open([&](int16_t* stereo, size_t frames) {
        std::fill(stereo, stereo + frames * 2, int16_t{0});
        ++pulls;
    });
    if (!opened) {
        EXPECT_FALSE(out.IsOpen());
        out.Close();  // harmless
        GTEST_SKIP() << "no sound device here";
    }
    for (int i = 0; i < 100 && pulls < 6; ++i) Sleep(20);
    EXPECT_GE(pulls.load(), 6) << "buffers are refilled as the device returns them";
    out.Close();
    EXPECT_FALSE(out.IsOpen());
}

}  // namespace
}  // namespace velmora::moviehost
