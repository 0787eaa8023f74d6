// The window base: one static window procedure finds the C++ object through the window's
// user data, stored at WM_NCCREATE and cleared at WM_NCDESTROY.
#pragma once

#include <windows.h>

#include <string>

namespace velmora::toolkit {

class Window {
public:
    Window() = default;
    virtual ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    HWND Handle() const { return m_hwnd; }
    void Destroy();

protected:
    // Registers the class on first use (arrow cursor, button-face background, the given
    // class style such as CS_DBLCLKS) and creates the window. Returns false when creation
    // failed.
    bool CreateWindowOf(const wchar_t* className, DWORD exStyle, DWORD style,
                        const std::wstring& caption, int x, int y, int width, int height,
                        HWND parent, HMENU menuOrId, HICON icon = nullptr, UINT classStyle = 0);

    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // Runs after the window is gone (WM_NCDESTROY); the handle is already cleared.
    virtual void OnDestroyed() {}

private:
    static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    HWND m_hwnd = nullptr;
};

// 1/1440 inch to pixels at the screen's real DPI (15 twips per pixel at 96 DPI).
int TwipsToPixelsX(int twips);
int TwipsToPixelsY(int twips);

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view wide);

// The text of any window (also of another process's window).
std::wstring WindowText(HWND window);

}  // namespace velmora::toolkit
