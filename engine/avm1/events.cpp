#include "engine/avm1/events.h"

#include "engine/avm1/vm.h"

namespace velmora::avm1 {

std::vector<ClipEvent> DecodeClipEvents(uint32_t flags, int swfVersion) {
    if (swfVersion <= 5) flags &= 0xFFFF;
    std::vector<ClipEvent> events;
    for (int i = 0; i < kClipEventCount; ++i)
        if (flags & (1u << i)) events.push_back(static_cast<ClipEvent>(i));
    return events;
}

std::string_view ClipEventMethod(ClipEvent event) {
    static constexpr std::string_view names[kClipEventCount] = {
        "onLoad", "onEnterFrame", "onUnload", "onMouseMove", "onMouseDown", "onMouseUp", "onKeyDown",
        "onKeyUp", "onData", "", "onPress", "onRelease", "onReleaseOutside", "onRollOver", "onRollOut",
        "onDragOver", "onDragOut", "", "",
    };
    return names[static_cast<int>(event)];
}

ButtonCondition DecodeButtonCondition(uint16_t raw) {
    return {static_cast<uint16_t>(raw & 0x1FF), (raw >> 9) & 0x7F};
}

std::string_view ButtonTransitionMethod(ButtonTransition t) {
    static constexpr std::string_view names[] = {
        "onRollOver", "onRollOut", "onPress", "onRelease", "onDragOut",
        "onDragOver", "onReleaseOutside", "onDragOver", "onDragOut",
    };
    return names[static_cast<int>(t)];
}

void ActionQueue::Push(Priority priority, Entry entry) {
    m_queues[static_cast<int>(priority)].push_back(std::move(entry));
}

bool ActionQueue::Empty() const {
    for (const auto& q : m_queues)
        if (!q.empty()) return false;
    return true;
}

void ActionQueue::Run(Vm& vm) {
    for (;;) {
        std::deque<Entry>* queue = nullptr;
        for (auto& q : m_queues) {
            if (!q.empty()) {
                queue = &q;
                break;
            }
        }
        if (!queue) return;
        Entry entry = std::move(queue->front());
        queue->pop_front();
        DisplayHost* display = vm.Display();
        if (entry.clip && display && !display->IsAlive(entry.clip)) continue;
        if (entry.code) {
            vm.RunActions(entry.code, entry.clip);
        } else if (!entry.method.empty()) {
            vm.CallClipMethod(entry.clip, entry.method);
        }
    }
}

}  // namespace velmora::avm1
