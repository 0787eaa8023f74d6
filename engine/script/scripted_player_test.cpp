// Movies made with swfgen, their frame scripts run through the player and the VM.
#include "engine/script/scripted_player.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/avm1/test_support.h"
#include "engine/movie/movie_clip.h"
#include "tools/swfgen/movie_builder.h"
#include "tools/swfgen/shape_builder.h"
#include "tools/swfgen/text_writer.h"

namespace velmora::script {
namespace {

using avm1::Op;
using avm1::test::Asm;
using avm1::test::P;

constexpr int kDepthOffset = 16384;

// A movie at 10 fps defining sprite 1: one empty frame.
swfgen::MovieBuilder WithEmptySprite() {
    swfgen::MovieBuilder m(6, {0, 2000, 0, 2000}, 10);
    swfgen::TagList sprite = m.NewSprite();
    sprite.ShowFrame();
    m.DefineSprite(1, sprite);
    return m;
}

// `frames` frames; `scripts[i]` runs on frame i + 1. Sprite 1 is exported as "thing".
std::vector<uint8_t> Movie(const std::vector<Asm>& scripts, int frames = 3) {
    swfgen::MovieBuilder m = WithEmptySprite();
    m.Export(1, "thing");
    for (int frame = 0; frame < frames; ++frame) {
        if (frame < static_cast<int>(scripts.size())) m.DoAction(scripts[static_cast<size_t>(frame)].Bytes());
        m.ShowFrame();
    }
    return m.Build();
}

// clip.method(args...) with the result dropped; `clip` is a variable path.
Asm& CallOn(Asm& a, const std::string& clip, const std::string& method, std::initializer_list<P> reversedArgs) {
    a.Push(reversedArgs).Push({static_cast<int>(reversedArgs.size()), P(clip)}).Do(Op::GetVariable);
    return a.Push({P(method)}).Do(Op::CallMethod).Do(Op::Pop);
}

// trace(clip.member)
Asm& TraceMember(Asm& a, const std::string& clip, const std::string& member) {
    return a.Push({P(clip)}).Do(Op::GetVariable).Push({P(member)}).Do(Op::GetMember).Do(Op::Trace);
}

class ScriptedPlayerTest : public ::testing::Test {
protected:
    void SetUp() override {
        movie::PlayerCallbacks callbacks;
        callbacks.trace = [this](std::string_view line) { lines.emplace_back(line); };
        callbacks.fsCommand = [this](std::string_view command, std::string_view args) {
            lines.push_back("fs " + std::string(command) + "|" + std::string(args));
        };
        scripted.SetCallbacks(callbacks);
    }
    movie::Player& Player() { return scripted.GetPlayer(); }

