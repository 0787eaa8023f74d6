#include "toolkit/app.h"

#include <map>

namespace velmora::toolkit {

namespace {
std::wstring& TitleStore() {
    static std::wstring title;
    return title;
}
// Timer ids are process-wide; the UI thread is the only one that starts timers.
std::map<UINT_PTR, Timer*>& Timers() {
    static std::map<UINT_PTR, Timer*> timers;
    return timers;
}
}  // namespace

void SetApplicationTitle(std::wstring title) { TitleStore() = std::move(title); }
const std::wstring& ApplicationTitle() { return TitleStore(); }

int ShowMessage(HWND owner, const std::wstring& text, MessageIcon icon, MessageButtons buttons,
                const std::wstring& title) {
    const std::wstring& caption = title.empty() ? ApplicationTitle() : title;
    return MessageBoxW(owner, text.c_str(), caption.c_str(),
                       static_cast<UINT>(icon) | static_cast<UINT>(buttons));
}

namespace {
void Dispatch(MSG& msg) {
    HWND top = msg.hwnd ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
    if (top && (GetWindowLongPtrW(top, GWL_EXSTYLE) & WS_EX_CONTROLPARENT) &&
        IsDialogMessageW(top, &msg))
        return;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}
}  // namespace

int RunMessageLoop(HWND window, HACCEL accelerators) {
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0)
        if (!accelerators || !TranslateAcceleratorW(window, accelerators, &msg)) Dispatch(msg);
    return static_cast<int>(msg.wParam);
}

bool PumpPendingMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return false;
        }
        Dispatch(msg);
    }
    return true;
}

void Timer::Start(UINT intervalMs, std::function<void()> onTick) {
    Stop();
    m_onTick = std::move(onTick);
    m_id = SetTimer(nullptr, 0, intervalMs, &Timer::Tick);
    if (m_id) Timers()[m_id] = this;
}

void Timer::Stop() {
    if (!m_id) return;
    KillTimer(nullptr, m_id);
    Timers().erase(m_id);
    m_id = 0;
}

void CALLBACK Timer::Tick(HWND, UINT, UINT_PTR id, DWORD) {
    const auto timer = Timers().find(id);
    if (timer == Timers().end()) return;
    // A copy, so a handler that restarts or stops its own timer stays alive while it runs.
    const std::function<void()> onTick = timer->second->m_onTick;
    if (onTick) onTick();
}

SingleInstance::SingleInstance(const wchar_t* name) : m_mutex(CreateMutexW(nullptr, FALSE, name)) {
    m_another = m_mutex && GetLastError() == ERROR_ALREADY_EXISTS;
}

}  // namespace velmora::toolkit
