#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "menulib/memory_property_bag.h"
#include "menulib/menu_model.h"
#include "menulib/menu_test_support.h"
#include "menulib/vs_net_menu.h"
#include "menulib/win_test_support.h"

namespace ostrel {
namespace {

using namespace ostrel::test;

SIZE TextSize(const std::wstring& text) {
    NONCLIENTMETRICSW metrics{sizeof metrics};
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    HFONT font = CreateFontIndirectW(&metrics.lfMenuFont);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(dc, font);
    RECT r{0, 0, 0, 0};
    DrawTextW(dc, text.c_str(), -1, &r, DT_CALCRECT | DT_SINGLELINE);
    SelectObject(dc, previous);
    DeleteDC(dc);
    DeleteObject(font);
    return {r.right - r.left, r.bottom - r.top};
}
int TextWidth(const std::wstring& text) { return TextSize(text).cx; }

// An owner-drawn item drawn by the control into a bitmap of ours, read back as pixels.
struct DrawnItem {
    MemDC surface;
    RECT rect{};
    OleColor At(int x, int y) const { return surface.GetPixel(rect.left + x, rect.top + y); }
};

class MenuControl : public ::testing::Test {
protected:
    void SetUp() override {
        menus = BuildMenus();
        host = CreateMenuHost(menus.bar);
        ASSERT_TRUE(host);
        ASSERT_TRUE(control.Init(host));
        SendMessageW(host, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menus.file), 0);
    }
    void TearDown() override {
        if (IsWindow(host)) DestroyWindow(host);
    }

    MEASUREITEMSTRUCT Measure(HMENU menu, int position, LRESULT* answer = nullptr) {
        const MENUITEMINFOW info = ItemInfo(menu, position);
        MEASUREITEMSTRUCT m{ODT_MENU, 0, info.wID, 0, 0, info.dwItemData};
        const LRESULT r = SendMessageW(host, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&m));
        if (answer) *answer = r;
        return m;
    }

    void Draw(DrawnItem& out, HMENU menu, int position, UINT odState, int width, int height = 0) {
        const MENUITEMINFOW info = ItemInfo(menu, position);
        height = height ? height : control.IconColumnWidth();
        HDC screen = GetDC(nullptr);
        out.surface.Init(width + 20, height + 10, screen);
        ReleaseDC(nullptr, screen);
        out.surface.Cls(Rgb(10, 200, 10));
        out.rect = {5, 3, 5 + width, 3 + height};
        DRAWITEMSTRUCT d{ODT_MENU, 0, info.wID, ODA_DRAWENTIRE, odState, reinterpret_cast<HWND>(menu),
                         out.surface.Hdc(), out.rect, info.dwItemData};
        EXPECT_EQ(SendMessageW(host, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&d)), 1);
    }

    Menus menus{};
    HWND host = nullptr;
    VsNetMenu control;
};

TEST_F(MenuControl, BarItemsBecomeOwnerDrawnByTheirCaption) {
    EXPECT_EQ(ItemInfo(menus.bar, 0).fType, 0x100u);
    EXPECT_EQ(ItemInfo(menus.bar, 1).fType, 0x900u);
    EXPECT_EQ(ItemInfo(menus.bar, 2).fType, 0x100u);
    EXPECT_EQ(ItemInfo(menus.bar, 3).fType, 0x4100u);
    // Popup items keep their flags and gain owner-draw.
    EXPECT_EQ(ItemInfo(menus.file, 1).fType, static_cast<UINT>(MFT_SEPARATOR | MFT_OWNERDRAW));
    EXPECT_EQ(ItemInfo(menus.file, 0).fType, static_cast<UINT>(MFT_OWNERDRAW));
    // The submenu is converted only when it opens.
    EXPECT_EQ(ItemInfo(menus.sub, 0).fType, static_cast<UINT>(MFT_STRING));
    EXPECT_GT(ItemInfo(menus.file, 0).dwItemData, 0u);
}

