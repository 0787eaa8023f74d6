// Window classes of the library, the button's public wrapper, access-key dispatch and the
// self-registration entry points.
#include "menulib/button_window.h"
#include "menulib/persistence.h"
#include "menulib/toolbar_window.h"

namespace ostrel {

const wchar_t kNetButtonClass[] = L"VsNetBut";
const wchar_t kToolBarClass[] = L"VsToolBar";

namespace {

HINSTANCE g_instance = nullptr;

const ButtonProps& DefaultButtonProps() {
    static const ButtonProps defaults;
    return defaults;
}

}  // namespace

HINSTANCE LibraryInstance() { return g_instance; }

UINT AccessKeyMessage() {
    static const UINT message = RegisterWindowMessageW(L"OstrelMnu.AccessKey");
    return message;
}

bool RegisterControlClasses() {
    struct ClassOf {
        const wchar_t* name;
        WNDPROC procedure;
        UINT style;
    };
    const ClassOf classes[] = {
        {kNetButtonClass, &ButtonWindow::Procedure, CS_GLOBALCLASS | CS_DBLCLKS | CS_OWNDC},
        {kToolBarClass, &ToolbarWindow::Procedure, CS_GLOBALCLASS | CS_OWNDC},
    };
    bool ok = true;
    for (const ClassOf& c : classes) {
        WNDCLASSEXW existing{sizeof existing};
        if (GetClassInfoExW(g_instance, c.name, &existing)) continue;
        WNDCLASSEXW wc{sizeof wc};
        wc.style = c.style;
        wc.lpfnWndProc = c.procedure;
        wc.hInstance = g_instance;
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.lpszClassName = c.name;
        ok = RegisterClassExW(&wc) != 0 && ok;
    }
    return ok;
}

void UnregisterControlClasses() {
    UnregisterClassW(kNetButtonClass, g_instance);
    UnregisterClassW(kToolBarClass, g_instance);
}

// ---- VsNetBut -------------------------------------------------------------------------

bool VsNetBut::Create(HWND parent, int id, int x, int y, int width, int height, const ButtonProps& props) {
    if (!RegisterControlClasses()) return false;
    m_window = CreateWindowExW(0, kNetButtonClass, props.caption.c_str(), WS_CHILD | WS_VISIBLE | WS_TABSTOP, x, y,
                               width, height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), g_instance,
                               const_cast<ButtonProps*>(&props));
    return m_window != nullptr;
}

bool VsNetBut::Create(HWND parent, int id, int x, int y, int width, int height) {
    return Create(parent, id, x, y, width, height, DefaultButtonProps());
}

HDC VsNetBut::hDC() const { return IsValid() ? GetDC(m_window) : nullptr; }  // class DC: no release needed
bool VsNetBut::IsValid() const { return ButtonWindow::From(m_window) != nullptr; }

const ButtonProps& VsNetBut::Props() const {
    const ButtonWindow* w = ButtonWindow::From(m_window);
    return w ? w->props : DefaultButtonProps();
}

PropertyResult VsNetBut::Apply(const ButtonProps& next) {
    ButtonWindow* w = ButtonWindow::From(m_window);
    return w ? w->Apply(next) : std::nullopt;
}

namespace {
template <typename F>
void Change(HWND window, F change) {
    if (ButtonWindow* w = ButtonWindow::From(window)) {
        ButtonProps next = w->props;
        change(next);
        w->Apply(next);
    }
}
}  // namespace

void VsNetBut::SetEnabled(bool enabled) { Change(m_window, [&](ButtonProps& p) { p.enabled = enabled; }); }
void VsNetBut::SetCaption(const std::wstring& caption) { Change(m_window, [&](ButtonProps& p) { p.caption = caption; }); }
void VsNetBut::SetOffice2003Style(bool on) { Change(m_window, [&](ButtonProps& p) { p.office2003Style = on; }); }
void VsNetBut::SetCheck(bool on) { Change(m_window, [&](ButtonProps& p) { p.check = on; }); }

PropertyResult VsNetBut::SetButtonAppearance(ButtonAppearance appearance) {
    ButtonProps next = Props();
    next.appearance = appearance;
    return Apply(next);
}

void VsNetBut::SetButtonPicture(const Picture& picture) {
    if (ButtonWindow* w = ButtonWindow::From(m_window)) {
        w->picture = picture;
        w->PropsChanged();
    }
}
void VsNetBut::SetMouseIcon(const Picture& picture) {
    if (ButtonWindow* w = ButtonWindow::From(m_window)) w->mouseIcon = picture;
}
void VsNetBut::SetDefault(bool on) {
    if (ButtonWindow* w = ButtonWindow::From(m_window)) w->isDefault = on;
}
void VsNetBut::SetCancel(bool on) {
    if (ButtonWindow* w = ButtonWindow::From(m_window)) w->isCancel = on;
}
void VsNetBut::SetListener(NetButtonListener* listener) {
    if (ButtonWindow* w = ButtonWindow::From(m_window)) w->listener = listener;
}
void VsNetBut::Refresh() {
    if (ButtonWindow* w = ButtonWindow::From(m_window)) w->Paint(w->State());
}
VisualState VsNetBut::State() const {
    const ButtonWindow* w = ButtonWindow::From(m_window);
    return w ? w->State() : VisualState::Normal;
}
bool VsNetBut::IsHovering() const {
    const ButtonWindow* w = ButtonWindow::From(m_window);
    return w && w->Hovering();
}

void VsNetBut::ReadProperties(PropertyBag& bag) {
    if (ButtonWindow* w = ButtonWindow::From(m_window)) {
        w->props = ReadButtonProps(bag);
        w->PropsChanged();
    }
}
void VsNetBut::WriteProperties(PropertyBag& bag) const { WriteButtonProps(Props(), bag); }

void VsNetBut::FillGradient(HDC dc, int left, int top, int right, int bottom, OleColor first, OleColor second,
                            bool vertical, bool drawBorder, OleColor border) {
    MemDC wrapped;
    wrapped.Init(right, bottom, nullptr, dc);
    wrapped.FillGradient(left, top, right, bottom, first, second, vertical, drawBorder, border);
}

bool DispatchAccessKey(HWND form, wchar_t key) {
    struct Search {
        wchar_t key;
        bool taken = false;
    } search{key};
    EnumChildWindows(
        form,
        [](HWND child, LPARAM data) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(data);
            ButtonWindow* w = ButtonWindow::From(child);
            if (!w || !IsWindowVisible(child) || !IsWindowEnabled(child)) return TRUE;
            const bool role = (s.key == VK_RETURN && w->isDefault) || (s.key == VK_ESCAPE && w->isCancel);
            if (s.key == VK_RETURN || s.key == VK_ESCAPE) {
                if (!role) return TRUE;
            }
            s.taken = SendMessageW(child, AccessKeyMessage(), s.key, 0) != 0;
            return s.taken ? FALSE : TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.taken;
}

}  // namespace ostrel

// Self-registration registers the window classes for this process; nothing is written to
// the registry, as the player loads the library directly.
extern "C" __declspec(dllexport) HRESULT __stdcall DllRegisterServer() {
    return ostrel::RegisterControlClasses() ? S_OK : E_FAIL;
}
extern "C" __declspec(dllexport) HRESULT __stdcall DllUnregisterServer() {
    ostrel::UnregisterControlClasses();
    return S_OK;
}

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        ostrel::g_instance = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}
