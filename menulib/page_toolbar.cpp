// The "边框及风格" page: a tree of the toolbar container's edge flags whose nodes carry a check
// image (checked, unchecked, partly checked); a click changes the toolbar at once.
#include <windows.h>
// after windows.h
#include <commctrl.h>

#include <vector>

#include "menulib/page_dialog.h"
#include "menulib/page_model.h"
#include "menulib/property_pages.h"

namespace ostrel {

namespace {

constexpr int kPageWidth = 200;
constexpr int kPageHeight = 180;

struct ToolbarPage {
    VsToolBar* toolbar = nullptr;
    HWND tree = nullptr;
    HIMAGELIST images = nullptr;
    std::vector<HTREEITEM> items;
    std::vector<CheckImage> checks;
};

// Three 13 x 13 check images: a tick, an empty box, a grey filled box.
HIMAGELIST MakeCheckImages() {
    HIMAGELIST list = ImageList_Create(13, 13, ILC_COLOR24, 3, 0);
    HDC screen = GetDC(nullptr);
    for (int image = 1; image <= 3; ++image) {
        HDC dc = CreateCompatibleDC(screen);
        HBITMAP bitmap = CreateCompatibleBitmap(screen, 13, 13);
        HGDIOBJ previous = SelectObject(dc, bitmap);
        RECT all{0, 0, 13, 13};
        FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        FrameRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        if (image == static_cast<int>(CheckImage::Checked)) {
            for (int i = 0; i < 3; ++i) {
                MoveToEx(dc, 3, 5 + i, nullptr);
                LineTo(dc, 5, 7 + i);
                LineTo(dc, 10, 2 + i);
            }
        } else if (image == static_cast<int>(CheckImage::Partial)) {
            RECT inner{3, 3, 10, 10};
            FillRect(dc, &inner, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
        }
        SelectObject(dc, previous);
        DeleteDC(dc);
        // State image 0 means "none": a spare copy there puts the three at 1, 2 and 3.
        if (image == 1) ImageList_Add(list, bitmap, nullptr);
        ImageList_Add(list, bitmap, nullptr);
        DeleteObject(bitmap);
    }
    ReleaseDC(nullptr, screen);
    return list;
}

void ShowChecks(ToolbarPage& page) {
    for (size_t i = 0; i < page.items.size(); ++i) {
        TVITEMW item{};
        item.mask = TVIF_STATE;
        item.hItem = page.items[i];
        item.stateMask = TVIS_STATEIMAGEMASK;
        item.state = INDEXTOSTATEIMAGEMASK(static_cast<int>(page.checks[i]));
        TreeView_SetItem(page.tree, &item);
    }
}

void Build(ToolbarPage& page, HWND dialog) {
    page.tree = AddControl(dialog, WC_TREEVIEWW, L"", kTreeId,
                           WS_BORDER | WS_TABSTOP | TVS_HASLINES | TVS_HASBUTTONS | TVS_LINESATROOT | TVS_SHOWSELALWAYS,
                           7, 7, kPageWidth - 14, kPageHeight - 34);
    page.images = MakeCheckImages();
    TreeView_SetImageList(page.tree, page.images, TVSIL_STATE);
    const std::vector<EdgeNode>& tree = EdgeTree();
    for (const EdgeNode& node : tree) {
        TVINSERTSTRUCTW insert{};
        insert.hParent = node.parent < 0 ? TVI_ROOT : page.items[node.parent];
        insert.hInsertAfter = TVI_LAST;
        insert.item.mask = TVIF_TEXT | TVIF_STATE;
        insert.item.pszText = const_cast<wchar_t*>(node.text);
        insert.item.stateMask = TVIS_STATEIMAGEMASK;
        insert.item.state = INDEXTOSTATEIMAGEMASK(static_cast<int>(CheckImage::Unchecked));
        page.items.push_back(TreeView_InsertItem(page.tree, &insert));
    }
    for (size_t i = 0; i < tree.size(); ++i)
        if (tree[i].parent >= 0) TreeView_EnsureVisible(page.tree, page.items[i]);
    const ToolbarProps& props = page.toolbar->Props();
    page.checks = EdgeChecks(props.borderPart, props.borderStyle);
    ShowChecks(page);
}

// Every leaf's flag onto the toolbar.
void EvaluateOption(ToolbarPage& page) {
    const ToolbarProps& props = page.toolbar->Props();
    const EdgeFlags flags = ApplyEdgeChecks(page.checks, {props.borderPart, props.borderStyle});
    for (const EdgeNode& node : EdgeTree()) {
        if (node.kind == EdgeFlagKind::Part) page.toolbar->SetBorderPart(node.value, HasAllFlags(flags.borderPart, node.value));
        if (node.kind == EdgeFlagKind::Style)
            page.toolbar->SetBorderStyle(node.value, HasAllFlags(flags.borderStyle, node.value));
    }
}

void OnClick(ToolbarPage& page) {
    TVHITTESTINFO hit{};
    GetCursorPos(&hit.pt);
    ScreenToClient(page.tree, &hit.pt);
    HTREEITEM item = TreeView_HitTest(page.tree, &hit);
    if (!item || !(hit.flags & (TVHT_ONITEM | TVHT_ONITEMSTATEICON))) return;
    for (size_t i = 0; i < page.items.size(); ++i) {
        if (page.items[i] != item) continue;
        EnableWindow(page.tree, FALSE);
        ToggleEdgeNode(page.checks, static_cast<int>(i));
        ShowChecks(page);
        EvaluateOption(page);
        EnableWindow(page.tree, TRUE);
        return;
    }
}

INT_PTR CALLBACK ToolbarPageProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    ToolbarPage* page = PageData<ToolbarPage>(dialog, message, lParam);
    switch (message) {
    case WM_INITDIALOG:
        Build(*page, dialog);
        AddPageButtons(dialog, kPageWidth, kPageHeight, false);
        return TRUE;
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (page && header->idFrom == kTreeId && header->code == NM_CLICK) OnClick(*page);
        return FALSE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    case WM_DESTROY:
        if (page && page->images) ImageList_Destroy(page->images);
        return FALSE;
    default: return FALSE;
    }
}

}  // namespace

void ShowToolbarPropertyPage(HWND owner, VsToolBar& toolbar) {
    INITCOMMONCONTROLSEX init{sizeof init, ICC_TREEVIEW_CLASSES};
    InitCommonControlsEx(&init);
    ToolbarPage page;
    page.toolbar = &toolbar;
    const std::vector<WORD> form = PageTemplate(L"边框及风格", kPageWidth, kPageHeight);
    DialogBoxIndirectParamW(GetModuleHandleW(nullptr), reinterpret_cast<const DLGTEMPLATE*>(form.data()), owner,
                            ToolbarPageProc, reinterpret_cast<LPARAM>(&page));
}

}  // namespace ostrel
