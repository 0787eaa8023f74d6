#include "menulib/win_test_support.h"

#include <algorithm>
#include <cstdint>

namespace ostrel::test {

namespace {
LRESULT CALLBACK RecordingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    SeenByWindow().push_back({message, wParam});
    if (message >= WM_USER && message < WM_USER + 100) return 1000 + message;
    return DefWindowProcW(window, message, wParam, lParam);
}

void RegisterOnce(const wchar_t* name, WNDPROC procedure) {
    WNDCLASSEXW existing{sizeof existing};
    if (GetClassInfoExW(GetModuleHandleW(nullptr), name, &existing)) return;
    WNDCLASSEXW wc{sizeof wc};
    wc.lpfnWndProc = procedure;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = name;
    RegisterClassExW(&wc);
}
}  // namespace

std::vector<Seen>& SeenByWindow() {
    static std::vector<Seen> seen;
    return seen;
}

bool WindowSaw(UINT message) {
    const auto& seen = SeenByWindow();
    return std::any_of(seen.begin(), seen.end(), [message](const Seen& s) { return s.message == message; });
}

HWND CreateRecordingWindow(HWND parent) {
    RegisterOnce(L"MenulibRecording", &RecordingProcedure);
    return CreateWindowExW(0, L"MenulibRecording", L"", parent ? WS_CHILD : WS_OVERLAPPED, 0, 0, 50, 50, parent, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
}

HWND CreateHostWindow(int width, int height) {
    RegisterOnce(L"MenulibHost", &DefWindowProcW);
    HWND host = CreateWindowExW(WS_EX_CONTROLPARENT, L"MenulibHost", L"host", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN,
                                0, 0, width, height, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    UpdateWindow(host);
    return host;
}

HWND SharedHostWindow() {
    static HWND host = CreateHostWindow(400, 200);
    return host;
}

void DestroyChildren(HWND window) {
    while (HWND child = GetWindow(window, GW_CHILD)) DestroyWindow(child);
}

int Capture::Count(COLORREF color) const { return static_cast<int>(std::count(pixels.begin(), pixels.end(), color)); }

Capture CaptureClient(HWND window) {
    Capture capture;
    RECT r{};
    GetClientRect(window, &r);
    capture.width = r.right;
    capture.height = r.bottom;
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), r.right, -r.bottom, 1, 32, BI_RGB};
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP dib = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = SelectObject(dc, dib);
    SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    GdiFlush();
    const auto* raw = static_cast<const uint32_t*>(bits);
    for (int i = 0; i < r.right * r.bottom; ++i) {
        const uint32_t bgra = raw[i];
        capture.pixels.push_back(RGB((bgra >> 16) & 0xFF, (bgra >> 8) & 0xFF, bgra & 0xFF));
    }
    SelectObject(dc, previous);
    DeleteObject(dib);
    DeleteDC(dc);
    return capture;
}

Picture SolidSquare(COLORREF color, int size) {
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, size, size);
    HDC dc = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    HGDIOBJ previous = SelectObject(dc, bitmap);
    HBRUSH fill = CreateSolidBrush(color);
    const RECT all{0, 0, size, size};
    FillRect(dc, &all, fill);
    DeleteObject(fill);
    SelectObject(dc, previous);
    DeleteDC(dc);
    return Picture::FromBitmap(bitmap);
}

void PumpFor(DWORD ms) {
    const DWORD start = GetTickCount();
    MSG msg;
    while (GetTickCount() - start < ms) {
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(1);
    }
}

void MouseTo(int x, int y, bool click) {
    const int sw = GetSystemMetrics(SM_CXSCREEN) - 1, sh = GetSystemMetrics(SM_CYSCREEN) - 1;
    INPUT input[3] = {};
    UINT count = 0;
    input[count].type = INPUT_MOUSE;
    input[count].mi.dx = x * 65535 / sw;
    input[count].mi.dy = y * 65535 / sh;
    input[count++].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    if (click) {
        input[count].type = INPUT_MOUSE;
        input[count++].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
        input[count].type = INPUT_MOUSE;
        input[count++].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    }
    SendInput(count, input, sizeof(INPUT));
}

void PressKey(WORD key) {
    INPUT input[2] = {};
    input[0].type = input[1].type = INPUT_KEYBOARD;
    input[0].ki.wVk = input[1].ki.wVk = key;
    input[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, input, sizeof(INPUT));
}

}  // namespace ostrel::test
