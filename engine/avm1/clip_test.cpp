// Scripts driving display objects through the DisplayHost.
#include <gtest/gtest.h>

#include "engine/avm1/fake_display.h"
#include "engine/avm1/test_support.h"

namespace velmora::avm1 {
namespace {

using test::Asm;
using test::P;
using Lines = std::vector<std::string>;

class ClipTest : public ::testing::Test {
protected:
    ClipTest() {
        root = display.Add(kNoClip, "", 0, 10);
        a = display.Add(root, "a", 1, 5);
        b = display.Add(a, "b", 1, 3);
        display.clips[a].labels["intro"] = 2;
    }
    RunStatus Run(const Asm& code, ClipId clip, int version = 8) {
        return vm.RunActions(code.Bytes(), version, clip);
    }

    test::FakeDisplay display;
    test::RecordingHost host;
    Vm vm{host, &display, 8};
    ClipId root, a, b;
};

TEST_F(ClipTest, TargetPathsInEverySyntax) {
    const struct {
        const char* path;
        char from;  // r(oot), a, b
        const char* expected;
    } cases[] = {
        {"/a/b", 'b', "_level0.a.b"}, {"a.b", 'r', "_level0.a.b"}, {"a.b", 'b', "undefined"},
        {"_root.a", 'b', "_level0.a"}, {"_level0.a.b", 'r', "_level0.a.b"}, {"../:a", 'a', "_level0.a"},
        {"this", 'b', "_level0.a.b"}, {"_parent._parent", 'b', "_level0"}, {"/", 'b', "_level0"},
        {"_root.zz", 'r', "undefined"},
        // eval splits at the last '.', even one of "..".
        {"../a", 'a', "undefined"}, {"b/..", 'a', "undefined"},
        {"_root._levelx", 'a', "undefined"}, {"a._level9x", 'r', "undefined"},  // names, not levels
    };
    for (const auto& c : cases) {
        host.lines.clear();
        // eval(path), then its target path.
        Asm code;
        code.Push({c.path}).Do(Op::GetVariable).Do(Op::TargetPath).Do(Op::Trace);
        Run(code, c.from == 'r' ? root : c.from == 'a' ? a : b);
        ASSERT_EQ(host.lines.size(), 1u) << c.path;
        EXPECT_EQ(host.lines[0], c.expected) << c.path;
    }
}

TEST_F(ClipTest, PathGrammarOfGetVariableAndTellTarget) {
    ClipId c = display.Add(b, "c", 1);
    (void)c;
    const struct {
        const char* path;
        const char* eval;  // String(eval(path))
        const char* told;  // tellTarget(path) { trace(_name) }
    } cases[] = {
        // A variable shadows a child for the last name of eval, never inside a path.
        {"a.b", "b var", "b"},
        {"a.b.c", "_level0.a.b.c", "c"},
        {"a:b.c", "_level0.a.b.c", "c"},
        {":::a::b:c", "_level0.a.b.c", "c"},
        // After a slash '.' no longer separates, but eval splits at the last '.' first.
        {"a/b.c", "_level0.a.b.c", "undefined"},
        {"a/b/c", "_level0.a.b.c", "c"},
        {"a/b/c/..", "undefined", "b"},
        {"a/b:..", "undefined", "a"},
        {"a.b/:c", "_level0.a.b.c", "c"},
        {"a.b/c.", "undefined", "undefined"},
        {"/a/b", "_level0.a.b", "b"},
        // `this` leads only a variable path.
        {"this.a.b", "b var", "undefined"},
    };
    for (const auto& cs : cases) {
        host.lines.clear();
        Asm code;
        code.Push({"a"}).Do(Op::GetVariable).Push({"b", "b var"}).Do(Op::SetMember);
        code.Push({cs.path}).Do(Op::GetVariable).Do(Op::ToString).Do(Op::Trace);
        code.Push({cs.path}).Do(Op::SetTarget2).Push({"", 13}).Do(Op::GetProperty).Do(Op::Trace);
        code.StringRecord(Op::SetTarget, {""});
        Run(code, root, 8);
        EXPECT_EQ(host.lines, (Lines{cs.eval, cs.told})) << cs.path;
    }
}

TEST_F(ClipTest, UnknownTellTargetTalksToTheRootUpToSwf6) {
    for (int version : {6, 7}) {
        host.lines.clear();
        Asm code;
        code.SetVar("n", P("root")).StringRecord(Op::SetTarget, {"nowhere"});
        code.Push({"", 13}).Do(Op::GetProperty).Do(Op::Trace).StringRecord(Op::SetTarget, {""});
        // Slashes alone that name no clip are a plain variable name.
        code.SetVar("x/y", P("plain")).TraceVar("x/y");
        Run(code, a, version);
        EXPECT_EQ(host.lines, (version == 6 ? Lines{"", "plain"} : Lines{"undefined", "plain"})) << version;
    }
}

TEST_F(ClipTest, VariablesByPathAndSlashTarget) {
    Asm code;
    code.SetVar("/a/b:score", P(7));
    code.SetVar("_root.a.level", P(3));
    code.TraceVar("/a/b:score").TraceVar("a.b.score").TraceVar("a:level");
    code.Push({"a"}).Do(Op::GetVariable).Push({"_target"}).Do(Op::GetMember).Do(Op::Trace);
    Run(code, root);
    EXPECT_EQ(host.lines, (Lines{"7", "7", "3", "/a"}));
}

TEST_F(ClipTest, PropertiesByIndexAndName) {
    Asm code;
    code.Push({"a", 0, 12.5}).Do(Op::SetProperty);  // _x
    code.Push({"a", 0}).Do(Op::GetProperty).Do(Op::Trace);
    code.Push({"a"}).Do(Op::GetVariable).Push({"_ALPHA", 40}).Do(Op::SetMember);  // any case
    code.Push({"a", 6}).Do(Op::GetProperty).Do(Op::Trace);
    code.Push({"a", 5}).Do(Op::GetProperty).Do(Op::Trace);   // _totalframes
    code.Push({"a", 13}).Do(Op::GetProperty).Do(Op::Trace);  // _name
    code.Push({"a"}).Do(Op::GetVariable).Push({"_visible"}).Do(Op::GetMember).Do(Op::Trace);
    code.Push({"a"}).Do(Op::GetVariable).Do(Op::TypeOf).Do(Op::Trace);
    code.Push({"a", -0.8}).Do(Op::GetProperty).Do(Op::Trace);  // truncated: _x
    code.Push({"a", -1}).Do(Op::GetProperty).Do(Op::Trace);
    Run(code, root);
    EXPECT_EQ(host.lines, (Lines{"12.5", "40", "5", "a", "true", "movieclip", "12.5", "undefined"}));
    EXPECT_EQ(display.clips[a].props[0], 12.5);
}

TEST_F(ClipTest, TimelineActionsGoToTheCurrentTarget) {
    Asm code;
    code.StringRecord(Op::SetTarget, {"a"});
    code.Do(Op::Stop);
    code.StringRecord(Op::GotoLabel, {"intro"});
    code.StringRecord(Op::SetTarget, {""});
    code.Do(Op::Play);
    code.Push({"a:3"}).Record(Op::GotoFrame2, {0});  // gotoAndStop("a:3")
    code.Push({"intro"}).Record(Op::GotoFrame2, {1});  // on root: unknown label, ignored
    Run(code, root);
    EXPECT_EQ(display.log, (Lines{"stop a", "goto a 2", "play root", "goto a 2", "stop a"}));
}

TEST_F(ClipTest, MovieClipMethodsCallTheHost) {
    Asm code;
    code.Push({"intro", 1, "a"}).Do(Op::GetVariable).Push({"gotoAndPlay"}).Do(Op::CallMethod).Do(Op::Pop);
    code.Push({0, "a"}).Do(Op::GetVariable).Push({"getBytesLoaded"}).Do(Op::CallMethod).Do(Op::Trace);
    code.Push({5, "copy", 2, "a"}).Do(Op::GetVariable).Push({"duplicateMovieClip"}).Do(Op::CallMethod);
    code.Do(Op::TargetPath).Do(Op::Trace);
    code.Push({0, "a"}).Do(Op::GetVariable).Push({"getDepth"}).Do(Op::CallMethod).Do(Op::Trace);
    Run(code, root);
    EXPECT_EQ(host.lines, (Lines{"500", "_level0.copy", "1"}));
    EXPECT_EQ(display.log, (Lines{"goto a 2", "play a"}));
}

TEST_F(ClipTest, GotoAndStopIgnoresFramesBelowOneAndUnknownLabels) {
    const struct {
        P frame;
        Lines log;
    } cases[] = {
        {P(3), {"goto a 2", "stop a"}}, {P(2.9), {"goto a 1", "stop a"}}, {P(0), {}}, {P(-100), {}},
        {P(0.5), {}}, {P("zzz"), {}},
    };
    for (const auto& c : cases) {
        display.log.clear();
        Asm code;
        code.Push({c.frame, 1, "a"}).Do(Op::GetVariable).Push({"gotoAndStop"}).Do(Op::CallMethod).Do(Op::Pop);
        Run(code, root);
        EXPECT_EQ(display.log, c.log) << c.frame.n << c.frame.s;
        // The same through the global gotoAndStop inside a.
        display.log.clear();
        Asm action;
        action.Push({c.frame}).Record(Op::GotoFrame2, {0});
        Run(action, a);
        EXPECT_EQ(display.log, c.log) << c.frame.n << c.frame.s << " (GotoFrame2)";
    }
}

TEST_F(ClipTest, GetInstanceAtDepthFindsOnlyDirectChildren) {
    display.Add(root, "low", -16383);
    Asm code;
    for (int depth : {1, -16383, 2}) {
        code.Push({depth, 1, "_root"}).Do(Op::GetVariable).Push({"getInstanceAtDepth"}).Do(Op::CallMethod);
        code.Do(Op::TargetPath).Do(Op::Trace);
    }
    Run(code, root);
    // b sits at depth 1 too, but inside a.
    EXPECT_EQ(host.lines, (Lines{"_level0.a", "_level0.low", "undefined"}));
}

TEST_F(ClipTest, AttachMovieAppliesRegisteredClassAndInitObject) {
    // function Ball() { trace("ctor " + this.speed); } Object.registerClass("ball", Ball);
    Asm ctor;
    ctor.Push({"ctor "}).Push({"this"}).Do(Op::GetVariable).Push({"speed"}).Do(Op::GetMember).Do(Op::Add2).Do(Op::Trace);
    Asm code;
    code.Function("Ball", {}, ctor);
    code.Push({"Ball"}).Do(Op::GetVariable).Push({"ball", 2, "Object"}).Do(Op::GetVariable);
    code.Push({"registerClass"}).Do(Op::CallMethod).Do(Op::Pop);
    code.Push({"speed", 4, 1}).Do(Op::InitObject);
    code.Push({3, "b1", "ball", 4, "_root"}).Do(Op::GetVariable).Push({"attachMovie"}).Do(Op::CallMethod);
    code.Push({"Ball"}).Do(Op::GetVariable).Do(Op::InstanceOf).Do(Op::Trace);
    code.Push({3, "b2", "missing", 3, "_root"}).Do(Op::GetVariable).Push({"attachMovie"}).Do(Op::CallMethod).Do(Op::Trace);
    Run(code, root);
    EXPECT_EQ(host.lines, (Lines{"ctor 4", "true", "undefined"}));
    EXPECT_NE(vm.RegisteredClass("ball"), nullptr);
}

TEST_F(ClipTest, ReferenceToARemovedClipFindsItsSuccessor) {
    Asm keep;
    keep.Push({"ref", "a"}).Do(Op::GetVariable).Do(Op::SetVariable);
    Run(keep, root);
    vm.ClipRemoved(a);  // the movie tells the VM before the clip goes
    display.clips[a].alive = false;
    ClipId again = display.Add(root, "a", 1, 2);
    Asm use;
    use.Push({"ref"}).Do(Op::GetVariable).Push({"_totalframes"}).Do(Op::GetMember).Do(Op::Trace);
    Run(use, root);
    display.clips[again].alive = false;
    Run(use, root);
    EXPECT_EQ(host.lines, (Lines{"2", "undefined"}));
}

TEST_F(ClipTest, GetUrlRaisesFsCommandsAndHandsOtherUrlsToTheHost) {
    Asm code;
    code.StringRecord(Op::GetUrl, {"FSCommand:quit", ""});
    code.StringRecord(Op::GetUrl, {"fscommand:fullscreen", "true"});
    code.StringRecord(Op::GetUrl, {"http://example.test/", "_blank"});
    code.Push({"data.txt", "a"}).Record(Op::GetUrl2, {0xC0});  // loadVariables into a
    code.Push({"", "a"}).Record(Op::GetUrl2, {0x40});          // unloadMovie(a)
    Run(code, root);
    EXPECT_EQ(host.commands, (std::vector<std::pair<std::string, std::string>>{{"quit", ""}, {"fullscreen", "true"}}));
    EXPECT_EQ(host.urls, (std::vector<std::pair<std::string, std::string>>{{"http://example.test/", "_blank"}}));
    EXPECT_EQ(display.log, (Lines{"vars a data.txt", "unload a"}));
}

TEST_F(ClipTest, FunctionsRunOnTheTimelineThatDefinedThem) {
    // Defined on a, called from root: plain names resolve on a.
    Asm body;
    body.TraceVar("where").Do(Op::Stop);
    Asm define;
    define.SetVar("where", P("in a")).Function("f", {}, body);
    define.Push({"_root"}).Do(Op::GetVariable).Push({"f", "f"}).Do(Op::GetVariable).Do(Op::SetMember);
    Run(define, a);
    Asm call;
    call.SetVar("where", P("in root")).Call("f", 0).Do(Op::Pop);
    Run(call, root);
    EXPECT_EQ(host.lines, (Lines{"in a"}));
    EXPECT_EQ(display.log, (Lines{"stop a"}));
}

TEST_F(ClipTest, WaitForFrameSkipsWhenNotLoaded) {
    display.loadedFrames = 2;
    Asm code;
    code.Record(Op::WaitForFrame, {5, 0, 2}).Push({"skipped"}).Do(Op::Trace);
    code.Record(Op::WaitForFrame, {1, 0, 2}).Push({"loaded"}).Do(Op::Trace);
    Run(code, root);
    EXPECT_EQ(host.lines, (Lines{"loaded"}));
}

TEST_F(ClipTest, ChildrenAreEnumeratedAndTextFieldsExposeText) {
    ClipId field = display.Add(root, "label", 3, 1, ClipKind::TextField);
    (void)field;
    Asm code;
    code.Push({"label"}).Do(Op::GetVariable).Push({"text", "hi"}).Do(Op::SetMember);
    code.Push({"label"}).Do(Op::GetVariable).Push({"text"}).Do(Op::GetMember).Do(Op::Trace);
    code.Push({"label"}).Do(Op::GetVariable).Do(Op::TypeOf).Do(Op::Trace);
    Run(code, root);
    EXPECT_EQ(host.lines, (Lines{"hi", "object"}));
    std::vector<std::string> keys = vm.EnumerableKeys(vm.ObjectForClip(root));
    EXPECT_NE(std::find(keys.begin(), keys.end(), "a"), keys.end());
    EXPECT_NE(std::find(keys.begin(), keys.end(), "label"), keys.end());
}

TEST_F(ClipTest, ColorSetRgbWritesAColourTransform) {
    Asm code;
    code.Push({"c", "a", 1, "Color"}).Do(Op::NewObject).Do(Op::SetVariable);
    code.Push({0xFF8000, 1, "c"}).Do(Op::GetVariable).Push({"setRGB"}).Do(Op::CallMethod).Do(Op::Pop);
    code.Push({0, "c"}).Do(Op::GetVariable).Push({"getRGB"}).Do(Op::CallMethod).Do(Op::Trace);
    Run(code, root);
    EXPECT_EQ(host.lines, (Lines{"16744448"}));
    EXPECT_EQ(display.clips[a].color.rMul, 0);
    EXPECT_EQ(display.clips[a].color.gAdd, 128);
}

}  // namespace
}  // namespace velmora::avm1
