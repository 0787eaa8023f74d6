// VelmoraPlayer.exe started for real in an install folder of its own, driven by menu
// commands, clicks and dialog answers; its titles, labels and files read back.
#include <gtest/gtest.h>

#include <thread>

#include "player/shell/commands.h"
#include "player/shell/control_ids.h"
#include "player/shell/layout.h"
#include "player/shell/shell_rules.h"
#include "tests/e2e/support/programs.h"
#include "toolkit/window.h"

namespace velmora::e2e {
namespace {

using namespace std::chrono_literals;
using toolkit::Narrow;
using toolkit::Widen;

const std::string kFifty(50, ' ');
const std::wstring kIdle = Widen(player::IdleTitle());
const std::wstring kAppTitle = Widen(player::kApplicationTitle);

// A child window anywhere below `root` with this id or class.
HWND FindDescendant(HWND root, int id, const wchar_t* className = nullptr) {
    struct Search {
        int id;
        const wchar_t* className;
        HWND found = nullptr;
    } search{id, className};
    EnumChildWindows(
        root,
        [](HWND child, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            wchar_t name[64] = {};
            GetClassNameW(child, name, 63);
            if (s->className ? wcscmp(name, s->className) == 0 : GetDlgCtrlID(child) == s->id) {
                s->found = child;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

template <typename Condition>
bool WaitUntil(Condition condition, std::chrono::milliseconds timeout = 10s) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < end) {
        if (condition()) return true;
        std::this_thread::sleep_for(50ms);
    }
    return condition();
}

class PlayerTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const wchar_t* file : {L"VelmoraPlayer.exe", L"OstrelMnu.dll", L"demo.swf", L"UIwel.dll", L"uistar.dll"})
            ASSERT_TRUE(m_folder.AddProgram(file)) << Narrow(file);
    }
    std::string Path(const std::wstring& name) const { return Narrow(m_folder.File(name)); }
    std::string Read(const std::wstring& name) const { return m_folder.Read(name).value_or("<missing>"); }
    // A list line as the player writes it.
    static std::string Line(const std::string& title, const std::string& path) { return title + "*" + path + "\r\n"; }

    HWND Start(const std::wstring& arguments = {}) {
        m_process = std::make_unique<Process>(m_folder.File(L"VelmoraPlayer.exe"), arguments);
        EXPECT_TRUE(m_process->Started());
        m_window = WaitForWindow(m_process->Id(), kIdle, 30s);
        return m_window;
    }
    void Command(std::string_view name, int index = -1) const {
        const int row = player::FindMenuRow(name, index);
        ASSERT_GE(row, 0) << name;
        PostMessageW(m_window, WM_COMMAND, static_cast<WPARAM>(player::MenuIdOf(static_cast<size_t>(row))), 0);
    }
    // The play panel's play button, pressed and released.
    void ClickPlay() const {
        HWND panel = FindDescendant(m_window, 0, player::kPlayPanelClass);
        ASSERT_NE(panel, nullptr);
        const LPARAM at = MAKELPARAM(toolkit::TwipsToPixelsX(380), toolkit::TwipsToPixelsY(345));
        PostMessageW(panel, WM_LBUTTONDOWN, MK_LBUTTON, at);
        PostMessageW(panel, WM_LBUTTONUP, 0, at);
    }
    std::wstring Title() const { return toolkit::WindowText(m_window); }
    std::wstring Label(int id) const { return toolkit::WindowText(FindDescendant(m_window, id)); }
    bool TitleBecomes(const std::wstring& title) const {
        return WaitUntil([&] { return Title() == title; });
    }
    HWND Question() const { return WaitForMessageBox(m_process->Id(), kAppTitle, 10s); }
    void Exit() {
        PostMessageW(m_window, WM_CLOSE, 0, 0);
        EXPECT_EQ(m_process->WaitForExit(20s), 0u);
    }

