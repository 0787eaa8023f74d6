// Program-wide helpers: the application title, message boxes, the message loop,
// "let pending window messages run", timers and single-instance detection.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "toolkit/handles.h"

namespace velmora::toolkit {

// The caption of every message box unless a caller names another.
void SetApplicationTitle(std::wstring title);
const std::wstring& ApplicationTitle();

enum class MessageIcon : UINT {
    None = 0,
    Exclamation = MB_ICONEXCLAMATION,
    Information = MB_ICONINFORMATION,
    Stop = MB_ICONSTOP,
    Question = MB_ICONQUESTION,
};
enum class MessageButtons : UINT { Ok = MB_OK, YesNo = MB_YESNO, OkCancel = MB_OKCANCEL };

// Modal message box; returns IDOK, IDYES, IDNO, ...
int ShowMessage(HWND owner, const std::wstring& text, MessageIcon icon,
                MessageButtons buttons = MessageButtons::Ok, const std::wstring& title = {});

// Runs the message loop until WM_QUIT; dialog keys (Tab, access keys) work in every
// top-level window with WS_EX_CONTROLPARENT, and `accelerators` (if any) go to `window`.
// Returns the quit code.
int RunMessageLoop(HWND window = nullptr, HACCEL accelerators = nullptr);

// Lets pending window messages run, so a long job keeps the windows responsive.
// Returns false when a quit request arrived (it is posted again for the outer loop).
bool PumpPendingMessages();

// A repeating timer on the UI thread; stops when destroyed.
class Timer {
public:
    Timer() = default;
    ~Timer() { Stop(); }
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;

    void Start(UINT intervalMs, std::function<void()> onTick);
    void Stop();
    bool IsRunning() const { return m_id != 0; }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD);
    UINT_PTR m_id = 0;
    std::function<void()> m_onTick;
};

// Holds a named mutex for the life of the program; the second holder learns of the first.
class SingleInstance {
public:
    explicit SingleInstance(const wchar_t* name);
    bool AnotherIsRunning() const { return m_another; }

private:
    KernelHandle m_mutex;
    bool m_another = false;
};

}  // namespace velmora::toolkit
