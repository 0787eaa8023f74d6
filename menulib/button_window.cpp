#include "menulib/button_window.h"

#include <windowsx.h>

#include <cwchar>
#include <cwctype>

namespace ostrel {

namespace {

constexpr UINT_PTR kHoverTimer = 1;
constexpr UINT kHoverIntervalMs = 5;
// The original let the message loop run 3000 and then 4000 times; these pauses look alike.
constexpr DWORD kHotKeyHoverMs = 60;
constexpr DWORD kHotKeyPressMs = 80;

int ShiftState() {
    return (GetKeyState(VK_SHIFT) < 0 ? 1 : 0) | (GetKeyState(VK_CONTROL) < 0 ? 2 : 0) |
           (GetKeyState(VK_MENU) < 0 ? 4 : 0);
}
int ButtonsOf(WPARAM keys) {
    return (keys & MK_LBUTTON ? 1 : 0) | (keys & MK_RBUTTON ? 2 : 0) | (keys & MK_MBUTTON ? 4 : 0);
}

void PauseWithMessages(DWORD ms) {
    const DWORD start = GetTickCount();
    MSG msg;
    while (GetTickCount() - start < ms) {
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(msg.wParam));
                return;
            }
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(1);
    }
}

HCURSOR CursorOf(int mousePointer) {
    // VB's mouse-pointer constants, as far as a system cursor exists for them.
    static const LPCWSTR kCursors[] = {IDC_ARROW, IDC_ARROW, IDC_CROSS, IDC_IBEAM, IDC_ARROW, IDC_SIZEALL,
                                       IDC_SIZENESW, IDC_SIZENS, IDC_SIZENWSE, IDC_SIZEWE, IDC_UPARROW,
                                       IDC_WAIT, IDC_NO, IDC_APPSTARTING, IDC_HELP, IDC_SIZEALL};
    const bool known = mousePointer >= 0 && mousePointer < static_cast<int>(std::size(kCursors));
    return LoadCursorW(nullptr, known ? kCursors[mousePointer] : IDC_ARROW);
}

}  // namespace

ButtonWindow* ButtonWindow::From(HWND window) {
    wchar_t name[32] = {};
    if (!window || !GetClassNameW(window, name, 32) || wcscmp(name, kNetButtonClass) != 0) return nullptr;
    return reinterpret_cast<ButtonWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

LRESULT CALLBACK ButtonWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<ButtonWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_NCCREATE) {
        self = new ButtonWindow(window);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        if (create->lpCreateParams) {
            self->props = *static_cast<const ButtonProps*>(create->lpCreateParams);
        } else if (create->lpszName && *create->lpszName) {
            self->props.caption = create->lpszName;  // created by class name: the window text is the caption
        }
    }
    if (!self) return DefWindowProcW(window, message, wParam, lParam);
    const LRESULT result = self->Handle(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        self->m_destroyed = true;
    }
    // A window destroyed from inside one of its events is freed once that event returns.
    if (self->m_destroyed && self->m_eventDepth == 0) {
        if (self->m_font) DeleteObject(self->m_font);
        delete self;
    }
    return result;
}

template <typename F>
bool ButtonWindow::Raise(F event) {
    if (!listener) return !m_destroyed;
    ++m_eventDepth;
    event(*listener);
    --m_eventDepth;
    return !m_destroyed;
}

bool ButtonWindow::IsSeparator() const {
    return props.appearance == ButtonAppearance::Sep2003 || props.appearance == ButtonAppearance::MainSep2003;
}

int ButtonWindow::ClientWidth() const {
    RECT r{};
    GetClientRect(m_window, &r);
    return r.right;
}
int ButtonWindow::ClientHeight() const {
    RECT r{};
    GetClientRect(m_window, &r);
    return r.bottom;
}

