// The main window's geometry in twips: the player block, the right panel, the splitter and
// the two window-zoom steps. Pure arithmetic, so every number can be checked.
#pragma once

#include <cstdint>
#include <optional>

namespace velmora::player {

struct TwipsRect {
    int32_t left = 0, top = 0, width = 0, height = 0;
    bool operator==(const TwipsRect&) const = default;
};

inline constexpr int32_t kMainWidth = 10155, kMainHeight = 6510;
inline constexpr int32_t kMinWindowWidth = 6000, kMinWindowHeight = 5000;
inline constexpr int32_t kNarrowWindow = 9050;
inline constexpr int32_t kPanelWidth = 3450, kPanelMinWidth = 3050, kPanelMaxWidth = 4500;
inline constexpr int32_t kToolbarHeight = 525, kSliderHeight = 230, kStripHeight = 195;

// What the player's placement depends on.
struct ClientArea {
    int32_t innerWidth = 0, innerHeight = 0;
    bool panelVisible = true;
    int32_t panelWidth = kPanelWidth;
    bool toolbarVisible = true;
    int32_t toolbarHeight = kToolbarHeight;
    int32_t sliderHeight = kSliderHeight;
    int32_t stripHeight = kStripHeight;

    int32_t FreeWidth() const { return innerWidth - (panelVisible ? panelWidth : 0); }
    int32_t TopBand() const { return toolbarVisible ? toolbarHeight : 0; }
};

// The strip above the player, the player, the slider below it.
struct PlayerBlock {
    TwipsRect strip, player, slider;
    bool operator==(const PlayerBlock&) const = default;
};

// Top band, 100, strip, player, slider, 100; margins of 100 left and right.
PlayerBlock ResizeSwfPlayer(const ClientArea& area);
// The window-zoom steps from the player's current rectangle; nothing when a shrink step
// would make it too small.
PlayerBlock EnlargeSwfPlayer(const ClientArea& area, const TwipsRect& player);
std::optional<PlayerBlock> ShrinkSwfPlayer(const ClientArea& area, const TwipsRect& player);

// Window resize: the panel width and window size the rules leave.
struct WindowSize {
    int32_t width = 0, height = 0, panelWidth = 0;
    bool operator==(const WindowSize&) const = default;
};
WindowSize ConstrainWindow(int32_t width, int32_t height, int32_t panelWidth);

// Places inside the right panel of width W and height H.
struct PanelLayout {
    int32_t rightTopWidth = 0, closeLeft = 0;
    int32_t listFrameWidth = 0, listFrameHeight = 0;
    TwipsRect listBack, list, playControl;
    int32_t headerLeft0 = 0, headerLeft1 = 0, headerBarWidth = 0;
};
PanelLayout LayoutPanel(int32_t width, int32_t height);

// The splitter: width proposed while dragging (held to 3050..4500) and the width applied on
// release.
int32_t SplitterDragWidth(int32_t panelWidth, int32_t pointerX);
int32_t SplitterReleaseWidth(int32_t windowWidth, int32_t splitWidth);

// The welcome movie is centred (0) in a large player, pinned top-left (5) in a small one.
int32_t WelcomeAlignMode(int32_t playerWidth, int32_t playerHeight);

}  // namespace velmora::player
