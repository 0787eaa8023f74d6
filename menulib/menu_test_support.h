// Shared pieces of the menu control's Win32 tests: a host window with a menu bar of every
// kind of item, menu snapshots, real input and screen pixels.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "menulib/colors.h"

namespace ostrel::test {

enum : UINT { kOpen = 101, kChecked, kDisabled, kInner, kExit, kCut = 201, kAbout = 301, kBarSeparator = 400 };

struct ItemSnapshot {
    UINT type;
    std::wstring text;
    friend bool operator==(const ItemSnapshot&, const ItemSnapshot&) = default;
};
// Types and texts of a menu and, depth first, of its submenus.
std::vector<ItemSnapshot> Snapshot(HMENU menu);
// What the host's own procedure saw of its menus as it went away.
const std::vector<ItemSnapshot>& MenusAtDestroy();

struct Menus {
    HMENU bar, file, sub, edit, help;
};
// File (tab, separator, check, grayed, submenu), a one-space separator, Edit, and a Help
// that begins with two spaces.
Menus BuildMenus();
HWND CreateMenuHost(HMENU bar, int x = 0, int y = 0);
MENUITEMINFOW ItemInfo(HMENU menu, int position);
bool Near(OleColor a, OleColor b, int tolerance = 2);

// The screen as pixels (0x00BBGGRR), read through the desktop's device context.
struct ScreenShot {
    int width = 0, height = 0;
    std::vector<COLORREF> pixels;
    COLORREF At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};
ScreenShot Screen();
HWND VisiblePopupMenu();

}  // namespace ostrel::test
