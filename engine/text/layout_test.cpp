#include "engine/text/layout.h"

#include <gtest/gtest.h>

#include "common/text.h"

namespace velmora::text {
namespace {

// Every character 10 pixels wide at size 10 (scaling with the size); ascent 8, descent 2.
class FixedFont : public TextMeasurer {
public:
    double Advance(char32_t, const TextFormat& f, bool) override { return f.size.value_or(10); }
    LineMetrics Metrics(const TextFormat& f, bool) override {
        const double s = f.size.value_or(10) / 10;
        return {8 * s, 2 * s, 0};
    }
};

TextFormat Base() {
    TextFormat f = DefaultTextFormat();
    f.size = 10;
    return f;
}

struct LayoutCase {
    const char* name;
    const char16_t* text;
    double boxWidth;
    bool wordWrap;
    TextFormat paragraph;  // merged into the base
    std::vector<std::pair<size_t, size_t>> lines;  // [begin, end) of each line
    std::vector<double> x;  // left edge of each line
    double textWidth, textHeight;
};

TextFormat Align(TextAlign a) {
    TextFormat f;
    f.align = a;
    return f;
}

TextFormat Margins(double left, double right, double indent) {
    TextFormat f;
    f.leftMargin = left;
    f.rightMargin = right;
    f.indent = indent;
    return f;
}

TextFormat Leading(double leading) {
    TextFormat f;
    f.leading = leading;
    return f;
}

TEST(Layout, Table) {
    // Box 104 wide: 100 pixels inside the gutters, ten characters.
    const LayoutCase cases[] = {
        {"one line", u"abc", 104, false, {}, {{0, 3}}, {2}, 30, 10},
        {"no wrap runs past the box", u"aaaa bbbb cccc", 64, false, {}, {{0, 14}}, {2}, 140, 10},
        {"wrap at the last space", u"aaaa bbbb cccc", 104, true, {}, {{0, 10}, {10, 14}}, {2, 2}, 90, 20},
        {"a word wider than the box breaks inside", u"aaaaaaaaaaaaaa", 64, true, {}, {{0, 6}, {6, 12}, {12, 14}},
         {2, 2, 2}, 60, 30},
        {"paragraph break", u"ab\rcd", 104, false, {}, {{0, 2}, {3, 5}}, {2, 2}, 20, 20},
        {"trailing break opens an empty line", u"ab\r", 104, false, {}, {{0, 2}, {3, 3}}, {2, 2}, 20, 20},
        {"right", u"abc", 104, false, Align(TextAlign::Right), {{0, 3}}, {72}, 30, 10},
        {"center", u"abc", 104, false, Align(TextAlign::Center), {{0, 3}}, {37}, 30, 10},
        {"trailing spaces do not count for alignment", u"abc  ", 104, false, Align(TextAlign::Right), {{0, 5}},
         {72}, 30, 10},
        {"margins and first-line indent", u"aaaa bbbb", 104, true, Margins(10, 20, 30), {{0, 5}, {5, 9}},
         {42, 12}, 100, 20},
        {"leading between lines, not after the last", u"ab\rcd", 104, false, Leading(5), {{0, 2}, {3, 5}},
         {2, 2}, 20, 25},
    };
    for (const LayoutCase& c : cases) {
        SCOPED_TRACE(c.name);
        TextFormat base = Base();
        base.Merge(c.paragraph);
        FormattedText text;
        text.Append(c.text, base);
        FixedFont font;
        Layout layout = LayOut(text, base, {c.boxWidth, c.wordWrap, false, false}, font);
        ASSERT_EQ(layout.lines.size(), c.lines.size());
        for (size_t i = 0; i < c.lines.size(); ++i) {
            EXPECT_EQ(layout.lines[i].begin, c.lines[i].first) << i;
            EXPECT_EQ(layout.lines[i].end, c.lines[i].second) << i;
            EXPECT_DOUBLE_EQ(layout.lines[i].x, c.x[i]) << i;
        }
        EXPECT_DOUBLE_EQ(layout.textWidth, c.textWidth);
        EXPECT_DOUBLE_EQ(layout.textHeight, c.textHeight);
    }
}

TEST(Layout, LetterSpacingAndMixedSizes) {
    FormattedText text;
    TextFormat small = Base(), big = Base();
    small.letterSpacing = 2;
    big.size = 20;
    text.Append(u"ab", small);
    text.Append(u"c", big);
    FixedFont font;
    Layout layout = LayOut(text, Base(), {200, false, false, false}, font);
    ASSERT_EQ(layout.lines.size(), 1u);
    EXPECT_DOUBLE_EQ(layout.textWidth, 2 * 12 + 20);
    EXPECT_DOUBLE_EQ(layout.lines[0].ascent, 16);  // the biggest character sets the line
    EXPECT_DOUBLE_EQ(layout.textHeight, 20);
}

TEST(Layout, VisibleLinesCountWholeLines) {
    FormattedText text;
    text.Append(u"a\rb\rc\rd", Base());
    FixedFont font;
    Layout layout = LayOut(text, Base(), {100, false, false, false}, font);
    EXPECT_EQ(VisibleLines(layout, 0, 24), 2u);  // 20 pixels inside the gutters
    EXPECT_EQ(VisibleLines(layout, 0, 23), 1u);
    EXPECT_EQ(VisibleLines(layout, 3, 24), 1u);
    EXPECT_EQ(VisibleLines(layout, 0, 2), 1u);  // at least one
}

}  // namespace
}  // namespace velmora::text
