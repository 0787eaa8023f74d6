// The menu control's engine: attaching to the host, turning its menus into owner-drawn items
// (and back), measuring, the host's menu messages, bar hot tracking and MDI cooperation.
#include <array>

#include "menulib/menu_control.h"

namespace ostrel {

namespace {

constexpr UINT kMenuSelectMarker = 0x0200;  // high-word flag of a WM_MENUSELECT forwarded by a frame
constexpr int kMdiMinimize = -4064;
constexpr int kMdiRestore = -3808;
constexpr int kMdiClose = -4000;

// InitMenuMsg commands, in the low word of wParam.
enum : UINT { kConvertPopup = 0, kConvertBar = 1, kLeaveLoop = 2, kEnterLoop = 3, kSetFrame = 4, kMnemonic = 5 };

}  // namespace

bool ReadMenuItem(HMENU menu, UINT item, bool byPosition, MENUITEMINFOW& info, std::wstring* text) {
    wchar_t buffer[1025] = {};
    info = MENUITEMINFOW{sizeof info};
    info.fMask = MIIM_FTYPE | MIIM_DATA | MIIM_ID | MIIM_SUBMENU | MIIM_STATE | (text ? MIIM_STRING : 0);
    info.dwTypeData = buffer;
    info.cch = 1024;
    if (!GetMenuItemInfoW(menu, item, byPosition, &info)) return false;
    if (text) *text = std::wstring(buffer, info.cch);
    info.dwTypeData = nullptr;
    return true;
}

namespace {

// The position of the item that carries this data word and id, or -1.
int PositionOf(HMENU menu, UINT id, ULONG_PTR data) {
    const int count = GetMenuItemCount(menu);
    MENUITEMINFOW info;
    for (int i = 0; i < count; ++i)
        if (ReadMenuItem(menu, i, true, info, nullptr) && info.dwItemData == data && info.wID == id) return i;
    return -1;
}

}  // namespace

UINT ItemMenuState(HMENU menu, UINT id, ULONG_PTR data) {
    MENUITEMINFOW info;
    const int position = menu ? PositionOf(menu, id, data) : -1;
    const bool found = position >= 0 ? ReadMenuItem(menu, position, true, info, nullptr)
                                     : menu && ReadMenuItem(menu, id, false, info, nullptr);
    if (!found) return 0;
    UINT state = 0;
    if (info.fState & MFS_GRAYED) state |= kStateGrayed | kStateDisabled;
    if (info.fState & MFS_CHECKED) state |= kStateChecked;
    if (info.fState & MFS_HILITE) state |= kStateHilite;
    if (info.hSubMenu) state |= kStatePopup;
    return state;
}

std::wstring MenuItemText(HMENU menu, UINT item, bool byPosition) {
    MENUITEMINFOW info;
    std::wstring text;
    return ReadMenuItem(menu, item, byPosition, info, &text) ? text : std::wstring();
}

int MeasureTextWidth(HFONT font, const std::wstring& text, UINT extraFormat) {
    MemDC scratch;
    scratch.Init(1, 1);
    SelectObject(scratch.Hdc(), font);
    RECT r{0, 0, 0, 0};
    scratch.DrawText(text, r, DT_CALCRECT | DT_SINGLELINE | extraFormat);
    return r.right - r.left;
}

VsNetMenu::Impl::Impl() {
    EnsureMenuHook();
    initMenuMsg = RegisterWindowMessageA("InitMenuMsg");
}

VsNetMenu::Impl::~Impl() {
    // Going before its window: the window keeps usable menus, not items nobody draws.
    if (host && IsWindow(host)) RestoreRecords();
    popups.clear();
    hostSubclasser.reset();
    mdiSubclasser.reset();
    if (controlFont) DeleteObject(controlFont);
    if (systemFont) DeleteObject(systemFont);
    if (CurrentMenuControl() == this) SetCurrentMenuControl(nullptr);
}

bool VsNetMenu::Impl::Init(HWND window) {
    if (!IsWindow(window)) return false;
    host = window;
    menuBar = GetMenu(window);
    hostSubclasser = std::make_unique<SubclassingThunk>();
    mdiSubclasser = std::make_unique<SubclassingThunk>();
    mdiClient = nullptr;
    const std::shared_ptr<SubclassingSink> sink = Unowned<SubclassingSink>(this);
    if (!hostSubclasser->Subclass(host, sink, true, true)) return false;
    const std::array<UINT, 14> hostMessages = {WM_SETCURSOR,     WM_INITMENUPOPUP,  WM_MEASUREITEM,   WM_DRAWITEM,
                                               WM_MDISETMENU,    WM_NCCALCSIZE,     WM_MENUSELECT,    WM_SYSCOLORCHANGE,
                                               WM_NCDESTROY,     initMenuMsg,       WM_ENTERMENULOOP, WM_EXITMENULOOP,
                                               WM_UNINITMENUPOPUP, WM_MENUCHAR};
    hostSubclasser->AddBeforeMsgs(hostMessages);
    if (HWND client = FindWindowExW(host, nullptr, L"MDIClient", nullptr);
        client && mdiSubclasser->Subclass(client, sink, true, true)) {
        mdiClient = client;
        const UINT mdiMessages[] = {WM_MDISETMENU};
        mdiSubclasser->AddBeforeMsgs(mdiMessages);
    }
    // Converting redraws the bar, which may measure the items at once: we must hear that.
    Recompute();
    return true;
}

void VsNetMenu::Impl::RefreshControlFont() {
    const FontSpec& f = props.font;
    HDC screen = GetDC(nullptr);
    const int height = -MulDiv(f.size, GetDeviceCaps(screen, LOGPIXELSY), 72);
    ReleaseDC(nullptr, screen);
    HFONT fresh = CreateFontW(height, 0, 0, 0, f.bold ? FW_BOLD : FW_NORMAL, f.italic, f.underline, FALSE,
                              static_cast<BYTE>(f.charset), OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                              DEFAULT_PITCH, f.name.c_str());
    if (!fresh) return;
    if (controlFont) DeleteObject(controlFont);
    controlFont = fresh;
}

HFONT VsNetMenu::Impl::MenuFont() {
    if (!props.useSystemFont) {
        if (!controlFont) RefreshControlFont();
        return controlFont;
    }
    if (!systemFont) {
        NONCLIENTMETRICSW metrics{sizeof metrics};
        if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
            systemFont = CreateFontIndirectW(&metrics.lfMenuFont);
    }
    return systemFont ? systemFont : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

void VsNetMenu::Impl::Recompute() {
    edgeWidth = GetSystemMetrics(SM_CXEDGE);
    frameWidth = GetSystemMetrics(SM_CXDLGFRAME);
    captionHeight = GetSystemMetrics(SM_CYCAPTION);
    menuHeight = GetSystemMetrics(SM_CYMENU);
    HDC screen = GetDC(nullptr);
    lowColor = GetDeviceCaps(screen, BITSPIXEL) * GetDeviceCaps(screen, PLANES) <= 8;
    ReleaseDC(nullptr, screen);
    MemDC scratch;
    scratch.Init(1, 1);
    SelectObject(scratch.Hdc(), MenuFont());
    RECT r{0, 0, 0, 0};
    scratch.DrawText(L"ABCHYg", r, DT_CALCRECT | DT_SINGLELINE);
    icw = ostrel::IconColumnWidth(r.bottom - r.top, props.bitmapSize);
    ConvertMenu(menuBar, true);
}

void VsNetMenu::Impl::ConvertMenu(HMENU menu, bool bar) {
    if (!menu) return;
    if (HWND child = ActiveMdiChild();
        child && SendMessageW(child, initMenuMsg, bar ? kConvertBar : kConvertPopup, reinterpret_cast<LPARAM>(menu)) == 1)
        return;
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        MENUITEMINFOW info;
        std::wstring text;
        if (!ReadMenuItem(menu, i, true, info, &text)) continue;
        ULONG_PTR data = info.dwItemData;
        if (!(info.fType & MFT_OWNERDRAW)) {
            records.push_back(ItemRecord{reinterpret_cast<uintptr_t>(menu), text, info.fType, bar, info.wID});
            data = records.size();
        } else if (data < 1 || data > records.size() || !records[data - 1]) {
            continue;  // somebody else's owner-drawn item
        } else {
            text = records[data - 1]->text;
        }
        MENUITEMINFOW update{sizeof update};
        update.fMask = MIIM_FTYPE | MIIM_DATA | MIIM_BITMAP;
        update.fType = bar ? BarItemType(ClassifyBarText(text)) : info.fType | MFT_OWNERDRAW;
        update.dwItemData = data;
        update.hbmpItem = nullptr;
        SetMenuItemInfoW(menu, i, TRUE, &update);
    }
    if (bar && host) DrawMenuBar(host);
    SetCurrentMenuControl(this);
}

void VsNetMenu::Impl::RestoreRecords(HMENU onlyMenu) {
    bool anyLeft = false;
    for (size_t slot = 0; slot < records.size(); ++slot) {
        if (!records[slot]) continue;
        const ItemRecord& r = *records[slot];
        const auto menu = reinterpret_cast<HMENU>(r.menu);
        if (onlyMenu && menu != onlyMenu) {
            anyLeft = true;
            continue;
        }
        const int position = PositionOf(menu, r.id, slot + 1);
        MENUITEMINFOW restore{sizeof restore};
        restore.fMask = MIIM_FTYPE | MIIM_STRING | MIIM_DATA;
        restore.fType = r.type;
        std::wstring text = r.text;
        restore.dwTypeData = text.data();
        restore.dwItemData = 0;
        if (position >= 0)
            SetMenuItemInfoW(menu, position, TRUE, &restore);
        else
            SetMenuItemInfoW(menu, r.id, FALSE, &restore);
        records[slot].reset();
    }
    if (!anyLeft) records.clear();
}

std::optional<ItemRecord> VsNetMenu::Impl::FindRecord(ULONG_PTR data, UINT id, HMENU menu, bool checkMenu) const {
    if (data >= 1 && data <= records.size() && records[data - 1]) {
        const ItemRecord& r = *records[data - 1];
        if (r.id == id && (!checkMenu || r.menu == reinterpret_cast<uintptr_t>(menu))) return r;
    }
    HMENU system = host ? GetSystemMenu(host, FALSE) : nullptr;
    MENUITEMINFOW info;
    std::wstring text;
    if (!system || !ReadMenuItem(system, id, false, info, &text)) return std::nullopt;
    return ItemRecord{reinterpret_cast<uintptr_t>(system), TrimSpaces(text), info.fType & ~MFT_OWNERDRAW, false, id};
}

HWND VsNetMenu::Impl::ActiveMdiChild() {
    if (!mdiClient || !mdiSubclasser) return nullptr;
    const std::optional<LRESULT> active = mdiSubclasser->CallOrigWndProc(WM_MDIGETACTIVE, 0, 0);
    return active ? reinterpret_cast<HWND>(*active) : nullptr;
}

std::optional<LRESULT> VsNetMenu::Impl::MnemonicSearch(HMENU menu, wchar_t typed) const {
    std::vector<std::optional<std::wstring>> texts;
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        MENUITEMINFOW info;
        std::optional<ItemRecord> record;
        if (ReadMenuItem(menu, i, true, info, nullptr) && info.dwItemData > 0)
            record = FindRecord(info.dwItemData, info.wID, menu, false);
        if (record && !(record->type & MFT_SEPARATOR))
            texts.push_back(record->text);
        else
            texts.push_back(std::nullopt);
    }
    return FindMnemonic(texts, typed);
}

