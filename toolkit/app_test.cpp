#include <gtest/gtest.h>

#include <chrono>

#include "toolkit/app.h"

namespace velmora::toolkit {
namespace {

TEST(App, TimerTicksRepeatedlyUntilStopped) {
    Timer timer;
    int ticks = 0;
    timer.Start(10, [&] {
        if (++ticks == 3) timer.Stop();
    });
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (timer.IsRunning() && std::chrono::steady_clock::now() < deadline) {
        PumpPendingMessages();
        Sleep(5);
    }
    EXPECT_EQ(ticks, 3);
    EXPECT_FALSE(timer.IsRunning());
}

TEST(App, PumpStopsAtAQuitRequestAndKeepsItForTheOuterLoop) {
    PostQuitMessage(7);
    EXPECT_FALSE(PumpPendingMessages());
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 7u);
}

TEST(App, SecondHolderOfTheNameLearnsOfTheFirst) {
    SingleInstance first(L"VelmoraToolkitTest");
    EXPECT_FALSE(first.AnotherIsRunning());
    SingleInstance second(L"VelmoraToolkitTest");
    EXPECT_TRUE(second.AnotherIsRunning());
}

TEST(App, MessageBoxesCarryTheApplicationTitle) {
    SetApplicationTitle(L"VelmoraFlash播放软件");
    EXPECT_EQ(ApplicationTitle(), L"VelmoraFlash播放软件");
}

}  // namespace
}  // namespace velmora::toolkit
