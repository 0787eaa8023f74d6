// The toolbar container's window state. Private to the library; VsToolBar wraps it.
#pragma once

#include <windows.h>

#include "menulib/toolbar_model.h"

namespace ostrel {

class ToolbarWindow {
public:
    explicit ToolbarWindow(HWND window) : m_window(window) {}
    ~ToolbarWindow();
    static ToolbarWindow* From(HWND window);
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    ToolbarProps props;
    void Draw(HDC dc);
    void Redraw();
    // Enabled and Office2003Style reach every contained flat button.
    void PassOn();
    PixelRect Inner() const;

private:
    HWND m_window;
    HRGN m_clip = nullptr;
};

}  // namespace ostrel
