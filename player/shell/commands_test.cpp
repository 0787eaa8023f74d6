#include <gtest/gtest.h>

#include <set>

#include "player/shell/commands.h"

namespace velmora::player {
namespace {

std::string Key(std::string_view name, int index) {
    return std::string(name) + (index < 0 ? "" : "(" + std::to_string(index) + ")");
}

std::set<std::string> ItemsOf(Group group) {
    std::set<std::string> items;
    for (const MenuEntry& e : MenuTable())
        if ((e.kind == MenuKind::Item || e.kind == MenuKind::SubMenu) && e.group == group) items.insert(Key(e.name, e.index));
    return items;
}

TEST(Commands, MovieCommandsAreExactlyTheListedOnes) {
    const std::set<std::string> expected = {
        "mnuFileClose", "mnuFileSaveAs", "mnuFileExportAsExe", "mnuFilePicture(0)", "mnuFilePicture(1)",
        "mnuFilePicture(2)", "mnuControlPlay(0)", "mnuControlPlay(1)", "mnuControlPlay(2)", "mnuControlPreNext(2)",
        "mnuControlPreNext(3)", "mnuControlSpeed(0)", "mnuControlSpeed(1)", "mnuWindowZoomMovie(0)",
        "mnuWindowZoomMovie(1)", "mnuWindowZoomMovie(2)", "mnuWindowQuality(0)", "mnuWindowQuality(1)",
        "mnuWindowQuality(2)", "mnuWindowFullScreen", "mnuSetBackColor", "mnuPopupPlay(0)", "mnuPopupPlay(1)",
        "mnuPopupPlay(2)", "mnuPopupZoom(0)", "mnuPopupZoom(1)", "mnuPopupZoom(2)", "mnuPopupQuality(0)",
        "mnuPopupQuality(1)", "mnuPopupQuality(2)", "mnuPopupSpeed(0)", "mnuPopupSpeed(1)", "mnuPopupFullScreen"};
    EXPECT_EQ(ItemsOf(Group::Movie), expected);
    std::set<std::string> buttons;
    for (const ToolButton& b : ToolbarButtons())
        if (b.group == Group::Movie) buttons.insert(Key(b.name, b.index));
    EXPECT_EQ(buttons, (std::set<std::string>{"butClose", "butSaveAs", "butExportAsExe", "butSaveAsPic",
                                              "butFullscreen", "butPlay", "butRePlay", "butPause",
                                              "butPrevNext(1)", "butPrevNext(2)"}));
}

TEST(Commands, ListCommandsFollowTheList) {
    EXPECT_EQ(ItemsOf(Group::List), (std::set<std::string>{"mnuListRemove(0)", "mnuListRemove(1)", "mnuListExport",
                                                           "mnuFlashInfo", "mnuListAddToFav"}));
    std::set<std::string> controls;
    for (const ToolButton& b : ToolbarButtons())
        if (b.group == Group::List) controls.insert(Key(b.name, b.index));
    for (const ImageButton& b : PlayPanelButtons())
        if (b.group == Group::List) controls.insert(std::string(b.name));
    EXPECT_EQ(controls, (std::set<std::string>{"butPrevNext(0)", "butPrevNext(3)", "imgButPlay", "imgButPrev",
                                               "imgButNext"}));
}

TEST(Commands, CaptionsShortcutsAndActions) {
    const struct {
        const char* name;
        int index;
        const char* caption;
        const char* shortcut;
        Action action;
        int arg;
    } cases[] = {
        {"mnuFileOpen", 0, "&O.打开 影片...", "Ctrl+O", Action::OpenPlay, 0},
        {"mnuFileClose", -1, "&C.关闭", "Ctrl+W", Action::Close, 0},
        {"mnuFilePicture", 2, "&P.打印 当前图片...", "Ctrl+P", Action::Picture, 2},
        {"mnuControlPlay", 2, "&S.暂停", "F7", Action::Pause, 0},
        {"mnuControlPreNext", 0, "&U.前一部", "", Action::PrevMovie, 0},
        {"mnuControlPreNext", 3, "&>.后一帧", "Ctrl+F9", Action::NextFrame, 0},
        {"mnuControlSpeed", 0, "&F.快进10%", "F9", Action::SeekForward, 0},
        {"mnuControlSpeed", 1, "&B.后退10%", "F8", Action::SeekBack, 0},
        {"mnuWindowZoomImage", 0, "&I.缩小 播放窗口", "F11", Action::ZoomWindow, 0},
        {"mnuWindowZoomMovie", 1, "&N.画面 缩小一倍", "", Action::ZoomMovie, 200},
        {"mnuWindowFullScreen", -1, "&F.全屏", "Ctrl+F", Action::FullScreen, 0},
        {"mnuSetVolume", 0, "&S.减少 音量", "Ctrl+F11", Action::Volume, 0},
        {"mnuSetBackColors", 6, "&M.品红", "", Action::BackColor, 0xFF00FF},
        {"mnuUIPanel", -1, "&P.右侧面板", "Ctrl+R", Action::UIPanel, 0},
        {"mnuHelpThis", -1, "&H.软件使用说明...", "F1", Action::HelpThis, 0},
        {"mnuListRemove", 1, "&C.列表 清空", "Shift+Del", Action::ListRemove, 1},
        {"mnuPopupAbout", -1, "&A.关于 本软件...", "", Action::HelpAbout, 0},
    };
    for (const auto& c : cases) {
        const int row = FindMenuRow(c.name, c.index);
        ASSERT_GE(row, 0) << Key(c.name, c.index);
        const MenuEntry* e = EntryOfId(MenuIdOf(static_cast<size_t>(row)));
        ASSERT_NE(e, nullptr);
        EXPECT_EQ(e->caption, c.caption);
        EXPECT_EQ(ShortcutText(e->shortcut), c.shortcut) << c.name;
        EXPECT_EQ(e->action, c.action) << c.name;
        EXPECT_EQ(e->arg, c.arg) << c.name;
    }
}

TEST(Commands, NamesAreUniqueAndShortcutsDoNotCollide) {
    std::set<std::string> names;
    std::set<std::tuple<uint8_t, bool, bool, bool>> keys;
    bool inPopup = false;
    for (const MenuEntry& e : MenuTable()) {
        if (e.kind == MenuKind::Bar || e.kind == MenuKind::Popup) inPopup = e.kind == MenuKind::Popup;
        if (e.kind != MenuKind::Item) continue;
        EXPECT_TRUE(names.insert(Key(e.name, e.index)).second) << Key(e.name, e.index);
        // Popup-only menus never act on their shortcuts; the bar's must be distinct.
        if (!inPopup && e.shortcut.key) {
            EXPECT_TRUE(keys.insert({e.shortcut.key, e.shortcut.ctrl, e.shortcut.shift, e.shortcut.alt}).second)
                << e.name;
        }
    }
    EXPECT_EQ(EntryOfId(kFirstMenuId - 1), nullptr);
    EXPECT_EQ(EntryOfId(MenuIdOf(0)), nullptr);  // a menu-bar heading is not a command
}

TEST(Commands, ToolbarGeometry) {
    const auto buttons = ToolbarButtons();
    ASSERT_EQ(buttons.size(), 16u);
    for (size_t i = 1; i < buttons.size(); ++i) EXPECT_GT(buttons[i].left, buttons[i - 1].left);
    EXPECT_EQ(buttons.front().tooltip, "打开影片(Ctrl+O)");
    EXPECT_EQ(buttons.back().tooltip, "下部影片");
}

}  // namespace
}  // namespace velmora::player
