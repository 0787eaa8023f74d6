// One window procedure per slot of a fixed table stands in for code generated per window:
// each installed wrapper owns a slot, so its procedure address is unique in any chain of
// procedures (ours or others') and leads straight to its data.
#include "menulib/subclassing.h"

#include <array>
#include <utility>

#include "menulib/message_filter.h"

namespace ostrel {

namespace {

constexpr size_t kWrapperSlots = 256;
constexpr size_t kHookSlots = 32;

// The data a wrapper procedure runs on; outlives its owner while calls are running.
struct Wrapper {
    size_t slot = 0;
    HWND window = nullptr;
    WNDPROC previous = nullptr;
    SubclassingSink* sink = nullptr;
    MessageFilter filter;
    int running = 0;
    bool inChain = false;
    bool releasePending = false;
    SubclassingThunk::Impl* owner = nullptr;
};

std::array<Wrapper*, kWrapperSlots> g_wrappers{};

LRESULT RunWrapper(Wrapper* w, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

template <size_t N>
LRESULT CALLBACK WrapperProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return RunWrapper(g_wrappers[N], hwnd, message, wParam, lParam);
}
template <size_t... I>
constexpr std::array<WNDPROC, sizeof...(I)> WrapperProcedures(std::index_sequence<I...>) {
    return {&WrapperProcedure<I>...};
}
constexpr auto kWrapperProcedures = WrapperProcedures(std::make_index_sequence<kWrapperSlots>{});

Wrapper* AcquireWrapper() {
    for (size_t slot = 0; slot < kWrapperSlots; ++slot) {
        if (!g_wrappers[slot]) {
            g_wrappers[slot] = new Wrapper{slot};
            return g_wrappers[slot];
        }
    }
    return nullptr;
}

// Frees now, or when the last running call of the wrapper returns.
void ReleaseWrapper(Wrapper* w) {
    if (w->running > 0) {
        w->releasePending = true;
        return;
    }
    g_wrappers[w->slot] = nullptr;
    delete w;
}

}  // namespace

struct SubclassingThunk::Impl {
    Wrapper* wrapper = nullptr;  // null when detached or after the window's WM_NCDESTROY
    HWND window = nullptr;
    bool attached = false;
    std::shared_ptr<SubclassingSink> sinkRef;  // empty for weak references
    MessageFilter filter;
    LONG_PTR tag = 0;

    void Publish() {
        if (wrapper && attached) wrapper->filter = filter;
    }
};

namespace {

LRESULT RunWrapper(Wrapper* w, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!w) return DefWindowProcW(hwnd, message, wParam, lParam);
    ++w->running;
    const UINT received = message;
    bool handled = false;
    LRESULT result = 0;
    if (w->sink && w->filter.WantsBefore(message)) w->sink->Before(handled, result, hwnd, message, wParam, lParam);
    if (!handled) {
        result = CallWindowProcW(w->previous, hwnd, message, wParam, lParam);
        if (w->sink && w->filter.WantsAfter(message)) w->sink->After(result, hwnd, message, wParam, lParam);
    }
    if (received == WM_NCDESTROY) {
        // The window is gone: detach by ourselves; the owner keeps the old handle.
        if (w->owner) w->owner->wrapper = nullptr;
        w->owner = nullptr;
        w->sink = nullptr;
        w->window = nullptr;
        w->inChain = false;
        w->releasePending = true;
    }
    --w->running;
    if (w->running == 0 && w->releasePending) ReleaseWrapper(w);
    return result;
}

}  // namespace

SubclassingThunk::SubclassingThunk() : m_impl(std::make_unique<Impl>()) {}

SubclassingThunk::~SubclassingThunk() {
    Unsubclass();
    if (m_impl->wrapper) ReleaseWrapper(m_impl->wrapper);
}

bool SubclassingThunk::Subclass(HWND window, std::shared_ptr<SubclassingSink> sink, bool weakReference,
                                bool /*dontFree*/) {
    Impl& d = *m_impl;
    if (d.attached || !IsWindow(window)) return false;
    if (!d.wrapper) d.wrapper = AcquireWrapper();
    Wrapper* w = d.wrapper;
    if (!w) return false;
    const WNDPROC ours = kWrapperProcedures[w->slot];
    // The previous procedure must be known before the first message can arrive.
    w->previous = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(window, GWLP_WNDPROC));
    w->window = window;
    w->sink = sink.get();
    w->owner = &d;
    w->filter = d.filter;
    w->inChain = true;
    const auto replaced = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ours)));
    if (!replaced) {
        w->inChain = false;
        w->sink = nullptr;
        w->owner = nullptr;
        return false;
    }
    w->previous = replaced;
    d.sinkRef = weakReference ? nullptr : std::move(sink);
    d.window = window;
    d.attached = true;
    return true;
}

bool SubclassingThunk::Unsubclass() {
    Impl& d = *m_impl;
    if (!d.attached) return false;
    d.attached = false;
    if (Wrapper* w = d.wrapper) {
        w->sink = nullptr;
        w->filter = {};
        w->owner = nullptr;
        const auto current = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(w->window, GWLP_WNDPROC));
        if (current == kWrapperProcedures[w->slot]) {
            SetWindowLongPtrW(w->window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(w->previous));
            w->inChain = false;
            ReleaseWrapper(w);
        }
        // Otherwise it stays a pass-through and releases itself at WM_NCDESTROY.
        d.wrapper = nullptr;
    }
    d.sinkRef.reset();
    d.window = nullptr;
    return true;
}

