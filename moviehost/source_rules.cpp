#include "moviehost/source_rules.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <string>

namespace velmora::moviehost {

namespace {
std::string Lower(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower;
}
}  // namespace

MovieSource ClassifyMovieSource(std::string_view movie) {
    if (movie.empty() || movie == "-1") return MovieSource::Unload;
    const std::string lower = Lower(movie.substr(0, 8));
    for (const char* scheme : {"http://", "https://", "ftp://"})
        if (lower.starts_with(scheme)) return MovieSource::WebAddress;
    return MovieSource::LocalFile;
}

std::optional<raster::Quality> QualityFromName(std::string_view name) {
    const std::string lower = Lower(name);
    if (lower == "high" || lower == "best" || lower == "medium" || lower == "autohigh")
        return raster::Quality::High;
    if (lower == "low" || lower == "autolow") return raster::Quality::Low;
    return std::nullopt;
}

std::optional<Rgba> ColorFromText(std::string_view text) {
    if (text.starts_with('#')) text.remove_prefix(1);
    if (text.size() != 6) return std::nullopt;
    unsigned value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + 6, value, 16);
    if (error != std::errc() || end != text.data() + 6) return std::nullopt;
    return ColorFromRgb(static_cast<int32_t>(value));
}

Rgba ColorFromRgb(int32_t rgb) {
    return {static_cast<uint8_t>(rgb >> 16), static_cast<uint8_t>(rgb >> 8), static_cast<uint8_t>(rgb), 255};
}

}  // namespace velmora::moviehost