    InstallFolder m_folder;
    std::unique_ptr<Process> m_process;
    HWND m_window = nullptr;
};

constexpr char kDefaultConfig[] =
    "[CONFIG]\r\nLIST=default\r\nUI=0\r\nRightPanel=0\r\nToolBar=0\r\nScaleMode=0\r\nOnTop=0\r\nWelcome=0\r\n";

TEST_F(PlayerTest, FreshStartShowsTheDefaultsAndExitWritesThem) {
    ASSERT_NE(Start(), nullptr);
    EXPECT_EQ(Label(player::kIdListName), L"播放列表");
    EXPECT_EQ(Label(player::kIdFrameLabel), L"0/0");
    EXPECT_EQ(Label(player::kIdPercentLabel), L"已加载：");
    EXPECT_FALSE(IsWindowEnabled(FindDescendant(m_window, player::kIdSlider)));
    EXPECT_FALSE(m_folder.Read(L"config.ini"));  // nothing is written at start-up
    Exit();
    EXPECT_EQ(Read(L"config.ini"), kDefaultConfig);
    EXPECT_EQ(Read(L"default.flst"), "");  // the empty list, as a zero-byte file
}

TEST_F(PlayerTest, ViewSettingsGoToConfigAndComeBack) {
    ASSERT_NE(Start(), nullptr);
    Command("mnuUIStyle", 1);
    Command("mnuUIPanel");
    Command("mnuUIToolbar");
    Command("mnuSetScaleMode", 1);
    Command("mnuSetShowWelcome");
    Exit();
    const std::string changed =
        "[CONFIG]\r\nLIST=default\r\nUI=1\r\nRightPanel=1\r\nToolBar=1\r\nScaleMode=1\r\nOnTop=0\r\nWelcome=1\r\n";
    EXPECT_EQ(Read(L"config.ini"), changed);
    // Read back at the next start and written again unchanged; the panel is shown again
    // with the toolbar button and written as 0.
    ASSERT_NE(Start(), nullptr);
    Exit();
    EXPECT_EQ(Read(L"config.ini"), changed);
    ASSERT_NE(Start(), nullptr);
    Command("mnuUIPanel");
    Exit();
    EXPECT_NE(Read(L"config.ini").find("RightPanel=0\r\n"), std::string::npos);
}

TEST_F(PlayerTest, KeysAlreadyInConfigKeepTheirPlaces) {
    m_folder.Write(L"config.ini", "[CONFIG]\r\nOnTop=1\r\nUI=2\r\n");
    ASSERT_NE(Start(), nullptr);
    Command("mnuSetOnTop");  // read as checked, now off
    Exit();
    // "2" is style 1; keys already in the file keep their places.
    EXPECT_EQ(Read(L"config.ini"),
              "[CONFIG]\r\nOnTop=0\r\nUI=0\r\nLIST=default\r\nRightPanel=0\r\nToolBar=0\r\nScaleMode=0\r\nWelcome=0\r\n");
}

TEST_F(PlayerTest, CommandLineMoviesAreAppendedAndNothingPlays) {
    m_folder.Write(L"default.flst", Line("demo", Path(L"demo.swf")));
    m_folder.Write(L"config.ini", "[CONFIG]\r\nLIST=favorite\r\n");
    const std::wstring a = m_folder.File(L"My Movies\\A.SWF"), b = m_folder.File(L"b.swf");
    ASSERT_NE(Start(L"\"" + a + L"\" " + b + L" readme.txt"), nullptr);
    EXPECT_EQ(Label(player::kIdListName), L"播放列表");  // the default list, whatever LIST says
    std::this_thread::sleep_for(1500ms);
    EXPECT_EQ(Title(), kIdle);
    Exit();
    auto lower = [](std::string s) {
        for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return s;
    };
    EXPECT_EQ(Read(L"default.flst"),
              Line("demo", Path(L"demo.swf")) + Line("a", lower(Narrow(a))) + Line("b", lower(Narrow(b))));
}

TEST_F(PlayerTest, PlayNextAndPreviousWrapAround) {
    ASSERT_TRUE(CopyFileW(m_folder.File(L"demo.swf").c_str(), m_folder.File(L"second.swf").c_str(), FALSE));
    m_folder.Write(L"default.flst", Line("one", Path(L"demo.swf")) + Line("two", Path(L"second.swf")));
    ASSERT_NE(Start(), nullptr);
    ClickPlay();
    ASSERT_TRUE(TitleBecomes(Widen(player::PlayingTitle(Path(L"demo.swf"))))) << Narrow(Title());
    EXPECT_TRUE(IsWindowEnabled(FindDescendant(m_window, player::kIdSlider)));
    // The frame display runs once a second.
    EXPECT_TRUE(WaitUntil([&] { return Label(player::kIdFrameLabel).ends_with(L"/96"); })) << Narrow(Label(player::kIdFrameLabel));
    EXPECT_EQ(Label(player::kIdPercentLabel), L"已加载：100%");
    Command("mnuControlPreNext", 1);
    EXPECT_TRUE(TitleBecomes(Widen(player::PlayingTitle(Path(L"second.swf")))));
    Command("mnuControlPreNext", 1);  // from the last item to item 1
    EXPECT_TRUE(TitleBecomes(Widen(player::PlayingTitle(Path(L"demo.swf")))));
    Command("mnuControlPreNext", 0);  // from item 1 to the last
    EXPECT_TRUE(TitleBecomes(Widen(player::PlayingTitle(Path(L"second.swf")))));
    Command("mnuFileClose");
    EXPECT_TRUE(TitleBecomes(kIdle));
    EXPECT_TRUE(WaitUntil([&] { return Label(player::kIdFrameLabel) == L"0/0"; }));
    Exit();
}

// The current frame of the frame label ("12/96").
int FrameOf(const std::wstring& label) { return std::stoi(label.substr(0, label.find(L'/'))); }

TEST_F(PlayerTest, FrameStepsOnAPausedMovie) {
    m_folder.Write(L"default.flst", Line("demo", Path(L"demo.swf")));
    ASSERT_NE(Start(), nullptr);
    ClickPlay();
    ASSERT_TRUE(TitleBecomes(Widen(player::PlayingTitle(Path(L"demo.swf")))));
    Command("mnuControlPlay", 2);  // pause
    std::this_thread::sleep_for(1300ms);
    const int paused = FrameOf(Label(player::kIdFrameLabel));
    std::this_thread::sleep_for(1100ms);
    EXPECT_EQ(FrameOf(Label(player::kIdFrameLabel)), paused);  // halted
    Command("mnuControlPreNext", 3);  // one frame on
    Command("mnuControlPreNext", 3);
    Command("mnuControlPreNext", 2);  // and one back
    EXPECT_TRUE(WaitUntil([&] { return FrameOf(Label(player::kIdFrameLabel)) == paused + 1; }, 3s))
        << Narrow(Label(player::kIdFrameLabel)) << " from " << paused;
    Exit();
}

TEST_F(PlayerTest, DeleteReleasedRemovesTheSelectedItem) {
    m_folder.Write(L"default.flst", Line("one", Path(L"one.swf")) + Line("two", Path(L"two.swf")));
    ASSERT_NE(Start(), nullptr);
    HWND list = FindDescendant(m_window, player::kIdList);
    ASSERT_NE(list, nullptr);
    // Select row 2 by a click (rows are 19 pixels), then Delete reaches the window's key handler.
    PostMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(30, 19 + 9));
    PostMessageW(list, WM_LBUTTONUP, 0, MAKELPARAM(30, 19 + 9));
    PostMessageW(list, WM_KEYDOWN, VK_DELETE, 1);
    PostMessageW(list, WM_KEYUP, VK_DELETE, 1 | (1u << 30) | (1u << 31));
    std::this_thread::sleep_for(1s);
    Exit();
    EXPECT_EQ(Read(L"default.flst"), Line("one", Path(L"one.swf")));
}

