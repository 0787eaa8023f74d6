// Folder scans and the dialogs of the list panel, answered from a helper thread.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>

#include "player/lists/test_support/panel_fixture.h"
#include "toolkit/window.h"

namespace velmora::lists::testing {
namespace {

constexpr UINT kPoke = WM_APP + 1;

// A window that runs a handler when the message reaches it, to see what runs inside a scan.
class Sink : public toolkit::Window {
public:
    std::function<void()> onPoke;
    bool Create() { return CreateWindowOf(L"VelmoraListScanSink", 0, WS_POPUP, L"", 0, 0, 0, 0, nullptr, nullptr); }

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == kPoke) {
            if (onPoke) onPoke();
            return 0;
        }
        return Window::HandleMessage(message, wParam, lParam);
    }
};

class ScanTest : public PanelTest {
protected:
    void SetUp() override {
        PanelTest::SetUp();
        m_root = File(L"movies");
        for (const wchar_t* folder : {L"", L"\\sub1", L"\\sub1\\deep", L"\\sub2", L"\\secret"})
            CreateDirectoryW((m_root + folder).c_str(), nullptr);
        for (const wchar_t* file : {L"\\A.swf", L"\\B.SWF.swf", L"\\readme.txt", L"\\hidden.swf", L"\\sub1\\c.swf",
                                    L"\\sub1\\deep\\d.swf", L"\\sub2\\e.swf", L"\\secret\\f.swf"})
            WriteBytes(m_root + file, "FWS");
        SetFileAttributesW((m_root + L"\\hidden.swf").c_str(), FILE_ATTRIBUTE_HIDDEN);
        SetFileAttributesW((m_root + L"\\secret").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_DIRECTORY);
    }
    // Captions with the scanned folder shortened to "~".
    std::vector<std::wstring> Relative() const {
        std::vector<std::wstring> captions = Captions();
        for (std::wstring& caption : captions) {
            const size_t at = caption.find(m_root);
            if (at != std::wstring::npos) caption.replace(at, m_root.size(), L"~");
        }
        return captions;
    }
    std::wstring m_root;
};

TEST_F(ScanTest, OneFolderGivesItsVisibleMoviesTitledInLowerCase) {
    m_panel->AddFolderFiles(m_root);
    std::vector<std::wstring> captions = Relative();
    std::sort(captions.begin(), captions.end());
    EXPECT_EQ(captions, (std::vector<std::wstring>{Caption(L"a", L"~\\A.swf"), Caption(L"b", L"~\\B.SWF.swf")}));
    EXPECT_EQ(m_host.statusLists, 1);
}

TEST_F(ScanTest, TreeScanIsDepthFirstAndSkipsHiddenFolders) {
    m_panel->AddFolderTree(m_root);
    const std::vector<std::wstring> captions = Relative();
    ASSERT_EQ(captions.size(), 5u);
    EXPECT_EQ(std::set<std::wstring>(captions.begin(), captions.begin() + 2),
              (std::set<std::wstring>{Caption(L"a", L"~\\A.swf"), Caption(L"b", L"~\\B.SWF.swf")}));
    // The two sub-folders come in listing order, each followed at once by its own sub-folder.
    const std::vector<std::wstring> sub1 = {Caption(L"c", L"~\\sub1\\c.swf"), Caption(L"d", L"~\\sub1\\deep\\d.swf")};
    const std::vector<std::wstring> sub2 = {Caption(L"e", L"~\\sub2\\e.swf")};
    std::vector<std::wstring> first1 = sub1, first2 = sub2;
    first1.insert(first1.end(), sub2.begin(), sub2.end());
    first2.insert(first2.end(), sub1.begin(), sub1.end());
    const std::vector<std::wstring> rest(captions.begin() + 2, captions.end());
    EXPECT_TRUE(rest == first1 || rest == first2) << "unexpected order";
}

TEST_F(ScanTest, TreeScanLetsMessagesRunAndCanBeStopped) {
    Sink sink;
    ASSERT_TRUE(sink.Create());
    bool ranInside = false;
    sink.onPoke = [&] {
        ranInside = m_panel->Scanning();
        m_panel->StopScan();
    };
    PostMessageW(sink.Handle(), kPoke, 0, 0);
    m_panel->AddFolderTree(m_root);
    EXPECT_TRUE(ranInside);
    EXPECT_LE(m_list->Count(), 1);  // stopped after the first entry

    // A new scan starts afresh and goes to the end.
    m_list->Clear();
    m_panel->AddFolderTree(m_root);
    EXPECT_EQ(m_list->Count(), 5);
}

TEST_F(ScanTest, TreeScanEndsWhenTheListWindowIsGone) {
    Sink sink;
    ASSERT_TRUE(sink.Create());
    sink.onPoke = [&] { m_list->Destroy(); };
    PostMessageW(sink.Handle(), kPoke, 0, 0);
    m_panel->AddFolderTree(m_root);
    EXPECT_FALSE(m_panel->Scanning());
    EXPECT_LE(m_list->Count(), 1);
}

TEST_F(ScanTest, OneFolderScanDoesNotLetMessagesRun) {
    Sink sink;
    ASSERT_TRUE(sink.Create());
    bool ran = false;
    sink.onPoke = [&] { ran = true; };
    PostMessageW(sink.Handle(), kPoke, 0, 0);
    m_panel->AddFolderFiles(m_root);
    EXPECT_FALSE(ran);
    PumpFor(20);
    EXPECT_TRUE(ran);
}

TEST_F(ScanTest, AFolderThatCannotBeListedIsReported) {
    DialogAnswerer box(WithCaption(kTitle), PressButton(IDOK));
    m_panel->AddFolderTree(m_root + L"\\gone");
    ASSERT_TRUE(box.Finish());
    EXPECT_TRUE(box.HadIcon(IDI_EXCLAMATION));
    EXPECT_EQ(m_list->Count(), 0);
}

