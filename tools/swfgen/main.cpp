// swfgen: writes the sample movies. `swfgen --list`, `swfgen NAME OUT.swf [--cws|--zws]`.
#include <cstdio>
#include <fstream>
#include <string_view>

#include "engine/swf/swf_stream.h"
#include "tools/swfgen/samples.h"

namespace {

int Usage() {
    std::fprintf(stderr, "usage: swfgen --list | swfgen NAME OUT.swf [--cws|--zws]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace velmora;
    if (argc == 2 && std::string_view(argv[1]) == "--list") {
        for (const auto& s : swfgen::Samples())
            std::printf("%-16.*s %.*s\n", static_cast<int>(s.name.size()), s.name.data(),
                        static_cast<int>(s.description.size()), s.description.data());
        return 0;
    }
    if (argc < 3 || argc > 4) return Usage();
    const swfgen::Sample* sample = swfgen::FindSample(argv[1]);
    if (!sample) {
        std::fprintf(stderr, "swfgen: unknown sample '%s' (see --list)\n", argv[1]);
        return 2;
    }
    swf::Compression compression = swf::Compression::None;
    if (argc == 4) {
        std::string_view opt = argv[3];
        if (opt == "--cws") compression = swf::Compression::Zlib;
        else if (opt == "--zws") compression = swf::Compression::Lzma;
        else return Usage();
    }
    std::vector<uint8_t> movie = sample->build(compression);
    std::ofstream out(argv[2], std::ios::binary);
    out.write(reinterpret_cast<const char*>(movie.data()), static_cast<std::streamsize>(movie.size()));
    if (!out) {
        std::fprintf(stderr, "swfgen: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
