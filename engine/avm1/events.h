// Clip events, button conditions and the order in which the player runs
// queued scripts. Pure helpers for the display list.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/avm1/host.h"
#include "engine/avm1/object.h"

namespace velmora::avm1 {

class Vm;

// In the bit order of the CLIPEVENTFLAGS record read as a little-endian integer.
enum class ClipEvent : uint8_t {
    Load, EnterFrame, Unload, MouseMove, MouseDown, MouseUp, KeyDown, KeyUp,
    Data, Initialize, Press, Release, ReleaseOutside, RollOver, RollOut, DragOver,
    DragOut, KeyPress, Construct,
};
inline constexpr int kClipEventCount = 19;

// SWF 5 stores 2 bytes of flags, later versions 4; bits a version lacks are ignored.
std::vector<ClipEvent> DecodeClipEvents(uint32_t flags, int swfVersion);
// The method the same event calls on a clip ("onEnterFrame"), empty when none.
std::string_view ClipEventMethod(ClipEvent event);

// Button state changes in the bit order of BUTTONCONDACTION's 16-bit condition.
enum class ButtonTransition : uint8_t {
    IdleToOverUp, OverUpToIdle, OverUpToOverDown, OverDownToOverUp, OverDownToOutDown,
    OutDownToOverDown, OutDownToIdle, IdleToOverDown, OverDownToIdle,
};

struct ButtonCondition {
    uint16_t transitions = 0;  // bit i: ButtonTransition i
    int keyCode = 0;           // key press condition (1-127), 0 when none
    bool Matches(ButtonTransition t) const { return transitions & (1u << static_cast<int>(t)); }
};

ButtonCondition DecodeButtonCondition(uint16_t raw);
// DefineButton (v1) actions run on release.
inline ButtonCondition DefineButtonCondition() { return {1u << static_cast<int>(ButtonTransition::OverDownToOverUp), 0}; }
std::string_view ButtonTransitionMethod(ButtonTransition t);  // "onRelease", ...

// Scripts waiting to run: DoInitAction first, then constructors, then frame
// actions and events, each in the order queued. Scripts queued while the queue
// runs are run in the same pass.
class ActionQueue {
public:
    enum class Priority : uint8_t { Init, Construct, Normal };
    struct Entry {
        ClipId clip = kNoClip;
        std::shared_ptr<const CodeBlock> code;  // an action block, or
        std::string method;                     // a method to call on the clip
    };
    void Push(Priority priority, Entry entry);
    bool Empty() const;
    // Runs everything queued; a clip removed before its turn is skipped.
    void Run(Vm& vm);

private:
    std::deque<Entry> m_queues[3];
};

}  // namespace velmora::avm1
