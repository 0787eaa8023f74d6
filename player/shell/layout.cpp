#include "player/shell/layout.h"

#include <algorithm>

#include "player/lists/scroll_model.h"

namespace velmora::player {

namespace {
// Strip and slider against the player.
PlayerBlock AroundPlayer(const ClientArea& area, const TwipsRect& player) {
    PlayerBlock block;
    block.player = player;
    block.slider = {player.left, player.top + player.height, player.width, area.sliderHeight};
    block.strip = {player.left, player.top - area.stripHeight, player.width, area.stripHeight};
    return block;
}

int32_t FreeHeight(const ClientArea& area) { return area.innerHeight - area.TopBand(); }

PlayerBlock PlaceBlock(const ClientArea& area, int32_t left, int32_t blockTop, int32_t width, int32_t blockHeight) {
    return AroundPlayer(area, {left, blockTop + area.stripHeight, width,
                               blockHeight - area.sliderHeight - area.stripHeight});
}
}  // namespace

PlayerBlock ResizeSwfPlayer(const ClientArea& area) {
    const int32_t top = area.TopBand() + 100 + area.stripHeight;
    const int32_t height = area.innerHeight - area.TopBand() - 200 - area.sliderHeight - area.stripHeight;
    return AroundPlayer(area, {100, top, area.FreeWidth() - 200, height});
}

PlayerBlock EnlargeSwfPlayer(const ClientArea& area, const TwipsRect& player) {
    const int32_t freeWidth = area.FreeWidth(), freeHeight = FreeHeight(area);
    int32_t width = lists::RoundHalfEven(player.width * 1.1);
    int32_t block = lists::RoundHalfEven((area.sliderHeight + player.height + area.stripHeight) * 1.1);
    int32_t left = 100, top = area.TopBand() + 100;
    if (width < freeWidth - 200) left = (freeWidth - 200 - width) / 2 + 100;
    else width = freeWidth - 200;
    if (block < freeHeight - 200) top = (freeHeight - 200 - block) / 2 + area.TopBand() + 100;
    else block = freeHeight - 200;
    return PlaceBlock(area, left, top, width, block);
}

std::optional<PlayerBlock> ShrinkSwfPlayer(const ClientArea& area, const TwipsRect& player) {
    const int32_t width = lists::RoundHalfEven(player.width / 1.1);
    const int32_t block = lists::RoundHalfEven((area.sliderHeight + player.height + area.stripHeight) / 1.1);
    if (width < 2800 || block < 1000) return std::nullopt;
    const int32_t left = (area.FreeWidth() - width) / 2;
    const int32_t top = (FreeHeight(area) - block) / 2 + area.TopBand();
    return PlaceBlock(area, left, top, width, block);
}

WindowSize ConstrainWindow(int32_t width, int32_t height, int32_t panelWidth) {
    WindowSize size{width, height, panelWidth};
    if (width < kNarrowWindow) {
        size.panelWidth = kPanelMinWidth;
        if (width < kMinWindowWidth) size.width = kMinWindowWidth;
    }
    if (height < kMinWindowHeight) size.height = kMinWindowHeight;
    return size;
}

PanelLayout LayoutPanel(int32_t width, int32_t height) {
    PanelLayout p;
    p.rightTopWidth = width - 50;
    p.closeLeft = width - 320;
    p.listFrameHeight = height - 350;
    p.listFrameWidth = p.rightTopWidth;
    p.listBack = {160, 650, width - 340, p.listFrameHeight - 1480};
    p.list = {230, 700, width - 460, height - 1950};
    p.headerLeft0 = p.listBack.left;
    p.headerLeft1 = p.listBack.left + p.listBack.width - 300;
    p.headerBarWidth = p.listBack.width - 310;
    p.playControl = {30, p.listFrameHeight - 675, p.listFrameWidth - 60, 645};
    return p;
}

int32_t SplitterDragWidth(int32_t panelWidth, int32_t pointerX) {
    return std::clamp(panelWidth - pointerX, kPanelMinWidth, kPanelMaxWidth);
}

int32_t SplitterReleaseWidth(int32_t windowWidth, int32_t splitWidth) {
    if (windowWidth - splitWidth < 2800) return kPanelMinWidth;
    return std::clamp(splitWidth, kPanelMinWidth, kPanelMaxWidth);
}

int32_t WelcomeAlignMode(int32_t playerWidth, int32_t playerHeight) {
    return playerWidth > 6000 && playerHeight > 5250 ? 0 : 5;
}

}  // namespace velmora::player
