// Pixel rectangles and points of the control library's layout arithmetic.
#pragma once

namespace ostrel {

struct PixelPoint {
    int x = 0;
    int y = 0;
    friend bool operator==(const PixelPoint&, const PixelPoint&) = default;
};

// Right and bottom are exclusive, as in a Win32 RECT.
struct PixelRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

struct Insets {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

inline PixelRect Inset(const PixelRect& r, const Insets& by) {
    return {r.left + by.left, r.top + by.top, r.right - by.right, r.bottom - by.bottom};
}

}  // namespace ostrel
