#include "engine/text/html.h"

#include <gtest/gtest.h>

#include "common/text.h"

namespace velmora::text {
namespace {

TextFormat Base() {
    TextFormat f = DefaultTextFormat();
    f.font = "Arial";
    f.size = 12;
    return f;
}

const std::string kFont = R"(<FONT FACE="Arial" SIZE="12" COLOR="#000000" LETTERSPACING="0" KERNING="0">)";
const std::string kP = R"(<P ALIGN="LEFT">)" + kFont;
const std::string kEnd = "</FONT></P>";

struct HtmlCase {
    const char* name;
    std::string html;
    bool multiline;
    std::string text;      // what the text reads as (UTF-8, '\r' between paragraphs)
    std::string written;   // htmlText written back
};

TEST(Html, ParseAndWriteTable) {
    const HtmlCase cases[] = {
        {"plain", "abc", true, "abc", kP + "abc" + kEnd},
        {"bold italic underline nest in a fixed order", "<u><i><b>x</b></i></u>", true, "x",
         kP + "<B><I><U>x</U></I></B>" + kEnd},
        {"entities", "&amp;&lt;&gt;&quot;&apos;&#65;&#x42;&bogus;", true, "&<>\"'AB&bogus;",
         kP + "&amp;&lt;&gt;&quot;&apos;AB&amp;bogus;" + kEnd},
        {"br and newline break paragraphs", "a<br>b\nc", false, "a\rb\rc", kP + "a" + kEnd + kP + "b" + kEnd + kP + "c" + kEnd},
        {"closing p breaks only when multiline", "<p>a</p>b", false, "ab", kP + "ab" + kEnd},
        {"closing p breaks when multiline", "<p>a</p>b", true, "a\rb", kP + "a" + kEnd + kP + "b" + kEnd},
        {"paragraph align", "<p align=\"center\">a</p>", false, "a", R"(<P ALIGN="CENTER">)" + kFont + "a" + kEnd},
        {"a font change nests with only what differs", "a<font color=\"#ff0000\" size=\"+2\">b</font>", true, "ab",
         kP + "a<FONT SIZE=\"14\" COLOR=\"#FF0000\">b</FONT>" + kEnd},
        {"links", "<a href=\"http://x/\" target=\"_blank\">go</a>", true, "go",
         kP + "<A HREF=\"http://x/\" TARGET=\"_blank\">go</A>" + kEnd},
        {"bullets", "<li>item</li>", false, "item", "<LI>" + kFont + "item</FONT></LI>"},
        {"textformat shows what is set", "<textformat leftmargin=\"3\" leading=\"2\">a</textformat>", false, "a",
         "<TEXTFORMAT LEFTMARGIN=\"3\" LEADING=\"2\">" + kP + "a" + kEnd + "</TEXTFORMAT>"},
        {"unknown tags keep their text, comments go", "<blink>a</blink><!-- x -->b", true, "ab", kP + "ab" + kEnd},
        {"an unfinished tag ends the text", "ab<font", true, "ab", kP + "ab" + kEnd},
        {"Chinese text", "<b>中文</b>", true, "中文", kP + "<B>中文</B>" + kEnd},
    };
    for (const HtmlCase& c : cases) {
        SCOPED_TRACE(c.name);
        FormattedText t = ParseHtml(c.html, Base(), {c.multiline, false});
        EXPECT_EQ(Utf16ToUtf8(t.Text()), c.text);
        EXPECT_EQ(WriteHtml(t, Base()), c.written);
        // What is written reads back as the same text and formats.
        FormattedText again = ParseHtml(c.written, Base(), {true, false});
        EXPECT_EQ(WriteHtml(again, Base()), c.written);
    }
}

TEST(Html, CondenseWhiteCollapsesSpacesAndDropsLineBreaks) {
    FormattedText t = ParseHtml("  a \n\t b  <br> c", Base(), {true, true});
    EXPECT_EQ(Utf16ToUtf8(t.Text()), "a b \rc");
}

TEST(Html, FormatsOfSpans) {
    FormattedText t = ParseHtml("a<b>b</b>", Base(), {true, false});
    EXPECT_EQ(t.FormatOf(0, 1).bold, false);
    EXPECT_EQ(t.FormatOf(1, 2).bold, true);
    EXPECT_FALSE(t.FormatOf(0, 2).bold.has_value());  // the span disagrees
    EXPECT_EQ(t.FormatOf(0, 2).font, "Arial");        // but shares the face
}

}  // namespace
}  // namespace velmora::text
