#include "player/shell/play_panel.h"

#include <windowsx.h>

#include "player/shell/artwork.h"
#include "player/shell/control_ids.h"
#include "toolkit/handles.h"

namespace velmora::player {

namespace {
size_t IndexOf(std::string_view picture) {
    const auto buttons = PlayPanelButtons();
    for (size_t i = 0; i < buttons.size(); ++i)
        if (buttons[i].picture == picture) return i;
    return buttons.size();
}
constexpr size_t kSound = 4;
}  // namespace

bool PlayPanel::Create(HWND parent, const RECT& bounds) {
    return CreateWindowOf(kPlayPanelClass, 0, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, L"", bounds.left,
                          bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top, parent, nullptr);
}

void PlayPanel::SetBounds(const RECT& b) {
    MoveWindow(Handle(), b.left, b.top, b.right - b.left, b.bottom - b.top, TRUE);
}

void PlayPanel::SetButtonEnabled(std::string_view picture, bool enabled) {
    const size_t i = IndexOf(picture);
    if (i >= kSound) return;
    m_buttons[i] = {enabled, enabled ? 1 : 0};
    if (m_pressed == static_cast<int>(i) && !enabled) m_pressed = -1;
    InvalidateRect(Handle(), nullptr, FALSE);
}

bool PlayPanel::IsButtonEnabled(std::string_view picture) const {
    const size_t i = IndexOf(picture);
    return i < m_buttons.size() && m_buttons[i].enabled;
}

void PlayPanel::SetSound(bool sounding, bool enabled) {
    m_buttons[kSound] = {enabled, sounding ? 1 : 0};
    InvalidateRect(Handle(), nullptr, FALSE);
}

RECT PlayPanel::ButtonRect(size_t index) const {
    const ImageButton& b = PlayPanelButtons()[index];
    const int l = toolkit::TwipsToPixelsX(b.left), t = toolkit::TwipsToPixelsY(b.top);
    return {l, t, l + toolkit::TwipsToPixelsX(b.width), t + toolkit::TwipsToPixelsY(b.height)};
}

int PlayPanel::HitTest(POINT point) const {
    for (size_t i = 0; i < m_buttons.size(); ++i) {
        const RECT r = ButtonRect(i);
        if (m_buttons[i].enabled && PtInRect(&r, point)) return static_cast<int>(i);
    }
    return -1;
}

void PlayPanel::Paint(HDC target) const {
    RECT client;
    GetClientRect(Handle(), &client);
    // Drawn off screen, so a press does not flicker.
    toolkit::CreatedDc dc(CreateCompatibleDC(target));
    toolkit::BitmapHandle bitmap(CreateCompatibleBitmap(target, client.right, client.bottom));
    toolkit::SelectScope keep(dc.get(), bitmap.get());
    DrawPanelBackground(dc.get(), client);
    for (size_t i = 0; i < m_buttons.size(); ++i)
        DrawPanelPicture(dc.get(), ButtonRect(i), PlayPanelButtons()[i].picture, m_buttons[i].look);
    // The volume knob on its groove.
    const int grooveTop = toolkit::TwipsToPixelsY(400), left = toolkit::TwipsToPixelsX(2250);
    const RECT groove{left, grooveTop, left + toolkit::TwipsToPixelsX(700), grooveTop + 3};
    toolkit::BrushHandle grooveBrush(CreateSolidBrush(RGB(120, 140, 180)));
    FillRect(dc.get(), &groove, grooveBrush.get());
    const int kl = toolkit::TwipsToPixelsX(2520), kt = toolkit::TwipsToPixelsY(345);
    const RECT knob{kl, kt, kl + toolkit::TwipsToPixelsX(90), kt + toolkit::TwipsToPixelsY(135)};
    toolkit::BrushHandle knobBrush(CreateSolidBrush(m_buttons[kSound].enabled ? RGB(40, 90, 190) : RGB(150, 155, 165)));
    FillRect(dc.get(), &knob, knobBrush.get());
    BitBlt(target, 0, 0, client.right, client.bottom, dc.get(), 0, 0, SRCCOPY);
}

LRESULT PlayPanel::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT: {
            toolkit::PaintScope paint(Handle());
            Paint(paint.Dc());
            return 0;
        }
        case WM_ERASEBKGND: return 1;
        case WM_LBUTTONDOWN: {
            m_pressed = HitTest({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
            if (m_pressed >= 0 && static_cast<size_t>(m_pressed) < kSound) {
                m_buttons[static_cast<size_t>(m_pressed)].look = 2;
                SetCapture(Handle());
                InvalidateRect(Handle(), nullptr, FALSE);
            }
            return 0;
        }
        case WM_LBUTTONUP: {
            const int pressed = m_pressed;
            m_pressed = -1;
            if (GetCapture() == Handle()) ReleaseCapture();
            if (pressed < 0) return 0;
            const size_t i = static_cast<size_t>(pressed);
            if (i < kSound && m_buttons[i].enabled) m_buttons[i].look = 1;
            InvalidateRect(Handle(), nullptr, FALSE);
            const RECT r = ButtonRect(i);
            if (PtInRect(&r, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}) && onClick)
                onClick(PlayPanelButtons()[i].action);
            return 0;
        }
        default: break;
    }
    return Window::HandleMessage(message, wParam, lParam);
}

}  // namespace velmora::player
