// The main window's command table: every menu item with its name, caption, shortcut and
// action, the flat-button toolbar and the play panel's image buttons, and the groups that
// EnableFlashCommands/DisableFlashCommands and StatusList switch on and off.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace velmora::player {

enum class Action : uint8_t {
    None,
    OpenPlay, SearchLocal, SearchCache, Close, SaveAs, ExportExe, CdRom, Picture, Quit,
    Resume, Replay, Pause, PrevMovie, NextMovie, PrevFrame, NextFrame, SeekForward, SeekBack,
    ZoomMovie, ZoomWindow, Quality, FullScreen,
    Volume, ScaleMode, BackColor, Relation, ShowWelcome, OnTop,
    UIPanel, UIToolbar, UIStyle,
    HelpThis, HelpAbout, WebLink,
    ListAddToFav, ListAdd, ListRemove, ListImport, ListExport, FlashInfo,
    Stop,  // the play panel's stop button: Rewind, then Stop
    PlaySelected,  // the play panel's play button
    Mute,
};

// Who switches an item on and off: nobody, the movie commands, or StatusList.
enum class Group : uint8_t { Always, Movie, List };

// Virtual-key code and modifiers; key 0 is no shortcut.
struct Shortcut {
    uint8_t key = 0;
    bool ctrl = false, shift = false, alt = false;
    bool operator==(const Shortcut&) const = default;
};
// "Ctrl+O", "F5", "Shift+Del".
std::string ShortcutText(const Shortcut& shortcut);

// The menus in order; a menu's items follow it with a larger depth. Separators have an
// empty name.
enum class MenuKind : uint8_t { Bar, Popup, Item, SubMenu, EndSubMenu, Separator };
struct MenuEntry {
    MenuKind kind;
    std::string_view name;
    int index;  // control-array index, -1 for a single item
    std::string_view caption;
    Shortcut shortcut;
    Action action = Action::None;
    int arg = 0;
    Group group = Group::Always;
};

std::span<const MenuEntry> MenuTable();
// The WM_COMMAND id of a table row, and back.
inline constexpr int kFirstMenuId = 1000;
int MenuIdOf(size_t row);
const MenuEntry* EntryOfId(int id);
// The row of a named item, or -1.
int FindMenuRow(std::string_view name, int index = -1);

// Flat buttons of tbrTools, left to right; all 375 x 375 at top 45.
struct ToolButton {
    std::string_view name;
    int index;
    int left;
    std::string_view tooltip;
    Action action;
    int arg;
    Group group;
};
std::span<const ToolButton> ToolbarButtons();
// The thin disabled buttons between the groups.
struct ToolSeparator {
    int left, width;
};
std::span<const ToolSeparator> ToolbarSeparators();

// The play panel's image buttons (twips inside picPlayControl) and their picture names.
struct ImageButton {
    std::string_view name;
    int left, top, width, height;
    std::string_view picture;  // "play": pictures play0, play1, play2
    Action action;
    Group group;  // List: StatusList sets it; Movie: the movie commands
};
std::span<const ImageButton> PlayPanelButtons();

}  // namespace velmora::player
