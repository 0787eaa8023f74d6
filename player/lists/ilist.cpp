#include "player/lists/ilist.h"

#include <windowsx.h>

#include <algorithm>
#include <cmath>

#include "toolkit/form.h"

namespace velmora::lists {

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr int32_t kDropEffectCopy = 1;  // DROPEFFECT_COPY

int ShiftState(WPARAM keys) {
    return ((keys & MK_SHIFT) ? 1 : 0) | ((keys & MK_CONTROL) ? 2 : 0) |
           (GetKeyState(VK_MENU) < 0 ? 4 : 0);
}

int KeyboardShift() {
    return (GetKeyState(VK_SHIFT) < 0 ? 1 : 0) | (GetKeyState(VK_CONTROL) < 0 ? 2 : 0) |
           (GetKeyState(VK_MENU) < 0 ? 4 : 0);
}

// The pointer shapes a host can pick by number; 99 is the control's own MouseIcon.
const wchar_t* PointerCursor(int32_t pointer) {
    switch (pointer) {
        case 2: return IDC_CROSS;
        case 3: return IDC_IBEAM;
        case 5: case 15: return IDC_SIZEALL;
        case 6: return IDC_SIZENESW;
        case 7: return IDC_SIZENS;
        case 8: return IDC_SIZENWSE;
        case 9: return IDC_SIZEWE;
        case 10: return IDC_UPARROW;
        case 11: return IDC_WAIT;
        case 12: return IDC_NO;
        case 13: return IDC_APPSTARTING;
        case 14: return IDC_HELP;
        default: return IDC_ARROW;
    }
}

}  // namespace

IList::IList() {
    m_foreColor = GetSysColor(COLOR_BTNTEXT);
}

bool IList::Create(HWND parent, int x, int y, int width, int height, int id) {
    if (!CreateWindowOf(kClassName, 0, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_TABSTOP, L"", x,
                        y, width, height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                        nullptr, CS_DBLCLKS))
        return false;
    DragAcceptFiles(Handle(), TRUE);
    // The font starts as the host's.
    LOGFONTW font{};
    const auto hostFont = reinterpret_cast<HFONT>(SendMessageW(parent, WM_GETFONT, 0, 0));
    if (!hostFont || !GetObjectW(hostFont, sizeof font, &font)) {
        const toolkit::FontHandle ui = toolkit::CreateUiFont(9);
        GetObjectW(ui.get(), sizeof font, &font);
    }
    SetFont(font);
    if (!m_scroll.Create(Handle(), std::max(width - m_scroll.Width(), 0), 0, height)) return false;
    m_scroll.OnChange([this] { Redraw(); });
    m_scroll.OnScroll([this] { Redraw(); });
    Resized(width, height);
    return true;
}

void IList::AddItem(std::wstring caption, std::wstring text, int32_t icon) {
    m_items.push_back(CItem{std::move(text), std::move(caption), icon});
    UpdateScrollRange();
}

void IList::Remove(int32_t position) {
    if (position >= 1 && position <= Count()) m_items.erase(m_items.begin() + (position - 1));
    Redraw();
}

void IList::Clear() { m_items = {}; }

const CItem* IList::Item(int32_t position) const {
    if (position < 1 || position > Count()) return nullptr;
    return &m_items[static_cast<size_t>(position - 1)];
}

void IList::SetCaption(int32_t index, std::wstring caption) {
    if (index >= 1 && index <= Count()) m_items[static_cast<size_t>(index - 1)].Caption = std::move(caption);
    DrawItem(index);
}

void IList::SetText(int32_t index, std::wstring text) {
    if (index >= 1 && index <= Count()) m_items[static_cast<size_t>(index - 1)].Text = std::move(text);
    DrawItem(index);
}

void IList::SetPos(int32_t captionX, int32_t captionY, int32_t textX, int32_t textY, int32_t iconX,
                   int32_t iconY) {
    m_layout = {captionX, captionY, textX, textY, iconX, iconY};
    Redraw();
}

