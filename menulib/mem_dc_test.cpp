#include <gtest/gtest.h>

#include "menulib/mem_dc.h"

namespace ostrel {
namespace {

constexpr OleColor kRed = Rgb(255, 0, 0);
constexpr OleColor kBlue = Rgb(0, 0, 255);
constexpr OleColor kWhite = Rgb(255, 255, 255);

TEST(MemDC, FillRectWithRightAndBottomBeforeTheStartRunsToTheCorner) {
    MemDC s;
    ASSERT_TRUE(s.Init(20, 10));
    EXPECT_TRUE(s.IsMemoryDC());
    s.Cls(kWhite);
    s.FillRect(5, 5, 0, 0, kRed);
    EXPECT_EQ(s.GetPixel(4, 4), kWhite);
    EXPECT_EQ(s.GetPixel(4, 9), kWhite);
    EXPECT_EQ(s.GetPixel(5, 5), kRed);
    EXPECT_EQ(s.GetPixel(19, 9), kRed);
}

TEST(MemDC, BitBltOfSizeZeroCopiesTheWholeSurface) {
    MemDC source, target;
    source.Init(12, 8);
    target.Init(30, 30);
    source.Cls(kBlue);
    target.Cls(kWhite);
    source.BitBlt(target.Hdc(), 3, 4);
    EXPECT_EQ(target.GetPixel(3, 4), kBlue);
    EXPECT_EQ(target.GetPixel(14, 11), kBlue);
    EXPECT_EQ(target.GetPixel(15, 11), kWhite);
    EXPECT_EQ(target.GetPixel(14, 12), kWhite);
}

TEST(MemDC, DestroyingAWrapperLeavesTheOwnersContextUsable) {
    MemDC owner;
    owner.Init(10, 10);
    owner.Cls(kWhite);
    {
        MemDC wrapper;
        wrapper.Init(10, 10, nullptr, owner.Hdc());
        EXPECT_FALSE(wrapper.IsMemoryDC());
        wrapper.FillRect(0, 0, 5, 5, kRed, nullptr);
        wrapper.Destroy();
        EXPECT_FALSE(wrapper.IsCreated());
    }
    EXPECT_EQ(owner.GetPixel(1, 1), kRed);
    owner.SetPixel(8, 8, kBlue);
    EXPECT_EQ(owner.GetPixel(8, 8), kBlue);
}

TEST(MemDC, TransBltLeavesOutOnlyTheMaskColour) {
    MemDC source, target;
    source.Init(4, 1);
    target.Init(4, 1);
    target.Cls(kWhite);
    source.Cls(kBlue);
    source.SetPixel(2, 0, kRed);
    source.TransBlt(target.Hdc(), 0, 0, 0, 0, 0, 0, Rgb(1, 2, 3));  // a mask that occurs nowhere
    EXPECT_EQ(target.GetPixel(0, 0), kBlue);
    EXPECT_EQ(target.GetPixel(2, 0), kRed);
    target.Cls(kWhite);
    source.TransBlt(target.Hdc(), 0, 0, 4, 1, 0, 0, kRed);
    EXPECT_EQ(target.GetPixel(2, 0), kWhite);
    EXPECT_EQ(target.GetPixel(3, 0), kBlue);
}

TEST(MemDC, RectangleOutlineAndLineEndStayInsideTheirEnds) {
    MemDC s;
    s.Init(10, 10);
    s.Cls(kWhite);
    s.Rectangle(1, 1, 6, 6, kBlue, nullptr, kRed);
    EXPECT_EQ(s.GetPixel(1, 1), kRed);
    EXPECT_EQ(s.GetPixel(5, 5), kRed);
    EXPECT_EQ(s.GetPixel(6, 6), kWhite);
    EXPECT_EQ(s.GetPixel(3, 3), kBlue);
    s.DrawLine(0, 8, 4, 8, kBlue);
    EXPECT_EQ(s.GetPixel(3, 8), kBlue);
    EXPECT_EQ(s.GetPixel(4, 8), kWhite);
    s.DrawLine(-1, 0, 4, 9, kRed);  // continues from (4, 8)
    EXPECT_EQ(s.GetPixel(4, 8), kRed);
}

TEST(MemDC, VerticalGradientRunsFromFirstToSecondColourAndFrames) {
    MemDC s;
    s.Init(10, 40);
    s.FillGradient(0, 0, 10, 40, Rgb(0, 0, 0), Rgb(0, 0, 200), true, true, kRed);
    EXPECT_EQ(s.GetPixel(0, 0), kRed);
    const OleColor top = s.GetPixel(5, 1);
    const OleColor bottom = s.GetPixel(5, 38);
    EXPECT_LT(BlueOf(top), 20);
    EXPECT_GT(BlueOf(bottom), 180);
    EXPECT_EQ(s.GetPixel(1, 20), s.GetPixel(8, 20));  // vertical: rows are even
}

TEST(MemDC, ColoursPicturesAndPatterns) {
    MemDC s;
    EXPECT_EQ(s.TranslateColor(kNoColor), kNoColor);
    EXPECT_EQ(s.TranslateColor(kSysButtonFace), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(s.TranslateColor(0x01ABCDEF), 0xABCDEFu);
    s.FillRect(0, 0, 1, 1, kRed);  // not created: nothing happens
    EXPECT_EQ(s.GetPixel(0, 0), 0u);

    int l = 9, t = 8, r = 1, b = 2;
    MemDC::NormalizeRect(l, t, r, b);
    EXPECT_EQ(l, 1);
    EXPECT_EQ(r, 9);
    EXPECT_EQ(t, 2);
    EXPECT_EQ(b, 8);

    // A picture paints its own size onto a surface it creates, leaving out the mask colour.
    MemDC art;
    art.Init(6, 4);
    art.Cls(kBlue);
    art.SetPixel(0, 0, kRed);
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 6, 4);
    ReleaseDC(nullptr, screen);
    {
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ previous = SelectObject(dc, bitmap);
        art.BitBlt(dc, 0, 0);
        SelectObject(dc, previous);
        DeleteDC(dc);
    }
    const Picture picture = MemDC::BitmapToPicture(bitmap);
    EXPECT_EQ(picture.PixelSize().cx, 6);
    EXPECT_EQ(picture.PixelSize().cy, 4);
    MemDC canvas;
    canvas.PaintPicture(picture);
    EXPECT_EQ(canvas.Width(), 6);
    EXPECT_EQ(canvas.GetPixel(5, 3), kBlue);
    canvas.Cls(kWhite);
    canvas.PaintPicture(picture, 0, 0, 0, 0, 0, 0, SRCCOPY, kRed);
    EXPECT_EQ(canvas.GetPixel(0, 0), kWhite);
    EXPECT_EQ(canvas.GetPixel(1, 0), kBlue);

    canvas.Cls(kNoColor, canvas.DotBrush());
    EXPECT_NE(canvas.GetPixel(0, 0), canvas.GetPixel(1, 0));
    EXPECT_EQ(canvas.GetPixel(0, 0), canvas.GetPixel(1, 1));
}

}  // namespace
}  // namespace ostrel
