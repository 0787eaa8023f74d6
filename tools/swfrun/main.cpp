// swfrun MOVIE [--frames N | --ticks N] [--png OUT.png] [--size WxH] [--quality high|low]
// Runs a movie headless with its scripts, prints trace() lines to stdout, and writes its
// last frame as PNG.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "engine/text/truetype_fonts.h"
#include "tools/swfgen/image_encode.h"
#include "tools/swfrun/run_movie.h"

namespace {

int Usage() {
    std::fprintf(stderr,
                 "usage: swfrun MOVIE [--frames N | --ticks N] [--png OUT.png] [--size WxH] "
                 "[--quality high|low]\n");
    return 2;
}

bool ParseCount(const char* text, int& out) {
    char* end = nullptr;
    long v = std::strtol(text, &end, 10);
    if (!end || *end || v < 0 || v > 1000000) return false;
    out = static_cast<int>(v);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace velmora;
    if (argc < 2) return Usage();
    swfrun::RunOptions options;
    options.fonts = text::TrueTypeFontProvider::FromSystemFont();
    std::string moviePath = argv[1], pngPath;
    for (int i = 2; i < argc; ++i) {
        std::string_view arg = argv[i];
        bool hasValue = i + 1 < argc;
        if (arg == "--frames" && hasValue) {
            if (!ParseCount(argv[++i], options.frames)) return Usage();
        } else if (arg == "--ticks" && hasValue) {
            if (!ParseCount(argv[++i], options.ticks)) return Usage();
        } else if (arg == "--png" && hasValue) {
            pngPath = argv[++i];
        } else if (arg == "--size" && hasValue) {
            if (std::sscanf(argv[++i], "%dx%d", &options.width, &options.height) != 2) return Usage();
        } else if (arg == "--quality" && hasValue) {
            std::string_view q = argv[++i];
            if (q == "high") options.quality = raster::Quality::High;
            else if (q == "low") options.quality = raster::Quality::Low;
            else return Usage();
        } else {
            return Usage();
        }
    }
    options.movieFolder = std::filesystem::absolute(moviePath).parent_path().string();
    std::ifstream in(moviePath, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "swfrun: cannot open %s\n", moviePath.c_str());
        return 1;
    }
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());

    movie::PlayerCallbacks callbacks;
    // One line per trace() call, as the trace corpus records them.
    callbacks.trace = [](std::string_view text) {
        std::fwrite(text.data(), 1, text.size(), stdout);
        std::fputc('\n', stdout);
    };
    swfrun::RunResult result = swfrun::RunMovie(bytes, options, std::move(callbacks));
    if (!result.ok) {
        std::fprintf(stderr, "swfrun: %s: %s\n", moviePath.c_str(), result.error.c_str());
        return 1;
    }
    if (!pngPath.empty()) {
        std::vector<uint8_t> png = swfgen::EncodePng(result.image);
        std::ofstream out(pngPath, std::ios::binary);
        out.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
        if (!out) {
            std::fprintf(stderr, "swfrun: cannot write %s\n", pngPath.c_str());
            return 1;
        }
    }
    return 0;
}
