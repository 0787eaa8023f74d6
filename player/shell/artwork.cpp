#include "player/shell/artwork.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace velmora::player {

namespace {

using toolkit::BrushHandle;
using toolkit::SelectScope;

COLORREF Mix(COLORREF a, COLORREF b, double t) {
    auto c = [t](int x, int y) { return static_cast<BYTE>(std::lround(x + (y - x) * t)); };
    return RGB(c(GetRValue(a), GetRValue(b)), c(GetGValue(a), GetGValue(b)), c(GetBValue(a), GetBValue(b)));
}

void VerticalGradient(HDC dc, const RECT& r, COLORREF top, COLORREF bottom) {
    TRIVERTEX v[2] = {{r.left, r.top, static_cast<COLOR16>(GetRValue(top) << 8),
                       static_cast<COLOR16>(GetGValue(top) << 8), static_cast<COLOR16>(GetBValue(top) << 8), 0},
                      {r.right, r.bottom, static_cast<COLOR16>(GetRValue(bottom) << 8),
                       static_cast<COLOR16>(GetGValue(bottom) << 8), static_cast<COLOR16>(GetBValue(bottom) << 8), 0}};
    GRADIENT_RECT g{0, 1};
    GradientFill(dc, v, 2, &g, 1, GRADIENT_FILL_RECT_V);
}

void Polygon(HDC dc, std::initializer_list<POINT> points, COLORREF color) {
    BrushHandle brush(CreateSolidBrush(color));
    SelectScope b(dc, brush.get());
    SelectScope p(dc, GetStockObject(NULL_PEN));
    ::Polygon(dc, points.begin(), static_cast<int>(points.size()));
}

void Box(HDC dc, int l, int t, int r, int b, COLORREF color) {
    const RECT rect{l, t, r, b};
    BrushHandle brush(CreateSolidBrush(color));
    FillRect(dc, &rect, brush.get());
}

// A round glass button: a rim, a vertical shine and the glyph in white.
void RoundButton(HDC dc, const RECT& box, COLORREF base, int look) {
    const int d = std::min(box.right - box.left, box.bottom - box.top);
    const RECT c{box.left, box.top, box.left + d, box.top + d};
    HRGN region = CreateEllipticRgn(c.left, c.top, c.right + 1, c.bottom + 1);
    SelectClipRgn(dc, region);
    const COLORREF light = Mix(base, RGB(255, 255, 255), look == 2 ? 0.15 : 0.55);
    const COLORREF dark = Mix(base, RGB(0, 0, 0), look == 2 ? 0.45 : 0.25);
    VerticalGradient(dc, c, look == 2 ? dark : light, look == 2 ? light : dark);
    // Upper highlight.
    const RECT shine{c.left + d / 6, c.top + 2, c.right - d / 6, c.top + d / 2};
    VerticalGradient(dc, shine, Mix(light, RGB(255, 255, 255), 0.6), light);
    SelectClipRgn(dc, nullptr);
    DeleteObject(region);
    toolkit::PenHandle rim(CreatePen(PS_SOLID, 1, Mix(base, RGB(0, 0, 0), 0.5)));
    SelectScope p(dc, rim.get());
    SelectScope b(dc, GetStockObject(NULL_BRUSH));
    Ellipse(dc, c.left, c.top, c.right, c.bottom);
}

void PanelGlyph(HDC dc, const RECT& box, std::string_view picture, COLORREF ink) {
    const int d = std::min(box.right - box.left, box.bottom - box.top);
    const int x = box.left, y = box.top, u = std::max(1, d / 12);
    const int cx = x + d / 2, cy = y + d / 2;
    if (picture == "play") {
        Polygon(dc, {{cx - 2 * u, cy - 3 * u}, {cx + 3 * u + u / 2, cy}, {cx - 2 * u, cy + 3 * u}}, ink);
    } else if (picture == "stop") {
        Box(dc, cx - 2 * u - u / 2, cy - 2 * u - u / 2, cx + 2 * u + u / 2, cy + 2 * u + u / 2, ink);
    } else if (picture == "prev") {
        Box(dc, cx - 3 * u, cy - 3 * u, cx - 2 * u, cy + 3 * u, ink);
        Polygon(dc, {{cx + 3 * u, cy - 3 * u}, {cx - 2 * u, cy}, {cx + 3 * u, cy + 3 * u}}, ink);
    } else if (picture == "next") {
        Box(dc, cx + 2 * u, cy - 3 * u, cx + 3 * u, cy + 3 * u, ink);
        Polygon(dc, {{cx - 3 * u, cy - 3 * u}, {cx + 2 * u, cy}, {cx - 3 * u, cy + 3 * u}}, ink);
    }
}

void Speaker(HDC dc, const RECT& box, bool sounding) {
    const int w = box.right - box.left, h = box.bottom - box.top;
    const int u = std::max(1, std::min(w, h) / 12);
    const int x = box.left + u, cy = box.top + h / 2;
    const COLORREF ink = sounding ? RGB(30, 60, 130) : RGB(130, 130, 140);
    Box(dc, x, cy - 2 * u, x + 3 * u, cy + 2 * u, ink);
    Polygon(dc, {{x + 3 * u, cy - 2 * u}, {x + 7 * u, cy - 5 * u}, {x + 7 * u, cy + 5 * u}, {x + 3 * u, cy + 2 * u}},
            ink);
    toolkit::PenHandle pen(CreatePen(PS_SOLID, std::max(1, u), sounding ? ink : RGB(200, 40, 40)));
    SelectScope p(dc, pen.get());
    SelectScope b(dc, GetStockObject(NULL_BRUSH));
    if (sounding) {
        for (int r : {3, 5}) Arc(dc, x + 7 * u - r * u, cy - r * u, x + 7 * u + r * u, cy + r * u,
                                   x + 8 * u, cy + r * u, x + 8 * u, cy - r * u);
    } else {
        MoveToEx(dc, x + 8 * u, cy - 2 * u, nullptr);
        LineTo(dc, x + 12 * u, cy + 2 * u);
        MoveToEx(dc, x + 12 * u, cy - 2 * u, nullptr);
        LineTo(dc, x + 8 * u, cy + 2 * u);
    }
}

}  // namespace

