#include "player/lists/bar_art.h"

#include <gtest/gtest.h>

namespace velmora::lists {
namespace {

int Luminance(Rgb c) { return ((c >> 16) & 0xFF) * 3 + ((c >> 8) & 0xFF) * 6 + (c & 0xFF); }

TEST(BarArt, SchemeTablesAndPictureNumbers) {
    EXPECT_EQ(SchemeColors(0)[2][1], 0x839BD4u);
    EXPECT_EQ(SchemeColors(1)[1][13], 0xBCC797u);
    EXPECT_EQ(SchemeColors(2)[0][0], 0x9495A2u);
    EXPECT_EQ(&SchemeColors(7), &SchemeColors(2));   // unknown schemes use silver
    EXPECT_EQ(&SchemeColors(-1), &SchemeColors(2));
    EXPECT_EQ(ThumbPicBase(0), 9133);
    EXPECT_EQ(ThumbPicBase(1), 9144);
    EXPECT_EQ(ThumbPicBase(5), 9156);
    EXPECT_EQ(GripColorsOf(1).dark, 0x8C9D73u);

    const struct { int32_t scheme; bool down; ElementState state; bool enabled; int32_t pic; } arrows[] = {
        {0, false, ElementState::Normal, true, 9136}, {0, false, ElementState::Pressed, true, 9138},
        {0, true, ElementState::Hot, true, 9140},     {1, false, ElementState::Hot, true, 9148},
        {1, true, ElementState::Pressed, true, 9152}, {2, false, ElementState::Normal, true, 9159},
        {2, true, ElementState::Pressed, true, 9164}, {1, false, ElementState::Hot, false, 9260},
        {2, true, ElementState::Normal, false, 9261}, {3, false, ElementState::Normal, true, kPicNone},
    };
    for (const auto& a : arrows)
        EXPECT_EQ(ArrowPicture(a.scheme, a.down, a.state, a.enabled), a.pic) << a.scheme;
    EXPECT_EQ(TrackPicture(0, false), 9130);
    EXPECT_EQ(TrackPicture(1, true), 9264);
    EXPECT_EQ(TrackPicture(2, false), 9153);
    EXPECT_EQ(TrackPicture(2, true), 9265);
    EXPECT_EQ(TrackPicture(9, false), 9130);  // other schemes: the blue-olive track
}

TEST(BarArt, EveryNamedPictureHasItsDesignSize) {
    const struct { int32_t first, last, w, h; } groups[] = {
        {9136, 9141, 16, 17}, {9147, 9152, 16, 17}, {9159, 9164, 16, 17}, {9260, 9261, 16, 17},
        {9131, 9131, 16, 2},  {9132, 9132, 16, 3},  {9142, 9142, 16, 2},  {9143, 9143, 16, 3},
        {9154, 9154, 16, 2},  {9155, 9155, 16, 3},  {9130, 9130, 17, 1},  {9153, 9153, 17, 1},
        {9264, 9265, 17, 1},
    };
    for (const auto& g : groups) {
        for (int32_t n = g.first; n <= g.last; ++n) {
            EXPECT_EQ(DesignSize(n).width, g.w) << n;
            EXPECT_EQ(DesignSize(n).height, g.h) << n;
            const Image image = RenderPicture(n, g.w, g.h);
            EXPECT_EQ(image.pixels.size(), static_cast<size_t>(g.w * g.h)) << n;
        }
    }
    for (int32_t unknown : {9133, 9144, 9156, 9165, 0}) {
        EXPECT_EQ(DesignSize(unknown).width, 0) << unknown;
        EXPECT_TRUE(RenderPicture(unknown, 16, 17).pixels.empty()) << unknown;
    }
}

TEST(BarArt, TrackStripsAreTheGivenGradients) {
    const Image blue = RenderPicture(9130, 17, 1);
    EXPECT_EQ(blue.At(0, 0), 0xEEEDE5u);
    EXPECT_EQ(blue.At(6, 0), 0xF7F7F3u);
    EXPECT_EQ(blue.At(16, 0), 0xEEEDE5u);
    const Image hotSilver = RenderPicture(9265, 17, 1);
    EXPECT_EQ(hotSilver.At(1, 0), 0xD3D7E3u);
    EXPECT_EQ(hotSilver.At(13, 0), 0xF6F6FDu);
    // Stretched, each column keeps a colour of the strip and the ends keep the edge.
    const Image wide = RenderPicture(9153, 34, 3);
    EXPECT_EQ(wide.At(0, 2), 0xE5E6EEu);
    EXPECT_EQ(wide.At(3, 0), 0xECEEF3u);
    EXPECT_EQ(wide.At(33, 1), 0xE5E6EEu);
}

// The chevron is the darkest part of an arrow, points the right way and is symmetric.
TEST(BarArt, ArrowsShowAChevronPointingTheirWay) {
    for (int32_t scale : {1, 2}) {
        for (int32_t pic : {9136, 9139, 9150, 9162, 9260}) {
            const Image a = RenderPicture(pic, 16 * scale, 17 * scale);
            const bool down = pic == 9139 || pic == 9150 || pic == 9162;
            const Rgb chevron = a.At(8 * scale, (down ? 10 : 6) * scale);
            int topMost = a.height, bottomMost = -1;
            for (int32_t y = 0; y < a.height; ++y) {
                for (int32_t x = 0; x < a.width; ++x) {
                    EXPECT_GE(Luminance(a.At(x, y)), Luminance(chevron)) << pic << " " << x << "," << y;
                    EXPECT_EQ(a.At(x, y) == chevron, a.At(a.width - 1 - x, y) == chevron)
                        << pic << " " << x << "," << y;
                    if (a.At(x, y) == chevron) topMost = std::min(topMost, y), bottomMost = y;
                }
            }
            // The apex row spans less than the row at the arms' ends.
            auto width = [&](int32_t y) {
                int first = a.width, last = -1;
                for (int32_t x = 0; x < a.width; ++x)
                    if (a.At(x, y) == chevron) first = std::min(first, x), last = x;
                return last - first;
            };
            const int32_t apex = down ? bottomMost : topMost, ends = down ? topMost : bottomMost;
            EXPECT_LT(width(apex), width(ends)) << pic;
            EXPECT_GT(bottomMost - topMost, 3 * scale) << pic;
        }
    }
}

TEST(BarArt, StatesAndSchemesLookDifferent) {
    const Image normal = RenderPicture(9136, 16, 17), hot = RenderPicture(9137, 16, 17);
    const Image pressed = RenderPicture(9138, 16, 17), olive = RenderPicture(9147, 16, 17);
    const Image disabled = RenderPicture(9260, 16, 17);
    // A face pixel beside the chevron.
    EXPECT_GT(Luminance(hot.At(3, 12)), Luminance(normal.At(3, 12)));
    EXPECT_LT(Luminance(pressed.At(3, 12)), Luminance(normal.At(3, 12)));
    EXPECT_NE(olive.At(3, 12), normal.At(3, 12));
    // Disabled arrows are pale grey: light and without colour cast.
    const Rgb c = disabled.At(8, 7);
    const int r = (c >> 16) & 0xFF, g = (c >> 8) & 0xFF, b = c & 0xFF;
    EXPECT_GT(Luminance(c), 10 * 180);
    EXPECT_LT(std::max({r, g, b}) - std::min({r, g, b}), 16);
    // The face takes the thumb's column colours.
    EXPECT_EQ(normal.At(5, 12), SchemeColors(0)[0][5]);
    EXPECT_EQ(pressed.At(5, 12), SchemeColors(0)[2][5]);
}

}  // namespace
}  // namespace velmora::lists