bool VsNetMenu::Impl::Measure(MEASUREITEMSTRUCT& item) {
    if (item.CtlType != ODT_MENU) return false;
    const std::optional<ItemRecord> record = FindRecord(item.itemData, item.itemID, nullptr, false);
    if (!record) {
        item.itemWidth = kUnknownItemWidth;
        return false;
    }
    const ItemText text = SplitItemText(record->text, record->bar);
    HFONT font = MenuFont();
    MeasureInput in;
    in.bar = record->bar;
    in.separator = (record->type & MFT_SEPARATOR) != 0;
    in.singleSpace = record->text == L" ";
    in.hasAccelerator = text.hasAccelerator;
    in.labelWidth = MeasureTextWidth(font, text.label);
    in.acceleratorWidth = text.hasAccelerator ? MeasureTextWidth(font, text.accelerator, DT_RIGHT) : 0;
    in.acceleratorChars = static_cast<int>(text.accelerator.size());
    in.icw = icw;
    const ItemSize size = MeasureMenuItem(in);
    item.itemWidth = static_cast<UINT>(size.width);
    item.itemHeight = static_cast<UINT>(size.height);
    return true;
}

void VsNetMenu::Impl::HotTrack(LPARAM lParam) {
    if (!menuBar || !GetMenu(host)) {
        hotBarItem = -1;
        return;
    }
    const int count = GetMenuItemCount(menuBar);
    const bool hotValid = hotBarItem >= 0 && hotBarItem < count;
    const int hit = static_cast<short>(LOWORD(lParam));
    if (hit != HTMENU && hit > 0) {
        if (hotValid) PaintBarItem(hotBarItem, false);
        hotBarItem = -1;
        return;
    }
    POINT cursor{};
    GetCursorPos(&cursor);
    const int item = MenuItemFromPoint(host, menuBar, cursor);
    if (item >= 0) {
        const int id = static_cast<short>(GetMenuItemID(menuBar, item) & 0xFFFF);
        if (id == kMdiMinimize || id == kMdiRestore || id == kMdiClose) {
            hotBarItem = -1;
            return;
        }
    }
    if (item < 0) {
        if (hotValid) PaintBarItem(hotBarItem, false);
        hotBarItem = -1;
        return;
    }
    if (hotValid && hotBarItem == item) return;
    if (hotValid) PaintBarItem(hotBarItem, false);
    PaintBarItem(item, true);
    hotBarItem = item;
}

