#include "engine/swf/tags.h"

#include <gtest/gtest.h>

#include "tools/swfgen/movie_builder.h"

namespace velmora::swf {
namespace {

TEST(Tags, PeekTagShortLongAndIncomplete) {
    const std::vector<uint8_t> shortForm = {0x43, 0x02, 0xFF, 0x00, 0x00};  // code 9, 3 bytes
    TagHeader tag;
    ASSERT_TRUE(PeekTag(shortForm, tag));
    EXPECT_EQ(tag.code, kTagSetBackgroundColor);
    EXPECT_EQ(tag.length, 3u);
    EXPECT_EQ(tag.headerSize, 2u);

    const std::vector<uint8_t> longForm = {0x7F, 0x03, 0x01, 0x00, 0x00, 0x00, 0xAA};  // code 13
    ASSERT_TRUE(PeekTag(longForm, tag));
    EXPECT_EQ(tag.code, 13);
    EXPECT_EQ(tag.length, 1u);
    EXPECT_EQ(tag.headerSize, 6u);

    EXPECT_FALSE(PeekTag(std::span(shortForm.data(), 4), tag));  // body not all here
    EXPECT_FALSE(PeekTag(std::span(longForm.data(), 3), tag));   // header not all here
    const std::vector<uint8_t> huge = {0x7F, 0x03, 0xFF, 0xFF, 0xFF, 0xFF, 0};
    EXPECT_FALSE(PeekTag(huge, tag));
}

void ExpectSamePlacement(const PlaceObject& a, const PlaceObject& b) {
    EXPECT_EQ(a.version, b.version);
    EXPECT_EQ(a.depth, b.depth);
    EXPECT_EQ(a.move, b.move);
    EXPECT_EQ(a.characterId, b.characterId);
    EXPECT_EQ(a.matrix, b.matrix);
    EXPECT_EQ(a.colorTransform, b.colorTransform);
    EXPECT_EQ(a.ratio, b.ratio);
    EXPECT_EQ(a.name, b.name);
    EXPECT_EQ(a.clipDepth, b.clipDepth);
    EXPECT_EQ(a.filters.has_value(), b.filters.has_value());
    if (a.filters && b.filters) {
        EXPECT_EQ(a.filters->size(), b.filters->size());
    }
    EXPECT_EQ(a.blendMode, b.blendMode);
    EXPECT_EQ(a.cacheAsBitmap, b.cacheAsBitmap);
    EXPECT_EQ(a.visible, b.visible);
    EXPECT_EQ(a.className, b.className);
    ASSERT_EQ(a.clipActions.size(), b.clipActions.size());
    for (size_t i = 0; i < a.clipActions.size(); ++i) {
        EXPECT_EQ(a.clipActions[i].events, b.clipActions[i].events);
        EXPECT_EQ(a.clipActions[i].keyCode, b.clipActions[i].keyCode);
        EXPECT_EQ(a.clipActions[i].actions, b.clipActions[i].actions);
    }
}

struct PlaceCase {
    const char* name;
    int swfVersion;
    PlaceObject place;
};

std::vector<PlaceCase> PlaceCases() {
    std::vector<PlaceCase> cases;
    PlaceObject v1;
    v1.version = 1;
    v1.characterId = 5;
    v1.depth = 3;
    v1.matrix = Matrix{1, 0, 0, 1, 100, -40};
    v1.colorTransform = ColorTransform{0.5f, 1, 1, 1, 0, 10, 0, 0};
    cases.push_back({"PlaceObject", 4, v1});

    PlaceObject move;
    move.version = 2;
    move.move = true;
    move.depth = 7;
    move.ratio = 1234;
    cases.push_back({"PlaceObject2 move with ratio", 5, move});

    PlaceObject full;
    full.version = 2;
    full.depth = 1;
    full.characterId = 2;
    full.matrix = Matrix{2, 0.5, -0.5, 2, 10, 20};
    full.colorTransform = ColorTransform{1, 1, 1, 0.25f, 0, 0, 0, -20};
    full.name = "clip_1";
    full.clipDepth = 9;
    full.clipActions = {{kClipLoad | kClipEnterFrame, 0, {0x07, 0x00}},
                        {kClipKeyPress, 13, {0x06, 0x00}}};
    cases.push_back({"PlaceObject2 everything, SWF 6 events", 6, full});

    PlaceObject swf5 = full;
    swf5.clipActions = {{kClipMouseDown | kClipRelease, 0, {0x07, 0x00}}};
    cases.push_back({"PlaceObject2 SWF 5 events", 5, swf5});

    PlaceObject v3;
    v3.version = 3;
    v3.depth = 4;
    v3.characterId = 8;
    v3.className = "Foo";
    v3.filters = std::vector<Filter>(2);
    v3.blendMode = BlendMode::Multiply;
    v3.cacheAsBitmap = true;
    v3.visible = false;
    cases.push_back({"PlaceObject3", 8, v3});
    return cases;
}

TEST(Tags, PlaceObjectTableRoundTrips) {
    for (const auto& c : PlaceCases()) {
        SCOPED_TRACE(c.name);
        auto body = swfgen::PlaceObjectBody(c.place, c.swfVersion);
        uint16_t code = c.place.version == 1 ? kTagPlaceObject
                        : c.place.version == 2 ? kTagPlaceObject2 : kTagPlaceObject3;
        auto read = ReadPlaceObject(body, code, c.swfVersion);
        ASSERT_TRUE(read);
        ExpectSamePlacement(*read, c.place);
    }
}

TEST(Tags, PlaceObject2HandWritten) {
    // flags: has matrix + has character; depth 1; character 2; identity matrix.
    const std::vector<uint8_t> bytes = {0x06, 0x01, 0x00, 0x02, 0x00, 0x00};
    auto p = ReadPlaceObject(bytes, kTagPlaceObject2, 6);
    ASSERT_TRUE(p);
    EXPECT_EQ(p->depth, 1);
    EXPECT_EQ(p->characterId, 2);
    EXPECT_EQ(p->matrix, Matrix{});
    EXPECT_FALSE(p->move);
    EXPECT_FALSE(ReadPlaceObject(std::span(bytes.data(), 3), kTagPlaceObject2, 6));
}

TEST(Tags, ClipActionSizedPastTheTagDropsOnlyTheActions) {
    PlaceObject p = PlaceCases()[2].place;
    auto body = swfgen::PlaceObjectBody(p, 6);
    body.resize(body.size() - 6);  // cut into the second clip action
    auto read = ReadPlaceObject(body, kTagPlaceObject2, 6);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->name, "clip_1");
    EXPECT_EQ(read->clipActions.size(), 1u);
}

TEST(Tags, RemoveAndLabel) {
    const std::vector<uint8_t> remove1 = {0x05, 0x00, 0x03, 0x00};
    auto r1 = ReadRemoveObject(remove1, kTagRemoveObject);
    ASSERT_TRUE(r1);
    EXPECT_EQ(r1->characterId, 5);
    EXPECT_EQ(r1->depth, 3);
    auto r2 = ReadRemoveObject(std::span(remove1.data(), 2), kTagRemoveObject2);
    ASSERT_TRUE(r2);
    EXPECT_EQ(r2->depth, 5);
    EXPECT_FALSE(r2->characterId);
    EXPECT_FALSE(ReadRemoveObject(std::span(remove1.data(), 1), kTagRemoveObject2));

    const std::vector<uint8_t> label = {'g', 'o', 0, 1};
    auto l = ReadFrameLabel(label);
    ASSERT_TRUE(l);
    EXPECT_EQ(l->name, "go");
    EXPECT_TRUE(l->anchor);
}

TEST(Tags, Button2RoundTripsRecordsAndConditionActions) {
    Button b;
    b.trackAsMenu = true;
    ButtonRecord up{kButtonUp | kButtonHit, 1, 2, Matrix{1, 0, 0, 1, 5, 5}, ColorTransform{}, {}, BlendMode::Normal};
    ButtonRecord over{kButtonOver, 3, 2, Matrix{}, ColorTransform{1, 1, 1, 0.5f, 0, 0, 0, 0}, std::vector<Filter>(1),
                      BlendMode::Screen};
    b.records = {up, over};
    b.actions = {{kCondOverDownToOverUp, {0x07, 0x00}}, {static_cast<uint16_t>(65 << 9), {0x06, 0x00}}};
    auto read = ReadDefineButton(swfgen::ButtonBody(b, kTagDefineButton2), kTagDefineButton2);
    ASSERT_TRUE(read);
    EXPECT_TRUE(read->trackAsMenu);
    ASSERT_EQ(read->records.size(), 2u);
    EXPECT_EQ(read->records[0].states, kButtonUp | kButtonHit);
    EXPECT_EQ(read->records[0].matrix, up.matrix);
    EXPECT_EQ(read->records[1].colorTransform, over.colorTransform);
    EXPECT_EQ(read->records[1].blendMode, BlendMode::Screen);
    EXPECT_EQ(read->records[1].filters.size(), 1u);
    ASSERT_EQ(read->actions.size(), 2u);
    EXPECT_EQ(read->actions[0].conditions, kCondOverDownToOverUp);
    EXPECT_EQ(read->actions[0].actions, (std::vector<uint8_t>{0x07, 0x00}));
    EXPECT_EQ(ButtonKeyCode(read->actions[1].conditions), 65);
}

TEST(Tags, Button1ActionsRunOnRelease) {
    Button b;
    b.records = {{kButtonUp, 1, 1, Matrix{}, ColorTransform{}, {}, BlendMode::Normal}};
    b.actions = {{kCondOverDownToOverUp, {0x81, 0x02, 0x00, 0x05, 0x00, 0x00}}};
    auto read = ReadDefineButton(swfgen::ButtonBody(b, kTagDefineButton), kTagDefineButton);
    ASSERT_TRUE(read);
    ASSERT_EQ(read->actions.size(), 1u);
    EXPECT_EQ(read->actions[0].conditions, kCondOverDownToOverUp);
    EXPECT_EQ(read->actions[0].actions, b.actions[0].actions);
}

TEST(Tags, ExportAssetsStopsAtTheData) {
    const std::vector<uint8_t> bytes = {0x05, 0x00, 0x01, 0x00, 'a', 0, 0x02, 0x00, 'b', 0};  // claims 5
    auto exports = ReadExportAssets(bytes);
    ASSERT_EQ(exports.size(), 2u);
    EXPECT_EQ(exports[1], (std::pair<uint16_t, std::string>{2, "b"}));
}

}  // namespace
}  // namespace velmora::swf
