#include "player/lists/xp_vscrollbar.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "menulib/memory_property_bag.h"
#include "player/lists/test_support/lists_test_support.h"

namespace velmora::lists {
namespace {

using testing::Capture;
using testing::PumpFor;
using testing::PumpUntil;

LPARAM At(int x, int y) { return MAKELPARAM(x, y); }

class BarTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Away from the pointer, so the leave detector sees the pointer outside the bar.
        SetCursorPos(5, 5);
        m_host = testing::TestHost();
        ASSERT_TRUE(m_host);
        NewBar(200);
    }
    void TearDown() override {
        m_bar.reset();
    }
    void NewBar(int height) {
        m_bar = std::make_unique<xp_VScrollBar>();
        ASSERT_TRUE(m_bar->Create(m_host, 0, 0, height));
        m_bar->OnChange([this] { ++m_changes; });
        m_bar->OnScroll([this] { ++m_scrolls; });
    }
    void Press(int y) {
        SendMessageW(m_bar->hwnd(), WM_MOUSEMOVE, 0, At(8, y));
        SendMessageW(m_bar->hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, At(8, y));
    }
    void Release(int y) { SendMessageW(m_bar->hwnd(), WM_LBUTTONUP, 0, At(8, y)); }

    HWND m_host = nullptr;
    std::unique_ptr<xp_VScrollBar> m_bar;
    int m_changes = 0;
    int m_scrolls = 0;
};

TEST_F(BarTest, ValueIsClampedAndRaisesChangeOnlyWhenWritten) {
    m_bar->SetMax(20);
    const struct { int32_t write, stored, changes; } steps[] = {
        {5, 5, 1},     // a new value
        {5, 5, 1},     // the same value: nothing
        {300, 20, 2},  // beyond Max: Max
        {300, 20, 3},  // differs from the stored 20 before clamping, so Change again
        {-4, 0, 4},    // below Min
    };
    for (const auto& s : steps) {
        m_bar->SetValue(s.write);
        EXPECT_EQ(m_bar->Value(), s.stored) << s.write;
        EXPECT_EQ(m_changes, s.changes) << s.write;
    }
}

TEST_F(BarTest, MaxAndMinCorrectionsPullTheValueAlong) {
    m_bar->SetMax(-5);
    EXPECT_EQ(m_bar->Max(), 32767);
    m_bar->SetMax(50);
    m_bar->SetValue(40);
    m_changes = 0;
    m_bar->SetMax(30);
    EXPECT_EQ(m_bar->Value(), 30);
    EXPECT_EQ(m_changes, 1);
    m_bar->SetMin(-1);
    EXPECT_EQ(m_bar->Min(), 0);
    m_bar->SetMin(40000);
    EXPECT_EQ(m_bar->Min(), 0);
    m_bar->SetValue(2);
    m_bar->SetMin(5);
    EXPECT_EQ(m_bar->Value(), 5);
}

TEST_F(BarTest, OutOfRangeStepSizesSayInvalidPropertyValueAndStoreOne) {
    toolkit::SetApplicationTitle(L"VelmoraFlash播放软件");
    const struct { bool large; int32_t write, stored; bool message; } cases[] = {
        {true, 20000, 1, true}, {true, -1, 1, true}, {true, 10000, 10000, false},
        {false, 40000, 1, true}, {false, 32767, 32767, false}, {false, -2, 1, true},
    };
    for (const auto& c : cases) {
        testing::MessageBoxWatcher watcher(L"VelmoraFlash播放软件");
        if (c.large) m_bar->SetLargeChange(c.write);
        else m_bar->SetSmallChange(c.write);
        if (!c.message) continue;  // the watcher gives up when destroyed
        ASSERT_TRUE(watcher.Finish()) << c.write;
        const auto& texts = watcher.Texts();
        EXPECT_NE(std::find(texts.begin(), texts.end(), L"Invalid property value"), texts.end()) << c.write;
        EXPECT_TRUE(watcher.HadStopIcon()) << c.write;
        EXPECT_EQ(c.large ? m_bar->LargeChange() : m_bar->SmallChange(), c.stored) << c.write;
    }
    EXPECT_EQ(m_bar->LargeChange(), 10000);
    EXPECT_EQ(m_bar->SmallChange(), 1);
}

TEST_F(BarTest, ThumbFollowsTheValueOnScreen) {
    m_bar->SetMax(20);
    m_bar->SetValue(10);
    EXPECT_EQ(m_bar->ThumbLength(), 55);
    EXPECT_EQ(m_bar->ThumbTop(), 72);
    const Capture shot(m_bar->hwnd());
    ASSERT_EQ(shot.Width(), 17);
    ASSERT_EQ(shot.Height(), 200);
    // Body column 4 is drawn at x = 5; the track shows above the thumb.
    EXPECT_EQ(shot.At(5, 80), ToColorRef(SchemeColors(0)[0][4]));
    EXPECT_EQ(shot.At(5, 60), ToColorRef(0xF6F5F0));
    EXPECT_EQ(shot.At(0, 80), ToColorRef(0xEEEDE5));  // column 0 always shows the track
    // The grip: a light line at y = 96, a dark one below it.
    EXPECT_EQ(shot.At(8, 96), ToColorRef(0xFFFFFF));
    EXPECT_EQ(shot.At(8, 97), ToColorRef(0x8CB0F8));
}

