// Device fonts: the name candidates, contours into outlines, and the TrueType provider
// over the installed WenQuanYi font drawing a Chinese character.
#include <gtest/gtest.h>

#include <string>

#include "engine/raster/renderer.h"
#include "engine/text/font_names.h"
#include "engine/text/glyph_run.h"
#include "engine/text/outline_builder.h"
#include "engine/text/truetype_fonts.h"

namespace velmora::text {
namespace {

TEST(DeviceFontNames, GenericAndChineseNamesMapToSystemFonts) {
    struct Case {
        const char* name;
        const char* first;  // the preferred system font
        bool keepsName;     // the name itself is tried
    };
    const Case cases[] = {
        {"_sans", "Microsoft YaHei", false}, {"_serif", "SimSun", false}, {"_typewriter", "NSimSun", false},
        {"宋体", "SimSun", true},            {"黑体", "SimHei", true},     {"simhei", "SimHei", false},
        {"Arial", "Arial", true},            {"方正姚体", "方正姚体", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> fonts = DeviceFontCandidates(c.name);
        ASSERT_FALSE(fonts.empty());
        EXPECT_EQ(fonts.front(), c.first);
        EXPECT_EQ(std::find(fonts.begin(), fonts.end(), std::string(c.name)) != fonts.end(), c.keepsName);
        // Whatever is asked for, a font with Chinese glyphs comes last, as under Wine.
        EXPECT_NE(std::find(fonts.begin(), fonts.end(), "WenQuanYi Micro Hei"), fonts.end());
    }
}

TEST(OutlineBuilder, ContoursCloseFlipAndSlant) {
    OutlineBuilder plain;
    plain.MoveTo(0, 0);
    plain.LineTo(100, 0);
    plain.QuadTo(100, 100, 0, 100);
    Shape s = plain.Take();  // closed back to the start
    ASSERT_EQ(s.layers[0].edges.size(), 3u);
    EXPECT_TRUE(s.usesNonZeroWinding);
    EXPECT_EQ(s.layers[0].edges[1].cy, -100);  // y up becomes y down
    EXPECT_EQ(s.layers[0].edges[2].y0, -100);
    EXPECT_EQ(s.layers[0].edges[2].y1, 0);

    OutlineBuilder slanted(0.5);
    slanted.MoveTo(0, 100);
    slanted.CubicTo(0, 200, 100, 200, 100, 100);
    Shape c = slanted.Take();
    ASSERT_EQ(c.layers[0].edges.size(), 5u);  // four quadratics and the closing line
    EXPECT_EQ(c.layers[0].edges[0].x0, 50);   // shear moves points by half their height
    EXPECT_EQ(c.layers[0].edges[3].x1, 150);
    // The cubic's middle (t = 0.5) is at height 175: the second piece ends there.
    EXPECT_EQ(c.layers[0].edges[1].y1, -175);
}

// Ink of a 64-pixel cell, by rows of '#' (covered more than half) and '.'.
std::vector<std::string> Draw(const Font& font, char32_t cp, const std::shared_ptr<const Font>& owner) {
    constexpr int kSize = 64;
    raster::Surface surface(kSize, kSize);
    raster::Renderer renderer(surface, raster::Quality::High, {});
    renderer.Clear({255, 255, 255, 255});
    GlyphRun run;
    run.font = owner;
    run.size = kSize * 20;
    run.color = {0, 0, 0, 255};
    run.y = font.Ascent() * font.Scale(run.size);
    run.glyphs = LayoutGlyphs(font, run.size, std::u32string(1, cp), false);
    TextPicture picture;
    AppendGlyphRun(run, picture);
    DrawTextPicture(renderer, picture, Matrix{0.05, 0, 0, 0.05, 0, 0}, {});
    std::vector<std::string> rows;
    for (int y = 0; y < kSize; ++y) {
        std::string row;
        for (int x = 0; x < kSize; ++x) row += (surface.Row(y)[x] & 0xFF) < 128 ? '#' : '.';
        rows.push_back(row);
    }
    return rows;
}

TEST(TrueTypeFonts, DrawsAChineseCharacter) {
    auto provider = TrueTypeFontProvider::FromSystemFont();
    if (!provider) GTEST_SKIP() << "WenQuanYi Micro Hei is not installed";
    std::shared_ptr<const Font> font = provider->FindFont("宋体", false, false);
    ASSERT_TRUE(font);
    EXPECT_EQ(provider->FindFont("宋体", false, false), font);  // one font per name and style
    ASSERT_TRUE(font->GlyphIndex(U'中'));
    EXPECT_EQ(font->GlyphIndex(U'中'), font->GlyphIndex(U'中'));  // loaded once
    EXPECT_FALSE(font->GlyphIndex(0xE000));                       // private use: none
    // A CJK glyph is about one em wide; a Latin letter narrower.
    EXPECT_NEAR(font->Advance(*font->GlyphIndex(U'中')) / font->EmSquare(), 1.0, 0.1);
    EXPECT_LT(font->Advance(*font->GlyphIndex(U'i')), font->Advance(*font->GlyphIndex(U'W')));
    EXPECT_GT(font->Ascent(), 0);
    EXPECT_GT(font->Descent(), 0);

    // 中: a box with a stroke through its middle, top to bottom. The box's inside is
    // empty on both sides of the stroke, and so is the area above the box beside it.
    std::vector<std::string> rows = Draw(*font, U'中', font);
    std::string dump;
    for (const auto& r : rows) dump += r + "\n";
    SCOPED_TRACE(dump);
    int strokeRows = 0, leftEdge = 64, rightEdge = -1;
    for (int y = 0; y < 64; ++y) {
        if (rows[y].substr(30, 4).find('#') != std::string::npos) ++strokeRows;
        for (int x = 0; x < 64; ++x)
            if (rows[y][x] == '#') leftEdge = std::min(leftEdge, x), rightEdge = std::max(rightEdge, x);
    }
    EXPECT_GT(strokeRows, 44) << dump;  // the stroke spans most of the em
    EXPECT_LT(leftEdge, 12);    // the box is nearly as wide as the em
    EXPECT_GT(rightEdge, 51);
    // Inside the box, halfway between its side and the stroke, at the box's middle height:
    // find the box's middle as the rows where the far left column is inked.
    int boxTop = -1, boxBottom = -1;
    for (int y = 0; y < 64; ++y)
        if (rows[y][leftEdge + 1] == '#') {
            if (boxTop < 0) boxTop = y;
            boxBottom = y;
        }
    ASSERT_GT(boxBottom - boxTop, 10);
    const int middle = (boxTop + boxBottom) / 2;
    EXPECT_EQ(rows[middle][(leftEdge + 32) / 2], '.');
    EXPECT_EQ(rows[middle][(rightEdge + 32) / 2], '.');
    EXPECT_EQ(rows[2][(leftEdge + 32) / 2], '.');

    // Italic is slanted: the top of the stroke moves right of its bottom.
    std::shared_ptr<const Font> italic = provider->FindFont("宋体", false, true);
    ASSERT_NE(italic, font);
    std::vector<std::string> slanted = Draw(*italic, U'中', italic);
    auto inkCentre = [](const std::string& row) {
        int sum = 0, n = 0;
        for (int x = 24; x < 44; ++x)
            if (row[x] == '#') sum += x, ++n;
        return n ? static_cast<double>(sum) / n : -1.0;
    };
    EXPECT_GT(inkCentre(slanted[boxTop - 3]) - inkCentre(slanted[boxBottom + 3]), 2);
}

}  // namespace
}  // namespace velmora::text
