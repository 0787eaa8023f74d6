#include "menulib/toolbar_window.h"

#include <cwchar>

#include "menulib/button_window.h"
#include "menulib/controls.h"
#include "menulib/mem_dc.h"
#include "menulib/persistence.h"

namespace ostrel {

ToolbarWindow::~ToolbarWindow() {
    if (m_clip) DeleteObject(m_clip);
}

ToolbarWindow* ToolbarWindow::From(HWND window) {
    wchar_t name[32] = {};
    if (!window || !GetClassNameW(window, name, 32) || std::wcscmp(name, kToolBarClass) != 0) return nullptr;
    return reinterpret_cast<ToolbarWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

LRESULT CALLBACK ToolbarWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<ToolbarWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    switch (message) {
        case WM_NCCREATE: {
            self = new ToolbarWindow(window);
            SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
            const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
            if (create->lpCreateParams) self->props = *static_cast<const ToolbarProps*>(create->lpCreateParams);
            break;
        }
        case WM_CREATE:
            if (!self->props.enabled) EnableWindow(window, FALSE);
            return 0;
        case WM_ERASEBKGND: return 1;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(window, &ps);
            self->Draw(dc);
            EndPaint(window, &ps);
            return 0;
        }
        case WM_PRINTCLIENT: self->Draw(reinterpret_cast<HDC>(wParam)); return 0;
        case WM_SIZE: self->Redraw(); return 0;
        case WM_NCDESTROY: {
            HDC dc = GetDC(window);
            SelectClipRgn(dc, nullptr);
            ReleaseDC(window, dc);
            SetWindowLongPtrW(window, GWLP_USERDATA, 0);
            delete self;
            self = nullptr;
            break;
        }
        default: break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

PixelRect ToolbarWindow::Inner() const {
    RECT client{};
    GetClientRect(m_window, &client);
    return InnerArea(client.right, client.bottom, props.borderStyle, props.borderPart);
}

void ToolbarWindow::Draw(HDC dc) {
    SelectClipRgn(dc, nullptr);
    RECT r{};
    GetClientRect(m_window, &r);
    MemDC surface;
    surface.Init(r.right, r.bottom, nullptr, dc);
    surface.Cls(props.backColor);
    DrawEdge(dc, &r, static_cast<UINT>(props.borderStyle), static_cast<UINT>(props.borderPart & 0xFFFF));
    const PixelRect inner = Inner();
    if (m_clip) DeleteObject(m_clip);
    m_clip = CreateRectRgn(inner.left, inner.top, inner.right, inner.bottom);
    SelectClipRgn(dc, m_clip);
}

void ToolbarWindow::Redraw() {
    HDC dc = GetDC(m_window);
    Draw(dc);
    ReleaseDC(m_window, dc);
}

void ToolbarWindow::PassOn() {
    for (HWND child = GetWindow(m_window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        VsNetBut button(child);
        if (!button.IsValid()) continue;
        ButtonProps next = button.Props();
        next.enabled = props.enabled;
        next.office2003Style = props.office2003Style;
        button.Apply(next);
    }
}

// ---- VsToolBar ------------------------------------------------------------------------

namespace {
const ToolbarProps& DefaultToolbarProps() {
    static const ToolbarProps defaults;
    return defaults;
}
}  // namespace

bool VsToolBar::Create(HWND parent, int id, int x, int y, int width, int height, const ToolbarProps& props) {
    if (!RegisterControlClasses()) return false;
    m_window = CreateWindowExW(WS_EX_CONTROLPARENT, kToolBarClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, x, y,
                               width, height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                               LibraryInstance(), const_cast<ToolbarProps*>(&props));
    return m_window != nullptr;
}

HDC VsToolBar::hDC() const { return ToolbarWindow::From(m_window) ? GetDC(m_window) : nullptr; }

const ToolbarProps& VsToolBar::Props() const {
    const ToolbarWindow* w = ToolbarWindow::From(m_window);
    return w ? w->props : DefaultToolbarProps();
}

bool VsToolBar::BorderStyle(int style) const { return HasAllFlags(Props().borderStyle, style); }
bool VsToolBar::BorderPart(int part) const { return HasAllFlags(Props().borderPart, part); }

void VsToolBar::SetBorderStyle(int style, bool on) {
    if (ToolbarWindow* w = ToolbarWindow::From(m_window)) {
        w->props.borderStyle = WithFlags(w->props.borderStyle, style, on);
        w->Redraw();
    }
}
void VsToolBar::SetBorderPart(int part, bool on) {
    if (ToolbarWindow* w = ToolbarWindow::From(m_window)) {
        w->props.borderPart = WithFlags(w->props.borderPart, part, on);
        w->Redraw();
    }
}
void VsToolBar::SetOffice2003Style(bool on) {
    if (ToolbarWindow* w = ToolbarWindow::From(m_window)) {
        w->props.office2003Style = on;
        w->PassOn();
    }
}
void VsToolBar::SetEnabled(bool enabled) {
    if (ToolbarWindow* w = ToolbarWindow::From(m_window)) {
        w->props.enabled = enabled;
        EnableWindow(m_window, enabled);
        w->PassOn();
    }
}
void VsToolBar::SetBackColor(OleColor color) {
    if (ToolbarWindow* w = ToolbarWindow::From(m_window)) {
        w->props.backColor = color;
        w->Redraw();
    }
}
void VsToolBar::SetForeColor(OleColor color) {
    if (ToolbarWindow* w = ToolbarWindow::From(m_window)) {
        w->props.foreColor = color;
        w->Redraw();
    }
}
void VsToolBar::Draw() {
    if (ToolbarWindow* w = ToolbarWindow::From(m_window)) w->Redraw();
}
PixelRect VsToolBar::InnerArea() const {
    const ToolbarWindow* w = ToolbarWindow::From(m_window);
    return w ? w->Inner() : PixelRect{};
}

void VsToolBar::ReadProperties(PropertyBag& bag) {
    if (ToolbarWindow* w = ToolbarWindow::From(m_window)) {
        w->props = ReadToolbarProps(bag);
        // Contained buttons follow the container's Enabled again.
        SetEnabled(w->props.enabled);
        w->Redraw();
    }
}
void VsToolBar::WriteProperties(PropertyBag& bag) const { WriteToolbarProps(Props(), bag); }

}  // namespace ostrel
