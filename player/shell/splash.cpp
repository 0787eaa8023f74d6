#include "player/shell/splash.h"

#include "player/shell/artwork.h"
#include "toolkit/app.h"
#include "toolkit/form.h"

namespace velmora::player {

void WaitPumping(DWORD milliseconds) {
    const ULONGLONG end = GetTickCount64() + milliseconds;
    while (GetTickCount64() < end) {
        if (!toolkit::PumpPendingMessages()) return;
        Sleep(1);
    }
}

bool Splash::Create() {
    const int width = toolkit::TwipsToPixelsX(6405), height = toolkit::TwipsToPixelsY(3120);
    const int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2, y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    if (!CreateWindowOf(L"VelmoraLogo", WS_EX_TOOLWINDOW, WS_POPUP, L"frmLogo", x, y, width, height, nullptr, nullptr))
        return false;
    HDC screen = GetDC(Handle());
    m_picture.reset(CreateCompatibleBitmap(screen, width, height));
    {
        toolkit::CreatedDc dc(CreateCompatibleDC(screen));
        toolkit::SelectScope keep(dc.get(), m_picture.get());
        DrawSplash(dc.get(), {0, 0, width, height});
    }
    ReleaseDC(Handle(), screen);
    m_font = toolkit::CreateUiFont(9);
    return true;
}

void Splash::SetAlpha(BYTE alpha) {
    SetWindowLongPtrW(Handle(), GWL_EXSTYLE, GetWindowLongPtrW(Handle(), GWL_EXSTYLE) | WS_EX_LAYERED);
    SetLayeredWindowAttributes(Handle(), 0, alpha, LWA_ALPHA);
}

void Splash::FadeIn() {
    OSVERSIONINFOW version{sizeof version};
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    GetVersionExW(&version);
#pragma GCC diagnostic pop
    if (version.dwMajorVersion < 5) {
        ShowWindow(Handle(), SW_SHOWNOACTIVATE);
        toolkit::PumpPendingMessages();
        return;
    }
    for (int alpha = 0; alpha <= 255; alpha += 15) {
        SetAlpha(static_cast<BYTE>(alpha));
        WaitPumping(60);
        if (alpha == 0) {
            ShowWindow(Handle(), SW_SHOWNOACTIVATE);
            UpdateWindow(Handle());
        }
    }
}

void Splash::FadeOut() {
    for (int alpha = 255; alpha >= 5; alpha -= 50) {
        SetAlpha(static_cast<BYTE>(alpha));
        WaitPumping(50);
    }
}

void Splash::SetStatus(const std::wstring& text) {
    m_status = text;
    InvalidateRect(Handle(), nullptr, FALSE);
    UpdateWindow(Handle());
}

void Splash::Paint(HDC dc) const {
    RECT client;
    GetClientRect(Handle(), &client);
    toolkit::CreatedDc memory(CreateCompatibleDC(dc));
    toolkit::SelectScope keep(memory.get(), m_picture.get());
    BitBlt(dc, 0, 0, client.right, client.bottom, memory.get(), 0, 0, SRCCOPY);
    // lblLoadStatus: white text on the picture.
    RECT label{toolkit::TwipsToPixelsX(405), toolkit::TwipsToPixelsY(2820), 0, 0};
    label.right = label.left + toolkit::TwipsToPixelsX(5490);
    label.bottom = label.top + toolkit::TwipsToPixelsY(180) + 2;
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(255, 255, 255));
    toolkit::SelectScope font(dc, m_font.get());
    DrawTextW(dc, m_status.c_str(), -1, &label, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX);
}

LRESULT Splash::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        toolkit::PaintScope paint(Handle());
        Paint(paint.Dc());
        return 0;
    }
    if (message == WM_ERASEBKGND) return 1;
    return Window::HandleMessage(message, wParam, lParam);
}

}  // namespace velmora::player
