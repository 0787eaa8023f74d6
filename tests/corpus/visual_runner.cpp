// Visual corpus runner: plays every movie of a ruffle-visual style suite, compares the
// frames named by test.toml with the expected PNGs under each comparison's own tolerance
// and outlier budget, and reports the pass count and the failures. Known gaps do not
// fail the run; only a crash or a missing suite folder with an argument error does.
//   corpus_visual SUITE_DIR [RENDER_DIR]
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "engine/swf/bitmap_reader.h"
#include "engine/text/truetype_fonts.h"
#include "tests/corpus/test_toml.h"
#include "tools/swfgen/image_encode.h"
#include "tools/swfrun/run_movie.h"

namespace fs = std::filesystem;
using namespace velmora;

namespace {

std::vector<uint8_t> ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct Comparison {
    bool pass = false;
    std::string detail;
};

// Channels of straight RGBA beyond the tolerance, against each check's budget.
Comparison Compare(const Bitmap& actual, const Bitmap& expected, const std::vector<corpus::ImageCheck>& checks) {
    Comparison result;
    if (actual.width != expected.width || actual.height != expected.height) {
        result.detail = "size " + std::to_string(actual.width) + "x" + std::to_string(actual.height) +
                        " != expected " + std::to_string(expected.width) + "x" + std::to_string(expected.height);
        return result;
    }
    std::vector<uint8_t> a = swfgen::ToStraightRgba(actual), e = swfgen::ToStraightRgba(expected);
    result.pass = true;
    for (const auto& check : checks) {
        long outliers = 0;
        int worst = 0;
        for (size_t i = 0; i < a.size(); ++i) {
            int diff = std::abs(a[i] - e[i]);
            worst = std::max(worst, diff);
            if (diff > check.tolerance) ++outliers;
        }
        if (outliers > check.maxOutliers) {
            result.pass = false;
            result.detail = std::to_string(outliers) + " channels off by more than " + std::to_string(check.tolerance) +
                            " (allowed " + std::to_string(check.maxOutliers) + ", worst " + std::to_string(worst) + ")";
            break;
        }
    }
    return result;
}

void WritePng(const fs::path& path, const Bitmap& image) {
    std::vector<uint8_t> png = swfgen::EncodePng(image);
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(png.data()),
                                                 static_cast<std::streamsize>(png.size()));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: corpus_visual SUITE_DIR [RENDER_DIR]\n");
        return 2;
    }
    const fs::path suite = argv[1];
    if (!fs::is_directory(suite)) {
        std::printf("corpus suite %s not present: skipped\n", suite.string().c_str());
        return 0;
    }
    fs::path renders;
    if (argc >= 3) {
        renders = argv[2];
        fs::create_directories(renders);
    }
    std::vector<fs::path> tests;
    for (const auto& entry : fs::directory_iterator(suite))
        if (entry.is_directory() && fs::exists(entry.path() / "test.toml")) tests.push_back(entry.path());
    std::sort(tests.begin(), tests.end());

    // Device text is drawn with the WenQuanYi font when it is installed.
    std::shared_ptr<backend::FontProvider> fonts = text::TrueTypeFontProvider::FromSystemFont();
    int comparisons = 0, passed = 0, moviesPassed = 0;
    std::vector<std::string> failures;
    for (const auto& dir : tests) {
        const std::string name = dir.filename().string();
        std::vector<uint8_t> tomlBytes = ReadFile(dir / "test.toml");
        corpus::TestSpec spec = corpus::ReadTestSpec(std::string(tomlBytes.begin(), tomlBytes.end()));
        std::vector<uint8_t> movie = ReadFile(dir / "test.swf");
        bool moviePass = !spec.images.empty();
        for (const auto& image : spec.images) {
            ++comparisons;
            swfrun::RunOptions options;
            options.fonts = fonts;
            options.quality = spec.qualityLow ? raster::Quality::Low : raster::Quality::High;
            options.width = spec.viewportWidth;
            options.height = spec.viewportHeight;
            if (image.triggerFrame) {
                options.frames = *image.triggerFrame;
            } else if (spec.numTicks) {
                options.ticks = *spec.numTicks;
                options.tickMs = spec.tickRateMs.value_or(0);
            } else {
                options.frames = spec.numFrames;
            }
            swfrun::RunResult run = swfrun::RunMovie(movie, options);
            const fs::path expectedPath = dir / (image.name + ".expected.png");
            std::vector<uint8_t> expectedBytes = ReadFile(expectedPath);
            auto expected = swf::DecodeImage(expectedBytes);
            Comparison cmp;
            if (!run.ok) cmp.detail = "run failed: " + run.error;
            else if (!expected) cmp.detail = "no expected image " + expectedPath.filename().string();
            else cmp = Compare(run.image, *expected, image.checks);
            if (run.ok && !renders.empty()) WritePng(renders / (name + "." + image.name + ".png"), run.image);
            if (cmp.pass) {
                ++passed;
            } else {
                moviePass = false;
                failures.push_back(name + " [" + image.name + "]: " + cmp.detail);
            }
        }
        if (moviePass) ++moviesPassed;
    }
    std::printf("%s: %d of %d image comparisons pass (%d of %zu tests)\n", suite.filename().string().c_str(), passed,
                comparisons, moviesPassed, tests.size());
    for (const auto& f : failures) std::printf("  FAIL %s\n", f.c_str());
    return 0;
}
