#include "toolkit/window.h"

#include "common/text.h"

namespace velmora::toolkit {

Window::~Window() { Destroy(); }

void Window::Destroy() {
    if (m_hwnd) DestroyWindow(m_hwnd);
}

bool Window::CreateWindowOf(const wchar_t* className, DWORD exStyle, DWORD style,
                            const std::wstring& caption, int x, int y, int width, int height,
                            HWND parent, HMENU menuOrId, HICON icon, UINT classStyle) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW existing{sizeof existing};
    if (!GetClassInfoExW(instance, className, &existing)) {
        WNDCLASSEXW wc{sizeof wc};
        wc.style = classStyle;
        wc.lpfnWndProc = &Window::Procedure;
        wc.hInstance = instance;
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = className;
        wc.hIcon = icon;
        wc.hIconSm = icon;
        if (!RegisterClassExW(&wc)) return false;
    }
    return CreateWindowExW(exStyle, className, caption.c_str(), style, x, y, width, height, parent,
                           menuOrId, instance, this) != nullptr;
}

LRESULT Window::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(m_hwnd, message, wParam, lParam);
}

LRESULT CALLBACK Window::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* self;
    if (message == WM_NCCREATE) {
        self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->m_hwnd = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    } else {
        self = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    }
    if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        const LRESULT result = self->HandleMessage(message, wParam, lParam);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->m_hwnd = nullptr;
        self->OnDestroyed();
        return result;
    }
    return self->HandleMessage(message, wParam, lParam);
}

namespace {
int ScreenDpi(int index) {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, index);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}
}  // namespace

int TwipsToPixelsX(int twips) { return MulDiv(twips, ScreenDpi(LOGPIXELSX), 1440); }
int TwipsToPixelsY(int twips) { return MulDiv(twips, ScreenDpi(LOGPIXELSY), 1440); }

std::wstring Widen(std::string_view utf8) {
    const std::u16string wide = Utf8ToUtf16(utf8);
    return {wide.begin(), wide.end()};
}

std::string Narrow(std::wstring_view wide) {
    return Utf16ToUtf8(std::u16string_view(reinterpret_cast<const char16_t*>(wide.data()), wide.size()));
}

std::wstring WindowText(HWND window) {
    const LRESULT length = SendMessageW(window, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
    const LRESULT copied =
        SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
    return text;
}

}  // namespace velmora::toolkit