void ButtonWindow::PropsChanged() {
    if (m_font) DeleteObject(m_font);
    HDC screen = GetDC(nullptr);
    const int height = -MulDiv(props.font.size, GetDeviceCaps(screen, LOGPIXELSY), 72);
    ReleaseDC(nullptr, screen);
    m_font = CreateFontW(height, 0, 0, 0, props.font.bold ? FW_BOLD : FW_NORMAL, props.font.italic,
                         props.font.underline, FALSE, static_cast<BYTE>(props.font.charset), OUT_DEFAULT_PRECIS,
                         CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, props.font.name.c_str());
    m_accessKey = AccessKeyOf(props.caption);
    SetWindowTextW(m_window, props.caption.c_str());
    m_layout = ComputeButtonLayout(props, ClientWidth(), ClientHeight());
    // A plain separator line never takes input.
    if (props.appearance == ButtonAppearance::Sep2003 && m_layout.valid) props.enabled = false;
    if (IsWindowEnabled(m_window) != (props.enabled ? TRUE : FALSE)) EnableWindow(m_window, props.enabled);
    Paint(m_state);
}

PropertyResult ButtonWindow::Apply(const ButtonProps& next) {
    PropertyResult error;
    auto refuse = [&](GuardedProperty property, double value) {
        auto message = RefusalOf(property, props.appearance, m_layout.valid, value);
        if (message && !error) error = InvalidPropertyValue(property, *message);
        return message.has_value();
    };
    ButtonProps accepted = next;
    if (next.appearance != props.appearance) {
        if (refuse(GuardedProperty::ButtonAppearance, static_cast<double>(next.appearance))) {
            accepted.appearance = props.appearance;
        } else {
            accepted.enabled = next.appearance != ButtonAppearance::Sep2003 &&
                               next.appearance != ButtonAppearance::MainSep2003;
        }
    }
    // The other guarded values are judged against the accepted appearance and its layout.
    props.appearance = accepted.appearance;
    m_layout = ComputeButtonLayout(props, ClientWidth(), ClientHeight());
    if (next.captionAreaPercent != props.captionAreaPercent && refuse(GuardedProperty::CaptionAreaPercent, next.captionAreaPercent))
        accepted.captionAreaPercent = props.captionAreaPercent;
    if (next.ignoreDisabledEffect != props.ignoreDisabledEffect && refuse(GuardedProperty::IgnoeDisEnabledEffect, 0))
        accepted.ignoreDisabledEffect = props.ignoreDisabledEffect;
    if (next.sepForeColor != props.sepForeColor && refuse(GuardedProperty::SepForeColor, 0))
        accepted.sepForeColor = props.sepForeColor;
    if (next.mainSepForeColor != props.mainSepForeColor && refuse(GuardedProperty::MainSepForeColor, 0))
        accepted.mainSepForeColor = props.mainSepForeColor;
    if (next.mainSepThick != props.mainSepThick && refuse(GuardedProperty::MainSepThick, next.mainSepThick))
        accepted.mainSepThick = props.mainSepThick;
    if (next.mainSepLineBetweenSpace != props.mainSepLineBetweenSpace &&
        refuse(GuardedProperty::MainSepLineBetweenSpace, next.mainSepLineBetweenSpace))
        accepted.mainSepLineBetweenSpace = props.mainSepLineBetweenSpace;
    if (next.upDownWidth != props.upDownWidth && refuse(GuardedProperty::UpDownWidth, next.upDownWidth))
        accepted.upDownWidth = props.upDownWidth;
    props = accepted;
    PropsChanged();
    return error;
}

bool ButtonWindow::TakeAccessKey(wchar_t key) {
    const bool mine = key == VK_RETURN || key == VK_ESCAPE ||
                      (m_accessKey && static_cast<wchar_t>(std::towupper(key)) == m_accessKey);
    return mine && Trigger();
}

bool ButtonWindow::Trigger() {
    if (!IsWindowEnabled(m_window)) return false;
    HotKeyAnimation();
    if (m_destroyed) return true;
    ClickStep();
    if (!m_destroyed) Paint(m_hovering ? VisualState::Hover : VisualState::Normal);
    return true;
}

