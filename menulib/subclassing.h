// Seeing another window's messages: a subclasser calls a sink before and after the
// window's previous procedure, filtered by two message lists, and a thread hook calls a
// sink around the next hook. No exception crosses these calls.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <span>

#include "menulib/export.h"

namespace ostrel {

class SubclassingSink {
public:
    virtual ~SubclassingSink() = default;
    // `result` holds the previous procedure's result and may be replaced.
    virtual void After(LRESULT& result, HWND window, UINT message, WPARAM wParam, LPARAM lParam) = 0;
    // Starts with handled false and result 0. The sink may change the message it passes on;
    // handled true makes result the answer and skips the previous procedure and After.
    virtual void Before(bool& handled, LRESULT& result, HWND& window, UINT& message, WPARAM& wParam,
                        LPARAM& lParam) = 0;
};

// A shared_ptr that does not own: for sinks the caller keeps alive itself (weak references).
template <typename T>
std::shared_ptr<T> Unowned(T* object) {
    return std::shared_ptr<T>(std::shared_ptr<void>(), object);
}

class OSTREL_API SubclassingThunk {
public:
    SubclassingThunk();
    ~SubclassingThunk();  // detaches
    SubclassingThunk(const SubclassingThunk&) = delete;
    SubclassingThunk& operator=(const SubclassingThunk&) = delete;

    // False when already attached (or the window refuses a new procedure). With
    // weakReference the sink is not kept alive by this object and must detach before it dies.
    // dontFree is accepted for callers that detach from inside their own callback; every
    // wrapper here is released only after its last running call returns, so it is always safe.
    bool Subclass(HWND window, std::shared_ptr<SubclassingSink> sink, bool weakReference = false,
                  bool dontFree = false);
    // False when not attached. When another procedure sits on top of ours the wrapper stays
    // in the chain as a pass-through until the window is destroyed.
    bool Unsubclass();

    bool AddBeforeMsgs(std::span<const UINT> messages);  // true only if every one was new
    bool AddAfterMsgs(std::span<const UINT> messages);
    bool RemoveBeforeMsg(UINT message);
    bool RemoveAfterMsg(UINT message);
    bool HasBeforeMsgs(UINT message) const;
    bool HasAfterMsgs(UINT message) const;
    bool AllBeforeMsgs() const;
    void SetAllBeforeMsgs(bool all);
    bool AllAfterMsgs() const;
    void SetAllAfterMsgs(bool all);

    // The previous procedure's answer; nothing when detached.
    std::optional<LRESULT> CallOrigWndProc(UINT message, WPARAM wParam, LPARAM lParam);
    // The attached window; after WM_NCDESTROY still the old handle until Unsubclass.
    HWND Window() const;
    // The wrapper procedure of this object (reserved on first use); null when none is free.
    WNDPROC ThunkAddress();
    LONG_PTR Tag() const;
    void SetTag(LONG_PTR tag);

    struct Impl;

private:
    std::unique_ptr<Impl> m_impl;
};

class HookingSink {
public:
    virtual ~HookingSink() = default;
    virtual void After(LRESULT& result, int code, WPARAM wParam, LPARAM lParam) = 0;
    virtual void Before(bool& handled, LRESULT& result, int& code, WPARAM& wParam, LPARAM& lParam) = 0;
};

class OSTREL_API HookingThunk {
public:
    HookingThunk();
    ~HookingThunk();  // unhooks
    HookingThunk(const HookingThunk&) = delete;
    HookingThunk& operator=(const HookingThunk&) = delete;

    // A hook of this type (WH_CALLWNDPROC, ...) for the current thread. False when already
    // hooked or when the system refuses it.
    bool Hook(int hookType, std::shared_ptr<HookingSink> sink);
    bool Unhook();
    int HookType() const;
    HOOKPROC ThunkAddress() const;
    LONG_PTR Tag() const;
    void SetTag(LONG_PTR tag);

    // Copy of the call-window-procedure record a WH_CALLWNDPROC hook receives in lParam.
    static CWPSTRUCT ReadCallWndProc(LPARAM lParam);

    struct Impl;

private:
    std::unique_ptr<Impl> m_impl;
};

// The menu control that receives popup menu windows ("#32768") as the system creates or
// sizes them, through the one library-wide call-window-procedure hook.
class PopupMenuClient {
public:
    virtual ~PopupMenuClient() = default;
    virtual void AttachPopup(HWND popup) = 0;
};

// Starts the library-wide watch on the calling thread (once; later calls do nothing).
OSTREL_API bool EnsureMenuHook();
// The current menu control: an uncounted reference, null when none.
OSTREL_API void SetCurrentMenuControl(PopupMenuClient* client);
OSTREL_API PopupMenuClient* CurrentMenuControl();

}  // namespace ostrel
