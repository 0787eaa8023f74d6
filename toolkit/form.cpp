#include "toolkit/form.h"

namespace velmora::toolkit {

namespace {

struct ControlClass {
    const wchar_t* className;
    DWORD style;
    DWORD exStyle;
};

ControlClass ClassOf(ControlKind kind) {
    switch (kind) {
    case ControlKind::Label: return {L"STATIC", SS_LEFT, 0};
    case ControlKind::Button: return {L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 0};
    case ControlKind::Frame: return {L"BUTTON", BS_GROUPBOX, 0};
    case ControlKind::TextBox:
        return {L"EDIT", ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE};
    case ControlKind::MultiLineReadOnly:
        return {L"EDIT", ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL | WS_TABSTOP,
                WS_EX_CLIENTEDGE};
    }
    return {L"STATIC", 0, 0};
}

int CALLBACK FaceFound(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

bool HasFace(const wchar_t* face) {
    LOGFONTW query{};
    query.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(query.lfFaceName, face, LF_FACESIZE);
    bool found = false;
    HDC screen = GetDC(nullptr);
    EnumFontFamiliesExW(screen, &query, FaceFound, reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, screen);
    return found;
}

}  // namespace

std::wstring UiFontFace() {
    static const std::wstring face = [] {
        for (const wchar_t* candidate : {L"宋体", L"SimSun", L"Microsoft YaHei", L"WenQuanYi Micro Hei"})
            if (HasFace(candidate)) return std::wstring(candidate);
        return std::wstring(L"MS Shell Dlg");
    }();
    return face;
}

FontHandle CreateUiFont(int points) {
    HDC screen = GetDC(nullptr);
    const int height = -MulDiv(points, GetDeviceCaps(screen, LOGPIXELSY), 72);
    ReleaseDC(nullptr, screen);
    return FontHandle(CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                  OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                  DEFAULT_PITCH | FF_DONTCARE, UiFontFace().c_str()));
}

Form::Form(const FormSpec& form, std::vector<ControlSpec> controls)
    : m_spec(form), m_controls(std::move(controls)) {}

bool Form::Create(HWND owner) {
    DWORD style = WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    if (m_spec.border == FormBorder::Sizable) style |= WS_THICKFRAME;
    if (m_spec.maximizeBox) style |= WS_MAXIMIZEBOX;
    if (m_spec.minimizeBox) style |= WS_MINIMIZEBOX;
    RECT frame{0, 0, TwipsToPixelsX(m_spec.width), TwipsToPixelsY(m_spec.height)};
    AdjustWindowRectEx(&frame, style, FALSE, WS_EX_CONTROLPARENT);
    const int width = frame.right - frame.left, height = frame.bottom - frame.top;
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int x = work.left + (work.right - work.left - width) / 2;
    const int y = work.top + (work.bottom - work.top - height) / 2;
    HICON icon = m_spec.iconResource
                     ? LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(m_spec.iconResource))
                     : nullptr;
    if (!CreateWindowOf(m_spec.className, WS_EX_CONTROLPARENT, style, m_spec.caption, x, y, width,
                        height, owner, nullptr, icon))
        return false;

    m_font = CreateUiFont();
    for (const ControlSpec& c : m_controls) {
        int left = c.left, top = c.top;
        for (const ControlSpec& frame : m_controls)
            if (frame.id == c.container) left += frame.left, top += frame.top;
        const ControlClass cls = ClassOf(c.kind);
        HWND control = CreateWindowExW(
            cls.exStyle, cls.className, c.caption ? c.caption : L"", WS_CHILD | WS_VISIBLE | cls.style,
            TwipsToPixelsX(left), TwipsToPixelsY(top), TwipsToPixelsX(c.width),
            TwipsToPixelsY(c.height), Handle(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)),
            GetModuleHandleW(nullptr), nullptr);
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(m_font.get()), FALSE);
    }
    // Frames are created before what they hold would paint over it; keep them at the bottom.
    for (const ControlSpec& c : m_controls)
        if (c.kind == ControlKind::Frame)
            SetWindowPos(Control(c.id), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    return true;
}

void Form::Show(int command) {
    ShowWindow(Handle(), command);
    UpdateWindow(Handle());
}

void Form::SetControlText(int id, const std::wstring& text) const {
    SetWindowTextW(Control(id), text.c_str());
}

std::wstring Form::ControlText(int id) const { return WindowText(Control(id)); }

void Form::EnableControl(int id, bool enabled) const { EnableWindow(Control(id), enabled); }

bool Form::IsControlEnabled(int id) const { return IsWindowEnabled(Control(id)) != FALSE; }

void Form::OnClick(int id, std::function<void()> handler) { m_clickHandlers[id] = std::move(handler); }

void Form::Close() { PostMessageW(Handle(), WM_CLOSE, 0, 0); }

LRESULT Form::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND: {
        const auto handler = m_clickHandlers.find(LOWORD(wParam));
        // A disabled control's command never runs, however the click was sent.
        if (handler != m_clickHandlers.end() && HIWORD(wParam) == BN_CLICKED &&
            IsWindowEnabled(reinterpret_cast<HWND>(lParam))) {
            handler->second();
            return 0;
        }
        break;
    }
    case WM_CTLCOLORSTATIC:
        // Read-only edit boxes keep a white background, as the original text boxes did.
        if (GetWindowLongPtrW(reinterpret_cast<HWND>(lParam), GWL_STYLE) & ES_READONLY) {
            SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_WINDOW));
            return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
        }
        break;
    case WM_DESTROY:
        if (m_quitOnDestroy) PostQuitMessage(0);
        break;
    default: break;
    }
    return Window::HandleMessage(message, wParam, lParam);
}

}  // namespace velmora::toolkit
