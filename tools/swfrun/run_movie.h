// Runs a movie headless, scripts included, for a number of frames or clock ticks and
// keeps the last frame: the core of swfrun and of the corpus runners.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "engine/backend/font_provider.h"
#include "engine/core/shape.h"
#include "engine/movie/player.h"
#include "engine/script/scripted_player.h"
#include "engine/raster/renderer.h"

namespace velmora::swfrun {

struct RunOptions {
    int frames = 1;        // frames to show, the first included (used when ticks < 0)
    int ticks = -1;        // clock ticks instead of frames
    double tickMs = 0;     // tick length; 0: the movie's frame interval
    int width = 0, height = 0;  // 0: the stage size
    raster::Quality quality = raster::Quality::High;
    std::shared_ptr<backend::FontProvider> fonts;  // device fonts; none: device text is not drawn
    // Relative URLs scripts load (XML, LoadVars) are read from here; empty: every load fails.
    std::string movieFolder;
};

struct RunResult {
    bool ok = false;
    std::string error;
    uint32_t frame = 0;    // root frame at the end
    bool quit = false;     // the movie sent fscommand("quit")
    Bitmap image;          // the last frame, premultiplied BGRA
};

// The file a relative URL names under `folder` ("data/a.xml?x=1" -> folder/data/a.xml).
// Nothing for absolute paths, addresses with a scheme, ".." steps or files over 64 MB:
// a movie reads only beside itself, and never from the network.
std::optional<std::string> ReadMovieFile(const std::string& folder, std::string_view url);

// `callbacks` (trace, FSCommand, getURL) are passed to the player; an FSCommand "quit"
// ends the run early, stops the scripts and is still forwarded.
RunResult RunMovie(std::span<const uint8_t> movie, const RunOptions& options,
                   movie::PlayerCallbacks callbacks = {});

}  // namespace velmora::swfrun
