#include "tests/corpus/test_toml.h"

#include <gtest/gtest.h>

namespace velmora::corpus {
namespace {

TEST(TestToml, FlattensSectionsInlineTablesAndArrays) {
    auto toml = ParseToml(R"(num_frames = 30  # run long
[image_comparisons."output"]
tolerance = 2
[[image_comparisons.output.checks]]
max_outliers = 5
[[image_comparisons.output.checks]]
max_outliers = 7
[player_options]
with_renderer = { optional = false,
                  quality = "low" }
name = "a # not a comment"
)");
    EXPECT_EQ(toml["num_frames"], "30");
    EXPECT_EQ(toml["image_comparisons.output.tolerance"], "2");
    EXPECT_EQ(toml["image_comparisons.output.checks#0.max_outliers"], "5");
    EXPECT_EQ(toml["image_comparisons.output.checks#1.max_outliers"], "7");
    EXPECT_EQ(toml["player_options.with_renderer.quality"], "low");
    EXPECT_EQ(toml["player_options.with_renderer.optional"], "false");
    EXPECT_EQ(toml["player_options.name"], "a # not a comment");
}

struct SpecCase {
    const char* name;
    const char* text;
    int frames;
    int ticks;  // -1: none
    bool low;
    size_t images;
    int firstTolerance, firstOutliers, firstTrigger;  // trigger 0: last frame
};

TEST(TestToml, ReadsTheRunAndTheComparisons) {
    const SpecCase cases[] = {
        {"plain", "num_frames = 3\n[image_comparisons.output]\ntolerance = 5\n"
                  "[player_options]\nwith_renderer = { optional = true, quality = \"low\" }\n",
         3, -1, true, 1, 5, 0, 0},
        {"ticks and dotted trigger", "num_ticks = 1\nimage_comparisons.\"output\".trigger = 1\n", 1, 1, false, 1, 0, 0,
         1},
        {"several frames", "num_frames = 30\n[image_comparisons.frame1]\ntolerance = 1\ntrigger = 2\n"
                           "[image_comparisons.frame2]\ntolerance = 1\ntrigger = 3\n",
         30, -1, false, 2, 1, 0, 2},
        {"checks", "[[image_comparisons.output.checks]]\ntolerance = 0\nmax_outliers = 2800\n"
                   "[[image_comparisons.output.checks]]\ntolerance = 64\nmax_outliers = 900\n",
         1, -1, false, 1, 0, 2800, 0},
        {"no images", "num_frames = 2\n", 2, -1, false, 0, 0, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TestSpec spec = ReadTestSpec(c.text);
        EXPECT_EQ(spec.numFrames, c.frames);
        EXPECT_EQ(spec.numTicks.value_or(-1), c.ticks);
        EXPECT_EQ(spec.qualityLow, c.low);
        ASSERT_EQ(spec.images.size(), c.images);
        if (c.images == 0) continue;
        const auto& first = spec.images[0];
        EXPECT_EQ(first.checks[0].tolerance, c.firstTolerance);
        EXPECT_EQ(first.checks[0].maxOutliers, c.firstOutliers);
        EXPECT_EQ(first.triggerFrame.value_or(0), c.firstTrigger);
    }
    EXPECT_EQ(ReadTestSpec("[image_comparisons.\"output.5\"]\ntrigger = 5\n").images[0].name, "output.5");
    EXPECT_EQ(ReadTestSpec("[player_options]\nviewport_dimensions = { width = 400, height = 300 }\n").viewportHeight,
              300);
    EXPECT_EQ(ReadTestSpec("[[image_comparisons.output.checks]]\ntolerance = 0\n"
                           "[[image_comparisons.output.checks]]\ntolerance = 64\n")
                  .images[0]
                  .checks.size(),
              2u);
}

}  // namespace
}  // namespace velmora::corpus