void ButtonWindow::HotKeyAnimation() {
    if (!props.hotKeyDynamicEffect) return;
    ++m_eventDepth;  // the pauses run other messages, which may destroy this window
    Paint(VisualState::Hover);
    PauseWithMessages(kHotKeyHoverMs);
    if (!m_destroyed) Paint(VisualState::Pressed);
    if (!m_destroyed) PauseWithMessages(kHotKeyPressMs);
    if (!m_destroyed) Paint(VisualState::Normal);
    --m_eventDepth;
}

void ButtonWindow::MouseDownStep(int button, int shift, int x, int y) {
    if (!Raise([&](NetButtonListener& l) { l.MouseDown(button, shift, x, y); })) return;
    m_lastButton = button;
    if (button != 2) Paint(VisualState::Pressed);
}

void ButtonWindow::MouseUpStep(int button, int shift, int x, int y) {
    const bool split = props.appearance == ButtonAppearance::UpDown2003 && m_layout.valid;
    if (split && (button & 1) && x > m_layout.dropDown.left) {
        m_dropDownUsed = true;
        if (!Raise([](NetButtonListener& l) { l.DropDownClick(); })) return;
    } else if (split && (button & 1)) {
        if (!Raise([&](NetButtonListener& l) { l.MouseUp(button, shift, x, y); })) return;
        if (!Raise([](NetButtonListener& l) { l.Click(); })) return;
    } else {
        if (!Raise([&](NetButtonListener& l) { l.MouseUp(button, shift, x, y); })) return;
    }
    if (button != 2) Paint(VisualState::Normal);
}

void ButtonWindow::ClickStep() {
    if (m_lastButton != 1 || !IsWindowEnabled(m_window)) return;
    if (props.appearance == ButtonAppearance::UpDown2003) {
        m_dropDownUsed = false;  // a split button's clicks come from mouse up
        return;
    }
    Paint(VisualState::Normal);
    UpdateWindow(m_window);
    if (!Raise([](NetButtonListener& l) { l.Click(); })) return;
    if (m_hovering) Paint(VisualState::Hover);
}

void ButtonWindow::DoubleClickStep() {
    if (props.enableDblClick) {
        if (!Raise([](NetButtonListener& l) { l.DblClick(); })) return;
    } else if (m_lastButton == 1) {
        if (!Raise([](NetButtonListener& l) { l.Click(); })) return;
    }
    Paint(m_hovering ? VisualState::Hover : VisualState::Normal);
    m_state = VisualState::Normal;
}

void ButtonWindow::MouseMoveStep(int buttons, int shift, int x, int y) {
    if (!Raise([&](NetButtonListener& l) { l.MouseMove(buttons, shift, x, y); })) return;
    if (buttons & ~1) return;
    if (x < 0 || y < 0 || x > ClientWidth() || y > ClientHeight()) {
        Paint(VisualState::Normal);
    } else if (buttons || m_hovering) {
        if (buttons & 1) Paint(VisualState::Pressed);
    } else {
        m_hovering = true;
        SetTimer(m_window, kHoverTimer, kHoverIntervalMs, nullptr);
        if (!Raise([](NetButtonListener& l) { l.MouseEnter(); })) return;
        Paint(VisualState::Hover);
    }
}

void ButtonWindow::HoverTick() {
    POINT cursor{};
    GetCursorPos(&cursor);
    if (WindowFromPoint(cursor) == m_window) return;
    KillTimer(m_window, kHoverTimer);
    m_hovering = false;
    Paint(VisualState::Normal);
    Raise([](NetButtonListener& l) { l.MouseExit(); });
}

