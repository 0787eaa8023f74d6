#include <gtest/gtest.h>
#include <windows.h>
// after windows.h
#include <commctrl.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "menulib/memory_property_bag.h"
#include "menulib/menu_test_support.h"
#include "menulib/page_dialog.h"
#include "menulib/property_pages.h"
#include "menulib/vs_net_menu.h"
#include "menulib/win_test_support.h"

namespace ostrel {
namespace {

using namespace ostrel::test;

OleColor Plain(OleColor c) { return MemDC().TranslateColor(c); }

POINT Centre(const RECT& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

// A pixel of the host's window at a point of the bar item (relative to the item's corner).
COLORREF BarPixel(HWND host, HMENU bar, int position, int dx, int dy) {
    RECT item{}, window{};
    GetMenuItemRect(host, bar, position, &item);
    GetWindowRect(host, &window);
    HDC dc = GetWindowDC(host);
    const COLORREF c = GetPixel(dc, item.left - window.left + dx, item.top - window.top + dy);
    ReleaseDC(host, dc);
    return c;
}

void PointAt(HWND host, HMENU bar, int position, int hitCode) {
    RECT item{};
    GetMenuItemRect(host, bar, position, &item);
    const POINT p = Centre(item);
    SetCursorPos(p.x, p.y);
    SendMessageW(host, WM_SETCURSOR, reinterpret_cast<WPARAM>(host), MAKELPARAM(hitCode, WM_MOUSEMOVE));
}

TEST(MenuHotTracking, BarItemsLightUpUnderThePointerInTurnAndGoBackWhenItLeaves) {
    const Menus m = BuildMenus();
    HWND host = CreateMenuHost(m.bar, 0, 0);
    VsNetMenu control;
    control.SetUseOffice2003Style(false);
    ASSERT_TRUE(control.Init(host));
    test::PumpFor(100);
    const OleColor hot = Plain(control.Colors().selMenuBack);
    const OleColor normal = Plain(control.Colors().menuBarBack);
    PointAt(host, m.bar, 0, HTMENU);
    EXPECT_TRUE(Near(BarPixel(host, m.bar, 0, 3, 3), hot));
    EXPECT_TRUE(Near(BarPixel(host, m.bar, 0, 0, 0), Plain(control.Colors().selMenuBorder)));
    EXPECT_TRUE(Near(BarPixel(host, m.bar, 2, 3, 3), normal));
    PointAt(host, m.bar, 2, HTMENU);
    EXPECT_TRUE(Near(BarPixel(host, m.bar, 0, 3, 3), normal));
    EXPECT_TRUE(Near(BarPixel(host, m.bar, 2, 3, 3), hot));
    PointAt(host, m.bar, 2, HTCLIENT);
    EXPECT_TRUE(Near(BarPixel(host, m.bar, 2, 3, 3), normal));
    // The Office 2003 look, switched at run time: a gradient from MainHoveStar at the top.
    control.SetUseOffice2003Style(true);
    PointAt(host, m.bar, 0, HTMENU);
    EXPECT_TRUE(Near(BarPixel(host, m.bar, 0, 3, 1), Plain(control.Colors().mainHoveStar), 12));
    EXPECT_TRUE(Near(BarPixel(host, m.bar, 0, 0, 0), Plain(control.Colors().selMenuBorder)));
    DestroyWindow(host);
}

// A 16 x 16 green icon whose top-left 4 x 4 corner is transparent.
Picture CornerIcon() {
    std::vector<uint8_t> maskBits(16 * 2, 0);
    for (int y = 0; y < 4; ++y) maskBits[y * 2] = 0xF0;
    HBITMAP mask = CreateBitmap(16, 16, 1, 1, maskBits.data());
    HDC screen = GetDC(nullptr);
    HBITMAP color = CreateCompatibleBitmap(screen, 16, 16);
    HDC dc = CreateCompatibleDC(screen);
    HGDIOBJ previous = SelectObject(dc, color);
    RECT all{0, 0, 16, 16}, corner{0, 0, 4, 4};
    HBRUSH green = CreateSolidBrush(RGB(0, 160, 0));
    FillRect(dc, &all, green);
    FillRect(dc, &corner, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    DeleteObject(green);
    SelectObject(dc, previous);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    ICONINFO info{TRUE, 0, 0, mask, color};
    HICON icon = CreateIconIndirect(&info);
    DeleteObject(mask);
    DeleteObject(color);
    return Picture::FromIcon(icon);
}

COLORREF PaintedAt(const Picture& picture, int x, int y) {
    MemDC dc;
    dc.Init(16, 16);
    dc.Cls(Rgb(255, 255, 255));
    dc.PaintPicture(picture);
    return dc.GetPixel(x, y);
}

TEST(MenuPersistenceWin, IconsSurviveSaveAndLoadAsIconsAndBitmaps) {
    VsNetMenu saved;
    saved.SetUseOffice2003Style(false);
    saved.SetBitmapSize(20);
    saved.SetBitmapByCaption(L"mnuFileOpen", test::SolidSquare(RGB(255, 0, 0), 16));
    saved.SetBitmapByCaption(L"mnuUIStyle:1", CornerIcon(), Rgb(192, 192, 192));
    MemoryPropertyBag bag;
    saved.WriteProperties(bag);
    EXPECT_EQ(bag.Read(L"BmpCount", {}).number, 2);
    EXPECT_EQ(bag.Read(L"Bmp:1", {}).kind, PropertyValue::Kind::Bytes);
    ASSERT_TRUE(bag.HasChild(L"Bmp:2"));
    EXPECT_EQ(bag.Child(L"Bmp:2").Read(L"c", {}).kind, PropertyValue::Kind::Bytes);
    EXPECT_EQ(bag.Child(L"Bmp:2").Read(L"m", {}).kind, PropertyValue::Kind::Bytes);

    VsNetMenu loaded;
    loaded.ReadProperties(bag);
    EXPECT_FALSE(loaded.UseOffice2003Style());
    EXPECT_EQ(loaded.BitmapSize(), 20);
    const std::vector<MenuIcon> icons = loaded.Icons();
    ASSERT_EQ(icons.size(), 2u);
    EXPECT_EQ(icons[0].key, L"#mnuFileOpen");
    EXPECT_EQ(icons[0].mask, Rgb(255, 0, 255));
    EXPECT_EQ(icons[0].picture.Type(), PictureType::Bitmap);
    EXPECT_EQ(PaintedAt(icons[0].picture, 8, 8), RGB(255, 0, 0));
    EXPECT_EQ(icons[1].key, L"#mnuUIStyle:1");
    EXPECT_EQ(icons[1].mask, Rgb(192, 192, 192));
    ASSERT_EQ(icons[1].picture.Type(), PictureType::Icon);
    EXPECT_EQ(PaintedAt(icons[1].picture, 8, 8), RGB(0, 160, 0));
    EXPECT_EQ(PaintedAt(icons[1].picture, 1, 1), RGB(255, 255, 255));  // the mask came back too

    loaded.SetBitmapByCaption(L"mnuFileOpen", Picture{});
    ASSERT_EQ(loaded.Icons().size(), 1u);
    EXPECT_EQ(loaded.Icons()[0].key, L"#mnuUIStyle:1");
}

TEST(MenuPersistenceWin, SystemColoursAreStoredAsTheirValue) {
    VsNetMenu menu;
    menu.SetColor(&MenuColors::menuBack, kSysButtonFace);
    EXPECT_EQ(menu.Colors().menuBack, GetSysColor(COLOR_BTNFACE) & 0xFFFFFF);
    EXPECT_TRUE(menu.Modified());
    MemoryPropertyBag bag;
    menu.WriteProperties(bag);
    EXPECT_EQ(bag.Read(L"MenuBack", {}).number, static_cast<int64_t>(GetSysColor(COLOR_BTNFACE) & 0xFFFFFF));
}

TEST(MenuIconLookup, TheFirstControlWithTheCaptionGivesTheIcon) {
    VsNetMenu menu;
    menu.SetMenuControls({{L"mnuA", -1, L"&Play\tEnter"}, {L"mnuB", -1, L"&Play"}, {L"mnuC", 2, L"&Stop"}});
    menu.SetBitmapByCaption(L"mnuB", test::SolidSquare(RGB(1, 2, 3), 16));
    EXPECT_EQ(menu.IconForLabel(L"&Play"), nullptr);  // mnuA comes first and has none
    menu.SetBitmap({L"mnuC", 2, L"&Stop"}, test::SolidSquare(RGB(1, 2, 3), 16));
    ASSERT_NE(menu.IconForLabel(L"&Stop"), nullptr);
    EXPECT_EQ(menu.IconForLabel(L"&Stop")->key, L"#mnuC:2");
}

TEST(MenuFonts, TheControlFontReplacesTheSystemMenuFontOnlyWhenAsked) {
    VsNetMenu menu;
    menu.SetBitmapSize(16);  // measures with the system menu font
    const int system = menu.IconColumnWidth();
    FontSpec big;
    big.size = 28;
    menu.SetFont(big);
    EXPECT_EQ(menu.IconColumnWidth(), system);
    menu.SetUseSystemFont(false);
    EXPECT_GT(menu.IconColumnWidth(), system + 10);
    menu.SetUseSystemFont(true);
    EXPECT_EQ(menu.IconColumnWidth(), system);
}

TEST(MenuLifetime, AControlGoingBeforeItsWindowGivesTheMenusBack) {
    const Menus m = BuildMenus();
    HWND host = CreateMenuHost(m.bar, 0, 0);
    {
        VsNetMenu control;
        ASSERT_TRUE(control.Init(host));
        SendMessageW(host, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(m.file), 0);
        ASSERT_TRUE(ItemInfo(m.file, 0).fType & MFT_OWNERDRAW);
    }
    EXPECT_EQ(ItemInfo(m.bar, 0).fType, static_cast<UINT>(MFT_STRING));
    EXPECT_EQ(ItemInfo(m.file, 0).fType, static_cast<UINT>(MFT_STRING));
    EXPECT_EQ(ItemInfo(m.file, 0).dwItemData, 0u);
    DestroyWindow(host);
}

// ---- MDI: a child with its own menu control converts and answers for the frame
HWND g_mdiClient = nullptr;

LRESULT CALLBACK FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CREATE) {
        CLIENTCREATESTRUCT ccs{nullptr, 1000};
        g_mdiClient = CreateWindowExW(0, L"MDICLIENT", nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 400, 300,
                                      window, nullptr, GetModuleHandleW(nullptr), &ccs);
    }
    return DefFrameProcW(window, g_mdiClient, message, wParam, lParam);
}

TEST(MenuMdi, TheActiveChildConvertsMeasuresAndAnswersForTheFrame) {
    WNDCLASSEXW frameClass{sizeof frameClass};
    frameClass.lpfnWndProc = FrameProc;
    frameClass.hInstance = GetModuleHandleW(nullptr);
    frameClass.lpszClassName = L"MenuTestFrame";
    RegisterClassExW(&frameClass);
    WNDCLASSEXW childClass{sizeof childClass};
    childClass.lpfnWndProc = DefMDIChildProcW;
    childClass.hInstance = GetModuleHandleW(nullptr);
    childClass.lpszClassName = L"MenuTestChild";
    RegisterClassExW(&childClass);

    const Menus m = BuildMenus();
    HWND frame = CreateWindowExW(0, L"MenuTestFrame", L"frame", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 420, 320,
                                 nullptr, m.bar, GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(g_mdiClient);
    HWND child = CreateMDIWindowW(L"MenuTestChild", L"child", WS_VISIBLE, 0, 0, 200, 150, g_mdiClient,
                                  GetModuleHandleW(nullptr), 0);
    ASSERT_TRUE(child);
    VsNetMenu frameMenu;
    ASSERT_TRUE(frameMenu.Init(frame));
    VsNetMenu childMenu;
    childMenu.SetBitmapSize(32);  // tells the two apart: the child's items are 40 high
    ASSERT_TRUE(childMenu.Init(child));
    ASSERT_EQ(reinterpret_cast<HWND>(SendMessageW(g_mdiClient, WM_MDIGETACTIVE, 0, 0)), child);

    SendMessageW(frame, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(m.edit), 0);
    const MENUITEMINFOW cut = ItemInfo(m.edit, 0);
    EXPECT_TRUE(cut.fType & MFT_OWNERDRAW);
    MEASUREITEMSTRUCT measure{ODT_MENU, 0, cut.wID, 0, 0, cut.dwItemData};
    EXPECT_EQ(SendMessageW(frame, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&measure)), 1);
    EXPECT_EQ(measure.itemHeight, 40u);
    EXPECT_EQ(SendMessageW(frame, WM_MENUCHAR, MAKEWPARAM(L't', MF_POPUP), reinterpret_cast<LPARAM>(m.edit)), 0x20000);
    EXPECT_EQ(SendMessageW(frame, WM_ENTERMENULOOP, 0, 0), 1);
    EXPECT_EQ(SendMessageW(frame, WM_EXITMENULOOP, 0, 0), 1);

    // The child restores what it converted when it goes.
    SendMessageW(g_mdiClient, WM_MDIDESTROY, reinterpret_cast<WPARAM>(child), 0);
    EXPECT_EQ(ItemInfo(m.edit, 0).fType, static_cast<UINT>(MFT_STRING));
    EXPECT_EQ(ItemInfo(m.bar, 0).fType, 0x100u);  // the frame's own bar stays converted
    DestroyWindow(frame);
    g_mdiClient = nullptr;
}

// ---- the property pages, driven from a second thread while they run modally
HWND WaitForDialog(const wchar_t* caption) {
    for (int i = 0; i < 100; ++i, Sleep(50))
        if (HWND d = FindWindowW(L"#32770", caption); d && IsWindowVisible(d)) return d;
    return nullptr;
}

std::wstring ListLine(HWND list, int line) {
    wchar_t text[256] = {};
    SendMessageW(list, LB_GETTEXT, line, reinterpret_cast<LPARAM>(text));
    return text;
}

TEST(MenuIconPage, TypedSizeAndAddedIconAreAppliedByOk) {
    VsNetMenu menu;
    menu.SetMenuControls({{L"mnuUIStyle", 1, L"&O.Office"}, {L"mnuFileOpen", -1, L"&Open\tCtrl+O"}});
    menu.SetBitmapByCaption(L"mnuFileOpen", test::SolidSquare(RGB(1, 2, 3), 16));
    std::wstring firstLine, lineAfterAdd, count;
    std::thread driver([&] {
        HWND d = WaitForDialog(L"菜单图标");
        if (!d) return;
        HWND list = GetDlgItem(d, kList);
        firstLine = ListLine(list, 0);
        HWND size = GetDlgItem(d, kSizeBox);
        SetWindowTextW(size, L"40");
        SendMessageW(d, WM_COMMAND, MAKEWPARAM(kSizeBox, CBN_EDITCHANGE), reinterpret_cast<LPARAM>(size));
        SendMessageW(list, LB_SETCURSEL, 0, 0);
        SendMessageW(d, WM_COMMAND, MAKEWPARAM(kAdd, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(d, kAdd)));
        lineAfterAdd = ListLine(list, 0);
        wchar_t text[64] = {};
        GetWindowTextW(GetDlgItem(d, kCount), text, 64);
        count = text;
        PostMessageW(d, WM_COMMAND, IDOK, 0);
    });
    const bool applied = ShowMenuPropertyPage(nullptr, menu);
    driver.join();
    EXPECT_TRUE(applied);
    EXPECT_EQ(firstLine, L"\t&O.Office\tmnuUIStyle:1");
    EXPECT_EQ(lineAfterAdd, L"*\t&O.Office\tmnuUIStyle:1");
    EXPECT_EQ(count, L"共设置了2个图标");
    EXPECT_EQ(menu.BitmapSize(), 40);
    const std::vector<MenuIcon> icons = menu.Icons();
    ASSERT_EQ(icons.size(), 2u);
    EXPECT_EQ(icons[1].key, L"#mnuUIStyle:1");
    EXPECT_EQ(icons[1].mask, Rgb(255, 0, 255));
}

TEST(MenuIconPage, CancelLeavesTheControlAlone) {
    VsNetMenu menu;
    menu.SetMenuControls({{L"mnuFileOpen", -1, L"&Open"}});
    std::thread driver([&] {
        HWND d = WaitForDialog(L"菜单图标");
        if (!d) return;
        SendMessageW(GetDlgItem(d, kList), LB_SETCURSEL, 0, 0);
        SendMessageW(d, WM_COMMAND, MAKEWPARAM(kAdd, BN_CLICKED), 0);
        PostMessageW(d, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_FALSE(ShowMenuPropertyPage(nullptr, menu));
    driver.join();
    EXPECT_TRUE(menu.Icons().empty());
}

int StateImage(HWND tree, HTREEITEM item) {
    return static_cast<int>(SendMessageW(tree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item), TVIS_STATEIMAGEMASK) >> 12);
}

void ClickTreeItem(HWND tree, HTREEITEM item) {
    RECT r{};
    TreeView_GetItemRect(tree, item, &r, TRUE);
    MapWindowPoints(tree, nullptr, reinterpret_cast<POINT*>(&r), 2);
    const POINT p = Centre(r);
    MouseTo(p.x, p.y, true);
    Sleep(400);
}

TEST(ToolbarEdgePage, ClicksOnTheTreeSetTheToolbarFlagsAtOnce) {
    HWND host = test::SharedHostWindow();
    VsToolBar bar;
    ASSERT_TRUE(bar.Create(host, 7, 0, 0, 300, 30));
    int topLeftImage = 0, rectangleImage = 0;
    int partAfterRectangle = 0;
    std::thread driver([&] {
        HWND d = WaitForDialog(L"边框及风格");
        if (!d) return;
        SetForegroundWindow(d);
        Sleep(200);
        HWND tree = GetDlgItem(d, kTreeId);
        auto next = [tree](HTREEITEM from, UINT how) {
            return reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, how, reinterpret_cast<LPARAM>(from)));
        };
        HTREEITEM rectangle = next(nullptr, TVGN_ROOT);
        HTREEITEM topLeft = next(rectangle, TVGN_CHILD);
        HTREEITEM top = next(topLeft, TVGN_CHILD);
        ClickTreeItem(tree, rectangle);
        partAfterRectangle = bar.Props().borderPart;
        ClickTreeItem(tree, top);
        topLeftImage = StateImage(tree, topLeft);
        rectangleImage = StateImage(tree, rectangle);
        PostMessageW(d, WM_COMMAND, IDOK, 0);
    });
    ShowToolbarPropertyPage(host, bar);
    driver.join();
    EXPECT_EQ(partAfterRectangle & 15, 15);
    EXPECT_EQ(bar.Props().borderPart & 15, 1 | 4 | 8);
    EXPECT_EQ(topLeftImage, 3);
    EXPECT_EQ(rectangleImage, 3);
    test::DestroyChildren(host);
}

}  // namespace
}  // namespace ostrel