TEST_F(MenuControl, MeasuringUsesTheIconColumnAndTheAcceleratorWidth) {
    const int icw = control.IconColumnWidth();
    EXPECT_EQ(icw, IconColumnWidth(TextSize(L"ABCHYg").cy, 16));
    const MEASUREITEMSTRUCT open = Measure(menus.file, 0);
    EXPECT_EQ(static_cast<int>(open.itemHeight), icw);
    EXPECT_EQ(static_cast<int>(open.itemWidth), TextWidth(L"&Open") + icw + 12 + TextWidth(L"Ctrl+O") + 8);
    const MEASUREITEMSTRUCT exit = Measure(menus.file, 5);
    EXPECT_EQ(static_cast<int>(exit.itemWidth), TextWidth(L"E&xit") + icw + 12);
    const MEASUREITEMSTRUCT separator = Measure(menus.file, 1);
    EXPECT_EQ(separator.itemHeight, 2u);
    EXPECT_EQ(static_cast<int>(separator.itemWidth), icw + 12);
    EXPECT_EQ(static_cast<int>(Measure(menus.bar, 0).itemWidth), TextWidth(L"&File"));
    EXPECT_EQ(Measure(menus.bar, 1).itemWidth, 0u);
    EXPECT_EQ(static_cast<int>(Measure(menus.bar, 3).itemWidth), TextWidth(L"&Help"));

    MEASUREITEMSTRUCT stranger{ODT_MENU, 0, 999, 0, 0, 12345};
    SendMessageW(host, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&stranger));
    EXPECT_EQ(stranger.itemWidth, 40u);
}

TEST_F(MenuControl, BitmapSizeWidensTheIconColumn) {
    const int before = control.IconColumnWidth();
    control.SetBitmapSize(32);
    EXPECT_EQ(control.IconColumnWidth(), 40);
    control.SetBitmapSize(16);
    EXPECT_EQ(control.IconColumnWidth(), before);
}

TEST_F(MenuControl, MnemonicsOfOwnerDrawnItems) {
    EXPECT_EQ(SendMessageW(host, WM_MENUCHAR, MAKEWPARAM(L'x', MF_POPUP), reinterpret_cast<LPARAM>(menus.file)),
              0x20005);
    EXPECT_EQ(SendMessageW(host, WM_MENUCHAR, MAKEWPARAM(L'c', MF_POPUP), reinterpret_cast<LPARAM>(menus.file)),
              0x20002);
    EXPECT_EQ(SendMessageW(host, WM_MENUCHAR, MAKEWPARAM(L'h', 0), reinterpret_cast<LPARAM>(menus.bar)), 0x20003);
    // No match goes on to the window's own answer (ignore).
    EXPECT_EQ(SendMessageW(host, WM_MENUCHAR, MAKEWPARAM(L'q', MF_POPUP), reinterpret_cast<LPARAM>(menus.file)), 0);
}

constexpr OleColor kGreen = Rgb(10, 200, 10);
constexpr OleColor kRed = Rgb(255, 0, 0);
constexpr OleColor kBlack = Rgb(0, 0, 0);

struct PixelCase {
    const char* name;
    bool bar;
    int position;
    UINT odState;
    bool office;
    bool selectDisabled;
    int x, y;  // from the item's top-left; negative counts from the right or bottom
    OleColor (*expected)(const MenuColors&, int icw);
};

