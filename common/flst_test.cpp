#include <gtest/gtest.h>

#include "common/flst.h"

namespace velmora::flst {
namespace {

const std::string kGap(50, ' ');
const std::string kGbkTitle = "\xC6\xAC\xCD\xB7";  // 片头

TEST(FlstLine, ReadingTrimsWidensStarsAndKeepsOnlyLongResults) {
    struct Case {
        std::string line;
        std::optional<std::string> caption;
    } cases[] = {
        {"片头*D:\\flash\\片头.swf", "片头" + kGap + "D:\\flash\\片头.swf"},
        {"  a*b  ", "a" + kGap + "b"},
        {"a**b", "a" + kGap + kGap + "b"},
        {"\ta*b\t", "\ta" + kGap + "b\t"},  // tabs are not trimmed
        {"a*", "a" + kGap},                  // an item with an empty path
        {"*", std::nullopt},                 // exactly 50 characters
        {"", std::nullopt},
        {"     ", std::nullopt},
        {std::string(51, 'x'), std::string(51, 'x')},  // a title without a path
        {std::string(50, 'x'), std::nullopt},
        // 50 Chinese characters are 150 bytes but still only 50 characters.
        {[] { std::string s; for (int i = 0; i < 50; ++i) s += "影"; return s; }(), std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(LineToCaption(c.line), c.caption) << c.line;
}

TEST(FlstLine, WritingNarrowsEachRunOfFiftySpacesFromTheLeft) {
    struct Case {
        std::string caption;
        std::string line;
    } cases[] = {
        {"片头" + kGap + "D:\\flash\\片头.swf", "片头*D:\\flash\\片头.swf"},
        {"a" + kGap + kGap + "b", "a**b"},
        {"a" + std::string(60, ' ') + "b", "a*" + std::string(10, ' ') + "b"},
        {"a" + std::string(49, ' ') + "b", "a" + std::string(49, ' ') + "b"},
        {"a" + kGap, "a*"},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(CaptionToLine(c.caption), c.line) << c.caption;
}

TEST(FlstLine, LinesEndAtCrLfOrLoneCrButNotAtLoneLf) {
    struct Case {
        std::string text;
        std::vector<std::string> lines;
    } cases[] = {
        {"", {}},
        {"a", {"a"}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\rb\r", {"a", "b"}},
        {"a\nb\n", {"a\nb\n"}},
        {"a\r\n\r\nb", {"a", "", "b"}},
        {"a\r\r\nb", {"a", "", "b"}},
        {"\n\r\n", {"\n"}},
    };
    for (const auto& c : cases) EXPECT_EQ(SplitLines(c.text), c.lines) << c.text;
}

TEST(FlstCaption, SplitsAtTheFirstGapAndTrimsBothHalves) {
    struct Case {
        std::string caption;
        std::optional<std::string> title, path;
    } cases[] = {
        {"片头" + kGap + "D:\\flash\\片头.swf", "片头", "D:\\flash\\片头.swf"},
        {"  a " + kGap + "  c:\\b.swf ", "a", "c:\\b.swf"},
        {"a" + std::string(60, ' ') + "b", "a", "b"},
        {"a" + kGap + "b" + kGap + "c", "a", "b" + kGap + "c"},
        {"a" + kGap, "a", ""},
        {"a" + std::string(49, ' ') + "b", std::nullopt, std::nullopt},
    };
    for (const auto& c : cases) {
        const auto parts = SplitCaption(c.caption);
        ASSERT_EQ(parts.has_value(), c.title.has_value()) << c.caption;
        if (!parts) continue;
        EXPECT_EQ(parts->title, *c.title);
        EXPECT_EQ(parts->path, *c.path);
    }
    EXPECT_EQ(MakeCaption("t", "p"), "t" + kGap + "p");
}

TEST(FlstFile, ReadsGbkWithAnyLineEndsAndSkipsShortLines) {
    const std::string bytes = kGbkTitle + "*D:\\flash\\" + kGbkTitle + ".swf\r\n" + "\r\n" + "   *  \r" +
                              "  a*b  \r\n" + "c*d";
    const std::vector<std::string> expected = {"片头" + kGap + "D:\\flash\\片头.swf", "a" + kGap + "b",
                                               "c" + kGap + "d"};
    EXPECT_EQ(DecodeList(bytes), expected);
}

TEST(FlstFile, LfOnlyFileIsOneItemWithTheLineFeedsInside) {
    const auto captions = DecodeList("a*c:\\a.swf\nb*c:\\b.swf\n");
    ASSERT_EQ(captions.size(), 1u);
    EXPECT_EQ(captions[0], "a" + kGap + "c:\\a.swf\nb" + kGap + "c:\\b.swf\n");
}

TEST(FlstFile, GarbageBytesStillGiveItemsAndNeverStopTheReading) {
    std::string bytes;
    for (int i = 0; i < 256; ++i) bytes += static_cast<char>(i == '\r' ? 'x' : i);
    bytes += "\r\nlast*c:\\last.swf\r\n";
    const auto captions = DecodeList(bytes);
    ASSERT_EQ(captions.size(), 2u);
    EXPECT_EQ(captions[1], "last" + kGap + "c:\\last.swf");
}

TEST(FlstFile, WritesGbkLinesEachEndingInCrLfAndQuestionMarksForTheRest) {
    EXPECT_EQ(EncodeList({}), "");
    const std::string written = EncodeList({"片头" + kGap + "D:\\flash\\片头.swf", "x\xF0\x9F\x8E\xAC" + kGap + "y"});
    EXPECT_EQ(written, kGbkTitle + "*D:\\flash\\" + kGbkTitle + ".swf\r\nx?*y\r\n");
}

TEST(FlstFile, WhatIsWrittenReadsBackTheSame) {
    const std::vector<std::string> captions = {"片头" + kGap + "D:\\flash\\片头.swf",
                                               "a" + kGap + "",
                                               std::string(70, 'z'),
                                               "long" + kGap + std::string(5000, 'p') + ".swf"};
    EXPECT_EQ(DecodeList(EncodeList(captions)), captions);
}

TEST(FlstTitle, EachOriginHasItsRule) {
    EXPECT_EQ(DialogTitle("Movie.SWF"), "Movie");
    EXPECT_EQ(DialogTitle("影片.swf"), "影片");
    EXPECT_EQ(DialogTitle("影片片头"), "");  // four characters, not four bytes
    EXPECT_EQ(DialogTitle("abc"), std::nullopt);
    EXPECT_EQ(FolderScanTitle("A.swf"), "a");
    EXPECT_EQ(FolderScanTitle("B.SWF.swf"), "b");
    EXPECT_EQ(FolderScanTitle("a.s.swfwf"), "a.swf");  // one pass
    EXPECT_EQ(FolderScanTitle("片头.Swf"), "片头");
    EXPECT_EQ(PathTitle("c:\\flash\\movie.swf"), "movie");
    EXPECT_EQ(PathTitle("movie.swf"), "movie");
    EXPECT_EQ(PathTitle("c:\\a\\"), std::nullopt);
}

TEST(FlstCommandLine, QuotesHoldSpacesAndOnlySwfTokensCount) {
    struct Case {
        std::string commandLine;
        std::vector<std::string> lines;
    } cases[] = {
        {"\"D:\\My Movies\\A.SWF\" e:\\b.swf readme.txt", {"a*d:\\my movies\\a.swf", "b*e:\\b.swf"}},
        {"", {}},
        {"-s", {}},
        {"   x.swf   ", {"x*x.swf"}},
        {"a.swf  b.swf", {"a*a.swf", "b*b.swf"}},
        {"ab\"c d.swf\"", {"abc d*abc d.swf"}},          // an opening quote keeps the token
        {"\"a.swf\"b.swf", {"a*a.swf", "b*b.swf"}},
        {"\"a.txt\" \"c:\\x y\\z.swf", {"z*c:\\x y\\z.swf"}},  // an unclosed quote runs to the end
        {"D:\\影片\\片头.SWF", {"片头*d:\\影片\\片头.swf"}},
        {"a.swf.txt c:\\dir.swf\\", {}},
    };
    for (const auto& c : cases) EXPECT_EQ(CommandLineMovieLines(c.commandLine), c.lines) << c.commandLine;
}

TEST(FlstCommandLine, AnyNonEmptyTextWithoutSlashListsMovies) {
    struct Case {
        std::string commandLine;
        bool movies;
    } cases[] = {
        {"", false}, {" ", true}, {"-s", true}, {"a.swf", true}, {"/s", false}, {"a.swf /n", false},
        {"c:/movies/a.swf", false},
    };
    for (const auto& c : cases) EXPECT_EQ(IsMovieCommandLine(c.commandLine), c.movies) << c.commandLine;
}

}  // namespace
}  // namespace velmora::flst
