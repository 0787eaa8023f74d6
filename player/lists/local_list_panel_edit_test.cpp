// Start-up, list switching and the editing commands of the list panel.
#include <gtest/gtest.h>

#include <algorithm>

#include "player/lists/test_support/panel_fixture.h"

namespace velmora::lists::testing {
namespace {

TEST_F(PanelTest, StartUpShowsTheListTheSettingsName) {
    struct Case {
        std::string setting;
        ShownList shown;
        const wchar_t* name;
        size_t items;
        std::string saved;
    } cases[] = {
        {"", ShownList::Default, kDefaultListName, 1, "default"},
        {"default", ShownList::Default, kDefaultListName, 1, "default"},
        {"  favorite ", ShownList::Favorite, kFavoriteListName, 2, "favorite"},
        {"network", ShownList::Network, kNetworkListName, 0, "network"},
        {"Favorite", ShownList::Network, kNetworkListName, 0, "network"},
    };
    for (const auto& c : cases) {
        WriteBytes(m_panel->DefaultListFile(), "d*c:\\d.swf\r\n");
        WriteBytes(m_panel->FavoriteListFile(), "f1*c:\\f1.swf\r\nf2*c:\\f2.swf\r\n");
        m_list->Clear();
        m_panel->StartUp(c.setting, L"");
        EXPECT_EQ(m_host.pressed, c.shown) << c.setting;
        EXPECT_EQ(m_host.listName, c.name) << c.setting;
        EXPECT_EQ(static_cast<size_t>(m_list->Count()), c.items) << c.setting;
        EXPECT_EQ(m_panel->ListSetting(), c.saved) << c.setting;
    }
}

TEST_F(PanelTest, CommandLineMoviesAreAppendedToTheDefaultListWhichIsShown) {
    WriteBytes(m_panel->DefaultListFile(), "old*c:\\old.swf\r\n");
    m_panel->StartUp("favorite", L"\"D:\\My Movies\\A.SWF\" e:\\b.swf readme.txt");
    EXPECT_EQ(ReadBytes(m_panel->DefaultListFile()), "old*c:\\old.swf\r\na*d:\\my movies\\a.swf\r\nb*e:\\b.swf\r\n");
    EXPECT_EQ(m_host.pressed, ShownList::Default);
    EXPECT_EQ(m_host.listName, kDefaultListName);
    ASSERT_EQ(m_list->Count(), 3);
    EXPECT_EQ(m_list->Item(2)->Caption, Caption(L"a", L"d:\\my movies\\a.swf"));
    EXPECT_TRUE(m_host.played.empty());
}

TEST_F(PanelTest, ACommandLineWithoutMoviesStillShowsTheDefaultListUnlessItHasASlash) {
    m_panel->StartUp("favorite", L"-s");
    EXPECT_EQ(m_host.pressed, ShownList::Default);
    EXPECT_EQ(ReadBytes(m_panel->DefaultListFile()), "");  // opened for appending, so created
    m_panel->StartUp("favorite", L"/x a.swf");
    EXPECT_EQ(m_host.pressed, ShownList::Favorite);
    EXPECT_EQ(ReadBytes(m_panel->DefaultListFile()), "");
}

TEST_F(PanelTest, SwitchingSavesTheListLeftAndShowsTheNewOneExactly) {
    WriteBytes(m_panel->DefaultListFile(), "d*c:\\d.swf\r\n");
    m_panel->StartUp("default", L"");
    m_list->AddItem(Caption(L"added", L"c:\\added.swf"), L"", 1);
    m_host.statusLists = 0;

    m_panel->ListButtonClick(ShownList::Favorite);  // no favorite.flst yet
    EXPECT_EQ(ReadBytes(m_panel->DefaultListFile()), "d*c:\\d.swf\r\nadded*c:\\added.swf\r\n");
    EXPECT_EQ(m_host.pressed, ShownList::Favorite);
    EXPECT_EQ(m_host.listName, kFavoriteListName);
    EXPECT_EQ(m_list->Count(), 0);
    EXPECT_GE(m_host.statusLists, 1);
    EXPECT_FALSE(m_host.addToFavourites);
    EXPECT_FALSE(m_host.treeVisible);

    m_list->AddItem(Caption(L"f", L"c:\\f.swf"), L"", 1);
    m_panel->ListButtonClick(ShownList::Favorite);  // the shown list: saved and read back
    EXPECT_EQ(ReadBytes(m_panel->FavoriteListFile()), "f*c:\\f.swf\r\n");
    EXPECT_EQ(Captions(), std::vector<std::wstring>{Caption(L"f", L"c:\\f.swf")});

    m_panel->ListButtonClick(ShownList::Network);
    EXPECT_EQ(m_host.listName, kNetworkListName);
    EXPECT_EQ(m_panel->ListSetting(), "network");
    EXPECT_EQ(m_list->Count(), 1);  // kept, hidden
    EXPECT_FALSE(IsWindowVisible(m_list->hwnd()));
    EXPECT_TRUE(m_host.treeVisible);
    EXPECT_EQ(m_host.networkRefreshes, 1);

    m_list->AddItem(Caption(L"late", L"c:\\late.swf"), L"", 1);
    m_panel->SaveLocalList();  // nothing is written for the tree
    m_panel->ListButtonClick(ShownList::Default);
    EXPECT_EQ(ReadBytes(m_panel->FavoriteListFile()), "f*c:\\f.swf\r\n");
    EXPECT_EQ(Captions(), (std::vector<std::wstring>{Caption(L"d", L"c:\\d.swf"), Caption(L"added", L"c:\\added.swf")}));
    EXPECT_FALSE(m_host.treeVisible);
    EXPECT_TRUE(IsWindowVisible(m_list->hwnd()));
}

TEST_F(PanelTest, TheFavouritesCommandFollowsTheSelectionInTheDefaultListOnly) {
    AddItems(2);
    m_list->SetSelected(2);
    m_panel->ShowListView();
    EXPECT_TRUE(m_host.addToFavourites);
    m_list->SetSelected(0);
    m_panel->ShowListView();
    EXPECT_FALSE(m_host.addToFavourites);
    m_list->SetSelected(1);
    m_host.listName = kFavoriteListName;
    m_panel->ShowListView();
    EXPECT_FALSE(m_host.addToFavourites);
}

TEST_F(PanelTest, AddingToFavouritesAppendsTheSelectedItemOrTheFirst) {
    m_panel->AddToFavourites();  // empty list: nothing, not even a file
    EXPECT_FALSE(Exists(m_panel->FavoriteListFile()));

    WriteBytes(m_panel->FavoriteListFile(), "old*c:\\old.swf\r\n");
    AddItems(3);
    m_list->SetSelected(2);
    m_panel->AddToFavourites();
    m_list->SetSelected(0);
    m_panel->AddToFavourites();
    EXPECT_EQ(m_list->Selected(), 1);
    EXPECT_EQ(ReadBytes(m_panel->FavoriteListFile()), "old*c:\\old.swf\r\nm2*c:\\m2.swf\r\nm1*c:\\m1.swf\r\n");
    EXPECT_EQ(m_list->Count(), 3);
}

TEST_F(PanelTest, RemovingKeepsTheSelectionAtItsPlace) {
    struct Case {
        int items, selected, index;
        int count, selectedAfter;
    } cases[] = {
        {5, 5, 0, 4, 4},  // the last item: the new last is selected
        {5, 2, 0, 4, 2},  // the item that moved up
        {1, 1, 0, 0, 0},  // the only item: no selection
        {5, 3, 1, 0, 3},  // emptying keeps the number
        {0, 0, 0, 0, 0},
    };
    for (const auto& c : cases) {
        m_list->Clear();
        AddItems(c.items);
        m_list->SetSelected(c.selected);
        m_host.statusLists = 0;
        m_panel->RemoveCommand(c.index);
        EXPECT_EQ(m_list->Count(), c.count) << c.items << " " << c.selected;
        EXPECT_EQ(m_list->Selected(), c.selectedAfter) << c.items << " " << c.selected;
        EXPECT_EQ(m_host.statusLists, c.items ? 1 : 0);
    }
    AddItems(5);
    m_list->SetSelected(2);
    m_panel->RemoveCommand(0);
    EXPECT_EQ(m_list->Item(2)->Caption, Caption(L"m3", L"c:\\m3.swf"));
}

TEST_F(PanelTest, DroppedMoviesAreLowerCasedAndDroppedListsAppended) {
    WriteBytes(File(L"extra.flst"), "x*c:\\x.swf\r\ny*c:\\y.swf\r\n");
    WriteBytes(File(L"notes.txt"), "n*c:\\n.swf\r\n");
    AddItems(1);
    m_host.statusLists = 0;
    HGLOBAL drop = MakeDrop({L"C:\\Flash\\Movie.SWF", File(L"EXTRA.FLST"), File(L"notes.txt"), L"D:\\影片\\片头.swf"}, {5, 5});
    SendMessageW(m_list->hwnd(), WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
    const std::vector<std::wstring> expected = {Caption(L"m1", L"c:\\m1.swf"), Caption(L"movie", L"c:\\flash\\movie.swf"),
                                                Caption(L"x", L"c:\\x.swf"), Caption(L"y", L"c:\\y.swf"),
                                                Caption(L"片头", L"d:\\影片\\片头.swf")};
    EXPECT_EQ(Captions(), expected);
    EXPECT_GE(m_host.statusLists, 1);
}

TEST_F(PanelTest, ListEventsReachTheHost) {
    AddItems(3);
    for (UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP})
        SendMessageW(m_list->hwnd(), message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(30, 19 + 5));
    ASSERT_EQ(m_host.played.size(), 1u);
    EXPECT_EQ(m_host.played[0], 2);
    SendMessageW(m_list->hwnd(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(40, 2 * 19 + 5));
    SendMessageW(m_list->hwnd(), WM_RBUTTONUP, 0, MAKELPARAM(40, 2 * 19 + 5));
    ASSERT_EQ(m_host.popups.size(), 1u);
    EXPECT_EQ(m_host.popups[0].x, 40);
    EXPECT_EQ(m_host.popups[0].y, 2 * 19 + 5);
    EXPECT_EQ(m_list->Selected(), 3);
}

}  // namespace
}  // namespace velmora::lists::testing
