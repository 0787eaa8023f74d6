#include "player/lists/win_support.h"

#include <algorithm>
#include <cstring>

namespace velmora::lists {

void FillSolid(HDC dc, const RECT& area, COLORREF color) {
    // ExtTextOut with an opaque rectangle fills without creating a brush.
    const COLORREF previous = SetBkColor(dc, color);
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &area, nullptr, 0, nullptr);
    SetBkColor(dc, previous);
}

int ScreenDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

int MouseButtons(WPARAM keys) {
    return ((keys & MK_LBUTTON) ? 1 : 0) | ((keys & MK_RBUTTON) ? 2 : 0) | ((keys & MK_MBUTTON) ? 4 : 0);
}

toolkit::BitmapHandle BitmapOf(const Image& image) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = image.width;
    info.bmiHeader.biHeight = -image.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    toolkit::BitmapHandle bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    // A 32-bit DIB pixel read as a little-endian DWORD is 0x00RRGGBB, the image's own layout.
    if (bitmap && bits)
        std::memcpy(bits, image.pixels.data(), image.pixels.size() * sizeof(Rgb));
    return bitmap;
}

bool BackBuffer::Resize(int width, int height) {
    width = std::max(width, 1);
    height = std::max(height, 1);
    if (!m_dc) m_dc.reset(CreateCompatibleDC(nullptr));
    HDC screen = GetDC(nullptr);
    toolkit::BitmapHandle bitmap(CreateCompatibleBitmap(screen, width, height));
    ReleaseDC(nullptr, screen);
    if (!m_dc || !bitmap) return false;
    SelectObject(m_dc.get(), bitmap.get());
    m_bitmap = std::move(bitmap);
    m_width = width;
    m_height = height;
    FillSolid(m_dc.get(), RECT{0, 0, width, height}, RGB(255, 255, 255));
    return true;
}

void BackBuffer::CopyTo(HDC target, const RECT& area) const {
    BitBlt(target, area.left, area.top, area.right - area.left, area.bottom - area.top, m_dc.get(),
           area.left, area.top, SRCCOPY);
}

bool BackBuffer::HandlePaintMessage(HWND window, UINT message, WPARAM wParam) const {
    if (message == WM_PAINT) {
        toolkit::PaintScope paint(window);
        CopyTo(paint.Dc(), paint.Area());
        return true;
    }
    if (message == WM_PRINTCLIENT) {
        CopyTo(reinterpret_cast<HDC>(wParam), RECT{0, 0, m_width, m_height});
        return true;
    }
    return false;
}

}  // namespace velmora::lists
