#include "player/lists/ilist.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "menulib/memory_property_bag.h"
#include "player/lists/test_support/lists_test_support.h"

namespace velmora::lists {
namespace {

using testing::PumpFor;
using testing::PumpUntil;

constexpr int kRow = 19;

LPARAM At(int x, int y) { return MAKELPARAM(static_cast<WORD>(static_cast<SHORT>(x)), static_cast<WORD>(static_cast<SHORT>(y))); }

// The list panel's set-up: 30 movies on a surface 200 pixels high.
class ListTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetCursorPos(5, 5);
        m_host = testing::TestHost();
        ASSERT_TRUE(m_host);
        m_list = std::make_unique<IList>();
        ASSERT_TRUE(m_list->Create(m_host, 0, 0, 200, 200));
        IListEvents& e = m_list->Events();
        e.OnSelect = [this] { Log("OnSelect " + std::to_string(m_list->Selected())); };
        e.MouseDown = [this](int b, int, float, float) { Log("MouseDown " + std::to_string(b) + " at " + std::to_string(m_list->Selected())); };
        e.MouseUp = [this](int b, int, float, float) { Log("MouseUp " + std::to_string(b)); };
        e.Click = [this] { Log("Click"); };
        e.DblClick = [this] { Log("DblClick"); };
        e.KeyDown = [this](int& key, int) {
            ++m_keyDowns;
            if (m_swallowKeys) key = 0;
        };
        m_list->SetItemHeight(kRow);
        for (int i = 1; i <= 30; ++i) m_list->AddItem(L"Movie " + std::to_wstring(i), L"");
        m_list->SetPos(20, 4, 24, 19, 4, 4);
        m_log.clear();
    }
    void TearDown() override {
        m_list.reset();
    }
    void Log(std::string entry) { m_log.push_back(std::move(entry)); }
    void Send(UINT message, WPARAM wParam, int x, int y) { SendMessageW(m_list->hwnd(), message, wParam, At(x, y)); }
    void Key(int code, int times = 1) {
        for (int i = 0; i < times; ++i) SendMessageW(m_list->hwnd(), WM_KEYDOWN, code, 1);
    }
    // Left of the icon, so only the row's background shows there.
    bool RowHighlighted(int row) const {
        return GetPixel(m_list->hDC(), 2, row * kRow + 10) == GetSysColor(COLOR_HIGHLIGHT);
    }
    int HighlightedRows() const {
        int rows = 0;
        for (int row = 0; row < 11; ++row) rows += RowHighlighted(row);
        return rows;
    }

    HWND m_host = nullptr;
    std::unique_ptr<IList> m_list;
    std::vector<std::string> m_log;
    int m_keyDowns = 0;
    bool m_swallowKeys = false;
};

TEST_F(ListTest, FirstRedrawSelectsTheFirstItemAndSizesTheBar) {
    EXPECT_EQ(m_list->Selected(), 1);
    EXPECT_EQ(m_list->Scroll().Max(), 20);
    EXPECT_TRUE(m_list->Scroll().Visible());
    RECT bar{};
    GetWindowRect(m_list->Scroll().hwnd(), &bar);
    MapWindowPoints(nullptr, m_list->hwnd(), reinterpret_cast<POINT*>(&bar), 2);
    EXPECT_EQ(bar.left, 183);
    EXPECT_EQ(bar.top, 0);
    EXPECT_EQ(bar.bottom, 200);
    EXPECT_TRUE(RowHighlighted(0));
    EXPECT_EQ(HighlightedRows(), 1);
    // The caption is drawn in the highlight text colour on the selected row.
    const testing::Capture shot(m_list->hwnd());
    EXPECT_TRUE(shot.Contains(GetSysColor(COLOR_HIGHLIGHTTEXT), 20, 4, 100, 18));
    EXPECT_TRUE(shot.Contains(GetSysColor(COLOR_BTNTEXT), 20, 23, 100, 37));
}

