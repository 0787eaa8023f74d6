// How the movie host reads the texts its callers set: the Movie source, the quality
// names and the background colour.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "engine/core/geometry.h"
#include "engine/raster/renderer.h"

namespace velmora::moviehost {

enum class MovieSource { Unload, WebAddress, LocalFile };

// "-1" (and "") unload; http://, https:// and ftp:// addresses are fetched; anything else
// is a local path, whatever its extension.
MovieSource ClassifyMovieSource(std::string_view movie);

// Where a script's load (XML, LoadVars) of `url` goes for the movie `movie`. A web movie
// reaches web addresses, relative ones beside it; a local movie reads only files in its
// own folder or below (no drive, no root, no ".." step, no scheme), as Flash's local
// sandbox allowed. Nothing for anything else.
struct DataSource {
    MovieSource kind = MovieSource::Unload;
    std::string where;  // the address, or the file's path
};
std::optional<DataSource> ResolveDataSource(std::string_view movie, std::string_view url);

// Quality2 names: "high", "best", "medium", "autohigh" draw anti-aliased; "low" and
// "autolow" aliased. Unknown names give nothing.
std::optional<raster::Quality> QualityFromName(std::string_view name);

// "#RRGGBB" or "RRGGBB"; anything else (including "") gives nothing.
std::optional<Rgba> ColorFromText(std::string_view text);

// 0xRRGGBB as the BackgroundColor property takes it.
Rgba ColorFromRgb(int32_t rgb);

}  // namespace velmora::moviehost
