// A form with the player's kind of menus, a toolbar of flat buttons and the two property
// pages, for looking at. Arguments: "/xp" starts in the XP look, "/open N" opens bar item N
// by real mouse input after a moment (for screenshots of open menus), "/pages" opens both
// property pages, "/sub" with "/open" also opens the last item's submenu.
#include <windows.h>

#include <cwchar>
#include <string>
#include <vector>

#include "menulib/ostrelmnu.h"
#include "menulib/property_pages.h"
#include "menulib/win_test_support.h"

namespace {

using namespace ostrel;

enum : UINT { kOpen = 101, kSave, kExport, kExit, kPlay, kPause, kLoop, kQuality, kQualityHigh, kQualityLow,
              kStyleXP, kStyle2003, kPages, kAbout };

struct Demo {
    VsNetMenu menu;
    VsToolBar toolbar;
    int openItem = -1;
    bool openSubmenu = false;
} g_demo;

HMENU BuildMenus(std::vector<MenuControlInfo>& controls) {
    auto add = [&](HMENU menu, UINT id, const wchar_t* name, const wchar_t* caption, UINT flags = MF_STRING) {
        AppendMenuW(menu, flags, id, caption);
        controls.push_back({name, -1, caption});
    };
    HMENU file = CreatePopupMenu();
    add(file, kOpen, L"mnuFileOpen", L"&O.打开影片...\tCtrl+O");
    add(file, kSave, L"mnuFileSave", L"&S.另存为...");
    add(file, kExport, L"mnuFileExport", L"&E.导出为EXE...", MF_STRING | MF_GRAYED);
    AppendMenuW(file, MF_SEPARATOR, 0, nullptr);
    add(file, kExit, L"mnuFileExit", L"&X.退出\tAlt+F4");
    HMENU quality = CreatePopupMenu();
    add(quality, kQualityHigh, L"mnuQuality", L"&H.高质量");
    add(quality, kQualityLow, L"mnuQualityLow", L"&L.低质量");
    CheckMenuItem(quality, kQualityHigh, MF_CHECKED);
    HMENU play = CreatePopupMenu();
    add(play, kPlay, L"mnuPlayPlay", L"&P.播放\tEnter");
    add(play, kPause, L"mnuPlayPause", L"&A.暂停\tSpace");
    add(play, kLoop, L"mnuPlayLoop", L"&R.循环播放");
    CheckMenuItem(play, kLoop, MF_CHECKED);
    AppendMenuW(play, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(play, MF_POPUP, reinterpret_cast<UINT_PTR>(quality), L"&Q.画面质量");
    HMENU view = CreatePopupMenu();
    add(view, kStyleXP, L"mnuUIStyle", L"&X.XP 风格");
    controls.back().index = 0;
    add(view, kStyle2003, L"mnuUIStyle", L"&O.Office 2003 风格");
    controls.back().index = 1;
    AppendMenuW(view, MF_SEPARATOR, 0, nullptr);
    add(view, kPages, L"mnuViewPages", L"&G.属性页...");
    HMENU help = CreatePopupMenu();
    add(help, kAbout, L"mnuHelpAbout", L"&A.关于...");
    HMENU bar = CreateMenu();
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"文件(&F)");
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(play), L"播放(&P)");
    AppendMenuW(bar, MF_STRING, 0, L" ");
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(view), L"查看(&V)");
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(help), L"  帮助(&H)");
    return bar;
}

void StyleChecks(HWND window) {
    HMENU bar = GetMenu(window);
    HMENU view = GetSubMenu(bar, 3);
    const bool office = g_demo.menu.UseOffice2003Style();
    CheckMenuItem(view, kStyleXP, office ? MF_UNCHECKED : MF_CHECKED);
    CheckMenuItem(view, kStyle2003, office ? MF_CHECKED : MF_UNCHECKED);
    g_demo.toolbar.SetOffice2003Style(office);
}

