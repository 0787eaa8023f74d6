// Renderer benchmark: a typical Flash animation frame (hundreds of curved shapes with solid
// and gradient fills and outlines, a bitmap, every transform changing each frame), drawn
// single-threaded at 550x400 and 1920x1080, quality high and low; and a text-heavy movie
// played through the player.
// Prints frames per second, nanoseconds per pixel and peak memory; it is not a test.
// Options: --seconds S per configuration, --dense (a heavier crowd), --png OUT (one
// 1920x1080 frame), --only 1920x1080-high (one configuration; "text": the text movie).
#include <sys/resource.h>
#include <time.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <numbers>
#include <string>
#include <vector>

#include "bench/text_bench.h"
#include "engine/raster/image_file.h"
#include "engine/raster/renderer.h"
#include "engine/raster/test_support.h"

namespace {

using namespace velmora;
using namespace velmora::raster;
using namespace velmora::raster::testing;

constexpr int kStageW = 550, kStageH = 400;

class Random {
public:
    double Next() {
        m_state = m_state * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<double>(m_state >> 11) / static_cast<double>(1ull << 53);
    }
    double In(double lo, double hi) { return lo + (hi - lo) * Next(); }
    uint8_t Byte() { return static_cast<uint8_t>(In(0, 256)); }

private:
    uint64_t m_state = 0x853c49e6748fea9bull;
};

FillStyle Gradient(Random& rnd, FillKind kind, double radius) {
    FillStyle f;
    f.kind = kind;
    f.gradient.stops = {{0, {rnd.Byte(), rnd.Byte(), rnd.Byte(), 255}},
                        {200, {rnd.Byte(), rnd.Byte(), rnd.Byte(), 255}},
                        {255, {rnd.Byte(), rnd.Byte(), rnd.Byte(), 255}}};
    const double s = radius / 16384;
    f.matrix = {s, 0, 0, s, 0, 0};
    return f;
}

// A cartoon-like character part: a body cut in two by a curve, an eye, all outlined.
// Its radius is rMin..rMax stage pixels.
Shape Character(Random& rnd, double rMin, double rMax) {
    const int r = static_cast<int>(rnd.In(rMin, rMax) * kTwips);
    Shape s;
    ShapeLayer layer;
    layer.fills = {SolidFill({rnd.Byte(), rnd.Byte(), rnd.Byte(), 255}),
                   rnd.Next() < 0.3 ? Gradient(rnd, FillKind::RadialGradient, r)
                                    : SolidFill({rnd.Byte(), rnd.Byte(), rnd.Byte(), 255}),
                   SolidFill({255, 255, 255, 255})};
    LineStyle outline;
    outline.width = static_cast<uint16_t>(rnd.In(20, 80));
    outline.color = {20, 20, 30, 255};
    layer.lines = {outline};
    const int w = static_cast<int>(r * rnd.In(0.8, 1.3));
    layer.edges = {Curve(-w, 0, -w, -r, 0, -r, 0, 1, 1), Curve(0, -r, w, -r, w, 0, 0, 1, 1),
                   Curve(w, 0, 0, r / 3, -w, 0, 2, 1, 1), Curve(-w, 0, -w, r, 0, r, 2, 0, 1),
                   Curve(0, r, w, r, w, 0, 2, 0, 1)};
    AddCircleEdges(layer, w / 3.0, -r / 2.0, r / 5.0, 3, 1);
    s.layers.push_back(layer);
    return s;
}

Shape Photo(const Bitmap& bmp) {
    Shape s = RectShape(0, 0, bmp.width * kTwips, bmp.height * kTwips, {});
    s.layers[0].fills[0].kind = FillKind::ClippedBitmap;
    s.layers[0].fills[0].bitmapId = 1;
    s.layers[0].fills[0].matrix = {kTwips, 0, 0, kTwips, 0, 0};
    return s;
}

Bitmap MakeBitmap() {
    Bitmap b{128, 96, std::vector<uint32_t>(128 * 96)};
    for (int y = 0; y < b.height; ++y)
        for (int x = 0; x < b.width; ++x)
            b.pixels[y * b.width + x] = 0xFF000000u | (x * 2) << 16 | (y * 2) << 8 | ((x ^ y) & 0xFF);
    return b;
}

struct Sprite {
    const Shape* shape;
    double x, y, scale, angle, vx, vy, spin;
};

struct Movie {
    Shape background;
    std::vector<Shape> shapes;
    Shape photo;
    Bitmap bitmap = MakeBitmap();
    std::vector<Sprite> sprites;

