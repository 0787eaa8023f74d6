// The main window's geometry: the player block, the right panel and its splitter, the
// window-zoom steps, the panel and toolbar switches.
#include <windows.h>

#include <commctrl.h>

#include "player/shell/artwork.h"
#include "player/shell/main_window.h"

namespace velmora::player {

int MainForm::PixelsToTwipsX(int pixels) const { return MulDiv(pixels, 15, toolkit::TwipsToPixelsX(15)); }
int MainForm::PixelsToTwipsY(int pixels) const { return MulDiv(pixels, 15, toolkit::TwipsToPixelsY(15)); }

RECT MainForm::TwipsToRect(const TwipsRect& r) const {
    const int left = toolkit::TwipsToPixelsX(r.left), top = toolkit::TwipsToPixelsY(r.top);
    return {left, top, left + toolkit::TwipsToPixelsX(r.width), top + toolkit::TwipsToPixelsY(r.height)};
}

ClientArea MainForm::Area() const {
    RECT client;
    GetClientRect(Handle(), &client);
    ClientArea area;
    area.innerWidth = PixelsToTwipsX(client.right);
    area.innerHeight = PixelsToTwipsY(client.bottom);
    area.panelVisible = m_panelVisible;
    area.panelWidth = m_panelWidth;
    area.toolbarVisible = m_toolbarVisible;
    return area;
}

void MainForm::PlaceBlock(const PlayerBlock& block) {
    auto move = [](HWND window, const RECT& r) {
        MoveWindow(window, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
    };
    m_player.SetBounds(TwipsToRect(block.player));
    move(m_slider, TwipsToRect(block.slider));
    move(m_stripPanel.Handle(), TwipsToRect(block.strip));
}

void MainForm::ResizeSwfPlayer() { PlaceBlock(player::ResizeSwfPlayer(Area())); }

void MainForm::WindowResized() {
    if (IsIconic(Handle())) return;
    RECT window;
    GetWindowRect(Handle(), &window);
    const WindowSize size = ConstrainWindow(PixelsToTwipsX(window.right - window.left),
                                            PixelsToTwipsY(window.bottom - window.top), m_panelWidth);
    m_panelWidth = size.panelWidth;
    RECT client;
    GetClientRect(Handle(), &client);
    const int bandHeight = toolkit::TwipsToPixelsY(kToolbarHeight);
    MoveWindow(m_band.Handle(), 0, 0, client.right, bandHeight, TRUE);
    MoveWindow(m_line, 0, toolkit::TwipsToPixelsY(520), client.right, 1, TRUE);
    const int panelWidth = toolkit::TwipsToPixelsX(m_panelWidth);
    const int panelTop = m_toolbarVisible ? bandHeight : 0;
    MoveWindow(m_rightPanel.Handle(), client.right - panelWidth, panelTop, panelWidth, client.bottom - panelTop, TRUE);
    MoveWindow(m_splitLine.Handle(), client.right - panelWidth, toolkit::TwipsToPixelsY(495), toolkit::TwipsToPixelsX(60),
               client.bottom, FALSE);
    ResizeSwfPlayer();
    ApplyWelcomeAlignment();
}

void MainForm::ApplyWelcomeAlignment(bool always) {
    if (!always && m_player.Movie() != WelcomePath()) return;
    RECT r;
    GetWindowRect(m_player.Handle(), &r);
    m_player.SetAlignMode(WelcomeAlignMode(PixelsToTwipsX(r.right - r.left), PixelsToTwipsY(r.bottom - r.top)));
}

void MainForm::PanelResized() {
    RECT client;
    GetClientRect(m_rightPanel.Handle(), &client);
    const PanelLayout p = LayoutPanel(PixelsToTwipsX(client.right), PixelsToTwipsY(client.bottom));
    // fraList sits at (30, 330) of the panel: its parts are placed from there.
    auto inList = [&](TwipsRect r) {
        r.left += 30;
        r.top += 330;
        return TwipsToRect(r);
    };
    const RECT list = inList(p.list);
    MoveWindow(m_list.Handle(), list.left, list.top, list.right - list.left, list.bottom - list.top, TRUE);
    m_playPanel.SetBounds(inList(p.playControl));
    const RECT close = TwipsToRect({p.closeLeft, m_closeTop - 45, 150, 150});
    MoveWindow(m_closeMark.Handle(), close.left, close.top, close.right - close.left, close.bottom - close.top + 2, TRUE);
    const RECT name = inList({270, 390, p.headerBarWidth, 200});
    MoveWindow(m_listName, name.left, name.top, name.right - name.left, name.bottom - name.top, TRUE);
    InvalidateRect(m_rightPanel.Handle(), nullptr, TRUE);
}

void MainForm::PaintRightPanel(HDC dc) const {
    RECT client;
    GetClientRect(m_rightPanel.Handle(), &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    const PanelLayout p = LayoutPanel(PixelsToTwipsX(client.right), PixelsToTwipsY(client.bottom));
    const RECT frame = TwipsToRect({30, 330, p.listFrameWidth, p.listFrameHeight});
    FillRect(dc, &frame, m_blue.get());
    auto inList = [&](TwipsRect r) {
        r.left += 30;
        r.top += 330;
        return TwipsToRect(r);
    };
    // The header bar with rounded ends, the white list background.
    const RECT header = inList({p.headerLeft0, 300, p.listBack.width, 420});
    toolkit::BrushHandle headerBrush(CreateSolidBrush(RGB(24, 85, 198)));
    toolkit::SelectScope b(dc, headerBrush.get());
    toolkit::SelectScope pen(dc, GetStockObject(NULL_PEN));
    RoundRect(dc, header.left, header.top, header.right + 1, header.bottom + 1, 12, 12);
    const RECT back = inList(p.listBack);
    FillRect(dc, &back, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
}

bool MainForm::CloseMarkMouse(UINT message, WPARAM wParam, LRESULT& result) {
    switch (message) {
        case WM_ERASEBKGND: {
            HDC dc = reinterpret_cast<HDC>(wParam);
            RECT r;
            GetClientRect(m_closeMark.Handle(), &r);
            FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
            SetBkMode(dc, TRANSPARENT);
            toolkit::SelectScope font(dc, m_font.get());
            DrawTextW(dc, L"×", 1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
            result = 1;
            return true;
        }
        case WM_LBUTTONDOWN:
            // Pressed: the mark moves down a little.
            m_closeTop = 255;
            SetCapture(m_closeMark.Handle());
            PanelResized();
            return true;
        case WM_LBUTTONUP:
            if (GetCapture() == m_closeMark.Handle()) ReleaseCapture();
            if (m_closeTop != 255) return true;
            m_closeTop = 240;
            PanelResized();
            if (m_panelVisible) TogglePanel();
            return true;
        default: return false;
    }
}

void MainForm::EnlargeSwfPlayer() {
    RECT r;
    GetWindowRect(m_player.Handle(), &r);
    MapWindowPoints(nullptr, Handle(), reinterpret_cast<POINT*>(&r), 2);
    PlaceBlock(player::EnlargeSwfPlayer(Area(), {PixelsToTwipsX(r.left), PixelsToTwipsY(r.top),
                                                  PixelsToTwipsX(r.right - r.left), PixelsToTwipsY(r.bottom - r.top)}));
    ApplyWelcomeAlignment();
}

void MainForm::ShrinkSwfPlayer() {
    RECT r;
    GetWindowRect(m_player.Handle(), &r);
    MapWindowPoints(nullptr, Handle(), reinterpret_cast<POINT*>(&r), 2);
    if (const auto block = player::ShrinkSwfPlayer(Area(), {PixelsToTwipsX(r.left), PixelsToTwipsY(r.top),
                                                            PixelsToTwipsX(r.right - r.left),
                                                            PixelsToTwipsY(r.bottom - r.top)}))
        PlaceBlock(*block);
    ApplyWelcomeAlignment();
}

void MainForm::TogglePanel() {
    m_panelVisible = !m_panelVisible;
    ShowWindow(m_rightPanel.Handle(), m_panelVisible ? SW_SHOW : SW_HIDE);
    ResizeSwfPlayer();
    m_settings.RightPanelHidden = m_panelVisible ? 0 : 1;
}

void MainForm::ToggleToolbar() {
    m_toolbarVisible = !m_toolbarVisible;
    ShowWindow(m_band.Handle(), m_toolbarVisible ? SW_SHOW : SW_HIDE);
    ShowWindow(m_line, m_toolbarVisible ? SW_SHOW : SW_HIDE);
    WindowResized();
    m_settings.ToolBarHidden = m_toolbarVisible ? 0 : 1;
}

void MainForm::SplitterMouse(UINT message, int x) {
    const int gripWidth = toolkit::TwipsToPixelsX(150);
    if (message == WM_LBUTTONDOWN && x < gripWidth) {
        m_splitting = true;
        m_splitWidth = m_panelWidth;
        SetCapture(m_rightPanel.Handle());
        ShowWindow(m_splitLine.Handle(), SW_SHOW);
        SetWindowPos(m_splitLine.Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    } else if (message == WM_MOUSEMOVE && m_splitting) {
        m_splitWidth = SplitterDragWidth(m_panelWidth, PixelsToTwipsX(x));
        RECT client;
        GetClientRect(Handle(), &client);
        RECT line;
        GetWindowRect(m_splitLine.Handle(), &line);
        MapWindowPoints(nullptr, Handle(), reinterpret_cast<POINT*>(&line), 2);
        MoveWindow(m_splitLine.Handle(), client.right - toolkit::TwipsToPixelsX(m_splitWidth), line.top,
                   line.right - line.left, client.bottom, TRUE);
    } else if (message == WM_LBUTTONUP && m_splitting) {
        m_splitting = false;
        ReleaseCapture();
        ShowWindow(m_splitLine.Handle(), SW_HIDE);
        RECT window;
        GetWindowRect(Handle(), &window);
        m_panelWidth = SplitterReleaseWidth(PixelsToTwipsX(window.right - window.left), m_splitWidth);
        WindowResized();
    }
}

}  // namespace velmora::player
