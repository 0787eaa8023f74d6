#include "player/lists/xp_vscrollbar.h"

#include <windowsx.h>

#include <algorithm>

namespace velmora::lists {

namespace {

bool IsElement(Zone zone) { return zone == Zone::UpArrow || zone == Zone::Thumb || zone == Zone::DownArrow; }

}  // namespace

xp_VScrollBar::xp_VScrollBar()
    : m_metrics(BarMetrics::ForDpi(ScreenDpi())),
      m_thumbPicBase(ThumbPicBase(0)),
      m_schemeColors(&SchemeColors(0)) {
    m_thumbTop = m_metrics.arrow;
    m_thumbLength = m_metrics.minThumb;
}

bool xp_VScrollBar::Create(HWND parent, int x, int y, int height, int id) {
    m_pictureDc.reset(CreateCompatibleDC(nullptr));
    return CreateWindowOf(kClassName, 0, WS_CHILD | WS_VISIBLE, L"", x, y, m_metrics.width,
                          std::max(height, m_metrics.minHeight), parent,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)));
}

bool xp_VScrollBar::Enabled() const { return Handle() && IsWindowEnabled(Handle()); }

void xp_VScrollBar::SetEnabled(bool enabled) {
    EnableWindow(Handle(), enabled);
    PaintAll();
}

void xp_VScrollBar::SetValue(int32_t value) {
    if (value == m_value) return;
    m_value = ClampValue(value, m_min, m_max);
    PaintValue();
    if (m_onChange) m_onChange();
}

void xp_VScrollBar::SetMax(int32_t max) {
    max = CorrectMax(max);
    // The list writes the same Max on every redraw, and so on every step of a held arrow
    // or a thumb drag; repainting all then would wipe the pressed look under the pointer.
    if (max == m_max) return;
    m_max = max;
    if (m_max < m_value) SetValue(m_max);
    ResizeHandling();
}

void xp_VScrollBar::SetMin(int32_t min) {
    m_min = CorrectMin(min);
    if (m_value < m_min) SetValue(m_min);
    ResizeHandling();
}

void xp_VScrollBar::SetLargeChange(int32_t largeChange) {
    m_largeChange = AcceptedStep(largeChange, IsValidLargeChange(largeChange));
    ResizeHandling();
}

void xp_VScrollBar::SetSmallChange(int32_t smallChange) {
    m_smallChange = AcceptedStep(smallChange, IsValidSmallChange(smallChange));
}

int32_t xp_VScrollBar::AcceptedStep(int32_t step, bool valid) const {
    if (valid) return step;
    toolkit::ShowMessage(Handle(), L"Invalid property value", toolkit::MessageIcon::Stop);
    return 1;
}

void xp_VScrollBar::SetColorScheme(int32_t scheme) {
    if (scheme == -1) scheme = 0;
    if (scheme == m_colorScheme) return;
    m_colorScheme = scheme;
    // FillSchemeColors: the thumb's body colours and caps follow the scheme.
    m_schemeColors = &SchemeColors(scheme);
    m_thumbPicBase = ThumbPicBase(scheme);
    PaintAll();
}

// The bar's own flag: a hidden host does not make the bar count as hidden.
bool xp_VScrollBar::Visible() const {
    return Handle() && (GetWindowLongPtrW(Handle(), GWL_STYLE) & WS_VISIBLE);
}

void xp_VScrollBar::SetVisible(bool visible) { ShowWindow(Handle(), visible ? SW_SHOWNA : SW_HIDE); }

void xp_VScrollBar::Move(int left, int top, int width, int height) {
    MoveWindow(Handle(), left, top, width, height, TRUE);
}

