#include "bench/text_bench.h"

#include <time.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "common/text.h"
#include "engine/movie/player.h"
#include "engine/text/truetype_fonts.h"
#include "tools/swfgen/movie_builder.h"
#include "tools/swfgen/text_writer.h"

namespace velmora::bench {

namespace {

constexpr int kLines = 24, kFrames = 60;

// Subtitle-like text of common characters.
const char kText[] =
    "春眠不觉晓处处闻啼鸟夜来风雨声花落知多少床前明月光疑是地上霜举头望明月低头思故乡白日依山尽黄河入海流欲穷千里目"
    "更上一层楼红豆生南国春来发几枝愿君多采撷此物最相思千山鸟飞绝万径人踪灭孤舟蓑笠翁独钓寒江雪";

// The characters' outlines as a movie would embed them (DefineFont3), taken from the
// installed font; block letters when it is missing.
text::Font EmbeddedFont(const std::u32string& codes) {
    auto provider = text::TrueTypeFontProvider::FromSystemFont();
    std::shared_ptr<const text::Font> device = provider ? provider->FindFont("宋体", false, false) : nullptr;
    if (!device) return swfgen::BlockFont(codes, text::kEmSquareFont3);
    text::Font font(text::kEmSquareFont3);
    font.SetName("宋体");
    const double k = text::kEmSquareFont3 / device->EmSquare();
    auto scaled = [k](int32_t v) { return static_cast<int32_t>(std::lround(v * k)); };
    for (char32_t cp : codes) {
        auto index = device->GlyphIndex(cp);
        if (!index) continue;
        text::Glyph glyph = *device->GlyphAt(*index);
        glyph.advance *= k;
        for (auto& layer : glyph.outline.layers)
            for (auto& e : layer.edges)
                e = {scaled(e.x0), scaled(e.y0), scaled(e.cx), scaled(e.cy), scaled(e.x1), scaled(e.y1),
                     e.curved, e.fill0, e.fill1, e.line};
        font.AddGlyph(std::move(glyph), cp);
    }
    font.SetLayout(0.86 * text::kEmSquareFont3, 0.14 * text::kEmSquareFont3, 0);
    return font;
}

std::vector<uint8_t> BuildMovie(size_t& glyphCount) {
    swfgen::MovieBuilder m(8, {0, 11000, 0, 8000}, 24);
    m.SetBackground({255, 255, 255, 255});
    const std::u32string codes = Utf8ToUtf32(kText);
    const text::Font font = EmbeddedFont(codes);
    m.DefineFont(1, font, swf::kTagDefineFont3);
    glyphCount = 0;
    for (int line = 0; line < kLines; ++line) {
        const double height = 240 + 40 * (line % 5);  // 12 to 20 pixels
        const std::u32string run = codes.substr((line * 7) % 60, 26);
        text::StaticText t;
        t.bounds = {0, 11000, -static_cast<int32_t>(height), static_cast<int32_t>(height / 4)};
        t.records.push_back({1, Rgba{static_cast<uint8_t>(line * 10), 40, 90, 255}, height, 0, 0,
                             text::LayoutGlyphs(font, height, run, true)});
        glyphCount += t.records.back().glyphs.size();
        m.DefineText(static_cast<uint16_t>(10 + line), t);
    }
    // Every frame scrolls every line: nothing stays in place, each frame is drawn whole.
    for (int frame = 0; frame < kFrames; ++frame) {
        for (int line = 0; line < kLines; ++line) {
            const double y = std::fmod(400 + line * 340 - frame * 40 + kLines * 340, kLines * 340.0);
            const Matrix at{1, 0, 0, 1, 200.0 + 30 * (line % 3), y};
            if (frame == 0) m.Place(static_cast<uint16_t>(10 + line), static_cast<uint16_t>(line + 1), at);
            else m.Move(static_cast<uint16_t>(line + 1), at);
        }
        m.ShowFrame();
    }
    return m.Build();
}

double CpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + t.tv_nsec * 1e-9;
}

}  // namespace

void RunTextMovie(double seconds) {
    size_t glyphs = 0;
    const std::vector<uint8_t> bytes = BuildMovie(glyphs);
    std::printf("text movie: %d lines of embedded Chinese glyphs (%zu glyphs, 12-20 px), all scrolling\n", kLines,
                glyphs);
    for (raster::Quality q : {raster::Quality::High, raster::Quality::Low}) {
        movie::Player player;
        player.SetQuality(q);
        player.Load(bytes);
        raster::Surface surface(550, 400);
        int frames = 0;
        const double start = CpuSeconds();
        double cpu = 0;
        do {
            player.RunFrame();
            player.Render(surface);
            ++frames;
            cpu = CpuSeconds() - start;
        } while (cpu < seconds || frames < 3);
        std::printf(" 550x400  %-4s %7.1f fps %8.2f ms/frame  (CPU time, %d frames, player and renderer)\n",
                    q == raster::Quality::High ? "high" : "low", frames / cpu, cpu / frames * 1e3, frames);
    }
}

}  // namespace velmora::bench
