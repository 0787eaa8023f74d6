#include <gtest/gtest.h>

#include "assets/movies/movies.h"
#include "engine/movie/player.h"

namespace velmora::swfgen {
namespace {

TEST(ShippedMovies, LoadCompletelyWithTheirFrames) {
    const struct {
        const char* name;
        std::vector<uint8_t> (*build)();
        uint32_t frames;
    } movies[] = {{"uistar.dll", AboutStar, 24}, {"UIwel.dll", Welcome, 36}, {"demo.swf", Demo, 96}};
    for (const auto& m : movies) {
        movie::Player player;
        player.Load(m.build());
        EXPECT_FALSE(player.LoadFailed()) << m.name;
        EXPECT_EQ(player.TotalFrames(), m.frames) << m.name;
        EXPECT_EQ(player.PercentLoaded(), 100) << m.name;
    }
}

}  // namespace
}  // namespace velmora::swfgen