void IList::SetSelected(int32_t position) {
    position = ClampSelection(position, Count());
    if (position == m_selected) return;
    const int32_t old = m_selected;
    m_selected = position;
    const RECT oldRow = RowRect(old);
    FillSolid(m_buffer.Dc(), oldRow, kWhite);
    Invalidate(oldRow);
    DrawItem(old);
    DrawItem(position);
    if (m_events.OnSelect) m_events.OnSelect();
}

bool IList::IsVisible(int32_t index) const {
    return IsItemVisible(index, m_scroll.Value(), VisibleRows(SurfaceHeight(), m_itemHeight));
}

void IList::ScrollTo(int32_t index) {
    if (!m_scroll.Visible()) return;
    m_scroll.SetValue(ScrollToValue(index, Count(), VisibleRows(SurfaceHeight(), m_itemHeight)));
}

void IList::UpdateScrollRange() {
    m_scroll.SetMax(ListScrollMax(Count(), FullRows(SurfaceHeight(), m_itemHeight)));
    if (m_scroll.Max() <= 0) {
        m_scroll.SetMax(0);
        m_scroll.SetVisible(false);
    } else {
        m_scroll.SetVisible(true);
    }
}

void IList::Redraw() {
    if (m_selected == 0 && Count() > 0) SetSelected(1);
    UpdateScrollRange();
    FillSolid(m_buffer.Dc(), RECT{0, 0, SurfaceWidth(), SurfaceHeight()}, kWhite);
    const ItemRange range = RedrawRange(Count(), m_scroll.Value(), SurfaceHeight(), m_itemHeight);
    for (int32_t index = range.first; index <= range.last; ++index) DrawItem(index);
    Invalidate(RECT{0, 0, SurfaceWidth(), SurfaceHeight()});
    m_scrollPending = false;
}

RECT IList::RowRect(int32_t index) const {
    const int top = RowTop(index, m_scroll.Value(), m_itemHeight);
    return RECT{0, top, SurfaceWidth(), top + m_itemHeight};
}

void IList::Invalidate(const RECT& area) {
    if (Handle()) InvalidateRect(Handle(), &area, FALSE);
}

// Each step that has nothing to draw (no such item, no image list, no such picture) is
// skipped and the next one runs.
void IList::DrawItem(int32_t index) {
    HDC dc = m_buffer.Dc();
    if (!dc) return;
    const RECT row = RowRect(index);
    if (index == m_selected) {
        m_foreColor = GetSysColor(COLOR_HIGHLIGHTTEXT);
        FillSolid(dc, row, GetSysColor(COLOR_HIGHLIGHT));
    } else {
        m_foreColor = GetSysColor(COLOR_BTNTEXT);
    }
    Invalidate(row);
    const CItem* item = Item(index);
    if (!item) return;
    PrintAt(m_layout.captionX, row.top + m_layout.captionY, item->Caption);
    PrintAt(m_layout.textX, row.top + m_layout.textY, item->Text);
    if (m_imageList && item->Icon >= 1 && item->Icon <= ImageList_GetImageCount(m_imageList))
        ImageList_Draw(m_imageList, item->Icon - 1, dc, m_layout.iconX, row.top + m_layout.iconY,
                       ILD_TRANSPARENT);
}

void IList::PrintAt(int x, int y, const std::wstring& text) {
    MoveTo(x, y);
    TextOut(text);
}

void IList::MoveTo(int x, int y) { MoveToEx(m_buffer.Dc(), x, y, nullptr); }

void IList::LineTo(int x, int y, COLORREF color) {
    HDC dc = m_buffer.Dc();
    POINT from{};
    GetCurrentPositionEx(dc, &from);
    const toolkit::UniqueHandle<HPEN, toolkit::GdiObjectDeleter> pen(CreatePen(PS_SOLID, 1, color));
    {
        toolkit::SelectScope select(dc, pen.get());
        ::LineTo(dc, x, y);
    }
    Invalidate(RECT{std::min<int>(from.x, x), std::min<int>(from.y, y), std::max<int>(from.x, x) + 1,
                    std::max<int>(from.y, y) + 1});
}

