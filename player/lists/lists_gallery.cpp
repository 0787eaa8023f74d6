// Shows three lists, one per scroll-bar scheme, for looking at the controls by eye (at any
// DPI the Wine prefix is set to). Closes itself after a while so screenshot runs end.
#include <windows.h>

#include <array>
#include <memory>
#include <string>

#include "player/lists/ilist.h"
#include "toolkit/app.h"
#include "toolkit/form.h"

namespace {

using velmora::lists::IList;

constexpr UINT kLifetimeMs = 15000;

// A small document icon: a white page with a folded corner and a red "f" band.
HIMAGELIST MovieIcons(int size) {
    HIMAGELIST images = ImageList_Create(size, size, ILC_COLOR24 | ILC_MASK, 1, 1);
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, size, size);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    const auto fill = [&](int l, int t, int r, int b, COLORREF c) {
        const RECT area{l * size / 16, t * size / 16, r * size / 16, b * size / 16};
        velmora::lists::FillSolid(dc, area, c);
    };
    fill(0, 0, 16, 16, RGB(255, 0, 255));
    fill(2, 0, 14, 16, RGB(120, 120, 120));
    fill(3, 1, 13, 15, RGB(255, 255, 255));
    fill(10, 1, 13, 4, RGB(200, 200, 200));
    fill(4, 6, 12, 12, RGB(204, 32, 32));
    fill(7, 7, 9, 11, RGB(255, 255, 255));
    fill(6, 8, 10, 9, RGB(255, 255, 255));
    SelectObject(dc, old);
    DeleteDC(dc);
    ImageList_AddMasked(images, bitmap, RGB(255, 0, 255));
    DeleteObject(bitmap);
    return images;
}

class Gallery : public velmora::toolkit::Window {
public:
    bool Create() {
        const int dpi = velmora::lists::ScreenDpi();
        const auto px = [dpi](int design) { return MulDiv(design, dpi, 96); };
        if (!CreateWindowOf(L"VelmoraListsGallery", 0, WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, L"", 20, 20,
                            px(640), px(300), nullptr, nullptr))
            return false;
        m_icons = MovieIcons(px(16));
        for (int scheme = 0; scheme < 3; ++scheme) {
            auto& list = m_lists[static_cast<size_t>(scheme)];
            list = std::make_unique<IList>();
            if (!list->Create(Handle(), px(10 + scheme * 210), px(10), px(200), px(280))) return false;
            list->Scroll().SetColorScheme(scheme);
            list->SetImageList(m_icons);
            list->SetItemHeight(px(19));
            for (int i = 1; i <= 30; ++i)
                list->AddItem(L"影片 " + std::to_wstring(i) + L" Flash movie", L"", 1);
            list->SetPos(px(20), px(4), px(24), px(19), px(4), px(2));
            list->ScrollTo(scheme * 6 + 1);
            list->SetSelected(scheme * 6 + 3);
        }
        m_quit.Start(kLifetimeMs, [] { PostQuitMessage(0); });
        return true;
    }

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_ERASEBKGND) {
            RECT client{};
            GetClientRect(Handle(), &client);
            velmora::lists::FillSolid(reinterpret_cast<HDC>(wParam), client, GetSysColor(COLOR_BTNFACE));
            return 1;
        }
        return Window::HandleMessage(message, wParam, lParam);
    }

private:
    HIMAGELIST m_icons = nullptr;
    std::array<std::unique_ptr<IList>, 3> m_lists;
    velmora::toolkit::Timer m_quit;
};

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    Gallery gallery;
    if (!gallery.Create()) return 1;
    return velmora::toolkit::RunMessageLoop();
}
