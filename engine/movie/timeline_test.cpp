// Root and sprite timelines driven through the player: play, stop, goto, labels, loops,
// progressive loading, the action queue, and instance persistence across gotos.
#include <gtest/gtest.h>

#include "engine/movie/movie_clip.h"
#include "engine/movie/player.h"
#include "tools/swfgen/movie_builder.h"
#include "tools/swfgen/samples.h"
#include "tools/swfgen/shape_builder.h"

namespace velmora::movie {
namespace {

Shape Square(Rgba color) {
    swfgen::ShapeBuilder b;
    b.SetStyles(0, b.AddFill(swfgen::SolidFill(color)), 0);
    b.Rect(0, 0, 200, 200);
    return b.Build();
}

Matrix At(double x, double y) { return {1, 0, 0, 1, x, y}; }

// Root: frame 1 places a square at depth 1 and a 3-frame sprite at depth 2; frames 2..5
// move the square; frame 3 is labelled "mid". Every frame carries one action byte string
// naming it: {0x96, frame} (not run by anything here, only reported).
std::vector<uint8_t> CountingMovie() {
    swfgen::MovieBuilder m(8, {0, 2000, 0, 2000}, 10);
    m.DefineShape(1, Square({255, 0, 0, 255}));
    swfgen::TagList sprite = m.NewSprite();
    for (uint8_t f = 1; f <= 3; ++f) {
        if (f == 1) sprite.Place(1, 1);
        else sprite.Move(1, At(f * 10.0, 0));
        const uint8_t action[] = {0xA0, f};
        sprite.DoAction(action);
        sprite.ShowFrame();
    }
    m.DefineSprite(2, sprite);
    for (uint8_t f = 1; f <= 5; ++f) {
        if (f == 1) {
            m.Place(1, 1);
            m.Place(2, 2);
        } else {
            m.Move(1, At(f * 100.0, 0));
        }
        if (f == 3) m.Label("mid");
        const uint8_t action[] = {0x96, f};
        m.DoAction(action);
        m.ShowFrame();
    }
    return m.Build();
}

struct Recorder {
    std::vector<std::pair<uint8_t, uint8_t>> actions;  // {kind byte, frame byte}
    PlayerCallbacks Callbacks() {
        PlayerCallbacks c;
        c.runActions = [this](const ActionRequest& r) {
            if (r.bytes.size() == 2) actions.emplace_back(r.bytes[0], r.bytes[1]);
        };
        return c;
    }
};

TEST(Timeline, FirstFrameShowsOnLoadAndPlayAdvances) {
    Player player;
    Recorder rec;
    player.SetCallbacks(rec.Callbacks());
    player.Load(CountingMovie());
    EXPECT_EQ(player.CurrentFrame(), 1u);
    EXPECT_EQ(player.TotalFrames(), 5u);
    EXPECT_TRUE(player.IsPlaying());
    // Root actions run before the actions of the sprite it placed in the same frame.
    EXPECT_EQ(rec.actions, (std::vector<std::pair<uint8_t, uint8_t>>{{0x96, 1}, {0xA0, 1}}));
    rec.actions.clear();
    player.RunFrame();
    EXPECT_EQ(player.CurrentFrame(), 2u);
    // Afterwards existing children run their frames before the parent.
    EXPECT_EQ(rec.actions, (std::vector<std::pair<uint8_t, uint8_t>>{{0xA0, 2}, {0x96, 2}}));
}

TEST(Timeline, RootAndSpriteLoopOnTheirOwnLengths) {
    Player player;
    player.Load(CountingMovie());
    MovieClip* sprite = player.Root()->Children().at(2)->clip.get();
    ASSERT_TRUE(sprite);
    std::vector<std::pair<uint32_t, uint32_t>> seen;
    for (int i = 0; i < 6; ++i) {
        seen.emplace_back(player.CurrentFrame(), sprite->CurrentFrame());
        player.RunFrame();
        sprite = player.Root()->Children().at(2)->clip.get();
    }
    EXPECT_EQ(seen, (std::vector<std::pair<uint32_t, uint32_t>>{{1, 1}, {2, 2}, {3, 3}, {4, 1}, {5, 2}, {1, 3}}));
}

TEST(Timeline, StopGotoAndRewind) {
    Player player;
    player.Load(CountingMovie());
    player.Stop();
    player.RunFrame();
    EXPECT_EQ(player.CurrentFrame(), 1u);
    player.GotoFrame(4);
    EXPECT_EQ(player.CurrentFrame(), 4u);
    EXPECT_EQ(player.Root()->Children().at(1)->place.matrix.tx, 400);
    EXPECT_FALSE(player.IsPlaying());
    player.GotoFrame(999);  // past the end: stays on the last frame
    EXPECT_EQ(player.CurrentFrame(), 5u);
    EXPECT_TRUE(player.GotoLabel("MID"));
    EXPECT_EQ(player.CurrentFrame(), 3u);
    EXPECT_FALSE(player.GotoLabel("nowhere"));
    player.Play();
    player.Rewind();
    EXPECT_EQ(player.CurrentFrame(), 1u);
    EXPECT_FALSE(player.IsPlaying());
    EXPECT_EQ(player.Root()->Children().at(1)->place.matrix.tx, 0);
}

TEST(Timeline, GoingBackKeepsInstancesPlacedEarlier) {
    Player player;
    player.Load(CountingMovie());
    const uint64_t square = player.Root()->Children().at(1)->serial;
    const uint64_t sprite = player.Root()->Children().at(2)->serial;
    player.GotoFrame(5);
    player.GotoFrame(2);
    EXPECT_EQ(player.Root()->Children().at(1)->serial, square);
    EXPECT_EQ(player.Root()->Children().at(2)->serial, sprite);
    EXPECT_EQ(player.Root()->Children().at(1)->place.matrix.tx, 200);
}

TEST(Timeline, RemovedObjectsAreGoneAndComeBackOnLoop) {
    Player player;
    player.Load(swfgen::FindSample("timeline")->build(swf::Compression::None));
    for (int i = 0; i < 3; ++i) player.RunFrame();
    EXPECT_EQ(player.CurrentFrame(), 4u);
    EXPECT_TRUE(player.Root()->Children().empty());
    player.RunFrame();
    EXPECT_EQ(player.CurrentFrame(), 1u);
    EXPECT_EQ(player.Root()->Children().size(), 1u);
}

TEST(Timeline, ProgressiveMovieWaitsForFramesAndDoesNotLoopEarly) {
    auto movie = CountingMovie();
    Player player;
    player.BeginLoad();
    size_t half = 0;
    while (half < movie.size() && player.FramesLoaded() < 2) player.AppendBytes(std::span(&movie[half++], 1));
    ASSERT_TRUE(player.HasMovie());
    EXPECT_EQ(player.TotalFrames(), 5u);
    const uint32_t loaded = player.FramesLoaded();
    ASSERT_GE(loaded, 1u);
    ASSERT_LT(loaded, 5u);
    for (int i = 0; i < 10; ++i) player.RunFrame();
    EXPECT_EQ(player.CurrentFrame(), loaded);  // waits on the last frame that arrived
    player.GotoFrame(5);
    EXPECT_EQ(player.CurrentFrame(), loaded);
    player.AppendBytes(std::span(movie.data() + half, movie.size() - half));
    player.FinishLoad();
    EXPECT_EQ(player.PercentLoaded(), 100);
    player.RunFrame();
    EXPECT_EQ(player.CurrentFrame(), loaded + 1);
}

TEST(Timeline, AdvanceFollowsTheFrameRate) {
    Player player;
    player.Load(CountingMovie());  // 10 frames per second
    player.Advance(99);
    EXPECT_EQ(player.CurrentFrame(), 1u);
    player.Advance(1);
    EXPECT_EQ(player.CurrentFrame(), 2u);
    player.Advance(250);
    EXPECT_EQ(player.CurrentFrame(), 4u);
    player.Advance(60000);  // a long stall runs a few frames, not a minute's worth
    EXPECT_GE(player.CurrentFrame(), 1u);
}

// Sprite 1 places `copies` instances of itself.
std::vector<uint8_t> SelfPlacingSprite(uint16_t copies) {
    swfgen::MovieBuilder m(8, {0, 2000, 0, 2000}, 10);
    swfgen::TagList sprite = m.NewSprite();
    for (uint16_t i = 1; i <= copies; ++i) sprite.Place(1, i, At(10.0 * i, 10));
    sprite.ShowFrame();
    m.DefineSprite(1, sprite);
    m.Place(1, 1);
    m.ShowFrame();
    return m.Build();
}

TEST(Timeline, SpriteThatPlacesItselfStopsAtTheNestingLimit) {
    Player player;
    player.Load(SelfPlacingSprite(1));
    int depth = 0;
    for (DisplayObject* o = player.Root()->Children().at(1).get(); o && o->clip && !o->clip->Children().empty();
         o = o->clip->Children().begin()->second.get())
        ++depth;
    EXPECT_EQ(depth, kMaxInstanceNesting);
    player.RunFrame();
    raster::Surface surface(50, 50);
    player.Render(surface);
}

TEST(Timeline, ScriptInstancesSurviveLoopsAndGotos) {
    Player player;
    Recorder rec;
    player.SetCallbacks(rec.Callbacks());
    player.Load(CountingMovie());
    MovieClip& root = *player.Root();
    DisplayObject* attached = root.AttachCharacter(2, 16384 + 5, "copy");
    ASSERT_TRUE(attached);
    EXPECT_EQ(attached->clip->CurrentFrame(), 1u);  // entered its first frame at once
    DisplayObject* empty = root.AttachEmptyClip(16384 + 6, "holder");
    ASSERT_TRUE(empty && empty->clip);
    EXPECT_EQ(empty->clip->TotalFrames(), 1u);
    EXPECT_FALSE(root.AttachCharacter(77, 16384 + 7, "missing"));
    const uint64_t serial = attached->serial;
    for (int i = 0; i < 7; ++i) player.RunFrame();  // past the root's loop
    player.GotoFrame(2);
    ASSERT_TRUE(root.Children().count(16384 + 5));
    EXPECT_EQ(root.Children().at(16384 + 5)->serial, serial);
    EXPECT_EQ(root.Children().at(16384 + 5)->place.name, "copy");
    const uint64_t emptySerial = empty->serial;
    EXPECT_TRUE(root.RemoveAt(16384 + 6));
    EXPECT_FALSE(root.RemoveAt(16384 + 6));
    EXPECT_FALSE(player.FindInstance(emptySerial));
    EXPECT_TRUE(player.FindInstance(serial));
}

TEST(Timeline, DuplicateAndSwapDepths) {
    Player player;
    player.Load(CountingMovie());
    MovieClip& root = *player.Root();
    DisplayObject& square = *root.Children().at(1);
    square.place.matrix.tx = 123;
    DisplayObject* copy = root.Duplicate(square, 16384 + 1, "twin");
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->characterId, 1);
    EXPECT_EQ(copy->place.matrix.tx, 123);
    EXPECT_EQ(copy->place.name, "twin");
    const uint64_t copySerial = copy->serial, squareSerial = square.serial;
    root.SwapDepths(16384 + 1, 1);
    EXPECT_EQ(root.Children().at(1)->serial, copySerial);
    EXPECT_EQ(root.Children().at(16384 + 1)->serial, squareSerial);
    EXPECT_EQ(root.Children().at(1)->depth, 1);
    root.SwapDepths(1, 20000);  // to a free depth
    EXPECT_FALSE(root.Children().count(1));
    EXPECT_EQ(root.Children().at(20000)->serial, copySerial);
}

TEST(Timeline, UnnamedSpritesAreNumberedAndShapesTakeNoNumber) {
    Player player;
    player.Load(CountingMovie());
    MovieClip& root = *player.Root();
    DisplayObject& sprite = *root.Children().at(2);
    EXPECT_EQ(root.Children().at(1)->place.name, "");
    EXPECT_EQ(sprite.place.name, "instance1");
    EXPECT_EQ(sprite.clip->Children().at(1)->place.name, "");
    player.GotoFrame(4);
    player.Rewind();  // rebuilt from frame 1: the same sprite keeps its name
    EXPECT_EQ(root.Children().at(2)->place.name, "instance1");
    player.Load(CountingMovie());
    EXPECT_EQ(player.Root()->Children().at(2)->place.name, "instance1");  // counted per movie
}

TEST(Timeline, SpriteThatPlacesItselfTwiceStopsAtTheInstanceBudget) {
    Player player;
    player.Load(SelfPlacingSprite(2));
    size_t count = 0;
    ForEachInstance(player.Root()->Children(), [&](DisplayObject&) { ++count; });
    EXPECT_GT(count, 1000u);
    EXPECT_LE(count, kMaxInstances + 1);
}

TEST(Timeline, PlayersAreIndependent) {
    auto movie = CountingMovie();
    Player a, b;
    a.Load(movie);
    b.Load(movie);
    a.RunFrame();
    a.RunFrame();
    EXPECT_EQ(a.CurrentFrame(), 3u);
    EXPECT_EQ(b.CurrentFrame(), 1u);
}

}  // namespace
}  // namespace velmora::movie
