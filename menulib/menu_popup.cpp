// Popup menu windows: the system frame is taken away and replaced by a flat border, a gap
// where the popup joins its bar item and a soft shadow blended into what the screen showed
// below the popup. The frame image is made once per popup window and reused for every paint.
#include <array>

#include "menulib/menu_control.h"

namespace ostrel {

namespace {

constexpr LONG_PTR kStrippedExStyle = WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
constexpr ULONG_PTR kDropShadowClassStyle = 0x20000;
constexpr OleColor kSysWindow = kSystemColorFlag | COLOR_WINDOW;
constexpr OleColor kSysButtonShadow = kSystemColorFlag | COLOR_BTNSHADOW;

PixelRect ToPixelRect(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

}  // namespace

VsNetMenu::Impl::Popup* VsNetMenu::Impl::FindPopup(HWND window) {
    for (Popup& p : popups)
        if (p.window == window) return &p;
    return nullptr;
}

void VsNetMenu::Impl::AttachPopup(HWND popup) {
    if (!inMenuLoop) return;
    if (!FindPopup(popup)) {
        Popup fresh;
        fresh.window = popup;
        fresh.subclasser = std::make_unique<SubclassingThunk>();
        if (!fresh.subclasser->Subclass(popup, Unowned<SubclassingSink>(this), true, true)) return;
        const std::array<UINT, 7> messages = {WM_ERASEBKGND, WM_NCCALCSIZE, WM_NCPAINT,  WM_WINDOWPOSCHANGING,
                                              WM_PRINT,      WM_SHOWWINDOW, WM_DESTROY};
        fresh.subclasser->AddBeforeMsgs(messages);
        popups.push_back(std::move(fresh));
    }
    SetWindowLongPtrW(popup, GWL_EXSTYLE, GetWindowLongPtrW(popup, GWL_EXSTYLE) & ~kStrippedExStyle);
    SetWindowLongPtrW(popup, GWL_STYLE, GetWindowLongPtrW(popup, GWL_STYLE) & ~static_cast<LONG_PTR>(WS_BORDER));
    // Our shadow replaces the system's.
    const ULONG_PTR classStyle = GetClassLongPtrW(popup, GCL_STYLE);
    if (classStyle & kDropShadowClassStyle) SetClassLongPtrW(popup, GCL_STYLE, classStyle & ~kDropShadowClassStyle);
    SetWindowPos(popup, nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE);
}

void VsNetMenu::Impl::RemovePopup(HWND window) {
    for (auto it = popups.begin(); it != popups.end(); ++it) {
        if (it->window == window) {
            popups.erase(it);
            return;
        }
    }
}

void VsNetMenu::Impl::PopupMessage(bool& handled, LRESULT& result, HWND window, UINT message, WPARAM wParam,
                                   LPARAM lParam) {
    Popup* popup = FindPopup(window);
    if (!popup) return;
    switch (message) {
    case WM_WINDOWPOSCHANGING: PlacePopupWindow(window, *reinterpret_cast<WINDOWPOS*>(lParam)); break;
    case WM_NCCALCSIZE: {
        // The first rectangle is the proposed window rectangle in both forms of the message.
        RECT& first = *reinterpret_cast<RECT*>(lParam);
        const RECT client{first.left + kPopupClientInsets.left, first.top + kPopupClientInsets.top,
                          first.right - kPopupClientInsets.right, first.bottom - kPopupClientInsets.bottom};
        if (wParam) reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[2] = client;
        first = client;
        handled = true;
        result = 0;
        break;
    }
    case WM_NCPAINT: {
        RECT bounds{};
        GetWindowRect(window, &bounds);
        HDC dc = GetWindowDC(window);
        if (dc) {
            ExcludeClipRect(dc, 1, 2, bounds.right - bounds.left - 6, bounds.bottom - bounds.top - 4);
            FrameImage(*popup).BitBlt(dc, 0, 0);
            ReleaseDC(window, dc);
        }
        handled = true;
        result = 0;
        break;
    }
    case WM_ERASEBKGND:
        FrameImage(*popup).BitBlt(reinterpret_cast<HDC>(wParam), -kPopupClientInsets.left, -kPopupClientInsets.top);
        handled = true;
        result = 1;
        break;
    case WM_PRINT: {
        HDC dc = reinterpret_cast<HDC>(wParam);
        FrameImage(*popup).BitBlt(dc, 0, 0);
        POINT previous{};
        OffsetViewportOrgEx(dc, kPopupClientInsets.left, kPopupClientInsets.top, &previous);
        result = popup->subclasser->CallOrigWndProc(WM_PRINTCLIENT, wParam, lParam).value_or(0);
        SetViewportOrgEx(dc, previous.x, previous.y, nullptr);
        SelectClipRgn(dc, nullptr);
        handled = true;
        break;
    }
    case WM_SHOWWINDOW:
    case WM_DESTROY:
        if (message == WM_SHOWWINDOW && wParam != 0) break;
        result = popup->subclasser->CallOrigWndProc(message, wParam, lParam).value_or(0);
        handled = true;
        RemovePopup(window);  // detaches from inside this call, which the subclasser allows
        break;
    default: break;
    }
}

void VsNetMenu::Impl::PlacePopupWindow(HWND window, WINDOWPOS& pos) {
    if (pos.flags & SWP_NOMOVE) return;
    if (lastSelection.known && lastSelection.menu) {
        RECT bounds{};
        GetWindowRect(window, &bounds);
        PlacementInput in;
        in.x = pos.x;
        in.y = pos.y;
        // A popup being shown may still have its creation size: the size it is about to get counts.
        in.width = (pos.flags & SWP_NOSIZE) ? bounds.right - bounds.left : pos.cx;
        in.height = (pos.flags & SWP_NOSIZE) ? bounds.bottom - bounds.top : pos.cy;
        in.fromBar = lastSelection.menu == menuBar;
        in.item = ToPixelRect(lastSelection.rect);
        in.rightJustified = lastSelection.rightJustified;
        in.screenWidth = GetSystemMetrics(SM_CXSCREEN);
        in.screenHeight = GetSystemMetrics(SM_CYSCREEN);
        const Placement placed = PlacePopup(in);
        pos.x = placed.x;
        pos.y = placed.y;
        if (in.fromBar && in.rightJustified) popupExtendsRight = placed.extendsRight;
    }
    popupPosition = {pos.x, pos.y};
}

MemDC& VsNetMenu::Impl::FrameImage(Popup& popup) {
    if (popup.frame) return *popup.frame;
    popup.frame = std::make_unique<MemDC>();
    MemDC& image = *popup.frame;
    RECT bounds{};
    GetWindowRect(popup.window, &bounds);
    const int width = bounds.right - bounds.left;
    const int height = bounds.bottom - bounds.top;
    if (!image.Init(width, height)) return image;
    {
        MemDC desktop;
        HWND desktopWindow = GetDesktopWindow();
        desktop.Init(width, height, nullptr, GetDC(desktopWindow));
        image.LoadBlt(desktop.Hdc(), popupPosition.x, popupPosition.y);
        ReleaseDC(desktopWindow, desktop.Hdc());
    }

    // The joint: the highlighted bar item whose submenu this popup shows.
    std::optional<JointInput> joint;
    const int barCount = menuBar ? GetMenuItemCount(menuBar) : 0;
    for (int i = 0; i < barCount && !joint; ++i) {
        MENUITEMINFOW info;
        if (!ReadMenuItem(menuBar, i, true, info, nullptr) || !(info.fState & MFS_HILITE) ||
            info.hSubMenu != lastSelection.submenu || !info.hSubMenu)
            continue;
        RECT d{}, first{}, last{};
        const int count = GetMenuItemCount(info.hSubMenu);
        if (!GetMenuItemRect(mdiFrame ? mdiFrame : host, menuBar, i, &d) || count <= 0 ||
            !GetMenuItemRect(nullptr, info.hSubMenu, 0, &first) ||
            !GetMenuItemRect(nullptr, info.hSubMenu, count - 1, &last))
            continue;
        joint = JointInput{ToPixelRect(d),
                           first.top,
                           last.bottom,
                           GetSystemMetrics(SM_CYSCREEN),
                           (info.fType & MFT_RIGHTJUSTIFY) != 0,
                           popupExtendsRight,
                           bounds.left == d.left};
    }
    const PopupFrame f = LayoutPopupFrame(width, height, frameWidth, joint);

    image.Rectangle(0, 0, f.lim, f.b, kSysWindow, nullptr, BorderColor());
    image.FillRect(1, 2, icw + 4, f.k + 1, props.colors.menuBack);
    if (f.jointErase) {
        const PixelRect& e = *f.jointErase;
        image.FillRect(e.left, e.top, e.right, e.bottom, props.colors.menuBack);
    }
    if (lowColor) {
        image.FillRect(f.c, f.b, f.e, f.k + 5, kSysButtonShadow);
        image.FillRect(f.lim, 3, f.g + 3, f.b, kSysButtonShadow);
        return image;
    }
    for (int i = 0; i < 3; ++i) {
        for (int x = f.c; x <= f.e; ++x) Shade(image, x, f.b + i, BottomShadowWeight(f, i, x));
        for (int y = f.rightBandFromTop ? 1 : 3; y <= f.n; ++y) Shade(image, f.lim + i, y, RightShadowWeight(f, i, y));
    }
    return image;
}

}  // namespace ostrel
