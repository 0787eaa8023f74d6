#include "assets/movies/movies.h"

#include <cmath>
#include <numbers>

#include "engine/text/glyph_run.h"
#include "tools/swfgen/movie_builder.h"
#include "tools/swfgen/shape_builder.h"

namespace velmora::swfgen {
namespace {

Matrix Place(double x, double y, double angle = 0, double scale = 1) {
    const double c = std::cos(angle) * scale, s = std::sin(angle) * scale;
    return {c, s, -s, c, x, y};
}

// A five-pointed star centred on the origin.
Shape Star(int32_t outer, int32_t inner, Rgba color, Rgba edge) {
    ShapeBuilder b;
    b.SetStyles(b.AddFill(SolidFill(color)), 0, b.AddLine(Stroke(40, edge)));
    for (int i = 0; i <= 10; ++i) {
        const double angle = -std::numbers::pi / 2 + i * std::numbers::pi / 5;
        const int32_t r = i % 2 ? inner : outer;
        const auto x = static_cast<int32_t>(std::lround(r * std::cos(angle)));
        const auto y = static_cast<int32_t>(std::lround(r * std::sin(angle)));
        i == 0 ? b.MoveTo(x, y) : b.LineTo(x, y);
    }
    return b.Build();
}

Shape Ball(int32_t radius, Rgba inner, Rgba outer) {
    ShapeBuilder b;
    b.SetStyles(b.AddFill(GradientFill(FillKind::RadialGradient, {{0, inner}, {255, outer}}, -radius, -radius,
                                       2.0 * radius, 2.0 * radius)),
                0, 0);
    b.Ellipse(0, 0, radius, radius);
    return b.Build();
}

Shape Box(int32_t x, int32_t y, int32_t w, int32_t h, Rgba color) {
    ShapeBuilder b;
    b.SetStyles(b.AddFill(SolidFill(color)), 0, 0);
    b.Rect(x, y, w, h);
    return b.Build();
}

Shape Banner(int32_t w, int32_t h, Rgba top, Rgba bottom) {
    ShapeBuilder b;
    b.SetStyles(b.AddFill(GradientFill(FillKind::LinearGradient, {{0, top}, {255, bottom}}, 0, 0, w, h)), 0, 0);
    b.Rect(0, 0, w, h);
    return b.Build();
}

// The glyphs of `codes` copied out of a device font into a DefineFont3 font, so the shipped
// movies show their Chinese text on any system, with or without that font.
std::shared_ptr<const text::Font> EmbeddedSubset(const text::Font& face, std::u32string_view codes) {
    auto font = std::make_shared<text::Font>(text::kEmSquareFont3);
    font->SetName(face.Name());
    const double scale = text::kEmSquareFont3 / face.EmSquare();
    auto units = [scale](double v) { return static_cast<int32_t>(std::lround(v * scale)); };
    for (char32_t cp : codes) {
        if (font->GlyphIndex(cp)) continue;
        const std::optional<uint32_t> index = face.GlyphIndex(cp);
        if (!index) continue;
        text::Glyph glyph = *face.GlyphAt(*index);
        for (ShapeLayer& layer : glyph.outline.layers)
            for (ShapeEdge& e : layer.edges) {
                e.x0 = units(e.x0), e.y0 = units(e.y0), e.cx = units(e.cx), e.cy = units(e.cy);
                e.x1 = units(e.x1), e.y1 = units(e.y1);
            }
        glyph.advance *= scale;
        glyph.bounds.reset();
        font->AddGlyph(std::move(glyph), cp);
    }
    font->SetLayout(face.Ascent() * scale, face.Descent() * scale, face.Leading() * scale);
    return font;
}

double LineWidth(const std::vector<text::GlyphEntry>& glyphs) {
    double width = 0;
    for (const text::GlyphEntry& g : glyphs) width += g.advance;
    return width;
}

// One line of static text in `font`, its pen starting at (x, y) on the baseline.
text::StaticText Line(const text::Font& font, uint16_t fontId, std::u32string_view line, double size, Rgba color,
                      double x, double y) {
    text::StaticText t;
    text::TextRecord& r = t.records.emplace_back();
    r.fontId = fontId;
    r.color = color;
    r.height = size;
    r.x = x;
    r.y = y;
    r.glyphs = text::LayoutGlyphs(font, size, line, false);
    const double width = LineWidth(r.glyphs);
    t.bounds = {static_cast<int32_t>(x), static_cast<int32_t>(std::ceil(x + width)),
                static_cast<int32_t>(y - size), static_cast<int32_t>(std::ceil(y + size / 4))};
    return t;
}

// On release: stop the movie, or play it again when the button stopped it.
//   if (!paused) { stop(); paused = true; } else { play(); paused = false; }
const std::vector<uint8_t> kPauseToggle = {
    0x96, 0x08, 0x00, 0x00, 'p', 'a', 'u', 's', 'e', 'd', 0x00,  // push "paused"
    0x1C, 0x12,                                                  // getVariable, not
    0x9D, 0x02, 0x00, 20, 0x00,                                  // if: skip 20 bytes to the stop
    0x06,                                                        // play
    0x96, 0x0A, 0x00, 0x00, 'p', 'a', 'u', 's', 'e', 'd', 0x00, 0x05, 0x00, 0x1D,  // paused = false
    0x99, 0x02, 0x00, 15, 0x00,                                  // jump over the stop
    0x07,                                                        // stop
    0x96, 0x0A, 0x00, 0x00, 'p', 'a', 'u', 's', 'e', 'd', 0x00, 0x05, 0x01, 0x1D,  // paused = true
    0x00};

}  // namespace

std::vector<uint8_t> AboutStar() {
    MovieBuilder m(6, {0, 1600, 0, 1600}, 12);
    m.SetBackground({240, 240, 240, 255});
    m.DefineShape(1, Star(700, 300, {250, 200, 40, 255}, {200, 120, 20, 255}));
    m.Place(1, 1, Place(800, 800));
    m.ShowFrame();
    for (int f = 1; f < 24; ++f) {
        const double t = f / 24.0;
        m.Move(1, Place(800, 800, t * 2 * std::numbers::pi / 5, 0.85 + 0.15 * std::cos(t * 2 * std::numbers::pi)));
        m.ShowFrame();
    }
    return m.Build();
}

std::vector<uint8_t> Welcome(const text::Font& face) {
    MovieBuilder m(6, {0, 8400, 0, 6100}, 12);
    m.SetBackground({238, 238, 233, 255});
    m.DefineShape(1, Banner(8400, 1300, {24, 85, 198, 255}, {110, 138, 222, 255}));
    m.DefineShape(2, Star(500, 210, {250, 200, 40, 255}, {255, 255, 255, 255}));
    m.DefineShape(3, Ball(1700, {255, 255, 255, 255}, {200, 212, 238, 255}));
    // A big play mark on the disc: the player waits for a movie.
    ShapeBuilder mark;
    mark.SetStyles(mark.AddFill(SolidFill({240, 120, 40, 255})), 0, mark.AddLine(Stroke(60, {255, 255, 255, 255})));
    mark.MoveTo(-450, -650);
    mark.LineTo(700, 0);
    mark.LineTo(-450, 650);
    mark.LineTo(-450, -650);
    m.DefineShape(4, mark.Build());
    m.DefineShape(5, Box(0, 0, 8400, 140, {24, 85, 198, 255}));
    constexpr std::u32string_view kGreeting = U"欢迎使用 Velmora Flash 播放软件";
    const auto font = EmbeddedSubset(face, kGreeting);
    m.DefineFont(6, *font, swf::kTagDefineFont3);
    m.DefineText(7, Line(*font, 6, kGreeting, 420, {255, 255, 255, 255}, 1600, 800));
    m.Place(3, 1, Place(4200, 3800));
    m.Place(1, 2, Place(0, 0));
    m.Place(2, 3, Place(800, 650));
    m.Place(4, 4, Place(4300, 3800));
    m.Place(5, 5, Place(0, 5960));
    m.Place(7, 6, Place(0, 0));
    m.ShowFrame();
    for (int f = 1; f < 36; ++f) {
        m.Move(1, Place(4200, 3800, 0, 1 + 0.04 * std::sin(f * 2 * std::numbers::pi / 36)));
        m.Move(3, Place(800, 650, f * 2 * std::numbers::pi / 180));
        m.ShowFrame();
    }
    return m.Build();
}

std::vector<uint8_t> Demo(const text::Font& face) {
    constexpr int32_t kW = 11000, kH = 8000;
    MovieBuilder m(6, {0, kW, 0, kH}, 24);
    m.SetBackground({20, 30, 70, 255});
    m.DefineShape(1, Banner(kW, kH, {20, 30, 90, 255}, {240, 120, 60, 255}));
    m.DefineShape(2, Box(0, 0, kW, 900, {40, 30, 40, 255}));
    m.DefineShape(3, Ball(600, {255, 250, 220, 255}, {240, 80, 40, 255}));
    m.DefineShape(4, Star(900, 380, {255, 220, 80, 255}, {255, 255, 255, 255}));
    m.DefineShape(5, Box(0, 0, 2400, 800, {60, 140, 230, 255}));
    m.DefineShape(6, Box(0, 0, 2400, 800, {90, 200, 120, 255}));
    m.DefineShape(7, Box(0, 0, 2400, 800, {230, 90, 60, 255}));
    swf::Button button;
    button.records.push_back({swf::kButtonUp, 5, 1, {}, {}, {}, swf::BlendMode::Normal});
    button.records.push_back({swf::kButtonOver, 6, 1, {}, {}, {}, swf::BlendMode::Normal});
    button.records.push_back({swf::kButtonDown | swf::kButtonHit, 7, 1, {}, {}, {}, swf::BlendMode::Normal});
    constexpr std::u32string_view kTitle = U"Velmora 演示影片", kSubtitle = U"跳动的小球与旋转的星星";
    constexpr std::u32string_view kLabel = U"暂停 / 继续";
    const auto font = EmbeddedSubset(face, std::u32string(kTitle) + std::u32string(kSubtitle) + std::u32string(kLabel));
    m.DefineFont(9, *font, swf::kTagDefineFont3);
    m.DefineText(10, Line(*font, 9, kTitle, 640, {255, 255, 255, 255}, 700, 1100));
    m.DefineText(11, Line(*font, 9, kSubtitle, 320, {255, 230, 190, 255}, 700, 1600));
    const double labelWidth = LineWidth(text::LayoutGlyphs(*font, 300, kLabel, false));
    m.DefineText(12, Line(*font, 9, kLabel, 300, {255, 255, 255, 255}, (2400 - labelWidth) / 2, 510));
    button.records.push_back({swf::kButtonUp | swf::kButtonOver | swf::kButtonDown, 12, 2, {}, {}, {},
                              swf::BlendMode::Normal});
    button.actions.push_back({swf::kCondOverDownToOverUp, kPauseToggle});
    m.DefineButton2(8, button);
    m.Place(1, 1, Place(0, 0));
    m.Place(2, 2, Place(0, kH - 900));
    m.Place(4, 3, Place(8800, 1800));
    m.Place(3, 4, Place(1000, 2000));
    m.Place(8, 5, Place(700, kH - 1900));
    m.Place(10, 6, Place(0, 0));
    m.Place(11, 7, Place(0, 0));
    m.ShowFrame();
    constexpr int kFrames = 96;
    for (int f = 1; f < kFrames; ++f) {
        const double t = static_cast<double>(f) / kFrames;
        const double x = 1000 + t * (kW - 2000);
        const double bounce = std::abs(std::sin(t * 3 * std::numbers::pi));
        m.Move(4, Place(x, kH - 1500 - bounce * 4500));  // the ball
        m.Move(3, Place(8800, 1800, t * 2 * std::numbers::pi));  // the star
        m.ShowFrame();
    }
    return m.Build();
}

}  // namespace velmora::swfgen
