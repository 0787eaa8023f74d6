// What both controls share on the Win32 side: the off-screen image they paint into (a
// paint request only copies from it), solid fills, bitmaps of pictures, the screen's DPI
// and the mouse buttons in the numbering the events use.
#pragma once

#include <windows.h>

#include "player/lists/bar_art.h"
#include "toolkit/handles.h"

namespace velmora::lists {

constexpr COLORREF ToColorRef(Rgb rgb) {
    return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

void FillSolid(HDC dc, const RECT& area, COLORREF color);

// Pixels per inch of the screen.
int ScreenDpi();
// The buttons held per a mouse message's key flags: 1 left, 2 right, 4 middle.
int MouseButtons(WPARAM keys);

// A 32-bit bitmap holding the picture, rows from the top.
toolkit::BitmapHandle BitmapOf(const Image& image);

class BackBuffer {
public:
    // A fresh white image of that size (at least 1 × 1).
    bool Resize(int width, int height);
    HDC Dc() const { return m_dc.get(); }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    void CopyTo(HDC target, const RECT& area) const;
    // WM_PAINT and WM_PRINTCLIENT both show the image.
    bool HandlePaintMessage(HWND window, UINT message, WPARAM wParam) const;

private:
    toolkit::BitmapHandle m_bitmap;
    toolkit::CreatedDc m_dc;
    int m_width = 0;
    int m_height = 0;
};

}  // namespace velmora::lists
