#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "menulib/controls.h"
#include "menulib/memory_property_bag.h"
#include "menulib/win_test_support.h"

namespace ostrel {
namespace {

using test::Capture;
using test::CaptureClient;

constexpr OleColor kBack = Rgb(236, 233, 216);
constexpr OleColor kFore = Rgb(0, 0, 0);
constexpr OleColor kRed = Rgb(255, 0, 0);

struct EventLog : NetButtonListener {
    std::string log;
    int clicks = 0;
    void Click() override { log += "Click "; ++clicks; }
    void DblClick() override { log += "DblClick "; }
    void KeyDown(int&, int) override { log += "KeyDown "; }
    void KeyUp(int&, int) override { log += "KeyUp "; }
    void MouseDown(int, int, int, int) override { log += "MouseDown "; }
    void MouseUp(int, int, int, int) override { log += "MouseUp "; }
    void MouseEnter() override { log += "MouseEnter "; }
    void MouseExit() override { log += "MouseExit "; }
    void DropDownClick() override { log += "DropDownClick "; }
};

bool Near(OleColor a, OleColor b, int tolerance = 12) {
    return std::abs(RedOf(a) - RedOf(b)) <= tolerance && std::abs(GreenOf(a) - GreenOf(b)) <= tolerance &&
           std::abs(BlueOf(a) - BlueOf(b)) <= tolerance;
}

class NetButton : public ::testing::Test {
protected:
    void SetUp() override {
        host = test::SharedHostWindow();
        ASSERT_TRUE(host);
    }
    void TearDown() override { test::DestroyChildren(host); }