    ScriptedPlayer scripted;
    std::vector<std::string> lines;
};

TEST_F(ScriptedPlayerTest, FrameScriptTracesRaisesFsCommandAndStops) {
    Asm frame1;
    frame1.Push({"one"}).Do(Op::Trace).Push({"FSCommand:hello", "world"}).Record(Op::GetUrl2, {0});
    frame1.Do(Op::Stop);
    Asm frame2;
    frame2.Push({"two"}).Do(Op::Trace);
    Player().Load(Movie({frame1, frame2}));
    Player().RunFrame();
    Player().RunFrame();
    EXPECT_EQ(lines, (std::vector<std::string>{"one", "fs hello|world"}));
    EXPECT_EQ(Player().CurrentFrame(), 1u);
    EXPECT_FALSE(Player().IsPlaying());
}

TEST_F(ScriptedPlayerTest, LoadedDataReachesTheScriptAtTheNextTickNotInsideTheLoad) {
    std::vector<std::string> urls;
    scripted.SetDataLoader([this, &urls](uint32_t request, const avm1::DataRequest& what) {
        urls.push_back(what.url);
        scripted.DeliverData(request, true, "score=42&name=%E6%9D%8E");
    });
    Asm frame1;
    frame1.Push({"x", 0, "LoadVars"}).Do(Op::NewObject).Do(Op::SetVariable);
    CallOn(frame1, "x", "load", {"vars.txt"});
    TraceMember(frame1, "x", "loaded");
    Asm frame3;  // the first tick comes after frame 2
    TraceMember(frame3, "x", "loaded");
    TraceMember(frame3, "x", "score");
    TraceMember(frame3, "x", "name");
    Player().Load(Movie({frame1, Asm(), frame3}));
    Player().RunFrame();
    Player().RunFrame();
    EXPECT_EQ(urls, std::vector<std::string>{"vars.txt"});
    EXPECT_EQ(lines, (std::vector<std::string>{"false", "true", "42", "\xE6\x9D\x8E"}));
}

TEST_F(ScriptedPlayerTest, AttachedClipSitsAtItsScriptDepthAndRunsOnEnterFrame) {
    Asm frame1;
    CallOn(frame1, "_root", "attachMovie", {5, "a", "thing"});
    // _root.a.onEnterFrame = function () { trace(this._name + " " + this.getDepth()); }
    Asm body;
    TraceMember(body, "this", "_name");
    body.Push({0, "this"}).Do(Op::GetVariable).Push({"getDepth"}).Do(Op::CallMethod).Do(Op::Trace);
    frame1.Push({"_root"}).Do(Op::GetVariable).Push({"a"}).Do(Op::GetMember).Push({"onEnterFrame"});
    frame1.Function("", {}, body).Do(Op::SetMember).Do(Op::Stop);
    Player().Load(Movie({frame1}));
    const auto& children = Player().Root()->Children();
    ASSERT_EQ(children.count(kDepthOffset + 5), 1u);
    EXPECT_EQ(children.at(kDepthOffset + 5)->place.name, "a");
    Player().RunFrame();
    Player().RunFrame();
    EXPECT_EQ(lines, (std::vector<std::string>{"a", "5", "a", "5"}));
}

TEST_F(ScriptedPlayerTest, ReferenceToARemovedClipFollowsItsPathToTheNewOne) {
    Asm frame1;
    CallOn(frame1, "_root", "createEmptyMovieClip", {3, "a"});
    frame1.Push({"r", "_root"}).Do(Op::GetVariable).Push({"a"}).Do(Op::GetMember).Do(Op::SetVariable);
    CallOn(frame1, "r", "removeMovieClip", {});
    TraceMember(frame1, "_root", "a");
    CallOn(frame1, "_root", "createEmptyMovieClip", {7, "a"});
    frame1.Push({0, "r"}).Do(Op::GetVariable).Push({"getDepth"}).Do(Op::CallMethod).Do(Op::Trace);
    Player().Load(Movie({frame1}));
    EXPECT_EQ(lines, (std::vector<std::string>{"undefined", "7"}));
    EXPECT_EQ(Player().Root()->Children().count(kDepthOffset + 3), 0u);
}

TEST_F(ScriptedPlayerTest, TimelineInstancesCannotBeRemovedByScript) {
    swfgen::MovieBuilder m = WithEmptySprite();
    swf::PlaceObject place = swfgen::Placement(1, 1);
    place.name = "placed";
    m.Place(place);
    Asm frame1;
    CallOn(frame1, "placed", "removeMovieClip", {});
    TraceMember(frame1, "placed", "_name");
    m.DoAction(frame1.Bytes());
    m.ShowFrame();
    Player().Load(m.Build());
    EXPECT_EQ(lines, (std::vector<std::string>{"placed"}));
}

TEST_F(ScriptedPlayerTest, IntervalsFollowTheMovieClock) {
    Asm tick;
    tick.Push({"tick"}).Do(Op::Trace);
    Asm frame1;
    frame1.Push({250}).Function("", {}, tick).Push({2, "setInterval"}).Do(Op::CallFunction).Do(Op::Pop);
    frame1.Do(Op::Stop);
    Player().Load(Movie({frame1}));
    for (int i = 0; i < 11; ++i) Player().Advance(50);  // 550 ms
    EXPECT_EQ(lines, (std::vector<std::string>{"tick", "tick"}));
}

TEST_F(ScriptedPlayerTest, ANewMovieStartsWithFreshGlobals) {
    Asm set;
    set.Push({"_global"}).Do(Op::GetVariable).Push({"mark", 1}).Do(Op::SetMember);
    Asm read;
    TraceMember(read, "_global", "mark");
    Player().Load(Movie({set}));
    Player().Load(Movie({read}));
    EXPECT_EQ(lines, (std::vector<std::string>{"undefined"}));
}

TEST_F(ScriptedPlayerTest, ClipsInAButtonStateHaveTheButtonAsParent) {
    swfgen::MovieBuilder m(6, {0, 2000, 0, 2000}, 10);
    swfgen::TagList sprite = m.NewSprite();
    Asm path;
    path.Push({"this"}).Do(Op::GetVariable).Do(Op::TargetPath).Do(Op::Trace);
    sprite.DoAction(path.Bytes());
    sprite.ShowFrame();
    m.DefineSprite(1, sprite);
    swf::Button button;
    button.records.push_back({swf::kButtonUp, 1, 1, {}, {}, {}, swf::BlendMode::Normal});
    m.DefineButton2(2, button);
    swf::PlaceObject place = swfgen::Placement(2, 1);
    place.name = "b";
    m.Place(place);
    m.ShowFrame();
    Player().Load(m.Build());
    // A named instance takes no default number: the sprite in the button is the first.
    EXPECT_EQ(lines, (std::vector<std::string>{"_level0.b.instance1"}));
}

// trace(s.method(args...))
void TraceCall(Asm& a, const char* method, std::initializer_list<P> reversedArgs) {
    a.Push(reversedArgs).Push({static_cast<int>(reversedArgs.size()), P("s")}).Do(Op::GetVariable);
    a.Push({P(method)}).Do(Op::CallMethod).Do(Op::Trace);
}

TEST_F(ScriptedPlayerTest, SizeBoundsAndHitTestsFollowWhatAClipDraws) {
    swfgen::MovieBuilder m(6, {0, 2000, 0, 2000}, 10);
    swfgen::ShapeBuilder box;
    box.SetStyles(box.AddFill(swfgen::SolidFill({255, 0, 0, 255})), 0, 0);
    box.Rect(0, 0, 10 * 20, 20 * 20);  // 10 x 20 px
    m.DefineShape(1, box.Build());
    swfgen::TagList sprite = m.NewSprite();
    sprite.Place(1, 1);
    sprite.ShowFrame();
    m.DefineSprite(2, sprite);
    swf::PlaceObject place = swfgen::Placement(2, 1, {1, 0, 0, 1, 50 * 20, 5 * 20});
    place.name = "s";
    m.Place(place);
    Asm script;
    TraceMember(script, "s", "_width");
    TraceMember(script, "s", "_height");
    for (const char* side : {"xMin", "yMin", "xMax", "yMax"}) {  // s.getBounds(_root)[side]
        script.Push({"_root"}).Do(Op::GetVariable).Push({1, "s"}).Do(Op::GetVariable).Push({"getBounds"});
        script.Do(Op::CallMethod).Push({P(side)}).Do(Op::GetMember).Do(Op::Trace);
    }
    TraceCall(script, "hitTest", {true, 10, 55});
    TraceCall(script, "hitTest", {true, 10, 45});
    TraceCall(script, "hitTest", {false, 26, 59});
    script.Push({"s"}).Do(Op::GetVariable).Push({"_width", 20}).Do(Op::SetMember);
    TraceMember(script, "s", "_xscale");
    CallOn(script, "_root", "createEmptyMovieClip", {9, "e"});
    script.Push({0, "e"}).Do(Op::GetVariable).Push({"getBounds"}).Do(Op::CallMethod).Push({"xMin"});
    script.Do(Op::GetMember).Do(Op::Trace);
    m.DoAction(script.Bytes());
    m.ShowFrame();
    Player().Load(m.Build());
    EXPECT_EQ(lines, (std::vector<std::string>{"10", "20", "50", "5", "60", "25", "true", "false", "false", "200",
                                               "6710886.35"}));
}

// Static text measures and hits by the rectangle of its tag, not by its glyphs' ink.
TEST_F(ScriptedPlayerTest, StaticTextBoundsAndHitTestsUseItsRectangle) {
    swfgen::MovieBuilder m(6, {0, 2000, 0, 2000}, 10);
    const text::Font font = swfgen::BlockFont(U"A ", text::kEmSquare);
    m.DefineFont(1, font, swf::kTagDefineFont2);
    text::StaticText line;
    line.bounds = {0, 40 * 20, -10 * 20, 2 * 20};  // 40 x 12 px around the baseline
    line.records.push_back({1, Rgba{0, 0, 0, 255}, 200, 0, 0, text::LayoutGlyphs(font, 200, U" A", false)});
    m.DefineText(2, line);
    swfgen::TagList sprite = m.NewSprite();
    sprite.Place(2, 1);
    sprite.ShowFrame();
    m.DefineSprite(3, sprite);
    swf::PlaceObject place = swfgen::Placement(3, 1, {1, 0, 0, 1, 50 * 20, 30 * 20});
    place.name = "s";
    m.Place(place);
    Asm script;
    TraceMember(script, "s", "_width");
    TraceMember(script, "s", "_height");
    TraceCall(script, "hitTest", {true, 21, 52});   // over the leading space: no ink
    TraceCall(script, "hitTest", {true, 21, 95});   // beyond the rectangle's right
    m.DoAction(script.Bytes());
    m.ShowFrame();
    Player().Load(m.Build());
    EXPECT_EQ(lines, (std::vector<std::string>{"40", "12", "true", "false"}));
}

TEST_F(ScriptedPlayerTest, AMovieWithoutScriptsMakesNoVm) {
    Player().Load(Movie({}));
    Player().RunFrame();
    EXPECT_EQ(scripted.GetVm(), nullptr);
    Asm script;
    script.Push({"hi"}).Do(Op::Trace);
    Player().Load(Movie({script}));
    EXPECT_NE(scripted.GetVm(), nullptr);
}

TEST(ScriptedPlayer, PlayersKeepTheirOwnGlobals) {
    Asm set;
    set.Push({"_global"}).Do(Op::GetVariable).Push({"mark", 1}).Do(Op::SetMember).Do(Op::Stop);
    Asm read;
    TraceMember(read, "_global", "mark");
    ScriptedPlayer first, second;
    std::vector<std::string> lines;
    movie::PlayerCallbacks callbacks;
    callbacks.trace = [&](std::string_view line) { lines.emplace_back(line); };
    second.SetCallbacks(callbacks);
    first.GetPlayer().Load(Movie({set}));
    second.GetPlayer().Load(Movie({read}));
    EXPECT_EQ(lines, (std::vector<std::string>{"undefined"}));
}

TEST(SystemCodePageCodec, ChineseTextRoundTripsThroughGbk) {
    SystemCodePageCodec codec;
    const std::string gbk = "\xC4\xE3\xBA\xC3";  // 你好
    EXPECT_EQ(codec.AnsiToUtf8(gbk), "\xE4\xBD\xA0\xE5\xA5\xBD");
    EXPECT_EQ(codec.Utf8ToAnsi("\xE4\xBD\xA0\xE5\xA5\xBD"), gbk);
}

// A sprite with one empty frame, placed by name with an onClipEvent(unload) tracing `text`.
swf::PlaceObject WithUnload(uint16_t depth, const char* name, const char* text) {
    swf::PlaceObject place = swfgen::Placement(1, depth);
    place.name = name;
    Asm unload;
    unload.Push({text}).Do(Op::Trace);
    place.clipActions.push_back({swf::kClipUnload, 0, unload.Bytes()});
    return place;
}

// trace(clip.getDepth())
Asm& TraceDepth(Asm& a, const std::string& clip) {
    return a.Push({0, P(clip)}).Do(Op::GetVariable).Push({"getDepth"}).Do(Op::CallMethod).Do(Op::Trace);
}

TEST_F(ScriptedPlayerTest, UnloadHandlersRunInTagOrderAndKeepTheClipReachableForATick) {
    swfgen::MovieBuilder m = WithEmptySprite();
    m.Place(WithUnload(1, "a", "unload a"));
    m.Place(WithUnload(2, "b", "unload b"));
    m.ShowFrame();
    // Frame 2: b goes before the frame's script, a after it.
    m.Remove(2);
    Asm frame2;
    frame2.Push({"frame 2"}).Do(Op::Trace);
    TraceDepth(frame2, "b");  // depth 2 parks at -3
    m.DoAction(frame2.Bytes());
    m.Remove(1);
    m.ShowFrame();
    Asm frame3;
    frame3.Push({"b"}).Do(Op::GetVariable).Do(Op::TypeOf).Do(Op::Trace).Do(Op::Stop);
    m.DoAction(frame3.Bytes());
    m.ShowFrame();
    Player().Load(m.Build());
    Player().RunFrame();
    EXPECT_EQ(lines, (std::vector<std::string>{"unload b", "frame 2", "-16387", "unload a"}));
    EXPECT_EQ(Player().Root()->Children().count(-3), 1u);  // drawn no more, but still listed
    Player().RunFrame();
    EXPECT_EQ(lines.back(), "undefined");
    EXPECT_TRUE(Player().Root()->Children().empty());
}

TEST_F(ScriptedPlayerTest, RemoveMovieClipWaitsForAnUnloadMethodOnly) {
    Asm frame1;
    CallOn(frame1, "_root", "createEmptyMovieClip", {5, "c"});
    CallOn(frame1, "_root", "createEmptyMovieClip", {6, "plain"});
    Asm unload;
    unload.Push({"unload c"}).Do(Op::Trace);
    frame1.Push({"c"}).Do(Op::GetVariable).Push({"onUnload"}).Function("", {}, unload).Do(Op::SetMember);
    CallOn(frame1, "c", "removeMovieClip", {});
    CallOn(frame1, "plain", "removeMovieClip", {});
    TraceDepth(frame1, "c");  // script depth 5 is list depth 16389, parked at -16390
    TraceMember(frame1, "_root", "plain");
    frame1.Push({"end of frame 1"}).Do(Op::Trace);
    Asm frame2;
    TraceMember(frame2, "_root", "c");
    frame2.Do(Op::Stop);
    Player().Load(Movie({frame1, frame2}));
    Player().RunFrame();
    EXPECT_EQ(lines, (std::vector<std::string>{"-32774", "undefined", "end of frame 1", "unload c", "undefined"}));
}

TEST_F(ScriptedPlayerTest, GoingBackKeepsInstancesOfTheSameCharacterAndRatio) {
    swfgen::MovieBuilder m = WithEmptySprite();
    auto place = [&](uint16_t depth, uint16_t ratio) {
        swf::PlaceObject p = swfgen::Placement(1, depth);
        p.ratio = ratio;
        m.Place(p);
    };
    place(1, 0);
    place(2, 1);
    m.ShowFrame();
    m.ShowFrame();
    m.Remove(1);
    m.Remove(2);
    place(1, 0);  // the same character and ratio: the same instance as far as going back goes
    place(2, 7);
    m.ShowFrame();
    Player().Load(m.Build());
    Player().GotoFrame(3);
    const auto& children = Player().Root()->Children();
    const uint64_t kept = children.at(1)->serial, replaced = children.at(2)->serial;
    Player().GotoFrame(2);
    EXPECT_EQ(children.at(1)->serial, kept);
    EXPECT_NE(children.at(2)->serial, replaced);
    EXPECT_EQ(children.at(2)->place.ratio, 1);
}

TEST_F(ScriptedPlayerTest, GoingBackClearsScriptClipsFromTimelineDepthsButNotSwappedOnes) {
    swfgen::MovieBuilder m = WithEmptySprite();
    swf::PlaceObject first = swfgen::Placement(1, 1);
    first.name = "first";
    m.Place(first);
    m.ShowFrame();
    swf::PlaceObject second = swfgen::Placement(1, 2);
    second.name = "second";
    m.Place(second);
    Asm frame2;
    CallOn(frame2, "_root", "createEmptyMovieClip", {-100, "low"});  // in the timeline's depths
    CallOn(frame2, "_root", "createEmptyMovieClip", {10, "high"});
    // second.swapDepths(first): second now at depth 1, first at 2.
    frame2.Push({"first"}).Do(Op::GetVariable).Push({1, "second"}).Do(Op::GetVariable);
    frame2.Push({"swapDepths"}).Do(Op::CallMethod).Do(Op::Pop);
    frame2.Do(Op::Stop);
    m.DoAction(frame2.Bytes());
    m.ShowFrame();
    Player().Load(m.Build());
    Player().RunFrame();
    Player().GotoFrame(1);  // frame 1 places depth 1 only
    std::vector<std::string> names;
    for (const auto& [depth, child] : Player().Root()->Children()) names.push_back(child->place.name);
    EXPECT_EQ(names, (std::vector<std::string>{"second", "high"}));
}

TEST_F(ScriptedPlayerTest, CloneSpriteDepthsCountFromTheBottomOfTheList) {
    Asm frame1;
    CallOn(frame1, "_root", "createEmptyMovieClip", {1, "src"});
    frame1.Push({"src", "copy", kDepthOffset + 3}).Do(Op::CloneSprite);
    TraceDepth(frame1, "copy");
    Player().Load(Movie({frame1}));
    EXPECT_EQ(lines, (std::vector<std::string>{"3"}));
}

TEST_F(ScriptedPlayerTest, InstancesPlacedByAGotoAreConstructedBeforeTheNextScript) {
    swfgen::MovieBuilder m = WithEmptySprite();
    Asm go;
    go.Record(Op::GotoFrame, {1, 0}).Do(Op::Stop);
    Asm next;
    next.Push({"next block"}).Do(Op::Trace);
    m.DoAction(go.Bytes());
    m.DoAction(next.Bytes());
    m.ShowFrame();
    swf::PlaceObject place = swfgen::Placement(1, 1);
    Asm construct;
    construct.Push({"construct"}).Do(Op::Trace);
    place.clipActions.push_back({swf::kClipConstruct, 0, construct.Bytes()});
    m.Place(place);
    m.ShowFrame();
    Player().Load(m.Build());
    EXPECT_EQ(lines, (std::vector<std::string>{"construct", "next block"}));
}

TEST_F(ScriptedPlayerTest, InitActionsRunOnceBeforeTimelineInstancesTakeTheirRegisteredClass) {
    swfgen::MovieBuilder m = WithEmptySprite();
    m.Export(1, "thing");
    swf::PlaceObject place = swfgen::Placement(1, 1);
    place.name = "t";
    Asm construct;
    construct.Push({"construct"}).Do(Op::Trace);
    place.clipActions.push_back({swf::kClipConstruct, 0, construct.Bytes()});
    m.Place(place);
    Asm frame1;
    frame1.Push({"frame "}).Do(Op::Trace);
    TraceMember(frame1, "t", "kind");
    m.DoAction(frame1.Bytes());
    // Written after the placement, run before it is constructed:
    // function C() { trace("ctor"); } C.prototype.kind = "C"; Object.registerClass("thing", C);
    Asm init, ctor;
    ctor.Push({"ctor"}).Do(Op::Trace);
    init.Push({"init"}).Do(Op::Trace).Function("C", {}, ctor);
    init.Push({"C"}).Do(Op::GetVariable).Push({"prototype"}).Do(Op::GetMember).Push({"kind", "C"}).Do(Op::SetMember);
    init.Push({"C"}).Do(Op::GetVariable).Push({"thing", 2, "Object"}).Do(Op::GetVariable);
    init.Push({"registerClass"}).Do(Op::CallMethod).Do(Op::Pop);
    std::vector<uint8_t> body = {1, 0};
    std::vector<uint8_t> code = init.Bytes();
    body.insert(body.end(), code.begin(), code.end());
    m.Tag(swf::kTagDoInitAction, body);
    m.ShowFrame();
    m.ShowFrame();
    Player().Load(m.Build());
    Player().RunFrame();
    Player().RunFrame();  // back on frame 1: the init actions do not run again
    EXPECT_EQ(lines, (std::vector<std::string>{"init", "construct", "ctor", "frame ", "C", "frame ", "C"}));
}

TEST_F(ScriptedPlayerTest, DrawnContentSizesTheClipAndGoesWithItsCopies) {
    Asm frame1;
    CallOn(frame1, "_root", "createEmptyMovieClip", {1, "d"});
    CallOn(frame1, "d", "lineStyle", {4});
    CallOn(frame1, "d", "beginFill", {0xFF0000});
    CallOn(frame1, "d", "moveTo", {10, 10});
    CallOn(frame1, "d", "lineTo", {10, 110});
    CallOn(frame1, "d", "lineTo", {110, 110});
    CallOn(frame1, "d", "curveTo", {60, 10, 110, 60});
    CallOn(frame1, "d", "endFill", {});  // closes the outline back to (10, 10)
    TraceMember(frame1, "d", "_width");  // 100 wide plus half the line on each side
    frame1.Push({0, "d"}).Do(Op::GetVariable).Push({"getBounds"}).Do(Op::CallMethod);
    frame1.Push({"yMin"}).Do(Op::GetMember).Do(Op::Trace);
    CallOn(frame1, "d", "duplicateMovieClip", {2, "copy"});
    TraceMember(frame1, "copy", "_height");
    CallOn(frame1, "d", "clear", {});
    TraceMember(frame1, "d", "_width");
    TraceMember(frame1, "copy", "_height");
    Player().Load(Movie({frame1}));
    EXPECT_EQ(lines, (std::vector<std::string>{"104", "8", "104", "0", "104"}));
}

TEST_F(ScriptedPlayerTest, TimelineMovesSkipAScriptClipSwappedIntoTheirDepthButRemovalsReachIt) {
    swfgen::MovieBuilder m = WithEmptySprite();
    swf::PlaceObject placed = swfgen::Placement(1, 2);
    placed.name = "placed";
    m.Place(placed);
    Asm frame1;
    CallOn(frame1, "_root", "createEmptyMovieClip", {1, "made"});
    frame1.Push({"placed"}).Do(Op::GetVariable).Push({1, "made"}).Do(Op::GetVariable);
    frame1.Push({"swapDepths"}).Do(Op::CallMethod).Do(Op::Pop);  // made now at depth 2
    m.DoAction(frame1.Bytes());
    m.ShowFrame();
    m.Move(2, Matrix{1, 0, 0, 1, 2000, 0});
    Asm frame2;
    TraceMember(frame2, "made", "_x");
    m.DoAction(frame2.Bytes());
    m.ShowFrame();
    m.Remove(2);
    Asm frame3;
    frame3.Push({"made"}).Do(Op::GetVariable).Do(Op::TypeOf).Do(Op::Trace).Do(Op::Stop);
    m.DoAction(frame3.Bytes());
    m.ShowFrame();
    Player().Load(m.Build());
    Player().RunFrame();
    Player().RunFrame();
    EXPECT_EQ(lines, (std::vector<std::string>{"0", "undefined"}));
}

}  // namespace
}  // namespace velmora::script

