#include "menulib/menu_props.h"

#include "menulib/menu_model.h"

namespace ostrel {

namespace {
constexpr int kColorWindow = 5;
constexpr int kColorMenu = 4;
constexpr int kColorWindowText = 8;
constexpr int kColorMenuText = 7;
constexpr int kColorHighlight = 13;
constexpr int kColorButtonFace = 15;
constexpr int kColorButtonShadow = 16;
constexpr int kColorGrayText = 17;
constexpr int kColorButtonText = 18;
}  // namespace

MenuColors DefaultMenuColors(const SystemMenuPalette& palette, bool lowColor) {
    MenuColors c;
    c.menuBarBack = palette.flatMenus ? palette.menuBar : SysColor(kColorMenu);
    c.menuPopupBack = SysColor(kColorWindow);
    c.disabledMenuFore = SysColor(kColorGrayText);
    if (lowColor) {
        const OleColor window = SysColor(kColorWindow);
        c.menuFore = SysColor(kColorMenuText);
        c.menuBack = SysColor(kColorButtonFace);
        c.menuBorder = SysColor(kColorButtonText);
        c.selMenuBack = window;
        c.selMenuFore = SysColor(kColorWindowText);
        c.selMenuBorder = SysColor(kColorButtonText);
        c.checkBack = window;
        c.selCheckBack = window;
        c.checkFore = SysColor(kColorWindowText);
        c.disabledMenuBack = window;
        c.disabledMenuBorder = SysColor(kColorButtonText);
        return c;
    }
    const OleColor window = palette.window;
    const OleColor highlight = palette.highlight;
    const OleColor selBack = MenuBlend(highlight, window, 70);
    c.menuFore = SysColor(kColorWindowText);
    c.menuBack = MenuBlend(palette.buttonFace, window, 214);
    c.menuBorder = SysColor(kColorButtonShadow);
    c.selMenuBack = selBack;
    c.selMenuFore = SysColor(kColorMenuText);
    c.selMenuBorder = SysColor(kColorHighlight);
    c.checkBack = MenuBlend(window, selBack, 128);
    c.selCheckBack = MenuBlend(MenuBlend(highlight, selBack, 128), selBack, 128);
    c.checkFore = SysColor(kColorMenuText);
    c.disabledMenuBack = MenuBlend(c.menuBack, window, 128);
    c.disabledMenuBorder = SysColor(kColorButtonShadow);
    return c;
}

std::wstring IconKeyOf(const std::wstring& name, int index) {
    return index < 0 ? L"#" + name : L"#" + name + L":" + std::to_wstring(index);
}

}  // namespace ostrel
