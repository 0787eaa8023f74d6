// The flat button "VsNetBut" and the toolbar container "VsToolBar": window classes
// registered by the library, and one non-owning wrapper per control window. The window owns
// its state and frees it when destroyed.
#pragma once

#include <windows.h>

#include <string>

#include "menulib/button_model.h"
#include "menulib/export.h"
#include "menulib/mem_dc.h"
#include "menulib/property_bag.h"
#include "menulib/toolbar_model.h"

namespace ostrel {

// Registers "VsNetBut" and "VsToolBar" (global classes of the library); safe to repeat.
OSTREL_API bool RegisterControlClasses();
OSTREL_API void UnregisterControlClasses();

// The button's events; buttons are VB-style: 1 left, 2 right, 4 middle; shift 1, ctrl 2, alt 4.
class NetButtonListener {
public:
    virtual ~NetButtonListener() = default;
    virtual void Click() {}
    virtual void DblClick() {}
    virtual void KeyDown(int& /*keyCode*/, int /*shift*/) {}
    virtual void KeyPress(int& /*keyAscii*/) {}
    virtual void KeyUp(int& /*keyCode*/, int /*shift*/) {}
    virtual void MouseDown(int /*button*/, int /*shift*/, int /*x*/, int /*y*/) {}
    virtual void MouseMove(int /*button*/, int /*shift*/, int /*x*/, int /*y*/) {}
    virtual void MouseUp(int /*button*/, int /*shift*/, int /*x*/, int /*y*/) {}
    virtual void Resize() {}
    virtual void MouseEnter() {}
    virtual void MouseExit() {}
    virtual void DropDownClick() {}
};

enum class VisualState : int { Normal = 0, Hover = 1, Pressed = 2 };

class OSTREL_API VsNetBut {
public:
    VsNetBut() = default;
    explicit VsNetBut(HWND window) : m_window(window) {}

    // A child window of the parent with these properties; false when creation failed.
    bool Create(HWND parent, int id, int x, int y, int width, int height, const ButtonProps& props);
    bool Create(HWND parent, int id, int x, int y, int width, int height);  // with the defaults
    HWND hWnd() const { return m_window; }
    // The control's window DC (a class DC, valid for the window's life).
    HDC hDC() const;
    bool IsValid() const;

    const ButtonProps& Props() const;
    // Applies every changed property; a refused value is put back and reported as error 380
    // (the first refusal when several are refused). Layout and painting follow.
    PropertyResult Apply(const ButtonProps& next);
    void SetEnabled(bool enabled);
    void SetCaption(const std::wstring& caption);
    void SetOffice2003Style(bool on);
    void SetCheck(bool on);
    PropertyResult SetButtonAppearance(ButtonAppearance appearance);
    void SetButtonPicture(const Picture& picture);
    void SetMouseIcon(const Picture& picture);
    // Extender roles of the form: Enter triggers the default button, Esc the cancel button.
    void SetDefault(bool on);
    void SetCancel(bool on);

    void SetListener(NetButtonListener* listener);
    void Refresh();
    VisualState State() const;
    bool IsHovering() const;

    void ReadProperties(PropertyBag& bag);
    void WriteProperties(PropertyBag& bag) const;

    // A two-colour gradient on any DC, framed when asked (default frame RGB(254, 128, 62)).
    static void FillGradient(HDC dc, int left, int top, int right, int bottom, OleColor first, OleColor second,
                             bool vertical = false, bool drawBorder = false, OleColor border = Rgb(254, 128, 62));

private:
    HWND m_window = nullptr;
};

// The container's answer to a key: letters reach the buttons whose access key they are,
// Enter the default button and Esc the cancel button. True when a button took it.
OSTREL_API bool DispatchAccessKey(HWND form, wchar_t key);

class OSTREL_API VsToolBar {
public:
    VsToolBar() = default;
    explicit VsToolBar(HWND window) : m_window(window) {}

    bool Create(HWND parent, int id, int x, int y, int width, int height, const ToolbarProps& props = {});
    HWND hWnd() const { return m_window; }
    HDC hDC() const;

    const ToolbarProps& Props() const;
    bool BorderStyle(int style) const;
    void SetBorderStyle(int style, bool on);
    bool BorderPart(int part) const;
    void SetBorderPart(int part, bool on);
    // Both pass on to every contained VsNetBut.
    void SetOffice2003Style(bool on);
    void SetEnabled(bool enabled);
    void SetBackColor(OleColor color);
    void SetForeColor(OleColor color);
    void Draw();
    // The area inside the edge, the clip region of the control's DC.
    PixelRect InnerArea() const;

    void ReadProperties(PropertyBag& bag);
    void WriteProperties(PropertyBag& bag) const;

private:
    HWND m_window = nullptr;
};

}  // namespace ostrel
