// The flat button's properties and the arithmetic behind its painting: areas, placement of
// picture and caption, glyph pixels, access keys and the refused-property rules.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "menulib/colors.h"
#include "menulib/geometry.h"

namespace ostrel {

enum class ButtonAppearance : int { Office2003 = 0, Sep2003 = 1, MainSep2003 = 2, UpDown2003 = 3, NextUpDown2003 = 4 };

// Rows: bottom 0-2, middle 3-5, top 6-8; columns: left, centre, right.
enum class ContentLayout : int {
    BottomLeft, BottomCenter, BottomRight, MiddleLeft, MiddleCenter, MiddleRight, TopLeft, TopCenter, TopRight
};

// The side of the button the caption area takes.
enum class AreaLayout : int { Left = 0, Right = 1, Top = 2, Bottom = 3 };

struct FontSpec {
    // A constructor of its own, not member initialisers: GCC 12 warns wrongly about the string
    // of value-initialised temporaries otherwise.
    FontSpec() : name(L"宋体") {}
    std::wstring name;
    int size = 9;  // points
    bool bold = false;
    bool italic = false;
    bool underline = false;
    int charset = 134;
    friend bool operator==(const FontSpec&, const FontSpec&) = default;
};

struct ButtonProps {
    bool enabled = true;
    FontSpec font;
    bool office2003Style = true;
    OleColor downColorXP = Rgb(128, 128, 192);
    OleColor overColorXP = Rgb(173, 173, 209);
    OleColor checkedColorXP = Rgb(204, 204, 216);
    bool showShadow = true;
    int mousePointer = 0;
    bool showCaption = true;
    double captionAreaPercent = 80;
    std::wstring caption = L"Office2003 特效按钮";
    bool autoMultiLine = false;
    Insets captionOffset{2, 2, 2, 2};
    Insets pictureOffset{4, 4, 4, 4};
    OleColor shadowColor = Rgb(166, 166, 186);
    int shadowOffset = 2;
    bool hotKeyDynamicEffect = true;
    bool showEdgeOnNoFocus = false;
    bool showFocusRect = false;
    int focusRectOffset = 2;
    bool showPictureFixSize = true;
    OleColor sepForeColor = Rgb(128, 128, 130);
    OleColor mainSepForeColor = Rgb(128, 128, 130);
    int mainSepThick = 3;
    int upDownWidth = 12;
    int mainSepLineBetweenSpace = 2;
    double picAreaFixHeight = 26;
    double picAreaFixWidth = 26;
    bool ignoreDisabledEffect = false;
    ContentLayout captionLayout = ContentLayout::MiddleCenter;
    ContentLayout pictureLayout = ContentLayout::MiddleCenter;
    ButtonAppearance appearance = ButtonAppearance::Office2003;
    AreaLayout captionAreaLayout = AreaLayout::Right;
    bool enableDblClick = false;
    OleColor edgeColor = Rgb(0, 45, 150);
    OleColor backColor = kSysButtonFace;
    OleColor foreColor = kSysWindowText;
    OleColor downColorStart = Rgb(251, 139, 89);
    OleColor downColorEnd = Rgb(206, 47, 3);
    OleColor checkOverColorStart = Rgb(251, 139, 89);
    OleColor checkOverColorEnd = Rgb(206, 47, 3);
    OleColor overColorStart = Rgb(253, 254, 211);
    OleColor overColorEnd = Rgb(253, 221, 152);
    OleColor checkedColorStart = Rgb(251, 223, 128);
    OleColor checkedColorEnd = Rgb(245, 185, 74);
    bool check = false;
};

struct ButtonLayout {
    bool valid = false;
    bool hasPictureArea = false;
    bool hasCaptionArea = false;
    PixelRect pictureArea;
    PixelRect captionArea;
    bool hasLine = false;  // sbSep2003: vertical line at lineX from lineTop to lineBottom
    bool hasGrip = false;  // sbMainSep2003: band gripLeft..gripRight, lineTop..lineBottom
    int lineX = 0;
    int lineTop = 0;
    int lineBottom = 0;
    int gripLeft = 0;
    int gripRight = 0;
    bool hasDropDown = false;
    PixelRect dropDown;
    PixelPoint arrowCentre;
    bool hasChevron = false;
    PixelRect glyphBox;  // 8 x 14
};

ButtonLayout ComputeButtonLayout(const ButtonProps& props, int width, int height);

// Top-left corner of a picture of w x h pixels in its area.
PixelPoint PlacePicture(const PixelRect& area, const Insets& offsets, ContentLayout layout, int w, int h);

// DrawText format of the caption: single line or word-wrapped, centred or right-aligned.
unsigned CaptionFormat(ContentLayout layout, bool autoMultiLine);
constexpr unsigned kDrawTextCalcRect = 0x400;
// The caption's text rectangle for a measured text height.
PixelRect PlaceCaption(const PixelRect& area, const Insets& offsets, ContentLayout layout, int textHeight);

// The pixels of the small downward triangle of a split button.
std::vector<PixelPoint> DropDownArrowPixels(PixelPoint centre);
// The two ">" shapes of the chevron, and the corners of the triangle below them.
std::vector<PixelPoint> ChevronPixels(const PixelRect& glyphBox);
std::vector<PixelPoint> ChevronTriangle(const PixelRect& glyphBox);
// Rows of the grip band: every y in [top, bottom] divisible by the period.
std::vector<int> GripRows(int top, int bottom, int period);

// The upper-cased character after the first "&", or 0 (none, or "&&").
wchar_t AccessKeyOf(std::wstring_view caption);

// The properties whose values can be refused.
enum class GuardedProperty {
    CaptionAreaPercent,
    IgnoeDisEnabledEffect,
    SepForeColor,
    MainSepForeColor,
    MainSepThick,
    MainSepLineBetweenSpace,
    UpDownWidth,
    ButtonAppearance,
};
std::wstring_view PropertyName(GuardedProperty property);

// The refusal message when setting `property` to `value` is not allowed for a button with
// this appearance and last layout validity; nothing when the value is accepted.
std::optional<std::wstring> RefusalOf(GuardedProperty property, ButtonAppearance appearance,
                                      bool layoutValid, double value);

// A raised property error ("error 380"), returned by the setters instead of thrown.
struct PropertyError {
    int number = 380;
    std::wstring source;
    std::wstring description;
};
using PropertyResult = std::optional<PropertyError>;
PropertyError InvalidPropertyValue(GuardedProperty property, std::wstring description);

}  // namespace ostrel