    VsNetBut Make(int width, int height) {
        static const ButtonProps defaults;
        return Make(width, height, defaults);
    }
    VsNetBut Make(int width, int height, ButtonProps props) {
        props.backColor = kBack;
        props.foreColor = kFore;
        VsNetBut button;
        EXPECT_TRUE(button.Create(host, 100, 10, 10, width, height, props));
        button.SetListener(&events);
        return button;
    }
    static ButtonProps PictureOnly(bool office) {
        ButtonProps p;
        p.caption.clear();
        p.office2003Style = office;
        return p;
    }
    HWND host = nullptr;
    EventLog events;
};

TEST_F(NetButton, OfficeLookPaintsEachStateWithItsGradientAndBorder) {
    VsNetBut b = Make(40, 40, PictureOnly(true));
    const ButtonProps& p = b.Props();
    Capture c = CaptureClient(b.hWnd());
    EXPECT_EQ(c.Count(kBack), 40 * 40) << "normal: background only, no border at run time";

    SendMessageW(b.hWnd(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(b.State(), VisualState::Hover);
    c = CaptureClient(b.hWnd());
    EXPECT_EQ(c.At(0, 0), p.edgeColor);
    EXPECT_EQ(c.At(39, 20), p.edgeColor);
    EXPECT_TRUE(Near(c.At(20, 1), p.overColorStart)) << std::hex << c.At(20, 1);
    EXPECT_TRUE(Near(c.At(20, 38), p.overColorEnd)) << std::hex << c.At(20, 38);

    SendMessageW(b.hWnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_EQ(b.State(), VisualState::Pressed);
    c = CaptureClient(b.hWnd());
    EXPECT_TRUE(Near(c.At(20, 1), p.downColorStart));
    EXPECT_TRUE(Near(c.At(20, 38), p.downColorEnd));
    SendMessageW(b.hWnd(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));

    b.SetCheck(true);
    b.Refresh();
    SendMessageW(b.hWnd(), WM_MOUSEMOVE, 0, MAKELPARAM(500, 5));  // outside: normal
    c = CaptureClient(b.hWnd());
    EXPECT_EQ(c.At(0, 0), p.edgeColor);
    EXPECT_TRUE(Near(c.At(20, 1), p.checkedColorStart));
    EXPECT_TRUE(Near(c.At(20, 38), p.checkedColorEnd));
}

TEST_F(NetButton, XpLookUsesSolidFillsAndFrames) {
    VsNetBut b = Make(30, 20, PictureOnly(false));
    const ButtonProps& p = b.Props();
    SendMessageW(b.hWnd(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    Capture c = CaptureClient(b.hWnd());
    EXPECT_EQ(c.At(0, 0), p.edgeColor);
    EXPECT_EQ(c.At(15, 10), p.overColorXP);
    EXPECT_EQ(c.Count(p.overColorXP), 28 * 18);
    SendMessageW(b.hWnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_EQ(CaptureClient(b.hWnd()).At(15, 10), p.downColorXP);
    SendMessageW(b.hWnd(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    b.SetCheck(true);
    SendMessageW(b.hWnd(), WM_MOUSEMOVE, 0, MAKELPARAM(-3, 5));
    c = CaptureClient(b.hWnd());
    EXPECT_EQ(c.At(15, 10), p.checkedColorXP);
    EXPECT_EQ(c.At(0, 0), p.edgeColor);
}

TEST_F(NetButton, PictureLiftsInHoverAndTurnsIntoASilhouetteWhenDisabled) {
    VsNetBut b = Make(40, 40, PictureOnly(true));
    b.SetButtonPicture(test::SolidSquare(kRed, 10));
    const OleColor shadow = b.Props().shadowColor;
    Capture c = CaptureClient(b.hWnd());
    EXPECT_EQ(c.Count(kRed), 100);
    EXPECT_EQ(c.At(15, 15), kRed);  // centred in 40 x 40 inset by 4: (15, 15)

    SendMessageW(b.hWnd(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    c = CaptureClient(b.hWnd());
    EXPECT_EQ(c.Count(kRed), 100);
    EXPECT_EQ(c.At(13, 13), kRed);      // lifted by ShadowOffset 2
    EXPECT_EQ(c.At(24, 24), shadow);    // the shadow shows below and right of it
    SendMessageW(b.hWnd(), WM_MOUSEMOVE, 0, MAKELPARAM(-1, 5));

    b.SetEnabled(false);
    c = CaptureClient(b.hWnd());
    EXPECT_EQ(c.Count(kRed), 0);
    EXPECT_EQ(c.Count(shadow), 100);
    EXPECT_EQ(c.At(15, 15), shadow);

    ButtonProps ignore = b.Props();
    ignore.ignoreDisabledEffect = true;
    EXPECT_FALSE(b.Apply(ignore));
    EXPECT_EQ(CaptureClient(b.hWnd()).Count(kRed), 100);
}

TEST_F(NetButton, CaptionTurnsShadowColouredWhenDisabled) {
    ButtonProps p;
    p.caption = L"&O.确定";
    p.captionAreaPercent = 100;
    VsNetBut b = Make(80, 24, p);
    auto darkPixels = [&](OleColor target) {
        const Capture c = CaptureClient(b.hWnd());
        int n = 0;
        for (OleColor px : c.pixels) n += Near(px, target, 40) ? 1 : 0;
        return n;
    };
    EXPECT_GT(darkPixels(kFore), 15);
    b.SetEnabled(false);
    EXPECT_EQ(darkPixels(kFore), 0);
    EXPECT_GT(darkPixels(b.Props().shadowColor), 15);
    wchar_t text[32] = {};
    GetWindowTextW(b.hWnd(), text, 32);
    EXPECT_EQ(std::wstring(text), L"&O.确定");
}

TEST_F(NetButton, EdgeInTheNormalStateOnlyWithShowEdgeOnNoFocus) {
    ButtonProps p = PictureOnly(false);
    p.showEdgeOnNoFocus = true;
    VsNetBut edged = Make(20, 20, p);
    EXPECT_EQ(CaptureClient(edged.hWnd()).At(0, 0), p.edgeColor);
    EXPECT_EQ(CaptureClient(edged.hWnd()).At(10, 10), kBack);
}

TEST_F(NetButton, SeparatorsDrawTheirLineOrGripAndAreDisabled) {
    VsNetBut line = Make(9, 30);
    EXPECT_FALSE(line.SetButtonAppearance(ButtonAppearance::Sep2003));
    EXPECT_FALSE(IsWindowEnabled(line.hWnd()));
    const OleColor sep = line.Props().sepForeColor;
    Capture c = CaptureClient(line.hWnd());
    EXPECT_EQ(c.At(4, 4), sep);
    EXPECT_EQ(c.At(4, 25), sep);
    EXPECT_EQ(c.At(4, 26), kBack);  // bottom excluded
    EXPECT_EQ(c.Count(sep), 22);

    VsNetBut grip = Make(20, 30);
    EXPECT_FALSE(grip.SetButtonAppearance(ButtonAppearance::MainSep2003));
    c = CaptureClient(grip.hWnd());
    EXPECT_EQ(c.At(8, 4), sep);
    EXPECT_EQ(c.At(10, 26), sep);
    EXPECT_EQ(c.At(11, 4), kBack);
    EXPECT_EQ(c.At(8, 5), kBack);
    EXPECT_EQ(c.Count(sep), 3 * 12);  // rows 4, 6, ..., 26
}

TEST_F(NetButton, SplitButtonClicksDependOnWhereTheLeftButtonIsReleased) {
    VsNetBut b = Make(50, 24, PictureOnly(true));
    ASSERT_FALSE(b.SetButtonAppearance(ButtonAppearance::UpDown2003));
    EXPECT_EQ(CaptureClient(b.hWnd()).At(44, 12), kFore);  // arrow centre
    EXPECT_EQ(CaptureClient(b.hWnd()).At(42, 11), kFore);

    SendMessageW(b.hWnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(45, 5));
    SendMessageW(b.hWnd(), WM_LBUTTONUP, 0, MAKELPARAM(45, 5));
    EXPECT_EQ(events.log, "MouseDown DropDownClick ");
    events.log.clear();
    SendMessageW(b.hWnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 5));
    SendMessageW(b.hWnd(), WM_LBUTTONUP, 0, MAKELPARAM(10, 5));
    EXPECT_EQ(events.log, "MouseDown MouseUp Click ");
}

TEST_F(NetButton, ChevronTooSmallPaintsNothingAndALargeOneDrawsItsGlyph) {
    VsNetBut small = Make(8, 20);
    EXPECT_FALSE(small.SetButtonAppearance(ButtonAppearance::NextUpDown2003));
    EXPECT_EQ(CaptureClient(small.hWnd()).Count(kBack), 8 * 20);

    VsNetBut large = Make(17, 30);
    EXPECT_FALSE(large.SetButtonAppearance(ButtonAppearance::NextUpDown2003));
    const Capture c = CaptureClient(large.hWnd());
    EXPECT_EQ(c.At(4, 8), kFore);   // glyph box (4, 8): first ">" starts here
    EXPECT_EQ(c.At(8, 8), kFore);   // the second one, 4 to the right
    EXPECT_EQ(c.At(5, 8 + 14 - 3), kFore);  // triangle's top edge
    EXPECT_EQ(c.At(0, 0), kBack);
}

TEST_F(NetButton, SpacePressAndReleaseIsOneClick) {
    VsNetBut b = Make(60, 24);
    SetFocus(b.hWnd());
    SendMessageW(b.hWnd(), WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_EQ(b.State(), VisualState::Pressed);
    SendMessageW(b.hWnd(), WM_KEYUP, VK_SPACE, 0);
    EXPECT_EQ(events.log, "KeyDown MouseDown KeyUp MouseUp Click ");
}

TEST_F(NetButton, ArrowKeysMoveTheFocusAndAFocusedButtonShowsItsFocusRectangle) {
    ButtonProps p = PictureOnly(false);
    p.showFocusRect = true;
    VsNetBut first = Make(30, 20, p);
    VsNetBut second;
    ASSERT_TRUE(second.Create(host, 101, 50, 10, 30, 20, p));
    SetFocus(first.hWnd());
    ASSERT_EQ(GetFocus(), first.hWnd());
    Capture c = CaptureClient(first.hWnd());
    int dotted = 0;  // the dotted rectangle, inset by FoucsRectOffSet 2
    for (int x = 2; x < 28; ++x) dotted += c.At(x, 2) != kBack ? 1 : 0;
    EXPECT_GE(dotted, 10);
    EXPECT_EQ(c.At(1, 1), kBack);
    EXPECT_EQ(c.At(15, 10), kBack);
    SendMessageW(first.hWnd(), WM_KEYDOWN, VK_RIGHT, 0);
    EXPECT_EQ(GetFocus(), second.hWnd());
    EXPECT_EQ(CaptureClient(first.hWnd()).Count(kBack), 30 * 20);
    SendMessageW(second.hWnd(), WM_KEYDOWN, VK_UP, 0);
    EXPECT_EQ(GetFocus(), first.hWnd());
}

TEST_F(NetButton, DoubleClickCountsAsASecondClickUnlessEnabled) {
    auto doubleClick = [](HWND w) {
        SendMessageW(w, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        SendMessageW(w, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
        SendMessageW(w, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5));
        SendMessageW(w, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    };
    VsNetBut plain = Make(60, 24);
    doubleClick(plain.hWnd());
    EXPECT_EQ(events.clicks, 2);
    EXPECT_EQ(events.log.find("DblClick"), std::string::npos);

    ButtonProps p;
    p.enableDblClick = true;
    VsNetBut dbl = Make(60, 24, p);
    events = {};
    dbl.SetListener(&events);
    doubleClick(dbl.hWnd());
    EXPECT_EQ(events.clicks, 1);
    EXPECT_NE(events.log.find("DblClick"), std::string::npos);
}

TEST_F(NetButton, HoverEndsWithMouseExitSoonAfterTheCursorLeaves) {
    VsNetBut b = Make(60, 24);
    POINT inside{30, 12};
    ClientToScreen(b.hWnd(), &inside);
    SetCursorPos(inside.x, inside.y);
    test::PumpFor(30);
    SendMessageW(b.hWnd(), WM_MOUSEMOVE, 0, MAKELPARAM(30, 12));
    test::PumpFor(40);
    EXPECT_TRUE(b.IsHovering());
    EXPECT_EQ(b.State(), VisualState::Hover);
    SetCursorPos(300, 150);  // over the host window
    test::PumpFor(100);
    EXPECT_FALSE(b.IsHovering());
    EXPECT_EQ(b.State(), VisualState::Normal);
    EXPECT_NE(events.log.find("MouseEnter"), std::string::npos);
    EXPECT_NE(events.log.find("MouseExit"), std::string::npos);
}

TEST_F(NetButton, RefusedValuesAreKeptOutAndReportedAsError380) {
    VsNetBut b = Make(60, 24);
    ButtonProps next = b.Props();
    next.upDownWidth = 20;
    PropertyResult error = b.Apply(next);
    ASSERT_TRUE(error);
    EXPECT_EQ(error->number, 380);
    EXPECT_EQ(error->source, L"OstrelMnu.VsNetBut:Up_DownWidht");
    EXPECT_EQ(error->description,
              L"只有当按钮风格为sbUp_Down2003时才能设置此属性。目的是为了保证按钮最佳效果,减少不必要的错误。");
    EXPECT_EQ(b.Props().upDownWidth, 12);

    next = b.Props();
    next.captionAreaPercent = 150;
    next.caption = L"kept";  // accepted changes of the same call still apply
    error = b.Apply(next);
    ASSERT_TRUE(error);
    EXPECT_EQ(error->source, L"OstrelMnu.VsNetBut:CaptionAreaPercent");
    EXPECT_EQ(b.Props().captionAreaPercent, 80);
    EXPECT_EQ(b.Props().caption, L"kept");

    // A separator too narrow for its line leaves an invalid layout: the next appearance is refused.
    VsNetBut narrow = Make(8, 30);
    EXPECT_FALSE(narrow.SetButtonAppearance(ButtonAppearance::Sep2003));
    error = narrow.SetButtonAppearance(ButtonAppearance::MainSep2003);
    ASSERT_TRUE(error);
    EXPECT_EQ(error->description, L"将按钮拉大些再看吧！");
    EXPECT_EQ(narrow.Props().appearance, ButtonAppearance::Sep2003);
    EXPECT_FALSE(narrow.SetButtonAppearance(ButtonAppearance::Office2003));
    EXPECT_TRUE(IsWindowEnabled(narrow.hWnd()));
}

TEST_F(NetButton, AccessKeysEnterAndEscapeTriggerTheirButtons) {
    ButtonProps ok;
    ok.caption = L"&O.确定";
    VsNetBut okButton = Make(60, 24, ok);
    okButton.SetDefault(true);
    EXPECT_TRUE(DispatchAccessKey(host, L'o'));
    EXPECT_EQ(events.clicks, 1);
    EXPECT_FALSE(DispatchAccessKey(host, L'x'));
    EXPECT_FALSE(DispatchAccessKey(host, VK_ESCAPE));  // no cancel button
    EXPECT_TRUE(DispatchAccessKey(host, VK_RETURN));
    EXPECT_EQ(events.clicks, 2);
    EXPECT_EQ(okButton.State(), VisualState::Normal);

    // The standard dialog manager of the host finds the access key in the window text.
    MSG altO{okButton.hWnd(), WM_SYSCHAR, L'o', 0};
    EXPECT_TRUE(IsDialogMessageW(host, &altO));
    EXPECT_EQ(events.clicks, 3);

    ButtonProps doubled;
    doubled.caption = L"&&A";
    Make(60, 24, doubled);
    EXPECT_FALSE(DispatchAccessKey(host, L'a'));
}

TEST_F(NetButton, AClickThatDestroysTheButtonEndsCleanly) {
    struct Closer : NetButtonListener {
        HWND window = nullptr;
        void Click() override { DestroyWindow(window); }
    } closer;
    VsNetBut b = Make(60, 24);
    closer.window = b.hWnd();
    b.SetListener(&closer);
    SendMessageW(b.hWnd(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));  // hovering: Click would repaint
    SendMessageW(b.hWnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageW(b.hWnd(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_FALSE(IsWindow(closer.window));
    EXPECT_FALSE(b.IsValid());
    EXPECT_EQ(b.State(), VisualState::Normal);
}

TEST_F(NetButton, PropertiesSurviveABagRoundTrip) {
    ButtonProps p;
    p.caption = L"&C.取消";
    p.office2003Style = false;
    p.shadowOffset = 1;
    p.showEdgeOnNoFocus = true;
    p.font.size = 11;
    VsNetBut first = Make(60, 24, p);
    MemoryPropertyBag bag;
    first.WriteProperties(bag);
    VsNetBut second = Make(60, 24);
    second.ReadProperties(bag);
    EXPECT_EQ(second.Props().caption, L"&C.取消");
    EXPECT_FALSE(second.Props().office2003Style);
    EXPECT_EQ(second.Props().shadowOffset, 1);
    EXPECT_EQ(second.Props().font.size, 11);
    EXPECT_EQ(second.Props().backColor, kBack);
    EXPECT_EQ(CaptureClient(second.hWnd()).At(0, 0), second.Props().edgeColor);
}

}  // namespace
}  // namespace ostrel
