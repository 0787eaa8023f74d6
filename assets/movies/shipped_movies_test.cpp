#include <gtest/gtest.h>

#include <string_view>

#include "assets/movies/movies.h"
#include "engine/movie/player.h"
#include "engine/raster/renderer.h"
#include "engine/script/scripted_player.h"
#include "engine/text/truetype_fonts.h"

namespace velmora::swfgen {
namespace {

class ShippedMovies : public ::testing::Test {
protected:
    void SetUp() override {
        auto fonts = text::TrueTypeFontProvider::FromSystemFont();
        ASSERT_TRUE(fonts) << "the WenQuanYi font the setup installs is missing";
        m_face = fonts->FindFont("_sans", false, false);
        ASSERT_TRUE(m_face);
    }
    std::shared_ptr<const text::Font> m_face;
};

TEST_F(ShippedMovies, LoadCompletelyWithTheirFrames) {
    const struct {
        const char* name;
        std::vector<uint8_t> bytes;
        uint32_t frames;
    } movies[] = {{"uistar.dll", AboutStar(), 24}, {"UIwel.dll", Welcome(*m_face), 36}, {"demo.swf", Demo(*m_face), 96}};
    for (const auto& m : movies) {
        movie::Player player;
        player.Load(m.bytes);
        EXPECT_FALSE(player.LoadFailed()) << m.name;
        EXPECT_EQ(player.TotalFrames(), m.frames) << m.name;
        EXPECT_EQ(player.PercentLoaded(), 100) << m.name;
    }
}

// The Chinese text must not depend on the fonts of the user's system.
TEST_F(ShippedMovies, ChineseTextCarriesItsOwnGlyphs) {
    const struct {
        const char* name;
        std::vector<uint8_t> bytes;
        std::u32string_view text;
    } movies[] = {{"UIwel.dll", Welcome(*m_face), U"欢迎使用播放软件"}, {"demo.swf", Demo(*m_face), U"演示影片暂停继续"}};
    for (const auto& m : movies) {
        movie::Player player;
        player.Load(m.bytes);
        std::shared_ptr<const text::Font> embedded;
        for (const auto& [id, character] : player.Definition()->characters)
            if (auto font = character.AsFont()) embedded = font;
        ASSERT_TRUE(embedded) << m.name;
        EXPECT_TRUE(embedded->HasOutlines()) << m.name;
        for (char32_t cp : m.text) {
            const auto glyph = embedded->GlyphIndex(cp);
            ASSERT_TRUE(glyph) << m.name << " lacks U+" << std::hex << static_cast<uint32_t>(cp);
            EXPECT_FALSE(embedded->GlyphAt(*glyph)->outline.layers.empty()) << m.name;
        }
    }
}

TEST_F(ShippedMovies, DemoButtonPausesAndResumesTheMovie) {
    script::ScriptedPlayer scripted;
    movie::Player& player = scripted.GetPlayer();
    player.Load(Demo(*m_face));
    // The stage is 550x400 pixels; the button's box starts at (35, 305) and is 120x40.
    raster::Surface surface(550, 400);
    auto click = [&] {
        player.Render(surface);
        player.MouseMove(90, 325);
        player.MouseDown(90, 325);
        player.MouseUp(90, 325);
    };
    for (int i = 0; i < 5; ++i) player.RunFrame();
    click();
    player.RunFrame();
    const uint32_t paused = player.CurrentFrame();
    for (int i = 0; i < 5; ++i) player.RunFrame();
    EXPECT_EQ(player.CurrentFrame(), paused);
    click();
    for (int i = 0; i < 5; ++i) player.RunFrame();
    EXPECT_GT(player.CurrentFrame(), paused);
}

}  // namespace
}  // namespace velmora::swfgen
