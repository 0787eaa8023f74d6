#include "engine/swf/edit_text.h"

#include <gtest/gtest.h>

#include "tools/swfgen/edit_text_writer.h"

namespace velmora::swf {
namespace {

void ExpectSame(const EditTextDef& a, const EditTextDef& b) {
    EXPECT_EQ(a.bounds, b.bounds);
    EXPECT_EQ(a.wordWrap, b.wordWrap);
    EXPECT_EQ(a.multiline, b.multiline);
    EXPECT_EQ(a.password, b.password);
    EXPECT_EQ(a.readOnly, b.readOnly);
    EXPECT_EQ(a.autoSize, b.autoSize);
    EXPECT_EQ(a.noSelect, b.noSelect);
    EXPECT_EQ(a.border, b.border);
    EXPECT_EQ(a.html, b.html);
    EXPECT_EQ(a.useOutlines, b.useOutlines);
    EXPECT_EQ(a.fontId, b.fontId);
    EXPECT_EQ(a.fontClass, b.fontClass);
    EXPECT_EQ(a.fontHeight, b.fontHeight);
    EXPECT_EQ(a.textColor, b.textColor);
    EXPECT_EQ(a.maxLength, b.maxLength);
    ASSERT_EQ(a.layout.has_value(), b.layout.has_value());
    if (a.layout) {
        EXPECT_EQ(a.layout->align, b.layout->align);
        EXPECT_EQ(a.layout->leftMargin, b.layout->leftMargin);
        EXPECT_EQ(a.layout->rightMargin, b.layout->rightMargin);
        EXPECT_EQ(a.layout->indent, b.layout->indent);
        EXPECT_EQ(a.layout->leading, b.layout->leading);
    }
    EXPECT_EQ(a.variableName, b.variableName);
    EXPECT_EQ(a.initialText, b.initialText);
}

// Each optional part on its own and all together, through the writer and back.
TEST(EditText, OptionalPartsRoundTrip) {
    EditTextDef bare;
    bare.bounds = {-40, 2000, -40, 400};
    EditTextDef font = bare;
    font.fontId = 3;
    font.fontHeight = 240;
    font.useOutlines = true;
    EditTextDef fontClass = bare;
    fontClass.fontClass = "MyFont";
    fontClass.fontHeight = 200;
    EditTextDef full = font;
    full.wordWrap = full.multiline = full.password = full.readOnly = true;
    full.autoSize = full.noSelect = full.border = full.html = true;
    full.textColor = Rgba{0x12, 0x34, 0x56, 0x78};
    full.maxLength = 9;
    full.layout = EditTextDef::Layout{EditTextAlign::Justify, 20, 40, 60, -20};
    full.variableName = "/clip:value";
    full.initialText = "<p>hello</p>";
    for (const EditTextDef& def : {bare, font, fontClass, full}) {
        std::vector<uint8_t> body = swfgen::EditTextBody(def);
        auto read = ReadDefineEditText(body);
        ASSERT_TRUE(read.has_value());
        ExpectSame(*read, def);
    }
}

TEST(EditText, TruncatedBodyIsRejectedAtEveryLength) {
    EditTextDef def;
    def.fontId = 1;
    def.fontHeight = 240;
    def.layout = EditTextDef::Layout{};
    def.variableName = "v";
    def.initialText = "text";
    std::vector<uint8_t> body = swfgen::EditTextBody(def);
    for (size_t n = 0; n < body.size(); ++n)
        EXPECT_FALSE(ReadDefineEditText(std::span(body.data(), n)).has_value()) << n;
}

TEST(EditText, UnknownAlignReadsAsLeft) {
    EditTextDef def;
    def.layout = EditTextDef::Layout{EditTextAlign::Center, 0, 0, 0, 0};
    std::vector<uint8_t> body = swfgen::EditTextBody(def);
    // The align byte follows the rect (1 byte for an all-zero rect) and the two flag bytes.
    body[3] = 7;
    auto read = ReadDefineEditText(body);
    ASSERT_TRUE(read && read->layout);
    EXPECT_EQ(read->layout->align, EditTextAlign::Left);
}

}  // namespace
}  // namespace velmora::swf
