// Painting of the menu items: bar items, bar separators and popup items in the XP and the
// Office 2003 look, the four icon variants, and bar items painted hot or normal by tracking.
// Each item is drawn off-screen and copied in one step, so nothing flickers.
#include "menulib/menu_control.h"

namespace ostrel {

namespace {

constexpr OleColor kMagenta = Rgb(255, 0, 255);
constexpr OleColor kSysButtonShadow = kSystemColorFlag | 16;
constexpr OleColor kSilhouette2003 = Rgb(166, 196, 239);
constexpr OleColor kSilhouetteXP = Rgb(129, 129, 156);

UINT LastItemId(HMENU menu) {
    const int count = GetMenuItemCount(menu);
    MENUITEMINFOW info;
    return count > 0 && ReadMenuItem(menu, count - 1, true, info, nullptr) ? info.wID : 0xFFFFFFFFu;
}

void FillColumns(MemDC& dc, const std::vector<Column>& columns, OleColor color) {
    for (const Column& c : columns) dc.FillRect(c.x, c.top, c.x + 1, c.bottom, color);
}

// Viewport moved so the item's own coordinates address the off-screen copy.
void ShiftOrigin(MemDC& dc, int left, int top) { SetViewportOrgEx(dc.Hdc(), -left, -top, nullptr); }

}  // namespace

OleColor VsNetMenu::Impl::Translate(OleColor color) const { return MemDC().TranslateColor(color); }

OleColor VsNetMenu::Impl::PopupBack() const {
    return props.useOffice2003Style ? props.colors.menuPopupBack2003 : props.colors.menuPopupBack;
}
OleColor VsNetMenu::Impl::BorderColor() const {
    return props.useOffice2003Style ? props.colors.menuBorder2003 : props.colors.menuBorder;
}
OleColor VsNetMenu::Impl::ShadowColor() const {
    return props.useOffice2003Style ? props.colors.menuShadow2003 : props.colors.menuShadow;
}

void VsNetMenu::Impl::Shade(MemDC& dc, int x, int y, int weight) const {
    const OleColor under = dc.GetPixel(x, y);
    if (under == CLR_INVALID) return;
    dc.SetPixel(x, y, MenuBlend(Translate(ShadowColor()), under, weight));
}

bool VsNetMenu::Impl::DrawItem(const DRAWITEMSTRUCT& item) {
    if (item.CtlType != ODT_MENU) return false;
    const auto menu = reinterpret_cast<HMENU>(item.hwndItem);
    const std::optional<ItemRecord> record = FindRecord(item.itemData, item.itemID, menu, true);
    if (!record) return false;
    const UINT state = ItemMenuState(menu, item.itemID, item.itemData);
    const RECT& r = item.rcItem;
    const int width = r.right - r.left + 3;
    const int height = r.bottom - r.top + 1;
    MemDC dc;
    if (!dc.Init(width, height, item.hDC)) return false;
    dc.LoadBlt(item.hDC, r.left, r.top);
    ShiftOrigin(dc, r.left, r.top);
    dc.SetBackStyle(TRANSPARENT);
    SelectObject(dc.Hdc(), MenuFont());
    if (record->bar)
        DrawBarItem(dc, *record, r, item.itemState, state);
    else
        DrawPopupItem(dc, *record, item, state);
    ShiftOrigin(dc, 0, 0);
    dc.BitBlt(item.hDC, r.left, r.top, width, height);
    // The system must not draw its own check or arrow over ours.
    ExcludeClipRect(item.hDC, r.left, r.top, r.right, r.bottom);
    return true;
}

void VsNetMenu::Impl::DrawBarItem(MemDC& dc, const ItemRecord& record, const RECT& r, UINT odState, UINT menuState) {
    const MenuColors& c = props.colors;
    hotBarItem = -1;
    if (record.text == L" ") {
        for (const Row& dash : BarSeparatorDashes({r.left, r.top, r.right, r.bottom}))
            dc.FillRect(dash.left, dash.y, dash.right, dash.y + 1, c.mainSeprator);
        return;
    }
    const bool office = props.useOffice2003Style;
    const int right = ClassifyBarText(record.text) == BarItemKind::RightJustified ? r.right - kRightJustifiedInset
                                                                                   : r.right;
    const bool grayed = (menuState & kStateGrayed) != 0;
    const bool open = (odState & ODS_SELECTED) != 0;
    dc.FillRect(r.left, r.top, right + 3, r.bottom, c.menuBarBack);
    OleColor fore = grayed ? c.disabledMenuFore : c.menuFore;
    if (!grayed && open) {
        if (office)
            dc.FillGradient(r.left, r.top, right, r.bottom, c.menuBarStar, c.menuBarEnd, true, true, c.menuBorder2003);
        else
            dc.Rectangle(r.left, r.top, right, r.bottom, c.menuBack, nullptr, c.menuBorder);
    } else if (!grayed && (odState & ODS_HOTLIGHT)) {
        dc.Rectangle(r.left, r.top, right, r.bottom, c.selMenuBack, nullptr, c.selMenuBorder);
        fore = c.selMenuFore;
    }
    dc.SetForeColor(fore);
    RECT textRect{r.left, r.top, right, r.bottom};
    dc.DrawText(TrimSpaces(record.text), textRect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    if (!open) return;
    if (lowColor) {
        dc.FillRect(right, r.top + 3, right + 2, r.bottom, kSysButtonShadow);
    } else if (!grayed) {
        for (int k = 0; k < 3; ++k)
            for (int y = r.top + 3; y < r.bottom; ++y) Shade(dc, right + k, y, BarShadowWeight(k));
    }
}

void VsNetMenu::Impl::DrawPopupItem(MemDC& dc, const ItemRecord& record, const DRAWITEMSTRUCT& item, UINT menuState) {
    const MenuColors& c = props.colors;
    const bool office = props.useOffice2003Style;
    const int L = item.rcItem.left, T = item.rcItem.top, R = item.rcItem.right, B = item.rcItem.bottom;
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    const bool grayed = (menuState & kStateGrayed) != 0;
    const bool disabled = (menuState & kStateDisabled) != 0;
    const bool checked = (menuState & kStateChecked) != 0;
    const bool separator = (record.type & MFT_SEPARATOR) != 0;
    const ItemText text = SplitItemText(record.text, false);

    Picture picture = WindowCommandPicture(static_cast<short>(item.itemID & 0xFFFF));
    OleColor mask = kWindowCommandMask;
    if (!separator) {
        if (const MenuIcon* icon = IconForLabel(text.label)) {
            picture = icon->picture;
            mask = icon->mask;
        }
    }
    std::unique_ptr<MemDC> iconSurface;
    if (picture) {
        const IconVariant variant = disabled  ? IconVariant::Silhouette
                                    : checked ? IconVariant::Plain
                                    : selected ? IconVariant::Raised
                                               : IconVariant::Faded;
        iconSurface = MakeIconSurface(picture, mask, variant);
    }

    if (office)
        dc.FillGradient(L, T, L + icw, B, c.menuBarStar, c.menuBarEnd);
    else
        dc.FillRect(L, T, L + icw, B, c.menuBack);
    if (LastItemId(reinterpret_cast<HMENU>(item.hwndItem)) == item.itemID) dc.FillRect(L, B - 1, R - 1, B, PopupBack());
    dc.FillRect(L + icw, T, R - 1, B, PopupBack());
    dc.FillRect(R - 1, T, R, B, BorderColor());
    if (separator) {
        const int m = (T + B) / 2;
        dc.FillRect(L + icw + 10, m - 1, R, m, BorderColor());
        return;
    }

    OleColor fore = c.menuFore;
    if (grayed) {
        fore = c.disabledMenuFore;
        if (selected && props.selectDisabled)
            dc.Rectangle(L + 1, T, R - 2, B - 1, c.disabledMenuBack, nullptr, c.disabledMenuBorder);
    } else if (selected) {
        fore = c.selMenuFore;
        dc.Rectangle(L + 1, T, R - 2, B - 1, office ? c.selMenuBack2003 : c.selMenuBack, nullptr, c.selMenuBorder);
    }
    if (checked) {
        OleColor fill = office ? c.checkBack2003 : c.checkBack;
        OleColor border = c.selMenuBorder;
        if (disabled) {
            fill = c.disabledMenuBack;
            border = c.disabledMenuBorder;
        } else if (selected) {
            fill = office ? c.selCheckBack2003 : c.selCheckBack;
        }
        if (office)
            dc.FillGradient(L + 1, T + 1, L + icw - 1, B - 2, c.menuBarStar, fill, false, true, border);
        else
            dc.Rectangle(L + 1, T + 1, L + icw - 1, B - 2, fill, nullptr, border);
    }
    if (iconSurface) {
        const int offset = IconOffset(icw, props.bitmapSize);
        const int size = props.bitmapSize + 2;
        iconSurface->TransBlt(dc.Hdc(), L + offset, T + offset, size, size, 0, 0, kMagenta);
    } else if (checked) {
        FillColumns(dc, CheckMarkColumns(L, T, icw), c.checkFore);
    }
    dc.SetForeColor(fore);
    RECT textRect{L + icw + 8, T, R - 12, B - 1};
    dc.DrawText(text.label, textRect, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
    if (text.hasAccelerator) {
        RECT acceleratorRect{L + icw + 8, T, R - 12, B - 1};
        dc.DrawText(text.accelerator, acceleratorRect, DT_RIGHT | DT_VCENTER | DT_SINGLELINE);
    }
    if (menuState & kStatePopup) FillColumns(dc, SubmenuArrowColumns(T, B, R), fore);
}

std::unique_ptr<MemDC> VsNetMenu::Impl::MakeIconSurface(const Picture& picture, OleColor mask, IconVariant variant) {
    const int size = props.bitmapSize + 2;
    auto surface = std::make_unique<MemDC>();
    if (!surface->Init(size, size)) return nullptr;
    MemDC& s = *surface;
    s.Cls(kMagenta);
    const SIZE pictureSize = picture.PixelSize();
    const bool shifted = variant == IconVariant::Raised || variant == IconVariant::Silhouette;
    const PixelPoint at = IconPicturePlace(size, pictureSize.cx, pictureSize.cy, shifted);
    s.PaintPicture(picture, at.x, at.y, 0, 0, 0, 0, SRCCOPY, picture.Type() == PictureType::Bitmap ? mask : kNoColor);
    const OleColor menuBack = Translate(props.colors.menuBack);
    switch (variant) {
    case IconVariant::Plain: break;
    case IconVariant::Faded:
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x)
                if (const OleColor p = s.GetPixel(x, y); p != kMagenta) s.SetPixel(x, y, MenuBlend(menuBack, p, 70));
        break;
    case IconVariant::Raised: {
        const OleColor shadow = MenuBlend(Translate(props.colors.selMenuBack), Translate(kSysButtonShadow), 70);
        // Bottom-right first, so a new shadow pixel is never taken for part of the picture.
        for (int x = size; x >= 2; --x)
            for (int y = size; y >= 2; --y)
                if (s.GetPixel(x, y) == kMagenta && s.GetPixel(x - 2, y - 2) != kMagenta) s.SetPixel(x, y, shadow);
        break;
    }
    case IconVariant::Silhouette: {
        const int threshold = MenuLuminance(menuBack);
        const OleColor dark = props.useOffice2003Style ? kSilhouette2003 : kSilhouetteXP;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x)
                if (const OleColor p = s.GetPixel(x, y); p != kMagenta)
                    s.SetPixel(x, y, MenuLuminance(p) < threshold ? dark : kMagenta);
        break;
    }
    }
    return surface;
}

void VsNetMenu::Impl::PaintBarItem(int position, bool hot) {
    if (!menuBar || !host) return;
    RECT item{};
    RECT window{};
    if (!GetMenuItemRect(host, menuBar, position, &item) || !GetWindowRect(host, &window)) return;
    OffsetRect(&item, -window.left, -window.top);
    MENUITEMINFOW info;
    std::wstring text;
    if (!ReadMenuItem(menuBar, position, true, info, &text)) return;
    std::optional<ItemRecord> record = FindRecord(info.dwItemData, info.wID, menuBar, true);
    if (!record) record = ItemRecord{reinterpret_cast<uintptr_t>(menuBar), text, info.fType, true, info.wID};
    if (record->text == L" ") return;
    const MenuColors& c = props.colors;
    const int L = item.left, T = item.top, B = item.bottom;
    const int R = ClassifyBarText(record->text) == BarItemKind::RightJustified ? item.right - kRightJustifiedInset
                                                                                : item.right;
    const bool grayed = (info.fState & MFS_GRAYED) != 0;
    HDC windowDc = GetWindowDC(host);
    if (!windowDc) return;
    MemDC dc;
    if (dc.Init(R - L, B - T + 1, windowDc)) {
        dc.LoadBlt(windowDc, L, T);
        ShiftOrigin(dc, L, T);
        dc.SetBackStyle(TRANSPARENT);
        SelectObject(dc.Hdc(), MenuFont());
        RECT textRect{L, T, R, B};
        if (hot) {
            if (!grayed) {
                if (props.useOffice2003Style)
                    dc.FillGradient(L, T, R, B, c.mainHoveStar, c.mainHoveEnd, true, true, c.selMenuBorder);
                else
                    dc.Rectangle(L, T, R, B, c.selMenuBack, nullptr, c.selMenuBorder);
            }
            textRect = {L + 1, T + 1, R - 1, B - 1};
        } else if (!grayed) {
            dc.FillRect(L, T, R, B, c.menuBarBack);
        }
        dc.SetForeColor(grayed ? c.disabledMenuFore : c.menuFore);
        dc.DrawText(TrimSpaces(record->text), textRect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        ShiftOrigin(dc, 0, 0);
        dc.BitBlt(windowDc, L, T);
    }
    ReleaseDC(host, windowDc);
}

Picture WindowCommandPicture(int commandId) {
    enum class Glyph { None, Minimize, Maximize, Next, Close, Restore } glyph = Glyph::None;
    switch (commandId) {
    case -4064:
    case -4063: glyph = Glyph::Minimize; break;
    case -4048: glyph = Glyph::Maximize; break;
    case -4032: glyph = Glyph::Next; break;
    case -4000:
    case -3999: glyph = Glyph::Close; break;
    case -3808:
    case -3807: glyph = Glyph::Restore; break;
    default: return {};
    }
    MemDC dc;
    if (!dc.Init(16, 16)) return {};
    dc.Cls(kWindowCommandMask);
    const OleColor ink = Rgb(0, 0, 0);
    auto box = [&](int l, int t, int r, int b) {
        dc.Rectangle(l, t, r, b, kNoColor, nullptr, ink);
        dc.FillRect(l, t + 1, r, t + 2, ink);  // the caption bar of a little window
    };
    switch (glyph) {
    case Glyph::Minimize: dc.FillRect(4, 11, 11, 13, ink); break;
    case Glyph::Maximize: box(3, 2, 13, 12); break;
    case Glyph::Restore:
        box(5, 2, 13, 9);
        dc.FillRect(3, 6, 11, 13, kWindowCommandMask);
        box(3, 6, 11, 13);
        break;
    case Glyph::Close:
        for (int i = 0; i < 8; ++i) {
            dc.FillRect(4 + i, 4 + i, 6 + i, 5 + i, ink);
            dc.FillRect(10 - i, 4 + i, 12 - i, 5 + i, ink);
        }
        break;
    case Glyph::Next: FillColumns(dc, SubmenuArrowColumns(1, 16, 18), ink); break;
    case Glyph::None: break;
    }
    // The picture takes the bitmap over; the surface lets go of it.
    HBITMAP bitmap = CreateCompatibleBitmap(dc.Hdc(), 16, 16);
    HDC copy = CreateCompatibleDC(dc.Hdc());
    HGDIOBJ previous = SelectObject(copy, bitmap);
    dc.BitBlt(copy, 0, 0, 16, 16);
    SelectObject(copy, previous);
    DeleteDC(copy);
    return Picture::FromBitmap(bitmap);
}

}  // namespace ostrel