void VsNetMenu::Impl::Teardown() {
    RestoreRecords();
    popups.clear();
    icons.clear();
    if (hostSubclasser) hostSubclasser->Unsubclass();
    if (mdiSubclasser) mdiSubclasser->Unsubclass();
    mdiClient = nullptr;
    menuBar = nullptr;
    if (CurrentMenuControl() == this) SetCurrentMenuControl(nullptr);
}

void VsNetMenu::Impl::Before(bool& handled, LRESULT& result, HWND& window, UINT& message, WPARAM& wParam,
                             LPARAM& lParam) {
    if (window == host || (mdiClient && window == mdiClient))
        HostMessage(handled, result, window, message, wParam, lParam);
    else
        PopupMessage(handled, result, window, message, wParam, lParam);
}

void VsNetMenu::Impl::HostMessage(bool& handled, LRESULT& result, HWND window, UINT message, WPARAM wParam,
                                  LPARAM lParam) {
    if (message == initMenuMsg && initMenuMsg != 0) {
        OnInitMenuMsg(handled, result, wParam, lParam);
        return;
    }
    switch (message) {
    case WM_SYSCOLORCHANGE: Recompute(); break;
    case WM_SETCURSOR: HotTrack(lParam); break;
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
        if (wParam != 0) break;
        if (HWND child = ActiveMdiChild(); child && SendMessageW(child, message, wParam, lParam) != 0) {
            handled = true;
            result = 1;
        } else if (message == WM_DRAWITEM ? DrawItem(*reinterpret_cast<DRAWITEMSTRUCT*>(lParam))
                                          : Measure(*reinterpret_cast<MEASUREITEMSTRUCT*>(lParam))) {
            handled = true;
            result = 1;
        }
        break;
    case WM_NCDESTROY:
        if (window == host) Teardown();
        break;
    case WM_NCCALCSIZE:
        if (!menuBar && window == host) {
            menuBar = GetMenu(host);
            if (menuBar) ConvertMenu(menuBar, true);
        }
        break;
    case WM_INITMENUPOPUP:
        if (const std::optional<LRESULT> previous = hostSubclasser->CallOrigWndProc(message, wParam, lParam)) {
            result = *previous;
            handled = true;
        }
        hotBarItem = -1;
        ConvertMenu(reinterpret_cast<HMENU>(wParam), false);
        break;
    case WM_MENUSELECT: OnMenuSelect(handled, window, wParam, lParam); break;
    case WM_MENUCHAR: {
        const auto menu = reinterpret_cast<HMENU>(lParam);
        if (HWND child = ActiveMdiChild()) {
            const LRESULT answer = SendMessageW(child, initMenuMsg, (wParam << 16) + kMnemonic, lParam);
            if (answer != 0) {
                handled = true;
                result = answer;
            }
            break;
        }
        if (const std::optional<LRESULT> found = MnemonicSearch(menu, static_cast<wchar_t>(LOWORD(wParam)))) {
            handled = true;
            result = *found;
        }
        break;
    }
    case WM_ENTERMENULOOP:
        if (HWND child = ActiveMdiChild();
            child && SendMessageW(child, initMenuMsg, kEnterLoop, reinterpret_cast<LPARAM>(menuBar)) == 1) {
            SendMessageW(child, initMenuMsg, kSetFrame, reinterpret_cast<LPARAM>(host));
            handled = true;
            result = 1;
        } else {
            inMenuLoop = true;
        }
        break;
    case WM_EXITMENULOOP:
        if (HWND child = ActiveMdiChild(); child && SendMessageW(child, initMenuMsg, kLeaveLoop, 0) == 1) {
            handled = true;
            result = 1;
        } else {
            inMenuLoop = false;
        }
        break;
    case WM_MDISETMENU:
        if (reinterpret_cast<HMENU>(wParam) != menuBar && wParam != 0) {
            RestoreRecords();
            menuBar = reinterpret_cast<HMENU>(wParam);
            ConvertMenu(menuBar, true);
        }
        break;
    default: break;
    }
}

