// The Sound class through frame scripts: settings per clip reach the mixer, attached
// sounds play with them, and position, duration and onSoundComplete follow the voice.
#include "engine/script/scripted_player.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "engine/avm1/test_support.h"
#include "engine/movie/movie_clip.h"
#include "tools/swfgen/movie_builder.h"
#include "tools/swfgen/sound_writer.h"

namespace velmora::script {
namespace {

using avm1::Op;
using avm1::test::Asm;
using avm1::test::P;

constexpr int16_t kLevel = 8000;

// Sound 5, "beep": 100 ms of a constant at 44.1 kHz. `scripts[i]` runs on frame i + 1.
std::vector<uint8_t> Movie(const std::vector<Asm>& scripts) {
    swfgen::MovieBuilder m(6, {0, 2000, 0, 2000}, 10);
    const std::vector<int16_t> samples(4410, kLevel);
    m.Tag(audio::kTagDefineSound, swfgen::DefineSoundBody(5, {audio::SoundFormat::PcmLittle, 44100, true, false},
                                                          4410, swfgen::Pcm16Bytes(samples)));
    m.Export(5, "beep");
    for (const Asm& script : scripts) {
        m.DoAction(script.Bytes());
        m.ShowFrame();
    }
    m.ShowFrame();
    return m.Build();
}

// var = new Sound(target); an empty target makes a global Sound.
Asm& NewSound(Asm& a, const std::string& var, const std::string& target) {
    if (target.empty()) return a.Push({P(var), 0, P("Sound")}).Do(Op::NewObject).Do(Op::SetVariable);
    a.Push({P(var), P(target)}).Do(Op::GetVariable).Push({1, P("Sound")}).Do(Op::NewObject);
    return a.Do(Op::SetVariable);
}

Asm& Call(Asm& a, const std::string& var, const std::string& method, std::initializer_list<P> reversedArgs) {
    a.Push(reversedArgs).Push({static_cast<int>(reversedArgs.size()), P(var)}).Do(Op::GetVariable);
    return a.Push({P(method)}).Do(Op::CallMethod);
}

Asm& TraceCall(Asm& a, const std::string& var, const std::string& method) {
    return Call(a, var, method, {}).Do(Op::Trace);
}

Asm& TraceMember(Asm& a, const std::string& var, const std::string& member) {
    return a.Push({P(var)}).Do(Op::GetVariable).Push({P(member)}).Do(Op::GetMember).Do(Op::Trace);
}

class SoundClassTest : public ::testing::Test {
protected:
    void SetUp() override {
        movie::PlayerCallbacks callbacks;
        callbacks.trace = [this](std::string_view line) { lines.emplace_back(line); };
        scripted.SetCallbacks(callbacks);
    }
    movie::Player& Player() { return scripted.GetPlayer(); }
    uint64_t ClipSerial() {
        for (auto& [depth, child] : Player().Root()->Children())
            if (child->place.name == "clip") return child->serial;
        return 0;
    }
    // One stereo frame from the mixer after skipping `skip` frames.
    std::pair<int16_t, int16_t> MixAt(size_t skip) {
        std::vector<int16_t> stereo((skip + 1) * 2);
        Player().Mixer().Mix(stereo.data(), skip + 1);
        return {stereo[skip * 2], stereo[skip * 2 + 1]};
    }

