// Puts rendered frames on the screen through a DIB section.
#pragma once

#include <windows.h>

#include "engine/raster/renderer.h"
#include "toolkit/handles.h"

namespace velmora::moviehost {

class Presenter {
public:
    // A top-down 32-bit DIB of the given size; contents undefined until Copy.
    void Resize(int width, int height);
    // Copies a region of the rendered surface (same size as the DIB) into the DIB.
    void Copy(const raster::Surface& surface, const raster::PixelRect& region);
    // Paints the DIB's part under `area` (client coordinates).
    void Paint(HDC target, const RECT& area) const;
    // The colour of a pixel of the last copied frame (0x00RRGGBB), for tests and pictures.
    COLORREF PixelAt(int x, int y) const;
    int Width() const { return m_width; }
    int Height() const { return m_height; }

private:
    toolkit::CreatedDc m_dc;
    toolkit::BitmapHandle m_bitmap;
    HGDIOBJ m_previous = nullptr;
    uint32_t* m_bits = nullptr;
    int m_width = 0, m_height = 0;
};

}  // namespace velmora::moviehost
