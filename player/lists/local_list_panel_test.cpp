#include "player/lists/local_list_panel.h"

#include <gtest/gtest.h>

#include "player/lists/test_support/panel_fixture.h"

namespace velmora::lists::testing {
namespace {

TEST_F(PanelTest, ListFilesSitInTheProgramFolderWithOneBackslash) {
    EXPECT_EQ(m_panel->DefaultListFile(), File(L"default.flst"));
    EXPECT_EQ(m_panel->FavoriteListFile(), File(L"favorite.flst"));
    LocalListPanel atRoot(*m_list, m_host, L"C:\\");
    EXPECT_EQ(atRoot.DefaultListFile(), L"C:\\default.flst");
    EXPECT_EQ(atRoot.FavoriteListFile(), L"C:\\favorite.flst");
}

TEST_F(PanelTest, LoadingAppendsTheItemsOfAnyLineEndsAndSkipsShortLines) {
    AddItems(1);
    WriteBytes(File(L"a.flst"), kGbkTitle + "*D:\\flash\\" + kGbkTitle + ".swf\r\n\r\n   *   \r  a*b  \rx*y\nz*w\r\n");
    m_panel->LoadLocalList(File(L"a.flst"));
    const std::vector<std::wstring> expected = {Caption(L"m1", L"c:\\m1.swf"),
                                                Caption(L"片头", L"D:\\flash\\片头.swf"), Caption(L"a", L"b"),
                                                L"x" + kGap + L"y\nz" + kGap + L"w"};
    EXPECT_EQ(Captions(), expected);
    EXPECT_EQ(m_list->Item(2)->Text, L"");
    EXPECT_EQ(m_list->Item(2)->Icon, 1);
    EXPECT_EQ(m_host.statusLists, 1);
}

TEST_F(PanelTest, LoadingAMissingFileAddsNothingAndRefreshesNothing) {
    m_panel->LoadLocalList(File(L"none.flst"));
    m_panel->LoadLocalList(File(L"no folder\\none.flst"));
    EXPECT_EQ(m_list->Count(), 0);
    EXPECT_EQ(m_host.statusLists, 0);
}

TEST_F(PanelTest, SavingWritesWhatWasLoadedByteForByte) {
    const std::string bytes = kGbkTitle + "*D:\\flash\\" + kGbkTitle + ".swf\r\na*\r\n" + std::string(60, 'z') + "\r\n";
    WriteBytes(m_panel->DefaultListFile(), bytes);
    m_panel->LoadLocalList(m_panel->DefaultListFile());
    m_list->AddItem(Caption(L"x\u0E01", L"c:\\x.swf"), L"", 1);  // Thai is not in code page 936
    m_panel->SaveLocalList();
    EXPECT_EQ(ReadBytes(m_panel->DefaultListFile()), bytes + "x?*c:\\x.swf\r\n");
    EXPECT_FALSE(Exists(m_panel->DefaultListFile() + L".tmp"));
}

TEST_F(PanelTest, SavingGoesToTheShownListOnlyAndAnEmptyListGivesAnEmptyFile) {
    AddItems(2);
    m_host.listName = kFavoriteListName;
    m_panel->SaveLocalList();
    EXPECT_EQ(ReadBytes(m_panel->FavoriteListFile()), "m1*c:\\m1.swf\r\nm2*c:\\m2.swf\r\n");
    EXPECT_FALSE(Exists(m_panel->DefaultListFile()));

    m_host.listName = kNetworkListName;
    m_list->Clear();
    m_panel->SaveLocalList();
    EXPECT_EQ(ReadBytes(m_panel->FavoriteListFile()), "m1*c:\\m1.swf\r\nm2*c:\\m2.swf\r\n");

    m_host.listName = kFavoriteListName;
    m_panel->SaveLocalList();
    ASSERT_TRUE(Exists(m_panel->FavoriteListFile()));
    EXPECT_EQ(ReadBytes(m_panel->FavoriteListFile()), "");
}

TEST_F(PanelTest, AListThatCouldNotBeReadIsReportedAndNeverOverwritten) {
    const std::string bytes = "keep*c:\\keep.swf\r\n";
    WriteBytes(m_panel->DefaultListFile(), bytes);
    LockedFile lock(m_panel->DefaultListFile());
    ASSERT_TRUE(lock.Locked());
    DialogAnswerer box(WithCaption(kTitle), PressButton(IDOK));
    m_panel->LoadLocalList(m_panel->DefaultListFile());
    ASSERT_TRUE(box.Finish());
    EXPECT_TRUE(box.HadIcon(IDI_EXCLAMATION));
    EXPECT_EQ(m_list->Count(), 0);
    lock.Unlock();

    m_list->AddItem(Caption(L"new", L"c:\\new.swf"), L"", 1);
    m_panel->SaveLocalList();
    EXPECT_EQ(ReadBytes(m_panel->DefaultListFile()), bytes);

    // Read successfully once more, the file is the list's again.
    m_list->Clear();
    m_panel->LoadLocalList(m_panel->DefaultListFile());
    m_list->AddItem(Caption(L"new", L"c:\\new.swf"), L"", 1);
    m_panel->SaveLocalList();
    EXPECT_EQ(ReadBytes(m_panel->DefaultListFile()), bytes + "new*c:\\new.swf\r\n");
}

TEST_F(PanelTest, AnInvalidPathIsReported) {
    AddItems(1);
    DialogAnswerer box(WithCaption(kTitle), PressButton(IDOK));
    m_panel->LoadLocalList(File(L"bad<name>|.flst"));
    ASSERT_TRUE(box.Finish());
    EXPECT_EQ(m_list->Count(), 1);
}

// A program folder where nothing can be written: every write is skipped without a word.
TEST_F(PanelTest, AnUnwritableProgramFolderLosesNothingAndSaysNothing) {
    LocalListPanel panel(*m_list, m_host, File(L"missing"));
    DialogAnswerer box(WithCaption(kTitle), PressButton(IDOK));
    panel.StartUp("favorite", L"a.swf");
    AddItems(2);
    panel.AddToFavourites();
    panel.SaveLocalList();
    panel.ListButtonClick(ShownList::Favorite);
    EXPECT_FALSE(box.Stop());
    EXPECT_EQ(m_host.listName, kFavoriteListName);
    EXPECT_EQ(m_list->Count(), 0);
    EXPECT_FALSE(Exists(File(L"missing")));
}

TEST_F(PanelTest, AFileThatCannotBeReplacedStaysAsItWasWithoutAMessage) {
    const std::string bytes = "old*c:\\old.swf\r\n";
    WriteBytes(m_panel->DefaultListFile(), bytes);
    m_panel->LoadLocalList(m_panel->DefaultListFile());
    m_list->AddItem(Caption(L"new", L"c:\\new.swf"), L"", 1);
    LockedFile lock(m_panel->DefaultListFile());
    m_panel->SaveLocalList();
    lock.Unlock();
    EXPECT_EQ(ReadBytes(m_panel->DefaultListFile()), bytes);
    EXPECT_FALSE(Exists(m_panel->DefaultListFile() + L".tmp"));
}

TEST_F(PanelTest, ThousandsOfItemsAndVeryLongLinesGoBackUnchanged) {
    std::string bytes;
    for (int i = 0; i < 5000; ++i) bytes += "movie" + std::to_string(i) + "*c:\\movies\\movie" + std::to_string(i) + ".swf\r\n";
    bytes += "long*c:\\" + std::string(100000, 'p') + ".swf\r\n";
    WriteBytes(m_panel->DefaultListFile(), bytes);
    m_panel->LoadLocalList(m_panel->DefaultListFile());
    EXPECT_EQ(m_list->Count(), 5001);
    m_panel->SaveLocalList();
    EXPECT_EQ(ReadBytes(m_panel->DefaultListFile()), bytes);
}

}  // namespace
}  // namespace velmora::lists::testing