    double coverage = 0;  // summed area of the characters, in stages

    Movie(int count, double rMin, double rMax) {
        Random rnd;
        background = RectShape(0, 0, kStageW * kTwips, kStageH * kTwips, {});
        background.layers[0].fills[0] = Gradient(rnd, FillKind::LinearGradient, kStageW * kTwips / 2.0);
        background.layers[0].fills[0].matrix.tx = kStageW * kTwips / 2.0;
        for (int i = 0; i < count; ++i) shapes.push_back(Character(rnd, rMin, rMax));
        photo = Photo(bitmap);
        for (const Shape& s : shapes)
            sprites.push_back({&s, rnd.In(0, kStageW), rnd.In(0, kStageH), rnd.In(0.6, 1.4),
                               rnd.In(0, 6.28), rnd.In(-2, 2), rnd.In(-2, 2), rnd.In(-0.05, 0.05)});
        sprites.push_back({&photo, 200, 150, 1, 0, 1, 0.5, 0.01});
        for (size_t i = 0; i < shapes.size(); ++i) {
            const RectTwips b = Bounds(shapes[i]);
            // The body is close to an ellipse in its box.
            coverage += std::numbers::pi / 4 * (b.xMax - b.xMin) * (b.yMax - b.yMin) /
                        (kTwips * kTwips) * sprites[i].scale * sprites[i].scale;
        }
        coverage /= kStageW * kStageH;
    }

    static RectTwips Bounds(const Shape& s) {
        RectTwips b{INT32_MAX, INT32_MIN, INT32_MAX, INT32_MIN};
        for (const ShapeEdge& e : s.layers[0].edges) {
            b.xMin = std::min({b.xMin, e.x0, e.x1}), b.xMax = std::max({b.xMax, e.x0, e.x1});
            b.yMin = std::min({b.yMin, e.y0, e.y1}), b.yMax = std::max({b.yMax, e.y0, e.y1});
        }
        return b;
    }

    // Draws frame `n`: every sprite moved, rotated and scaled. `stage` maps stage pixels
    // to the surface.
    void Draw(Renderer& r, int n, const Matrix& stage) const {
        r.Clear({255, 255, 255, 255});
        const Matrix twips{1.0 / kTwips, 0, 0, 1.0 / kTwips, 0, 0};
        r.DrawShape(background, stage * twips, {});
        for (const Sprite& s : sprites) {
            const double a = s.angle + s.spin * n;
            const double k = s.scale * (1 + 0.1 * std::sin(n * 0.1 + s.x));
            const double x = std::fmod(s.x + s.vx * n + 10 * kStageW, kStageW);
            const double y = std::fmod(s.y + s.vy * n + 10 * kStageH, kStageH);
            const Matrix place{k * std::cos(a), k * std::sin(a), -k * std::sin(a), k * std::cos(a), x, y};
            r.DrawShape(*s.shape, stage * place * twips, {});
        }
    }

    const Bitmap* Lookup(uint16_t id) const { return id == 1 ? &bitmap : nullptr; }
};

long PeakKilobytes() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

// "Show all" placement of the stage in a surface, centred.
Matrix ShowAll(int w, int h) {
    const double s = std::min(static_cast<double>(w) / kStageW, static_cast<double>(h) / kStageH);
    return {s, 0, 0, s, (w - kStageW * s) / 2, (h - kStageH * s) / 2};
}

// Seconds of CPU this process has used: on a machine shared with other work it shows the
// renderer's own cost where wall time also counts waiting for a core.
double CpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + t.tv_nsec * 1e-9;
}

double WallSeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

