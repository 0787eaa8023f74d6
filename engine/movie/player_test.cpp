// The player's view (scale, align, zoom, background), dirty regions, buttons and hooks.
#include "engine/movie/player.h"

#include <gtest/gtest.h>

#include "engine/movie/movie_clip.h"
#include "tools/swfgen/movie_builder.h"
#include "tools/swfgen/samples.h"
#include "tools/swfgen/shape_builder.h"

namespace velmora::movie {
namespace {

std::vector<uint8_t> Sample(const char* name) { return swfgen::FindSample(name)->build(swf::Compression::None); }

uint32_t Pixel(const raster::Surface& s, int x, int y) { return s.Row(y)[x]; }

struct ViewCase {
    const char* name;
    ScaleMode scale;
    AlignMode align;
    int zoom;  // Zoom() argument applied once; -1 none
    int width, height;
    // where stage twips (0,0) and (4000,3000) land
    double x0, y0, x1, y1;
};

TEST(Player, StageToPixelsTable) {
    // The samples' stage is 200 x 150 pixels.
    const ViewCase cases[] = {
        {"show all, same size", ScaleMode::ShowAll, AlignMode::Center, -1, 200, 150, 0, 0, 200, 150},
        {"show all, wider: pillarbox", ScaleMode::ShowAll, AlignMode::Center, -1, 400, 150, 100, 0, 300, 150},
        {"show all, wider, top-left", ScaleMode::ShowAll, AlignMode::TopLeft, -1, 400, 150, 0, 0, 200, 150},
        {"show all, double", ScaleMode::ShowAll, AlignMode::Center, -1, 400, 300, 0, 0, 400, 300},
        {"no scale, centred", ScaleMode::NoScale, AlignMode::Center, -1, 400, 300, 100, 75, 300, 225},
        {"no scale, top-left", ScaleMode::NoScale, AlignMode::TopLeft, -1, 400, 300, 0, 0, 200, 150},
        {"zoom in around the middle", ScaleMode::ShowAll, AlignMode::Center, 50, 200, 150, -100, -75, 300, 225},
        {"zoom out", ScaleMode::ShowAll, AlignMode::Center, 200, 200, 150, 50, 37.5, 150, 112.5},
        {"zoom reset", ScaleMode::ShowAll, AlignMode::Center, 0, 200, 150, 0, 0, 200, 150},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Player player;
        player.Load(Sample("shapes"));
        player.SetScaleMode(c.scale);
        player.SetAlignMode(c.align);
        if (c.zoom >= 0) player.Zoom(c.zoom);
        Matrix m = player.StageToPixels(c.width, c.height);
        EXPECT_DOUBLE_EQ(m.tx, c.x0);
        EXPECT_DOUBLE_EQ(m.ty, c.y0);
        EXPECT_DOUBLE_EQ(m.a * 4000 + m.tx, c.x1);
        EXPECT_DOUBLE_EQ(m.d * 3000 + m.ty, c.y1);
    }
}

TEST(Player, UnchangedFrameRedrawsNothing) {
    Player player;
    player.Load(Sample("shapes"));
    raster::Surface surface(200, 150);
    raster::PixelRect first = player.Render(surface);
    EXPECT_EQ(first.right - first.left, 200);
    EXPECT_EQ(first.bottom - first.top, 150);
    for (int i = 0; i < 3; ++i) {
        player.RunFrame();  // one-frame movie: nothing moves
        raster::PixelRect again = player.Render(surface);
        EXPECT_TRUE(IsEmpty(again));
    }
}

TEST(Player, DirtyRegionCoversOldAndNewPlaceOnly) {
    Player player;
    player.Load(Sample("timeline"));  // a 30x30 px square at (10,60), then (60,60), (110,60)
    raster::Surface surface(200, 150);
    player.Render(surface);
    player.RunFrame();
    raster::PixelRect dirty = player.Render(surface);
    EXPECT_LE(dirty.left, 10);
    EXPECT_GE(dirty.right, 90);
    EXPECT_LE(dirty.top, 60);
    EXPECT_GE(dirty.bottom, 90);
    EXPECT_GT(dirty.left, 0);
    EXPECT_LT(dirty.right, 150);  // the far right of the stage stays untouched
    EXPECT_GT(dirty.top, 40);
    // The moved square is drawn, the old place cleared.
    EXPECT_EQ(Pixel(surface, 75, 75), 0xFFDC2828u);
    EXPECT_EQ(Pixel(surface, 25, 75), 0xFFFFFFFFu);
}

TEST(Player, ViewChangesRedrawEverything) {
    Player player;
    player.Load(Sample("shapes"));
    raster::Surface surface(200, 150);
    player.Render(surface);
    player.SetBackgroundOverride({0, 0, 0, 255});
    EXPECT_EQ(player.Render(surface).right, 200);
    EXPECT_EQ(Pixel(surface, 199, 0), 0xFF000000u);
    player.ResetBackground();
    player.Render(surface);
    EXPECT_EQ(Pixel(surface, 199, 0), 0xFFFFFFFFu);
    player.SetQuality(raster::Quality::Low);
    EXPECT_EQ(player.Render(surface).bottom, 150);
    raster::Surface bigger(300, 150);
    EXPECT_EQ(player.Render(bigger).right, 300);  // pillarboxed: background left and right
    EXPECT_EQ(Pixel(bigger, 10, 75), 0xFFFFFFFFu);
}

TEST(Player, MaskSpriteWithItsOwnClipDepthMasksWithAllItsShapes) {
    // Stage 100x50 px. The mask is a sprite holding a left square (itself marked as a
    // mask) and a right square; a red rectangle under the mask covers the stage.
    swfgen::MovieBuilder m(8, {0, 2000, 0, 1000}, 10);
    m.SetBackground({255, 255, 255, 255});
    auto square = [](int32_t x) {
        swfgen::ShapeBuilder b;
        b.SetStyles(0, b.AddFill(swfgen::SolidFill({0, 0, 0, 255})), 0);
        b.Rect(x, 200, 400, 400);
        return b.Build();
    };
    m.DefineShape(1, square(200));
    m.DefineShape(2, square(1400));
    swfgen::ShapeBuilder red;
    red.SetStyles(0, red.AddFill(swfgen::SolidFill({255, 0, 0, 255})), 0);
    red.Rect(0, 0, 2000, 1000);
    m.DefineShape(3, red.Build());
    swfgen::TagList sprite = m.NewSprite();
    swf::PlaceObject inner = swfgen::Placement(1, 1);
    inner.clipDepth = 5;
    sprite.Place(inner);
    sprite.Place(2, 2);
    sprite.ShowFrame();
    m.DefineSprite(4, sprite);
    swf::PlaceObject mask = swfgen::Placement(4, 1);
    mask.clipDepth = 10;
    m.Place(mask);
    m.Place(3, 2);
    m.ShowFrame();
    Player player;
    player.Load(m.Build());
    raster::Surface surface(100, 50);
    player.Render(surface);
    EXPECT_EQ(Pixel(surface, 20, 20), 0xFFFF0000u);  // left square
    EXPECT_EQ(Pixel(surface, 80, 20), 0xFFFF0000u);  // right square
    EXPECT_EQ(Pixel(surface, 50, 20), 0xFFFFFFFFu);  // between them: masked out
    EXPECT_EQ(Pixel(surface, 20, 45), 0xFFFFFFFFu);
}

TEST(Player, NoMovieShowsTheBackground) {
    Player player;
    raster::Surface surface(20, 10);
    player.SetBackgroundOverride({0, 0, 255, 255});
    player.Render(surface);
    EXPECT_EQ(Pixel(surface, 5, 5), 0xFF0000FFu);
    EXPECT_EQ(player.TotalFrames(), 0u);
    EXPECT_EQ(player.CurrentFrame(), 0u);
    EXPECT_EQ(player.PercentLoaded(), 0);
    player.Play();
    player.GotoFrame(3);
    player.Advance(1000);
}

TEST(Player, ButtonFollowsTheMouse) {
    // Up red, over green, down blue; the button covers (60,50)-(140,100) on a 200x150 stage.
    Player player;
    std::vector<ActionRequest> actions;
    PlayerCallbacks callbacks;
    callbacks.runActions = [&](const ActionRequest& r) {
        if (r.source == ActionSource::Button) actions.push_back(r);
    };
    player.SetCallbacks(callbacks);
    player.Load(Sample("button"));
    raster::Surface surface(200, 150);
    player.Render(surface);
    EXPECT_EQ(Pixel(surface, 100, 75), 0xFFDC2828u);
    player.MouseMove(100, 75);
    player.Render(surface);
    EXPECT_EQ(Pixel(surface, 100, 75), 0xFF28B43Cu);
    player.MouseDown(100, 75);
    player.Render(surface);
    EXPECT_EQ(Pixel(surface, 100, 75), 0xFF2850DCu);
    EXPECT_TRUE(actions.empty());
    player.MouseUp(100, 75);
    player.Render(surface);
    EXPECT_EQ(Pixel(surface, 100, 75), 0xFF28B43Cu);
    ASSERT_EQ(actions.size(), 1u);  // the release action
    EXPECT_EQ(actions[0].source, ActionSource::Button);
    EXPECT_EQ(actions[0].target, player.Root()->Owner().serial);
    EXPECT_EQ(std::vector<uint8_t>(actions[0].bytes.begin(), actions[0].bytes.end()),
              (std::vector<uint8_t>{0x07, 0x00}));
    player.MouseMove(10, 10);
    player.Render(surface);
    EXPECT_EQ(Pixel(surface, 100, 75), 0xFFDC2828u);
}

TEST(Player, ReleaseOutsideDoesNotFireTheReleaseAction) {
    Player player;
    int releases = 0;
    PlayerCallbacks callbacks;
    callbacks.runActions = [&](const ActionRequest& r) { releases += r.source == ActionSource::Button; };
    player.SetCallbacks(callbacks);
    player.Load(Sample("button"));
    raster::Surface surface(200, 150);
    player.Render(surface);
    player.MouseDown(100, 75);
    player.MouseMove(5, 5);
    player.MouseUp(5, 5);
    EXPECT_EQ(releases, 0);
}

TEST(Player, GetUrlSplitsFsCommands) {
    Player player;
    std::vector<std::string> seen;
    PlayerCallbacks callbacks;
    callbacks.fsCommand = [&](std::string_view c, std::string_view a) { seen.push_back("fs " + std::string(c) + "|" + std::string(a)); };
    callbacks.getUrl = [&](std::string_view u, std::string_view t) { seen.push_back("url " + std::string(u) + "|" + std::string(t)); };
    callbacks.trace = [&](std::string_view t) { seen.push_back("trace " + std::string(t)); };
    player.SetCallbacks(callbacks);
    player.RaiseGetUrl("FSCommand:fullscreen", "true");
    player.RaiseGetUrl("fscommand:quit", "");
    player.RaiseGetUrl("http://127.0.0.1/a.swf", "_blank");
    player.RaiseTrace("hello");
    EXPECT_EQ(seen, (std::vector<std::string>{"fs fullscreen|true", "fs quit|", "url http://127.0.0.1/a.swf|_blank",
                                              "trace hello"}));
}

TEST(Player, ClipEventsReachTheirClips) {
    swfgen::MovieBuilder m(6, {0, 2000, 0, 2000}, 10);
    swfgen::TagList sprite = m.NewSprite();
    sprite.ShowFrame();
    m.DefineSprite(1, sprite);
    swf::PlaceObject p = swfgen::Placement(1, 1);
    p.clipActions = {{swf::kClipLoad, 0, {0x01, 0x00}}, {swf::kClipEnterFrame, 0, {0x02, 0x00}},
                     {swf::kClipKeyPress, 65, {0x03, 0x00}}};
    m.Place(p);
    m.ShowFrame();
    // Handler bytes by their first byte; event-method requests as 'M' and the event bit,
    // registered-class constructors as 'C'.
    std::vector<std::pair<char, uint32_t>> runs;
    Player player;
    PlayerCallbacks callbacks;
    callbacks.runActions = [&](const ActionRequest& r) {
        bool method = r.source == ActionSource::ClipMethod, constructor = r.source == ActionSource::Constructor;
        EXPECT_EQ(method || constructor, r.bytes.empty());
        if (constructor) runs.emplace_back('C', 0);
        else runs.emplace_back(method ? 'M' : static_cast<char>(r.bytes[0]), method ? r.event : 0);
    };
    player.SetCallbacks(callbacks);
    player.Load(m.Build());
    player.RunFrame();
    player.KeyDown(66);
    player.KeyDown(65);
    using swf::kClipEnterFrame, swf::kClipKeyDown, swf::kClipLoad;
    // A clip's handler before its method. enterFrame: children before their parent;
    // mouse and key events: the root first. A key press calls no method.
    EXPECT_EQ(runs, (std::vector<std::pair<char, uint32_t>>{
                        {'C', 0}, {1, 0}, {'M', kClipLoad},
                        {2, 0}, {'M', kClipEnterFrame}, {'M', kClipEnterFrame},
                        {'M', kClipKeyDown}, {'M', kClipKeyDown},
                        {'M', kClipKeyDown}, {'M', kClipKeyDown}, {3, 0}}));
}

// Handlers of every timeline event on a clip (first byte 0x1n) and on its child (0x2n),
// frame scripts 0x1F / 0x2F / 0xFn: the clip is placed on frame 2, removed on frame 4.
TEST(Player, TimelineEventsRunInThePlayersOrder) {
    auto handlers = [](uint8_t base) {
        std::vector<swf::ClipAction> out;
        const uint32_t events[] = {swf::kClipInitialize, swf::kClipConstruct, swf::kClipLoad, swf::kClipEnterFrame,
                                   swf::kClipUnload};
        for (uint8_t i = 0; i < 5; ++i) out.push_back({events[i], 0, {static_cast<uint8_t>(base + 1 + i), 0x00}});
        return out;
    };
    swfgen::MovieBuilder m(8, {0, 2000, 0, 2000}, 10);
    swfgen::TagList child = m.NewSprite();
    const uint8_t childScript[] = {0x2F, 0x00};
    child.DoAction(childScript);
    child.ShowFrame();
    m.DefineSprite(1, child);
    swfgen::TagList clip = m.NewSprite();
    swf::PlaceObject placeChild = swfgen::Placement(1, 1);
    placeChild.clipActions = handlers(0x20);
    clip.Place(placeChild);
    const uint8_t clipScript[] = {0x1F, 0x00};
    clip.DoAction(clipScript);
    clip.ShowFrame();
    m.DefineSprite(2, clip);
    for (uint8_t frame = 1; frame <= 4; ++frame) {
        if (frame == 2) {
            swf::PlaceObject placeClip = swfgen::Placement(2, 1);
            placeClip.clipActions = handlers(0x10);
            m.Place(placeClip);
        }
        if (frame == 4) m.Remove(1);
        const uint8_t script[] = {static_cast<uint8_t>(0xF0 + frame), 0x00};
        m.DoAction(script);
        m.ShowFrame();
    }
    std::vector<uint8_t> order;
    Player player;
    PlayerCallbacks callbacks;
    callbacks.runActions = [&](const ActionRequest& r) {
        if (!r.bytes.empty()) order.push_back(r.bytes[0]);
    };
    player.SetCallbacks(callbacks);
    player.Load(m.Build());
    for (int i = 0; i < 3; ++i) player.RunFrame();
    EXPECT_EQ(order, (std::vector<uint8_t>{
                         0xF1,
                         0x11, 0x21, 0x12, 0x22, 0xF2, 0x13, 0x1F, 0x23, 0x2F,  // initialize, construct, load
                         0x24, 0x14, 0xF3,                                      // enterFrame, child first
                         0x25, 0x15, 0xF4}));                                   // unload, none entering
}

}  // namespace
}  // namespace velmora::movie
