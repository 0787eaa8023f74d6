// The library's drawing surface: an off-screen memory DC with its own bitmap, or a thin
// wrapper over a DC somebody else owns. Colours are OLE colours; kNoColor means "none" where
// a colour is optional, and the handle argument is used instead.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "menulib/colors.h"
#include "menulib/export.h"

namespace ostrel {

// Picture types with the values of the OLE picture object.
enum class PictureType : int { None = 0, Bitmap = 1, Metafile = 2, Icon = 3, EnhMetafile = 4 };

// A picture that owns its GDI handle; copies share it, the last one deletes it.
class OSTREL_API Picture {
public:
    Picture() = default;
    static Picture FromBitmap(HBITMAP bitmap, HPALETTE palette = nullptr);
    static Picture FromIcon(HICON icon);
    static Picture FromEnhMetafile(HENHMETAFILE metafile);
    // An old-style metafile has no size of its own: it is given in HIMETRIC.
    static Picture FromMetafile(HMETAFILE metafile, SIZE himetric);

    PictureType Type() const;
    HGDIOBJ Handle() const;
    HBITMAP Bitmap() const { return static_cast<HBITMAP>(Handle()); }
    HICON Icon() const { return static_cast<HICON>(Handle()); }
    SIZE Himetric() const;
    // HIMETRIC x 1440 / 2540 / horizontal twips per pixel, rounded, on both axes.
    SIZE PixelSize() const;
    explicit operator bool() const { return Type() != PictureType::None; }

    struct Owner;

private:
    std::shared_ptr<Owner> m_owner;
};

class OSTREL_API MemDC {
public:
    MemDC() = default;
    ~MemDC();
    MemDC(const MemDC&) = delete;
    MemDC& operator=(const MemDC&) = delete;

    HDC Init(int pixelWidth, int pixelHeight, HDC parentDc = nullptr, HDC wrapDc = nullptr);
    void Destroy();

    void Cls(OleColor fill, HBRUSH fillBrush = nullptr);
    // A right below left means Width, a bottom above top means Height.
    void FillRect(int left, int top, int right, int bottom, OleColor fill, HBRUSH fillBrush = nullptr);
    void Rectangle(int left, int top, int right, int bottom, OleColor fill, HBRUSH fillBrush = nullptr,
                   OleColor outline = kNoColor, HPEN outlinePen = nullptr);
    void FillGradient(int left, int top, int right, int bottom, OleColor first, OleColor second,
                      bool vertical = false, bool drawBorder = false, OleColor border = kNoColor);
    // X1 negative: continue from the current position. The end point is not drawn.
    void DrawLine(int x1, int y1, int x2, int y2, OleColor line, HPEN linePen = nullptr);
    // Width or height 0 means the surface's; a null destination or source means the parent DC.
    void BitBlt(HDC dest, int xDest, int yDest, int width = 0, int height = 0, int xSrc = 0, int ySrc = 0,
                DWORD rop = SRCCOPY);
    void LoadBlt(HDC source, int xSrc, int ySrc, int xDest = 0, int yDest = 0, int width = 0, int height = 0,
                 DWORD rop = SRCCOPY);
    void TransBlt(HDC dest, int xDest, int yDest, int width, int height, int xSrc, int ySrc, OleColor mask);
    void PaintPicture(const Picture& picture, int xDest = 0, int yDest = 0, int width = 0, int height = 0,
                      int xSrc = 0, int ySrc = 0, DWORD rop = SRCCOPY, OleColor mask = kNoColor);
    // Draws (or with DT_CALCRECT measures) the text; the rectangle comes back as the call left it.
    void DrawText(const std::wstring& text, RECT& rect, UINT format);

    static Picture BitmapToPicture(HBITMAP bitmap, HPALETTE palette = nullptr);
    static Picture IconToPicture(HICON icon);
    // kNoColor stays; system colours are resolved; the result is cut to 24 bits.
    OleColor TranslateColor(OleColor color) const;
    static void NormalizeRect(int& left, int& top, int& right, int& bottom);

    void SetPixel(int x, int y, OleColor color);
    OleColor GetPixel(int x, int y) const;

    OleColor ForeColor() const;
    void SetForeColor(OleColor color);
    OleColor BackColor() const;
    void SetBackColor(OleColor color);
    int BackStyle() const;  // 1 transparent, 2 opaque
    void SetBackStyle(int style);
    int DrawMode() const;
    void SetDrawMode(int mode);

    // Selects the object and takes it over: it is deleted when it drops out again. Null puts
    // the context's own object back.
    void SetBrush(HBRUSH brush) { SelectBrush(brush, true); }
    HBRUSH Brush() const { return static_cast<HBRUSH>(m_brush); }
    void SetPen(HPEN pen) { SelectPen(pen, true); }
    HPEN Pen() const { return static_cast<HPEN>(m_pen); }
    // An 8 x 8 brush of alternating pixels, made on first use.
    HBRUSH DotBrush();

    HDC Hdc() const { return m_dc; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    bool IsCreated() const { return m_dc != nullptr; }
    bool IsMemoryDC() const { return m_bitmap != nullptr; }

private:
    // Caller's handles given to Rectangle and DrawLine are selected without being taken over.
    void SelectBrush(HBRUSH brush, bool owned);
    void SelectPen(HPEN pen, bool owned);
    HDC Target(HDC dc) const { return dc ? dc : m_parent; }
    HDC m_dc = nullptr;
    int m_width = 0;
    int m_height = 0;
    bool m_ownsDc = false;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_previousBitmap = nullptr;
    HPALETTE m_palette = nullptr;
    HPALETTE m_previousPalette = nullptr;
    HDC m_parent = nullptr;
    HGDIOBJ m_brush = nullptr;
    bool m_brushOwned = false;
    HGDIOBJ m_initialBrush = nullptr;
    HGDIOBJ m_pen = nullptr;
    bool m_penOwned = false;
    HGDIOBJ m_initialPen = nullptr;
    HBRUSH m_dotBrush = nullptr;
    HBITMAP m_dotPattern = nullptr;
};

}  // namespace ostrel
