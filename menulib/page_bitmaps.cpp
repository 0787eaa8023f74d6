// The "菜单图标" page: a working copy of a menu control's icon registry edited line by line (one
// line per menu item of the form), the preview of the icon being edited, and the general
// settings. Nothing reaches the control before Apply or OK.
#include <windows.h>
// after windows.h
#include <commdlg.h>

#include <algorithm>
#include <cwchar>
#include <string>
#include <vector>

#include "menulib/page_dialog.h"
#include "menulib/page_model.h"
#include "menulib/property_pages.h"

namespace ostrel {

namespace {

constexpr int kPageWidth = 330;
constexpr int kPageHeight = 215;
constexpr wchar_t kPreviewClass[] = L"OstrelIconPreview";

struct BitmapsPage {
    VsNetMenu* menu = nullptr;
    HWND dialog = nullptr;
    std::vector<MenuIcon> working;
    size_t editing = 0;  // registry position + 1 of the entry being edited, 0 for none
    bool loading = false;
    bool changed = false;
    Picture preview;
    POINT dragFrom{};
    bool dragging = false;
};

HWND Item(const BitmapsPage& page, int id) {
    // The preview sits inside its clipping frame, not directly on the page.
    if (id == kPreview) return GetDlgItem(GetDlgItem(page.dialog, kPreviewFrame), kPreview);
    return GetDlgItem(page.dialog, id);
}

std::wstring TextOf(HWND window) {
    wchar_t buffer[512] = {};
    GetWindowTextW(window, buffer, 512);
    return buffer;
}

void MarkChanged(BitmapsPage& page) {
    if (!page.loading) page.changed = true;
}

// ---- the preview: the picture at its own size, dragged inside its clipping frame
void CentrePreview(BitmapsPage& page, POINT at) {
    HWND preview = Item(page, kPreview);
    RECT frame{};
    GetClientRect(Item(page, kPreviewFrame), &frame);
    const SIZE size = page.preview ? page.preview.PixelSize() : SIZE{16, 16};
    const int x = SettlePreview(frame.right, size.cx, at.x);
    const int y = SettlePreview(frame.bottom, size.cy, at.y);
    SetWindowPos(preview, nullptr, x, y, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(preview, nullptr, TRUE);
}

LRESULT CALLBACK PreviewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* page = reinterpret_cast<BitmapsPage*>(GetWindowLongPtrW(GetParent(GetParent(window)), DWLP_USER));
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window, &ps);
        if (page && page->preview) {
            MemDC target;
            RECT r{};
            GetClientRect(window, &r);
            target.Init(r.right, r.bottom, dc, dc);
            target.PaintPicture(page->preview);
        }
        EndPaint(window, &ps);
        return 0;
    }
    case WM_LBUTTONDOWN:
        if (!page) break;
        SetCapture(window);
        page->dragging = true;
        GetCursorPos(&page->dragFrom);
        return 0;
    case WM_MOUSEMOVE:
        if (page && page->dragging) {
            POINT now{};
            GetCursorPos(&now);
            RECT r{};
            GetWindowRect(window, &r);
            MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&r), 2);
            SetWindowPos(window, nullptr, r.left + now.x - page->dragFrom.x, r.top + now.y - page->dragFrom.y, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            page->dragFrom = now;
        }
        return 0;
    case WM_LBUTTONUP:
        if (page && page->dragging) {
            page->dragging = false;
            ReleaseCapture();
            RECT r{};
            GetWindowRect(window, &r);
            MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&r), 2);
            CentrePreview(*page, {r.left, r.top});
        }
        return 0;
    default: break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// ---- filling and storing