void xp_VScrollBar::ReadProperties(const ostrel::PropertyBag& bag) {
    using ostrel::PropertyValue;
    EnableWindow(Handle(), bag.Read(L"Enabled", PropertyValue::Of(1)).number != 0);
    const auto number = [&](const wchar_t* name, int32_t fallback) {
        return static_cast<int32_t>(bag.Read(name, PropertyValue::Of(fallback)).number);
    };
    m_largeChange = number(L"LargeChange", 10);
    m_max = CorrectMax(number(L"Max", 255));
    m_min = CorrectMin(number(L"Min", 0));
    m_smallChange = number(L"SmallChange", 1);
    m_value = ClampValue(number(L"Value", 0), m_min, m_max);
    m_colorScheme = number(L"ColorScheme", 0);
    m_schemeColors = &SchemeColors(m_colorScheme);
    m_thumbPicBase = ThumbPicBase(m_colorScheme);
    ResizeHandling();
}

void xp_VScrollBar::WriteProperties(ostrel::PropertyBag& bag) const {
    using ostrel::PropertyValue;
    bag.Write(L"Enabled", PropertyValue::Of(Enabled() ? 1 : 0), PropertyValue::Of(1));
    bag.Write(L"LargeChange", PropertyValue::Of(m_largeChange), PropertyValue::Of(10));
    bag.Write(L"Max", PropertyValue::Of(m_max), PropertyValue::Of(255));
    bag.Write(L"Min", PropertyValue::Of(m_min), PropertyValue::Of(0));
    bag.Write(L"SmallChange", PropertyValue::Of(m_smallChange), PropertyValue::Of(1));
    bag.Write(L"Value", PropertyValue::Of(m_value), PropertyValue::Of(0));
    bag.Write(L"ColorScheme", PropertyValue::Of(m_colorScheme), PropertyValue::Of(0));
}

