#include <gtest/gtest.h>

#include "menulib/button_model.h"
#include "menulib/colors.h"
#include "menulib/memory_property_bag.h"
#include "menulib/message_filter.h"
#include "menulib/persistence.h"
#include "menulib/toolbar_model.h"

namespace ostrel {
namespace {

TEST(MessageList, AddReportsRepeatsButKeepsTheNewOnes) {
    MessageList list;
    const uint32_t first[] = {0x200, 0x201, 0x200};
    EXPECT_FALSE(list.Add(first));
    EXPECT_EQ(list.Size(), 2u);
    const uint32_t second[] = {0x202, 0x201};
    EXPECT_FALSE(list.Add(second));
    EXPECT_TRUE(list.Has(0x202));
    EXPECT_EQ(list.Size(), 3u);
    const uint32_t fresh[] = {0x100};
    EXPECT_TRUE(list.Add(fresh));
    EXPECT_TRUE(list.Remove(0x201));
    EXPECT_FALSE(list.Remove(0x201));
    EXPECT_FALSE(list.Has(0x201));
}

TEST(MessageFilter, AllFlagsOverrideTheListsAndCountMinusOne) {
    MessageFilter filter;
    EXPECT_EQ(filter.BeforeCount(), 0);
    EXPECT_FALSE(filter.WantsBefore(1));
    const uint32_t listed[] = {5};
    filter.after.Add(listed);
    filter.allBefore = true;
    EXPECT_EQ(filter.BeforeCount(), -1);
    EXPECT_EQ(filter.AfterCount(), 1);
    EXPECT_TRUE(filter.WantsBefore(1234));
    EXPECT_TRUE(filter.WantsAfter(5));
    EXPECT_FALSE(filter.WantsAfter(6));
}

TEST(Colors, BlendLuminanceAndGradientChannels) {
    EXPECT_EQ(Blend(Rgb(0, 0, 0), Rgb(255, 255, 255), 0), Rgb(0, 0, 0));
    EXPECT_EQ(Blend(Rgb(0, 0, 0), Rgb(255, 100, 10), 255), Rgb(255, 100, 10));
    EXPECT_EQ(Blend(Rgb(0, 200, 10), Rgb(255, 0, 20), 128), Rgb(128, 100, 15));
    EXPECT_EQ(Luminance(Rgb(255, 255, 255)), 255);
    EXPECT_EQ(Luminance(Rgb(255, 0, 0)), 76);
    EXPECT_EQ(Luminance(Rgb(0, 0, 255)), 29);
    EXPECT_EQ(GradientChannel(251), 0xFB00);
    EXPECT_TRUE(IsSystemColor(kSysButtonFace));
    EXPECT_FALSE(IsSystemColor(kNoColor));
    EXPECT_EQ(SystemColorIndex(kSysButtonFace), 15);
    EXPECT_EQ(BlueOf(Rgb(1, 2, 3)), 3);
}

struct AreaCase {
    const char* name;
    AreaLayout side;
    bool fixed;
    double percent;
    PixelRect picture;
    PixelRect caption;
};

TEST(ButtonLayout, AreaRuleOnA100By40Button) {
    const AreaCase cases[] = {
        {"fixed right", AreaLayout::Right, true, 80, {0, 0, 26, 40}, {26, 0, 100, 40}},
        {"fixed left", AreaLayout::Left, true, 80, {74, 0, 100, 40}, {0, 0, 74, 40}},
        {"fixed top", AreaLayout::Top, true, 80, {0, 14, 100, 40}, {0, 0, 100, 14}},
        {"fixed bottom", AreaLayout::Bottom, true, 80, {0, 0, 100, 26}, {0, 26, 100, 40}},
        {"share left", AreaLayout::Left, false, 33, {33, 0, 100, 40}, {0, 0, 33, 40}},
        {"share right", AreaLayout::Right, false, 33, {0, 0, 67, 40}, {67, 0, 100, 40}},
        {"share top", AreaLayout::Top, false, 33, {0, 13, 100, 40}, {0, 0, 100, 13}},
        {"share bottom", AreaLayout::Bottom, false, 33, {0, 0, 100, 26}, {0, 26, 100, 40}},
    };
    for (const AreaCase& c : cases) {
        ButtonProps p;
        p.captionAreaLayout = c.side;
        p.showPictureFixSize = c.fixed;
        p.captionAreaPercent = c.percent;
        const ButtonLayout l = ComputeButtonLayout(p, 100, 40);
        EXPECT_TRUE(l.valid && l.hasPictureArea && l.hasCaptionArea) << c.name;
        EXPECT_EQ(l.pictureArea, c.picture) << c.name;
        EXPECT_EQ(l.captionArea, c.caption) << c.name;
    }
}

TEST(ButtonLayout, PercentExtremesAndHiddenCaptionLeaveOneArea) {
    ButtonProps p;
    p.captionAreaPercent = 100;
    ButtonLayout l = ComputeButtonLayout(p, 60, 30);
    EXPECT_TRUE(l.hasCaptionArea);
    EXPECT_FALSE(l.hasPictureArea);
    EXPECT_EQ(l.captionArea, (PixelRect{0, 0, 60, 30}));
    for (auto change : {+[](ButtonProps& b) { b.captionAreaPercent = 0; },
                        +[](ButtonProps& b) { b.caption.clear(); },
                        +[](ButtonProps& b) { b.showCaption = false; }}) {
        ButtonProps q;
        change(q);
        l = ComputeButtonLayout(q, 60, 30);
        EXPECT_TRUE(l.hasPictureArea);
        EXPECT_FALSE(l.hasCaptionArea);
        EXPECT_EQ(l.pictureArea, (PixelRect{0, 0, 60, 30}));
    }
}

TEST(ButtonLayout, AppearancesAndTheirValidity) {
    ButtonProps p;
    p.appearance = ButtonAppearance::Sep2003;
    ButtonLayout l = ComputeButtonLayout(p, 9, 30);
    EXPECT_TRUE(l.valid);
    EXPECT_EQ(l.lineX, 4 + 0);  // line area 4..5 -> left + Int(1 / 2)
    EXPECT_EQ(l.lineTop, 4);
    EXPECT_EQ(l.lineBottom, 26);
    EXPECT_FALSE(ComputeButtonLayout(p, 8, 30).valid);

    p.appearance = ButtonAppearance::MainSep2003;
    l = ComputeButtonLayout(p, 20, 30);
    EXPECT_TRUE(l.valid);
    EXPECT_EQ(l.gripLeft, 4 + 4);  // band 12 wide: Int((12 - 3) / 2)
    EXPECT_EQ(l.gripRight, 4 + 7);  // Int((12 + 3) / 2)
    EXPECT_FALSE(ComputeButtonLayout(p, 11, 30).valid);  // width 3 is not > thick 3
    EXPECT_FALSE(ComputeButtonLayout(p, 20, 10).valid);  // height 2 is not > period 2

    p.appearance = ButtonAppearance::UpDown2003;
    l = ComputeButtonLayout(p, 50, 24);
    EXPECT_TRUE(l.valid);
    EXPECT_EQ(l.dropDown, (PixelRect{38, 0, 50, 24}));
    EXPECT_EQ(l.arrowCentre, (PixelPoint{40 + 4, 2 + 10}));
    EXPECT_EQ(l.pictureArea, (PixelRect{0, 0, 26, 24}));
    EXPECT_EQ(l.captionArea, (PixelRect{26, 0, 38, 24}));
    EXPECT_FALSE(ComputeButtonLayout(p, 12, 24).valid);
    EXPECT_FALSE(ComputeButtonLayout(p, 50, 2).valid);

    p.appearance = ButtonAppearance::NextUpDown2003;
    EXPECT_FALSE(ComputeButtonLayout(p, 8, 20).valid);
    EXPECT_FALSE(ComputeButtonLayout(p, 9, 14).valid);
    l = ComputeButtonLayout(p, 17, 30);
    EXPECT_TRUE(l.valid);
    EXPECT_EQ(l.glyphBox, (PixelRect{2 + 2, 2 + 6, 12, 22}));
}

TEST(ButtonLayout, PictureAndCaptionPlacementTable) {
    const PixelRect area{10, 20, 50, 60};  // inset by 4: 14..46 x 24..56, 32 x 32
    const Insets four{4, 4, 4, 4};
    struct Case {
        ContentLayout layout;
        PixelPoint picture;
        PixelRect caption;  // for a text height of 11
        unsigned format;
    } cases[] = {
        {ContentLayout::BottomLeft, {14, 46}, {14, 45, 46, 56}, 0x20},
        {ContentLayout::MiddleCenter, {25, 35}, {14, 34, 46, 45}, 0x21},
        {ContentLayout::TopRight, {36, 24}, {14, 24, 46, 35}, 0x22},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PlacePicture(area, four, c.layout, 10, 10), c.picture);
        EXPECT_EQ(PlaceCaption(area, four, c.layout, 11), c.caption);
        EXPECT_EQ(CaptionFormat(c.layout, false), c.format);
    }
    EXPECT_EQ(CaptionFormat(ContentLayout::MiddleRight, true), 0x12u);
    // Int of a negative half floors: a picture wider than its area sits left of centre.
    EXPECT_EQ(PlacePicture(area, four, ContentLayout::MiddleCenter, 33, 32).x, 13);
}

TEST(ButtonGlyphs, ArrowChevronAndGripPixels) {
    const auto arrow = DropDownArrowPixels({10, 10});
    ASSERT_EQ(arrow.size(), 9u);
    EXPECT_EQ(arrow.front(), (PixelPoint{8, 9}));
    EXPECT_EQ(arrow.back(), (PixelPoint{10, 11}));
    const PixelRect box{4, 8, 12, 22};
    const auto chevron = ChevronPixels(box);
    ASSERT_EQ(chevron.size(), 20u);
    EXPECT_EQ(chevron[3], (PixelPoint{6, 9}));
    EXPECT_EQ(chevron[19], (PixelPoint{9, 12}));
    EXPECT_EQ(ChevronTriangle(box), (std::vector<PixelPoint>{{5, 19}, {11, 19}, {8, 22}}));
    EXPECT_EQ(GripRows(3, 9, 2), (std::vector<int>{4, 6, 8}));
    EXPECT_EQ(GripRows(3, 9, 3), (std::vector<int>{3, 6, 9}));
}

TEST(ButtonAccessKeys, FirstAmpersandNamesTheKey) {
    EXPECT_EQ(AccessKeyOf(L"&O.确定"), L'O');
    EXPECT_EQ(AccessKeyOf(L"&c.取消"), L'C');
    EXPECT_EQ(AccessKeyOf(L"a&&b&x"), 0);
    EXPECT_EQ(AccessKeyOf(L"plain"), 0);
    EXPECT_EQ(AccessKeyOf(L"end&"), 0);
}

TEST(ButtonRefusals, MessagesByPropertyAppearanceAndLayout) {
    using G = GuardedProperty;
    using A = ButtonAppearance;
    EXPECT_FALSE(RefusalOf(G::CaptionAreaPercent, A::Office2003, true, 100));
    EXPECT_EQ(*RefusalOf(G::CaptionAreaPercent, A::Office2003, true, 100.5),
              L"本属性范围0--100，设为0时只显示图片区域，设为100时只显示标题区域");
    EXPECT_TRUE(RefusalOf(G::CaptionAreaPercent, A::Office2003, true, -1));
    EXPECT_EQ(*RefusalOf(G::IgnoeDisEnabledEffect, A::Sep2003, true, 1),
              L"只有按钮风格为sbOffice2003时，才能改变此属性。目的是为了保证按钮最佳效果,减少不必要的错误。");
    EXPECT_EQ(*RefusalOf(G::UpDownWidth, A::Office2003, true, 10),
              L"只有当按钮风格为sbUp_Down2003时才能设置此属性。目的是为了保证按钮最佳效果,减少不必要的错误。");
    EXPECT_EQ(*RefusalOf(G::UpDownWidth, A::UpDown2003, false, 10), L"将按钮拉大些再看有没有效果。");
    EXPECT_FALSE(RefusalOf(G::UpDownWidth, A::UpDown2003, true, 10));
    EXPECT_FALSE(RefusalOf(G::SepForeColor, A::MainSep2003, true, 0));
    EXPECT_EQ(*RefusalOf(G::MainSepForeColor, A::UpDown2003, true, 0),
              L"只有当按钮风格为sbSep2003或sbMainSep2003时才能设置此属性。目的是为了保证按钮最佳效果,减少不必要的错误。");
    EXPECT_TRUE(RefusalOf(G::MainSepThick, A::Sep2003, true, 3));
    EXPECT_FALSE(RefusalOf(G::ButtonAppearance, A::NextUpDown2003, false, 0));
    EXPECT_EQ(*RefusalOf(G::ButtonAppearance, A::Office2003, false, 4), L"将按钮拉大些再看吧！");
    const PropertyError e = InvalidPropertyValue(G::UpDownWidth, L"x");
    EXPECT_EQ(e.number, 380);
    EXPECT_EQ(e.source, L"OstrelMnu.VsNetBut:Up_DownWidht");
}

TEST(ToolbarFlags, IndexedFlagWordsAndInnerArea) {
    EXPECT_TRUE(HasAllFlags(edge::kButton, edge::kRaisedOuter));
    EXPECT_FALSE(HasAllFlags(edge::kRaisedOuter, edge::kButton));
    EXPECT_TRUE(HasAllFlags(edge::kRaisedOuter | edge::kRaisedInner, edge::kButton));
    EXPECT_EQ(WithFlags(part::kBottom, part::kMono, true), 0x8008);
    EXPECT_TRUE(HasAllFlags(0x8008, part::kMono));
    EXPECT_EQ(WithFlags(0xF80F, part::kAll, false), 0);
    EXPECT_EQ(WithFlags(part::kRect, part::kLeft | part::kTop, false), part::kRight | part::kBottom);

    struct Case {
        int style, part;
        PixelRect inner;
    } cases[] = {
        {edge::kEtchInset, part::kBottom, {0, 0, 80, 28}},  // the defaults
        {0, part::kRect, {0, 0, 80, 30}},                    // no edge kind: all inner
        {edge::kRaisedOuter, part::kRect, {1, 1, 79, 29}},
        {3, part::kLeft | part::kTop, {1, 1, 80, 30}},
        {edge::kSunkenInner, part::kRight | part::kSoft, {0, 0, 78, 30}},
    };
    for (const Case& c : cases) EXPECT_EQ(InnerArea(80, 30, c.style, c.part), c.inner) << c.style << "/" << c.part;
}

TEST(Persistence, ButtonWritesOnlyChangedValuesInOrderAndReadsThemBack) {
    ButtonProps p;
    p.caption = L"&O.确定";
    p.office2003Style = false;
    p.shadowOffset = 1;
    p.showEdgeOnNoFocus = true;
    p.picAreaFixWidth = 20.5;
    p.backColor = Rgb(1, 2, 3);
    p.appearance = ButtonAppearance::UpDown2003;
    p.font.size = 12;
    MemoryPropertyBag bag;
    WriteButtonProps(p, bag);
    EXPECT_EQ(bag.Names(), (std::vector<std::wstring>{L"Office2003Style", L"Caption", L"ShadowOffset",
                                                      L"ShowEdgeOnNoFocus", L"PicAreaFixWidth",
                                                      L"ButtonAppearance", L"BackColor"}));
    ASSERT_TRUE(bag.HasChild(L"Font"));
    const ButtonProps back = ReadButtonProps(bag);
    EXPECT_EQ(back.caption, p.caption);
    EXPECT_FALSE(back.office2003Style);
    EXPECT_EQ(back.shadowOffset, 1);
    EXPECT_DOUBLE_EQ(back.picAreaFixWidth, 20.5);
    EXPECT_EQ(back.appearance, ButtonAppearance::UpDown2003);
    EXPECT_EQ(back.backColor, Rgb(1, 2, 3));
    EXPECT_EQ(back.font.size, 12);
    EXPECT_EQ(back.font.name, L"宋体");
    EXPECT_EQ(back.foreColor, kSysWindowText);

    MemoryPropertyBag empty;
    WriteButtonProps(ButtonProps{}, empty);
    EXPECT_TRUE(empty.Names().empty());
    EXPECT_FALSE(empty.HasChild(L"Font"));
}

TEST(Persistence, SystemColoursAreStoredAsTheSignedValueAndDefaultsVanish) {
    ToolbarProps t;
    t.foreColor = kSysButtonText;
    t.borderStyle = 0;
    t.office2003Style = false;
    MemoryPropertyBag bag;
    WriteToolbarProps(t, bag);
    EXPECT_EQ(bag.Names(), (std::vector<std::wstring>{L"ForeColor", L"BorderStyle", L"Office2003Style"}));
    EXPECT_EQ(bag.Read(L"ForeColor", {}).number, -2147483630);
    const ToolbarProps back = ReadToolbarProps(bag);
    EXPECT_EQ(back.foreColor, kSysButtonText);
    EXPECT_EQ(back.borderStyle, 0);
    EXPECT_EQ(back.borderPart, part::kBottom);
    // Writing the default again removes the stale value.
    t.borderStyle = edge::kEtchInset;
    WriteToolbarProps(t, bag);
    EXPECT_EQ(bag.Names(), (std::vector<std::wstring>{L"ForeColor", L"Office2003Style"}));
}

}  // namespace
}  // namespace ostrel
