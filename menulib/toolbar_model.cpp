#include "menulib/toolbar_model.h"

namespace ostrel {

int EdgeThickness(int styleFlags) {
    if (styleFlags > 3) return 2;
    if (styleFlags >= 1) return 1;
    return 0;
}

PixelRect InnerArea(int width, int height, int styleFlags, int partFlags) {
    const int t = EdgeThickness(styleFlags);
    PixelRect r{0, 0, width, height};
    if (partFlags & part::kLeft) r.left += t;
    if (partFlags & part::kTop) r.top += t;
    if (partFlags & part::kRight) r.right -= t;
    if (partFlags & part::kBottom) r.bottom -= t;
    return r;
}

}  // namespace ostrel
