#include "player/shell/commands.h"

#include <array>

namespace velmora::player {

namespace {

constexpr uint8_t kF1 = 0x70, kF5 = 0x74, kF6 = 0x75, kF7 = 0x76, kF8 = 0x77, kF9 = 0x78, kF11 = 0x7A,
                  kF12 = 0x7B, kDelete = 0x2E;
constexpr Shortcut Ctrl(uint8_t key) { return {key, true, false, false}; }
constexpr Shortcut Key(uint8_t key) { return {key, false, false, false}; }
constexpr Shortcut Shift(uint8_t key) { return {key, false, true, false}; }

using K = MenuKind;
using A = Action;
using G = Group;
constexpr MenuEntry Bar(std::string_view name, std::string_view caption) { return {K::Bar, name, -1, caption, {}}; }
constexpr MenuEntry Popup(std::string_view name) { return {K::Popup, name, -1, "", {}}; }
constexpr MenuEntry Sep() { return {K::Separator, "", -1, "", {}}; }
constexpr MenuEntry Item(std::string_view name, int index, std::string_view caption, Shortcut key, Action action,
                         int arg = 0, Group group = G::Always) {
    return {K::Item, name, index, caption, key, action, arg, group};
}

constexpr auto kMenus = std::to_array<MenuEntry>({
    Bar("mnuFile", "&F.文件"),
    Item("mnuFileOpen", 0, "&O.打开 影片...", Ctrl('O'), A::OpenPlay),
    Item("mnuFileSearch", 0, "&D.搜索 本地文件...", {}, A::SearchLocal),
    Item("mnuFileSearch", 1, "&N.搜索 网络缓存...", {}, A::SearchCache),
    Sep(),
    Item("mnuFileClose", -1, "&C.关闭", Ctrl('W'), A::Close, 0, G::Movie),
    Item("mnuFileSaveAs", -1, "&S.另存", Ctrl('S'), A::SaveAs, 0, G::Movie),
    Item("mnuFileExportAsExe", -1, "&E.导出 EXE文件...", Ctrl('E'), A::ExportExe, 0, G::Movie),
    Sep(),
    Item("mnuFileCdRom", 0, "&T.弹开 当驱", {}, A::CdRom, 0),
    Item("mnuFileCdRom", 1, "&G.关上 光驱", {}, A::CdRom, 1),
    Sep(),
    Item("mnuFilePicture", 0, "&W.墙纸 当前图片...", {}, A::Picture, 0, G::Movie),
    Item("mnuFilePicture", 1, "&B.保存 当前图片...", {}, A::Picture, 1, G::Movie),
    Item("mnuFilePicture", 2, "&P.打印 当前图片...", Ctrl('P'), A::Picture, 2, G::Movie),
    Sep(),
    Item("mnuFileQuit", -1, "&X.退出", {}, A::Quit),

    Bar("mnuControl", "&C.控制"),
    Item("mnuControlPlay", 0, "&P.播放", Key(kF5), A::Resume, 0, G::Movie),
    Item("mnuControlPlay", 1, "&R.重放", Key(kF6), A::Replay, 0, G::Movie),
    Item("mnuControlPlay", 2, "&S.暂停", Key(kF7), A::Pause, 0, G::Movie),
    Sep(),
    Item("mnuControlPreNext", 0, "&U.前一部", {}, A::PrevMovie),
    Item("mnuControlPreNext", 1, "&D.后一部", {}, A::NextMovie),
    Sep(),
    Item("mnuControlPreNext", 2, "&<.前一帧", Ctrl(kF8), A::PrevFrame, 0, G::Movie),
    Item("mnuControlPreNext", 3, "&>.后一帧", Ctrl(kF9), A::NextFrame, 0, G::Movie),
    Sep(),
    Item("mnuControlSpeed", 0, "&F.快进10%", Key(kF9), A::SeekForward, 0, G::Movie),
    Item("mnuControlSpeed", 1, "&B.后退10%", Key(kF8), A::SeekBack, 0, G::Movie),

    Bar("mnuWindow", "&W.窗口"),
    Item("mnuWindowZoomMovie", 0, "&M.画面 放大一倍", {}, A::ZoomMovie, 50, G::Movie),
    Item("mnuWindowZoomMovie", 1, "&N.画面 缩小一倍", {}, A::ZoomMovie, 200, G::Movie),
    Item("mnuWindowZoomMovie", 2, "&U.画面 全部显示", {}, A::ZoomMovie, 0, G::Movie),
    Sep(),
    Item("mnuWindowZoomImage", 0, "&I.缩小 播放窗口", Key(kF11), A::ZoomWindow, 0),
    Item("mnuWindowZoomImage", 1, "&O.放大 播放窗口", Key(kF12), A::ZoomWindow, 1),
    Sep(),
    Item("mnuWindowQuality", 0, "&H.高画质", {}, A::Quality, 0, G::Movie),
    Item("mnuWindowQuality", 1, "&L.低画质", {}, A::Quality, 1, G::Movie),
    Item("mnuWindowQuality", 2, "&A.自动处理", {}, A::Quality, 2, G::Movie),
    Sep(),
    Item("mnuWindowFullScreen", -1, "&F.全屏", Ctrl('F'), A::FullScreen, 0, G::Movie),

    Bar("mnuSet", "&S.设置"),
    Item("mnuSetVolume", 0, "&S.减少 音量", Ctrl(kF11), A::Volume, 0),
    Item("mnuSetVolume", 1, "&A.增加 音量", Ctrl(kF12), A::Volume, 1),
    Item("mnuSetVolume", 2, "&V.音量 控制...", {}, A::Volume, 2),
    Sep(),
    Item("mnuSetScaleMode", 0, "&Y.播放画面 自适应", {}, A::ScaleMode, 0),
    Item("mnuSetScaleMode", 1, "&N.播放画面 原创大小", {}, A::ScaleMode, 1),
    Sep(),
    {K::SubMenu, "mnuSetBackColor", -1, "&B.背景 更换为", {}, A::None, 0, G::Movie},
    Item("mnuSetBackColors", 0, "&K.黑色", {}, A::BackColor, 0x000000),
    Item("mnuSetBackColors", 1, "&W.白色", {}, A::BackColor, 0xFFFFFF),
    Item("mnuSetBackColors", 2, "&R.红色", {}, A::BackColor, 0xFF0000),
    Item("mnuSetBackColors", 3, "&G.绿色", {}, A::BackColor, 0x00FF00),
    Item("mnuSetBackColors", 4, "&B.蓝色", {}, A::BackColor, 0x0000FF),
    Item("mnuSetBackColors", 5, "&C.青色", {}, A::BackColor, 0x00FFFF),
    Item("mnuSetBackColors", 6, "&M.品红", {}, A::BackColor, 0xFF00FF),
    Item("mnuSetBackColors", 7, "&Y.黄色", {}, A::BackColor, 0xFFFF00),
    {K::EndSubMenu, "", -1, "", {}},
    Sep(),
    Item("mnuSetRelation", -1, "&G.总是 用本软件打开FLASH", {}, A::Relation),
    Item("mnuSetShowWelcome", -1, "&F.显示 初始操作画面", {}, A::ShowWelcome),
    Item("mnuSetOnTop", -1, "&T.窗口 总在最前", {}, A::OnTop),

    Bar("mnuUI", "&U.界面"),
    Item("mnuUIPanel", -1, "&P.右侧面板", Ctrl('R'), A::UIPanel),
    Item("mnuUIToolbar", -1, "&T.工具栏", {}, A::UIToolbar),
    Sep(),
    Item("mnuUIStyle", 0, "&1.菜单风格1", {}, A::UIStyle, 0),
    Item("mnuUIStyle", 1, "&2.菜单风格2", {}, A::UIStyle, 1),

    Bar("mnuHelp", "&H.帮助"),
    Item("mnuHelpThis", -1, "&H.软件使用说明...", Key(kF1), A::HelpThis),
    Sep(),
    Item("mnuHelpGuestBook", -1, "&G.建议留言...", {}, A::WebLink, 0),
    Item("mnuHelpEMail", -1, "&E.给作者发邮件...", {}, A::WebLink, 1),
    Item("mnuWebURL", -1, "&W.软件官方网站", {}, A::WebLink, 2),
    Sep(),
    Item("mnuHelpAbout", -1, "&A.关于...", {}, A::HelpAbout),

    Popup("mnuPopup"),
    Item("mnuPopupOpen", -1, "&O.打开...", {}, A::OpenPlay),
    Sep(),
    Item("mnuPopupPlay", 0, "&P.播放", {}, A::Resume, 0, G::Movie),
    Item("mnuPopupPlay", 1, "&R.重放", {}, A::Replay, 0, G::Movie),
    Item("mnuPopupPlay", 2, "&S.暂停", {}, A::Pause, 0, G::Movie),
    Sep(),
    Item("mnuPopupSpeed", 0, "&F.快进 10%", {}, A::SeekForward, 0, G::Movie),
    Item("mnuPopupSpeed", 1, "&B.后退 10%", {}, A::SeekBack, 0, G::Movie),
    Sep(),
    Item("mnuPopupZoom", 0, "&M.画面 放大一倍", {}, A::ZoomMovie, 50, G::Movie),
    Item("mnuPopupZoom", 1, "&N.画面 缩小一倍", {}, A::ZoomMovie, 200, G::Movie),
    Item("mnuPopupZoom", 2, "&U.画面 全部显示", {}, A::ZoomMovie, 0, G::Movie),
    Sep(),
    Item("mnuPopupQuality", 0, "&H.高画质", {}, A::Quality, 0, G::Movie),
    Item("mnuPopupQuality", 1, "&L.低画质", {}, A::Quality, 1, G::Movie),
    Item("mnuPopupQuality", 2, "&A.自动处理", {}, A::Quality, 2, G::Movie),
    Sep(),
    Item("mnuPopupFullScreen", -1, "&F.全屏", {}, A::FullScreen, 0, G::Movie),
    Sep(),
    Item("mnuPopupAbout", -1, "&A.关于 本软件...", {}, A::HelpAbout),

    Popup("mnuList"),
    Item("mnuListAddToFav", -1, "&F.收藏", {}, A::ListAddToFav, 0, G::List),
    Sep(),
    Item("mnuListAdd", 0, "&A.添加 文件...", {}, A::ListAdd, 0),
    Item("mnuListAdd", 1, "&D.添加 整个目录...", {}, A::ListAdd, 1),
    Item("mnuListAdd", 2, "&F.搜索 本地文件...", {}, A::SearchLocal),
    Item("mnuListAdd", 3, "&N.搜索 网络缓存...", {}, A::SearchCache),
    Sep(),
    Item("mnuListRemove", 0, "&D.列表 删除选中", Key(kDelete), A::ListRemove, 0, G::List),
    Item("mnuListRemove", 1, "&C.列表 清空", Shift(kDelete), A::ListRemove, 1, G::List),
    Sep(),
    Item("mnuListImport", -1, "&I.导入 列表...", {}, A::ListImport),
    Item("mnuListExport", -1, "&E.导出 列表...", {}, A::ListExport, 0, G::List),
    Sep(),
    Item("mnuFlashInfo", -1, "&P.文件 属性", {}, A::FlashInfo, 0, G::List),
});

constexpr auto kButtons = std::to_array<ToolButton>({
    {"butOpen", -1, 195, "打开影片(Ctrl+O)", A::OpenPlay, 0, G::Always},
    {"butClose", -1, 570, "关闭影片(Ctrl+W)", A::Close, 0, G::Movie},
    {"butSaveAs", -1, 1050, "另存影片(Ctrl+S)", A::SaveAs, 0, G::Movie},
    {"butExportAsExe", -1, 1425, "导出EXE文件(Ctrl+E)", A::ExportExe, 0, G::Movie},
    {"butSaveAsPic", -1, 1920, "保存图片", A::Picture, 1, G::Movie},
    {"butZoom", 0, 2400, "缩小播放窗口(F11)", A::ZoomWindow, 0, G::Always},
    {"butZoom", 1, 2775, "放大播放窗口(F12)", A::ZoomWindow, 1, G::Always},
    {"butFullscreen", -1, 3255, "全屏模式", A::FullScreen, 0, G::Movie},
    {"butRightPanel", 3, 3750, "打开/关闭右面板(Ctrl+R)", A::UIPanel, 0, G::Always},
    {"butPlay", -1, 4230, "播放(F5)", A::Resume, 0, G::Movie},
    {"butRePlay", -1, 4605, "重放(F6)", A::Replay, 0, G::Movie},
    {"butPause", -1, 4980, "暂停(F7)", A::Pause, 0, G::Movie},
    {"butPrevNext", 0, 5460, "上部影片", A::PrevMovie, 0, G::List},
    // The toolbar's 10 % buttons also need a movie name (the menus do not test it).
    {"butPrevNext", 1, 5835, "后退10%(F8)", A::SeekBack, 1, G::Movie},
    {"butPrevNext", 2, 6210, "快进10%(F9)", A::SeekForward, 1, G::Movie},
    {"butPrevNext", 3, 6585, "下部影片", A::NextMovie, 0, G::List},
});

constexpr auto kSeparators = std::to_array<ToolSeparator>(
    {{0, 195}, {915, 150}, {1770, 150}, {2265, 150}, {3120, 150}, {3615, 150}, {4080, 195}, {5340, 150}});

constexpr auto kImageButtons = std::to_array<ImageButton>({
    {"imgButPlay", 125, 90, 510, 510, "play", A::PlaySelected, G::List},
    {"imgButStop", 630, 160, 360, 360, "stop", A::Stop, G::Movie},
    {"imgButPrev", 1045, 160, 360, 360, "prev", A::PrevMovie, G::List},
    {"imgButNext", 1430, 160, 360, 360, "next", A::NextMovie, G::List},
    {"imgButSound", 1830, 160, 360, 375, "sound", A::Mute, G::Always},
});

}  // namespace

std::string ShortcutText(const Shortcut& shortcut) {
    if (shortcut.key == 0) return {};
    std::string text;
    if (shortcut.ctrl) text += "Ctrl+";
    if (shortcut.shift) text += "Shift+";
    if (shortcut.alt) text += "Alt+";
    if (shortcut.key >= kF1 && shortcut.key <= kF12) text += "F" + std::to_string(shortcut.key - kF1 + 1);
    else if (shortcut.key == kDelete) text += "Del";
    else text += static_cast<char>(shortcut.key);
    return text;
}

std::span<const MenuEntry> MenuTable() { return kMenus; }

int MenuIdOf(size_t row) { return kFirstMenuId + static_cast<int>(row); }

const MenuEntry* EntryOfId(int id) {
    const int row = id - kFirstMenuId;
    if (row < 0 || row >= static_cast<int>(kMenus.size())) return nullptr;
    const MenuEntry& entry = kMenus[static_cast<size_t>(row)];
    return entry.kind == MenuKind::Item ? &entry : nullptr;
}

int FindMenuRow(std::string_view name, int index) {
    for (size_t row = 0; row < kMenus.size(); ++row)
        if (kMenus[row].kind != MenuKind::Separator && kMenus[row].name == name && kMenus[row].index == index)
            return static_cast<int>(row);
    return -1;
}

std::span<const ToolButton> ToolbarButtons() { return kButtons; }
std::span<const ToolSeparator> ToolbarSeparators() { return kSeparators; }
std::span<const ImageButton> PlayPanelButtons() { return kImageButtons; }

}  // namespace velmora::player
