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