void DrawPanelPicture(HDC dc, const RECT& box, std::string_view picture, int look) {
    if (picture == "sound") {
        Speaker(dc, box, look != 0);
        return;
    }
    const COLORREF base = look == 0 ? RGB(150, 155, 165) : picture == "play" ? RGB(30, 140, 60) : RGB(40, 90, 190);
    RoundButton(dc, box, base, look);
    PanelGlyph(dc, box, picture, look == 0 ? RGB(225, 225, 230) : RGB(255, 255, 255));
}

void DrawPanelBackground(HDC dc, const RECT& box) {
    VerticalGradient(dc, box, RGB(236, 242, 252), RGB(190, 207, 238));
    toolkit::PenHandle pen(CreatePen(PS_SOLID, 1, RGB(24, 85, 198)));
    SelectScope p(dc, pen.get());
    SelectScope b(dc, GetStockObject(NULL_BRUSH));
    RoundRect(dc, box.left, box.top, box.right, box.bottom, 10, 10);
}

namespace {
constexpr COLORREF kGlyphKey = RGB(255, 0, 255);

// Draws on a key colour, then turns the key transparent through the alpha channel.
template <typename Draw>
HICON GlyphIcon(Draw&& draw, bool disabled = false) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), 16, -16, 1, 32, BI_RGB};
    void* bits = nullptr;
    toolkit::BitmapHandle color(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    toolkit::BitmapHandle mask(CreateBitmap(16, 16, 1, 1, nullptr));
    {
        toolkit::CreatedDc dc(CreateCompatibleDC(nullptr));
        SelectScope keep(dc.get(), color.get());
        Box(dc.get(), 0, 0, 16, 16, kGlyphKey);
        draw(dc.get());
        GdiFlush();
    }
    auto* pixel = static_cast<uint32_t*>(bits);
    const uint32_t key = 0xFF00FF;  // BGRA of the key colour without alpha
    for (int i = 0; i < 16 * 16; ++i) {
        if ((pixel[i] & 0xFFFFFF) == key) {
            pixel[i] = 0;
            continue;
        }
        if (disabled) {
            const uint32_t grey = (((pixel[i] >> 16) & 0xFF) * 3 + ((pixel[i] >> 8) & 0xFF) * 6 + (pixel[i] & 0xFF)) / 10;
            const uint32_t pale = 150 + grey * 80 / 255;
            pixel[i] = pale << 16 | pale << 8 | pale;
        }
        pixel[i] |= 0xFF000000;
    }
    ICONINFO icon{TRUE, 0, 0, mask.get(), color.get()};
    return CreateIconIndirect(&icon);
}
}  // namespace

