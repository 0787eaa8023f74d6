#include "player/lists/scroll_model.h"

#include <algorithm>
#include <cmath>

namespace velmora::lists {

int32_t RoundEx(double x) { return static_cast<int32_t>(std::ceil(x)); }

// nearbyint follows the default rounding mode, which is to nearest with ties to even.
int32_t RoundHalfEven(double x) { return static_cast<int32_t>(std::nearbyint(x)); }

int32_t FullRows(int32_t surfaceHeight, int32_t itemHeight) {
    if (itemHeight <= 0 || surfaceHeight <= 0) return 0;
    return surfaceHeight / itemHeight;
}

int32_t ListScrollMax(int32_t count, int32_t fullRows) { return std::max(count - fullRows, 0); }

ItemRange RedrawRange(int32_t count, int32_t scrollValue, int32_t surfaceHeight,
                      int32_t itemHeight) {
    if (itemHeight <= 0) return {};
    const int32_t rows = RoundEx(static_cast<double>(surfaceHeight) / itemHeight);
    return {scrollValue + 1, std::min(count, scrollValue + rows + 2)};
}

int32_t RowTop(int32_t index, int32_t scrollValue, int32_t itemHeight) {
    return itemHeight * (index - scrollValue - 1);
}

int32_t ItemAtY(double y, int32_t scrollValue, int32_t itemHeight) {
    if (itemHeight <= 0) return scrollValue;
    return scrollValue + RoundEx(y / itemHeight);
}

int32_t ClampSelection(int32_t position, int32_t count) { return std::min(position, count); }

int32_t VisibleRows(double surfaceHeight, int32_t itemHeight) {
    if (itemHeight <= 0) return 0;
    return RoundHalfEven(surfaceHeight) / itemHeight;
}

bool IsItemVisible(int32_t index, int32_t scrollValue, int32_t visibleRows) {
    return scrollValue < index && index < scrollValue + visibleRows + 1;
}

int32_t ScrollToValue(int32_t index, int32_t count, int32_t visibleRows) {
    return visibleRows + index < count ? index - 1 : count - visibleRows;
}

AutoScroll AutoScrollAt(double y, int32_t surfaceHeight, AutoScroll current) {
    if (y < 0) return AutoScroll::Up;
    if (y > surfaceHeight) return AutoScroll::Down;
    return current;
}

bool IsPastEdge(double y, int32_t surfaceHeight) { return y <= 0 || y >= surfaceHeight; }

BarMetrics BarMetrics::ForDpi(int32_t dpi) {
    if (dpi <= 0) dpi = 96;
    const double scale = dpi / 96.0;
    const auto scaled = [scale](double design) { return std::max(1, RoundHalfEven(design * scale)); };
    BarMetrics m;
    // 255 twips, rounded the way MulDiv rounds.
    m.width = static_cast<int32_t>((255LL * dpi + 720) / 1440);
    m.arrow = scaled(17);
    m.pictureLeft = std::max(1, m.width - scaled(16));
    m.minHeight = 2 * m.arrow;
    m.minThumbHeight = static_cast<int32_t>((705LL * dpi + 720) / 1440);
    m.minThumb = scaled(10);
    m.topCap = scaled(2);
    m.bottomCap = scaled(3);
    m.gripStep = scaled(1);
    return m;
}

bool CalcThumbLength(const BarMetrics& metrics, int32_t height, int32_t largeChange, int32_t max,
                     ThumbSize& size) {
    if (height <= metrics.minHeight || largeChange <= 0 || max <= 0) return false;
    const int32_t track = metrics.Track(height);
    const double share = static_cast<double>(largeChange) / (static_cast<double>(largeChange) + max);
    size.length = std::max(RoundHalfEven(share * track), metrics.minThumb);
    size.travel = track - size.length;
    return true;
}

int32_t CalcThumbTop(const BarMetrics& metrics, int32_t height, int32_t value, int32_t max,
                     int32_t thumbLength) {
    if (value <= 0 || max <= 0) return metrics.arrow;
    const double travel = metrics.Track(height) - thumbLength;
    return RoundHalfEven(travel / max * value + metrics.arrow);
}

int32_t GripTop(int32_t thumbTop, int32_t thumbLength, int32_t step) {
    return RoundHalfEven(thumbLength / 2.0 - 4.0 * step + thumbTop);
}

bool ShowsGrip(int32_t thumbLength, int32_t step) { return thumbLength > 15 * step; }

bool ShowsThumb(const BarMetrics& metrics, int32_t height) {
    return height > metrics.minThumbHeight;
}

bool IsOnThumb(double y, int32_t thumbTop, int32_t thumbLength) {
    return thumbTop <= y && y <= thumbTop + thumbLength;
}

Zone ZoneAt(const BarMetrics& metrics, double y, int32_t height, int32_t thumbTop,
            int32_t thumbLength) {
    if (y <= metrics.arrow) return Zone::UpArrow;
    if (IsOnThumb(y, thumbTop, thumbLength)) return Zone::Thumb;
    if (y >= height - metrics.arrow) return Zone::DownArrow;
    return y < thumbTop ? Zone::TrackAbove : Zone::TrackBelow;
}

int32_t ClampValue(int32_t value, int32_t min, int32_t max) {
    if (value < min) return min;
    if (value > max) return max;
    return value;
}

int32_t DragValue(int32_t pressValue, double y, double pressY, int32_t travel, int32_t min,
                  int32_t max) {
    if (travel <= 0) return ClampValue(pressValue, min, max);
    const int32_t value = RoundHalfEven(pressValue + (y - pressY) / travel * max);
    return ClampValue(value, min, max);
}

int32_t StepValue(Zone zone, int32_t value, int32_t smallChange, int32_t largeChange,
                  int32_t min, int32_t max) {
    switch (zone) {
        case Zone::UpArrow: return std::max(value - smallChange, min);
        case Zone::DownArrow: return std::min(value + smallChange, max);
        case Zone::TrackAbove: return std::max(value - largeChange, min);
        case Zone::TrackBelow: return std::min(value + largeChange, max);
        default: return value;
    }
}

int32_t CorrectMax(int32_t max) { return max < 0 ? 32767 : max; }

int32_t CorrectMin(int32_t min) { return min < 0 || min > 32767 ? 0 : min; }

bool IsValidLargeChange(int32_t largeChange) { return largeChange >= 0 && largeChange <= 10000; }

bool IsValidSmallChange(int32_t smallChange) { return smallChange >= 0 && smallChange <= 32767; }

}  // namespace velmora::lists
