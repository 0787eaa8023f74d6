// The player's own pictures, drawn with GDI at start-up: the play panel's image buttons in
// their three looks, the speaker, the toolbar glyphs, the panel background and the splash.
#pragma once

#include <windows.h>

#include <string_view>

#include "player/shell/commands.h"
#include "toolkit/handles.h"

namespace velmora::player {

// Looks of an image button: 0 disabled, 1 normal, 2 pressed (the ilsButton suffixes).
// `picture` is "play", "stop", "prev", "next" or "sound" (look 0 muted, 1 sounding).
void DrawPanelPicture(HDC dc, const RECT& box, std::string_view picture, int look);
// The play panel's background.
void DrawPanelBackground(HDC dc, const RECT& box);
// A toolbar button's glyph for its action, a 16 x 16 icon the caller owns; the disabled
// look is a pale grey of it.
HICON ToolbarGlyph(Action action, int arg, bool disabled = false);
// The list's item picture (a small film frame), 16 x 16, owned by the caller.
HICON MovieIcon();
// The splash picture over the whole client area.
void DrawSplash(HDC dc, const RECT& box);

}  // namespace velmora::player
