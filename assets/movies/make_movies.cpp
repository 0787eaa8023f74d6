// Writes the shipped movies into a folder: make_movies OUTPUT_FOLDER
#include <cstdio>
#include <fstream>
#include <string>

#include "assets/movies/movies.h"

namespace {

bool Write(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
    using namespace velmora::swfgen;
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_movies OUTPUT_FOLDER\n");
        return 2;
    }
    const std::string folder = std::string(argv[1]) + "/";
    const bool ok = Write(folder + "uistar.dll", AboutStar()) && Write(folder + "UIwel.dll", Welcome()) &&
                    Write(folder + "demo.swf", Demo());
    if (!ok) std::fprintf(stderr, "make_movies: cannot write into %s\n", argv[1]);
    return ok ? 0 : 1;
}
