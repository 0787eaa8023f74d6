#include "moviehost/presenter.h"

#include <algorithm>
#include <cstring>

namespace velmora::moviehost {

void Presenter::Resize(int width, int height) {
    if (width == m_width && height == m_height && m_bitmap) return;
    if (m_dc && m_previous) SelectObject(m_dc.get(), m_previous);
    m_bitmap.reset();
    m_bits = nullptr;
    m_width = std::max(width, 0);
    m_height = std::max(height, 0);
    if (!m_dc) m_dc.reset(CreateCompatibleDC(nullptr));
    if (m_width == 0 || m_height == 0) return;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = m_width;
    info.bmiHeader.biHeight = -m_height;  // top-down, like the surface
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    m_bitmap.reset(CreateDIBSection(m_dc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!m_bitmap) return;
    m_bits = static_cast<uint32_t*>(bits);
    m_previous = SelectObject(m_dc.get(), m_bitmap.get());
}

void Presenter::Copy(const raster::Surface& surface, const raster::PixelRect& region) {
    if (!m_bits || surface.Width() != m_width || surface.Height() != m_height) return;
    const int left = std::clamp(region.left, 0, m_width), right = std::clamp(region.right, 0, m_width);
    const int top = std::clamp(region.top, 0, m_height), bottom = std::clamp(region.bottom, 0, m_height);
    if (left >= right) return;
    GdiFlush();  // GDI may still be reading the DIB
    for (int y = top; y < bottom; ++y)
        std::memcpy(m_bits + static_cast<size_t>(y) * m_width + left, surface.Row(y) + left,
                    static_cast<size_t>(right - left) * sizeof(uint32_t));
}

void Presenter::Paint(HDC target, const RECT& area) const {
    if (!m_bitmap) return;
    BitBlt(target, area.left, area.top, area.right - area.left, area.bottom - area.top, m_dc.get(), area.left,
           area.top, SRCCOPY);
}

COLORREF Presenter::PixelAt(int x, int y) const {
    if (!m_bits || x < 0 || y < 0 || x >= m_width || y >= m_height) return CLR_INVALID;
    const uint32_t p = m_bits[static_cast<size_t>(y) * m_width + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

}  // namespace velmora::moviehost
