#include "tools/swfrun/run_movie.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>

namespace velmora::swfrun {

namespace {

constexpr uintmax_t kMaxLoadBytes = 64u << 20;

}  // namespace

std::optional<std::string> ReadMovieFile(const std::string& folder, std::string_view url) {
    url = url.substr(0, std::min(url.find('?'), url.find('#')));
    if (folder.empty() || url.empty() || url.front() == '/' || url.front() == '\\' ||
        url.find(':') != std::string_view::npos) {
        return std::nullopt;
    }
    std::filesystem::path relative(url);
    for (const auto& part : relative)
        if (part == "..") return std::nullopt;
    std::filesystem::path file = std::filesystem::path(folder) / relative;
    std::error_code error;
    if (!std::filesystem::is_regular_file(file, error) || std::filesystem::file_size(file, error) > kMaxLoadBytes)
        return std::nullopt;
    std::ifstream in(file, std::ios::binary);
    if (!in) return std::nullopt;
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

RunResult RunMovie(std::span<const uint8_t> bytes, const RunOptions& options, movie::PlayerCallbacks callbacks) {
    RunResult result;
    script::ScriptedPlayer scripted;
    movie::Player& player = scripted.GetPlayer();
    auto fsCommand = callbacks.fsCommand;
    callbacks.fsCommand = [&result, &scripted, fsCommand](std::string_view command, std::string_view args) {
        if (command == "quit") {
            result.quit = true;
            scripted.StopScripts();  // the movie has ended: nothing after it runs
        }
        if (fsCommand) fsCommand(command, args);
    };
    scripted.SetCallbacks(std::move(callbacks));
    scripted.SetDataLoader([&scripted, folder = options.movieFolder](uint32_t request, const avm1::DataRequest& what) {
        std::optional<std::string> bytes = ReadMovieFile(folder, what.url);
        scripted.DeliverData(request, bytes.has_value(), bytes.value_or(std::string()));
    });
    player.SetQuality(options.quality);
    player.SetFontProvider(options.fonts);
    // Scripts can ask for the window's size before anything is drawn.
    if (options.width > 0 && options.height > 0) player.SetViewportSize(options.width, options.height);
    player.Load(bytes);
    if (!player.HasMovie()) {
        result.error = player.LoadFailed() ? "not a playable movie" : "movie header incomplete";
        return result;
    }
    const RectTwips stage = player.Definition()->header.frameSize;
    int width = options.width > 0 ? options.width : static_cast<int>(std::lround((stage.xMax - stage.xMin) / 20.0));
    int height = options.height > 0 ? options.height : static_cast<int>(std::lround((stage.yMax - stage.yMin) / 20.0));
    width = std::clamp(width, 1, 8192);
    height = std::clamp(height, 1, 8192);

    if (options.ticks >= 0) {
        const double tick = options.tickMs > 0 ? options.tickMs : player.FrameIntervalMs();
        for (int i = 0; i < options.ticks && !result.quit; ++i) player.Advance(tick);
    } else {
        for (int i = 1; i < options.frames && !result.quit; ++i) player.RunFrame();
    }
    raster::Surface surface(width, height);
    player.Render(surface);
    result.image.width = width;
    result.image.height = height;
    result.image.pixels.assign(surface.Data(), surface.Data() + static_cast<size_t>(width) * height);
    result.frame = player.CurrentFrame();
    result.ok = true;
    return result;
}

}  // namespace velmora::swfrun