TEST_F(ListTest, TheBarsChangesAndResizingRedrawTheList) {
    m_list->SetSelected(5);
    m_list->Scroll().SetValue(3);  // as the user's arrows, track or thumb would
    EXPECT_TRUE(RowHighlighted(1));
    EXPECT_EQ(HighlightedRows(), 1);

    MoveWindow(m_list->hwnd(), 0, 0, 250, 300, TRUE);
    EXPECT_EQ(m_list->Scroll().Max(), 15);  // 300 / 19: 15 full rows
    RECT bar{};
    GetWindowRect(m_list->Scroll().hwnd(), &bar);
    MapWindowPoints(nullptr, m_list->hwnd(), reinterpret_cast<POINT*>(&bar), 2);
    EXPECT_EQ(bar.left, 250 - 17);
    EXPECT_EQ(bar.bottom, 300);
    EXPECT_TRUE(RowHighlighted(1));
    MoveWindow(m_list->hwnd(), 0, 0, 250, 600, TRUE);  // everything fits: no bar
    EXPECT_FALSE(m_list->Scroll().Visible());
    EXPECT_EQ(m_list->Scroll().Value(), 0);
    EXPECT_TRUE(RowHighlighted(4));
}

TEST_F(ListTest, AHeldBarArrowScrollsTheListAndStaysPressed) {
    const HWND bar = m_list->Scroll().hwnd();
    SendMessageW(bar, WM_MOUSEMOVE, 0, At(8, 195));
    SendMessageW(bar, WM_LBUTTONDOWN, MK_LBUTTON, At(8, 195));
    PumpFor(350);
    const int32_t value = m_list->Scroll().Value();
    EXPECT_GE(value, 2);
    // Each step redraws the list, which must not repaint the bar's arrow normal.
    const Image pressed = RenderPicture(kPicBlueDown + 2, 16, 17);
    EXPECT_EQ(testing::Capture(bar).At(4, 195), ToColorRef(pressed.At(3, 12)));
    SendMessageW(bar, WM_LBUTTONUP, 0, At(8, 195));
    const Image normal = RenderPicture(kPicBlueDown, 16, 17);
    EXPECT_EQ(testing::Capture(bar).At(4, 195), ToColorRef(normal.At(3, 12)));
    EXPECT_FALSE(RowHighlighted(0));  // item 1 scrolled out of view
    EXPECT_EQ(m_list->Selected(), 1);
}

TEST_F(ListTest, ClicksSelectTheRowUnderThePointerAfterMouseDown) {
    m_list->ScrollTo(5);
    ASSERT_EQ(m_list->Scroll().Value(), 4);
    m_log.clear();
    Send(WM_LBUTTONDOWN, MK_LBUTTON, 50, 25);
    Send(WM_LBUTTONUP, 0, 50, 25);
    EXPECT_EQ(m_list->Selected(), 6);
    EXPECT_EQ(m_log, (std::vector<std::string>{"MouseDown 1 at 1", "OnSelect 6", "MouseUp 1", "Click"}));
    EXPECT_TRUE(RowHighlighted(1));
    EXPECT_EQ(HighlightedRows(), 1);

    m_log.clear();
    Send(WM_RBUTTONDOWN, MK_RBUTTON, 50, 45);  // a right click moves the selection too
    Send(WM_RBUTTONUP, 0, 50, 45);
    EXPECT_EQ(m_log, (std::vector<std::string>{"MouseDown 2 at 6", "OnSelect 7", "MouseUp 2"}));

    m_log.clear();
    Send(WM_LBUTTONDOWN, MK_LBUTTON, 50, 45);  // the same row again: no OnSelect
    Send(WM_LBUTTONUP, 0, 50, 45);
    Send(WM_LBUTTONDBLCLK, MK_LBUTTON, 50, 45);
    Send(WM_LBUTTONUP, 0, 50, 45);
    EXPECT_EQ(m_log, (std::vector<std::string>{"MouseDown 1 at 7", "MouseUp 1", "Click", "DblClick", "MouseUp 1"}));
    EXPECT_TRUE(GetClassLongPtrW(m_list->hwnd(), GCL_STYLE) & CS_DBLCLKS);
}

