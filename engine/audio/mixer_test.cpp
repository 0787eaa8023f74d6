#include <gtest/gtest.h>

#include "engine/audio/mixer.h"

namespace velmora::audio {
namespace {

std::shared_ptr<const Pcm> Constant(int16_t value, size_t frames, int rate = 44100, int channels = 1) {
    auto pcm = std::make_shared<Pcm>();
    pcm->rate = rate;
    pcm->channels = channels;
    pcm->samples.assign(frames * static_cast<size_t>(channels), value);
    return pcm;
}

// The left channel of `frames` mixed frames.
std::vector<int16_t> MixLeft(Mixer& mixer, size_t frames) {
    std::vector<int16_t> stereo(frames * 2);
    mixer.Mix(stereo.data(), frames);
    std::vector<int16_t> left;
    for (size_t i = 0; i < frames; ++i) left.push_back(stereo[2 * i]);
    return left;
}

size_t CountOf(const std::vector<int16_t>& samples, int16_t value) {
    return static_cast<size_t>(std::count(samples.begin(), samples.end(), value));
}

TEST(Mixer, SilenceWhenNothingPlays) {
    Mixer mixer;
    EXPECT_EQ(CountOf(MixLeft(mixer, 64), 0), 64u);
}

TEST(Mixer, SoundPlaysItsLoopsThenEnds) {
    Mixer mixer;
    SoundInfo info;
    info.loops = 3;
    mixer.Start(1, Constant(1000, 10), info);
    EXPECT_TRUE(mixer.IsPlaying(1));
    const auto left = MixLeft(mixer, 50);
    EXPECT_EQ(CountOf(left, 1000), 30u);
    EXPECT_EQ(CountOf(left, 0), 20u);
    EXPECT_FALSE(mixer.IsPlaying(1));
}

TEST(Mixer, MonoGoesToBothChannelsAndSoundsAdd) {
    Mixer mixer;
    mixer.Start(1, Constant(1000, 100), {});
    mixer.Start(2, Constant(-300, 100), {});
    std::vector<int16_t> stereo(8);
    mixer.Mix(stereo.data(), 4);
    EXPECT_EQ(stereo, std::vector<int16_t>(8, 700));
}

TEST(Mixer, LoudSoundsClipInsteadOfWrapping) {
    Mixer mixer;
    mixer.Start(1, Constant(30000, 10), {});
    mixer.Start(2, Constant(30000, 10), {});
    EXPECT_EQ(MixLeft(mixer, 1)[0], 32767);
}

TEST(Mixer, InAndOutPointsCountAt44Khz) {
    Mixer mixer;
    SoundInfo info;
    info.inPoint = 20;   // 10 frames of a 22 kHz sound
    info.outPoint = 60;  // to frame 30
    mixer.Start(1, Constant(500, 100, 22050), info);
    // 20 source frames at half the output rate: 40 output frames.
    const auto left = MixLeft(mixer, 100);
    EXPECT_EQ(CountOf(left, 500), 40u);
}

TEST(Mixer, NoMultipleAndSyncStop) {
    Mixer mixer;
    SoundInfo once;
    once.syncNoMultiple = true;
    mixer.Start(4, Constant(100, 1000), {});
    mixer.Start(4, Constant(100, 1000), once);  // ignored: already playing
    EXPECT_EQ(MixLeft(mixer, 1)[0], 100);
    mixer.Start(4, Constant(100, 1000), {});  // a second instance
    EXPECT_EQ(MixLeft(mixer, 1)[0], 200);
    SoundInfo stop;
    stop.syncStop = true;
    mixer.Start(4, Constant(100, 1000), stop);
    EXPECT_FALSE(mixer.IsPlaying(4));
    EXPECT_EQ(MixLeft(mixer, 1)[0], 0);
}

TEST(Mixer, EnvelopeScalesEachChannel) {
    Mixer mixer;
    SoundInfo info;
    info.envelope = {{0, 16384, 0}, {100, 16384, 32768}};
    mixer.Start(1, Constant(1000, 1000), info);
    std::vector<int16_t> stereo(400);
    mixer.Mix(stereo.data(), 200);
    EXPECT_EQ(stereo[0], 500);
    EXPECT_EQ(stereo[1], 0);
    EXPECT_NEAR(stereo[2 * 50 + 1], 500, 6) << "half way between the points";
    EXPECT_EQ(stereo[2 * 150 + 1], 1000) << "after the last point its level holds";
}

TEST(Mixer, StreamBlocksPlayInOrderAndKeepTheClock) {
    Mixer mixer;
    Pcm first = *Constant(100, 50, 22050);
    Pcm second = *Constant(200, 50, 22050);
    mixer.StreamAppend(7, first);
    mixer.StreamAppend(7, second);
    EXPECT_EQ(mixer.StreamQueued(7), 200u);
    const auto left = MixLeft(mixer, 250);
    EXPECT_EQ(left[0], 100);
    EXPECT_EQ(left[150], 200);
    EXPECT_EQ(left[249], 0) << "the stream ran dry";
    EXPECT_EQ(mixer.StreamPosition(7), 200u);
    EXPECT_EQ(mixer.StreamQueued(7), 0u);
    mixer.StreamStop(7);
    EXPECT_EQ(mixer.StreamPosition(7), 0u);
}

TEST(Mixer, VolumeScalesEverything) {
    Mixer mixer;
    mixer.SetVolume(50);
    mixer.Start(1, Constant(1000, 10), {});
    EXPECT_EQ(MixLeft(mixer, 1)[0], 500);
    mixer.SetVolume(0);
    EXPECT_EQ(MixLeft(mixer, 1)[0], 0);
}

}  // namespace
}  // namespace velmora::audio
