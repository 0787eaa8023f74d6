// The system's side of sound: MP3 through ACM, output through waveOut.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>

#include "engine/audio/pcm.h"
#include "engine/audio/test_support.h"
#include "moviehost/mp3_acm.h"
#include "moviehost/wave_out.h"

namespace velmora::moviehost {
namespace {

TEST(AcmMp3, DecodesTheEventSoundsOfACorpusMovie) {
    const auto movie = audio::testing::ReadMovieSounds(VELMORA_CORPUS_DIR "/ruffle-avm1/avm1__sound/test.swf");
    if (!movie) GTEST_SKIP() << "corpus not present";
    ASSERT_FALSE(movie->sounds.empty());
    const auto decoder = CreateAcmMp3Decoder();
    for (const audio::DefineSoundRecord& sound : movie->sounds) {
        const audio::Pcm pcm = audio::DecodeSound(sound, decoder.get());
        EXPECT_EQ(pcm.rate, sound.format.rate);
        EXPECT_EQ(pcm.channels, sound.format.Channels());
        // The codec may hold back its last frame; nearly all of the sound must be there.
        EXPECT_GT(pcm.Frames(), sound.sampleCount * 9 / 10);
        EXPECT_LE(pcm.Frames(), sound.sampleCount);
    }
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
