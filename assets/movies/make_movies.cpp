// Writes the shipped movies into a folder: make_movies OUTPUT_FOLDER FONT_FILE
// FONT_FILE is a TrueType font (or collection) with Chinese glyphs for the movies' text.
#include <cstdio>
#include <fstream>
#include <string>

#include "assets/movies/movies.h"
#include "engine/text/truetype_fonts.h"

namespace {

bool Write(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
    using namespace velmora::swfgen;
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_movies OUTPUT_FOLDER FONT_FILE\n");
        return 2;
    }
    const auto fonts = velmora::text::TrueTypeFontProvider::FromFile(argv[2]);
    const auto face = fonts ? fonts->FindFont("_sans", false, false) : nullptr;
    if (!face) {
        std::fprintf(stderr, "make_movies: no font in %s\n", argv[2]);
        return 1;
    }
    const std::string folder = std::string(argv[1]) + "/";
    const bool ok = Write(folder + "uistar.dll", AboutStar()) && Write(folder + "UIwel.dll", Welcome(*face)) &&
                    Write(folder + "demo.swf", Demo(*face));
    if (!ok) std::fprintf(stderr, "make_movies: cannot write into %s\n", argv[1]);
    return ok ? 0 : 1;
}
