// flash.exe: runs without a window, and carries the document icon where the association
// looks for it.
#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>

#include "tests/e2e/support/programs.h"

namespace velmora::e2e {
namespace {

using namespace std::chrono_literals;

TEST(IconCarrier, RunsWithoutAWindowAndEndsAtOnce) {
    Process flash(BuiltProgramsFolder() + L"\\flash.exe");
    ASSERT_TRUE(flash.Started());
    EXPECT_EQ(flash.WaitForExit(10s), 0u);
    EXPECT_EQ(CountWindows(L"Form1"), 0);
}

TEST(IconCarrier, CarriesTheIconImageAndTwoGroups) {
    const std::wstring path = BuiltProgramsFolder() + L"\\flash.exe";
    HMODULE module = LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr);
    HRSRC image = FindResourceW(module, MAKEINTRESOURCEW(30001), MAKEINTRESOURCEW(3));  // RT_ICON
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(SizeofResource(module, image), 3240u);
    const auto* header = static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(module, image)));
    EXPECT_EQ(header->biWidth, 32);
    EXPECT_EQ(header->biHeight, 64);  // colours and mask
    EXPECT_EQ(header->biBitCount, 24);
    for (int group : {1, 2})
        EXPECT_NE(FindResourceW(module, MAKEINTRESOURCEW(group), MAKEINTRESOURCEW(14)), nullptr) << group;
    HRSRC version = FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(16));  // RT_VERSION
    EXPECT_NE(version, nullptr);
    FreeLibrary(module);
}

TEST(IconCarrier, ShellFindsTheDocumentPictureAtIndexOne) {
    const std::wstring path = BuiltProgramsFolder() + L"\\flash.exe";
    EXPECT_EQ(ExtractIconExW(path.c_str(), -1, nullptr, nullptr, 0), 2u);
    HICON large = nullptr;
    ASSERT_EQ(ExtractIconExW(path.c_str(), 1, &large, nullptr, 1), 1u);
    ASSERT_NE(large, nullptr);
    // Draw it on grey: the page is white, the badge blue-grey, outside the page stays grey.
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 32, 32);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    RECT all{0, 0, 32, 32};
    HBRUSH grey = CreateSolidBrush(RGB(90, 90, 90));
    FillRect(dc, &all, grey);
    DrawIconEx(dc, 0, 0, large, 32, 32, 0, nullptr, DI_NORMAL);
    EXPECT_EQ(GetPixel(dc, 1, 16), RGB(90, 90, 90)) << "left of the page is transparent";
    EXPECT_EQ(GetPixel(dc, 8, 4), RGB(255, 255, 255)) << "the page";
    const COLORREF badge = GetPixel(dc, 11, 23);
    EXPECT_GT(GetBValue(badge), GetRValue(badge)) << "blue-grey badge";
    EXPECT_LT(GetBValue(badge), 200);
    SelectObject(dc, old);
    DeleteObject(grey);
    DeleteObject(bitmap);
    DeleteDC(dc);
    DestroyIcon(large);
}

}  // namespace
}  // namespace velmora::e2e