TEST_F(MenuControl, DrawnItemsInBothLooks) {
    const std::vector<MenuControlInfo> controls = {{L"mnuFileOpen", -1, L"&Open\tCtrl+O"},
                                                   {L"mnuFileDisabled", -1, L"&Disabled"}};
    control.SetMenuControls(controls);
    control.SetBitmapByCaption(L"mnuFileOpen", test::SolidSquare(kRed, 16));
    control.SetBitmapByCaption(L"mnuFileDisabled", test::SolidSquare(kBlack, 16));
    const int icw = control.IconColumnWidth();
    const int c = icw / 2;
    const int io = IconOffset(icw, 16);
    const PixelCase cases[] = {
        {"XP strip", false, 5, 0, false, true, 0, 0, [](const MenuColors& m, int) { return m.menuBack; }},
        {"XP text area", false, 5, 0, false, true, 30, 1, [](const MenuColors& m, int) { return m.menuPopupBack; }},
        {"XP right edge", false, 5, 0, false, true, -1, 5, [](const MenuColors& m, int) { return m.menuBorder; }},
        {"XP selection box", false, 5, ODS_SELECTED, false, true, 40, 4,
         [](const MenuColors& m, int) { return m.selMenuBack; }},
        {"XP selection outline", false, 5, ODS_SELECTED, false, true, 1, 0,
         [](const MenuColors& m, int) { return m.selMenuBorder; }},
        {"2003 text area", false, 5, 0, true, true, 40, 1, [](const MenuColors& m, int) { return m.menuPopupBack2003; }},
        {"2003 selection box", false, 5, ODS_SELECTED, true, true, 40, 4,
         [](const MenuColors& m, int) { return m.selMenuBack2003; }},
        {"check box border", false, 2, 0, false, true, 1, 1, [](const MenuColors& m, int) { return m.selMenuBorder; }},
        {"check box fill", false, 2, 0, false, true, 2, 2, [](const MenuColors& m, int) { return m.checkBack; }},
        {"2003 check box fill ends in its colour", false, 2, 0, true, true, -1000, 3,
         [](const MenuColors& m, int) { return m.checkBack2003; }},
        {"disabled without select", false, 3, ODS_SELECTED, false, false, 40, 4,
         [](const MenuColors& m, int) { return m.menuPopupBack; }},
        {"disabled with select", false, 3, ODS_SELECTED, false, true, 40, 4,
         [](const MenuColors& m, int) { return m.disabledMenuBack; }},
        {"XP silhouette", false, 3, 0, false, true, -2000, 0, [](const MenuColors&, int) { return Rgb(129, 129, 156); }},
        {"2003 silhouette", false, 3, 0, true, true, -2000, 0, [](const MenuColors&, int) { return Rgb(166, 196, 239); }},
        {"faded icon", false, 0, 0, false, true, -3000, 0,
         [](const MenuColors& m, int) { return MenuBlend(m.menuBack, kRed, 70); }},
        {"raised icon", false, 0, ODS_SELECTED, false, true, -4000, 0, [](const MenuColors&, int) { return kRed; }},
        {"raised icon shadow", false, 0, ODS_SELECTED, false, true, -5000, 0,
         [](const MenuColors& m, int) { return MenuBlend(m.selMenuBack, MemDC().TranslateColor(kSystemColorFlag | 16), 70); }},
        {"bar open XP", true, 2, ODS_SELECTED, false, true, 3, 3, [](const MenuColors& m, int) { return m.menuBack; }},
        {"bar open XP outline", true, 2, ODS_SELECTED, false, true, 0, 0,
         [](const MenuColors& m, int) { return m.menuBorder; }},
        {"bar open 2003 outline", true, 2, ODS_SELECTED, true, true, 0, 0,
         [](const MenuColors& m, int) { return m.menuBorder2003; }},
        {"bar open shadow", true, 2, ODS_SELECTED, false, true, 60, 5,
         [](const MenuColors& m, int) { return MenuBlend(m.menuShadow, MemDC().TranslateColor(m.menuBarBack), 64); }},
        {"bar open 2003 shadow", true, 2, ODS_SELECTED, true, true, 61, 5,
         [](const MenuColors& m, int) { return MenuBlend(m.menuShadow2003, MemDC().TranslateColor(m.menuBarBack), 43); }},
        {"bar hot", true, 2, ODS_HOTLIGHT, false, true, 3, 3, [](const MenuColors& m, int) { return m.selMenuBack; }},
        {"right-justified box ends 5 early", true, 3, ODS_HOTLIGHT, false, true, 54, 0,
         [](const MenuColors& m, int) { return m.selMenuBorder; }},
        {"right of the shorter box", true, 3, ODS_HOTLIGHT, false, true, 57, 5,
         [](const MenuColors& m, int) { return m.menuBarBack; }},
        {"bar separator dash", true, 1, 0, false, true, 4, 4, [](const MenuColors& m, int) { return m.mainSeprator; }},
        {"bar separator leaves the rest", true, 1, 0, false, true, 4, 3, [](const MenuColors&, int) { return kGreen; }},
    };
    for (const PixelCase& pc : cases) {
        control.SetUseOffice2003Style(pc.office);
        control.SetSelectDisabled(pc.selectDisabled);
        DrawnItem item;
        const int width = pc.bar ? (pc.position == 1 ? 10 : 60) : 140;
        Draw(item, pc.bar ? menus.bar : menus.file, pc.position, pc.odState, width);
        int x = pc.x, y = pc.y;
        switch (x) {
        case -1000: x = icw - 3; break;           // last column inside the check box
        case -2000: x = y = io + 8; break;        // middle of a shifted picture
        case -3000: x = y = io + 1 + 8; break;    // middle of a centred picture
        case -4000: x = y = io; break;            // top-left of a shifted picture
        case -5000: x = y = io + 17; break;       // bottom-right of the surface: the shadow
        default:
            if (x < 0) x += width;
        }
        const OleColor want = MemDC().TranslateColor(pc.expected(control.Colors(), icw));
        EXPECT_TRUE(Near(item.At(x, y), want, pc.office && pc.x == -1000 ? 12 : 2))
            << pc.name << ": got " << std::hex << item.At(x, y) << " want " << want;
    }

    // The drawn check mark of a checked item without icon, in the check colour.
    control.SetUseOffice2003Style(false);
    DrawnItem checked;
    Draw(checked, menus.file, 2, 0, 140);
    EXPECT_TRUE(Near(checked.At(c - 2, c - 1), MemDC().TranslateColor(control.Colors().checkFore)));
    EXPECT_TRUE(Near(checked.At(c + 4, c - 3), MemDC().TranslateColor(control.Colors().checkFore)));
    // The submenu arrow: tip at R - 8, in the text colour.
    DrawnItem sub;
    Draw(sub, menus.file, 4, 0, 140);
    const int m = (icw - 1) / 2;
    const OleColor fore = MemDC().TranslateColor(control.Colors().menuFore);
    EXPECT_TRUE(Near(sub.At(140 - 8, m), fore));
    EXPECT_TRUE(Near(sub.At(140 - 11, m - 3), fore));
    EXPECT_TRUE(Near(sub.At(140 - 7, m), MemDC().TranslateColor(control.Colors().menuPopupBack)));
    // The accelerator is right-aligned: ink near R - 12, none in the middle gap.
    DrawnItem open;
    Draw(open, menus.file, 0, 0, 220);
    auto inkInColumns = [&](int from, int to) {
        int ink = 0;
        for (int x = from; x < to; ++x)
            for (int y = 2; y < icw - 2; ++y) ink += open.At(x, y) == fore;
        return ink;
    };
    EXPECT_GT(inkInColumns(220 - 12 - 8, 220 - 12), 0);
    EXPECT_EQ(inkInColumns(icw + 8 + TextWidth(L"&Open") + 2, 220 - 12 - TextWidth(L"Ctrl+O") - 2), 0);
}