LRESULT ButtonWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    const int x = GET_X_LPARAM(lParam);
    const int y = GET_Y_LPARAM(lParam);
    switch (message) {
        case WM_CREATE: PropsChanged(); return 0;
        case WM_SIZE: PropsChanged(); return 0;
        case WM_ERASEBKGND: return 1;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(m_window, &ps);
            Render(dc, m_state);
            EndPaint(m_window, &ps);
            return 0;
        }
        case WM_PRINTCLIENT: Render(reinterpret_cast<HDC>(wParam), m_state); return 0;
        case WM_ENABLE:
            props.enabled = wParam != 0;
            Paint(VisualState::Normal);
            return 0;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            m_focused = message == WM_SETFOCUS;
            Paint(m_state);
            return 0;
        case WM_SETCURSOR:
            if (LOWORD(lParam) != HTCLIENT) break;
            SetCursor(props.mousePointer == 99 && mouseIcon.Type() == PictureType::Icon ? mouseIcon.Icon()
                                                                                       : CursorOf(props.mousePointer));
            return TRUE;
        // As a button the dialog manager sends BM_CLICK when the caption's access key is typed.
        case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_BUTTON;
        case BM_CLICK: Trigger(); return 0;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN: {
            const int button = message == WM_LBUTTONDOWN ? 1 : message == WM_RBUTTONDOWN ? 2 : 4;
            SetCapture(m_window);
            if (button == 1) {
                SetFocus(m_window);
                m_pressedInside = true;
                m_afterDoubleClick = false;
            }
            MouseDownStep(button, ShiftState(), x, y);
            return 0;
        }
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
        case WM_MBUTTONUP: {
            const int button = message == WM_LBUTTONUP ? 1 : message == WM_RBUTTONUP ? 2 : 4;
            const bool inside = x >= 0 && y >= 0 && x < ClientWidth() && y < ClientHeight();
            const bool systemClick = button == 1 && m_pressedInside && inside && !m_afterDoubleClick;
            if (button == 1) m_pressedInside = false;
            if (GetCapture() == m_window && !(wParam & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON))) ReleaseCapture();
            MouseUpStep(button, ShiftState(), x, y);
            if (!m_destroyed && systemClick) ClickStep();
            return 0;
        }
        case WM_LBUTTONDBLCLK:
            SetCapture(m_window);
            m_afterDoubleClick = true;
            DoubleClickStep();
            return 0;
        case WM_MOUSEMOVE: MouseMoveStep(ButtonsOf(wParam), ShiftState(), x, y); return 0;
        case WM_TIMER:
            if (wParam == kHoverTimer) HoverTick();
            return 0;
        case WM_KEYDOWN: {
            int key = static_cast<int>(wParam);
            if (!Raise([&](NetButtonListener& l) { l.KeyDown(key, ShiftState()); })) return 0;
            m_lastKey = key;
            if (key == VK_SPACE) {
                MouseDownStep(1, 1, 1, 1);
            } else if (key == VK_RIGHT || key == VK_DOWN || key == VK_LEFT || key == VK_UP) {
                const BOOL previous = key == VK_LEFT || key == VK_UP;
                if (HWND next = GetNextDlgTabItem(GetParent(m_window), m_window, previous)) SetFocus(next);
            }
            return 0;
        }
        case WM_KEYUP: {
            int key = static_cast<int>(wParam);
            if (!Raise([&](NetButtonListener& l) { l.KeyUp(key, ShiftState()); })) return 0;
            if (key == VK_SPACE && m_lastKey == VK_SPACE) {
                MouseUpStep(1, 1, 1, 1);
                if (m_destroyed) return 0;
                m_lastButton = 1;
                ClickStep();
            }
            return 0;
        }
        case WM_CHAR: {
            int ascii = static_cast<int>(wParam);
            Raise([&](NetButtonListener& l) { l.KeyPress(ascii); });
            return 0;
        }
        case WM_DESTROY: KillTimer(m_window, kHoverTimer); return 0;
        default:
            if (message == AccessKeyMessage()) return TakeAccessKey(static_cast<wchar_t>(wParam)) ? 1 : 0;
            break;
    }
    return DefWindowProcW(m_window, message, wParam, lParam);
}

}  // namespace ostrel