void IList::TextOut(const std::wstring& text) {
    HDC dc = m_buffer.Dc();
    POINT at{};
    GetCurrentPositionEx(dc, &at);
    SetTextColor(dc, m_foreColor);
    ExtTextOutW(dc, at.x, at.y, 0, nullptr, text.c_str(), static_cast<UINT>(text.size()), nullptr);
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    Invalidate(RECT{at.x, at.y, at.x + size.cx, at.y + size.cy});
}

void IList::Rectangle(int x, int y, int width, int height, COLORREF color) {
    const RECT area{x, y, x + width, y + height};
    FillSolid(m_buffer.Dc(), area, color);
    Invalidate(area);
}

void IList::SetFont(const LOGFONTW& font) {
    m_logFont = font;
    // Rows are always drawn in the regular weight.
    LOGFONTW regular = font;
    regular.lfWeight = FW_NORMAL;
    toolkit::FontHandle created(CreateFontIndirectW(&regular));
    if (!created) return;
    if (m_buffer.Dc()) SelectObject(m_buffer.Dc(), created.get());
    m_font = std::move(created);
}

void IList::Resized(int width, int height) {
    m_buffer.Resize(width, height);
    HDC dc = m_buffer.Dc();
    SetBkMode(dc, TRANSPARENT);
    if (m_font) SelectObject(dc, m_font.get());
    Redraw();
    m_scroll.Move(SurfaceWidth() - m_scroll.Width(), 0, m_scroll.Width(), SurfaceHeight());
    UpdateScrollRange();
}

void IList::HandleKey(int keyCode, int shift) {
    if (m_events.KeyDown) m_events.KeyDown(keyCode, shift);
    if (m_scrollPending) return;
    if (keyCode == kKeyUp) {
        if (m_selected > 1) SetSelected(m_selected - 1);
        if (!IsVisible(m_selected) && m_scroll.Value() > 0) {
            m_scrollPending = true;
            m_scroll.SetValue(m_scroll.Value() - 1);
        }
    } else if (keyCode == kKeyDown) {
        if (m_selected < Count()) SetSelected(m_selected + 1);
        if (!IsVisible(m_selected) && m_scroll.Value() < m_scroll.Max()) {
            m_scrollPending = true;
            m_scroll.SetValue(m_scroll.Value() + 1);
        }
    }
}

void IList::AutoScrollTick() {
    if (m_autoScrollDir == AutoScroll::Up) HandleKey(kKeyUp, 0);
    else if (m_autoScrollDir == AutoScroll::Down) HandleKey(kKeyDown, 0);
}

void IList::MouseButtonDown(int button, WPARAM keys, LPARAM point) {
    SetFocus(Handle());
    SetCapture(Handle());
    const float x = static_cast<float>(GET_X_LPARAM(point)), y = static_cast<float>(GET_Y_LPARAM(point));
    if (button == 1) m_clickPending = true;
    if (m_events.MouseDown) m_events.MouseDown(button, ShiftState(keys), x, y);
    SetSelected(ItemAtY(y, m_scroll.Value(), m_itemHeight));
}

void IList::MouseMoved(WPARAM keys, LPARAM point) {
    const float x = static_cast<float>(GET_X_LPARAM(point)), y = static_cast<float>(GET_Y_LPARAM(point));
    const int button = MouseButtons(keys);
    if (m_events.MouseMove) m_events.MouseMove(button, ShiftState(keys), x, y);
    if (button != 1) return;
    if (IsPastEdge(y, SurfaceHeight())) {
        m_autoScrollDir = AutoScrollAt(y, SurfaceHeight(), m_autoScrollDir);
        if (!m_autoScrollTimer.IsRunning())
            m_autoScrollTimer.Start(kAutoScrollMs, [this] { AutoScrollTick(); });
    } else {
        m_autoScrollTimer.Stop();
        SetSelected(ItemAtY(y, m_scroll.Value(), m_itemHeight));
    }
}

