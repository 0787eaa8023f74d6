// The menu control's properties: its colours with the display-dependent defaults, the look
// and font switches, and the stored form of its icon registry.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "menulib/button_model.h"
#include "menulib/colors.h"

namespace ostrel {

struct MenuColors {
    OleColor menuBarBack = 0;
    OleColor menuFore = 0;
    OleColor menuBack = 0;
    OleColor menuPopupBack = 0;
    OleColor menuBorder = 0;
    OleColor selMenuBack = 0;
    OleColor selMenuFore = 0;
    OleColor selMenuBorder = 0;
    OleColor checkBack = 0;
    OleColor selCheckBack = 0;
    OleColor checkFore = 0;
    OleColor disabledMenuFore = 0;
    OleColor disabledMenuBack = 0;
    OleColor disabledMenuBorder = 0;
    OleColor mainSeprator = Rgb(128, 128, 130);
    OleColor menuShadow = Rgb(0, 0, 0);
    OleColor menuBarStar = Rgb(255, 255, 255);
    OleColor menuBarEnd = Rgb(153, 187, 234);
    OleColor mainHoveStar = Rgb(255, 248, 248);
    OleColor mainHoveEnd = Rgb(255, 215, 157);
    OleColor mainMenuBackStar = Rgb(153, 187, 234);
    OleColor mainMenuBackEnd = Rgb(255, 255, 255);
    OleColor menuPopupBack2003 = Rgb(246, 246, 246);
    OleColor selMenuBack2003 = Rgb(255, 240, 192);
    OleColor checkBack2003 = Rgb(170, 159, 241);
    OleColor selCheckBack2003 = Rgb(248, 222, 165);
    OleColor menuBorder2003 = Rgb(106, 140, 203);
    OleColor menuShadow2003 = Rgb(0, 45, 144);
    friend bool operator==(const MenuColors&, const MenuColors&) = default;
};

// The system colours (as RGB) the computed defaults start from.
struct SystemMenuPalette {
    OleColor window = Rgb(255, 255, 255);
    OleColor highlight = Rgb(49, 106, 197);
    OleColor buttonFace = Rgb(236, 233, 216);
    OleColor menuBar = Rgb(236, 233, 216);
    bool flatMenus = false;
};

// System colour references by index.
constexpr OleColor SysColor(int index) { return kSystemColorFlag | static_cast<OleColor>(index); }

// The defaults of a display with more than 8 bits per pixel, or of the low-colour column.
MenuColors DefaultMenuColors(const SystemMenuPalette& palette, bool lowColor);

// A picture in its stored form: a bitmap as one DIB, an icon as its colour and mask DIBs.
struct StoredPicture {
    enum class Kind : uint8_t { None, Bitmap, Icon };
    Kind kind = Kind::None;
    std::vector<uint8_t> color;
    std::vector<uint8_t> mask;
    friend bool operator==(const StoredPicture&, const StoredPicture&) = default;
};

constexpr OleColor kDefaultIconMask = Rgb(255, 0, 255);

struct StoredIcon {
    StoredPicture picture;
    OleColor mask = kDefaultIconMask;
    std::wstring key;
    friend bool operator==(const StoredIcon&, const StoredIcon&) = default;
};

struct MenuProps {
    MenuColors colors;
    bool useOffice2003Style = true;
    bool selectDisabled = true;
    int bitmapSize = 16;
    bool useSystemFont = true;
    FontSpec font;
    std::vector<StoredIcon> icons;
    friend bool operator==(const MenuProps&, const MenuProps&) = default;
};

// The key of a menu control's icon: "#" + name, or "#" + name + ":" + index in a control array.
std::wstring IconKeyOf(const std::wstring& name, int index = -1);

}  // namespace ostrel
