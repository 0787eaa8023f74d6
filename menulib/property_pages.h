// The two design pages of the library as modal dialogs: "菜单图标" edits a menu control's icons
// and general settings, "边框及风格" a toolbar container's edge flags.
#pragma once

#include <windows.h>

#include "menulib/controls.h"
#include "menulib/export.h"
#include "menulib/vs_net_menu.h"

namespace ostrel {

// True when the page was closed with OK (its changes are applied, as with Apply).
OSTREL_API bool ShowMenuPropertyPage(HWND owner, VsNetMenu& menu);
// Changes reach the toolbar at once; there is nothing to apply.
OSTREL_API void ShowToolbarPropertyPage(HWND owner, VsToolBar& toolbar);

}  // namespace ostrel
