#include <gtest/gtest.h>

#include "menulib/page_model.h"
#include "menulib/toolbar_model.h"

namespace ostrel {
namespace {

TEST(MenuIconPage, ListLinesChoicesAndColourText) {
    EXPECT_EQ(MenuListLine(L"mnuUIStyle", 1, L" &O.Office\tCtrl+2 ", true), L"*\t&O.Office\\tCtrl+2\tmnuUIStyle:1");
    EXPECT_EQ(MenuListLine(L"mnuFileOpen", -1, L"&O.打开", false), L"\t&O.打开\tmnuFileOpen");
    EXPECT_EQ(MenuChoice(L"mnuUIStyle", 1, L"&O.Office "), L"mnuUIStyle:1 (&O.Office)");
    EXPECT_FALSE(MenuChoice(L"mnuSep", -1, L"-"));
    EXPECT_EQ(KeyOfChoice(L"mnuUIStyle:1 (&O.Office)"), L"#mnuUIStyle:1");
    EXPECT_EQ(MaskText(0xFF00FF), L"#FF00FF");
    EXPECT_EQ(ParseMaskText(L"#C0C0C0"), 0xC0C0C0u);
    EXPECT_EQ(ParseMaskText(MaskText(0x123456)), 0x123456u);
    EXPECT_EQ(IconCountText(47), L"共设置了47个图标");
}

TEST(MenuIconPage, PreviewCentresWhenSmallAndCoversWhenLarge) {
    EXPECT_EQ(SettlePreview(100, 40, 77), 30);
    EXPECT_EQ(SettlePreview(100, 160, 10), 0);
    EXPECT_EQ(SettlePreview(100, 160, -90), -60);
    EXPECT_EQ(SettlePreview(100, 160, -20), -20);
}

int NodeOf(const wchar_t* text) {
    const auto& tree = EdgeTree();
    for (size_t i = 0; i < tree.size(); ++i)
        if (std::wstring(tree[i].text) == text) return static_cast<int>(i);
    return -1;
}

TEST(ToolbarPage, TreeKeysFollowTheFlags) {
    const auto& tree = EdgeTree();
    ASSERT_EQ(tree.size(), 16u);
    EXPECT_EQ(tree[0].Key(), L"C15");
    EXPECT_EQ(tree[15].Key(), L"F-32768");
    EXPECT_EQ(tree[NodeOf(L"Edge Top")].parent, NodeOf(L"Edge TopLeft"));
}

TEST(ToolbarPage, ParentsShowTheirChildren) {
    std::vector<CheckImage> checks = EdgeChecks(part::kTop | part::kLeft | part::kSoft, edge::kRaisedOuter);
    EXPECT_EQ(checks[NodeOf(L"Edge TopLeft")], CheckImage::Checked);
    EXPECT_EQ(checks[NodeOf(L"Edge BottomRight")], CheckImage::Unchecked);
    EXPECT_EQ(checks[NodeOf(L"Edge Rectangle")], CheckImage::Partial);
    EXPECT_EQ(checks[NodeOf(L"ButtonBorder")], CheckImage::Partial);
    EXPECT_EQ(checks[NodeOf(L"Soft Edge")], CheckImage::Unchecked);  // options start unchecked
}

TEST(ToolbarPage, CheckingTheRectangleSetsAllSides) {
    std::vector<CheckImage> checks = EdgeChecks(part::kTop, 0);
    ToggleEdgeNode(checks, NodeOf(L"Edge Rectangle"));  // partly checked becomes checked
    for (const wchar_t* side : {L"Edge Top", L"Edge Left", L"Edge Bottom", L"Edge Right", L"Edge BottomRight"})
        EXPECT_EQ(checks[NodeOf(side)], CheckImage::Checked) << side;
    const EdgeFlags flags = ApplyEdgeChecks(checks, {part::kSoft | part::kMono, edge::kSunkenInner});
    EXPECT_EQ(flags.borderPart & 0xFFFF, part::kRect);  // unchecked options are cleared
    EXPECT_EQ(flags.borderStyle, 0);
}

TEST(ToolbarPage, UncheckingOneSideMakesItsAncestorsPartial) {
    std::vector<CheckImage> checks = EdgeChecks(part::kRect, 0);
    EXPECT_EQ(checks[NodeOf(L"Edge Rectangle")], CheckImage::Checked);
    ToggleEdgeNode(checks, NodeOf(L"Edge Top"));
    EXPECT_EQ(checks[NodeOf(L"Edge TopLeft")], CheckImage::Partial);
    EXPECT_EQ(checks[NodeOf(L"Edge Rectangle")], CheckImage::Partial);
    ToggleEdgeNode(checks, NodeOf(L"Monochrome Edge"));
    const EdgeFlags flags = ApplyEdgeChecks(checks, {});
    EXPECT_EQ(flags.borderPart & 0xFFFF, (part::kLeft | part::kRight | part::kBottom | 0x8000));
}

}  // namespace
}  // namespace ostrel
