// update.exe started for real against a local server, its window read back.
#include <gtest/gtest.h>

#include "common/text.h"
#include "tests/e2e/support/programs.h"
#include "toolkit/test_support/http_server.h"
#include "toolkit/window.h"
#include "updater/update_window.h"

namespace velmora::e2e {
namespace {

using namespace std::chrono_literals;
using testing::HttpAnswer;
using testing::HttpServer;
using toolkit::Widen;
using updater::kUpdateCaption;
using updater::kUpdaterTitle;

const std::wstring kSoftNotice = L"· 本软件已经发布更新的版本，推荐下载使用！\r\n   版本号：Ver2.2\r\n\r\n";
const std::wstring kListNotice =
    L"· 已经发布更新的网络影片列表，推荐升级使用！\r\n"
    L"   注意：1. 更新前请关闭播放软件，否则将会导致更新无效！\r\n"
    L"         2. 有必须要的话，请导出您的播放列表，因为升级后原列表将会被替换。";

class UpdaterTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_folder.AddProgram(L"update.exe")); }

    // config.ini pointing at the local server, with a short time-out, plus VERSION keys.
    void WriteConfig(const std::string& version, int timeoutSeconds = 3) {
        m_folder.Write(L"config.ini", "[UPDATE]\r\nServer=" + m_server.BaseUrl() + "\r\nTimeout=" +
                                          std::to_string(timeoutSeconds) + "\r\n[VERSION]\r\n" + version);
    }
    void Serve(const std::string& soft, const std::string& nlstVersion) {
        m_server.Answer("/update/vmx/softver.txt", soft);
        m_server.Answer("/update/vmx/nlstver.txt", nlstVersion);
    }
    std::string Config() const { return m_folder.Read(L"config.ini").value_or(""); }
    std::wstring Updater() const { return m_folder.File(L"update.exe"); }
    static std::wstring Text(HWND window, int id) { return toolkit::WindowText(GetDlgItem(window, id)); }
    static bool Enabled(HWND window, int id) { return IsWindowEnabled(GetDlgItem(window, id)) != FALSE; }

    HttpServer m_server;
    InstallFolder m_folder;
};

TEST_F(UpdaterTest, NothingNewEndsWithoutAWindow) {
    WriteConfig("DetectSoftVer=\r\nDetectNlstVer=4\r\n");
    Serve("2.1", "3.5");
    Process updater(Updater());
    ASSERT_TRUE(updater.Started());
    HWND window = WaitForWindow(updater.Id(), kUpdateCaption, 3s);
    EXPECT_EQ(window, nullptr);
    EXPECT_EQ(updater.WaitForExit(10s), 0u);
    EXPECT_EQ(m_server.Requests("/update/vmx/softver.txt"), 1);
    EXPECT_EQ(m_server.Requests("/update/vmx/nlstver.txt"), 1);
}

TEST_F(UpdaterTest, NewProgramVersionShowsTheNoticeAndStoresTheVersion) {
    WriteConfig("DetectNlstVer=3.5\r\n");
    Serve("2.2\r\n", "3.5");
    Process updater(Updater());
    HWND window = WaitForWindow(updater.Id(), kUpdateCaption, 15s);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(Text(window, updater::kTxtInfo), kSoftNotice);
    EXPECT_TRUE(Enabled(window, updater::kCmdSoftUpdate));
    EXPECT_FALSE(Enabled(window, updater::kCmdNlstUpdate));
    EXPECT_EQ(Text(window, updater::kCmdSoftUpdate), L"&S.软件更新");
    EXPECT_EQ(Text(window, updater::kCmdNlstUpdate), L"&N.播放列表更新");
    EXPECT_EQ(Text(window, updater::kCmdClose), L"&C.关闭");
    EXPECT_NE(Config().find("DetectSoftVer=2.2\r\n"), std::string::npos) << Config();

    // The program update asks before opening the maker's site; No leaves the window open.
    ClickButton(GetDlgItem(window, updater::kCmdSoftUpdate));
    HWND question = WaitForMessageBox(updater.Id(), kUpdaterTitle, 10s);
    ASSERT_NE(question, nullptr);
    EXPECT_EQ(MessageBoxText(question),
              L"请至Ostrel软件官方网站 " + Widen(updater::kMakerSite) + L" 下载！是否打开该网站？ ");
    PressDialogButton(question, IDNO);
    EXPECT_FALSE(updater.WaitForExit(1s));

    ClickButton(GetDlgItem(window, updater::kCmdClose));
    EXPECT_EQ(updater.WaitForExit(10s), 0u);
}

