// The toolbar container's two flag words and the inner area its edge leaves free.
#pragma once

#include <cstdint>

#include "menulib/colors.h"
#include "menulib/geometry.h"

namespace ostrel {

// DrawEdge's edge kinds and border flags, as the container's indexed properties take them.
namespace edge {
constexpr int kRaisedOuter = 1, kSunkenOuter = 2, kRaisedInner = 4, kSunkenInner = 8;
constexpr int kButton = 5, kControl = 10, kEtchRaise = 9, kEtchInset = 6, kAll = 15;
}  // namespace edge
namespace part {
constexpr int kLeft = 1, kTop = 2, kRight = 4, kBottom = 8, kRect = 15;
constexpr int kMiddle = 2048, kSoft = 4096, kAdjust = 8192, kFlat = 16384;
constexpr int kMono = -32768;  // 0x8000 as a signed 16-bit value
constexpr int kAll = -2033;
}  // namespace part

// Flags are 16-bit words; negative indexes name the high bit, as the signed values above do.
constexpr bool HasAllFlags(int word, int flags) {
    const int bits = flags & 0xFFFF;
    return (word & bits) == bits;
}
constexpr int WithFlags(int word, int flags, bool on) {
    const int bits = flags & 0xFFFF;
    return on ? (word | bits) : (word & ~bits);
}

// Thickness of the edge: 2 for two-line kinds, 1 for a single line, 0 for none.
int EdgeThickness(int styleFlags);
// (0, 0, w, h) moved in by the thickness on every side the part flags draw.
PixelRect InnerArea(int width, int height, int styleFlags, int partFlags);

struct ToolbarProps {
    OleColor backColor = kSysButtonFace;
    OleColor foreColor = kSysWindowText;
    int borderStyle = edge::kEtchInset;
    int borderPart = part::kBottom;
    bool office2003Style = true;
    bool enabled = true;
};

}  // namespace ostrel
