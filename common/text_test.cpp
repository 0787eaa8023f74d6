#include <gtest/gtest.h>

#include "common/text.h"

namespace velmora {
namespace {

TEST(Text, Utf8AndUtf16RoundTripIncludingAstralCharacters) {
    const std::string text = "VelmoraFlash播放软件 \xF0\x9F\x8E\xAC";  // ends in U+1F3AC
    const std::u16string wide = Utf8ToUtf16(text);
    ASSERT_EQ(wide.size(), 12u + 4u + 1u + 2u);  // the clapper board takes a surrogate pair
    EXPECT_EQ(wide[17], 0xD83C);
    EXPECT_EQ(wide[18], 0xDFAC);
    EXPECT_EQ(Utf16ToUtf8(wide), text);
}

TEST(Text, MalformedUtf8BecomesReplacementCharacters) {
    struct Case {
        std::string input;
        std::u16string expected;
    } cases[] = {
        {"a\x80z", u"a\uFFFDz"},          // stray continuation byte
        {"\xC3", u"\uFFFD"},              // truncated sequence
        {"\xC0\xAF", u"\uFFFD\uFFFD"},    // overlong '/'
        {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},  // encoded surrogate
    };
    for (const auto& c : cases) EXPECT_EQ(Utf8ToUtf16(c.input), c.expected) << c.input;
}

TEST(Text, LoneSurrogateBecomesReplacementCharacter) {
    EXPECT_EQ(Utf16ToUtf8(std::u16string(1, u'\xD800') + u"x"), "\xEF\xBF\xBDx");
}

TEST(Text, AnsiCodePageIsGbk) {
    const std::string gbk = "\xB2\xA5\xB7\xC5\xC1\xD0\xB1\xED";  // 播放列表
    EXPECT_EQ(Utf8ToAnsi("播放列表"), gbk);
    EXPECT_EQ(AnsiToUtf8(gbk), "播放列表");
    EXPECT_EQ(AnsiToUtf8(Utf8ToAnsi("C:\\影片\\a.swf")), "C:\\影片\\a.swf");
}

TEST(Text, CharacterGbkCannotHoldBecomesQuestionMark) {
    // U+0E01 (Thai) and U+1F3AC have no GBK code.
    EXPECT_EQ(Utf8ToAnsi("a\xE0\xB8\x81" "b"), "a?b");
    EXPECT_EQ(AnsiToUtf8(Utf8ToAnsi("\xF0\x9F\x8E\xAC")), "?");
}

}  // namespace
}  // namespace velmora
