#include <gtest/gtest.h>

#include <map>

#include "common/flst.h"
#include "player/shell/shell_rules.h"

namespace velmora::player {
namespace {

TEST(ShellRules, TitlesAndVersion) {
    EXPECT_EQ(IdleTitle(), "OstrelVelmoraFlash播放软件 Ver2.1");
    EXPECT_EQ(PlayingTitle("D:\\flash\\a.swf"), "OstrelVelmoraFlash播放软件 Ver2.1  - (D:\\flash\\a.swf)");
    EXPECT_EQ(VersionText(), "2.1.129");
}

TEST(ShellRules, CommandLineSwitches) {
    const struct {
        const char* line;
        StartMode mode;
        bool movies;
    } cases[] = {
        {"", StartMode::MainWindow, false},
        {"/s", StartMode::LocalSearch, false},
        {"/S", StartMode::LocalSearch, false},
        {"/nfoo", StartMode::CacheSearch, false},
        {"/x", StartMode::MainWindow, false},
        {"-s", StartMode::MainWindow, true},
        {"\"D:\\My Movies\\A.SWF\" e:\\b.swf", StartMode::MainWindow, true},
        {"d:/a.swf", StartMode::MainWindow, false},
        {"s", StartMode::MainWindow, true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(StartModeOf(c.line), c.mode) << c.line;
        EXPECT_EQ(flst::IsMovieCommandLine(c.line), c.movies) << c.line;
    }
}

TEST(ShellRules, OnlyOneCountsAsSet) {
    std::map<std::string, std::string> ini = {{"UI", "2"},      {"RightPanel", "1"}, {"ToolBar", "true"},
                                              {"ScaleMode", "1"}, {"OnTop", " 1"},     {"Welcome", "1"}};
    const Settings s = ReadSettings([&](const char* key) { return ini[key]; });
    EXPECT_EQ(s.UIStyle, 0);
    EXPECT_EQ(s.RightPanelHidden, 1);
    EXPECT_EQ(s.ToolBarHidden, 0);
    EXPECT_EQ(s.NoScale, 1);
    EXPECT_EQ(s.OnTop, 0);
    EXPECT_EQ(s.WelcomeOff, 1);

    std::vector<std::pair<std::string, std::string>> written;
    WriteSettings(s, false, [&](const char* key, const std::string& value) { written.emplace_back(key, value); });
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"UI", "0"}, {"RightPanel", "1"}, {"ToolBar", "0"}, {"ScaleMode", "1"}, {"OnTop", "0"}, {"Welcome", "1"}};
    EXPECT_EQ(written, expected);
}

TEST(ShellRules, PreviousAndNextWrap) {
    const struct {
        int32_t selected, count, previous, next;
    } cases[] = {
        {0, 0, 0, 0}, {1, 1, 1, 1}, {0, 3, 3, 2}, {1, 3, 3, 2}, {3, 3, 2, 1}, {2, 5, 1, 3},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PreviousItem(c.selected, c.count), c.previous) << c.selected << "/" << c.count;
        EXPECT_EQ(NextItem(c.selected, c.count), c.next) << c.selected << "/" << c.count;
    }
}

TEST(ShellRules, SeeksAndFrameSteps) {
    const struct {
        int32_t current, total;
        bool forward;
        int32_t target;
    } seeks[] = {
        {0, 9, true, 0}, {4, 9, false, 4}, {0, 9, false, 1}, {95, 100, true, 100},
        {5, 100, false, 1}, {50, 100, true, 60}, {50, 100, false, 40}, {11, 100, false, 1},
    };
    for (const auto& c : seeks)
        EXPECT_EQ(SeekTarget(c.current, c.total, c.forward), c.target) << c.current << "/" << c.total;
    EXPECT_EQ(PreviousFrame(0), std::nullopt);
    EXPECT_EQ(PreviousFrame(3), 2);
    EXPECT_EQ(NextFrame(10, 10), std::nullopt);
    EXPECT_EQ(NextFrame(9, 10), 10);
}

TEST(ShellRules, MessageTexts) {
    EXPECT_EQ(MissingFileQuestion("c:\\a.swf"),
              "文件 c:\\a.swf\r\n被删除或存放位置被更改，无法播放！\r\n\r\n是否从播放列表中删除？");
    EXPECT_EQ(PlaybackErrorText("c:\\b.swf"),
              "播放“c:\\b.swf”时出现错误，可能是如下原因造成的：\r\n1：是一个被损坏的FLASH文件\r\n2：文件存放位置已经更改\r\n");
    EXPECT_EQ(FrameText(3, 40), "3/40");
    EXPECT_EQ(PercentText(100), "已加载：100%");
}

}  // namespace
}  // namespace velmora::player
