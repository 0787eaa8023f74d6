// Golden images of the swfgen samples, each showing one feature. Set
// VELMORA_UPDATE_GOLDENS=1 to rewrite them (then look at them before committing).
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "engine/swf/bitmap_reader.h"
#include "tools/swfgen/image_encode.h"
#include "tools/swfgen/samples.h"
#include "tools/swfrun/run_movie.h"

namespace velmora::movie {
namespace {

const std::string kGoldenDir = VELMORA_GOLDEN_DIR;

struct GoldenCase {
    const char* sample;
    int frames;
    raster::Quality quality;
};

TEST(Golden, SamplesMatchTheirPictures) {
    const GoldenCase cases[] = {
        {"shapes", 1, raster::Quality::High},   {"gradients", 1, raster::Quality::High},
        {"bitmap", 1, raster::Quality::Low},    {"timeline", 2, raster::Quality::High},
        {"sprite", 2, raster::Quality::High},   {"mask", 1, raster::Quality::High},
        {"morph", 1, raster::Quality::High},    {"button", 1, raster::Quality::Low},
        {"colortransform", 1, raster::Quality::High}, {"text", 1, raster::Quality::High},
    };
    const bool update = std::getenv("VELMORA_UPDATE_GOLDENS") != nullptr;
    constexpr int kTolerance = 3;  // per channel: small renderer changes must not churn these
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sample);
        swfrun::RunOptions options;
        options.frames = c.frames;
        options.quality = c.quality;
        auto run = swfrun::RunMovie(swfgen::FindSample(c.sample)->build(swf::Compression::Zlib), options);
        ASSERT_TRUE(run.ok) << run.error;
        const std::string path = kGoldenDir + "/" + c.sample + ".png";
        if (update) {
            auto png = swfgen::EncodePng(run.image);
            std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(png.data()),
                                                         static_cast<std::streamsize>(png.size()));
            continue;
        }
        std::ifstream in(path, std::ios::binary);
        std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        auto golden = swf::DecodeImage(bytes);
        ASSERT_TRUE(golden) << "missing " << path;
        ASSERT_EQ(golden->width, run.image.width);
        ASSERT_EQ(golden->height, run.image.height);
        int outliers = 0;
        for (size_t i = 0; i < golden->pixels.size(); ++i)
            for (int shift = 0; shift < 32; shift += 8) {
                int a = (golden->pixels[i] >> shift) & 0xFF, b = (run.image.pixels[i] >> shift) & 0xFF;
                if (std::abs(a - b) > kTolerance) ++outliers;
            }
        EXPECT_EQ(outliers, 0);
    }
}

}  // namespace
}  // namespace velmora::movie
