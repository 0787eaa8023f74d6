// frmLogo: the splash window that starts the player. It fades in, shows the start-up
// texts while the main window loads, and fades out.
#pragma once

#include <windows.h>

#include <string>

#include "toolkit/handles.h"
#include "toolkit/window.h"

namespace velmora::player {

class Splash : public toolkit::Window {
public:
    bool Create();
    // Before Windows 5 there is no fading: shown at once, gone when destroyed.
    void FadeIn();
    void FadeOut();
    // lblLoadStatus.
    void SetStatus(const std::wstring& text);
    const std::wstring& Status() const { return m_status; }

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void SetAlpha(BYTE alpha);
    void Paint(HDC dc) const;

    std::wstring m_status;
    toolkit::BitmapHandle m_picture;  // kept so repaints come from memory
    toolkit::FontHandle m_font;
};

// Waits that long while window messages keep running.
void WaitPumping(DWORD milliseconds);

}  // namespace velmora::player
