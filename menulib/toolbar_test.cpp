#include <gtest/gtest.h>

#include "menulib/controls.h"
#include "menulib/memory_property_bag.h"
#include "menulib/win_test_support.h"

namespace ostrel {
namespace {

constexpr OleColor kBack = Rgb(212, 208, 200);

class ToolBar : public ::testing::Test {
protected:
    void SetUp() override { host = test::SharedHostWindow(); }
    void TearDown() override { test::DestroyChildren(host); }
    VsToolBar Make(ToolbarProps props = {}) {
        props.backColor = kBack;
        VsToolBar bar;
        EXPECT_TRUE(bar.Create(host, 1, 0, 0, 100, 30, props));
        return bar;
    }
    HWND host = nullptr;
};

TEST_F(ToolBar, DefaultsDrawAnEtchedBottomEdgeAndClipAboveIt) {
    VsToolBar bar = Make();
    const test::Capture c = test::CaptureClient(bar.hWnd());
    EXPECT_EQ(c.At(50, 28), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(c.At(50, 29), GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(c.At(50, 27), kBack);
    EXPECT_EQ(c.At(0, 0), kBack);
    EXPECT_EQ(bar.InnerArea(), (PixelRect{0, 0, 100, 28}));
    // The control's own DC keeps the inner clip region for whoever draws on it.
    RECT clip{};
    EXPECT_EQ(GetClipBox(bar.hDC(), &clip), SIMPLEREGION);
    EXPECT_EQ(clip.bottom, 28);
}

TEST_F(ToolBar, StyleZeroDrawsNoEdgeAndKeepsTheWholeControlInside) {
    ToolbarProps p;
    p.borderStyle = 0;
    VsToolBar bar = Make(p);
    EXPECT_EQ(test::CaptureClient(bar.hWnd()).Count(kBack), 100 * 30);
    EXPECT_EQ(bar.InnerArea(), (PixelRect{0, 0, 100, 30}));
}

TEST_F(ToolBar, IndexedBorderFlagsReadAllBitsAndWriteThem) {
    ToolbarProps p;
    p.borderStyle = edge::kRaisedOuter;
    VsToolBar bar = Make(p);
    EXPECT_FALSE(bar.BorderStyle(edge::kButton));
    bar.SetBorderStyle(edge::kRaisedInner, true);
    EXPECT_TRUE(bar.BorderStyle(edge::kButton));
    bar.SetBorderPart(part::kRect, true);
    EXPECT_EQ(bar.InnerArea(), (PixelRect{2, 2, 98, 28}));
    bar.SetBorderPart(part::kMono, true);
    EXPECT_TRUE(bar.BorderPart(part::kMono));
    bar.SetBorderPart(part::kTop | part::kLeft, false);
    EXPECT_FALSE(bar.BorderPart(part::kTop));
    EXPECT_TRUE(bar.BorderPart(part::kRight | part::kBottom));
}

TEST_F(ToolBar, EnabledAndLookReachOnlyContainedFlatButtons) {
    VsToolBar bar = Make();
    VsNetBut button;
    ASSERT_TRUE(button.Create(bar.hWnd(), 2, 2, 2, 24, 24));
    HWND other = test::CreateRecordingWindow(bar.hWnd());
    bar.SetEnabled(false);
    EXPECT_FALSE(IsWindowEnabled(button.hWnd()));
    EXPECT_FALSE(button.Props().enabled);
    EXPECT_TRUE(IsWindowEnabled(other));
    bar.SetEnabled(true);
    EXPECT_TRUE(IsWindowEnabled(button.hWnd()));
    bar.SetOffice2003Style(false);
    EXPECT_FALSE(button.Props().office2003Style);
    bar.SetOffice2003Style(true);
    EXPECT_TRUE(button.Props().office2003Style);
}

TEST_F(ToolBar, PropertiesRoundTripAndReadingPassesEnabledOn) {
    VsToolBar first = Make();
    first.SetBorderStyle(edge::kEtchInset, false);
    first.SetEnabled(false);
    MemoryPropertyBag bag;
    first.WriteProperties(bag);
    EXPECT_EQ(bag.Names(), (std::vector<std::wstring>{L"BackColor", L"BorderStyle", L"Enabled"}));
    VsToolBar second = Make();
    VsNetBut button;
    ASSERT_TRUE(button.Create(second.hWnd(), 2, 2, 2, 24, 24));
    second.ReadProperties(bag);
    EXPECT_EQ(second.Props().borderStyle, 0);
    EXPECT_FALSE(IsWindowEnabled(button.hWnd()));
}

TEST_F(ToolBar, SelfRegistrationLetsAnyModuleCreateTheControlsByClassName) {
    HMODULE library = GetModuleHandleW(L"OstrelMnu.dll");
    ASSERT_TRUE(library);
    using Entry = HRESULT(__stdcall*)();
    auto registerServer = reinterpret_cast<Entry>(reinterpret_cast<void*>(GetProcAddress(library, "DllRegisterServer")));
    ASSERT_TRUE(registerServer);
    EXPECT_EQ(registerServer(), S_OK);
    // Global classes: the program's own instance handle finds them.
    HWND bar = CreateWindowExW(0, L"VsToolBar", L"", WS_CHILD | WS_VISIBLE, 0, 0, 200, 40, host, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    HWND button = CreateWindowExW(0, L"VsNetBut", L"&P.播放", WS_CHILD | WS_VISIBLE, 2, 2, 60, 30, bar, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(bar && button);
    EXPECT_EQ(VsNetBut(button).Props().caption, L"&P.播放");
    EXPECT_EQ(VsToolBar(bar).Props().borderPart, part::kBottom);
    VsToolBar(bar).SetEnabled(false);
    EXPECT_FALSE(IsWindowEnabled(button));
}

}  // namespace
}  // namespace ostrel
