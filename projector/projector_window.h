// The exported movie's window: the stage at its own size, a small menu, full screen.
#pragma once

#include <span>

#include "moviehost/movie_host.h"
#include "toolkit/handles.h"
#include "toolkit/window.h"

namespace velmora::projector {

enum ProjectorCommand : int {
    kCmdFullScreen = 1001,
    kCmdQuit,
    kCmdZoomIn,
    kCmdZoomOut,
    kCmdShowAll,
    kCmdQualityHigh,
    kCmdQualityLow,
    kCmdLeaveFullScreen,
};

class ProjectorWindow : public toolkit::Window {
public:
    bool Open(std::span<const uint8_t> movie, const std::wstring& title);
    HACCEL Accelerators() const { return m_accelerators.get(); }

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void OnCommand(int command);
    void SetFullScreen(bool fullScreen);
    void UpdateQualityChecks();

    struct AcceleratorDeleter {
        void operator()(HACCEL table) const { DestroyAcceleratorTable(table); }
    };
    moviehost::MovieHost m_host;
    std::unique_ptr<std::remove_pointer_t<HACCEL>, AcceleratorDeleter> m_accelerators;
    HMENU m_menu = nullptr;  // owned by the window
    bool m_fullScreen = false;
    RECT m_windowedPlace{};
};

}  // namespace velmora::projector