TEST_F(UpdaterTest, NewListIsDownloadedWrittenInGbkAndItsVersionStored) {
    WriteConfig("DetectNlstVer=3\r\n");
    Serve("2.1", "3.5");
    const std::string list = "[\xB7\xD6\xC0\xE0]\r\nmovie";  // [分类] in GBK
    m_server.Answer("/update/vmx/nlst.txt", list);
    m_folder.Write(L"network.nlst", "old list");
    Process updater(Updater());
    HWND window = WaitForWindow(updater.Id(), kUpdateCaption, 15s);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(Text(window, updater::kTxtInfo), kListNotice);
    EXPECT_FALSE(Enabled(window, updater::kCmdSoftUpdate));
    ASSERT_TRUE(Enabled(window, updater::kCmdNlstUpdate));
    EXPECT_EQ(Config().find("DetectNlstVer=3.5"), std::string::npos) << "stored only after the update";

    ClickButton(GetDlgItem(window, updater::kCmdNlstUpdate));
    HWND done = WaitForMessageBox(updater.Id(), kUpdaterTitle, 10s);
    ASSERT_NE(done, nullptr);
    EXPECT_EQ(MessageBoxText(done), L"更新完成！  ");
    PressDialogButton(done, IDOK);
    EXPECT_EQ(m_folder.Read(L"network.nlst"), list + "\r\n");
    EXPECT_NE(Config().find("DetectNlstVer=3.5\r\n"), std::string::npos) << Config();
    EXPECT_TRUE(Enabled(window, updater::kCmdNlstUpdate));
}

TEST_F(UpdaterTest, BothNoticesInOrder) {
    WriteConfig("DetectNlstVer=3\r\n");
    Serve("2.2", "3.5");
    Process updater(Updater());
    HWND window = WaitForWindow(updater.Id(), kUpdateCaption, 15s);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(Text(window, updater::kTxtInfo), kSoftNotice + kListNotice);
    EXPECT_TRUE(Enabled(window, updater::kCmdSoftUpdate));
    EXPECT_TRUE(Enabled(window, updater::kCmdNlstUpdate));
}

TEST_F(UpdaterTest, FailedListDownloadsKeepTheOldListAndVersion) {
    const struct {
        const char* what;
        HttpAnswer answer;
    } cases[] = {
        {"empty", {HttpAnswer::Kind::Body, ""}},
        {"missing", {HttpAnswer::Kind::NotFound, ""}},
        {"broken off", {HttpAnswer::Kind::BreakOff, std::string(100000, 'x')}},
        {"larger than 8 MB", {HttpAnswer::Kind::Body, std::string(8 * 1024 * 1024 + 1, 'x')}},
    };
    for (const auto& c : cases) {
        WriteConfig("DetectNlstVer=3\r\n");
        Serve("2.1", "3.5");
        m_server.Answer("/update/vmx/nlst.txt", c.answer);
        m_folder.Write(L"network.nlst", "old list");
        Process updater(Updater());
        HWND window = WaitForWindow(updater.Id(), kUpdateCaption, 15s);
        ASSERT_NE(window, nullptr) << c.what;
        ClickButton(GetDlgItem(window, updater::kCmdNlstUpdate));
        HWND failed = WaitForMessageBox(updater.Id(), kUpdaterTitle, 15s);
        ASSERT_NE(failed, nullptr) << c.what;
        EXPECT_EQ(MessageBoxText(failed), L"升级失败！   ") << c.what;
        PressDialogButton(failed, IDOK);
        EXPECT_EQ(m_folder.Read(L"network.nlst"), "old list") << c.what;
        EXPECT_EQ(Config().find("DetectNlstVer=3.5"), std::string::npos) << c.what;
        ClickButton(GetDlgItem(window, updater::kCmdClose));
        EXPECT_EQ(updater.WaitForExit(10s), 0u) << c.what;
    }
}

TEST_F(UpdaterTest, UnreachableOrHangingServerEndsSilentlyWithinTheTimeOut) {
    for (const bool hang : {false, true}) {
        if (hang) {
            m_server.Answer("/update/vmx/softver.txt", HttpAnswer{HttpAnswer::Kind::Hang, {}});
            m_server.Answer("/update/vmx/nlstver.txt", HttpAnswer{HttpAnswer::Kind::Hang, {}});
            WriteConfig("DetectNlstVer=3\r\n", 2);
        } else {
            m_folder.Write(L"config.ini", "[UPDATE]\r\nServer=http://127.0.0.1:1\r\nTimeout=2\r\n");
        }
        Process updater(Updater());
        // Two requests of at most two seconds each, and the start of a process.
        const auto exit = updater.WaitForExit(20s);
        ASSERT_TRUE(exit) << (hang ? "hanging" : "unreachable") << " server kept the updater waiting";
        EXPECT_EQ(*exit, 0u);
        EXPECT_EQ(CountWindows(kUpdateCaption), 0);
    }
}

TEST_F(UpdaterTest, SecondCopyEndsAtOnce) {
    WriteConfig("DetectNlstVer=3\r\n");
    Serve("2.1", "3.5");
    Process first(Updater());
    ASSERT_NE(WaitForWindow(first.Id(), kUpdateCaption, 15s), nullptr);
    Process second(Updater());
    EXPECT_EQ(second.WaitForExit(10s), 0u);
    EXPECT_EQ(CountWindows(kUpdateCaption), 1);
    EXPECT_EQ(m_server.Requests("/update/vmx/softver.txt"), 1) << "the second copy asks nothing";
}

}  // namespace
}  // namespace velmora::e2e
