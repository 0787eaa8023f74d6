#include "engine/avm1/events.h"

#include <gtest/gtest.h>

#include "engine/avm1/fake_display.h"
#include "engine/avm1/test_support.h"

namespace velmora::avm1 {
namespace {

TEST(ClipEvents, FlagsDecodeByVersion) {
    // load | enterFrame | press | keyPress | construct
    uint32_t flags = 0x01 | 0x02 | (1u << 10) | (1u << 17) | (1u << 18);
    EXPECT_EQ(DecodeClipEvents(flags, 6), (std::vector<ClipEvent>{ClipEvent::Load, ClipEvent::EnterFrame,
                                                                  ClipEvent::Press, ClipEvent::KeyPress,
                                                                  ClipEvent::Construct}));
    EXPECT_EQ(DecodeClipEvents(flags, 5),
              (std::vector<ClipEvent>{ClipEvent::Load, ClipEvent::EnterFrame, ClipEvent::Press}));
    EXPECT_EQ(ClipEventMethod(ClipEvent::EnterFrame), "onEnterFrame");
    EXPECT_EQ(ClipEventMethod(ClipEvent::ReleaseOutside), "onReleaseOutside");
    EXPECT_EQ(ClipEventMethod(ClipEvent::Construct), "");
}

TEST(ButtonConditions, DecodeTransitionsAndKey) {
    // The first byte holds IdleToOverDown..IdleToOverUp from the top bit down; the
    // second the key code above OverDownToIdle.
    const struct {
        uint16_t raw;
        ButtonTransition transition;
        int key;
    } cases[] = {
        {0x0001, ButtonTransition::IdleToOverUp, 0},
        {0x0008, ButtonTransition::OverDownToOverUp, 0},
        {0x0040, ButtonTransition::OutDownToIdle, 0},
        {0x0100, ButtonTransition::OverDownToIdle, 0},
        {static_cast<uint16_t>((13 << 9) | 0x0004), ButtonTransition::OverUpToOverDown, 13},
    };
    for (const auto& c : cases) {
        ButtonCondition cond = DecodeButtonCondition(c.raw);
        EXPECT_TRUE(cond.Matches(c.transition)) << c.raw;
        EXPECT_EQ(cond.keyCode, c.key);
        for (int t = 0; t < 9; ++t) {
            if (t != static_cast<int>(c.transition)) {
                EXPECT_FALSE(cond.Matches(static_cast<ButtonTransition>(t)));
            }
        }
    }
    EXPECT_TRUE(DefineButtonCondition().Matches(ButtonTransition::OverDownToOverUp));
    EXPECT_EQ(ButtonTransitionMethod(ButtonTransition::OverUpToOverDown), "onPress");
}

TEST(ActionQueue, InitActionsRunFirstAndLateArrivalsInTheSamePass) {
    test::FakeDisplay display;
    test::RecordingHost host;
    Vm vm(host, &display, 8);
    ClipId root = display.Add(kNoClip, "", 0, 1);
    ClipId gone = display.Add(root, "gone", 1, 1);
    auto block = [](const char* text) {
        test::Asm a;
        a.Push({text}).Do(Op::Trace);
        auto code = std::make_shared<CodeBlock>();
        code->bytes = a.Bytes();
        code->swfVersion = 8;
        return code;
    };
    ActionQueue queue;
    queue.Push(ActionQueue::Priority::Normal, {root, block("frame"), {}});
    queue.Push(ActionQueue::Priority::Normal, {gone, block("removed clip"), {}});
    queue.Push(ActionQueue::Priority::Init, {root, block("init"), {}});
    queue.Push(ActionQueue::Priority::Construct, {root, block("construct"), {}});
    // A method handler queued as an event.
    vm.Set(vm.ObjectForClip(root), "onEnterFrame", Value::Obj(vm.NewNative([&](Vm&, CallContext&) {
        host.Trace("enterFrame");
        queue.Push(ActionQueue::Priority::Init, {root, block("late init"), {}});
        return Value();
    })));
    queue.Push(ActionQueue::Priority::Normal, {root, nullptr, "onEnterFrame"});
    display.clips[gone].alive = false;
    queue.Run(vm);
    EXPECT_EQ(host.lines, (std::vector<std::string>{"init", "construct", "frame", "enterFrame", "late init"}));
    EXPECT_TRUE(queue.Empty());
}

}  // namespace
}  // namespace velmora::avm1