bool SubclassingThunk::AddBeforeMsgs(std::span<const UINT> messages) {
    const bool allNew = m_impl->filter.before.Add(messages);
    m_impl->Publish();
    return allNew;
}
bool SubclassingThunk::AddAfterMsgs(std::span<const UINT> messages) {
    const bool allNew = m_impl->filter.after.Add(messages);
    m_impl->Publish();
    return allNew;
}
bool SubclassingThunk::RemoveBeforeMsg(UINT message) {
    const bool removed = m_impl->filter.before.Remove(message);
    m_impl->Publish();
    return removed;
}
bool SubclassingThunk::RemoveAfterMsg(UINT message) {
    const bool removed = m_impl->filter.after.Remove(message);
    m_impl->Publish();
    return removed;
}
bool SubclassingThunk::HasBeforeMsgs(UINT message) const { return m_impl->filter.before.Has(message); }
bool SubclassingThunk::HasAfterMsgs(UINT message) const { return m_impl->filter.after.Has(message); }
bool SubclassingThunk::AllBeforeMsgs() const { return m_impl->filter.allBefore; }
void SubclassingThunk::SetAllBeforeMsgs(bool all) {
    m_impl->filter.allBefore = all;
    m_impl->Publish();
}
bool SubclassingThunk::AllAfterMsgs() const { return m_impl->filter.allAfter; }
void SubclassingThunk::SetAllAfterMsgs(bool all) {
    m_impl->filter.allAfter = all;
    m_impl->Publish();
}

std::optional<LRESULT> SubclassingThunk::CallOrigWndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    const Impl& d = *m_impl;
    if (!d.attached || !d.wrapper) return std::nullopt;
    return CallWindowProcW(d.wrapper->previous, d.window, message, wParam, lParam);
}

HWND SubclassingThunk::Window() const { return m_impl->window; }

WNDPROC SubclassingThunk::ThunkAddress() {
    if (!m_impl->wrapper) m_impl->wrapper = AcquireWrapper();
    return m_impl->wrapper ? kWrapperProcedures[m_impl->wrapper->slot] : nullptr;
}

LONG_PTR SubclassingThunk::Tag() const { return m_impl->tag; }
void SubclassingThunk::SetTag(LONG_PTR tag) { m_impl->tag = tag; }

// ---- thread hooks -------------------------------------------------------------------

namespace {

std::array<HookingThunk::Impl*, kHookSlots> g_hooks{};

LRESULT RunHook(HookingThunk::Impl* h, int code, WPARAM wParam, LPARAM lParam);

template <size_t N>
LRESULT CALLBACK HookProcedure(int code, WPARAM wParam, LPARAM lParam) {
    return RunHook(g_hooks[N], code, wParam, lParam);
}
template <size_t... I>
constexpr std::array<HOOKPROC, sizeof...(I)> HookProcedures(std::index_sequence<I...>) {
    return {&HookProcedure<I>...};
}
constexpr auto kHookProcedures = HookProcedures(std::make_index_sequence<kHookSlots>{});

HMODULE ThisModule() {
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&ThisModule), &module);
    return module;
}

}  // namespace

struct HookingThunk::Impl {
    size_t slot = kHookSlots;  // kHookSlots: none reserved
    HHOOK hook = nullptr;
    int type = 0;
    std::shared_ptr<HookingSink> sink;
    LONG_PTR tag = 0;
};

namespace {

LRESULT RunHook(HookingThunk::Impl* h, int code, WPARAM wParam, LPARAM lParam) {
    if (!h || !h->hook) return CallNextHookEx(nullptr, code, wParam, lParam);
    const HHOOK hook = h->hook;
    // A sink that unhooks from its own callback stays alive until the call returns.
    const std::shared_ptr<HookingSink> sink = h->sink;
    bool handled = false;
    LRESULT result = 0;
    if (sink) {
        sink->Before(handled, result, code, wParam, lParam);
        if (handled) return result;
    }
    result = CallNextHookEx(hook, code, wParam, lParam);
    if (sink) sink->After(result, code, wParam, lParam);
    return result;
}

}  // namespace

HookingThunk::HookingThunk() : m_impl(std::make_unique<Impl>()) {}

HookingThunk::~HookingThunk() { Unhook(); }

bool HookingThunk::Hook(int hookType, std::shared_ptr<HookingSink> sink) {
    Impl& d = *m_impl;
    if (d.hook) return false;
    size_t slot = 0;
    while (slot < kHookSlots && g_hooks[slot]) ++slot;
    if (slot == kHookSlots) return false;
    d.type = hookType;
    d.sink = std::move(sink);
    d.hook = SetWindowsHookExW(hookType, kHookProcedures[slot], ThisModule(), GetCurrentThreadId());
    if (!d.hook) {
        d.sink.reset();
        return false;
    }
    d.slot = slot;
    g_hooks[slot] = &d;
    return true;
}

bool HookingThunk::Unhook() {
    Impl& d = *m_impl;
    if (!d.hook) return false;
    UnhookWindowsHookEx(d.hook);
    d.hook = nullptr;
    g_hooks[d.slot] = nullptr;
    d.slot = kHookSlots;
    d.sink.reset();
    return true;
}

int HookingThunk::HookType() const { return m_impl->type; }
HOOKPROC HookingThunk::ThunkAddress() const {
    return m_impl->slot < kHookSlots ? kHookProcedures[m_impl->slot] : nullptr;
}
LONG_PTR HookingThunk::Tag() const { return m_impl->tag; }
void HookingThunk::SetTag(LONG_PTR tag) { m_impl->tag = tag; }

CWPSTRUCT HookingThunk::ReadCallWndProc(LPARAM lParam) {
    CWPSTRUCT record{};
    if (lParam) record = *reinterpret_cast<const CWPSTRUCT*>(lParam);
    return record;
}

}  // namespace ostrel