void IList::MouseButtonUp(int button, WPARAM keys, LPARAM point) {
    if (!(keys & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON))) ReleaseCapture();
    m_autoScrollTimer.Stop();
    const float x = static_cast<float>(GET_X_LPARAM(point)), y = static_cast<float>(GET_Y_LPARAM(point));
    if (m_events.MouseUp) m_events.MouseUp(button, ShiftState(keys), x, y);
    if (button == 1 && m_clickPending) {
        m_clickPending = false;
        if (m_events.Click) m_events.Click();
    }
}

void IList::Dropped(HDROP drop) {
    DropData data;
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        std::wstring path(DragQueryFileW(drop, i, nullptr, 0) + 1, L'\0');
        path.resize(DragQueryFileW(drop, i, path.data(), static_cast<UINT>(path.size())));
        data.files.push_back(std::move(path));
    }
    POINT at{};
    DragQueryPoint(drop, &at);
    DragFinish(drop);
    int32_t effect = kDropEffectCopy;
    const int buttons = (GetKeyState(VK_LBUTTON) < 0 ? 1 : 0) | (GetKeyState(VK_RBUTTON) < 0 ? 2 : 0) |
                        (GetKeyState(VK_MBUTTON) < 0 ? 4 : 0);
    if (m_events.OLEDragDrop)
        m_events.OLEDragDrop(data, effect, buttons, KeyboardShift(), static_cast<float>(at.x),
                             static_cast<float>(at.y));
}

bool IList::SetPointerShape() const {
    if (m_mousePointer == 0) return false;
    if (m_mousePointer == 99) {
        if (!m_mouseIcon) return false;
        SetCursor(m_mouseIcon);
        return true;
    }
    SetCursor(LoadCursorW(nullptr, PointerCursor(m_mousePointer)));
    return true;
}

void IList::ReadProperties(ostrel::PropertyBag& bag) {
    using ostrel::PropertyValue;
    const auto number = [&](const wchar_t* name, int32_t fallback) {
        return static_cast<int32_t>(bag.Read(name, PropertyValue::Of(fallback)).number);
    };
    m_itemHeight = number(L"ItemHeight", 20);
    m_layout = {number(L"CaptionPosX", 0), number(L"CaptionPosY", 0), number(L"TextPosX", 0),
                number(L"TextPosY", 0),    number(L"IconPosX", 0),    number(L"IconPosY", 0)};
    m_selected = number(L"Selected", 0);
    m_mousePointer = number(L"MousePointer", 0);
    if (bag.HasChild(L"Font")) {
        const ostrel::PropertyBag& font = bag.Child(L"Font");
        LOGFONTW logFont = m_logFont;
        const std::wstring face = font.Read(L"Name", PropertyValue::Of(std::wstring(m_logFont.lfFaceName))).text;
        face.copy(logFont.lfFaceName, LF_FACESIZE - 1);
        logFont.lfFaceName[std::min<size_t>(face.size(), LF_FACESIZE - 1)] = L'\0';
        // Size in hundredths of a point, so the font keeps its size at any DPI.
        const int64_t size = font.Read(L"Size", PropertyValue::Of(900)).number;
        logFont.lfHeight = -static_cast<LONG>(std::lround(size * ScreenDpi() / 7200.0));
        logFont.lfWeight = static_cast<LONG>(font.Read(L"Weight", PropertyValue::Of(FW_NORMAL)).number);
        logFont.lfItalic = font.Read(L"Italic", PropertyValue::Of(0)).number != 0;
        logFont.lfUnderline = font.Read(L"Underline", PropertyValue::Of(0)).number != 0;
        logFont.lfStrikeOut = font.Read(L"Strikethrough", PropertyValue::Of(0)).number != 0;
        logFont.lfCharSet = static_cast<BYTE>(font.Read(L"Charset", PropertyValue::Of(DEFAULT_CHARSET)).number);
        SetFont(logFont);
    }
    Redraw();
}

