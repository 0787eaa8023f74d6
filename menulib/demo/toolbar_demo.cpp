// Two toolbars of flat buttons and separators, XP look above and Office 2003 look below,
// with one button of each pressed, checked and disabled: for looking at (point at one to
// see the hover look).
#include <windows.h>

#include "menulib/ostrelmnu.h"
#include "menulib/win_test_support.h"

namespace {

using namespace ostrel;

void BuildBar(HWND host, int top, bool office) {
    ToolbarProps barProps;
    barProps.office2003Style = office;
    barProps.foreColor = kSysButtonText;
    VsToolBar bar;
    bar.Create(host, 1, 0, top, 640, 40, barProps);
    int x = 4;
    auto add = [&](int width, ButtonAppearance look, const wchar_t* caption, COLORREF color) {
        ButtonProps p;
        p.office2003Style = office;
        p.caption = caption;
        p.captionAreaPercent = *caption ? 80 : 0;
        VsNetBut b;
        b.Create(bar.hWnd(), 10 + x, x, 4, width, 32, p);
        b.SetButtonAppearance(look);
        if (color) b.SetButtonPicture(test::SolidSquare(color, 16));
        x += width + 2;
        return b;
    };
    add(12, ButtonAppearance::MainSep2003, L"", 0);
    add(70, ButtonAppearance::Office2003, L"&O.打开", RGB(40, 120, 200));
    add(70, ButtonAppearance::Office2003, L"播放", RGB(40, 160, 60)).SetCheck(true);
    add(9, ButtonAppearance::Sep2003, L"", 0);
    VsNetBut hover = add(70, ButtonAppearance::Office2003, L"暂停", RGB(200, 140, 30));
    VsNetBut pressed = add(70, ButtonAppearance::Office2003, L"停止", RGB(200, 40, 40));
    add(9, ButtonAppearance::Sep2003, L"", 0);
    add(80, ButtonAppearance::UpDown2003, L"列表", RGB(120, 60, 160));
    add(70, ButtonAppearance::Office2003, L"全屏", RGB(90, 90, 90)).SetEnabled(false);
    add(17, ButtonAppearance::NextUpDown2003, L"", 0);
    SendMessageW(hover.hWnd(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    SendMessageW(pressed.hWnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    ReleaseCapture();  // stays painted pressed, and the real pointer can hover elsewhere
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    WNDCLASSEXW wc{sizeof wc};
    wc.lpfnWndProc = [](HWND w, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
        if (m == WM_DESTROY) PostQuitMessage(0);
        return DefWindowProcW(w, m, wp, lp);
    };
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = L"MenulibDemo";
    RegisterClassExW(&wc);
    HWND host = CreateWindowExW(0, L"MenulibDemo", L"OstrelMnu", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 20, 20, 660,
                                110, nullptr, nullptr, wc.hInstance, nullptr);
    BuildBar(host, 10, false);
    BuildBar(host, 60, true);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
