// Effects benchmark: a movie whose every frame moves a crowd of clips drawn through
// offscreen layers (blur, drop shadow, glow, colour matrix filters and multiply, screen,
// layer blend modes), played by the movie player at 550x400, quality high and low.
// Prints frames per second against the same crowd with no effects; it is not a test.
// Options: --seconds S per configuration.
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <numbers>
#include <string>
#include <vector>

#include "engine/movie/player.h"
#include "engine/raster/test_support.h"
#include "tools/swfgen/movie_builder.h"

namespace {

using namespace velmora;
using namespace velmora::raster::testing;

constexpr int kStageW = 550, kStageH = 400, kClips = 24, kFrames = 60;

Shape Blob(int index) {
    Shape s;
    ShapeLayer layer;
    layer.fills.push_back(SolidFill({static_cast<uint8_t>(60 + index * 8), static_cast<uint8_t>(200 - index * 5),
                                     static_cast<uint8_t>(90 + index * 3), 255}));
    AddCircleEdges(layer, 0, 0, 30 * kTwips, 1);
    AddPolygonEdges(layer, {{-10 * kTwips, -45 * kTwips}, {10 * kTwips, -45 * kTwips}, {0, -20 * kTwips}}, 1);
    s.layers.push_back(layer);
    s.bounds = s.edgeBounds = {-30 * kTwips, 30 * kTwips, -45 * kTwips, 30 * kTwips};
    return s;
}

std::vector<Filter> EffectFilters(int index) {
    Filter f;
    f.blurX = f.blurY = 6;
    f.passes = 2;
    f.strength = 1.5f;
    f.compositeSource = true;
    f.colors = {{0, 0, 0, 160}};
    switch (index % 4) {
    case 0: f.kind = FilterKind::Blur; break;
    case 1:
        f.kind = FilterKind::DropShadow;
        f.distance = 6;
        f.angle = std::numbers::pi / 4;
        break;
    case 2:
        f.kind = FilterKind::Glow;
        f.colors = {{255, 220, 0, 255}};
        break;
    default:
        f.kind = FilterKind::ColorMatrix;
        f.matrix = {0.3f, 0.6f, 0.1f, 0, 0, 0.3f, 0.6f, 0.1f, 0, 0, 0.3f, 0.6f, 0.1f, 0, 0, 0, 0, 0, 1, 0};
        break;
    }
    return {f};
}

std::vector<uint8_t> BuildMovie(bool effects) {
    swfgen::MovieBuilder movie(8, {0, kStageW * kTwips, 0, kStageH * kTwips}, 30);
    movie.SetBackground({240, 240, 250, 255});
    for (int i = 0; i < kClips; ++i) movie.DefineShape(static_cast<uint16_t>(i + 1), Blob(i));
    constexpr BlendMode kModes[] = {BlendMode::Normal, BlendMode::Multiply, BlendMode::Screen, BlendMode::Layer};
    for (int frame = 0; frame < kFrames; ++frame) {
        for (int i = 0; i < kClips; ++i) {
            const double t = 2 * std::numbers::pi * (frame + i * 7) / kFrames;
            const Matrix m = {1, 0, 0, 1, (60 + (i % 6) * 85 + 25 * std::cos(t)) * kTwips,
                              (70 + (i / 6) * 85 + 25 * std::sin(t)) * kTwips};
            swf::PlaceObject place = swfgen::Placement(frame == 0 ? std::optional<uint16_t>(i + 1) : std::nullopt,
                                                       static_cast<uint16_t>(i + 1), m);
            place.move = frame > 0;
            if (effects && frame == 0) {
                place.filters = EffectFilters(i);
                place.blendMode = kModes[i % 4];
                place.version = 3;
            }
            movie.Place(place);
        }
        movie.ShowFrame();
    }
    return movie.Build();
}

double FramesPerSecond(const std::vector<uint8_t>& bytes, raster::Quality quality, double seconds) {
    movie::Player player;
    player.Load(bytes);
    player.SetQuality(quality);
    player.Play();
    raster::Surface surface(kStageW, kStageH);
    const auto start = std::chrono::steady_clock::now();
    int frames = 0;
    double elapsed = 0;
    while (elapsed < seconds) {
        player.Advance(player.FrameIntervalMs());
        player.Render(surface);
        ++frames;
        elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    return frames / elapsed;
}

}  // namespace

int main(int argc, char** argv) {
    double seconds = 2;
    for (int i = 1; i + 1 < argc; ++i)
        if (!std::strcmp(argv[i], "--seconds")) seconds = std::stod(argv[i + 1]);
    const std::vector<uint8_t> plain = BuildMovie(false), effects = BuildMovie(true);
    for (auto [name, quality] : {std::pair{"high", raster::Quality::High}, {"low", raster::Quality::Low}}) {
        const double base = FramesPerSecond(plain, quality, seconds);
        const double fx = FramesPerSecond(effects, quality, seconds);
        std::printf("550x400 %-4s  %d clips  plain %7.1f fps  effects %7.1f fps  (%.1fx slower)\n", name, kClips,
                    base, fx, base / fx);
    }
    return 0;
}
