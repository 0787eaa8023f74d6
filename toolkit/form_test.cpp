#include <gtest/gtest.h>

#include "toolkit/app.h"
#include "toolkit/form.h"

namespace velmora::toolkit {
namespace {

enum { kFrame = 10, kText = 11, kButton = 12, kLabel = 13 };

std::vector<ControlSpec> Controls() {
    return {
        {kFrame, ControlKind::Frame, 240, 180, 3000, 1500, L""},
        {kText, ControlKind::MultiLineReadOnly, 120, 210, 2700, 1200, L"", kFrame},
        {kButton, ControlKind::Button, 240, 1800, 1215, 495, L"&S.软件更新"},
        {kLabel, ControlKind::Label, 1800, 1800, 1200, 300, L"状态"},
    };
}

RECT ChildRect(HWND parent, HWND child) {
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

TEST(Form, PlacesControlsInTwipsAndInsideTheirFrame) {
    Form form({L"VelmoraFormTest", L"测试", 4000, 3000}, Controls());
    ASSERT_TRUE(form.Create());
    const RECT text = ChildRect(form.Handle(), form.Control(kText));
    EXPECT_EQ(text.left, TwipsToPixelsX(240 + 120));
    EXPECT_EQ(text.top, TwipsToPixelsY(180 + 210));
    EXPECT_EQ(text.right - text.left, TwipsToPixelsX(2700));
    RECT client;
    GetClientRect(form.Handle(), &client);
    EXPECT_EQ(client.right, TwipsToPixelsX(4000));
    EXPECT_EQ(client.bottom, TwipsToPixelsY(3000));
    EXPECT_EQ(form.ControlText(kButton), L"&S.软件更新");
    EXPECT_TRUE(GetWindowLongPtrW(form.Control(kText), GWL_STYLE) & ES_READONLY);
}

TEST(Form, AtNinetySixDpiFifteenTwipsArePixel) {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(TwipsToPixelsX(1440), dpi);
    if (dpi == 96) {
        EXPECT_EQ(TwipsToPixelsX(1500), 100);
    }
}

TEST(Form, ClicksReachTheirHandlerAndDisabledButtonsTakeNone) {
    Form form({L"VelmoraFormTest", L"测试", 4000, 3000}, Controls());
    ASSERT_TRUE(form.Create());
    int clicks = 0;
    form.OnClick(kButton, [&] { ++clicks; });
    SendMessageW(form.Control(kButton), BM_CLICK, 0, 0);
    EXPECT_EQ(clicks, 1);
    form.EnableControl(kButton, false);
    EXPECT_FALSE(form.IsControlEnabled(kButton));
    SendMessageW(form.Control(kButton), BM_CLICK, 0, 0);
    EXPECT_EQ(clicks, 1);
}

TEST(Form, UiFontHoldsChineseCharacters) {
    FontHandle font = CreateUiFont();
    ASSERT_TRUE(font);
    HDC screen = GetDC(nullptr);
    SelectScope select(screen, font.get());
    WORD glyph = 0xFFFF;
    GetGlyphIndicesW(screen, L"播", 1, &glyph, GGI_MARK_NONEXISTING_GLYPHS);
    ReleaseDC(nullptr, screen);
    EXPECT_NE(glyph, 0xFFFF) << "face " << Narrow(UiFontFace());
}

}  // namespace
}  // namespace velmora::toolkit