void FillList(BitmapsPage& page) {
    page.loading = true;
    HWND list = Item(page, kList);
    const LRESULT selected = SendMessageW(list, LB_GETCURSEL, 0, 0);
    const LRESULT top = SendMessageW(list, LB_GETTOPINDEX, 0, 0);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    HWND choices = Item(page, kMenuBox);
    SendMessageW(choices, CB_RESETCONTENT, 0, 0);
    for (const MenuControlInfo& control : page.menu->MenuControls()) {
        const std::wstring key = IconKeyOf(control.name, control.index);
        size_t position = 0;
        for (size_t i = 0; i < page.working.size() && !position; ++i)
            if (page.working[i].key == key) position = i + 1;
        const std::wstring line = MenuListLine(control.name, control.index, control.caption, position != 0);
        const LRESULT at = SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
        SendMessageW(list, LB_SETITEMDATA, at, static_cast<LPARAM>(position));
        if (const std::optional<std::wstring> choice = MenuChoice(control.name, control.index, control.caption))
            SendMessageW(choices, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(choice->c_str()));
    }
    const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    if (count > 0) SendMessageW(list, LB_SETCURSEL, selected < 0 ? 0 : std::min<LRESULT>(selected, count - 1), 0);
    SendMessageW(list, LB_SETTOPINDEX, top, 0);
    const VsNetMenu& menu = *page.menu;
    CheckDlgButton(page.dialog, kOffice, menu.UseOffice2003Style() ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(page.dialog, kDisabled, menu.SelectDisabled() ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(page.dialog, kSystemFont, menu.UseSystemFont() ? BST_CHECKED : BST_UNCHECKED);
    SetWindowTextW(Item(page, kSizeBox), std::to_wstring(menu.BitmapSize()).c_str());
    SetWindowTextW(Item(page, kCount), IconCountText(page.working.size()).c_str());
    page.loading = false;
}

void StorePending(BitmapsPage& page) {
    if (!page.changed) return;
    if (page.editing > 0 && page.editing <= page.working.size())
        page.working[page.editing - 1] = {page.preview, ParseMaskText(TextOf(Item(page, kMaskBox))),
                                          KeyOfChoice(TextOf(Item(page, kMenuBox)))};
    VsNetMenu& menu = *page.menu;
    menu.SetUseOffice2003Style(IsDlgButtonChecked(page.dialog, kOffice) == BST_CHECKED);
    menu.SetSelectDisabled(IsDlgButtonChecked(page.dialog, kDisabled) == BST_CHECKED);
    menu.SetUseSystemFont(IsDlgButtonChecked(page.dialog, kSystemFont) == BST_CHECKED);
    const int size = _wtoi(TextOf(Item(page, kSizeBox)).c_str());
    if (size > 0) menu.SetBitmapSize(size);
    FillList(page);
    page.changed = false;
}

void ShowPanel(BitmapsPage& page, bool show) {
    for (int id : {kPanel, kMenuBox, kMaskBox, kPreviewFrame, kPanelLabel1, kPanelLabel2, kPanelLabel3})
        ShowWindow(Item(page, id), show ? SW_SHOW : SW_HIDE);
}

void SelectLine(BitmapsPage& page) {
    StorePending(page);
    HWND list = Item(page, kList);
    const LRESULT line = SendMessageW(list, LB_GETCURSEL, 0, 0);
    page.editing = line < 0 ? 0 : static_cast<size_t>(SendMessageW(list, LB_GETITEMDATA, line, 0));
    if (page.editing == 0 || page.editing > page.working.size()) {
        page.editing = 0;
        ShowPanel(page, false);
        return;
    }
    page.loading = true;
    const MenuIcon& entry = page.working[page.editing - 1];
    HWND choices = Item(page, kMenuBox);
    const LRESULT count = SendMessageW(choices, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        wchar_t text[512] = {};
        SendMessageW(choices, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        if (KeyOfChoice(text) == entry.key) SendMessageW(choices, CB_SETCURSEL, i, 0);
    }
    SetWindowTextW(Item(page, kMaskBox), MaskText(entry.mask).c_str());
    page.preview = entry.picture;
    CentrePreview(page, {});
    ShowPanel(page, true);
    page.loading = false;
}

// The name of the selected line's menu control, and whether it has an icon.
std::wstring SelectedName(const BitmapsPage& page, bool& hasIcon) {
    HWND list = Item(page, kList);
    const LRESULT line = SendMessageW(list, LB_GETCURSEL, 0, 0);
    const auto& controls = page.menu->MenuControls();
    if (line < 0 || static_cast<size_t>(line) >= controls.size()) return {};
    hasIcon = SendMessageW(list, LB_GETITEMDATA, line, 0) != 0;
    return IconKeyOf(controls[line].name, controls[line].index);
}

void AddOrRemove(BitmapsPage& page, bool add) {
    bool hasIcon = false;
    const std::wstring key = SelectedName(page, hasIcon);
    if (key.empty() || hasIcon == add) return;
    StorePending(page);
    if (add)
        page.working.push_back({Picture{}, kDefaultIconMask, key});
    else
        std::erase_if(page.working, [&](const MenuIcon& icon) { return icon.key == key; });
    FillList(page);
    page.changed = true;
    SelectLine(page);
}

void OpenPicture(BitmapsPage& page) {
    wchar_t file[MAX_PATH] = {};
    OPENFILENAMEW ofn{sizeof ofn};
    ofn.hwndOwner = page.dialog;
    ofn.lpstrFilter = L"图片 (*.bmp;*.ico)\0*.bmp;*.ico\0";
    ofn.lpstrFile = file;
    ofn.nMaxFile = MAX_PATH;
    ofn.Flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
    if (!GetOpenFileNameW(&ofn)) return;
    const std::wstring name = file;
    const bool icon = name.size() > 4 && _wcsicmp(name.c_str() + name.size() - 4, L".ico") == 0;
    Picture picture =
        icon ? Picture::FromIcon(static_cast<HICON>(LoadImageW(nullptr, file, IMAGE_ICON, 0, 0, LR_LOADFROMFILE)))
             : Picture::FromBitmap(static_cast<HBITMAP>(LoadImageW(nullptr, file, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE)));
    if (!picture) return;
    page.preview = picture;
    // The bottom-left pixel is taken for the transparent colour.
    MemDC probe;
    const SIZE size = picture.PixelSize();
    probe.Init(size.cx, size.cy);
    probe.PaintPicture(picture);
    SetWindowTextW(Item(page, kMaskBox), MaskText(probe.GetPixel(0, size.cy - 1)).c_str());
    CentrePreview(page, {});
    page.changed = true;
}

void Apply(BitmapsPage& page) {
    StorePending(page);
    page.menu->ReplaceIcons(page.working);
    page.changed = false;
}

void Build(BitmapsPage& page) {
    HWND d = page.dialog;
    AddControl(d, L"STATIC", L"可在下面直接输入数字", 0, 0, 7, 5, 120, 10);
    AddControl(d, L"STATIC", L"图标尺寸：", 0, 0, 7, 19, 40, 10);
    HWND size = AddControl(d, L"COMBOBOX", L"", kSizeBox, WS_TABSTOP | CBS_DROPDOWN | WS_VSCROLL, 48, 17, 40, 80);
    for (const wchar_t* item : {L"16", L"20", L"24", L"28", L"32"})
        SendMessageW(size, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    AddControl(d, L"STATIC", L"象素", 0, 0, 92, 19, 24, 10);
    AddControl(d, L"BUTTON", L" 一般设置 ", 0, BS_GROUPBOX, 7, 34, 120, 58);
    AddControl(d, L"BUTTON", L"Office2003风格", kOffice, WS_TABSTOP | BS_AUTOCHECKBOX, 14, 46, 100, 10);
    AddControl(d, L"BUTTON", L"使用系统字体", kSystemFont, WS_TABSTOP | BS_AUTOCHECKBOX, 14, 60, 100, 10);
    AddControl(d, L"BUTTON", L"允许选择禁止项", kDisabled, WS_TABSTOP | BS_AUTOCHECKBOX, 14, 74, 100, 10);
    AddControl(d, L"BUTTON", L"添加", kAdd, WS_TABSTOP, 7, 98, 28, 14);
    AddControl(d, L"BUTTON", L"删除", kRemove, WS_TABSTOP, 38, 98, 28, 14);
    AddControl(d, L"BUTTON", L"清除", kClear, WS_TABSTOP, 69, 98, 28, 14);
    AddControl(d, L"BUTTON", L"图片...", kOpen, WS_TABSTOP, 100, 98, 27, 14);
    AddControl(d, L"STATIC", L"", kCount, 0, 7, 118, 120, 10);
    AddControl(d, L"STATIC", L"菜单项目：", 0, 0, 135, 5, 80, 10);
    HWND list = AddControl(d, L"LISTBOX", L"", kList, WS_TABSTOP | WS_BORDER | WS_VSCROLL | LBS_USETABSTOPS | LBS_NOTIFY,
                           135, 16, 188, 100);
    const int stops[] = {10, 120};
    SendMessageW(list, LB_SETTABSTOPS, 2, reinterpret_cast<LPARAM>(stops));
    AddControl(d, L"BUTTON", L" 边框区域 ", kPanel, BS_GROUPBOX, 135, 116, 188, 76);
    AddControl(d, L"STATIC", L"菜单项：", kPanelLabel1, 0, 142, 130, 40, 10);
    AddControl(d, L"COMBOBOX", L"", kMenuBox, WS_TABSTOP | CBS_DROPDOWNLIST | WS_VSCROLL, 185, 128, 132, 100);
    AddControl(d, L"STATIC", L"透明色：", kPanelLabel2, 0, 142, 146, 40, 10);
    HWND mask = AddControl(d, L"COMBOBOX", L"", kMaskBox, WS_TABSTOP | CBS_DROPDOWN, 185, 144, 60, 60);
    for (const wchar_t* item : {L"#FF00FF", L"#C0C0C0"})
        SendMessageW(mask, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    AddControl(d, L"STATIC", L"图标：", kPanelLabel3, 0, 142, 164, 40, 10);
    HWND frame = AddControl(d, L"STATIC", L"", kPreviewFrame, WS_CLIPCHILDREN | SS_SUNKEN, 185, 160, 40, 28);
    CreateWindowExW(0, kPreviewClass, L"", WS_CHILD | WS_VISIBLE, 0, 0, 16, 16, frame,
                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(kPreview)), GetModuleHandleW(nullptr), nullptr);
    AddPageButtons(d, kPageWidth, kPageHeight, true);
}

INT_PTR CALLBACK BitmapsPageProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    BitmapsPage* page = PageData<BitmapsPage>(dialog, message, lParam);
    switch (message) {
    case WM_INITDIALOG:
        page->dialog = dialog;
        page->working = page->menu->Icons();
        Build(*page);
        FillList(*page);
        SelectLine(*page);
        return TRUE;
    case WM_COMMAND: {
        if (!page) return FALSE;
        const int id = LOWORD(wParam);
        const int code = HIWORD(wParam);
        switch (id) {
        case IDOK:
            Apply(*page);
            EndDialog(dialog, 1);
            return TRUE;
        case IDCANCEL: EndDialog(dialog, 0); return TRUE;
        case kApplyId: Apply(*page); return TRUE;
        case kList:
            if (code == LBN_SELCHANGE) SelectLine(*page);
            return TRUE;
        case kAdd:
        case kRemove: AddOrRemove(*page, id == kAdd); return TRUE;
        case kClear:
            page->working.clear();
            FillList(*page);
            page->changed = true;
            SelectLine(*page);
            return TRUE;
        case kOpen: OpenPicture(*page); return TRUE;
        case kSizeBox:
        case kMaskBox:
        case kMenuBox:
            if (code == CBN_EDITCHANGE || code == CBN_SELCHANGE) MarkChanged(*page);
            return TRUE;
        case kOffice:
        case kSystemFont:
        case kDisabled: MarkChanged(*page); return TRUE;
        default: return FALSE;
        }
    }
    default: return FALSE;
    }
}

}  // namespace

bool ShowMenuPropertyPage(HWND owner, VsNetMenu& menu) {
    static const bool registered = [] {
        WNDCLASSEXW wc{sizeof wc};
        wc.lpfnWndProc = PreviewProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, IDC_SIZEALL);
        wc.lpszClassName = kPreviewClass;
        return RegisterClassExW(&wc) != 0;
    }();
    if (!registered) return false;
    BitmapsPage page;
    page.menu = &menu;
    const std::vector<WORD> form = PageTemplate(L"菜单图标", kPageWidth, kPageHeight);
    return DialogBoxIndirectParamW(GetModuleHandleW(nullptr), reinterpret_cast<const DLGTEMPLATE*>(form.data()),
                                   owner, BitmapsPageProc, reinterpret_cast<LPARAM>(&page)) == 1;
}

}  // namespace ostrel
