// The library-wide watch for popup menu windows: a call-window-procedure hook that hands
// each "#32768" window to the current menu control when it is created or sized.
#include <cwchar>

#include "menulib/subclassing.h"

namespace ostrel {

namespace {

constexpr UINT kMenuSizing = 0x1E2;  // sent by the system when it sizes a popup menu window

PopupMenuClient* g_currentMenuControl = nullptr;

class MenuHook final : public HookingSink {
public:
    void After(LRESULT&, int code, WPARAM, LPARAM lParam) override {
        PopupMenuClient* client = g_currentMenuControl;
        if (!client || code != HC_ACTION) return;
        const CWPSTRUCT call = HookingThunk::ReadCallWndProc(lParam);
        if (call.message != WM_CREATE && call.message != kMenuSizing) return;
        wchar_t name[128] = {};
        if (!GetClassNameW(call.hwnd, name, 128) || std::wcscmp(name, L"#32768") != 0) return;
        client->AttachPopup(call.hwnd);
    }
    void Before(bool&, LRESULT&, int&, WPARAM&, LPARAM&) override {}
};

// Lives as long as the library stays loaded.
HookingThunk& LibraryHook() {
    static HookingThunk hook;
    return hook;
}

}  // namespace

bool EnsureMenuHook() {
    HookingThunk& hook = LibraryHook();
    if (hook.ThunkAddress()) return true;
    return hook.Hook(WH_CALLWNDPROC, std::make_shared<MenuHook>());
}

void SetCurrentMenuControl(PopupMenuClient* client) { g_currentMenuControl = client; }
PopupMenuClient* CurrentMenuControl() { return g_currentMenuControl; }

}  // namespace ostrel
