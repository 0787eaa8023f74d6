#include "engine/text/edit_text.h"

#include <gtest/gtest.h>

namespace velmora::text {
namespace {

class FixedFont : public TextMeasurer {
public:
    double Advance(char32_t, const TextFormat&, bool) override { return 10; }
    LineMetrics Metrics(const TextFormat&, bool) override { return {8, 2, 0}; }
};

EditText InputField(double widthPx = 104, double heightPx = 24) {
    EditText f(RectTwips{0, static_cast<int32_t>(widthPx * 20), 0, static_cast<int32_t>(heightPx * 20)});
    f.editable = true;
    return f;
}

TEST(EditText, NewlinesBecomeParagraphBreaks) {
    EditText f = InputField();
    f.SetText("a\r\nb\nc\rd");
    EXPECT_EQ(f.Text(), "a\rb\rc\rd");
    EXPECT_EQ(f.Length(), 7u);
}

TEST(EditText, TypingReplacesTheSelectionAndHonoursMaxCharsAndRestrict) {
    EditText f = InputField();
    f.SetText("hello");
    f.SetSelection(1, 4);
    EXPECT_TRUE(f.Type(U'A'));
    EXPECT_EQ(f.Text(), "hAo");
    EXPECT_EQ(f.Caret(), 2u);
    EXPECT_TRUE(f.Type(U'中'));  // a character from an input method
    EXPECT_EQ(f.Text(), "hA中o");
    f.maxChars = 4;
    EXPECT_FALSE(f.Type(U'x'));
    f.maxChars = 0;
    f.restrict = "a-z^q";
    EXPECT_TRUE(f.Type(U'b'));
    EXPECT_FALSE(f.Type(U'q'));
    EXPECT_FALSE(f.Type(U'B'));
    f.restrict = "^0-9";
    EXPECT_TRUE(f.Type(U'B'));
    EXPECT_FALSE(f.Type(U'5'));
    EXPECT_FALSE(f.Type(U'\r'));  // single line
    f.editable = false;
    EXPECT_FALSE(f.Type(U'z'));
}

TEST(EditText, EditingKeys) {
    EditText f = InputField();
    f.SetText("abcd");
    f.SetSelection(4, 4);
    EXPECT_TRUE(f.Key(EditKey::Backspace, false));
    EXPECT_EQ(f.Text(), "abc");
    EXPECT_TRUE(f.Key(EditKey::Home, false));
    EXPECT_EQ(f.Caret(), 0u);
    EXPECT_TRUE(f.Key(EditKey::Delete, false));
    EXPECT_EQ(f.Text(), "bc");
    EXPECT_TRUE(f.Key(EditKey::Right, true));
    EXPECT_TRUE(f.Key(EditKey::Right, true));  // shift extends the selection
    EXPECT_EQ(f.SelectionBegin(), 0u);
    EXPECT_EQ(f.SelectionEnd(), 2u);
    EXPECT_TRUE(f.Key(EditKey::Backspace, false));
    EXPECT_EQ(f.Text(), "");
    EXPECT_FALSE(f.Key(EditKey::Backspace, false));  // nothing left
}

TEST(EditText, FormatsOfRangesAndNewText) {
    EditText f = InputField();
    f.SetText("abc");
    TextFormat red;
    red.color = 0xFF0000;
    f.SetFormat(1, 2, red);
    EXPECT_EQ(f.GetFormat(1, 2).color, 0xFF0000u);
    EXPECT_FALSE(f.GetFormat(0, 3).color.has_value());
    EXPECT_EQ(f.GetFormat(0, 3).font, "Times New Roman");
    f.SetSelection(2, 2);
    f.Type(U'x');  // typed text takes the format before the caret
    EXPECT_EQ(f.GetFormat(2, 3).color, 0xFF0000u);
    f.SetText("new");  // set text takes the new-text format
    EXPECT_EQ(f.GetFormat(0, 3).color, 0u);
}

TEST(EditText, ScrollingAndAutoSize) {
    FixedFont font;
    EditText f = InputField(104, 24);  // two 10-pixel lines fit
    f.SetMeasurer(&font);
    f.multiline = true;
    f.SetText("1\r2\r3\r4\r5");
    EXPECT_EQ(f.MaxScroll(), 4);
    EXPECT_EQ(f.BottomScroll(), 2);
    f.SetScroll(10);
    EXPECT_EQ(f.Scroll(), 4);
    EXPECT_EQ(f.BottomScroll(), 5);
    f.SetScroll(-3);
    EXPECT_EQ(f.Scroll(), 1);

    EditText a = InputField(100, 20);
    a.SetMeasurer(&font);
    a.SetText("abc");
    a.autoSize = AutoSize::Right;
    const RectTwips box = a.Box();
    EXPECT_EQ(box.xMax, 2000);                // the right edge stays
    EXPECT_EQ(box.xMax - box.xMin, 34 * 20);  // text and gutters
    EXPECT_EQ(box.yMax - box.yMin, 14 * 20);
}

TEST(EditText, HtmlFieldsKeepFormatsAndPlainOnesTakeMarkupAsText) {
    EditText f = InputField();
    f.html = true;
    f.SetHtmlText("<b>bold</b>");
    EXPECT_EQ(f.Text(), "bold");
    EXPECT_EQ(f.GetFormat(0, 4).bold, true);
    f.html = false;
    f.SetHtmlText("<b>x</b>");
    EXPECT_EQ(f.Text(), "<b>x</b>");
    EXPECT_EQ(f.HtmlText(), "<b>x</b>");
}

}  // namespace
}  // namespace velmora::text
