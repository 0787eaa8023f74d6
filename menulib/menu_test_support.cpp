#include "menulib/menu_test_support.h"

namespace ostrel::test {

std::vector<ItemSnapshot> Snapshot(HMENU menu) {
    std::vector<ItemSnapshot> items;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        wchar_t text[256] = {};
        MENUITEMINFOW info{sizeof info};
        info.fMask = MIIM_FTYPE | MIIM_STRING | MIIM_SUBMENU;
        info.dwTypeData = text;
        info.cch = 255;
        GetMenuItemInfoW(menu, i, TRUE, &info);
        items.push_back({info.fType, (info.fType & MFT_OWNERDRAW) ? L"" : text});
        if (info.hSubMenu)
            for (const ItemSnapshot& s : Snapshot(info.hSubMenu)) items.push_back(s);
    }
    return items;
}

namespace {
std::vector<ItemSnapshot> g_atDestroy;
}  // namespace

const std::vector<ItemSnapshot>& MenusAtDestroy() { return g_atDestroy; }

namespace {

LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCDESTROY) g_atDestroy = Snapshot(GetMenu(window));
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

Menus BuildMenus() {
    Menus m{CreateMenu(), CreatePopupMenu(), CreatePopupMenu(), CreatePopupMenu(), CreatePopupMenu()};
    AppendMenuW(m.file, MF_STRING, kOpen, L"&Open\tCtrl+O");
    AppendMenuW(m.file, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(m.file, MF_STRING | MF_CHECKED, kChecked, L"&Checked");
    AppendMenuW(m.file, MF_STRING | MF_GRAYED, kDisabled, L"&Disabled");
    AppendMenuW(m.sub, MF_STRING, kInner, L"&Inner");
    AppendMenuW(m.file, MF_POPUP, reinterpret_cast<UINT_PTR>(m.sub), L"&Sub");
    AppendMenuW(m.file, MF_STRING, kExit, L"E&xit");
    AppendMenuW(m.edit, MF_STRING, kCut, L"Cu&t");
    AppendMenuW(m.help, MF_STRING, kAbout, L"&About");
    AppendMenuW(m.bar, MF_POPUP, reinterpret_cast<UINT_PTR>(m.file), L"&File");
    AppendMenuW(m.bar, MF_STRING, kBarSeparator, L" ");
    AppendMenuW(m.bar, MF_POPUP, reinterpret_cast<UINT_PTR>(m.edit), L"&Edit");
    AppendMenuW(m.bar, MF_POPUP, reinterpret_cast<UINT_PTR>(m.help), L"  &Help");
    return m;
}

HWND CreateMenuHost(HMENU bar, int x, int y) {
    static const bool registered = [] {
        WNDCLASSEXW wc{sizeof wc};
        wc.lpfnWndProc = HostProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        wc.lpszClassName = L"MenuTestHost";
        return RegisterClassExW(&wc) != 0;
    }();
    if (!registered) return nullptr;
    HWND host = CreateWindowExW(0, L"MenuTestHost", L"menus", WS_POPUP | WS_VISIBLE, x, y, 420, 300, nullptr, bar,
                                GetModuleHandleW(nullptr), nullptr);
    UpdateWindow(host);
    return host;
}

MENUITEMINFOW ItemInfo(HMENU menu, int position) {
    MENUITEMINFOW info{sizeof info};
    info.fMask = MIIM_FTYPE | MIIM_DATA | MIIM_ID;
    GetMenuItemInfoW(menu, position, TRUE, &info);
    return info;
}

bool Near(OleColor a, OleColor b, int tolerance) {
    return std::abs(RedOf(a) - RedOf(b)) <= tolerance && std::abs(GreenOf(a) - GreenOf(b)) <= tolerance &&
           std::abs(BlueOf(a) - BlueOf(b)) <= tolerance;
}

ScreenShot Screen() {
    ScreenShot shot;
    shot.width = GetSystemMetrics(SM_CXSCREEN);
    shot.height = GetSystemMetrics(SM_CYSCREEN);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), shot.width, -shot.height, 1, 32, BI_RGB};
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP dib = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = SelectObject(dc, dib);
    BitBlt(dc, 0, 0, shot.width, shot.height, screen, 0, 0, SRCCOPY);
    GdiFlush();
    const auto* raw = static_cast<const uint32_t*>(bits);
    for (int i = 0; i < shot.width * shot.height; ++i)
        shot.pixels.push_back(RGB((raw[i] >> 16) & 0xFF, (raw[i] >> 8) & 0xFF, raw[i] & 0xFF));
    SelectObject(dc, previous);
    DeleteObject(dib);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return shot;
}

HWND VisiblePopupMenu() {
    HWND found = nullptr;
    EnumWindows(
        [](HWND w, LPARAM out) -> BOOL {
            wchar_t name[16] = {};
            GetClassNameW(w, name, 16);
            if (std::wstring(name) == L"#32768" && IsWindowVisible(w)) {
                *reinterpret_cast<HWND*>(out) = w;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

// An open popup as the user sees it: opened by a real click on a bar item, looked at from a
// second thread while the menu loop runs, then closed with Esc.
}  // namespace ostrel::test
