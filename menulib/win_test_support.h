// Shared pieces of the Win32 tests: a recording window class and pixel reading.
#pragma once

#include <windows.h>

#include <vector>

#include "menulib/mem_dc.h"

namespace ostrel::test {

// The messages (and wParams) the test window's own procedure saw; it answers 1000 + message.
struct Seen {
    UINT message;
    WPARAM wParam;
};
std::vector<Seen>& SeenByWindow();
bool WindowSaw(UINT message);
HWND CreateRecordingWindow(HWND parent = nullptr);

// A top-level window to host controls, shown so that it paints.
HWND CreateHostWindow(int width, int height);
// One host of 400 x 200 for the whole run (Wine takes seconds to take a shown window down);
// tests remove their controls with DestroyChildren.
HWND SharedHostWindow();
void DestroyChildren(HWND window);

// Renders the window's client area through WM_PRINTCLIENT into a 32-bit DIB and gives its
// pixels as 0x00BBGGRR, row by row.
struct Capture {
    int width = 0;
    int height = 0;
    std::vector<COLORREF> pixels;
    COLORREF At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    int Count(COLORREF color) const;
};
Capture CaptureClient(HWND window);

// A solid square bitmap picture.
Picture SolidSquare(COLORREF color, int size);

// Real input: a move to screen (x, y), with a left click when asked; a key pressed and released.
void MouseTo(int x, int y, bool click);
void PressKey(WORD key);

// Lets posted messages and timers run for a while.
void PumpFor(DWORD ms);

}  // namespace ostrel::test