TEST_F(MenuControl, RestoringOnDestroyBringsBackTextsAndTypes) {
    DestroyWindow(host);
    HMENU fresh = BuildMenus().bar;
    const std::vector<ItemSnapshot> expected = Snapshot(fresh);
    DestroyMenu(fresh);
    EXPECT_EQ(MenusAtDestroy(), expected);
    ASSERT_GT(MenusAtDestroy().size(), 4u);
    EXPECT_EQ(MenusAtDestroy()[0].text, L"&File");
    EXPECT_EQ(MenusAtDestroy()[1].text, L"&Open\tCtrl+O");
}

struct OpenedPopup {
    HWND window = nullptr;
    RECT bounds{};
    LONG_PTR style = 0, exStyle = 0;
    ScreenShot before, after;
};

OpenedPopup OpenBarItem(HWND host, HMENU bar, int position) {
    OpenedPopup seen;
    RECT item{};
    GetMenuItemRect(host, bar, position, &item);
    SetForegroundWindow(host);
    MouseTo(300, 250, false);
    test::PumpFor(300);
    seen.before = Screen();
    volatile bool done = false;
    HANDLE watcher = CreateThread(
        nullptr, 0,
        [](void* p) -> DWORD {
            auto* args = static_cast<std::pair<OpenedPopup*, volatile bool*>*>(p);
            OpenedPopup& s = *args->first;
            for (int i = 0; i < 100 && !s.window; ++i, Sleep(50)) s.window = VisiblePopupMenu();
            Sleep(400);
            if (s.window) {
                GetWindowRect(s.window, &s.bounds);
                s.style = GetWindowLongPtrW(s.window, GWL_STYLE);
                s.exStyle = GetWindowLongPtrW(s.window, GWL_EXSTYLE);
                s.after = Screen();
            }
            PressKey(VK_ESCAPE);
            PressKey(VK_ESCAPE);
            *args->second = true;
            return 0;
        },
        new std::pair<OpenedPopup*, volatile bool*>(&seen, &done), 0, nullptr);
    MouseTo((item.left + item.right) / 2, (item.top + item.bottom) / 2, true);
    for (int i = 0; i < 200 && !done; ++i) test::PumpFor(50);
    WaitForSingleObject(watcher, 5000);
    CloseHandle(watcher);
    test::PumpFor(200);
    return seen;
}

class PopupFrame : public MenuControl, public ::testing::WithParamInterface<bool> {};