TEST_F(BarTest, ShortBarsKeepTheMinimumHeightAndShowNoThumb) {
    NewBar(20);
    RECT client{};
    GetClientRect(m_bar->hwnd(), &client);
    EXPECT_EQ(client.bottom, 34);
    m_bar->Move(0, 0, 60, 47);
    GetClientRect(m_bar->hwnd(), &client);
    EXPECT_EQ(client.right, 17);
    EXPECT_EQ(client.bottom, 47);
    m_bar->SetMax(20);
    m_bar->SetValue(3);
    const Capture shot(m_bar->hwnd());
    // Between the arrows only the track shows.
    for (const Rgb body : SchemeColors(0)[0]) {
        if (body == 0xFFFFFF) continue;
        EXPECT_FALSE(shot.Contains(ToColorRef(body), 2, 17, 15, 30)) << std::hex << body;
    }
    NewBar(100);
    m_bar->SetLargeChange(1);
    m_bar->SetMax(1000);
    EXPECT_EQ(m_bar->ThumbLength(), 10);
}

TEST_F(BarTest, AQuickArrowClickChangesNothingAndAHeldOneRepeats) {
    m_bar->SetMax(100);
    m_bar->SetValue(50);
    Press(5);
    Release(5);
    PumpFor(250);
    EXPECT_EQ(m_bar->Value(), 50);

    Press(5);
    EXPECT_EQ(m_bar->Value(), 50);  // no step at the press itself
    PumpFor(550);
    Release(5);
    const int32_t steps = 50 - m_bar->Value();
    EXPECT_GE(steps, 3);
    EXPECT_LE(steps, 6);
    PumpFor(250);
    EXPECT_EQ(m_bar->Value(), 50 - steps);  // the release ended the repeat

    Press(195);
    PumpFor(350);
    Release(195);
    EXPECT_GT(m_bar->Value(), 50 - steps);
}

TEST_F(BarTest, HoldingOnTheTrackPagesUntilTheThumbReachesThePointer) {
    m_bar->SetMax(100);
    m_bar->SetLargeChange(10);
    Press(150);
    EXPECT_EQ(m_bar->Value(), 10);  // the first page comes with the press
    PumpFor(450);                    // then one every 200 ms
    EXPECT_GE(m_bar->Value(), 20);
    EXPECT_LE(m_bar->Value(), 40);
    // The track below the thumb shows highlighted while it pages.
    const int below = m_bar->ThumbTop() + m_bar->ThumbLength() + 3;
    EXPECT_EQ(Capture(m_bar->hwnd()).At(5, below), ToColorRef(0xEAE8DC));
    EXPECT_EQ(Capture(m_bar->hwnd()).At(5, m_bar->ThumbTop() - 3), ToColorRef(0xF6F5F0));
    ASSERT_TRUE(PumpUntil([&] { return IsOnThumb(150, m_bar->ThumbTop(), m_bar->ThumbLength()); }, 5000));
    const int32_t reached = m_bar->Value();
    EXPECT_LT(reached, 100);
    PumpFor(500);
    EXPECT_EQ(m_bar->Value(), reached);  // stopped under the pointer
    Release(150);
}

TEST_F(BarTest, DraggingTheThumbScrollsByTheTravel) {
    m_bar->SetMax(20);
    const int grab = m_bar->ThumbTop() + 5;
    Press(grab);
    EXPECT_EQ(m_bar->PaintedCode(), PaintedCodeOf(ElementState::Pressed, Zone::Thumb));
    const int travel = 200 - 34 - m_bar->ThumbLength();
    SendMessageW(m_bar->hwnd(), WM_MOUSEMOVE, MK_LBUTTON, At(8, grab + travel / 2));
    EXPECT_EQ(m_bar->Value(), 10);
    SendMessageW(m_bar->hwnd(), WM_MOUSEMOVE, MK_LBUTTON, At(8, grab + 1000));
    EXPECT_EQ(m_bar->Value(), 20);
    EXPECT_EQ(m_scrolls, 2);
    Release(grab + 1000);
    EXPECT_EQ(m_bar->PaintedCode(), PaintedCodeOf(ElementState::Normal, Zone::Thumb));
    SendMessageW(m_bar->hwnd(), WM_MOUSEMOVE, 0, At(8, 100));
    EXPECT_EQ(m_scrolls, 2);  // no button held: no Scroll
}

