// Top-level forms laid out in twips from a table of controls, the way the programs'
// windows are described.
#pragma once

#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "toolkit/handles.h"
#include "toolkit/window.h"

namespace velmora::toolkit {

enum class ControlKind {
    Label,
    Button,
    Frame,            // group box; a caption of "" draws only the border
    TextBox,          // single line
    MultiLineReadOnly // multi-line, read-only, vertical scroll bar
};

struct ControlSpec {
    int id;
    ControlKind kind;
    int left, top, width, height;  // twips, relative to `container` (0: the form)
    const wchar_t* caption;
    int container = 0;             // id of a frame the position is relative to
};

enum class FormBorder { FixedSingle, Sizable };

struct FormSpec {
    const wchar_t* className;
    const wchar_t* caption;
    int width, height;  // client size in twips
    FormBorder border = FormBorder::FixedSingle;
    bool maximizeBox = false;
    bool minimizeBox = true;
    int iconResource = 0;  // 0: no icon
};

class Form : public Window {
public:
    Form(const FormSpec& form, std::vector<ControlSpec> controls);

    // Creates the window centred on the screen, and its controls; not shown yet.
    bool Create(HWND owner = nullptr);
    void Show(int command = SW_SHOW);

    HWND Control(int id) const { return GetDlgItem(Handle(), id); }
    void SetControlText(int id, const std::wstring& text) const;
    std::wstring ControlText(int id) const;
    void EnableControl(int id, bool enabled) const;
    bool IsControlEnabled(int id) const;

    // Button clicks and other WM_COMMAND notifications, routed by control id.
    void OnClick(int id, std::function<void()> handler);

    // Closing the form (the close box or Close()) runs this; by default it destroys the
    // window and, for the program's main form, ends the message loop.
    void Close();
    void SetQuitOnDestroy(bool quit) { m_quitOnDestroy = quit; }

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    FormSpec m_spec;
    std::vector<ControlSpec> m_controls;
    std::unordered_map<int, std::function<void()>> m_clickHandlers;
    FontHandle m_font;
    bool m_quitOnDestroy = false;
};

// The face name of the user-interface font: 宋体 where the system has it, otherwise a
// font that holds Chinese characters.
std::wstring UiFontFace();
FontHandle CreateUiFont(int points = 9);

}  // namespace velmora::toolkit
