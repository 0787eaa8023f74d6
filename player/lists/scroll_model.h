// The arithmetic of the list control and of its scroll bar, kept apart from the windows so
// every rounding and edge rule can be checked without a screen.
#pragma once

#include <cstdint>

namespace velmora::lists {

// The smallest whole number not below x.
int32_t RoundEx(double x);
// To the nearest whole number, halves to the even neighbour.
int32_t RoundHalfEven(double x);

// ---- List --------------------------------------------------------------------------

// Whole rows that fit in the surface; 0 for a row height of 0 or less.
int32_t FullRows(int32_t surfaceHeight, int32_t itemHeight);
// The scroll bar's Max for that many items: the items that do not fit, never negative.
int32_t ListScrollMax(int32_t count, int32_t fullRows);

// Items from `first` to `last` (1-based, inclusive); empty when last < first.
struct ItemRange {
    int32_t first = 1;
    int32_t last = 0;
};
// The items a full redraw paints: from the top row to two past the partly shown rows.
ItemRange RedrawRange(int32_t count, int32_t scrollValue, int32_t surfaceHeight,
                      int32_t itemHeight);
int32_t RowTop(int32_t index, int32_t scrollValue, int32_t itemHeight);
// The position a pointer at y selects (no lower bound: y <= 0 gives scrollValue).
int32_t ItemAtY(double y, int32_t scrollValue, int32_t itemHeight);
// A position beyond the end becomes the last one; there is no lower bound.
int32_t ClampSelection(int32_t position, int32_t count);

// Rows used by IsVisible and ScrollTo: the rounded surface height integer-divided by rows.
int32_t VisibleRows(double surfaceHeight, int32_t itemHeight);
// The item lies in a fully shown row.
bool IsItemVisible(int32_t index, int32_t scrollValue, int32_t visibleRows);
// The scroll value that puts the item at the top, or the bottom of the list at the bottom.
int32_t ScrollToValue(int32_t index, int32_t count, int32_t visibleRows);

enum class AutoScroll : int16_t { None = 0, Up = 1, Down = 2 };
// Dragging past an edge: the new direction (exactly on an edge keeps the old one).
AutoScroll AutoScrollAt(double y, int32_t surfaceHeight, AutoScroll current);
// The pointer is on or past an edge, so the auto-scroll timer runs.
bool IsPastEdge(double y, int32_t surfaceHeight);

// ---- Scroll bar --------------------------------------------------------------------

// Pixel sizes of the bar at a screen DPI; at 96 DPI these are the design's 17-pixel
// arrows, 1-pixel track column and 10-pixel shortest thumb.
struct BarMetrics {
    int32_t width = 17;          // 255 twips
    int32_t arrow = 17;          // height of each arrow button
    int32_t pictureLeft = 1;     // arrows and thumb start here; the columns left show track
    int32_t minHeight = 34;      // 510 twips
    int32_t minThumbHeight = 47; // 705 twips: not taller than this shows no thumb
    int32_t minThumb = 10;
    int32_t topCap = 2;
    int32_t bottomCap = 3;
    int32_t gripStep = 1;        // spacing of the grip lines

    static BarMetrics ForDpi(int32_t dpi);
    int32_t Track(int32_t height) const { return height - 2 * arrow; }
};

enum class Zone : uint8_t { None = 0, UpArrow = 1, Thumb = 2, DownArrow = 3, TrackAbove = 4,
                            TrackBelow = 5, Left = 10 };
enum class ElementState : uint8_t { Normal = 0, Hot = 1, Pressed = 2 };
// The code of the element painted last: state × 5 + zone.
constexpr uint8_t PaintedCodeOf(ElementState state, Zone zone) {
    return static_cast<uint8_t>(static_cast<uint8_t>(state) * 5 + static_cast<uint8_t>(zone));
}

struct ThumbSize {
    int32_t length = 0;
    int32_t travel = 0;
};
// The thumb's length and travel, or false when the old ones must stay (bar too short,
// nothing to scroll or no page size).
bool CalcThumbLength(const BarMetrics& metrics, int32_t height, int32_t largeChange, int32_t max,
                     ThumbSize& size);
// The thumb's top for the value; positions count from 0, not from Min.
int32_t CalcThumbTop(const BarMetrics& metrics, int32_t height, int32_t value, int32_t max,
                     int32_t thumbLength);
// The first of the eight grip lines (`step` apart), drawn only when the thumb is longer
// than 15 steps.
int32_t GripTop(int32_t thumbTop, int32_t thumbLength, int32_t step);
bool ShowsGrip(int32_t thumbLength, int32_t step);
bool ShowsThumb(const BarMetrics& metrics, int32_t height);
Zone ZoneAt(const BarMetrics& metrics, double y, int32_t height, int32_t thumbTop,
            int32_t thumbLength);
bool IsOnThumb(double y, int32_t thumbTop, int32_t thumbLength);

// The value a thumb drag gives for the pointer at y, limited to min..max.
int32_t DragValue(int32_t pressValue, double y, double pressY, int32_t travel, int32_t min,
                  int32_t max);
// One step of a press on the zone (arrows by the small change, track by the large one).
int32_t StepValue(Zone zone, int32_t value, int32_t smallChange, int32_t largeChange,
                  int32_t min, int32_t max);

int32_t ClampValue(int32_t value, int32_t min, int32_t max);
int32_t CorrectMax(int32_t max);
int32_t CorrectMin(int32_t min);
// Page and line sizes outside their ranges are refused (the caller says so and stores 1).
bool IsValidLargeChange(int32_t largeChange);
bool IsValidSmallChange(int32_t smallChange);

}  // namespace velmora::lists