namespace velmora::script {
namespace {

// Script bitmaps on the stage: attachBitmap shows the pixels, and later writes show
// up in the next picture (the display list notices the pixels changed).
TEST_F(ScriptedPlayerTest, AttachedBitmapShowsItsPixelsAsTheyChange) {
    Asm make;
    make.Push({"bmd", P(static_cast<double>(0xFF00FF00u)), P(false), 4, 4, 4, "flash"}).Do(Op::GetVariable);
    make.Push({"display"}).Do(Op::GetMember).Push({"BitmapData"}).Do(Op::NewMethod).Do(Op::SetVariable);
    make.Push({1, "bmd"}).Do(Op::GetVariable).Push({2, "_root"}).Do(Op::GetVariable);
    make.Push({"attachBitmap"}).Do(Op::CallMethod).Do(Op::Pop);
    CallOn(make, "bmd", "setPixel", {P(static_cast<double>(0xFF0000)), 1, 1});
    Asm change;
    CallOn(change, "bmd", "setPixel", {P(static_cast<double>(0x0000FF)), 2, 3});
    change.Do(Op::Stop);
    swfgen::MovieBuilder m(8, {0, 2000, 0, 2000}, 10);
    m.SetBackground({255, 255, 255, 255});
    m.DoAction(make.Bytes());
    m.ShowFrame();
    m.DoAction(change.Bytes());
    m.ShowFrame();
    Player().Load(m.Build());
    raster::Surface surface(100, 100);
    Player().Render(surface);
    EXPECT_EQ(surface.Row(2)[3], 0xFF00FF00u);
    EXPECT_EQ(surface.Row(0)[0], 0xFF00FF00u);
    EXPECT_EQ(surface.Row(1)[1], 0xFFFF0000u);
    EXPECT_EQ(surface.Row(5)[5], 0xFFFFFFFFu);  // the bitmap ends at 4 pixels
    Player().RunFrame();
    Player().Render(surface);
    EXPECT_EQ(surface.Row(2)[3], 0xFF0000FFu);
}

// The stage is the window under noScale, the movie (100 x 100 here) otherwise; a listener
// hears onResize when that size changes, from the script that set the mode or later.
TEST(StageSize, FollowsTheScaleModeAndTheViewport) {
    const struct {
        const char* mode;
        int viewport;  // square, in pixels
        std::vector<std::string> atStart, afterResize;
    } cases[] = {
        {"showAll", 300, {"100", "100"}, {}},
        {"exactFit", 300, {"100", "100"}, {}},
        {"NOSCALE", 300, {"resize 300", "300", "300"}, {"resize 400"}},
        {"noScale", 100, {"100", "100"}, {"resize 400"}},
    };
    for (const auto& c : cases) {
        // o = new Object(); o.onResize = function () { trace("resize " + Stage.width); };
        Asm onResize;
        onResize.Push({"resize "}).Push({"Stage"}).Do(Op::GetVariable).Push({"width"}).Do(Op::GetMember);
        onResize.Do(Op::Add2).Do(Op::Trace);
        Asm frame1;
        frame1.Push({"o", 0, "Object"}).Do(Op::NewObject).Do(Op::SetVariable);
        frame1.Push({"o"}).Do(Op::GetVariable).Push({"onResize"}).Function("", {}, onResize).Do(Op::SetMember);
        frame1.Push({"o"}).Do(Op::GetVariable).Push({1, "Stage"}).Do(Op::GetVariable);
        frame1.Push({"addListener"}).Do(Op::CallMethod).Do(Op::Pop);
        frame1.Push({"Stage"}).Do(Op::GetVariable).Push({"scaleMode", c.mode}).Do(Op::SetMember);
        TraceMember(frame1, "Stage", "width");
        TraceMember(frame1, "Stage", "height");
        frame1.Do(Op::Stop);

        ScriptedPlayer scripted;
        std::vector<std::string> lines;
        movie::PlayerCallbacks callbacks;
        callbacks.trace = [&lines](std::string_view line) { lines.emplace_back(line); };
        scripted.SetCallbacks(callbacks);
        scripted.GetPlayer().SetViewportSize(c.viewport, c.viewport);
        scripted.GetPlayer().Load(Movie({frame1}));
        EXPECT_EQ(lines, c.atStart) << c.mode << " " << c.viewport;
        lines.clear();
        scripted.GetPlayer().SetViewportSize(400, 400);
        scripted.GetPlayer().RunFrame();
        EXPECT_EQ(lines, c.afterResize) << c.mode << " " << c.viewport;
    }
}

// Scale and rotation read back as set, though the matrix they make cannot tell a
// negative scale from a half turn; rotation stays within a half turn either way.
TEST(ClipTransform, ReadsBackWhatTheScriptSet) {
    using avm1::ClipProp;
    const struct {
        ClipProp prop;
        double value;
        double xScale, yScale, rotation;  // read after the set
    } steps[] = {
        {ClipProp::XScale, -321, -321, 100, 0},
        {ClipProp::Rotation, -333, -321, 100, 27},
        {ClipProp::YScale, -50, -321, -50, 27},
        {ClipProp::Rotation, 540, -321, -50, 180},
        {ClipProp::Rotation, -190, -321, -50, 170},
    };
    movie::Player player;
    player.Load(Movie({}));
    MovieBridge bridge(player);
    const avm1::ClipId root = player.Root()->Owner().serial;
    for (const auto& s : steps) {
        bridge.SetProperty(root, s.prop, avm1::HostValue::Number(s.value));
        EXPECT_NEAR(bridge.GetProperty(root, ClipProp::XScale).number, s.xScale, 1e-9) << s.value;
        EXPECT_NEAR(bridge.GetProperty(root, ClipProp::YScale).number, s.yScale, 1e-9) << s.value;
        EXPECT_NEAR(bridge.GetProperty(root, ClipProp::Rotation).number, s.rotation, 1e-9) << s.value;
    }
    // Once the matrix changes under it, the matrix tells again.
    player.Root()->Owner().place.matrix = Matrix{2, 0, 0, 3, 0, 0};
    EXPECT_NEAR(bridge.GetProperty(root, ClipProp::XScale).number, 200, 1e-9);
    EXPECT_NEAR(bridge.GetProperty(root, ClipProp::Rotation).number, 0, 1e-9);
}

}  // namespace
}  // namespace velmora::script
