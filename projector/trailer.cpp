#include "projector/trailer.h"

namespace velmora::projector {

namespace {
uint32_t ReadLe32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}
void WriteLe32(std::vector<uint8_t>& out, uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<uint8_t>(value >> shift));
}
}  // namespace

std::optional<std::span<const uint8_t>> FindAppendedMovie(std::span<const uint8_t> file) {
    if (file.size() < kTrailerSize) return std::nullopt;
    const uint8_t* trailer = file.data() + file.size() - kTrailerSize;
    if (ReadLe32(trailer) != kTrailerMagic) return std::nullopt;
    const uint32_t length = ReadLe32(trailer + 4);
    const size_t available = file.size() - kTrailerSize;
    if (length < 8 || length > available) return std::nullopt;
    std::span<const uint8_t> movie = file.subspan(available - length, length);
    const bool signature = (movie[0] == 'F' || movie[0] == 'C' || movie[0] == 'Z') && movie[1] == 'W' && movie[2] == 'S';
    if (!signature) return std::nullopt;
    return movie;
}

std::vector<uint8_t> AppendMovie(std::span<const uint8_t> program, std::span<const uint8_t> movie) {
    std::vector<uint8_t> out(program.begin(), program.end());
    out.insert(out.end(), movie.begin(), movie.end());
    WriteLe32(out, kTrailerMagic);
    WriteLe32(out, static_cast<uint32_t>(movie.size()));
    return out;
}

}  // namespace velmora::projector
