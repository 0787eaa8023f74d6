#include "menulib/colors.h"

#include <algorithm>

namespace ostrel {

OleColor Blend(OleColor under, OleColor over, int alpha) {
    alpha = std::clamp(alpha, 0, 255);
    auto mix = [alpha](int a, int b) { return (a * (255 - alpha) + b * alpha + 127) / 255; };
    return Rgb(mix(RedOf(under), RedOf(over)), mix(GreenOf(under), GreenOf(over)),
               mix(BlueOf(under), BlueOf(over)));
}

int Luminance(OleColor c) {
    return (RedOf(c) * 299 + GreenOf(c) * 587 + BlueOf(c) * 114 + 500) / 1000;
}

}  // namespace ostrel
