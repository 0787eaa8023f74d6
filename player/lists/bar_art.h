// The scroll bar's pictures and colours in its three schemes (0 blue, 1 olive, 2 silver).
// The pictures are drawn here at any pixel size, so the bar stays sharp at every DPI;
// they keep the picture numbers the bar has always addressed them by.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "player/lists/scroll_model.h"

namespace velmora::lists {

// Colours are 0xRRGGBB.
using Rgb = uint32_t;

enum Picture : int32_t {
    kPicNone = 0,
    kPicTrackBlueOlive = 9130,
    kPicBlueTopCap = 9131,
    kPicBlueBottomCap = 9132,
    kPicBlueCapBase = 9133,
    kPicBlueUp = 9136,     // normal, hot, pressed follow
    kPicBlueDown = 9139,
    kPicOliveTopCap = 9142,
    kPicOliveBottomCap = 9143,
    kPicOliveCapBase = 9144,
    kPicOliveUp = 9147,
    kPicOliveDown = 9150,
    kPicTrackSilver = 9153,
    kPicSilverTopCap = 9154,
    kPicSilverBottomCap = 9155,
    kPicSilverCapBase = 9156,
    kPicSilverUp = 9159,
    kPicSilverDown = 9162,
    kPicDisabledUp = 9260,
    kPicDisabledDown = 9261,
    kPicTrackHotBlueOlive = 9264,
    kPicTrackHotSilver = 9265,
};

// Thumb body colours of a scheme: state (normal, hot, pressed), then column 0 to 15.
using SchemeColorTable = std::array<std::array<Rgb, 16>, 3>;
// Schemes 0 and 1 by number; every other value gets the silver rows.
const SchemeColorTable& SchemeColors(int32_t scheme);

struct GripColors {
    Rgb light;
    Rgb dark;
};
GripColors GripColorsOf(int32_t scheme);
// The top cap is this number − 2, the bottom cap this number − 1.
int32_t ThumbPicBase(int32_t scheme);

// The arrow picture for a scheme and state; a disabled bar has its own pair for every
// scheme; schemes other than 0 to 2 have none (kPicNone).
int32_t ArrowPicture(int32_t scheme, bool down, ElementState state, bool enabled);
// The track strip, plain or highlighted: silver has its own, every other scheme the
// blue-olive one.
int32_t TrackPicture(int32_t scheme, bool highlighted);

// The design size of a picture (16 × 17 arrows, 16 × 2 and 16 × 3 caps, 17 × 1 strips);
// 0 × 0 for an unknown number.
struct PictureSize {
    int32_t width = 0;
    int32_t height = 0;
};
PictureSize DesignSize(int32_t picture);

// A picture drawn at width × height, rows from the top, 0xRRGGBB pixels.
struct Image {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<Rgb> pixels;
    Rgb At(int32_t x, int32_t y) const { return pixels[static_cast<size_t>(y * width + x)]; }
};
// Empty for an unknown number or a size of 0.
Image RenderPicture(int32_t picture, int32_t width, int32_t height);

}  // namespace velmora::lists
