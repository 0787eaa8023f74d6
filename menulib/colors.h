// OLE colours and the colour arithmetic shared by the controls.
#pragma once

#include <cstdint>

namespace ostrel {

// 0x00BBGGRR, or with the top bit set a system colour named by its index.
using OleColor = uint32_t;

constexpr OleColor kNoColor = 0xFFFFFFFFu;  // "-1": no colour where a colour is optional
constexpr OleColor kSystemColorFlag = 0x80000000u;
constexpr OleColor kSysButtonFace = kSystemColorFlag | 15;
constexpr OleColor kSysWindowText = kSystemColorFlag | 8;
constexpr OleColor kSysButtonText = kSystemColorFlag | 18;

constexpr OleColor Rgb(int r, int g, int b) {
    return static_cast<OleColor>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int RedOf(OleColor c) { return static_cast<int>(c & 0xFF); }
constexpr int GreenOf(OleColor c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int BlueOf(OleColor c) { return static_cast<int>((c >> 16) & 0xFF); }

constexpr bool IsSystemColor(OleColor c) { return c != kNoColor && (c & kSystemColorFlag) != 0; }
constexpr int SystemColorIndex(OleColor c) { return static_cast<int>(c & 0xFF); }

// A channel widened to the 16 bits the system gradient fill takes (value x 256).
constexpr uint16_t GradientChannel(int value) { return static_cast<uint16_t>((value & 0xFF) << 8); }

// `over` laid on `under` with coverage alpha (0 = only under, 255 = only over), rounded.
OleColor Blend(OleColor under, OleColor over, int alpha);

// Perceived brightness 0..255 (ITU-R 601 weights).
int Luminance(OleColor c);

}  // namespace ostrel