HICON MovieIcon() {
    return GlyphIcon([](HDC d) {
        Box(d, 2, 2, 14, 14, RGB(40, 70, 150));
        Box(d, 4, 4, 12, 12, RGB(235, 240, 250));
        for (int y = 3; y < 14; y += 3) {
            Box(d, 2, y, 3, y + 1, RGB(235, 240, 250));
            Box(d, 13, y, 14, y + 1, RGB(235, 240, 250));
        }
        Polygon(d, {{6, 5}, {11, 8}, {6, 11}}, RGB(230, 110, 30));
    });
}

HICON ToolbarGlyph(Action action, int arg, bool disabled) {
    return GlyphIcon([action, arg](HDC d) {
    const COLORREF blue = RGB(30, 80, 170), green = RGB(20, 130, 50), grey = RGB(70, 70, 80), red = RGB(190, 40, 40);
    switch (action) {
        case Action::OpenPlay:
            Polygon(d, {{1, 4}, {6, 4}, {7, 6}, {14, 6}, {14, 14}, {1, 14}}, RGB(220, 170, 40));
            Polygon(d, {{3, 8}, {16, 8}, {13, 14}, {1, 14}}, RGB(245, 205, 80));
            break;
        case Action::Close:
            Polygon(d, {{3, 2}, {8, 7}, {13, 2}, {14, 3}, {9, 8}, {14, 13}, {13, 14}, {8, 9}, {3, 14}, {2, 13}, {7, 8}, {2, 3}},
                    red);
            break;
        case Action::SaveAs:
            Box(d, 2, 2, 14, 14, blue);
            Box(d, 4, 2, 12, 7, RGB(240, 240, 245));
            Box(d, 5, 10, 11, 14, RGB(200, 205, 215));
            break;
        case Action::ExportExe:
            Box(d, 1, 2, 15, 14, grey);
            Box(d, 2, 5, 14, 13, RGB(235, 240, 250));
            Box(d, 2, 3, 14, 4, RGB(80, 130, 220));
            Polygon(d, {{6, 7}, {11, 9}, {6, 11}}, green);
            break;
        case Action::Picture:
            Box(d, 1, 2, 15, 14, grey);
            Box(d, 2, 3, 14, 13, RGB(150, 200, 240));
            Polygon(d, {{2, 13}, {7, 7}, {10, 10}, {12, 8}, {14, 11}, {14, 13}}, green);
            Box(d, 10, 4, 12, 6, RGB(250, 210, 60));
            break;
        case Action::ZoomWindow:
            Box(d, 1, 1, 15, 15, grey);
            Box(d, 2, 2, 14, 14, RGB(235, 240, 250));
            Box(d, 4, 7, 12, 9, blue);
            if (arg == 1) Box(d, 7, 4, 9, 12, blue);
            break;
        case Action::FullScreen:
            Box(d, 1, 2, 15, 13, grey);
            Box(d, 2, 3, 14, 12, RGB(80, 130, 220));
            Box(d, 6, 13, 10, 15, grey);
            break;
        case Action::UIPanel:
            Box(d, 1, 2, 15, 14, grey);
            Box(d, 2, 3, 9, 13, RGB(235, 240, 250));
            Box(d, 10, 3, 14, 13, RGB(110, 138, 222));
            break;
        case Action::Resume: Polygon(d, {{4, 2}, {13, 8}, {4, 14}}, green); break;
        case Action::Replay:
            Box(d, 2, 3, 4, 13, green);
            Polygon(d, {{14, 3}, {5, 8}, {14, 13}}, green);
            break;
        case Action::Pause:
            Box(d, 4, 3, 7, 13, blue);
            Box(d, 9, 3, 12, 13, blue);
            break;
        case Action::PrevMovie:
            Box(d, 2, 3, 4, 13, blue);
            Polygon(d, {{13, 3}, {5, 8}, {13, 13}}, blue);
            break;
        case Action::NextMovie:
            Box(d, 12, 3, 14, 13, blue);
            Polygon(d, {{3, 3}, {11, 8}, {3, 13}}, blue);
            break;
        case Action::SeekBack:
            Polygon(d, {{8, 3}, {1, 8}, {8, 13}}, blue);
            Polygon(d, {{15, 3}, {8, 8}, {15, 13}}, blue);
            break;
        case Action::SeekForward:
            Polygon(d, {{1, 3}, {8, 8}, {1, 13}}, blue);
            Polygon(d, {{8, 3}, {15, 8}, {8, 13}}, blue);
            break;
        default: break;
    }
    }, disabled);
}