    ScriptedPlayer scripted;
    std::vector<std::string> lines;
};

struct SettingsCase {
    const char* name;
    std::function<void(Asm&)> set;  // on the Sound "s" of the clip
    std::vector<std::string> traced;  // getVolume, getPan, getTransform().ll/lr/rr/rl
    audio::SoundTransform inMixer;
};

class SoundSettingsTest : public SoundClassTest, public ::testing::WithParamInterface<SettingsCase> {};

TEST_P(SoundSettingsTest, SettersReadBackAndReachTheClipsTransform) {
    const SettingsCase& c = GetParam();
    Asm frame1;
    Call(frame1, "_root", "createEmptyMovieClip", {1, "clip"}).Do(Op::Pop);
    NewSound(frame1, "s", "clip");
    c.set(frame1);
    TraceCall(frame1, "s", "getVolume");
    TraceCall(frame1, "s", "getPan");
    frame1.Push({"t"});
    Call(frame1, "s", "getTransform", {}).Do(Op::SetVariable);
    for (const char* field : {"ll", "lr", "rr", "rl"}) TraceMember(frame1, "t", field);
    frame1.Do(Op::Stop);
    Player().Load(Movie({frame1}));
    EXPECT_EQ(lines, c.traced);
    EXPECT_EQ(Player().Mixer().Transform(ClipSerial()), c.inMixer);
    EXPECT_EQ(Player().Mixer().Transform(audio::kGlobalOwner), audio::SoundTransform{}) << "only the clip's";
}

INSTANTIATE_TEST_SUITE_P(
    Calls, SoundSettingsTest,
    ::testing::Values(
        SettingsCase{"Defaults", [](Asm&) {}, {"100", "0", "100", "0", "100", "0"}, {}},
        SettingsCase{"Volume", [](Asm& a) { Call(a, "s", "setVolume", {40}).Do(Op::Pop); },
                     {"40", "0", "100", "0", "100", "0"}, {40, 100, 0, 100, 0}},
        SettingsCase{"PanLeft", [](Asm& a) { Call(a, "s", "setPan", {-30}).Do(Op::Pop); },
                     {"100", "-30", "100", "0", "70", "0"}, {100, 100, 0, 70, 0}},
        SettingsCase{"PanRight", [](Asm& a) { Call(a, "s", "setPan", {60}).Do(Op::Pop); },
                     {"100", "60", "40", "0", "100", "0"}, {100, 40, 0, 100, 0}},
        SettingsCase{"SwapChannels",
                     [](Asm& a) {
                         a.Push({"o", "ll", 0, "lr", 100, "rr", 0, "rl", 100, 4}).Do(Op::InitObject).Do(Op::SetVariable);
                         a.Push({"o"}).Do(Op::GetVariable);
                         a.Push({1, "s"}).Do(Op::GetVariable).Push({"setTransform"}).Do(Op::CallMethod).Do(Op::Pop);
                     },
                     {"100", "100", "0", "100", "0", "100"}, {100, 0, 100, 0, 100}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SoundClassTest, AttachedSoundPlaysWithTheVolumeAndPanOfItsClip) {
    Asm frame1;
    Call(frame1, "_root", "createEmptyMovieClip", {1, "clip"}).Do(Op::Pop);
    NewSound(frame1, "s", "clip");
    Call(frame1, "s", "attachSound", {"beep"}).Do(Op::Pop);
    TraceMember(frame1, "s", "duration");
    Call(frame1, "s", "setVolume", {50}).Do(Op::Pop);
    Call(frame1, "s", "setPan", {100}).Do(Op::Pop);
    Call(frame1, "s", "start", {}).Do(Op::Pop);
    frame1.Do(Op::Stop);
    Player().Load(Movie({frame1}));
    EXPECT_EQ(lines, (std::vector<std::string>{"100"}));
    EXPECT_EQ(MixAt(10), (std::pair<int16_t, int16_t>{0, kLevel / 2}));
}

TEST_F(SoundClassTest, GlobalVolumeScalesEverySound) {
    Asm frame1;
    Call(frame1, "_root", "createEmptyMovieClip", {1, "clip"}).Do(Op::Pop);
    NewSound(frame1, "g", "");
    Call(frame1, "g", "setVolume", {25}).Do(Op::Pop);
    NewSound(frame1, "s", "clip");
    Call(frame1, "s", "attachSound", {"beep"}).Do(Op::Pop);
    Call(frame1, "s", "start", {}).Do(Op::Pop);
    frame1.Do(Op::Stop);
    Player().Load(Movie({frame1}));
    EXPECT_EQ(MixAt(0), (std::pair<int16_t, int16_t>{kLevel / 4, kLevel / 4}));
}

// s plays "beep" from `offset` seconds, `loops` times, tracing "complete" at its end.
Asm StartWithCompletion(double offset, int loops) {
    Asm frame1;
    NewSound(frame1, "s", "");
    Call(frame1, "s", "attachSound", {"beep"}).Do(Op::Pop);
    Asm done;
    done.Push({"complete"}).Do(Op::Trace);
    frame1.Push({"s"}).Do(Op::GetVariable).Push({"onSoundComplete"}).Function("", {}, done).Do(Op::SetMember);
    Call(frame1, "s", "start", {loops, offset}).Do(Op::Pop);
    return frame1;
}

TEST_F(SoundClassTest, PositionFollowsTheOffsetAndLoopsEndInOnSoundComplete) {
    Asm frame2;
    TraceMember(frame2, "s", "position");
    Player().Load(Movie({StartWithCompletion(0.05, 2), frame2}));
    MixAt(440);  // 10 ms
    Player().RunFrame();
    EXPECT_EQ(lines, (std::vector<std::string>{"60"}));
    MixAt(2205);  // 50 ms: past the first end, into the second loop
    Player().RunFrame();
    EXPECT_EQ(lines, (std::vector<std::string>{"60"})) << "still in its second loop";
    MixAt(2205);
    Player().RunFrame();
    EXPECT_EQ(lines, (std::vector<std::string>{"60", "complete"}));
}

TEST_F(SoundClassTest, AStoppedSoundIsNotComplete) {
    Asm frame2;
    Call(frame2, "s", "stop", {"beep"}).Do(Op::Pop);
    Player().Load(Movie({StartWithCompletion(0, 1), frame2}));
    Player().RunFrame();
    EXPECT_FALSE(Player().Mixer().IsPlaying(5));
    MixAt(5000);
    Player().RunFrame();
    EXPECT_TRUE(lines.empty());
}

}  // namespace
}  // namespace velmora::script
