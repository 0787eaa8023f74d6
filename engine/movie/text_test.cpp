// Static text on the display list: the em square of DefineFont3 against DefineFont2,
// device text through the player's font provider, and text hit by its bounds.
#include <gtest/gtest.h>

#include "engine/movie/player.h"
#include "engine/text/truetype_fonts.h"
#include "tools/swfgen/movie_builder.h"
#include "tools/swfgen/shape_builder.h"
#include "tools/swfgen/text_writer.h"

namespace velmora::movie {
namespace {

constexpr RectTwips kStage = {0, 4000, 0, 3000};  // 200 x 150 pixels
constexpr Rgba kBlack = {0, 0, 0, 255};

text::StaticText OneLine(const text::Font& font, uint16_t fontId, double height, std::u32string_view codes) {
    text::StaticText t;
    t.bounds = {0, 3600, -static_cast<int32_t>(height), static_cast<int32_t>(height / 4)};
    t.records.push_back({fontId, kBlack, height, 0, 0, text::LayoutGlyphs(font, height, codes, true)});
    return t;
}

int Inked(const raster::Surface& s, int x0, int y0, int x1, int y1) {
    int n = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) n += (s.Row(y)[x] & 0xFF) < 128;
    return n;
}

TEST(StaticText, DefineFont3GlyphsAreAsLargeAsDefineFont2Glyphs) {
    swfgen::MovieBuilder m(8, kStage, 12);
    const text::Font font2 = swfgen::BlockFont(U"ABCD", text::kEmSquare);
    const text::Font font3 = swfgen::BlockFont(U"ABCD", text::kEmSquareFont3);
    m.DefineFont(1, font2, swf::kTagDefineFont2);
    m.DefineFont(2, font3, swf::kTagDefineFont3);
    m.DefineText(3, OneLine(font2, 1, 600, U"ABDC"));
    m.DefineText(4, OneLine(font3, 2, 600, U"ABDC"));
    m.Place(3, 1, {1, 0, 0, 1, 200, 1000});
    m.Place(4, 2, {1, 0, 0, 1, 200, 2400});
    m.ShowFrame();
    Player player;
    player.Load(m.Build());
    raster::Surface surface(200, 150);
    player.Render(surface);
    // The second line is the first one 70 pixels lower, pixel for pixel.
    const int ink = Inked(surface, 0, 0, 200, 75);
    EXPECT_GT(ink, 600);
    int differing = 0;
    for (int y = 0; y < 75; ++y)
        for (int x = 0; x < 200; ++x) differing += surface.Row(y)[x] != surface.Row(y + 70)[x];
    EXPECT_EQ(differing, 0);
}

// A movie whose font has codes but no outlines, as device text is stored.
std::vector<uint8_t> DeviceTextMovie() {
    swfgen::MovieBuilder m(8, kStage, 12);
    text::Font codesOnly;
    codesOnly.SetName("_sans");
    for (char32_t cp : U"中文") codesOnly.AddGlyph(text::Glyph{}, cp);
    m.DefineFont(1, codesOnly, swf::kTagDefineFont2);
    text::StaticText t;
    t.bounds = {0, 2400, -1000, 300};
    t.records.push_back({1, kBlack, 1000, 0, 0, {{0, 1000}, {1, 1000}}});
    m.DefineText(2, t);
    m.Place(2, 1, {1, 0, 0, 1, 400, 1600});
    m.ShowFrame();
    return m.Build();
}

TEST(StaticText, DeviceTextDrawsWithThePlayersFonts) {
    auto fonts = text::TrueTypeFontProvider::FromSystemFont();
    if (!fonts) GTEST_SKIP() << "WenQuanYi Micro Hei is not installed";
    raster::Surface surface(200, 150);
    Player bare;
    bare.Load(DeviceTextMovie());
    bare.Render(surface);
    EXPECT_EQ(Inked(surface, 0, 0, 200, 150), 0);

    Player player;
    player.SetFontProvider(fonts);
    player.Load(DeviceTextMovie());
    player.Render(surface);
    // Two 50-pixel characters side by side on the baseline at y = 80.
    const int first = Inked(surface, 20, 30, 70, 85), second = Inked(surface, 70, 30, 120, 85);
    EXPECT_GT(first, 300);
    EXPECT_GT(second, 300);
    EXPECT_EQ(Inked(surface, 0, 0, 200, 150), first + second);
}

TEST(StaticText, ButtonWithTextAsHitAreaIsHitBetweenGlyphs) {
    swfgen::MovieBuilder m(8, kStage, 12);
    const text::Font font = swfgen::BlockFont(U"AB ", text::kEmSquare);
    m.DefineFont(1, font, swf::kTagDefineFont2);
    m.DefineText(2, OneLine(font, 1, 400, U"A  B"));
    swfgen::ShapeBuilder over;
    over.SetStyles(0, over.AddFill(swfgen::SolidFill({40, 80, 220, 255})), 0);
    over.Rect(0, 2000, 400, 400);
    m.DefineShape(3, over.Build());
    swf::Button button;
    button.records.push_back({swf::kButtonUp | swf::kButtonHit, 2, 1, {}, {}, {}, swf::BlendMode::Normal});
    button.records.push_back({swf::kButtonOver, 3, 2, {}, {}, {}, swf::BlendMode::Normal});
    m.DefineButton2(4, button);
    m.Place(4, 1, {1, 0, 0, 1, 200, 600});
    m.ShowFrame();
    Player player;
    player.Load(m.Build());
    raster::Surface surface(200, 150);
    player.Render(surface);
    // Between the A and the B (spaces) lies no ink, but the text's bounds.
    const double x = (200 + font.Advance(0) * 400 / 1024 + 40) / 20.0, y = (600 - 100) / 20.0;
    player.MouseMove(x, y);
    player.Render(surface);
    EXPECT_EQ(surface.Row(140)[20], 0xFF2850DCu);  // the over state's shape
    player.MouseMove(190, 5);
    player.Render(surface);
    EXPECT_NE(surface.Row(140)[20], 0xFF2850DCu);
}

}  // namespace
}  // namespace velmora::movie
