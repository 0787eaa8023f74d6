// MP3 event sounds of a real movie decoded through libmpg123.
#include <gtest/gtest.h>

#include <algorithm>

#include "engine/audio/mp3_mpg123.h"
#include "engine/audio/test_support.h"

namespace velmora::audio {
namespace {

TEST(Mp3, DecodesTheEventSoundsOfACorpusMovie) {
    const auto movie = testing::ReadMovieSounds(VELMORA_CORPUS_DIR "/ruffle-avm1/avm1__sound/test.swf");
    if (!movie) GTEST_SKIP() << "corpus not present";
    const auto& sounds = movie->sounds;
    ASSERT_FALSE(sounds.empty());
    const auto decoder = CreateMpg123Decoder();
    for (const DefineSoundRecord& sound : sounds) {
        ASSERT_EQ(sound.format.format, SoundFormat::Mp3);
        const Pcm pcm = DecodeSound(sound, decoder.get());
        EXPECT_EQ(pcm.rate, sound.format.rate);
        EXPECT_EQ(pcm.channels, sound.format.Channels());
        EXPECT_EQ(pcm.Frames(), sound.sampleCount) << "priming skipped, padding cut";
        const auto loud = std::count_if(pcm.samples.begin(), pcm.samples.end(), [](int16_t s) { return s > 1000 || s < -1000; });
        EXPECT_GT(loud, 100) << "real sound, not silence";
    }
}

TEST(Mp3, GarbageGivesNothing) {
    const auto decoder = CreateMpg123Decoder();
    Pcm pcm;
    const std::vector<uint8_t> garbage(500, 0x5A);
    EXPECT_FALSE(decoder->Decode(garbage, pcm));
    EXPECT_TRUE(pcm.samples.empty());
}

}  // namespace
}  // namespace velmora::audio
