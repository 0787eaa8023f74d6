// The logic of the two design pages: the menu-icon page's list lines, choices and colour text,
// the icon preview's settling, and the toolbar page's tree of edge flags with partly checked
// parents. Portable, so it is checked without windows.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "menulib/colors.h"

namespace ostrel {

// ---- menu icons
// One list line: "*" when the control has an icon, a tab, the trimmed caption with tabs shown
// as "\t", a tab, the control's name ("name" or "name:index").
std::wstring MenuListLine(const std::wstring& name, int index, const std::wstring& caption, bool hasIcon);
// The menu-item box's entry "name (caption)"; nothing for captions that begin with "-".
std::optional<std::wstring> MenuChoice(const std::wstring& name, int index, const std::wstring& caption);
// The registry key of a choice: "#" + its first space-separated word.
std::wstring KeyOfChoice(const std::wstring& choice);
// "#" + hexadecimal, and back (the number after the first character).
std::wstring MaskText(OleColor mask);
OleColor ParseMaskText(const std::wstring& text);
std::wstring IconCountText(size_t count);
// Where a dropped preview of `picture` pixels settles inside a frame of `frame` pixels on one
// axis: centred when smaller, otherwise moved back so that it covers the frame.
int SettlePreview(int frame, int picture, int position);

// ---- toolbar edge flags
enum class CheckImage { Checked = 1, Unchecked = 2, Partial = 3 };
enum class EdgeFlagKind { None, Part, Style };
struct EdgeNode {
    wchar_t letter;
    int value;
    const wchar_t* text;
    int parent;  // index into the table, -1 for a root
    EdgeFlagKind kind;
    std::wstring Key() const { return letter + std::to_wstring(value); }
};
const std::vector<EdgeNode>& EdgeTree();

// The checks shown for a toolbar's flag words: side and style leaves from the flags, the
// three edge options unchecked, parents from their children.
std::vector<CheckImage> EdgeChecks(int borderPart, int borderStyle);
// A click on a node: toggled (partly checked becomes checked), its descendants follow, its
// ancestors are recomputed.
void ToggleEdgeNode(std::vector<CheckImage>& checks, int node);
// Every leaf's flag set when it is checked, cleared otherwise.
struct EdgeFlags {
    int borderPart = 0;
    int borderStyle = 0;
};
EdgeFlags ApplyEdgeChecks(const std::vector<CheckImage>& checks, EdgeFlags flags);

}  // namespace ostrel