// The width is fixed and the height has a floor; a corrected size comes back as WM_SIZE.
void xp_VScrollBar::ResizeHandling() {
    RECT client{};
    GetClientRect(Handle(), &client);
    const int height = client.bottom;
    if (client.right != m_metrics.width || height < m_metrics.minHeight) {
        SetWindowPos(Handle(), nullptr, 0, 0, m_metrics.width, std::max(height, m_metrics.minHeight),
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        return;
    }
    if (m_buffer.Width() != client.right || m_buffer.Height() != height)
        m_buffer.Resize(client.right, height);
    CalcThumbLength();
    PaintAll();
}

void xp_VScrollBar::CalcThumbLength() {
    ThumbSize size{m_thumbLength, m_travel};
    if (lists::CalcThumbLength(m_metrics, HeightPx(), m_largeChange, m_max, size)) {
        m_thumbLength = size.length;
        m_travel = size.travel;
    }
}

void xp_VScrollBar::CalcThumbTop() {
    m_thumbTop = lists::CalcThumbTop(m_metrics, HeightPx(), m_value, m_max, m_thumbLength);
}

void xp_VScrollBar::Present() {
    if (Handle()) InvalidateRect(Handle(), nullptr, FALSE);
}

void xp_VScrollBar::DrawPicture(int32_t picture, int x, int y, int width, int height) {
    if (picture == kPicNone || width <= 0 || height <= 0 || !m_pictureDc) return;
    // Track strips are one row high and stretched; everything else is drawn at its size.
    const bool strip = DesignSize(picture).height == 1;
    const int drawHeight = strip ? 1 : height;
    auto& bitmap = m_pictures[{picture, width, drawHeight}];
    if (!bitmap) bitmap = BitmapOf(RenderPicture(picture, width, drawHeight));
    if (!bitmap) return;  // a picture that cannot be made is skipped
    toolkit::SelectScope select(m_pictureDc.get(), bitmap.get());
    SetStretchBltMode(m_buffer.Dc(), COLORONCOLOR);
    StretchBlt(m_buffer.Dc(), x, y, width, height, m_pictureDc.get(), 0, 0, width, drawHeight, SRCCOPY);
}

void xp_VScrollBar::PaintTrack(bool highlighted, int top, int bottom) {
    DrawPicture(TrackPicture(m_colorScheme, highlighted), 0, top, m_metrics.width, bottom - top);
}

void xp_VScrollBar::PaintAll() {
    if (!m_buffer.Dc()) return;
    PaintTrack(false, 0, HeightPx());
    PaintArrow(false, ElementState::Normal);
    PaintArrow(true, ElementState::Normal);
    PaintThumb(ElementState::Normal);
    Present();
}

void xp_VScrollBar::PaintValue() {
    if (!m_buffer.Dc()) return;
    const int trackBottom = HeightPx() - m_metrics.arrow;
    PaintTrack(false, m_metrics.arrow, trackBottom);
    CalcThumbTop();
    PaintThumb(m_hotZone == Zone::Thumb ? ElementState::Pressed : ElementState::Normal);
    if (!m_dragging) {
        if (m_lastZone == Zone::TrackAbove) PaintTrack(true, m_metrics.arrow, m_thumbTop);
        if (m_lastZone == Zone::TrackBelow) PaintTrack(true, m_thumbTop + m_thumbLength, trackBottom);
    }
    Present();
}

void xp_VScrollBar::PaintArrow(bool down, ElementState state) {
    const int32_t picture = ArrowPicture(m_colorScheme, down, state, Enabled());
    const int y = down ? HeightPx() - m_metrics.arrow : 0;
    DrawPicture(picture, m_metrics.pictureLeft, y, m_metrics.width - m_metrics.pictureLeft, m_metrics.arrow);
    m_paintedCode = PaintedCodeOf(state, down ? Zone::DownArrow : Zone::UpArrow);
}

void xp_VScrollBar::PaintThumb(ElementState state) {
    if (!Enabled() || !ShowsThumb(m_metrics, HeightPx())) return;
    CalcThumbTop();
    HDC dc = m_buffer.Dc();
    const int left = m_metrics.pictureLeft, width = m_metrics.width - left;
    const int top = m_thumbTop, length = m_thumbLength;
    // The body: one line per pixel column in that column's colour (16 columns at 96 DPI).
    const auto& colors = (*m_schemeColors)[static_cast<size_t>(state)];
    for (int x = 0; x < width; ++x) {
        const size_t column = static_cast<size_t>(x * 16 / width);
        FillSolid(dc, RECT{left + x, top + m_metrics.topCap, left + x + 1, top + length - m_metrics.bottomCap + 1},
                  ToColorRef(colors[column]));
    }
    const int step = m_metrics.gripStep;
    if (ShowsGrip(length, step)) {
        // Design columns 6 to 11 (light) and 7 to 12 (dark), scaled to the picture width.
        const auto designX = [&](int x) { return left + (x - 1) * width / 16; };
        const GripColors grip = GripColorsOf(m_colorScheme);
        const int g = GripTop(top, length, step);
        for (int line = 0; line < 8; ++line) {
            const bool light = line % 2 == 0;
            const int from = designX(light ? 6 : 7), to = designX(light ? 11 : 12);
            const int y = g + line * step;
            FillSolid(dc, RECT{from, y, to, y + step}, ToColorRef(light ? grip.light : grip.dark));
        }
    }
    DrawPicture(m_thumbPicBase - 2, left, top, width, m_metrics.topCap);
    DrawPicture(m_thumbPicBase - 1, left, top + length - m_metrics.bottomCap, width, m_metrics.bottomCap);
    m_paintedCode = PaintedCodeOf(state, Zone::Thumb);
}

void xp_VScrollBar::PaintElement(Zone zone, ElementState state) {
    if (zone == Zone::UpArrow) PaintArrow(false, state);
    else if (zone == Zone::DownArrow) PaintArrow(true, state);
    else if (zone == Zone::Thumb) PaintThumb(state);
}

void xp_VScrollBar::MouseMove(int button, double y) {
    if (m_buttonDown && (button & 1)) {
        if (m_pressZone == Zone::Thumb)
            SetValue(DragValue(m_pressValue, y, m_pressY, m_travel, m_min, m_max));
        else if (m_pressZone == Zone::TrackAbove || m_pressZone == Zone::TrackBelow)
            m_pressY = y;
        if (m_onScroll) m_onScroll();
    } else {
        m_hotZone = ZoneAt(m_metrics, y, HeightPx(), m_thumbTop, m_thumbLength);
        if (m_hotZone != m_lastZone) {
            if (IsElement(m_hotZone)) {
                PaintElement(m_lastZone, ElementState::Normal);
                PaintElement(m_hotZone, (button & 1) ? ElementState::Pressed : ElementState::Hot);
                Present();
            } else if (IsElement(m_lastZone)) {
                PaintElement(m_lastZone, ElementState::Normal);
                Present();
            }
        }
    }
    m_lastZone = m_hotZone;
    if (!m_leaveTimer.IsRunning()) m_leaveTimer.Start(kLeaveWatchMs, [this] { LeaveTick(); });
}

void xp_VScrollBar::LeaveTick() {
    POINT cursor{};
    GetCursorPos(&cursor);
    if (WindowFromPoint(cursor) == Handle() || m_buttonDown) return;
    PaintElement(m_lastZone, ElementState::Normal);
    Present();
    m_lastZone = Zone::Left;
    // Nothing is under the pointer any more, so a later value change (keys, the list)
    // draws the thumb normal.
    m_hotZone = Zone::Left;
    m_leaveTimer.Stop();
}

void xp_VScrollBar::MouseDown(int button, double y) {
    m_pressZone = m_hotZone;
    if (m_paintedCode == PaintedCodeOf(ElementState::Pressed, m_pressZone)) return;
    if (m_pressZone == Zone::TrackAbove) SetValue(std::max(m_value - m_largeChange, m_min));
    if (m_pressZone == Zone::TrackBelow) SetValue(std::min(m_value + m_largeChange, m_max));
    if (button != 1) return;
    PaintElement(m_pressZone, ElementState::Pressed);
    if (m_pressZone == Zone::Thumb) m_dragging = true;
    Present();
    m_buttonDown = true;
    m_pressY = y;
    m_pressValue = m_value;
    if (m_pressZone != Zone::Thumb && !m_repeatArmed && !m_dragging) {
        const bool arrow = m_pressZone == Zone::UpArrow || m_pressZone == Zone::DownArrow;
        m_repeatTimer.Start(arrow ? kArrowRepeatMs : kTrackRepeatMs, [this] { RepeatTick(); });
        m_repeatArmed = true;
    }
}

void xp_VScrollBar::RepeatTick() {
    if (!m_dragging && m_buttonDown)
        SetValue(StepValue(m_pressZone, m_value, m_smallChange, m_largeChange, m_min, m_max));
    if (m_buttonDown && !IsOnThumb(m_pressY, m_thumbTop, m_thumbLength)) return;
    PaintThumb(ElementState::Normal);
    Present();
    m_repeatArmed = false;
    m_repeatTimer.Stop();
}

void xp_VScrollBar::MouseUp() {
    m_buttonDown = false;
    PaintAll();
    m_dragging = false;
}

LRESULT xp_VScrollBar::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (m_buffer.HandlePaintMessage(Handle(), message, wParam)) return 0;
    switch (message) {
        case WM_CREATE:
        case WM_SIZE: ResizeHandling(); return 0;
        case WM_ERASEBKGND: return 1;
        case WM_ENABLE: PaintAll(); return 0;
        case WM_MOUSEMOVE: MouseMove(MouseButtons(wParam), GET_Y_LPARAM(lParam)); return 0;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN: {
            // The bar keeps the pointer while a button is held, as a drag needs.
            SetCapture(Handle());
            const int button = message == WM_LBUTTONDOWN ? 1 : message == WM_RBUTTONDOWN ? 2 : 4;
            MouseDown(button, GET_Y_LPARAM(lParam));
            return 0;
        }
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
        case WM_MBUTTONUP:
            if (!(wParam & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON))) ReleaseCapture();
            MouseUp();
            return 0;
        case WM_DESTROY:
            m_leaveTimer.Stop();
            m_repeatTimer.Stop();
            return 0;
        default: return Window::HandleMessage(message, wParam, lParam);
    }
}

}  // namespace velmora::lists