void VsNetMenu::Impl::OnInitMenuMsg(bool& handled, LRESULT& result, WPARAM wParam, LPARAM lParam) {
    const UINT command = LOWORD(wParam);
    switch (command) {
    case kConvertPopup: ConvertMenu(reinterpret_cast<HMENU>(lParam), false); break;
    case kConvertBar: ConvertMenu(reinterpret_cast<HMENU>(lParam), true); break;
    case kLeaveLoop: inMenuLoop = false; break;
    case kEnterLoop:
        inMenuLoop = true;
        menuBar = reinterpret_cast<HMENU>(lParam);
        break;
    case kSetFrame: mdiFrame = reinterpret_cast<HWND>(lParam); break;
    case kMnemonic: {
        const std::optional<LRESULT> found =
            MnemonicSearch(reinterpret_cast<HMENU>(lParam), static_cast<wchar_t>(HIWORD(wParam)));
        handled = true;
        result = found ? *found : 0;
        return;
    }
    default: return;
    }
    handled = true;
    result = 1;
}

void VsNetMenu::Impl::OnMenuSelect(bool& handled, HWND window, WPARAM wParam, LPARAM lParam) {
    if (!popups.empty()) {
        HWND newest = popups.back().window;
        if (!IsWindowVisible(newest) && !repostedSelect) {
            // The popup is not placed yet: see the selection again once it is.
            repostedSelect = true;
            PostMessageW(window, WM_MENUSELECT, wParam, lParam);
            handled = true;
            return;
        }
    }
    repostedSelect = false;
    const auto menu = reinterpret_cast<HMENU>(lParam);
    const UINT item = LOWORD(wParam);
    const UINT flags = HIWORD(wParam);
    HMENU submenu = (flags & MF_POPUP) ? GetSubMenu(menu, item) : nullptr;
    lastSelection.submenu = submenu ? submenu : menu;
    if (flags & MF_SYSMENU) {
        lastSelection.menu = nullptr;
        lastSelection.known = true;
    } else if (menu) {
        HWND relativeTo = host;
        if (menu != menuBar && !popups.empty())
            relativeTo = popups.back().window;
        else if (menu == menuBar && (flags & kMenuSelectMarker) && mdiFrame)
            relativeTo = mdiFrame;
        // The bar's items are told by position; popup items by command unless they open a submenu.
        int position = static_cast<int>(item);
        if (!(flags & MF_POPUP) && menu != menuBar) {
            const int count = GetMenuItemCount(menu);
            for (int i = 0; i < count; ++i)
                if (GetMenuItemID(menu, i) == item) position = i;
        }
        RECT r{};
        if (GetMenuItemRect(relativeTo, menu, position, &r)) lastSelection.rect = r;
        MENUITEMINFOW info;
        lastSelection.rightJustified = ReadMenuItem(menu, position, true, info, nullptr) && (info.fType & MFT_RIGHTJUSTIFY);
        lastSelection.menu = menu;
        lastSelection.known = true;
    }
    if (HWND child = ActiveMdiChild())
        SendMessageW(child, WM_MENUSELECT, (wParam & 0x2000FFFF) | 0x02000000, lParam);
}

}  // namespace ostrel
