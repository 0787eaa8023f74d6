#include "projector/projector_window.h"

#include <algorithm>

#include "toolkit/app.h"

namespace velmora::projector {

namespace {

struct MenuItem {
    int command;  // 0: separator
    const wchar_t* caption;
};

HMENU BuildMenu() {
    const MenuItem file[] = {{kCmdFullScreen, L"全屏播放(&F)\tCtrl+F"}, {0, nullptr}, {kCmdQuit, L"退出(&X)\tCtrl+Q"}};
    const MenuItem view[] = {{kCmdZoomIn, L"放大(&I)"},         {kCmdZoomOut, L"缩小(&O)"},
                             {kCmdShowAll, L"全部显示(&S)"},    {0, nullptr},
                             {kCmdQualityHigh, L"高品质(&H)"}, {kCmdQualityLow, L"低品质(&L)"}};
    HMENU bar = CreateMenu();
    const auto popup = [&](const wchar_t* caption, std::span<const MenuItem> items) {
        HMENU menu = CreatePopupMenu();
        for (const MenuItem& item : items)
            AppendMenuW(menu, item.command ? MF_STRING : MF_SEPARATOR, static_cast<UINT_PTR>(item.command), item.caption);
        AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(menu), caption);
    };
    popup(L"文件(&F)", file);
    popup(L"查看(&V)", view);
    return bar;
}

}  // namespace

bool ProjectorWindow::Open(std::span<const uint8_t> movie, const std::wstring& title) {
    ACCEL keys[] = {{FCONTROL | FVIRTKEY, 'F', kCmdFullScreen},
                    {FCONTROL | FVIRTKEY, 'Q', kCmdQuit},
                    {FVIRTKEY, VK_ESCAPE, kCmdLeaveFullScreen}};
    m_accelerators.reset(CreateAcceleratorTableW(keys, static_cast<int>(std::size(keys))));
    m_menu = BuildMenu();
    const DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
    if (!CreateWindowOf(L"VelmoraProjector", 0, style, title, CW_USEDEFAULT, CW_USEDEFAULT, 550, 400, nullptr,
                        m_menu, LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1))))
        return false;
    RECT client;
    GetClientRect(Handle(), &client);
    if (!m_host.Create(Handle(), client)) return false;
    m_host.SetMovieData(movie, "");
    m_host.Play();
    UpdateQualityChecks();

    // The stage at its own size, kept inside the work area.
    const SIZE stage = m_host.StageSize();
    RECT work;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    RECT frame{0, 0, std::max<LONG>(stage.cx, 100), std::max<LONG>(stage.cy, 50)};
    AdjustWindowRectEx(&frame, style, TRUE, 0);
    const int width = std::min<int>(frame.right - frame.left, work.right - work.left);
    const int height = std::min<int>(frame.bottom - frame.top, work.bottom - work.top);
    SetWindowPos(Handle(), nullptr, work.left + (work.right - work.left - width) / 2,
                 work.top + (work.bottom - work.top - height) / 2, width, height, SWP_NOZORDER);
    ShowWindow(Handle(), SW_SHOWNORMAL);
    SetFocus(m_host.Handle());
    return true;
}

void ProjectorWindow::UpdateQualityChecks() {
    const bool low = m_host.Quality2() == "low";
    CheckMenuItem(m_menu, kCmdQualityHigh, low ? MF_UNCHECKED : MF_CHECKED);
    CheckMenuItem(m_menu, kCmdQualityLow, low ? MF_CHECKED : MF_UNCHECKED);
}

void ProjectorWindow::SetFullScreen(bool fullScreen) {
    if (fullScreen == m_fullScreen) return;
    m_fullScreen = fullScreen;
    if (fullScreen) {
        GetWindowRect(Handle(), &m_windowedPlace);
        MONITORINFO monitor{sizeof monitor};
        GetMonitorInfoW(MonitorFromWindow(Handle(), MONITOR_DEFAULTTONEAREST), &monitor);
        SetMenu(Handle(), nullptr);
        SetWindowLongPtrW(Handle(), GWL_STYLE, WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN);
        const RECT& r = monitor.rcMonitor;
        SetWindowPos(Handle(), HWND_TOP, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_FRAMECHANGED);
    } else {
        SetWindowLongPtrW(Handle(), GWL_STYLE, WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN);
        SetMenu(Handle(), m_menu);
        const RECT& r = m_windowedPlace;
        SetWindowPos(Handle(), nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                     SWP_NOZORDER | SWP_FRAMECHANGED);
    }
}

void ProjectorWindow::OnCommand(int command) {
    switch (command) {
    case kCmdFullScreen: SetFullScreen(!m_fullScreen); break;
    case kCmdLeaveFullScreen: SetFullScreen(false); break;
    case kCmdQuit: DestroyWindow(Handle()); break;
    case kCmdZoomIn: m_host.Zoom(50); break;
    case kCmdZoomOut: m_host.Zoom(200); break;
    case kCmdShowAll: m_host.Zoom(0); break;
    case kCmdQualityHigh: m_host.SetQuality2("high"); break;
    case kCmdQualityLow: m_host.SetQuality2("low"); break;
    default: break;
    }
    UpdateQualityChecks();
}

LRESULT ProjectorWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND: OnCommand(LOWORD(wParam)); return 0;
    case WM_SIZE: {
        RECT client;
        GetClientRect(Handle(), &client);
        m_host.SetBounds(client);
        return 0;
    }
    case WM_SETFOCUS: SetFocus(m_host.Handle()); return 0;
    case WM_DESTROY:
        if (!m_fullScreen) SetMenu(Handle(), m_menu);  // destroyed with the window
        PostQuitMessage(0);
        return 0;
    default: break;
    }
    return Window::HandleMessage(message, wParam, lParam);
}

}  // namespace velmora::projector
