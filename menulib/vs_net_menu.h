// "VsNetMenu": once attached to a window it owner-draws that window's menu bar and every popup
// menu in the XP or the Office 2003 look, skins the popup menu windows (flat border, joint with
// the bar item, soft shadow) and puts the menus back as they were when the window goes.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "menulib/export.h"
#include "menulib/mem_dc.h"
#include "menulib/menu_props.h"
#include "menulib/property_bag.h"

namespace ostrel {

// A menu item of the form as its menu table names it: icons are filed by name (and index in a
// control array) and found for a drawn item through its caption.
struct MenuControlInfo {
    std::wstring name;
    int index = -1;  // position in a control array, -1 when none
    std::wstring caption;
    friend bool operator==(const MenuControlInfo&, const MenuControlInfo&) = default;
};

struct MenuIcon {
    Picture picture;
    OleColor mask = kDefaultIconMask;
    std::wstring key;
};

class OSTREL_API VsNetMenu {
public:
    // The defaults of the display's colour column, the font 宋体 9 pt.
    VsNetMenu();
    ~VsNetMenu();  // detaches and frees its fonts
    VsNetMenu(const VsNetMenu&) = delete;
    VsNetMenu& operator=(const VsNetMenu&) = delete;

    // Takes over the menus of the window; may be called again to re-attach.
    bool Init(HWND host);
    HWND Host() const;

    // Colours are OLE colours; a system colour given here is stored as its current RGB value.
    const MenuColors& Colors() const;
    void SetColor(OleColor MenuColors::*which, OleColor value);
    bool UseOffice2003Style() const;
    void SetUseOffice2003Style(bool on);  // takes effect the next time menus are drawn
    bool SelectDisabled() const;
    void SetSelectDisabled(bool on);
    int BitmapSize() const;
    void SetBitmapSize(int pixels);
    bool UseSystemFont() const;
    void SetUseSystemFont(bool on);
    const FontSpec& Font() const;
    void SetFont(const FontSpec& font);
    // Width of the icon strip, height of popup items.
    int IconColumnWidth() const;

    // The form's menu items in form order, for the icon lookup by caption and the property page.
    void SetMenuControls(std::vector<MenuControlInfo> controls);
    const std::vector<MenuControlInfo>& MenuControls() const;
    // Files the picture under "#" + name (replacing any); an empty picture removes the icon.
    void SetBitmapByCaption(const std::wstring& name, const Picture& picture, OleColor mask = kDefaultIconMask);
    void SetBitmap(const MenuControlInfo& menu, const Picture& picture, OleColor mask = kDefaultIconMask);
    // The registry in order; replacing it marks the control changed.
    std::vector<MenuIcon> Icons() const;
    void ReplaceIcons(std::vector<MenuIcon> icons);
    // The icon of the first menu control whose caption up to its tab equals the label.
    const MenuIcon* IconForLabel(const std::wstring& label) const;

    // Set by every property change, for the host's "save the form" decision.
    bool Modified() const;
    void ClearModified();

    void ReadProperties(PropertyBag& bag, const FontSpec& containerFont = {});
    void WriteProperties(PropertyBag& bag, const FontSpec& containerFont = {}) const;

    struct Impl;

private:
    std::unique_ptr<Impl> m_impl;
};

// Pictures in their stored form (device-independent bitmaps; an icon as colour and mask).
OSTREL_API StoredPicture StorePicture(const Picture& picture);
OSTREL_API Picture RestorePicture(const StoredPicture& stored);

}  // namespace ostrel
