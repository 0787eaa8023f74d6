// Sound on the timeline: event sounds from StartSound, soundtracks fed block by block and
// the picture kept in step with the soundtrack's clock.
#include <gtest/gtest.h>

#include <cmath>

#include "engine/movie/movie_clip.h"
#include "engine/movie/player.h"
#include "tools/swfgen/movie_builder.h"
#include "tools/swfgen/sound_writer.h"

namespace velmora::movie {
namespace {

constexpr float kFps = 10;
constexpr int kStreamRate = 22050;
constexpr int kBlockSamples = kStreamRate / 10;  // one frame of the soundtrack
constexpr int kOutputPerFrame = 44100 / 10;

audio::SoundFormatInfo Mono16(int rate) { return {audio::SoundFormat::PcmLittle, rate, true, false}; }

// Frame k's block holds the constant k * 100, so the mix says which block plays.
void AddStream(swfgen::TagList& tags, int frames) {
    audio::StreamHead head;
    head.playback = head.stream = Mono16(kStreamRate);
    head.samplesPerBlock = kBlockSamples;
    tags.Tag(audio::kTagSoundStreamHead2, swfgen::StreamHeadBody(head));
    for (int f = 1; f <= frames; ++f) {
        const std::vector<int16_t> block(kBlockSamples, static_cast<int16_t>(f * 100));
        tags.Tag(audio::kTagSoundStreamBlock, swfgen::Pcm16Bytes(block));
        tags.ShowFrame();
    }
}

// A 10-second movie whose root timeline carries the soundtrack.
std::vector<uint8_t> StreamedMovie(int frames = 100) {
    swfgen::MovieBuilder m(6, {0, 2000, 0, 2000}, kFps);
    AddStream(m, frames);
    return m.Build();
}

// The left channel of `frames` frames pulled from the mixer, as an output device does.
std::vector<int16_t> Pull(audio::Mixer& mixer, size_t frames) {
    std::vector<int16_t> stereo(frames * 2);
    mixer.Mix(stereo.data(), frames);
    std::vector<int16_t> left;
    for (size_t i = 0; i < frames; ++i) left.push_back(stereo[2 * i]);
    return left;
}

// A soundtrack clock running at `speed` times real time.
class ScaledClock : public audio::AudioClock {
public:
    explicit ScaledClock(double speed) : m_speed(speed) {}
    void Elapse(double ms) { m_ms += ms * m_speed; }
    uint64_t StreamPlayed(uint64_t) const override { return static_cast<uint64_t>(m_ms * 44.1); }

private:
    double m_speed;
    double m_ms = 0;
};

TEST(EventSound, StartSoundPlaysWithItsEnvelope) {
    swfgen::MovieBuilder m(6, {0, 2000, 0, 2000}, kFps);
    const std::vector<int16_t> samples(1000, 10000);
    m.Tag(audio::kTagDefineSound, swfgen::DefineSoundBody(7, Mono16(44100), 1000, swfgen::Pcm16Bytes(samples)));
    audio::SoundInfo info;
    info.envelope = {{0, 32768, 0}, {500, 0, 32768}};  // from the left speaker to the right one
    m.Tag(audio::kTagStartSound, swfgen::StartSoundBody(7, info));
    m.ShowFrame();
    Player player;
    const auto bytes = m.Build();
    player.Load(bytes);
    std::vector<int16_t> stereo(1200 * 2);
    player.Mixer().Mix(stereo.data(), 1200);
    EXPECT_EQ(stereo[0], 10000);
    EXPECT_EQ(stereo[1], 0);
    EXPECT_NEAR(stereo[2 * 250], 5000, 30);
    EXPECT_NEAR(stereo[2 * 250 + 1], 5000, 30);
    EXPECT_NEAR(stereo[2 * 600 + 1], 10000, 30);
    EXPECT_EQ(stereo[2 * 600], 0);
    EXPECT_EQ(stereo[2 * 1100], 0) << "the sound ended after its 1000 samples";
    EXPECT_FALSE(player.Mixer().IsPlaying(7));
}

TEST(EventSound, StartSound2FindsTheSoundByItsExportName) {
    swfgen::MovieBuilder m(6, {0, 2000, 0, 2000}, kFps);
    const std::vector<int16_t> samples(100, 1234);
    m.Tag(audio::kTagDefineSound, swfgen::DefineSoundBody(3, Mono16(44100), 100, swfgen::Pcm16Bytes(samples)));
    m.Export(3, "Ding");
    swfgen::BitWriter w;
    w.String("ding");
    swfgen::WriteSoundInfo(w, {});
    m.Tag(audio::kTagStartSound2, w.Data());
    m.ShowFrame();
    Player player;
    const auto bytes = m.Build();
    player.Load(bytes);
    EXPECT_EQ(Pull(player.Mixer(), 1)[0], 1234);
}

struct SyncCase {
    const char* name;
    std::optional<double> clockSpeed;  // none: no sound device
    int expectedFrame;                 // after 3 seconds
};

class StreamSync : public ::testing::TestWithParam<SyncCase> {};

TEST_P(StreamSync, TheSoundtrackSetsThePace) {
    const SyncCase& c = GetParam();
    Player player;
    const auto bytes = StreamedMovie();
    player.Load(bytes);
    ScaledClock clock(c.clockSpeed.value_or(1));
    if (c.clockSpeed) player.SetAudioClock(&clock);
    for (int tick = 0; tick < 60; ++tick) {
        clock.Elapse(50);
        player.Advance(50);
    }
    EXPECT_NEAR(static_cast<int>(player.CurrentFrame()), c.expectedFrame, 1);
}

INSTANTIATE_TEST_SUITE_P(Clock, StreamSync,
                         ::testing::Values(SyncCase{"InStep", 1.0, 31}, SyncCase{"SlowSoundHoldsFrames", 0.5, 16},
                                           SyncCase{"FastSoundSkipsFrames", 2.0, 61},
                                           SyncCase{"NoDeviceWallClock", std::nullopt, 31}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(StreamSync, PictureWaitsForAStalledSoundtrackAndCatchesUpInOneAdvance) {
    Player player;
    const auto bytes = StreamedMovie();
    player.Load(bytes);
    ScaledClock clock(1);
    player.SetAudioClock(&clock);
    for (int tick = 0; tick < 10; ++tick) player.Advance(100);
    EXPECT_EQ(player.CurrentFrame(), 1u) << "the soundtrack has not moved";
    clock.Elapse(400);  // within the half second queued ahead
    player.Advance(100);
    EXPECT_EQ(player.CurrentFrame(), 5u) << "four frames run at once; only the last is drawn";
}

TEST(StreamPlayback, BlocksReachTheMixerInOrderAheadOfThePlayhead) {
    Player player;
    const auto bytes = StreamedMovie();
    player.Load(bytes);
    const uint64_t root = player.Root()->Owner().serial;
    EXPECT_GE(player.Mixer().StreamQueued(root), 5u * kOutputPerFrame) << "half a second ahead";
    auto left = Pull(player.Mixer(), kOutputPerFrame * 2);
    EXPECT_EQ(left.front(), 100);
    EXPECT_EQ(left.back(), 200);
}

TEST(StreamPlayback, StopAndGotoStopOrRestartTheSoundtrack) {
    Player player;
    const auto bytes = StreamedMovie();
    player.Load(bytes);
    audio::Mixer& mixer = player.Mixer();
    MovieClip& root = *player.Root();
    const uint64_t serial = root.Owner().serial;

    player.Stop();
    EXPECT_FALSE(root.IsStreaming());
    EXPECT_EQ(mixer.StreamQueued(serial), 0u);
    player.Play();
    player.RunFrame();
    ASSERT_TRUE(root.IsStreaming());
    EXPECT_EQ(root.StreamStartFrame(), 2);
    EXPECT_EQ(Pull(mixer, 1)[0], 200);

    player.GotoFrame(50);
    EXPECT_EQ(root.StreamStartFrame(), 50);
    EXPECT_EQ(mixer.StreamPosition(serial), 0u);
    EXPECT_EQ(Pull(mixer, 1)[0], 5000);

    root.GotoFrame(60, false);  // gotoAndStop
    EXPECT_FALSE(root.IsStreaming());
    EXPECT_EQ(Pull(mixer, 1)[0], 0);

    root.GotoFrame(100, true);
    player.RunFrame();  // loops to frame 1
    EXPECT_EQ(player.CurrentFrame(), 1u);
    EXPECT_EQ(root.StreamStartFrame(), 1);
    EXPECT_EQ(Pull(mixer, 1)[0], 100);

    player.StopSounds();
    EXPECT_FALSE(root.IsStreaming());
    EXPECT_EQ(Pull(mixer, 1)[0], 0);
    player.RunFrame();
    EXPECT_TRUE(root.IsStreaming()) << "a playing timeline starts its soundtrack again";
}

TEST(StreamPlayback, ARemovedSpriteTakesItsSoundtrackAlong) {
    swfgen::MovieBuilder m(6, {0, 2000, 0, 2000}, kFps);
    swfgen::TagList sprite = m.NewSprite();
    AddStream(sprite, 20);
    m.DefineSprite(1, sprite);
    m.Place(1, 1);
    m.ShowFrame();
    m.ShowFrame();
    m.Remove(1);
    m.ShowFrame();
    m.ShowFrame();
    Player player;
    const auto bytes = m.Build();
    player.Load(bytes);
    player.RunFrame();
    EXPECT_NE(Pull(player.Mixer(), 1)[0], 0);
    player.RunFrame();
    EXPECT_EQ(player.CurrentFrame(), 3u);
    EXPECT_EQ(Pull(player.Mixer(), 1)[0], 0);
}

}  // namespace
}  // namespace velmora::movie
