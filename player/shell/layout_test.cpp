#include <gtest/gtest.h>

#include "player/shell/layout.h"

namespace velmora::player {
namespace {

ClientArea Area(bool panel = true, bool toolbar = true) {
    ClientArea area;
    area.innerWidth = 10035;
    area.innerHeight = 5820;
    area.panelVisible = panel;
    area.toolbarVisible = toolbar;
    return area;
}

TEST(Layout, PlayerStackWithAndWithoutToolbarAndPanel) {
    const struct {
        bool panel, toolbar;
        TwipsRect player;
    } cases[] = {
        {true, true, {100, 820, 6385, 4670}},
        {true, false, {100, 295, 6385, 5195}},  // the strip moves up to 100 below the menu bar
        {false, true, {100, 820, 9835, 4670}},  // the player takes the width less 200
    };
    for (const auto& c : cases) {
        const PlayerBlock block = ResizeSwfPlayer(Area(c.panel, c.toolbar));
        EXPECT_EQ(block.player, c.player);
        EXPECT_EQ(block.strip, (TwipsRect{100, c.player.top - kStripHeight, c.player.width, kStripHeight}));
        EXPECT_EQ(block.slider, (TwipsRect{100, c.player.top + c.player.height, c.player.width, kSliderHeight}));
        EXPECT_EQ(block.slider.top + kSliderHeight + 100, 5820);
    }
}

TEST(Layout, EnlargeCentresAndStopsAtTheFreeArea) {
    const ClientArea area = Area();
    // 2045 x 1.1 = 2249.5 and (230 + 1590 + 195) x 1.1 = 2216.5: halves go to the even neighbour.
    PlayerBlock block = EnlargeSwfPlayer(area, {100, 820, 2045, 1590});
    EXPECT_EQ(block.player.width, 2250);
    EXPECT_EQ(block.player.left, (6585 - 200 - 2250) / 2 + 100);
    const int blockTop = (5295 - 200 - 2216) / 2 + 525 + 100;
    EXPECT_EQ(block.strip.top, blockTop);
    EXPECT_EQ(block.player.top, blockTop + kStripHeight);
    EXPECT_EQ(block.player.height, 2216 - kSliderHeight - kStripHeight);
    EXPECT_EQ(EnlargeSwfPlayer(area, {100, 820, 2035, 1590}).player.width, 2238);

    // Already at the full area: it stays there.
    const PlayerBlock full = ResizeSwfPlayer(area);
    EXPECT_EQ(EnlargeSwfPlayer(area, full.player), full);
}

TEST(Layout, ShrinkRefusesTooSmallSteps) {
    const ClientArea area = Area();
    const auto block = ShrinkSwfPlayer(area, {100, 820, 4000, 3000});
    ASSERT_TRUE(block);
    EXPECT_EQ(block->player.width, 3636);
    EXPECT_EQ(block->player.left, (6585 - 3636) / 2);
    EXPECT_EQ(block->strip.top, (5295 - 3114) / 2 + 525);
    EXPECT_EQ(block->player.height, 3114 - kSliderHeight - kStripHeight);
    EXPECT_FALSE(ShrinkSwfPlayer(area, {100, 820, 3079, 3000}));  // 2799 wide
    EXPECT_TRUE(ShrinkSwfPlayer(area, {100, 820, 3080, 3000}));
    EXPECT_FALSE(ShrinkSwfPlayer(area, {100, 820, 4000, 674}));  // block 999
}

TEST(Layout, WindowResizeRules) {
    const struct {
        int w, h, panel;
        WindowSize result;
    } cases[] = {
        {8000, 6000, 4500, {8000, 6000, 3050}},
        {9050, 6000, 4500, {9050, 6000, 4500}},
        {5000, 4000, 3450, {6000, 5000, 3050}},
        {12000, 4999, 3450, {12000, 5000, 3450}},
    };
    for (const auto& c : cases) EXPECT_EQ(ConstrainWindow(c.w, c.h, c.panel), c.result) << c.w << "x" << c.h;
}

TEST(Layout, PanelParts) {
    const PanelLayout p = LayoutPanel(3450, 5940);
    EXPECT_EQ(p.rightTopWidth, 3400);
    EXPECT_EQ(p.closeLeft, 3130);
    EXPECT_EQ(p.listFrameHeight, 5590);
    EXPECT_EQ(p.listBack, (TwipsRect{160, 650, 3110, 4110}));
    EXPECT_EQ(p.list, (TwipsRect{230, 700, 2990, 3990}));
    EXPECT_EQ(p.headerLeft1, 160 + 3110 - 300);
    EXPECT_EQ(p.headerBarWidth, 2800);
    EXPECT_EQ(p.playControl, (TwipsRect{30, 4915, 3340, 645}));
}

TEST(Layout, SplitterStaysInItsRange) {
    EXPECT_EQ(SplitterDragWidth(3450, -2000), 4500);
    EXPECT_EQ(SplitterDragWidth(3450, 1000), 3050);
    EXPECT_EQ(SplitterDragWidth(3450, -300), 3750);
    EXPECT_EQ(SplitterReleaseWidth(10155, 3750), 3750);
    EXPECT_EQ(SplitterReleaseWidth(6500, 4000), 3050);  // less than 2800 left for the player
    EXPECT_EQ(SplitterReleaseWidth(10155, 0), 3050);    // press and release without a move
}

TEST(Layout, WelcomeAlignment) {
    EXPECT_EQ(WelcomeAlignMode(6001, 5251), 0);
    EXPECT_EQ(WelcomeAlignMode(6000, 9000), 5);
    EXPECT_EQ(WelcomeAlignMode(9000, 5250), 5);
}

}  // namespace
}  // namespace velmora::player