TEST_P(PopupFrame, OpenedByTheMouseItHasItsOwnBorderJointAndShadow) {
    const bool office = GetParam();
    control.SetUseOffice2003Style(office);
    RECT item{};
    GetMenuItemRect(host, menus.bar, 0, &item);
    const OpenedPopup p = OpenBarItem(host, menus.bar, 0);
    ASSERT_TRUE(p.window) << "no popup menu opened";
    EXPECT_FALSE(p.style & WS_BORDER);
    EXPECT_FALSE(p.exStyle & (WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE));
    const int x0 = p.bounds.left, y0 = p.bounds.top;
    const int w = p.bounds.right - p.bounds.left, h = p.bounds.bottom - p.bounds.top;
    const int frame = GetSystemMetrics(SM_CXDLGFRAME);
    const int lim = w - 2 * frame + 1;
    const int b = h - 2 * frame + 3;
    const MenuColors& colors = control.Colors();
    const OleColor border = MemDC().TranslateColor(office ? colors.menuBorder2003 : colors.menuBorder);
    const OleColor back = MemDC().TranslateColor(colors.menuBack);
    const OleColor shadow = MemDC().TranslateColor(office ? colors.menuShadow2003 : colors.menuShadow);
    // Opened below its item, overlapping the item's last row.
    EXPECT_EQ(y0, item.bottom - 1);
    EXPECT_TRUE(Near(p.after.At(x0, y0 + 20), border)) << std::hex << p.after.At(x0, y0 + 20);
    // The joint: no border under the bar item, border beyond it.
    EXPECT_TRUE(Near(p.after.At(x0 + 3, y0), back)) << std::hex << p.after.At(x0 + 3, y0);
    EXPECT_TRUE(Near(p.after.At(x0 + item.right - item.left + 2, y0), border));
    EXPECT_TRUE(Near(p.after.At(x0 + lim - 3, y0), border)) << std::hex << p.after.At(x0 + lim - 3, y0);
    // The shadow is blended into what the screen showed before; its middle bands lie outside
    // the client area, which the system paints over.
    for (int y : {20, 30}) {
        const OleColor was = p.before.At(x0 + lim + 1, y0 + y);
        EXPECT_TRUE(Near(p.after.At(x0 + lim + 1, y0 + y), MenuBlend(shadow, was, 43), 3))
            << std::hex << p.after.At(x0 + lim + 1, y0 + y) << " over " << was;
    }
    for (int x : {30, 60}) {
        const OleColor was = p.before.At(x0 + x, y0 + b + 1);
        EXPECT_TRUE(Near(p.after.At(x0 + x, y0 + b + 1), MenuBlend(shadow, was, 43), 3))
            << std::hex << p.after.At(x0 + x, y0 + b + 1) << " over " << was;
    }
    // The bottom band fades in at its start (column 3: a quarter of the strength).
    const OleColor was = p.before.At(x0 + 3, y0 + b + 1);
    EXPECT_TRUE(Near(p.after.At(x0 + 3, y0 + b + 1), MenuBlend(shadow, was, 11), 3));
}

INSTANTIATE_TEST_SUITE_P(BothLooks, PopupFrame, ::testing::Values(false, true));

TEST_F(MenuControl, PopupWithoutRoomBelowOpensAboveWithTheJointAtTheBottom) {
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    SetWindowPos(host, nullptr, 0, screenHeight - 60, 420, 60, SWP_NOZORDER);
    test::PumpFor(100);
    RECT item{};
    GetMenuItemRect(host, menus.bar, 0, &item);
    const OpenedPopup p = OpenBarItem(host, menus.bar, 0);
    ASSERT_TRUE(p.window) << "no popup menu opened";
    const int x0 = p.bounds.left, y0 = p.bounds.top;
    const int w = p.bounds.right - p.bounds.left, h = p.bounds.bottom - p.bounds.top;
    EXPECT_EQ(y0, item.top - h + 4);  // overlaps the item by 4
    const int frame = GetSystemMetrics(SM_CXDLGFRAME);
    const int lim = w - 2 * frame + 1;
    const int b = h - 2 * frame + 3;
    const int itemWidth = item.right - item.left;
    const MenuColors& colors = control.Colors();
    const OleColor border = MemDC().TranslateColor(colors.menuBorder2003);
    const OleColor shadow = MemDC().TranslateColor(colors.menuShadow2003);
    // The bottom border row lies in the client area, which the system paints; the shadow band
    // below it shows the joint: it starts only past the item.
    EXPECT_EQ(p.after.At(x0 + 10, y0 + b + 1), p.before.At(x0 + 10, y0 + b + 1));
    const OleColor was = p.before.At(x0 + itemWidth + 10, y0 + b + 1);
    EXPECT_TRUE(Near(p.after.At(x0 + itemWidth + 10, y0 + b + 1), MenuBlend(shadow, was, 43), 3));
    EXPECT_TRUE(Near(p.after.At(x0 + lim - 3, y0), border));  // the top border is whole
}

}  // namespace
}  // namespace ostrel
