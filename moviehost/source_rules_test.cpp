#include <gtest/gtest.h>

#include "moviehost/source_rules.h"

namespace velmora::moviehost {
namespace {

TEST(SourceRules, MovieTextsAreUnloadAddressOrPath) {
    const struct {
        const char* movie;
        MovieSource kind;
    } cases[] = {
        {"-1", MovieSource::Unload},
        {"", MovieSource::Unload},
        {"http://www.example.com/a.swf", MovieSource::WebAddress},
        {"HTTPS://x/y.swf", MovieSource::WebAddress},
        {"ftp://x/y.swf", MovieSource::WebAddress},
        {"C:\\影片\\UIwel.dll", MovieSource::LocalFile},
        {"http.swf", MovieSource::LocalFile},
        {"-10", MovieSource::LocalFile},
    };
    for (const auto& c : cases) EXPECT_EQ(ClassifyMovieSource(c.movie), c.kind) << c.movie;
}

TEST(SourceRules, ScriptLoadsStayInTheMoviesSandbox) {
    const struct {
        const char* movie;
        const char* url;
        const char* where;  // nullptr: refused
    } cases[] = {
        {"C:\\影片\\game.swf", "scores.xml", "C:\\影片\\scores.xml"},
        {"C:\\影片\\game.swf", "data/menu.txt?v=2", "C:\\影片\\data\\menu.txt"},
        {"C:\\影片\\game.swf", "../secret.txt", nullptr},
        {"C:\\影片\\game.swf", "data\\..\\..\\x", nullptr},
        {"C:\\影片\\game.swf", "C:\\Windows\\win.ini", nullptr},
        {"C:\\影片\\game.swf", "\\\\server\\share\\x", nullptr},
        {"C:\\影片\\game.swf", "/etc/passwd", nullptr},
        {"C:\\影片\\game.swf", "file:///C:/x.txt", nullptr},
        {"C:\\影片\\game.swf", "http://example.com/x.xml", nullptr},
        {"C:\\影片\\game.swf", "", nullptr},
        {"http://h.example/dir/m.swf?a=1", "vars.txt", "http://h.example/dir/vars.txt"},
        {"http://h.example/dir/m.swf", "/top.xml", "http://h.example/top.xml"},
        {"http://h.example", "a.xml", "http://h.example/a.xml"},
        {"http://h.example/m.swf", "https://other.example/b.xml", "https://other.example/b.xml"},
        {"http://h.example/m.swf", "javascript:alert(1)", nullptr},
        {"-1", "a.xml", nullptr},
    };
    for (const auto& c : cases) {
        const auto source = ResolveDataSource(c.movie, c.url);
        if (!c.where) {
            EXPECT_FALSE(source) << c.movie << " " << c.url;
            continue;
        }
        ASSERT_TRUE(source) << c.movie << " " << c.url;
        EXPECT_EQ(source->where, c.where) << c.url;
        EXPECT_EQ(source->kind, ClassifyMovieSource(c.movie)) << c.url;
    }
}

TEST(SourceRules, QualityNames) {
    EXPECT_EQ(QualityFromName("high"), raster::Quality::High);
    EXPECT_EQ(QualityFromName("High"), raster::Quality::High);
    EXPECT_EQ(QualityFromName("low"), raster::Quality::Low);
    EXPECT_EQ(QualityFromName("autolow"), raster::Quality::Low);
    EXPECT_EQ(QualityFromName("fast"), std::nullopt);
}

TEST(SourceRules, BackgroundColours) {
    EXPECT_EQ(ColorFromRgb(0x336699), (Rgba{0x33, 0x66, 0x99, 255}));
    EXPECT_EQ(ColorFromText("#FF8000"), (Rgba{255, 128, 0, 255}));
    EXPECT_EQ(ColorFromText("00ff00"), (Rgba{0, 255, 0, 255}));
    for (const char* bad : {"", "#12345", "#GG0000", "1234567"}) EXPECT_EQ(ColorFromText(bad), std::nullopt) << bad;
}

}  // namespace
}  // namespace velmora::moviehost
