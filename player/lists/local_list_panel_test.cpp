#include "player/lists/local_list_panel.h"

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <sstream>

#include "player/lists/test_support/dialog_answerer.h"
#include "player/lists/test_support/lists_test_support.h"
#include "toolkit/app.h"

namespace velmora::lists {
namespace {

using testing::DialogAnswerer;

const std::wstring kGap(50, L' ');
const std::string kGbkTitle = "\xC6\xAC\xCD\xB7";  // 片头
constexpr wchar_t kTitle[] = L"VelmoraFlash播放软件";

// The main window's side, recording what the panel asks of it.
class FakeHost : public LocalListHost {
public:
    HWND MainWindow() const override { return testing::TestHost(); }
    std::wstring ListName() const override { return listName; }
    void SetListName(const std::wstring& caption) override { listName = caption; }
    void PressListButton(ShownList button) override { pressed = button; }
    void StatusList() override { ++statusLists; }
    void EnableAddToFavourites(bool enabled) override { addToFavourites = enabled; }
    void ShowNetworkTree(bool visible) override { treeVisible = visible; }
    void RefreshNetworkView() override { ++networkRefreshes; }
    void PlayFlash() override { played.push_back(list->Selected()); }
    void PopupListMenu(int x, int y) override { popups.push_back({x, y}); }

    IList* list = nullptr;
    std::wstring listName = kDefaultListName;
    ShownList pressed = ShownList::Default;
    int statusLists = 0;
    bool addToFavourites = true;
    bool treeVisible = false;
    int networkRefreshes = 0;
    std::vector<int32_t> played;
    std::vector<POINT> popups;
};

std::wstring Caption(const std::wstring& title, const std::wstring& path) { return title + kGap + path; }

// A fresh folder per test under the temporary folder, standing for the program folder.
std::wstring MakeFolder() {
    static int serial = 0;
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + L"velmora_lists_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
                                std::to_wstring(++serial);
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

void WriteBytes(const std::wstring& path, const std::string& bytes) {
    std::ofstream out(path.c_str(), std::ios::binary | std::ios::trunc);
    out << bytes;
}

std::string ReadBytes(const std::wstring& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

class PanelTest : public ::testing::Test {
protected:
    void SetUp() override {
        toolkit::SetApplicationTitle(kTitle);
        m_folder = MakeFolder();
        m_list = std::make_unique<IList>();
        ASSERT_TRUE(m_list->Create(testing::TestHost(), 0, 0, 200, 200));
        m_list->SetItemHeight(19);
        m_host.list = m_list.get();
        m_panel = std::make_unique<LocalListPanel>(*m_list, m_host, m_folder);
    }
    void TearDown() override {
        m_panel.reset();
        m_list.reset();
    }
    std::wstring File(const std::wstring& name) const { return m_folder + L"\\" + name; }
    std::vector<std::wstring> Captions() const {
        std::vector<std::wstring> captions;
        for (int32_t i = 1; i <= m_list->Count(); ++i) captions.push_back(m_list->Item(i)->Caption);
        return captions;
    }
    void AddItems(int count) {
        for (int i = 1; i <= count; ++i)
            m_list->AddItem(Caption(L"m" + std::to_wstring(i), L"c:\\m" + std::to_wstring(i) + L".swf"), L"", 1);
        m_list->Redraw();
    }

    std::wstring m_folder;
    FakeHost m_host;
    std::unique_ptr<IList> m_list;
    std::unique_ptr<LocalListPanel> m_panel;
};

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

// Holds a file open without sharing, so nobody else can read or replace it.
class LockedFile {
public:
    explicit LockedFile(const std::wstring& path)
        : m_file(CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)) {}
    ~LockedFile() { Unlock(); }
    void Unlock() {
        if (m_file != INVALID_HANDLE_VALUE) CloseHandle(m_file);
        m_file = INVALID_HANDLE_VALUE;
    }
    bool Locked() const { return m_file != INVALID_HANDLE_VALUE; }

private:
    HANDLE m_file;
};

TEST_F(PanelTest, AListThatCouldNotBeReadIsReportedAndNeverOverwritten) {
    const std::string bytes = "keep*c:\\keep.swf\r\n";
    WriteBytes(m_panel->DefaultListFile(), bytes);
    LockedFile lock(m_panel->DefaultListFile());
    ASSERT_TRUE(lock.Locked());
    testing::DialogAnswerer box(testing::WithCaption(kTitle), testing::PressButton(IDOK));
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
}  // namespace velmora::lists
