#include "engine/movie/movie_loader.h"

#include <gtest/gtest.h>

#include "tools/swfgen/bit_writer.h"
#include "tools/swfgen/movie_builder.h"
#include "tools/swfgen/samples.h"
#include "tools/swfgen/shape_builder.h"

namespace velmora::movie {
namespace {

std::vector<uint8_t> Sample(const char* name, swf::Compression c = swf::Compression::None) {
    return swfgen::FindSample(name)->build(c);
}

TEST(MovieLoader, ReadsDefinitionsFramesAndLabels) {
    MovieLoader loader;
    loader.Append(Sample("timeline"));
    loader.Finish();
    ASSERT_TRUE(loader.Complete());
    const MovieDefinition& def = loader.Definition();
    EXPECT_EQ(def.header.frameCount, 4);
    EXPECT_EQ(loader.FramesLoaded(), 4);
    EXPECT_TRUE(def.hasBackground);
    EXPECT_EQ(def.background, (Rgba{255, 255, 255, 255}));
    ASSERT_TRUE(def.Find(1));
    EXPECT_TRUE(def.Find(1)->AsShape());
    EXPECT_EQ(def.root.FindLabel("SECOND"), 2);  // labels ignore case
    EXPECT_FALSE(def.root.FindLabel("third"));
    EXPECT_EQ(loader.PercentLoaded(), 100);
}

TEST(MovieLoader, FramesArriveWithTheirBytes) {
    for (auto c : {swf::Compression::None, swf::Compression::Zlib, swf::Compression::Lzma}) {
        auto movie = Sample("timeline", c);
        MovieLoader loader;
        std::vector<uint16_t> framesSeen;
        bool totalKnownEarly = false;
        for (size_t i = 0; i < movie.size(); ++i) {
            loader.Append(std::span(&movie[i], 1));
            if (loader.HeaderReady() && loader.FramesLoaded() == 0 && loader.Definition().header.frameCount == 4)
                totalKnownEarly = true;
            if (framesSeen.empty() || framesSeen.back() != loader.FramesLoaded())
                framesSeen.push_back(loader.FramesLoaded());
            // 100 exactly when the movie is complete (a compressed stream's checksum may follow).
            EXPECT_EQ(loader.PercentLoaded() == 100, loader.Complete()) << i;
        }
        EXPECT_TRUE(totalKnownEarly);
        EXPECT_EQ(framesSeen, (std::vector<uint16_t>{0, 1, 2, 3, 4}));
        EXPECT_TRUE(loader.Complete());  // the End tag arrived
    }
}

TEST(MovieLoader, TruncatedMovieKeepsTheFramesBeforeTheCut) {
    // The sample ends: ... Move, ShowFrame | RemoveObject2 (4 bytes), ShowFrame (2), End (2).
    const struct {
        size_t cut;
        uint16_t frames;
    } cases[] = {{2, 4}, {3, 4}, {8, 3}, {12, 2}};
    for (const auto& c : cases) {
        auto movie = Sample("timeline");
        movie.resize(movie.size() - c.cut);
        MovieLoader loader;
        loader.Append(movie);
        EXPECT_FALSE(loader.Complete());
        loader.Finish();
        EXPECT_TRUE(loader.Complete());
        EXPECT_EQ(loader.FramesLoaded(), c.frames) << c.cut;
    }
}

TEST(MovieLoader, GarbageFails) {
    MovieLoader loader;
    const std::vector<uint8_t> junk(100, 0xAB);
    loader.Append(junk);
    loader.Finish();
    EXPECT_TRUE(loader.Failed());
    EXPECT_EQ(loader.FramesLoaded(), 0);
}

// A sprite whose only frame defines a sprite inside, and so on, far deeper than allowed.
TEST(MovieLoader, DeeplyNestedSpriteDefinitionsStopAtTheLimit) {
    swfgen::MovieBuilder m(8, {0, 2000, 0, 2000}, 12);
    std::vector<uint8_t> inner;
    for (int level = 200; level >= 1; --level) {
        swfgen::TagList sprite = m.NewSprite();
        if (!inner.empty()) sprite.Tag(swf::kTagDefineSprite, inner);
        sprite.ShowFrame();
        swfgen::BitWriter w;
        w.U16(static_cast<uint16_t>(level));
        w.U16(1);
        w.Bytes(sprite.Bytes());
        w.U16(0);  // End
        inner = w.Data();
    }
    m.Tag(swf::kTagDefineSprite, inner);
    m.ShowFrame();
    MovieLoader loader;
    loader.Append(m.Build());
    loader.Finish();
    EXPECT_TRUE(loader.Definition().Find(1));
    EXPECT_TRUE(loader.Definition().Find(kMaxSpriteNesting));
    EXPECT_FALSE(loader.Definition().Find(kMaxSpriteNesting + 1));
    EXPECT_EQ(loader.FramesLoaded(), 1);
}

TEST(MovieLoader, FirstDefinitionOfAnIdWins) {
    swfgen::MovieBuilder m(8, {0, 2000, 0, 2000}, 12);
    swfgen::ShapeBuilder a, b;
    a.SetStyles(0, a.AddFill(swfgen::SolidFill({1, 2, 3, 255})), 0);
    a.Rect(0, 0, 100, 100);
    b.SetStyles(0, b.AddFill(swfgen::SolidFill({9, 9, 9, 255})), 0);
    b.Rect(0, 0, 100, 100);
    m.DefineShape(1, a.Build());
    m.DefineShape(1, b.Build());
    m.ShowFrame();
    MovieLoader loader;
    loader.Append(m.Build());
    EXPECT_EQ(loader.Definition().Find(1)->AsShape()->layers[0].fills[0].color, (Rgba{1, 2, 3, 255}));
}

}  // namespace
}  // namespace velmora::movie