TEST_F(PlayerTest, RightClickOnTheMovieOpensThePlayersMenu) {
    ASSERT_NE(Start(), nullptr);
    HWND movie = FindDescendant(m_window, 0, L"MacromediaFlashPlayerActiveX");
    ASSERT_NE(movie, nullptr);
    PostMessageW(movie, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(20, 20));
    PostMessageW(movie, WM_RBUTTONUP, 0, MAKELPARAM(20, 20));
    auto menus = [this] {
        int count = 0;
        for (HWND w = FindWindowW(L"#32768", nullptr); w; w = FindWindowExW(nullptr, w, L"#32768", nullptr)) {
            DWORD process = 0;
            GetWindowThreadProcessId(w, &process);
            count += IsWindowVisible(w) && process == m_process->Id() ? 1 : 0;
        }
        return count;
    };
    EXPECT_TRUE(WaitUntil([&] { return menus() == 1; }, 5s));
    std::this_thread::sleep_for(500ms);
    EXPECT_EQ(menus(), 1);  // the release opens no second menu
    PostMessageW(m_window, WM_CANCELMODE, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return menus() == 0; }, 5s));
    Exit();
}

TEST_F(PlayerTest, SplitterNarrowWindowAndCloseMark) {
    ASSERT_NE(Start(), nullptr);
    HWND panel = FindDescendant(m_window, player::kIdRightPanel);
    ASSERT_NE(panel, nullptr);
    auto widthPixels = [&] {
        RECT r;
        GetWindowRect(panel, &r);
        return static_cast<int>(r.right - r.left);
    };
    EXPECT_EQ(widthPixels(), toolkit::TwipsToPixelsX(player::kPanelWidth));
    // Dragged far to the left: held to 4500.
    PostMessageW(panel, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 100));
    PostMessageW(panel, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(static_cast<WORD>(-200), 100));
    PostMessageW(panel, WM_LBUTTONUP, 0, MAKELPARAM(static_cast<WORD>(-200), 100));
    EXPECT_TRUE(WaitUntil([&] { return widthPixels() == toolkit::TwipsToPixelsX(player::kPanelMaxWidth); }, 5s))
        << widthPixels();
    // A window narrower than 9050 loses the wider panel.
    SetWindowPos(m_window, nullptr, 0, 0, toolkit::TwipsToPixelsX(8000), toolkit::TwipsToPixelsY(6510),
                 SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_TRUE(WaitUntil([&] { return widthPixels() == toolkit::TwipsToPixelsX(player::kPanelMinWidth); }, 5s))
        << widthPixels();
    // The close mark hides the panel, which is remembered.
    HWND close = FindDescendant(m_window, player::kIdCloseMark);
    ASSERT_NE(close, nullptr);
    PostMessageW(close, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    PostMessageW(close, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(panel); }, 5s));
    Exit();
    EXPECT_NE(Read(L"config.ini").find("RightPanel=1\r\n"), std::string::npos) << Read(L"config.ini");
}