void DrawSplash(HDC dc, const RECT& box) {
    VerticalGradient(dc, box, RGB(18, 42, 110), RGB(8, 14, 40));
    const int w = box.right - box.left, h = box.bottom - box.top;
    // A ribbon of light across the picture.
    for (int i = 0; i < 24; ++i) {
        const double t = i / 23.0;
        toolkit::PenHandle pen(CreatePen(PS_SOLID, 2, Mix(RGB(40, 90, 200), RGB(120, 200, 255), t)));
        SelectScope p(dc, pen.get());
        const int y0 = h * 3 / 4 - static_cast<int>(t * h / 3);
        MoveToEx(dc, box.left, y0 + i * 2, nullptr);
        const POINT curve[3] = {{box.left + w / 3, y0 - h / 5 + i}, {box.left + 2 * w / 3, y0 + h / 4}, {box.right, y0 - i}};
        PolyBezierTo(dc, curve, 3);
    }
    // The play mark.
    const RECT mark{box.left + w / 12, box.top + h / 5, box.left + w / 12 + h / 3, box.top + h / 5 + h / 3};
    RoundButton(dc, mark, RGB(240, 110, 30), 1);
    PanelGlyph(dc, mark, "play", RGB(255, 255, 255));

    SetBkMode(dc, TRANSPARENT);
    LOGFONTW title{};
    title.lfHeight = -h / 7;
    title.lfWeight = FW_BOLD;
    title.lfCharSet = GB2312_CHARSET;
    title.lfQuality = ANTIALIASED_QUALITY;
    wcscpy_s(title.lfFaceName, L"Microsoft YaHei");
    toolkit::FontHandle big(CreateFontIndirectW(&title));
    SelectScope f(dc, big.get());
    SetTextColor(dc, RGB(255, 255, 255));
    RECT text{mark.right + w / 24, mark.top - h / 40, box.right, mark.bottom};
    DrawTextW(dc, L"VelmoraFlash", -1, &text, DT_LEFT | DT_TOP | DT_SINGLELINE);
    title.lfHeight = -h / 12;
    title.lfWeight = FW_NORMAL;
    toolkit::FontHandle small(CreateFontIndirectW(&title));
    SelectObject(dc, small.get());
    SetTextColor(dc, RGB(170, 200, 255));
    text.top += h / 6;
    DrawTextW(dc, L"播放软件  Ver 2.1", -1, &text, DT_LEFT | DT_TOP | DT_SINGLELINE);
    SelectObject(dc, big.get());
}

}  // namespace velmora::player