TEST_F(BarTest, HotLookUnderThePointerGoesWhenThePointerLeaves) {
    m_bar->SetMax(20);
    SendMessageW(m_bar->hwnd(), WM_MOUSEMOVE, 0, At(8, 190));
    EXPECT_EQ(m_bar->PaintedCode(), PaintedCodeOf(ElementState::Hot, Zone::DownArrow));
    const Image hot = RenderPicture(kPicBlueDown + 1, 16, 17);
    EXPECT_EQ(Capture(m_bar->hwnd()).At(4, 195), ToColorRef(hot.At(3, 12)));
    // The real pointer is elsewhere: the leave detector repaints the arrow normal.
    ASSERT_TRUE(PumpUntil([&] { return m_bar->PaintedCode() == PaintedCodeOf(ElementState::Normal, Zone::DownArrow); }, 2000));
    const Image normal = RenderPicture(kPicBlueDown, 16, 17);
    EXPECT_EQ(Capture(m_bar->hwnd()).At(4, 195), ToColorRef(normal.At(3, 12)));
}

TEST_F(BarTest, AThumbLeftByThePointerMovesInItsNormalLook) {
    m_bar->SetMax(20);
    SendMessageW(m_bar->hwnd(), WM_MOUSEMOVE, 0, At(8, m_bar->ThumbTop() + 8));
    EXPECT_EQ(m_bar->PaintedCode(), PaintedCodeOf(ElementState::Hot, Zone::Thumb));
    m_bar->SetValue(1);  // under the pointer a moving thumb shows pressed
    EXPECT_EQ(Capture(m_bar->hwnd()).At(5, m_bar->ThumbTop() + 8), ToColorRef(SchemeColors(0)[2][4]));
    ASSERT_TRUE(PumpUntil([&] { return m_bar->PaintedCode() == PaintedCodeOf(ElementState::Normal, Zone::Thumb); }, 2000));
    m_bar->SetValue(10);
    EXPECT_EQ(Capture(m_bar->hwnd()).At(5, m_bar->ThumbTop() + 8), ToColorRef(SchemeColors(0)[0][4]));
}

TEST_F(BarTest, SchemesAndTheDisabledLook) {
    m_bar->SetMax(20);
    const struct { int32_t write, stored; Rgb body, track; } schemes[] = {
        {1, 1, SchemeColors(1)[0][4], 0xF6F5F0},
        {2, 2, SchemeColors(2)[0][4], 0xF0F1F6},
        {-1, 0, SchemeColors(0)[0][4], 0xF6F5F0},
        {7, 7, SchemeColors(2)[0][4], 0xF6F5F0},  // silver thumb, blue-olive track
    };
    for (const auto& s : schemes) {
        m_bar->SetColorScheme(s.write);
        EXPECT_EQ(m_bar->ColorScheme(), s.stored);
        const Capture shot(m_bar->hwnd());
        EXPECT_EQ(shot.At(5, m_bar->ThumbTop() + 8), ToColorRef(s.body)) << s.write;
        EXPECT_EQ(shot.At(5, 150), ToColorRef(s.track)) << s.write;
    }
    // Scheme 7 has no arrow pictures: the track shows where they would be.
    EXPECT_EQ(Capture(m_bar->hwnd()).At(5, 8), ToColorRef(0xF6F5F0));
    m_bar->SetColorScheme(0);
    m_bar->SetEnabled(false);
    EXPECT_FALSE(m_bar->Enabled());
    const Capture disabled(m_bar->hwnd());
    const Image pale = RenderPicture(kPicDisabledUp, 16, 17);
    EXPECT_EQ(disabled.At(9, 7), ToColorRef(pale.At(8, 7)));
    EXPECT_EQ(disabled.At(5, m_bar->ThumbTop() + 8), ToColorRef(0xF6F5F0));  // no thumb
}

TEST_F(BarTest, PropertiesPersistOnlyWhereTheyDifferFromTheDefaults) {
    ostrel::MemoryPropertyBag bag;
    m_bar->WriteProperties(bag);
    EXPECT_EQ(bag.Names().size(), 0u);
    m_bar->SetMax(20);
    m_bar->SetValue(7);
    m_bar->SetColorScheme(2);
    m_bar->SetSmallChange(3);
    m_bar->WriteProperties(bag);
    EXPECT_EQ(bag.Names(), (std::vector<std::wstring>{L"Max", L"SmallChange", L"Value", L"ColorScheme"}));
    EXPECT_EQ(bag.Read(L"Max", ostrel::PropertyValue::Of(0)).number, 20);

    NewBar(200);
    bag.Write(L"Enabled", ostrel::PropertyValue::Of(0), ostrel::PropertyValue::Of(1));
    m_bar->ReadProperties(bag);
    EXPECT_EQ(m_bar->Max(), 20);
    EXPECT_EQ(m_bar->Value(), 7);
    EXPECT_EQ(m_bar->ColorScheme(), 2);
    EXPECT_EQ(m_bar->SmallChange(), 3);
    EXPECT_EQ(m_bar->LargeChange(), 10);
    EXPECT_FALSE(m_bar->Enabled());
}

}  // namespace
}  // namespace velmora::lists
