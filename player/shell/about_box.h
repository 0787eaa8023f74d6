// frmAbout: the about box with the small movie uistar.dll, the version and the maker's
// contacts; modal.
#pragma once

#include <windows.h>

#include "player/shell/shell_rules.h"

namespace velmora::player {

class AboutBox {
public:
    explicit AboutBox(const Settings& settings) : m_settings(settings) {}
    // Returns when the box is closed.
    void ShowModal(HWND owner);

private:
    const Settings& m_settings;
};

}  // namespace velmora::player
