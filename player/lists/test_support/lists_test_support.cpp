#include "player/lists/test_support/lists_test_support.h"

#include <shellapi.h>
#include <shlobj.h>

#include "toolkit/handles.h"

namespace velmora::lists::testing {

Capture::Capture(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    m_width = client.right;
    m_height = client.bottom;
    HDC screen = GetDC(nullptr);
    toolkit::CreatedDc dc(CreateCompatibleDC(screen));
    toolkit::BitmapHandle bitmap(CreateCompatibleBitmap(screen, m_width, m_height));
    ReleaseDC(nullptr, screen);
    toolkit::SelectScope select(dc.get(), bitmap.get());
    SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.get()), PRF_CLIENT);
    m_pixels.resize(static_cast<size_t>(m_width) * m_height);
    for (int y = 0; y < m_height; ++y)
        for (int x = 0; x < m_width; ++x) m_pixels[static_cast<size_t>(y * m_width + x)] = GetPixel(dc.get(), x, y);
}

bool Capture::Contains(COLORREF color, int left, int top, int right, int bottom) const {
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            if (At(x, y) == color) return true;
    return false;
}

HWND TestHost() {
    static const HWND host = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 400, 300, 300,
                                             300, nullptr, nullptr, nullptr, nullptr);
    return host;
}

void PumpFor(int milliseconds) {
    const DWORD end = GetTickCount() + static_cast<DWORD>(milliseconds);
    do {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
    } while (static_cast<int>(end - GetTickCount()) > 0);
}

MessageBoxWatcher::MessageBoxWatcher(std::wstring caption) : m_caption(std::move(caption)) {
    m_thread = std::thread([this] {
        const DWORD end = GetTickCount() + 10000;
        while (!m_quit && static_cast<int>(end - GetTickCount()) > 0) {
            HWND box = FindWindowW(L"#32770", m_caption.c_str());
            if (!box) {
                Sleep(10);
                continue;
            }
            const HICON stop = LoadIconW(nullptr, IDI_HAND);
            for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
                wchar_t text[256] = {};
                GetWindowTextW(child, text, 256);
                if (text[0]) m_texts.emplace_back(text);
                const auto icon = reinterpret_cast<HICON>(SendMessageW(child, STM_GETICON, 0, 0));
                if (icon && icon == stop) m_stopIcon = true;
            }
            m_seen = true;
            PostMessageW(box, WM_COMMAND, IDOK, 0);
            return;
        }
    });
}

MessageBoxWatcher::~MessageBoxWatcher() {
    m_quit = true;
    if (m_thread.joinable()) m_thread.join();
}

bool MessageBoxWatcher::Finish() {
    if (m_thread.joinable()) m_thread.join();
    return m_seen;
}

HGLOBAL MakeDrop(const std::vector<std::wstring>& files, POINT at) {
    size_t chars = 1;
    for (const auto& f : files) chars += f.size() + 1;
    HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + chars * sizeof(wchar_t));
    auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->pt = at;
    drop->fNC = FALSE;
    drop->fWide = TRUE;
    auto* names = reinterpret_cast<wchar_t*>(drop + 1);
    for (const auto& f : files) {
        f.copy(names, f.size());
        names += f.size() + 1;  // GHND zeroed the terminators
    }
    GlobalUnlock(memory);
    return memory;
}

}  // namespace velmora::lists::testing