void IList::WriteProperties(ostrel::PropertyBag& bag) const {
    using ostrel::PropertyValue;
    const auto number = [&](const wchar_t* name, int32_t value, int32_t fallback) {
        bag.Write(name, PropertyValue::Of(value), PropertyValue::Of(fallback));
    };
    number(L"ItemHeight", m_itemHeight, 20);
    number(L"IconPosX", m_layout.iconX, 0);
    number(L"IconPosY", m_layout.iconY, 0);
    number(L"CaptionPosX", m_layout.captionX, 0);
    number(L"CaptionPosY", m_layout.captionY, 0);
    number(L"TextPosX", m_layout.textX, 0);
    number(L"TextPosY", m_layout.textY, 0);
    number(L"Selected", m_selected, 0);
    number(L"MousePointer", m_mousePointer, 0);
    ostrel::PropertyBag& font = bag.Child(L"Font");
    font.Write(L"Name", PropertyValue::Of(std::wstring(m_logFont.lfFaceName)), PropertyValue::Of(std::wstring()));
    const int64_t size = std::lround(std::abs(m_logFont.lfHeight) * 7200.0 / ScreenDpi());
    font.Write(L"Size", PropertyValue::Of(size), PropertyValue::Of(0));
    font.Write(L"Weight", PropertyValue::Of(m_logFont.lfWeight), PropertyValue::Of(FW_NORMAL));
    font.Write(L"Italic", PropertyValue::Of(m_logFont.lfItalic), PropertyValue::Of(0));
    font.Write(L"Underline", PropertyValue::Of(m_logFont.lfUnderline), PropertyValue::Of(0));
    font.Write(L"Strikethrough", PropertyValue::Of(m_logFont.lfStrikeOut), PropertyValue::Of(0));
    font.Write(L"Charset", PropertyValue::Of(m_logFont.lfCharSet), PropertyValue::Of(DEFAULT_CHARSET));
}

LRESULT IList::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (m_buffer.HandlePaintMessage(Handle(), message, wParam)) return 0;
    switch (message) {
        case WM_SIZE:
            if (m_scroll.Handle()) Resized(LOWORD(lParam), HIWORD(lParam));
            return 0;
        case WM_ERASEBKGND: return 1;
        case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
        case WM_SETCURSOR:
            if (LOWORD(lParam) == HTCLIENT && SetPointerShape()) return TRUE;
            break;
        case WM_KEYDOWN: HandleKey(static_cast<int>(wParam), KeyboardShift()); return 0;
        case WM_CHAR: {
            int keyAscii = static_cast<int>(wParam);
            if (m_events.KeyPress) m_events.KeyPress(keyAscii);
            return 0;
        }
        case WM_KEYUP: {
            int keyCode = static_cast<int>(wParam);
            if (m_events.KeyUp) m_events.KeyUp(keyCode, KeyboardShift());
            return 0;
        }
        case WM_LBUTTONDOWN: MouseButtonDown(1, wParam, lParam); return 0;
        case WM_RBUTTONDOWN: MouseButtonDown(2, wParam, lParam); return 0;
        case WM_MBUTTONDOWN: MouseButtonDown(4, wParam, lParam); return 0;
        case WM_LBUTTONDBLCLK:
            // The second press of a double click: no MouseDown and no second Click.
            SetCapture(Handle());
            m_clickPending = false;
            if (m_events.DblClick) m_events.DblClick();
            return 0;
        case WM_MOUSEMOVE: MouseMoved(wParam, lParam); return 0;
        case WM_LBUTTONUP: MouseButtonUp(1, wParam, lParam); return 0;
        case WM_RBUTTONUP: MouseButtonUp(2, wParam, lParam); return 0;
        case WM_MBUTTONUP: MouseButtonUp(4, wParam, lParam); return 0;
        case WM_DROPFILES: Dropped(reinterpret_cast<HDROP>(wParam)); return 0;
        case WM_DESTROY: m_autoScrollTimer.Stop(); return 0;
        default: break;
    }
    return Window::HandleMessage(message, wParam, lParam);
}

}  // namespace velmora::lists
