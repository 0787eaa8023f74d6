// An exported EXE made by hand (projector + movie + trailer) started for real.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "projector/trailer.h"
#include "tests/e2e/support/programs.h"
#include "toolkit/window.h"
#include "tools/swfgen/samples.h"

namespace velmora::e2e {
namespace {

using namespace std::chrono_literals;

std::string ProjectorBytes() {
    std::wstring path = L"Z:" + toolkit::Widen(VELMORA_PROJECTOR_EXE);
    for (wchar_t& c : path)
        if (c == L'/') c = L'\\';
    std::ifstream in(path.c_str(), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// The colour on screen at a point of a window's client area.
COLORREF ScreenPixel(HWND window, int x, int y) {
    POINT at{x, y};
    ClientToScreen(window, &at);
    HDC screen = GetDC(nullptr);
    const COLORREF colour = GetPixel(screen, at.x, at.y);
    ReleaseDC(nullptr, screen);
    return colour;
}

TEST(Projector, PlaysTheAppendedMovieAtItsStageSize) {
    InstallFolder folder;
    const std::string program = ProjectorBytes();
    ASSERT_FALSE(program.empty());
    const std::vector<uint8_t> movie = swfgen::FindSample("shapes")->build(swf::Compression::Zlib);
    const std::vector<uint8_t> exported = projector::AppendMovie(
        {reinterpret_cast<const uint8_t*>(program.data()), program.size()}, movie);
    ASSERT_TRUE(folder.Write(L"演示影片.exe", std::string(exported.begin(), exported.end())));

    Process player(folder.File(L"演示影片.exe"));
    ASSERT_TRUE(player.Started());
    HWND window = WaitForWindow(player.Id(), L"演示影片", 15s);
    ASSERT_NE(window, nullptr);
    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, 200);
    EXPECT_EQ(client.bottom, 150);
    Sleep(500);  // let the first frame reach the screen
    EXPECT_EQ(ScreenPixel(window, 40, 30), RGB(220, 40, 40)) << "the red rectangle";
    EXPECT_EQ(ScreenPixel(window, 195, 5), RGB(255, 255, 255)) << "the white background";

    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(player.WaitForExit(10s), 0u);
}

TEST(Projector, WithoutAMovieItSaysSoAndEnds) {
    InstallFolder folder;
    ASSERT_TRUE(folder.Write(L"empty.exe", ProjectorBytes()));
    Process player(folder.File(L"empty.exe"));
    HWND box = WaitForMessageBox(player.Id(), L"empty", 15s);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(MessageBoxText(box), L"此程序中没有附加的 Flash 影片，无法播放。");
    PressDialogButton(box, IDOK);
    EXPECT_EQ(player.WaitForExit(10s), 1u);
}

}  // namespace
}  // namespace velmora::e2e