void ClickBarItem(HWND window, int item) {
    RECT r{};
    if (GetMenuItemRect(window, GetMenu(window), item, &r)) test::MouseTo((r.left + r.right) / 2, (r.top + r.bottom) / 2, true);
}

LRESULT CALLBACK DemoProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case kStyleXP:
        case kStyle2003:
            g_demo.menu.SetUseOffice2003Style(LOWORD(wParam) == kStyle2003);
            StyleChecks(window);
            return 0;
        case kPages:
            ShowMenuPropertyPage(window, g_demo.menu);
            ShowToolbarPropertyPage(window, g_demo.toolbar);
            return 0;
        case kExit: DestroyWindow(window); return 0;
        default: return 0;
        }
    case WM_TIMER:
        KillTimer(window, wParam);
        if (wParam == 1) {
            ClickBarItem(window, g_demo.openItem);
            SetTimer(window, 2, 400, nullptr);
        } else if (wParam == 2) {
            if (g_demo.openSubmenu) {
                test::PressKey(VK_UP);  // round to the last item, which opens a submenu
                test::PressKey(VK_RIGHT);
            } else {
                test::PressKey(VK_DOWN);  // the first item selected, for the selection look
            }
        }
        return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

void BuildToolbar(HWND host) {
    ToolbarProps props;
    props.office2003Style = g_demo.menu.UseOffice2003Style();
    g_demo.toolbar.Create(host, 1, 0, 0, 600, 40, props);
    const struct {
        const wchar_t* caption;
        COLORREF color;
    } buttons[] = {{L"打开", RGB(40, 120, 200)}, {L"播放", RGB(40, 160, 60)}, {L"暂停", RGB(200, 140, 30)},
                   {L"停止", RGB(200, 40, 40)}};
    int x = 4;
    for (const auto& b : buttons) {
        ButtonProps p;
        p.office2003Style = props.office2003Style;
        p.caption = b.caption;
        p.captionAreaPercent = 60;
        VsNetBut button;
        button.Create(g_demo.toolbar.hWnd(), 10 + x, x, 4, 70, 32, p);
        button.SetButtonPicture(test::SolidSquare(b.color, 16));
        x += 72;
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
    RegisterControlClasses();
    const std::wstring args = commandLine ? commandLine : L"";
    if (const size_t at = args.find(L"/open "); at != std::wstring::npos) g_demo.openItem = _wtoi(args.c_str() + at + 6);
    g_demo.openSubmenu = args.find(L"/sub") != std::wstring::npos;
    WNDCLASSEXW wc{sizeof wc};
    wc.lpfnWndProc = DemoProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1);
    wc.lpszClassName = L"MenuDemo";
    RegisterClassExW(&wc);
    std::vector<MenuControlInfo> controls;
    HMENU bar = BuildMenus(controls);
    HWND window = CreateWindowExW(0, L"MenuDemo", L"VelmoraFlash播放软件", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 40, 30,
                                  620, 400, nullptr, bar, instance, nullptr);
    VsNetMenu& menu = g_demo.menu;
    menu.SetUseOffice2003Style(args.find(L"/xp") == std::wstring::npos);
    menu.SetMenuControls(controls);
    menu.SetBitmapByCaption(L"mnuFileOpen", test::SolidSquare(RGB(40, 120, 200), 16));
    menu.SetBitmapByCaption(L"mnuPlayPlay", test::SolidSquare(RGB(40, 160, 60), 16));
    menu.SetBitmapByCaption(L"mnuPlayLoop", test::SolidSquare(RGB(200, 140, 30), 16));
    menu.SetBitmapByCaption(L"mnuFileExport", test::SolidSquare(RGB(200, 40, 40), 16));
    menu.Init(window);
    BuildToolbar(window);
    StyleChecks(window);
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    if (g_demo.openItem >= 0) SetTimer(window, 1, 800, nullptr);
    if (args.find(L"/pages") != std::wstring::npos) PostMessageW(window, WM_COMMAND, kPages, 0);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