TEST_F(ScanTest, WholeFolderAsksAboutSubFolders) {
    struct Case {
        int answer;
        int items;
    } cases[] = {{IDYES, 5}, {IDNO, 2}};
    for (const auto& c : cases) {
        m_list->Clear();
        DialogAnswerer picker(WithControlText(L"请选择要添加的文件夹："), PickFolder(m_root));
        DialogAnswerer question(WithCaption(kTitle), PressButton(c.answer));
        m_panel->AddWholeFolder();
        ASSERT_TRUE(picker.Finish());
        ASSERT_TRUE(question.Finish());
        EXPECT_NE(std::find(question.Texts().begin(), question.Texts().end(), L"是否同时搜索其子文件夹？  "),
                  question.Texts().end());
        EXPECT_TRUE(question.HadIcon(IDI_EXCLAMATION));
        EXPECT_EQ(m_list->Count(), c.items) << c.answer;
    }
}

TEST_F(ScanTest, CancellingThePickerAsksNothing) {
    DialogAnswerer picker(WithControlText(L"请选择要添加的文件夹："), PressButton(IDCANCEL));
    m_panel->AddWholeFolder();
    ASSERT_TRUE(picker.Finish());
    EXPECT_EQ(m_list->Count(), 0);
    EXPECT_EQ(m_host.statusLists, 0);
}

TEST_F(ScanTest, OpenDialogAddsOneFileWithItsCaseAndPlaysIt) {
    AddItems(2);
    DialogAnswerer dialog(WithCaption(L"打开影片"), TypeFileName(m_root + L"\\B.SWF.swf"));
    m_panel->OpenMovieFiles(true);
    ASSERT_TRUE(dialog.Finish());
    ASSERT_EQ(m_list->Count(), 3);
    EXPECT_EQ(m_list->Item(3)->Caption, Caption(L"B.SWF", m_root + L"\\B.SWF.swf"));
    EXPECT_EQ(m_host.played, std::vector<int32_t>{3});
}

TEST_F(ScanTest, OpenDialogWithSeveralFilesPlaysTheFirstOfThem) {
    AddItems(2);
    WriteBytes(m_root + L"\\C.swf", "FWS");
    DialogAnswerer dialog(WithCaption(L"打开影片"), TypeFileNamesIn(m_root, L"\"A.swf\" \"B.SWF.swf\" \"C.swf\""));
    m_panel->OpenMovieFiles(true);
    ASSERT_TRUE(dialog.Finish());
    ASSERT_EQ(m_list->Count(), 5);
    std::set<std::wstring> added;
    for (int i = 3; i <= 5; ++i) added.insert(m_list->Item(i)->Caption);
    EXPECT_EQ(added, (std::set<std::wstring>{Caption(L"A", m_root + L"\\A.swf"), Caption(L"B.SWF", m_root + L"\\B.SWF.swf"),
                                             Caption(L"C", m_root + L"\\C.swf")}));
    EXPECT_EQ(m_host.played, std::vector<int32_t>{3});
}

TEST_F(ScanTest, AddingFromTheNetworkTreeSwitchesToTheDefaultListFirst) {
    WriteBytes(m_panel->DefaultListFile(), "d*c:\\d.swf\r\n");
    m_host.listName = kNetworkListName;
    m_host.pressed = ShownList::Network;
    AddItems(1);  // the hidden list left from before
    DialogAnswerer dialog(WithCaption(L"添加影片"), TypeFileName(m_root + L"\\A.swf"));
    m_panel->OpenMovieFiles(false);
    ASSERT_TRUE(dialog.Finish());
    EXPECT_EQ(m_host.listName, kDefaultListName);
    EXPECT_EQ(m_host.pressed, ShownList::Default);
    EXPECT_EQ(Captions(), (std::vector<std::wstring>{Caption(L"d", L"c:\\d.swf"), Caption(L"A", m_root + L"\\A.swf")}));
    EXPECT_TRUE(m_host.played.empty());
}

TEST_F(ScanTest, CancellingTheOpenDialogChangesNothing) {
    m_host.listName = kNetworkListName;
    DialogAnswerer dialog(WithCaption(L"添加影片"), PressButton(IDCANCEL));
    m_panel->OpenMovieFiles(false);
    ASSERT_TRUE(dialog.Finish());
    EXPECT_EQ(m_host.listName, kNetworkListName);
    EXPECT_EQ(m_host.statusLists, 0);
}

TEST_F(ScanTest, ExportWritesTheNameAsTypedAndImportAppends) {
    AddItems(2);
    DialogAnswerer save(WithCaption(L"导出播放列表"), TypeFileName(File(L"exported")));
    m_panel->ExportLocalList();
    ASSERT_TRUE(save.Finish());
    EXPECT_EQ(ReadBytes(File(L"exported")), "m1*c:\\m1.swf\r\nm2*c:\\m2.swf\r\n");
    EXPECT_FALSE(Exists(File(L"exported.flst")));

    m_list->Clear();
    AddItems(1);
    DialogAnswerer open(WithCaption(L"导入播放列表"), TypeFileName(File(L"exported")));
    m_panel->ImportLocalList();
    ASSERT_TRUE(open.Finish());
    EXPECT_EQ(Captions(), (std::vector<std::wstring>{Caption(L"m1", L"c:\\m1.swf"), Caption(L"m1", L"c:\\m1.swf"),
                                                     Caption(L"m2", L"c:\\m2.swf")}));
}

}  // namespace
}  // namespace velmora::lists::testing
