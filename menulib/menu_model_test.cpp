#include <gtest/gtest.h>

#include "menulib/memory_property_bag.h"
#include "menulib/menu_model.h"
#include "menulib/menu_props.h"
#include "menulib/persistence.h"

namespace ostrel {
namespace {

TEST(MenuRounding, HalvesGoToTheEvenNeighbour) {
    struct Case {
        int64_t num, den, expected;
    } cases[] = {{5, 2, 2}, {7, 2, 4}, {3, 2, 2}, {-5, 2, -2}, {-3, 2, -2}, {1, 3, 0}, {2, 3, 1}, {128, 3, 43}};
    for (const Case& c : cases) EXPECT_EQ(RoundRatioHalfEven(c.num, c.den), c.expected) << c.num << "/" << c.den;
    EXPECT_EQ(RoundHalfEven(2.5), 2);
    EXPECT_EQ(RoundHalfEven(3.5), 4);
}

TEST(MenuColors, BlendWeighsTheFirstColourAndLuminanceUsesItsOwnWeights) {
    EXPECT_EQ(MenuBlend(Rgb(255, 0, 0), Rgb(0, 0, 255), 128), Rgb(128, 0, 127));
    EXPECT_EQ(MenuBlend(Rgb(49, 106, 197), Rgb(255, 255, 255), 70), Rgb(198, 214, 239));
    EXPECT_EQ(MenuBlend(Rgb(10, 20, 30), Rgb(200, 100, 0), 0), Rgb(200, 100, 0));
    EXPECT_EQ(MenuLuminance(Rgb(255, 255, 255)), 255);
    EXPECT_EQ(MenuLuminance(Rgb(255, 0, 0)), 76);
    EXPECT_EQ(MenuLuminance(Rgb(166, 196, 239)), 191);
}

TEST(MenuMeasure, IconColumnFollowsTheTallerOfTextAndIcon) {
    EXPECT_EQ(IconColumnWidth(12, 16), 24);
    EXPECT_EQ(IconColumnWidth(18, 16), 26);
    EXPECT_EQ(IconColumnWidth(12, 32), 40);
}

TEST(MenuMeasure, BarCaptionsChooseTheItemKind) {
    EXPECT_EQ(ClassifyBarText(L"  帮助"), BarItemKind::RightJustified);
    EXPECT_EQ(ClassifyBarText(L" "), BarItemKind::Separator);
    EXPECT_EQ(ClassifyBarText(L" x"), BarItemKind::Separator);
    EXPECT_EQ(ClassifyBarText(L"&File"), BarItemKind::Normal);
    EXPECT_EQ(BarItemType(BarItemKind::Normal), 0x100u);
    EXPECT_EQ(BarItemType(BarItemKind::RightJustified), 0x4100u);
    EXPECT_EQ(BarItemType(BarItemKind::Separator), 0x900u);
}

TEST(MenuMeasure, TextSplitsAtTheFirstTab) {
    ItemText t = SplitItemText(L"&Open\tCtrl+O\t", false);
    EXPECT_EQ(t.label, L"&Open");
    EXPECT_EQ(t.accelerator, L"Ctrl+O");
    EXPECT_TRUE(t.hasAccelerator);
    EXPECT_EQ(SplitItemText(L" &File ", true).label, L"&File");
    EXPECT_EQ(SplitItemText(L" &File ", false).label, L" &File ");
    EXPECT_FALSE(SplitItemText(L"x", false).hasAccelerator);
}

TEST(MenuMeasure, ItemSizesByKind) {
    struct Case {
        const char* name;
        MeasureInput in;
        ItemSize expected;
    } cases[] = {
        {"popup", {false, false, false, false, 50, 0, 0, true, 24}, {86, 24}},
        {"popup with accelerator", {false, false, false, true, 50, 40, 6, true, 24}, {134, 24}},
        {"accelerator outside NT", {false, false, false, true, 50, 40, 6, false, 24}, {92, 24}},
        {"popup separator", {false, true, false, false, 0, 0, 0, true, 24}, {36, 2}},
        {"bar separator", {true, true, false, false, 0, 0, 0, true, 24}, {0, 2}},
        {"bar item", {true, false, false, false, 30, 0, 0, true, 26}, {30, 26}},
        {"bar single space", {true, false, true, false, 4, 0, 0, true, 24}, {0, 24}},
        {"bar with accelerator", {true, false, false, true, 30, 10, 2, true, 24}, {48, 24}},
        {"bar accelerator outside NT", {true, false, false, true, 30, 10, 2, false, 24}, {30, 24}},
    };
    for (const Case& c : cases) EXPECT_EQ(MeasureMenuItem(c.in), c.expected) << c.name;
}

TEST(MenuMnemonic, LastSingleAmpersandMarksTheLetter) {
    struct Case {
        const wchar_t* text;
        wchar_t expected;
    } cases[] = {{L"&File", L'f'}, {L"Save &As", L'a'}, {L"A&&B", 0},   {L"&&Fish &Chips", L'c'},
                 {L"End&", 0},     {L"&&&X", L'x'},     {L"a&b&c", L'c'}, {L"plain", 0}};
    for (const Case& c : cases) EXPECT_EQ(MnemonicOf(c.text), c.expected) << static_cast<int>(c.expected);
}

TEST(MenuMnemonic, SearchAnswersExecuteWithThePosition) {
    const std::vector<std::optional<std::wstring>> texts = {L"&File", std::nullopt, L"&Edit", L"E&xit", L"&Edit again"};
    EXPECT_EQ(FindMnemonic(texts, L'e'), 0x20002);
    EXPECT_EQ(FindMnemonic(texts, L'x'), 0x20003);
    EXPECT_EQ(FindMnemonic(texts, L'f'), 0x20000);
    EXPECT_FALSE(FindMnemonic(texts, L'q'));
    EXPECT_FALSE(FindMnemonic(texts, L'&'));
}

TEST(MenuGlyphs, CheckMarkAndArrowColumns) {
    const std::vector<Column> check = {{10, 11, 13}, {11, 12, 14}, {12, 13, 15}, {13, 12, 14},
                                       {14, 11, 13}, {15, 10, 12}, {16, 9, 11}};
    EXPECT_EQ(CheckMarkColumns(0, 0, 24), check);
    const std::vector<Column> arrow = {{89, 8, 15}, {90, 9, 14}, {91, 10, 13}, {92, 11, 12}};
    EXPECT_EQ(SubmenuArrowColumns(0, 24, 100), arrow);
    EXPECT_EQ(IconOffset(24, 16), 2);
    EXPECT_EQ(IconOffset(26, 16), 3);
    EXPECT_EQ(IconOffset(40, 32), 2);
    EXPECT_EQ(BarShadowWeight(0), 64);
    EXPECT_EQ(BarShadowWeight(1), 43);
    EXPECT_EQ(BarShadowWeight(2), 21);
}

TEST(MenuGlyphs, BarSeparatorDashRoundsEachEndToEven) {
    struct Case {
        PixelRect item;
        int left, right;
    } cases[] = {{{10, 0, 20, 20}, 14, 17}, {{10, 0, 21, 20}, 14, 18}, {{10, 0, 19, 20}, 14, 16}};
    for (const Case& c : cases) {
        const std::vector<Row> rows = BarSeparatorDashes(c.item);
        ASSERT_EQ(rows.size(), 8u);
        EXPECT_EQ(rows.front(), (Row{3, c.left, c.right}));
        EXPECT_EQ(rows.back().y, 17);
    }
}

TEST(MenuPlacement, PopupsOfBarAndPopupItems) {
    struct Case {
        const char* name;
        PlacementInput in;
        Placement expected;
    } cases[] = {
        {"below a bar item overlaps its last row", {100, 40, 120, 200, true, {100, 20, 150, 40}, false, 800, 600},
         {100, 39, false}},
        {"above a bar item overlaps by 4", {100, 200, 120, 200, true, {100, 400, 150, 420}, false, 800, 600},
         {100, 204, false}},
        {"never above the screen", {100, -180, 120, 200, true, {100, 20, 150, 40}, false, 800, 600}, {100, 0, false}},
        {"right-justified with room keeps x", {600, 20, 120, 200, true, {700, 0, 760, 20}, true, 800, 600},
         {600, 19, true}},
        {"right-justified at the edge ends at the item", {700, 20, 120, 200, true, {700, 0, 760, 20}, true, 800, 600},
         {640, 19, false}},
        {"submenu aligns with its item", {300, 310, 100, 200, false, {200, 300, 300, 324}, false, 800, 600},
         {300, 300, false}},
        {"submenu near the bottom", {300, 460, 100, 200, false, {200, 450, 300, 474}, false, 800, 600},
         {300, 400, false}},
    };
    for (const Case& c : cases) EXPECT_EQ(PlacePopup(c.in), c.expected) << c.name;
}

TEST(MenuPopupFrame, ShadowWeightsFadeInAndOut) {
    const PopupFrame f = LayoutPopupFrame(100, 80, 3, std::nullopt);
    EXPECT_EQ(f.g, 94);
    EXPECT_EQ(f.lim, 95);
    EXPECT_EQ(f.b, 77);
    EXPECT_EQ(f.n, 76);
    EXPECT_EQ(f.c, 3);
    EXPECT_EQ(f.e, 97);
    EXPECT_FALSE(f.jointErase);
    struct Case {
        int i, x, bottom;
    } bottom[] = {{0, 3, 16}, {0, 6, 64}, {0, 50, 64}, {0, 95, 48}, {0, 97, 16}, {1, 3, 11}, {1, 50, 43}, {2, 3, 5},
                  {2, 50, 21}};
    for (const Case& c : bottom) EXPECT_EQ(BottomShadowWeight(f, c.i, c.x), c.bottom) << c.i << "," << c.x;
    EXPECT_EQ(RightShadowWeight(f, 0, 3), 16);
    EXPECT_EQ(RightShadowWeight(f, 0, 6), 64);
    EXPECT_EQ(RightShadowWeight(f, 1, 3), 11);
    EXPECT_EQ(RightShadowWeight(f, 2, 40), 21);
}

TEST(MenuPopupFrame, JointWithTheBarItem) {
    JointInput below{{10, 0, 60, 20}, 21, 200, 600, false, false, true};
    EXPECT_EQ(LayoutPopupFrame(100, 80, 3, below).jointErase, (PixelRect{1, 0, 49, 1}));
    below.rightJustified = below.extendsRight = true;
    EXPECT_EQ(LayoutPopupFrame(100, 80, 3, below).jointErase, (PixelRect{1, 0, 44, 1}));
    below.extendsRight = false;
    below.leftAligned = false;
    const PopupFrame rj = LayoutPopupFrame(100, 80, 3, below);
    EXPECT_EQ(rj.jointErase, (PixelRect{51, 0, 94, 1}));
    EXPECT_TRUE(rj.rightBandFromTop);
    EXPECT_EQ(RightShadowWeight(rj, 0, 1), 64);

    JointInput above{{10, 500, 60, 520}, 320, 504, 600, false, false, true};
    const PopupFrame up = LayoutPopupFrame(100, 80, 3, above);
    EXPECT_EQ(up.jointErase, (PixelRect{1, 76, 49, 77}));
    EXPECT_EQ(up.c, 50);
    EXPECT_EQ(up.e, 97);
    above.rightJustified = true;
    const PopupFrame upRight = LayoutPopupFrame(100, 80, 3, above);
    EXPECT_EQ(upRight.jointErase, (PixelRect{46, 76, 94, 77}));
    EXPECT_EQ(upRight.c, 3);
    EXPECT_EQ(upRight.e, 44);
}

TEST(MenuDefaults, HighAndLowColourColumns) {
    SystemMenuPalette palette;
    const MenuColors high = DefaultMenuColors(palette, false);
    EXPECT_EQ(high.menuBack, Rgb(239, 237, 222));
    EXPECT_EQ(high.selMenuBack, Rgb(198, 214, 239));
    EXPECT_EQ(high.checkBack, MenuBlend(Rgb(255, 255, 255), Rgb(198, 214, 239), 128));
    EXPECT_EQ(high.disabledMenuBack, MenuBlend(Rgb(239, 237, 222), Rgb(255, 255, 255), 128));
    EXPECT_EQ(high.menuFore, SysColor(8));
    EXPECT_EQ(high.menuBarBack, SysColor(4));
    EXPECT_EQ(high.menuShadow2003, Rgb(0, 45, 144));
    const MenuColors low = DefaultMenuColors(palette, true);
    EXPECT_EQ(low.menuBack, SysColor(15));
    EXPECT_EQ(low.menuBorder, SysColor(18));
    EXPECT_EQ(low.selMenuBack, SysColor(5));
    EXPECT_EQ(low.menuFore, SysColor(7));
    palette.flatMenus = true;
    palette.menuBar = Rgb(1, 2, 3);
    EXPECT_EQ(DefaultMenuColors(palette, false).menuBarBack, Rgb(1, 2, 3));
    EXPECT_EQ(IconKeyOf(L"mnuUIStyle", 1), L"#mnuUIStyle:1");
    EXPECT_EQ(IconKeyOf(L"mnuPopupOpen"), L"#mnuPopupOpen");
}

MenuProps Defaults() {
    MenuProps d;
    d.colors = DefaultMenuColors(SystemMenuPalette{}, false);
    return d;
}

TEST(MenuPersistence, DefaultsAreLeftOutButTheIconCountIsNot) {
    MemoryPropertyBag bag;
    WriteMenuProps(Defaults(), Defaults(), bag);
    EXPECT_EQ(bag.Names(), std::vector<std::wstring>{L"BmpCount"});
    EXPECT_EQ(bag.Read(L"BmpCount", PropertyValue::Of(-1)).number, 0);
}

TEST(MenuPersistence, NamesInOrderAndIconsAsNestedBags) {
    MenuProps p = Defaults();
    p.useOffice2003Style = false;
    p.colors.menuShadow2003 = Rgb(1, 1, 1);
    p.colors.menuBack = SysColor(15);
    p.selectDisabled = false;
    p.bitmapSize = 20;
    p.useSystemFont = false;
    p.icons.push_back({{StoredPicture::Kind::Bitmap, {1, 2, 3}, {}}, Rgb(255, 0, 255), L"#mnuFileOpen"});
    p.icons.push_back({{StoredPicture::Kind::Icon, {4, 5}, {6}}, 0, L"#2"});
    MemoryPropertyBag bag;
    WriteMenuProps(p, Defaults(), bag);
    const std::vector<std::wstring> names = {L"UseOffice2003Style", L"MenuShadow2003", L"MenuBack", L"SelectDisabled",
                                             L"BitmapSize", L"BmpCount", L"Bmp:1", L"Mask:1", L"Key:1",
                                             L"UseSystemFont"};
    EXPECT_EQ(bag.Names(), names);
    EXPECT_EQ(bag.Read(L"MenuBack", {}).number, static_cast<int32_t>(SysColor(15)));
    ASSERT_TRUE(bag.HasChild(L"Bmp:2"));
    EXPECT_EQ(bag.Child(L"Bmp:2").Read(L"c", {}).bytes, (std::vector<uint8_t>{4, 5}));
    EXPECT_EQ(bag.Child(L"Bmp:2").Read(L"m", {}).bytes, (std::vector<uint8_t>{6}));
    EXPECT_EQ(ReadMenuProps(bag, Defaults()), p);
}

TEST(MenuPersistence, MissingCountMeansNoIcons) {
    MemoryPropertyBag bag;
    bag.Write(L"Bmp:1", PropertyValue::Of(std::vector<uint8_t>{1}), {});
    bag.Write(L"BitmapSize", PropertyValue::Of(24), PropertyValue::Of(16));
    const MenuProps p = ReadMenuProps(bag, Defaults());
    EXPECT_TRUE(p.icons.empty());
    EXPECT_EQ(p.bitmapSize, 24);
    EXPECT_TRUE(p.useOffice2003Style);
}

}  // namespace
}  // namespace ostrel