void Run(const Movie& movie, int w, int h, Quality q, double seconds) {
    Surface surface(w, h);
    const Matrix stage = ShowAll(w, h);
    auto lookup = [&movie](uint16_t id) { return movie.Lookup(id); };
    const double wallStart = WallSeconds(), cpuStart = CpuSeconds();
    int frames = 0;
    double cpu = 0;
    do {
        Renderer r(surface, q, lookup);
        movie.Draw(r, frames++, stage);
        cpu = CpuSeconds() - cpuStart;
    } while (cpu < seconds || frames < 3);
    const double perFrame = cpu / frames, wallPerFrame = (WallSeconds() - wallStart) / frames;
    std::printf("%4dx%-4d %-4s %7.1f fps %8.2f ms/frame %6.2f ns/pixel  (CPU time, %d frames; "
                "wall %.1f fps)\n",
                w, h, q == Quality::High ? "high" : "low", 1 / perFrame, perFrame * 1e3,
                perFrame * 1e9 / (static_cast<double>(w) * h), frames, 1 / wallPerFrame);
}

// What an unchanged frame costs the renderer: every shape offered, nothing dirty.
void RunUnchanged(const Movie& movie, int w, int h) {
    Surface surface(w, h);
    const Matrix stage = ShowAll(w, h);
    auto lookup = [&movie](uint16_t id) { return movie.Lookup(id); };
    const int frames = 200;
    const double start = CpuSeconds();
    for (int n = 0; n < frames; ++n) {
        Renderer r(surface, Quality::High, lookup);
        r.SetClip({0, 0, 0, 0});
        movie.Draw(r, 7, stage);
    }
    const double perFrame = (CpuSeconds() - start) / frames;
    std::printf("%4dx%-4d unchanged frame (empty clip, %zu shapes offered): %.1f us/frame\n", w,
                h, movie.sprites.size() + 1, perFrame * 1e6);
}

}  // namespace

int main(int argc, char** argv) {
    double seconds = 2;
    const char* png = nullptr;
    const char* only = nullptr;  // e.g. "1920x1080-high"
    bool dense = false;
    for (int i = 1; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        if (!std::strcmp(argv[i], "--dense")) dense = true;
        else if (hasValue && !std::strcmp(argv[i], "--seconds")) seconds = std::atof(argv[++i]);
        else if (hasValue && !std::strcmp(argv[i], "--png")) png = argv[++i];
        else if (hasValue && !std::strcmp(argv[i], "--only")) only = argv[++i];
    }
    // Typical: about 2.5 layers of paint per pixel, as in cartoon animation. Dense: a crowd
    // of large characters, about 6.
    const Movie movie = dense ? Movie(300, 15, 60) : Movie(200, 10, 35);
    std::printf("%s movie: %zu outlined characters (3 fills, 30%% radial gradients, 2 outlines), "
                "a gradient background, one %dx%d bitmap; paint layers per pixel ~%.1f\n",
                dense ? "dense" : "typical", movie.shapes.size(), movie.bitmap.width,
                movie.bitmap.height, movie.coverage + 1);
    if (png) {
        Surface surface(1920, 1080);
        {
            Renderer r(surface, Quality::High, [&movie](uint16_t id) { return movie.Lookup(id); });
            movie.Draw(r, 30, ShowAll(1920, 1080));
        }
        if (!WritePng(surface, png)) std::fprintf(stderr, "cannot write %s\n", png);
    }
    for (auto [w, h] : {std::pair{550, 400}, std::pair{1920, 1080}})
        for (Quality q : {Quality::High, Quality::Low}) {
            const std::string name = std::to_string(w) + "x" + std::to_string(h) +
                                     (q == Quality::High ? "-high" : "-low");
            if (!only || name == only) Run(movie, w, h, q, seconds);
        }
    RunUnchanged(movie, 1920, 1080);
    if (!only || std::strcmp(only, "text") == 0) bench::RunTextMovie(seconds);
    std::printf("peak memory: %.1f MB\n", PeakKilobytes() / 1024.0);
    return 0;
}