TEST_F(PlayerTest, MissingFileIsRemovedOnlyOnYes) {
    const std::string missing = Path(L"gone.swf");
    m_folder.Write(L"default.flst", Line("gone", missing) + Line("demo", Path(L"demo.swf")));
    ASSERT_NE(Start(), nullptr);
    ClickPlay();
    HWND question = Question();
    ASSERT_NE(question, nullptr);
    EXPECT_EQ(MessageBoxText(question), Widen(player::MissingFileQuestion(missing)));
    PressDialogButton(question, IDNO);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(question); }));
    EXPECT_EQ(Title(), kIdle);
    ClickPlay();
    question = Question();
    ASSERT_NE(question, nullptr);
    PressDialogButton(question, IDYES);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(question); }));
    EXPECT_EQ(Title(), kIdle);  // nothing plays after the answer
    Exit();
    EXPECT_EQ(Read(L"default.flst"), Line("demo", Path(L"demo.swf")));
}

TEST_F(PlayerTest, BrokenMovieShowsThePlaybackErrorAndStaysIdle) {
    m_folder.Write(L"broken.swf", std::string("\x01\x02 garbage, no movie \xff\xfe", 24));
    m_folder.Write(L"default.flst", Line("broken", Path(L"broken.swf")));
    ASSERT_NE(Start(), nullptr);
    ClickPlay();
    HWND error = Question();
    ASSERT_NE(error, nullptr);
    EXPECT_EQ(MessageBoxText(error), Widen(player::PlaybackErrorText(Path(L"broken.swf"))));
    PressDialogButton(error, IDOK);
    EXPECT_TRUE(TitleBecomes(kIdle));
    EXPECT_EQ(Label(player::kIdFrameLabel), L"0/0");
    Exit();
    EXPECT_EQ(Read(L"default.flst"), Line("broken", Path(L"broken.swf")));
}

TEST_F(PlayerTest, SwitchingListsWritesTheListLeft) {
    m_folder.Write(L"default.flst", "  a*" + Path(L"demo.swf") + "  \r\n");
    ASSERT_NE(Start(), nullptr);
    HWND favourites = FindDescendant(m_window, player::kIdListButtons + 1);
    ASSERT_NE(favourites, nullptr);
    ClickButton(favourites);
    ASSERT_TRUE(WaitUntil([&] { return Label(player::kIdListName) == L"收藏影片"; }));
    EXPECT_EQ(Read(L"default.flst"), Line("a", Path(L"demo.swf")));  // saved as the list holds it
    Exit();
    EXPECT_EQ(Read(L"favorite.flst"), "");
    EXPECT_NE(Read(L"config.ini").find("LIST=favorite\r\n"), std::string::npos) << Read(L"config.ini");
}

TEST_F(PlayerTest, SlashSOpensThePlayerWithoutTouchingTheLists) {
    m_folder.Write(L"default.flst", Line("demo", Path(L"demo.swf")));
    ASSERT_NE(Start(L"/s"), nullptr);  // the main window, until the search window exists
    Exit();
    EXPECT_EQ(Read(L"default.flst"), Line("demo", Path(L"demo.swf")));
}

}  // namespace
}  // namespace velmora::e2e
