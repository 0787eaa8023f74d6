#include "assets/movies/movies.h"

#include <cmath>
#include <numbers>

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

std::vector<uint8_t> Welcome() {
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
    m.Place(3, 1, Place(4200, 3800));
    m.Place(1, 2, Place(0, 0));
    m.Place(2, 3, Place(800, 650));
    m.Place(4, 4, Place(4300, 3800));
    m.Place(5, 5, Place(0, 5960));
    m.ShowFrame();
    for (int f = 1; f < 36; ++f) {
        m.Move(1, Place(4200, 3800, 0, 1 + 0.04 * std::sin(f * 2 * std::numbers::pi / 36)));
        m.Move(3, Place(800, 650, f * 2 * std::numbers::pi / 180));
        m.ShowFrame();
    }
    return m.Build();
}

std::vector<uint8_t> Demo() {
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
    m.DefineButton2(8, button);
    m.Place(1, 1, Place(0, 0));
    m.Place(2, 2, Place(0, kH - 900));
    m.Place(4, 3, Place(8800, 1800));
    m.Place(3, 4, Place(1000, 2000));
    m.Place(8, 5, Place(700, kH - 1900));
    m.ShowFrame();
    constexpr int kFrames = 96;
    for (int f = 1; f < kFrames; ++f) {
        const double t = static_cast<double>(f) / kFrames;
        const double x = 1000 + t * (kW - 2000);
        const double bounce = std::abs(std::sin(t * 3 * std::numbers::pi));
        m.Move(3, Place(x, kH - 1500 - bounce * 4500));
        m.Move(4, Place(8800, 1800, t * 2 * std::numbers::pi));
        m.ShowFrame();
    }
    return m.Build();
}

}  // namespace velmora::swfgen
