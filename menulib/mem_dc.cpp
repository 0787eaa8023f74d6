#include "menulib/mem_dc.h"

#include <cmath>
#include <utility>

namespace ostrel {

// ---- pictures -----------------------------------------------------------------------

struct Picture::Owner {
    Owner(PictureType t, HGDIOBJ h, HPALETTE p, SIZE size) : type(t), handle(h), palette(p), himetric(size) {}
    Owner(const Owner&) = delete;
    Owner& operator=(const Owner&) = delete;
    PictureType type = PictureType::None;
    HGDIOBJ handle = nullptr;
    HPALETTE palette = nullptr;
    SIZE himetric{};
    ~Owner() {
        switch (type) {
            case PictureType::Bitmap: DeleteObject(handle); break;
            case PictureType::Icon: DestroyIcon(static_cast<HICON>(handle)); break;
            case PictureType::Metafile: DeleteMetaFile(static_cast<HMETAFILE>(handle)); break;
            case PictureType::EnhMetafile: DeleteEnhMetaFile(static_cast<HENHMETAFILE>(handle)); break;
            case PictureType::None: break;
        }
        if (palette) DeleteObject(palette);
    }
};

namespace {

int ScreenDpiX() {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}
SIZE PixelsToHimetric(int width, int height) {
    const int dpi = ScreenDpiX();
    return {MulDiv(width, 2540, dpi), MulDiv(height, 2540, dpi)};
}

}  // namespace

Picture Picture::FromBitmap(HBITMAP bitmap, HPALETTE palette) {
    Picture picture;
    BITMAP info{};
    if (!bitmap || !GetObjectW(bitmap, sizeof info, &info)) return picture;
    picture.m_owner = std::make_shared<Owner>(PictureType::Bitmap, bitmap, palette,
                                                    PixelsToHimetric(info.bmWidth, info.bmHeight));
    return picture;
}

Picture Picture::FromIcon(HICON icon) {
    Picture picture;
    ICONINFO info{};
    if (!icon || !GetIconInfo(icon, &info)) return picture;
    BITMAP mask{};
    GetObjectW(info.hbmMask, sizeof mask, &mask);
    const int height = info.hbmColor ? mask.bmHeight : mask.bmHeight / 2;
    if (info.hbmColor) DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    picture.m_owner = std::make_shared<Owner>(PictureType::Icon, icon, nullptr,
                                                    PixelsToHimetric(mask.bmWidth, height));
    return picture;
}

Picture Picture::FromEnhMetafile(HENHMETAFILE metafile) {
    Picture picture;
    ENHMETAHEADER header{};
    if (!metafile || !GetEnhMetaFileHeader(metafile, sizeof header, &header)) return picture;
    // rclFrame is in 0.01 mm, which is HIMETRIC.
    const SIZE size{header.rclFrame.right - header.rclFrame.left, header.rclFrame.bottom - header.rclFrame.top};
    picture.m_owner = std::make_shared<Owner>(PictureType::EnhMetafile, metafile, nullptr, size);
    return picture;
}

Picture Picture::FromMetafile(HMETAFILE metafile, SIZE himetric) {
    Picture picture;
    if (metafile) picture.m_owner = std::make_shared<Owner>(PictureType::Metafile, metafile, nullptr, himetric);
    return picture;
}

PictureType Picture::Type() const { return m_owner ? m_owner->type : PictureType::None; }
HGDIOBJ Picture::Handle() const { return m_owner ? m_owner->handle : nullptr; }
SIZE Picture::Himetric() const { return m_owner ? m_owner->himetric : SIZE{}; }

SIZE Picture::PixelSize() const {
    const SIZE h = Himetric();
    const double twipsPerPixel = 1440.0 / ScreenDpiX();
    return {static_cast<LONG>(std::lround(h.cx * 1440.0 / 2540.0 / twipsPerPixel)),
            static_cast<LONG>(std::lround(h.cy * 1440.0 / 2540.0 / twipsPerPixel))};
}

// ---- the surface --------------------------------------------------------------------

MemDC::~MemDC() {
    const DWORD pendingError = GetLastError();
    Destroy();
    SetLastError(pendingError);
}

HDC MemDC::Init(int pixelWidth, int pixelHeight, HDC parentDc, HDC wrapDc) {
    Destroy();
    m_width = pixelWidth;
    m_height = pixelHeight;
    m_parent = parentDc;
    if (wrapDc) {
        m_dc = wrapDc;
        return m_dc;
    }
    HDC reference = parentDc ? parentDc : GetDC(nullptr);
    m_dc = CreateCompatibleDC(reference);
    m_ownsDc = m_dc != nullptr;
    if (m_dc) {
        m_bitmap = CreateCompatibleBitmap(reference, pixelWidth > 0 ? pixelWidth : 1, pixelHeight > 0 ? pixelHeight : 1);
        if (m_bitmap) m_previousBitmap = SelectObject(m_dc, m_bitmap);
        if ((GetDeviceCaps(reference, RASTERCAPS) & RC_PALETTE) && GetDeviceCaps(reference, SIZEPALETTE) == 256) {
            struct {
                LOGPALETTE head;
                PALETTEENTRY more[255];
            } palette{};
            palette.head.palVersion = 0x300;
            palette.head.palNumEntries = 256;
            GetSystemPaletteEntries(reference, 0, 256, palette.head.palPalEntry);
            m_palette = CreatePalette(&palette.head);
            if (m_palette) {
                m_previousPalette = SelectPalette(m_dc, m_palette, FALSE);
                RealizePalette(m_dc);
            }
        }
        if (parentDc) {
            SetBkColor(m_dc, GetBkColor(parentDc));
            SetTextColor(m_dc, GetTextColor(parentDc));
            SetBkMode(m_dc, GetBkMode(parentDc));
        }
    }
    if (!parentDc) ReleaseDC(nullptr, reference);
    return m_dc;
}

void MemDC::Destroy() {
    if (m_dc) {
        SelectBrush(nullptr, false);
        SelectPen(nullptr, false);
        if (m_previousPalette) SelectPalette(m_dc, m_previousPalette, FALSE);
        if (m_previousBitmap) SelectObject(m_dc, m_previousBitmap);
        if (m_ownsDc) DeleteDC(m_dc);
    }
    if (m_dotBrush) DeleteObject(m_dotBrush);
    if (m_dotPattern) DeleteObject(m_dotPattern);
    if (m_palette) DeleteObject(m_palette);
    if (m_bitmap) DeleteObject(m_bitmap);
    m_dc = m_parent = nullptr;
    m_width = m_height = 0;
    m_ownsDc = m_brushOwned = m_penOwned = false;
    m_bitmap = m_dotPattern = nullptr;
    m_previousBitmap = m_initialBrush = m_initialPen = nullptr;
    m_palette = m_previousPalette = nullptr;
    m_brush = m_dotBrush = nullptr;
    m_pen = nullptr;
}

void MemDC::Cls(OleColor fill, HBRUSH fillBrush) { FillRect(0, 0, m_width, m_height, fill, fillBrush); }

void MemDC::FillRect(int left, int top, int right, int bottom, OleColor fill, HBRUSH fillBrush) {
    if (!m_dc) return;
    if (right < left) right = m_width;
    if (bottom < top) bottom = m_height;
    const RECT r{left, top, right, bottom};
    if (fill == kNoColor) {
        if (fillBrush) ::FillRect(m_dc, &r, fillBrush);
        return;
    }
    HBRUSH brush = CreateSolidBrush(TranslateColor(fill));
    ::FillRect(m_dc, &r, brush);
    DeleteObject(brush);
}

void MemDC::Rectangle(int left, int top, int right, int bottom, OleColor fill, HBRUSH fillBrush, OleColor outline,
                      HPEN outlinePen) {
    if (!m_dc) return;
    if (right < left) right = m_width;
    if (bottom < top) bottom = m_height;
    if (fill != kNoColor) {
        SelectBrush(CreateSolidBrush(TranslateColor(fill)), true);
    } else {
        SelectBrush(fillBrush ? fillBrush : static_cast<HBRUSH>(GetStockObject(NULL_BRUSH)), false);
    }
    if (outline != kNoColor) {
        SelectPen(CreatePen(PS_SOLID, 1, TranslateColor(outline)), true);
    } else {
        SelectPen(outlinePen ? outlinePen : static_cast<HPEN>(GetStockObject(NULL_PEN)), false);
    }
    ::Rectangle(m_dc, left, top, right, bottom);
}

void MemDC::FillGradient(int left, int top, int right, int bottom, OleColor first, OleColor second, bool vertical,
                         bool drawBorder, OleColor border) {
    if (!m_dc) return;
    const OleColor a = TranslateColor(first);
    const OleColor b = TranslateColor(second);
    TRIVERTEX v[2] = {
        {left, top, GradientChannel(RedOf(a)), GradientChannel(GreenOf(a)), GradientChannel(BlueOf(a)), 0},
        {right, bottom, GradientChannel(RedOf(b)), GradientChannel(GreenOf(b)), GradientChannel(BlueOf(b)), 0},
    };
    GRADIENT_RECT joint{0, 1};
    GradientFill(m_dc, v, 2, &joint, 1, vertical ? GRADIENT_FILL_RECT_V : GRADIENT_FILL_RECT_H);
    if (drawBorder && border != kNoColor) {
        HBRUSH brush = CreateSolidBrush(TranslateColor(border));
        const RECT r{left, top, right, bottom};
        FrameRect(m_dc, &r, brush);
        DeleteObject(brush);
    }
}

void MemDC::DrawLine(int x1, int y1, int x2, int y2, OleColor line, HPEN linePen) {
    if (!m_dc) return;
    if (line != kNoColor) {
        SelectPen(CreatePen(PS_SOLID, 1, TranslateColor(line)), true);
    } else if (linePen) {
        SelectPen(linePen, false);
    }
    if (x1 >= 0) MoveToEx(m_dc, x1, y1, nullptr);
    LineTo(m_dc, x2, y2);
}

void MemDC::BitBlt(HDC dest, int xDest, int yDest, int width, int height, int xSrc, int ySrc, DWORD rop) {
    if (!m_dc) return;
    ::BitBlt(Target(dest), xDest, yDest, width ? width : m_width, height ? height : m_height, m_dc, xSrc, ySrc, rop);
}

void MemDC::LoadBlt(HDC source, int xSrc, int ySrc, int xDest, int yDest, int width, int height, DWORD rop) {
    if (!m_dc) return;
    ::BitBlt(m_dc, xDest, yDest, width ? width : m_width, height ? height : m_height, Target(source), xSrc, ySrc, rop);
}

void MemDC::TransBlt(HDC dest, int xDest, int yDest, int width, int height, int xSrc, int ySrc, OleColor mask) {
    if (!m_dc) return;
    width = width ? width : m_width;
    height = height ? height : m_height;
    TransparentBlt(Target(dest), xDest, yDest, width, height, m_dc, xSrc, ySrc, width, height, TranslateColor(mask));
}

void MemDC::PaintPicture(const Picture& picture, int xDest, int yDest, int width, int height, int xSrc, int ySrc,
                         DWORD rop, OleColor mask) {
    if (!picture) return;
    const SIZE size = picture.PixelSize();
    if (!m_dc) Init(size.cx, size.cy);
    if (!m_dc) return;
    width = width ? width : size.cx;
    height = height ? height : size.cy;
    const RECT target{xDest, yDest, xDest + width, yDest + height};
    switch (picture.Type()) {
        case PictureType::Bitmap: {
            HDC source = CreateCompatibleDC(m_dc);
            HGDIOBJ previous = SelectObject(source, picture.Handle());
            if (mask == kNoColor) {
                ::BitBlt(m_dc, xDest, yDest, width, height, source, xSrc, ySrc, rop);
            } else {
                TransparentBlt(m_dc, xDest, yDest, width, height, source, xSrc, ySrc, width, height, TranslateColor(mask));
            }
            SelectObject(source, previous);
            DeleteDC(source);
            break;
        }
        case PictureType::Icon: DrawIconEx(m_dc, xDest, yDest, picture.Icon(), width, height, 0, nullptr, DI_NORMAL); break;
        case PictureType::Metafile: {
            const UINT bytes = GetMetaFileBitsEx(static_cast<HMETAFILE>(picture.Handle()), 0, nullptr);
            std::string bits(bytes, '\0');
            GetMetaFileBitsEx(static_cast<HMETAFILE>(picture.Handle()), bytes, bits.data());
            const METAFILEPICT frame{MM_ANISOTROPIC, picture.Himetric().cx, picture.Himetric().cy, nullptr};
            HENHMETAFILE converted = SetWinMetaFileBits(bytes, reinterpret_cast<const BYTE*>(bits.data()), m_dc, &frame);
            if (converted) {
                PlayEnhMetaFile(m_dc, converted, &target);
                DeleteEnhMetaFile(converted);
            }
            break;
        }
        case PictureType::EnhMetafile: PlayEnhMetaFile(m_dc, static_cast<HENHMETAFILE>(picture.Handle()), &target); break;
        case PictureType::None: break;
    }
}

void MemDC::DrawText(const std::wstring& text, RECT& rect, UINT format) {
    if (!m_dc) return;
    ::DrawTextW(m_dc, text.c_str(), static_cast<int>(text.size()), &rect, format);
}

Picture MemDC::BitmapToPicture(HBITMAP bitmap, HPALETTE palette) { return Picture::FromBitmap(bitmap, palette); }
Picture MemDC::IconToPicture(HICON icon) { return Picture::FromIcon(icon); }

OleColor MemDC::TranslateColor(OleColor color) const {
    if (color == kNoColor) return kNoColor;
    OleColor resolved = IsSystemColor(color) ? GetSysColor(SystemColorIndex(color)) : color;
    if (m_palette && !IsSystemColor(color)) resolved = ::GetNearestColor(m_dc, resolved);
    return resolved & 0xFFFFFF;
}

void MemDC::NormalizeRect(int& left, int& top, int& right, int& bottom) {
    if (left > right) std::swap(left, right);
    if (top > bottom) std::swap(top, bottom);
}

void MemDC::SetPixel(int x, int y, OleColor color) {
    if (m_dc) ::SetPixel(m_dc, x, y, TranslateColor(color));
}
OleColor MemDC::GetPixel(int x, int y) const { return m_dc ? ::GetPixel(m_dc, x, y) : 0; }

OleColor MemDC::ForeColor() const { return m_dc ? GetTextColor(m_dc) : 0; }
void MemDC::SetForeColor(OleColor color) {
    if (m_dc) SetTextColor(m_dc, TranslateColor(color));
}
OleColor MemDC::BackColor() const { return m_dc ? GetBkColor(m_dc) : 0; }
void MemDC::SetBackColor(OleColor color) {
    if (m_dc) SetBkColor(m_dc, TranslateColor(color));
}
int MemDC::BackStyle() const { return m_dc ? GetBkMode(m_dc) : 0; }
void MemDC::SetBackStyle(int style) {
    if (m_dc) SetBkMode(m_dc, style);
}
int MemDC::DrawMode() const { return m_dc ? GetROP2(m_dc) : 0; }
void MemDC::SetDrawMode(int mode) {
    if (m_dc) SetROP2(m_dc, mode);
}

namespace {
// Swaps the object selected through a property: the context's own object is remembered on
// the first selection and put back for null; an object taken over is deleted as it drops out.
void SelectTracked(HDC dc, HGDIOBJ next, bool takeOver, HGDIOBJ& current, bool& currentOwned, HGDIOBJ& initial) {
    if (!dc || (!initial && !next)) return;
    HGDIOBJ outgoing = SelectObject(dc, next ? next : initial);
    if (!initial) initial = outgoing;
    if (outgoing == current && currentOwned && outgoing != next) DeleteObject(outgoing);
    current = next;
    currentOwned = next && takeOver;
    if (!next) initial = nullptr;
}
}  // namespace

void MemDC::SelectBrush(HBRUSH brush, bool owned) {
    SelectTracked(m_dc, brush, owned, m_brush, m_brushOwned, m_initialBrush);
}

void MemDC::SelectPen(HPEN pen, bool owned) { SelectTracked(m_dc, pen, owned, m_pen, m_penOwned, m_initialPen); }

HBRUSH MemDC::DotBrush() {
    if (!m_dotBrush) {
        static const WORD kRows[8] = {0xAAAA, 0x5555, 0xAAAA, 0x5555, 0xAAAA, 0x5555, 0xAAAA, 0x5555};
        m_dotPattern = CreateBitmap(8, 8, 1, 1, kRows);
        if (m_dotPattern) m_dotBrush = CreatePatternBrush(m_dotPattern);
    }
    return m_dotBrush ? m_dotBrush : static_cast<HBRUSH>(GetStockObject(DKGRAY_BRUSH));
}

}  // namespace ostrel
