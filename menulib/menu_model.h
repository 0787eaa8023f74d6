// The arithmetic of the skinned menus: colour blends, the icon column, item kinds and sizes,
// the mnemonic rule, the small glyphs, popup placement and the popup frame with its shadow.
// Everything here is portable so it can be checked without windows.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "menulib/colors.h"
#include "menulib/geometry.h"

namespace ostrel {

// Nearest integer of num / den (den > 0); an exact half goes to the even neighbour.
int64_t RoundRatioHalfEven(int64_t num, int64_t den);
// The same for a real value.
int RoundHalfEven(double value);

// Each channel (first x weight + second x (255 - weight)) / 255, rounded; both colours are
// already plain RGB.
OleColor MenuBlend(OleColor first, OleColor second, int weight);
// (R x 76 + G x 150 + B x 29) / 255, truncated.
int MenuLuminance(OleColor c);

// Height of "ABCHYg" in the menu font plus 8, at least the icon size plus 8: the icon strip's
// width, the height of every item but separators and the check box's size.
int IconColumnWidth(int textHeight, int bitmapSize);

enum class BarItemKind { Normal, RightJustified, Separator };
// Two leading spaces put an item at the right end of the bar; exactly one makes a separator.
BarItemKind ClassifyBarText(std::wstring_view text);
// The item type a bar item gets: owner-drawn plus right-justified or separator.
uint32_t BarItemType(BarItemKind kind);
constexpr uint32_t kOwnerDrawType = 0x100;
constexpr uint32_t kSeparatorType = 0x800;
constexpr uint32_t kRightJustifyType = 0x4000;
// The painted box of a right-justified bar item ends this much earlier.
constexpr int kRightJustifiedInset = 5;

// One converted menu item, as it was before conversion; restored from here.
struct ItemRecord {
    uintptr_t menu = 0;
    std::wstring text;
    uint32_t type = 0;
    bool bar = false;
    uint32_t id = 0;
};

// An item's text split at its first tab: the label and the accelerator, both without tabs and
// NULs. Without a tab a bar item's label is trimmed of spaces.
struct ItemText {
    std::wstring label;
    std::wstring accelerator;
    bool hasAccelerator = false;
};
ItemText SplitItemText(std::wstring_view text, bool bar);
std::wstring TrimSpaces(std::wstring_view text);

struct MeasureInput {
    bool bar = false;
    bool separator = false;
    bool singleSpace = false;  // a bar caption of one space
    bool hasAccelerator = false;
    int labelWidth = 0;
    int acceleratorWidth = 0;  // as measured, without the 8 spare pixels
    int acceleratorChars = 0;
    bool ntFamily = true;
    int icw = 0;
};
struct ItemSize {
    int width = 0;
    int height = 0;
    friend bool operator==(const ItemSize&, const ItemSize&) = default;
};
ItemSize MeasureMenuItem(const MeasureInput& in);
// The width given to an item whose record is unknown.
constexpr int kUnknownItemWidth = 40;

// The character after the last single "&" of the text, lower-cased; 0 when there is none.
wchar_t MnemonicOf(std::wstring_view text);
// The WM_MENUCHAR answer for a typed character over the items' texts (separators skipped by
// passing nullopt): 0x20000 + position of the first match (execute), nothing when none.
std::optional<int64_t> FindMnemonic(std::span<const std::optional<std::wstring>> texts, wchar_t typed);

// A one-pixel-wide vertical run of a glyph: column x, rows [top, bottom).
struct Column {
    int x = 0;
    int top = 0;
    int bottom = 0;
    friend bool operator==(const Column&, const Column&) = default;
};
std::vector<Column> CheckMarkColumns(int left, int top, int icw);
std::vector<Column> SubmenuArrowColumns(int top, int bottom, int right);
// A horizontal run: row y, columns [left, right).
struct Row {
    int y = 0;
    int left = 0;
    int right = 0;
    friend bool operator==(const Row&, const Row&) = default;
};
// The dotted separator of the bar: short dashes on odd rows around the item's centre.
std::vector<Row> BarSeparatorDashes(const PixelRect& item);

// Offset of the icon surface inside its item, on both axes.
int IconOffset(int icw, int bitmapSize);
// Weight of the shadow column k (0..2) right of an open bar item: 64, 43, 21.
int BarShadowWeight(int k);

// Client area of a skinned popup inside its window rectangle.
constexpr Insets kPopupClientInsets{1, 2, 4, 2};

struct PlacementInput {
    int x = 0, y = 0;           // proposed by the system
    int width = 0, height = 0;  // the popup window
    bool fromBar = false;       // the popup of a menu-bar item, else of a popup item
    PixelRect item;             // the selected item, screen coordinates
    bool rightJustified = false;
    int screenWidth = 0, screenHeight = 0;
};
struct Placement {
    int x = 0, y = 0;
    bool extendsRight = false;  // a right-justified item's popup was left where the system put it
    friend bool operator==(const Placement&, const Placement&) = default;
};
Placement PlacePopup(const PlacementInput& in);

// The frame image of a popup window of W x H with frame width h.
struct PopupFrame {
    int g = 0, k = 0, lim = 0, b = 0, n = 0;
    int c = 0, e = 0;  // the bottom shadow band's columns
    std::optional<PixelRect> jointErase;  // the border stretch shared with the bar item
    bool rightBandFromTop = false;        // right shadow starts at row 1 at full strength
};
struct JointInput {
    PixelRect item;    // the bar item, screen coordinates
    int firstTop = 0;  // top of the popup's first item
    int lastBottom = 0;  // bottom of its last item
    int screenHeight = 0;
    bool rightJustified = false;
    bool extendsRight = false;
    bool leftAligned = true;  // the popup's left edge is at the item's left edge
};
// Without a joint (popups of popup items) pass nothing.
PopupFrame LayoutPopupFrame(int width, int height, int frame, const std::optional<JointInput>& joint);

// Shadow weights for band i (0..2): the bottom row b + i at column x, the right column lim + i at row y.
int BottomShadowWeight(const PopupFrame& f, int i, int x);
int RightShadowWeight(const PopupFrame& f, int i, int y);

// Where a picture of w x h sits in an icon surface of s x s (raised and silhouette one up-left).
PixelPoint IconPicturePlace(int surface, int w, int h, bool shifted);

}  // namespace ostrel