TEST_F(ListTest, UpAndDownKeysMoveTheSelectionAndScrollAtTheEdges) {
    const struct { int key, times, selected, value; } steps[] = {
        {VK_UP, 1, 1, 0},     // at the top: nothing
        {VK_DOWN, 9, 10, 0},  // the last fully shown row
        {VK_DOWN, 1, 11, 1},  // one more scrolls by one row, the selection on the bottom row
        {VK_DOWN, 19, 30, 20},
        {VK_DOWN, 1, 30, 20}, // at the end: nothing
        {VK_UP, 9, 21, 20},
        {VK_UP, 1, 20, 19},
        {VK_HOME, 1, 20, 19}, // other keys only raise KeyDown
    };
    for (const auto& s : steps) {
        Key(s.key, s.times);
        EXPECT_EQ(m_list->Selected(), s.selected) << s.key << " x" << s.times;
        EXPECT_EQ(m_list->Scroll().Value(), s.value) << s.key << " x" << s.times;
    }
    EXPECT_EQ(m_keyDowns, 42);
    EXPECT_TRUE(RowHighlighted(0));  // item 20 at the top of a list scrolled by 19
    Key(VK_DOWN, 10);
    EXPECT_TRUE(RowHighlighted(9));  // item 30 on the bottom row
    EXPECT_EQ(HighlightedRows(), 1);
}

TEST_F(ListTest, KeyDownReachesTheHostFirstAndCanCancelTheStep) {
    m_swallowKeys = true;
    Key(VK_DOWN, 3);
    EXPECT_EQ(m_keyDowns, 3);
    EXPECT_EQ(m_list->Selected(), 1);
    int typed = 0, released = 0;
    m_list->Events().KeyPress = [&](int& ascii) { typed = ascii; };
    m_list->Events().KeyUp = [&](int& code, int) { released = code; };
    SendMessageW(m_list->hwnd(), WM_CHAR, 'a', 1);
    SendMessageW(m_list->hwnd(), WM_KEYUP, VK_DOWN, 1);
    EXPECT_EQ(typed, 'a');
    EXPECT_EQ(released, VK_DOWN);
    EXPECT_EQ(SendMessageW(m_list->hwnd(), WM_GETDLGCODE, 0, 0) & DLGC_WANTARROWS, DLGC_WANTARROWS);
}

TEST_F(ListTest, DraggingAboveTheSurfaceScrollsUpToTheFirstItem) {
    m_list->ScrollTo(6);
    ASSERT_EQ(m_list->Scroll().Value(), 5);
    Send(WM_LBUTTONDOWN, MK_LBUTTON, 50, 10);
    ASSERT_EQ(m_list->Selected(), 6);
    Send(WM_MOUSEMOVE, MK_LBUTTON, 50, 0);  // exactly on the edge: the timer runs, no direction yet
    PumpFor(60);
    EXPECT_EQ(m_keyDowns, 0);
    EXPECT_EQ(m_list->Selected(), 6);
    Send(WM_MOUSEMOVE, MK_LBUTTON, 50, -10);
    ASSERT_TRUE(PumpUntil([&] { return m_list->Scroll().Value() == 0 && m_list->Selected() == 1; }, 5000));
    EXPECT_GE(m_keyDowns, 5);  // one Up step per tick, from item 6 to item 1
    EXPECT_TRUE(RowHighlighted(0));
    Send(WM_MOUSEMOVE, MK_LBUTTON, 50, 50);  // back on the surface: the selection follows
    EXPECT_EQ(m_list->Selected(), 3);
    const int ticks = m_keyDowns;
    PumpFor(60);
    EXPECT_EQ(m_keyDowns, ticks);

    Send(WM_MOUSEMOVE, MK_LBUTTON, 50, 260);
    ASSERT_TRUE(PumpUntil([&] { return m_list->Scroll().Value() == 20 && m_list->Selected() == 30; }, 8000));
    Send(WM_LBUTTONUP, 0, 50, 260);
    const int afterRelease = m_keyDowns;
    PumpFor(60);
    EXPECT_EQ(m_keyDowns, afterRelease);  // the release stopped the timer
    Send(WM_MOUSEMOVE, 0, 50, -40);       // no button: no drag
    PumpFor(60);
    EXPECT_EQ(m_keyDowns, afterRelease);
}

