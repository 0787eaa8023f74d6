// Helpers of the list tests under Wine: pixel capture through WM_PRINTCLIENT, message
// pumping for a while, and a watcher that answers a message box.
#pragma once

#include <windows.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace velmora::lists::testing {

// The client area of a window as its WM_PRINTCLIENT draws it.
class Capture {
public:
    explicit Capture(HWND window);
    COLORREF At(int x, int y) const { return m_pixels[static_cast<size_t>(y * m_width + x)]; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    bool Contains(COLORREF color, int left, int top, int right, int bottom) const;

private:
    int m_width = 0;
    int m_height = 0;
    std::vector<COLORREF> m_pixels;
};

// A shown top-level window to hold the controls under test, made once: under Wine
// showing a new top-level window waits for the X server for a while.
HWND TestHost();

// Runs the window messages (and so the timers) for that long.
void PumpFor(int milliseconds);
// Runs the window messages until the condition holds or the time is up; returns it.
template <typename Condition>
bool PumpUntil(Condition condition, int milliseconds) {
    const DWORD end = GetTickCount() + static_cast<DWORD>(milliseconds);
    while (!condition()) {
        if (static_cast<int>(end - GetTickCount()) <= 0) return false;
        PumpFor(2);
    }
    return true;
}

// Waits on its own thread for a message box with that caption, records its texts and
// whether it shows the stop icon, and presses OK.
class MessageBoxWatcher {
public:
    explicit MessageBoxWatcher(std::wstring caption);
    ~MessageBoxWatcher();
    // Joins the thread; true when a box was seen.
    bool Finish();
    const std::vector<std::wstring>& Texts() const { return m_texts; }
    bool HadStopIcon() const { return m_stopIcon; }

private:
    std::wstring m_caption;
    std::vector<std::wstring> m_texts;
    bool m_stopIcon = false;
    std::atomic<bool> m_seen{false};
    std::atomic<bool> m_quit{false};
    std::thread m_thread;
};

// An HDROP as the shell hands it over, for WM_DROPFILES; the receiver frees it.
HGLOBAL MakeDrop(const std::vector<std::wstring>& files, POINT at);

}  // namespace velmora::lists::testing
