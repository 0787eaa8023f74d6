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

std::optional<DataSource> ResolveDataSource(std::string_view movie, std::string_view url) {
    const MovieSource from = ClassifyMovieSource(movie);
    if (from == MovieSource::Unload || url.empty()) return std::nullopt;
    if (ClassifyMovieSource(url) == MovieSource::WebAddress) {
        if (from != MovieSource::WebAddress) return std::nullopt;
        return DataSource{MovieSource::WebAddress, std::string(url)};
    }
    const size_t colon = url.find(':'), slash = url.find_first_of("/\\");
    if (colon != std::string_view::npos && (slash == std::string_view::npos || colon < slash)) return std::nullopt;
    if (from == MovieSource::WebAddress) {
        const size_t hostStart = movie.find("//") + 2;
        if (url.starts_with('/')) {
            const size_t hostEnd = movie.find('/', hostStart);
            return DataSource{from, std::string(movie.substr(0, hostEnd)) + std::string(url)};
        }
        const size_t cut = movie.find_first_of("?#", hostStart);
        const std::string_view page = movie.substr(0, cut);
        const size_t folder = page.rfind('/');
        const std::string base = folder < hostStart ? std::string(page) + "/" : std::string(page.substr(0, folder + 1));
        return DataSource{from, base + std::string(url)};
    }
    // A local file: the query part means nothing on disk.
    std::string_view relative = url.substr(0, url.find_first_of("?#"));
    if (relative.empty() || relative.front() == '/' || relative.front() == '\\') return std::nullopt;
    std::string path(movie.substr(0, movie.find_last_of("/\\") + 1));
    size_t start = 0;
    while (start <= relative.size()) {
        const size_t end = std::min(relative.find_first_of("/\\", start), relative.size());
        const std::string_view step = relative.substr(start, end - start);
        if (step == "..") return std::nullopt;
        path += step;
        if (end < relative.size()) path += '\\';
        start = end + 1;
    }
    return DataSource{from, path};
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