TEST_F(ListTest, DroppedFilesRaiseOLEDragDropUnchanged) {
    DropData seen;
    int32_t seenEffect = 0;
    float seenX = 0, seenY = 0;
    m_list->Events().OLEDragDrop = [&](const DropData& data, int32_t& effect, int, int, float x, float y) {
        seen = data;
        seenEffect = effect;
        seenX = x;
        seenY = y;
    };
    const std::vector<std::wstring> files{L"C:\\影片\\one.swf", L"D:\\lists\\two.flst", L"E:\\x.txt"};
    SendMessageW(m_list->hwnd(), WM_DROPFILES, reinterpret_cast<WPARAM>(testing::MakeDrop(files, {30, 40})), 0);
    EXPECT_EQ(seen.files, files);
    EXPECT_EQ(seenEffect, 1);
    EXPECT_EQ(seenX, 30);
    EXPECT_EQ(seenY, 40);
    EXPECT_EQ(m_list->Count(), 30);  // nothing is added by the list itself
    EXPECT_TRUE(GetWindowLongPtrW(m_list->hwnd(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
}

TEST_F(ListTest, SelectedBeyondCountAndAcrossClear) {
    m_list->SetSelected(50);
    EXPECT_EQ(m_list->Selected(), 30);
    EXPECT_EQ(m_log, (std::vector<std::string>{"OnSelect 30"}));
    m_list->SetSelected(30);
    EXPECT_EQ(m_log.size(), 1u);

    m_list->SetSelected(12);
    m_list->Clear();
    EXPECT_EQ(m_list->Count(), 0);
    EXPECT_EQ(m_list->Selected(), 12);
    for (int i = 1; i <= 5; ++i) m_list->AddItem(L"Short " + std::to_wstring(i), L"");
    m_list->Redraw();
    EXPECT_EQ(m_list->Selected(), 12);  // stays until set again, and no row is highlighted
    EXPECT_EQ(HighlightedRows(), 0);
    EXPECT_EQ(m_list->Scroll().Max(), 0);
    EXPECT_FALSE(m_list->Scroll().Visible());
    Send(WM_LBUTTONDOWN, MK_LBUTTON, 50, 150);  // below the last item
    Send(WM_LBUTTONUP, 0, 50, 150);
    EXPECT_EQ(m_list->Selected(), 5);
    EXPECT_TRUE(RowHighlighted(4));

    m_list->SetSelected(0);
    m_list->Redraw();  // only an empty selection is repaired
    EXPECT_EQ(m_list->Selected(), 1);
}

TEST_F(ListTest, ASelectionChangeRepaintsOnlyTheTwoRows) {
    UpdateWindow(m_list->hwnd());
    ValidateRect(m_list->hwnd(), nullptr);
    m_list->SetSelected(3);
    const toolkit::UniqueHandle<HRGN, toolkit::GdiObjectDeleter> dirty(CreateRectRgn(0, 0, 0, 0));
    ASSERT_NE(GetUpdateRgn(m_list->hwnd(), dirty.get(), FALSE), ERROR);
    const toolkit::UniqueHandle<HRGN, toolkit::GdiObjectDeleter> rows(CreateRectRgn(0, 0, 200, kRow));
    const toolkit::UniqueHandle<HRGN, toolkit::GdiObjectDeleter> third(CreateRectRgn(0, 2 * kRow, 200, 3 * kRow));
    CombineRgn(rows.get(), rows.get(), third.get(), RGN_OR);
    EXPECT_TRUE(EqualRgn(dirty.get(), rows.get()));
    EXPECT_FALSE(RowHighlighted(0));
    EXPECT_TRUE(RowHighlighted(2));
}

TEST_F(ListTest, RemoveItemAndTheScrollRange) {
    EXPECT_EQ(m_list->Item(0), nullptr);
    EXPECT_EQ(m_list->Item(31), nullptr);
    ASSERT_NE(m_list->Item(30), nullptr);
    EXPECT_EQ(m_list->Item(30)->Icon, 0);  // AddItem without an icon
    m_list->Remove(99);
    EXPECT_EQ(m_list->Count(), 30);
    m_list->Remove(1);
    EXPECT_EQ(m_list->Count(), 29);
    EXPECT_EQ(m_list->Item(1)->Caption, L"Movie 2");

    m_list->ScrollTo(25);
    EXPECT_EQ(m_list->Scroll().Value(), 19);  // 29 items, 10 rows
    for (int i = 0; i < 14; ++i) m_list->Remove(1);
    EXPECT_EQ(m_list->Scroll().Max(), 5);
    EXPECT_EQ(m_list->Scroll().Value(), 5);  // pulled down with Max
    m_list->SetCaption(15, L"Renamed");
    EXPECT_EQ(m_list->Item(15)->Caption, L"Renamed");
    m_list->SetText(15, L"second line");
    EXPECT_EQ(m_list->Item(15)->Text, L"second line");
}

TEST_F(ListTest, IsVisibleAndScrollTo) {
    const struct { int32_t target, value; } scrolls[] = {{5, 4}, {1, 0}, {20, 20}, {28, 20}, {19, 18}};
    for (const auto& s : scrolls) {
        m_list->ScrollTo(s.target);
        EXPECT_EQ(m_list->Scroll().Value(), s.value) << s.target;
    }
    EXPECT_FALSE(m_list->IsVisible(18));
    EXPECT_TRUE(m_list->IsVisible(19));
    EXPECT_TRUE(m_list->IsVisible(28));
    EXPECT_FALSE(m_list->IsVisible(29));  // shown only in part
    ShowWindow(m_list->hwnd(), SW_HIDE);  // a hidden list still scrolls
    m_list->ScrollTo(3);
    EXPECT_EQ(m_list->Scroll().Value(), 2);
    ShowWindow(m_list->hwnd(), SW_SHOW);
    m_list->Clear();
    m_list->AddItem(L"only", L"");
    m_list->Redraw();
    m_list->ScrollTo(1);  // the bar is hidden: nothing happens
    EXPECT_EQ(m_list->Scroll().Value(), 0);
}

TEST_F(ListTest, IconsComeFromTheImageListFromOne) {
    HIMAGELIST images = ImageList_Create(16, 16, ILC_COLOR24, 1, 1);
    Image red{16, 16, std::vector<Rgb>(256, 0xFF0000)};
    const toolkit::BitmapHandle bitmap = BitmapOf(red);
    ASSERT_EQ(ImageList_Add(images, bitmap.get(), nullptr), 0);
    m_list->SetImageList(images);
    m_list->Clear();
    m_list->AddItem(L"with icon", L"", 1);
    m_list->AddItem(L"without", L"");
    m_list->AddItem(L"no such picture", L"", 5);
    m_list->SetSelected(0);
    m_list->Redraw();
    m_list->SetSelected(3);
    EXPECT_EQ(GetPixel(m_list->hDC(), 10, 10), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(m_list->hDC(), 10, kRow + 10), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(m_list->hDC(), 10, 2 * kRow + 10), GetSysColor(COLOR_HIGHLIGHT));
    m_list->SetImageList(nullptr);
    ImageList_Destroy(images);
}

TEST_F(ListTest, PropertiesPersistWithTheirDefaults) {
    IList fresh;
    ASSERT_TRUE(fresh.Create(m_host, 0, 210, 100, 60));
    ostrel::MemoryPropertyBag defaults;
    fresh.WriteProperties(defaults);
    EXPECT_EQ(defaults.Names().size(), 0u);
    EXPECT_TRUE(defaults.HasChild(L"Font"));

    ostrel::MemoryPropertyBag bag;
    m_list->SetMousePointer(11);
    m_list->WriteProperties(bag);
    EXPECT_EQ(bag.Read(L"ItemHeight", ostrel::PropertyValue::Of(0)).number, 19);
    EXPECT_EQ(bag.Read(L"CaptionPosX", ostrel::PropertyValue::Of(0)).number, 20);
    EXPECT_EQ(bag.Read(L"Selected", ostrel::PropertyValue::Of(0)).number, 1);
    EXPECT_EQ(bag.Read(L"IconPosX", ostrel::PropertyValue::Of(0)).number, 4);
    EXPECT_EQ(bag.Names(), (std::vector<std::wstring>{L"ItemHeight", L"IconPosX", L"IconPosY", L"CaptionPosX",
                                                      L"CaptionPosY", L"TextPosX", L"TextPosY", L"Selected",
                                                      L"MousePointer"}));

    fresh.ReadProperties(bag);
    EXPECT_EQ(fresh.ItemHeight(), 19);
    EXPECT_EQ(fresh.Layout().textY, 19);
    EXPECT_EQ(fresh.Layout().iconX, 4);
    EXPECT_EQ(fresh.MousePointer(), 11);
    EXPECT_STREQ(fresh.Font().lfFaceName, m_list->Font().lfFaceName);
    EXPECT_EQ(fresh.Font().lfHeight, m_list->Font().lfHeight);
}

}  // namespace
}  // namespace velmora::lists
