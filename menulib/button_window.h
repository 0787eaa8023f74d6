// The flat button's window state: properties, layout, visual state and input handling.
// Private to the library; VsNetBut is the public wrapper.
#pragma once

#include <windows.h>

#include "menulib/button_model.h"
#include "menulib/controls.h"
#include "menulib/mem_dc.h"

namespace ostrel {

extern const wchar_t kNetButtonClass[];
extern const wchar_t kToolBarClass[];
// Asks a button to take an access key (wParam); answers 1 when it did.
UINT AccessKeyMessage();
HINSTANCE LibraryInstance();

class ButtonWindow {
public:
    explicit ButtonWindow(HWND window) : m_window(window) {}
    static ButtonWindow* From(HWND window);
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    ButtonProps props;
    Picture picture;
    Picture mouseIcon;
    NetButtonListener* listener = nullptr;
    bool isDefault = false;
    bool isCancel = false;

    // After any property change: font, access key, layout, enabled state, repaint.
    void PropsChanged();
    PropertyResult Apply(const ButtonProps& next);
    void Paint(VisualState state);
    VisualState State() const { return m_state; }
    bool Hovering() const { return m_hovering; }
    bool TakeAccessKey(wchar_t key);
    // The access-key action: hot-key animation, click step, hover or normal look.
    bool Trigger();

private:
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void Render(HDC dc, VisualState state);
    void DrawPicture(MemDC& surface, VisualState state, bool disabledLook) const;
    void DrawCaption(MemDC& surface, VisualState state, bool disabledLook) const;
    void DrawGlyphs(MemDC& surface, VisualState state, bool disabledLook) const;
    void Silhouette(MemDC& surface, PixelPoint at) const;
    bool IsSeparator() const;
    int ClientWidth() const;
    int ClientHeight() const;

    void MouseDownStep(int button, int shift, int x, int y);
    void MouseUpStep(int button, int shift, int x, int y);
    void ClickStep();
    void DoubleClickStep();
    void MouseMoveStep(int buttons, int shift, int x, int y);
    void HoverTick();
    void HotKeyAnimation();
    // Raises an event; false when the window was destroyed meanwhile.
    template <typename F>
    bool Raise(F event);

    HWND m_window;
    ButtonLayout m_layout;
    VisualState m_state = VisualState::Normal;
    bool m_hovering = false;
    bool m_focused = false;
    bool m_dropDownUsed = false;
    bool m_afterDoubleClick = false;
    bool m_pressedInside = false;
    int m_lastButton = 1;
    int m_lastKey = 0;
    wchar_t m_accessKey = 0;
    HFONT m_font = nullptr;
    int m_eventDepth = 0;
    bool m_destroyed = false;
};

}  // namespace ostrel
