#include "player/lists/scroll_model.h"

#include <gtest/gtest.h>

namespace velmora::lists {
namespace {

TEST(ScrollModel, RoundExIsTheCeiling) {
    const struct { double x; int32_t expected; } cases[] = {
        {2.0, 2}, {2.1, 3}, {0.5, 1}, {0.0, 0}, {-0.5, 0}, {-1.5, -1}, {25.0 / 19, 2}, {1e-9, 1},
    };
    for (const auto& c : cases) EXPECT_EQ(RoundEx(c.x), c.expected) << c.x;
}

TEST(ScrollModel, RoundHalfEvenTiesGoToTheEvenNeighbour) {
    const struct { double x; int32_t expected; } cases[] = {
        {72.5, 72}, {73.5, 74}, {0.5, 0}, {1.5, 2}, {-2.5, -2}, {55.333, 55}, {55.51, 56},
    };
    for (const auto& c : cases) EXPECT_EQ(RoundHalfEven(c.x), c.expected) << c.x;
}

TEST(ScrollModel, ScrollRangeOfTheList) {
    const struct { int32_t count, height, itemHeight, full, max; } cases[] = {
        {30, 200, 19, 10, 20},  // the list panel's rows on a 200-pixel surface
        {5, 200, 19, 10, 0},    // fewer items than rows: nothing to scroll
        {10, 200, 20, 10, 0},   // exactly full
        {11, 200, 20, 10, 1},
        {3, 0, 19, 0, 3},
        {3, 100, 0, 0, 3},      // no row height: every item counts as hidden
        {0, 200, 19, 10, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FullRows(c.height, c.itemHeight), c.full) << c.count << "/" << c.height;
        EXPECT_EQ(ListScrollMax(c.count, FullRows(c.height, c.itemHeight)), c.max) << c.count;
    }
}

TEST(ScrollModel, RedrawPaintsTheShownRowsPlusTwo) {
    const struct { int32_t count, value, height, itemHeight, first, last; } cases[] = {
        {30, 0, 200, 19, 1, 13},    // 200/19 = 10.5 → 11 rows, plus two
        {30, 20, 200, 19, 21, 30},  // bottom of the list: stops at the last item
        {30, 5, 190, 19, 6, 17},    // exactly 10 rows
        {3, 0, 200, 19, 1, 3},
        {0, 0, 200, 19, 1, 0},      // empty
    };
    for (const auto& c : cases) {
        const ItemRange r = RedrawRange(c.count, c.value, c.height, c.itemHeight);
        EXPECT_EQ(r.first, c.first) << c.count << "/" << c.value;
        EXPECT_EQ(r.last, c.last) << c.count << "/" << c.value;
    }
}

TEST(ScrollModel, PointerRowsAndSelection) {
    EXPECT_EQ(ItemAtY(25, 4, 19), 6);
    EXPECT_EQ(ItemAtY(19, 0, 19), 1);  // the boundary pixel belongs to the row above
    EXPECT_EQ(ItemAtY(19.5, 0, 19), 2);
    EXPECT_EQ(ItemAtY(0, 3, 19), 3);   // the top pixel gives the item hidden above
    EXPECT_EQ(ItemAtY(-30, 3, 19), 2); // no lower bound
    EXPECT_EQ(RowTop(6, 4, 19), 19);
    EXPECT_EQ(RowTop(4, 4, 19), -19);
    EXPECT_EQ(ClampSelection(50, 30), 30);
    EXPECT_EQ(ClampSelection(-2, 30), -2);
    EXPECT_EQ(ClampSelection(5, 0), 0);
}

TEST(ScrollModel, VisibilityAndScrollTo) {
    EXPECT_EQ(VisibleRows(200, 19), 10);
    EXPECT_EQ(VisibleRows(189.5, 19), 10);  // the height rounds to 190, halves to even
    EXPECT_EQ(VisibleRows(188.5, 19), 9);   // and this one to 188
    const struct { int32_t index, value, rows; bool visible; } cases[] = {
        {1, 0, 10, true}, {10, 0, 10, true}, {11, 0, 10, false}, {0, 0, 10, false},
        {5, 5, 10, false}, {6, 5, 10, true}, {15, 5, 10, true}, {16, 5, 10, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsItemVisible(c.index, c.value, c.rows), c.visible) << c.index << "@" << c.value;
    EXPECT_EQ(ScrollToValue(5, 30, 10), 4);
    EXPECT_EQ(ScrollToValue(19, 30, 10), 18);
    EXPECT_EQ(ScrollToValue(20, 30, 10), 20);  // 10 + 20 is not below 30: the bottom
    EXPECT_EQ(ScrollToValue(28, 30, 10), 20);
}

TEST(ScrollModel, AutoScrollDirectionAtTheEdges) {
    const struct { double y; AutoScroll before, after; bool past; } cases[] = {
        {-1, AutoScroll::None, AutoScroll::Up, true},
        {0, AutoScroll::Down, AutoScroll::Down, true},  // exactly on the edge keeps it
        {0, AutoScroll::None, AutoScroll::None, true},
        {200, AutoScroll::Up, AutoScroll::Up, true},
        {201, AutoScroll::Up, AutoScroll::Down, true},
        {100, AutoScroll::Up, AutoScroll::Up, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(AutoScrollAt(c.y, 200, c.before), c.after) << c.y;
        EXPECT_EQ(IsPastEdge(c.y, 200), c.past) << c.y;
    }
}

TEST(ScrollModel, BarMetricsKeepTheDesignAt96AndScaleAbove) {
    const BarMetrics m96 = BarMetrics::ForDpi(96);
    EXPECT_EQ(m96.width, 17);
    EXPECT_EQ(m96.arrow, 17);
    EXPECT_EQ(m96.pictureLeft, 1);
    EXPECT_EQ(m96.minHeight, 34);
    EXPECT_EQ(m96.minThumbHeight, 47);
    EXPECT_EQ(m96.minThumb, 10);
    const BarMetrics m144 = BarMetrics::ForDpi(144);
    EXPECT_EQ(m144.width, 26);  // 255 twips = 25.5 pixels
    EXPECT_EQ(m144.arrow, 26);
    EXPECT_EQ(m144.pictureLeft, 2);
    EXPECT_EQ(m144.minHeight, 52);
    EXPECT_EQ(m144.minThumbHeight, 71);
    EXPECT_EQ(m144.minThumb, 15);
    EXPECT_EQ(m144.gripStep, 2);
    const BarMetrics m120 = BarMetrics::ForDpi(120);
    EXPECT_EQ(m120.width, 21);
    EXPECT_EQ(m120.arrow, 21);
    EXPECT_EQ(m120.pictureLeft, 1);
}

TEST(ScrollModel, ThumbLengthAndTop) {
    const BarMetrics m = BarMetrics::ForDpi(96);
    ThumbSize size;
    ASSERT_TRUE(CalcThumbLength(m, 200, 10, 20, size));
    EXPECT_EQ(size.length, 55);  // 10 / 30 × 166
    EXPECT_EQ(size.travel, 111);
    EXPECT_EQ(CalcThumbTop(m, 200, 10, 20, size.length), 72);  // 72.5, halves to even
    EXPECT_EQ(CalcThumbTop(m, 200, 0, 20, size.length), 17);
    EXPECT_EQ(CalcThumbTop(m, 200, -3, 20, size.length), 17);
    EXPECT_EQ(CalcThumbTop(m, 200, 20, 20, size.length), 200 - 17 - 55);

    ASSERT_TRUE(CalcThumbLength(m, 100, 1, 1000, size));
    EXPECT_EQ(size.length, 10);  // the shortest thumb
    EXPECT_EQ(size.travel, 56);

    // The old size stays when the bar is too short or there is nothing to page.
    const struct { int32_t height, large, max; } keep[] = {{34, 10, 20}, {200, 0, 20}, {200, 10, 0}};
    for (const auto& c : keep) {
        ThumbSize old{33, 44};
        EXPECT_FALSE(CalcThumbLength(m, c.height, c.large, c.max, old)) << c.height;
        EXPECT_EQ(old.length, 33);
        EXPECT_EQ(old.travel, 44);
    }
    EXPECT_TRUE(CalcThumbLength(m, 35, 10, 20, size));
    EXPECT_FALSE(ShowsThumb(m, 47));
    EXPECT_TRUE(ShowsThumb(m, 48));
}

TEST(ScrollModel, GripSitsInTheMiddleOfLongThumbs) {
    EXPECT_EQ(GripTop(72, 55, 1), 96);  // 27.5 − 4 + 72 = 95.5 → 96
    EXPECT_EQ(GripTop(17, 20, 1), 23);
    EXPECT_FALSE(ShowsGrip(15, 1));
    EXPECT_TRUE(ShowsGrip(16, 1));
    EXPECT_FALSE(ShowsGrip(30, 2));
}

TEST(ScrollModel, ZonesUnderThePointer) {
    const BarMetrics m = BarMetrics::ForDpi(96);
    const struct { double y; Zone zone; } cases[] = {
        {0, Zone::UpArrow}, {17, Zone::UpArrow}, {17.5, Zone::TrackAbove}, {71, Zone::TrackAbove},
        {72, Zone::Thumb}, {127, Zone::Thumb}, {128, Zone::TrackBelow}, {182.5, Zone::TrackBelow},
        {183, Zone::DownArrow}, {199, Zone::DownArrow},
    };
    for (const auto& c : cases) EXPECT_EQ(ZoneAt(m, c.y, 200, 72, 55), c.zone) << c.y;
    // A thumb at the top covers the arrow's last pixel row: the arrow wins.
    EXPECT_EQ(ZoneAt(m, 17, 200, 17, 55), Zone::UpArrow);
    EXPECT_EQ(PaintedCodeOf(ElementState::Pressed, Zone::Thumb), 12);
    EXPECT_EQ(PaintedCodeOf(ElementState::Hot, Zone::DownArrow), 8);
}

TEST(ScrollModel, ThumbDragFollowsThePointer) {
    EXPECT_EQ(DragValue(10, 72 + 11.1, 72, 111, 0, 20), 12);  // 11.1 / 111 × 20 = 2
    EXPECT_EQ(DragValue(10, 72 - 200, 72, 111, 0, 20), 0);
    EXPECT_EQ(DragValue(10, 72 + 500, 72, 111, 0, 20), 20);
    EXPECT_EQ(DragValue(10, 72 + 500, 72, 111, 0, 15), 15);
    EXPECT_EQ(DragValue(10, 72 + 2, 72, 64, 0, 16), 10);  // 10.5, halves to even
    EXPECT_EQ(DragValue(10, 72 + 6, 72, 64, 0, 16), 12);  // 11.5
    EXPECT_EQ(DragValue(7, 300, 72, 0, 0, 20), 7);            // nothing to travel
}

TEST(ScrollModel, StepsStopAtTheEnds) {
    const struct { Zone zone; int32_t value, expected; } cases[] = {
        {Zone::UpArrow, 5, 4}, {Zone::UpArrow, 0, 0}, {Zone::DownArrow, 19, 20},
        {Zone::DownArrow, 20, 20}, {Zone::TrackAbove, 15, 5}, {Zone::TrackAbove, 4, 0},
        {Zone::TrackBelow, 5, 15}, {Zone::TrackBelow, 14, 20}, {Zone::Thumb, 7, 7},
    };
    for (const auto& c : cases)
        EXPECT_EQ(StepValue(c.zone, c.value, 1, 10, 0, 20), c.expected) << int(c.zone) << "@" << c.value;
}

TEST(ScrollModel, PropertyCorrections) {
    EXPECT_EQ(CorrectMax(-5), 32767);
    EXPECT_EQ(CorrectMax(0), 0);
    EXPECT_EQ(CorrectMax(40000), 40000);
    EXPECT_EQ(CorrectMin(-1), 0);
    EXPECT_EQ(CorrectMin(32768), 0);
    EXPECT_EQ(CorrectMin(32767), 32767);
    const struct { int32_t v; bool large, small; } cases[] = {
        {-1, false, false}, {0, true, true}, {10000, true, true}, {10001, false, true},
        {20000, false, true}, {32767, false, true}, {32768, false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsValidLargeChange(c.v), c.large) << c.v;
        EXPECT_EQ(IsValidSmallChange(c.v), c.small) << c.v;
    }
    EXPECT_EQ(ClampValue(300, 0, 255), 255);
    EXPECT_EQ(ClampValue(-1, 2, 255), 2);
}

}  // namespace
}  // namespace velmora::lists
