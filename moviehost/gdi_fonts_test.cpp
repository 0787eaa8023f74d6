// The GDI font provider over the fonts installed here (under Wine: WenQuanYi).
#include "moviehost/gdi_fonts.h"

#include <gtest/gtest.h>

namespace velmora::moviehost {
namespace {

size_t EdgeCount(const text::Glyph& g) {
    size_t n = 0;
    for (const auto& layer : g.outline.layers) n += layer.edges.size();
    return n;
}

TEST(GdiFonts, ChineseGlyphsHaveOutlinesAndPlausibleAdvances) {
    GdiFontProvider provider;
    for (const char* name : {"_sans", "宋体", "_typewriter", "No Such Font"}) {
        SCOPED_TRACE(name);
        std::shared_ptr<const text::Font> font = provider.FindFont(name, false, false);
        ASSERT_TRUE(font);
        EXPECT_FALSE(provider.FaceFor(name).empty());
        EXPECT_GT(font->EmSquare(), 100);
        EXPECT_GT(font->Ascent(), font->EmSquare() / 2);
        EXPECT_GT(font->Descent(), 0);
        auto zhong = font->GlyphIndex(U'中');
        ASSERT_TRUE(zhong);
        const text::Glyph* glyph = font->GlyphAt(*zhong);
        EXPECT_GE(EdgeCount(*glyph), 8u);  // two boxes and a stroke at the least
        EXPECT_NEAR(glyph->advance / font->EmSquare(), 1.0, 0.15);
        // Within the em square, above the baseline mostly.
        int minY = 0, maxX = 0;
        for (const auto& e : glyph->outline.layers[0].edges) minY = std::min(minY, e.y0), maxX = std::max(maxX, e.x0);
        EXPECT_LT(minY, -font->EmSquare() / 2);
        EXPECT_LT(maxX, font->EmSquare() * 1.1);
        auto space = font->GlyphIndex(U' ');
        ASSERT_TRUE(space);
        EXPECT_EQ(EdgeCount(*font->GlyphAt(*space)), 0u);
        EXPECT_GT(font->Advance(*space), 0);
    }
    EXPECT_EQ(provider.FindFont("_sans", false, false), provider.FindFont("_sans", false, false));
}

TEST(GdiFonts, ItalicOutlinesLeanRight) {
    GdiFontProvider provider;
    auto upright = provider.FindFont("_sans", false, false);
    auto italic = provider.FindFont("_sans", false, true);
    ASSERT_TRUE(upright && italic);
    auto topX = [](const text::Font& f) {
        const text::Glyph* g = f.GlyphAt(*f.GlyphIndex(U'l'));
        int y = 0, x = 0;
        for (const auto& e : g->outline.layers[0].edges)
            if (e.y0 < y) y = e.y0, x = e.x0;
        return x;
    };
    EXPECT_GT(topX(*italic), topX(*upright));
}

}  // namespace
}  // namespace velmora::moviehost
