#include "engine/swf/fuzz/fuzz_entry.h"

#include "engine/movie/movie_clip.h"
#include "engine/movie/movie_loader.h"
#include "engine/movie/player.h"

namespace velmora::fuzz {

void ReadMovie(std::span<const uint8_t> data) {
    movie::MovieLoader loader;
    // The first byte picks the chunk size, so arrival boundaries get fuzzed too.
    size_t chunk = data.empty() ? 1 : 1 + data[0] % 64;
    for (size_t pos = 0; pos < data.size(); pos += chunk)
        loader.Append(data.subspan(pos, std::min(chunk, data.size() - pos)));
    loader.Finish();
    for (const auto& [id, character] : loader.Definition().characters)
        if (const swf::MorphShape* morph = character.AsMorph())
            for (uint16_t ratio : {0, 30000, 65535}) swf::InterpolateMorph(*morph, ratio);
}

void PlayMovie(std::span<const uint8_t> data) {
    movie::Player player;
    player.Load(data);
    raster::Surface surface(64, 48);
    for (int frame = 0; frame < 4; ++frame) {
        player.SetQuality(frame % 2 ? raster::Quality::Low : raster::Quality::High);
        player.Render(surface);
        player.MouseMove(32, 24);
        player.MouseDown(32, 24);
        player.MouseUp(32, 24);
        player.KeyDown(65);
        player.RunFrame();
    }
    player.GotoFrame(1);
    player.Zoom(50);
    player.Render(surface);
}

}  // namespace velmora::fuzz
