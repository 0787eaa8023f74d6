#include "menulib/persistence.h"

#include <charconv>
#include <cwchar>
#include <string>
#include <type_traits>

namespace ostrel {

namespace {

// Reals travel as text: the bag's numbers are integers.
PropertyValue ToValue(double v) {
    char buffer[32];
    auto end = std::to_chars(buffer, buffer + sizeof buffer, v).ptr;
    return PropertyValue::Of(std::wstring(buffer, end));
}
double RealOf(const PropertyValue& v) {
    return v.kind == PropertyValue::Kind::Text ? std::wcstod(v.text.c_str(), nullptr)
                                               : static_cast<double>(v.number);
}

// Colours are stored as the signed 32-bit value the original wrote.
template <typename T>
PropertyValue ToValue(const T& v) {
    if constexpr (std::is_same_v<T, std::wstring>) {
        return PropertyValue::Of(v);
    } else if constexpr (std::is_same_v<T, OleColor>) {
        return PropertyValue::Of(static_cast<int64_t>(static_cast<int32_t>(v)));
    } else {
        return PropertyValue::Of(static_cast<int64_t>(v));
    }
}

template <typename T>
void FromValue(const PropertyValue& v, T& out) {
    if constexpr (std::is_same_v<T, double>) {
        out = RealOf(v);
    } else if constexpr (std::is_same_v<T, std::wstring>) {
        out = v.kind == PropertyValue::Kind::Text ? v.text : std::to_wstring(v.number);
    } else if constexpr (std::is_same_v<T, bool>) {
        out = v.number != 0;
    } else {
        out = static_cast<T>(v.number);
    }
}

struct Writer {
    PropertyBag& bag;
    template <typename T>
    void operator()(std::wstring_view name, const T& value, const T& fallback) {
        bag.Write(name, ToValue(value), ToValue(fallback));
    }
    void operator()(std::wstring_view name, const FontSpec& font, const FontSpec& fallback) {
        if (font == fallback && !bag.HasChild(name)) return;
        PropertyBag& child = bag.Child(name);
        Writer nested{child};
        VisitFont(font, fallback, nested);
    }
    template <typename Font, typename V>
    static void VisitFont(Font& f, const FontSpec& d, V& v) {
        v(L"Name", f.name, d.name);
        v(L"Size", f.size, d.size);
        v(L"Bold", f.bold, d.bold);
        v(L"Italic", f.italic, d.italic);
        v(L"Underline", f.underline, d.underline);
        v(L"Charset", f.charset, d.charset);
    }
};

struct Reader {
    PropertyBag& bag;
    template <typename T>
    void operator()(std::wstring_view name, T& value, const T& fallback) {
        FromValue(bag.Read(name, ToValue(fallback)), value);
    }
    void operator()(std::wstring_view name, FontSpec& font, const FontSpec& fallback) {
        font = fallback;
        if (!bag.HasChild(name)) return;
        Reader nested{bag.Child(name)};
        Writer::VisitFont(font, fallback, nested);
    }
};

// One table for both directions; pictures ("MouseIcon", "ButtonPicture") are set at run time.
template <typename Props, typename V>
void VisitButton(Props& p, const ButtonProps& d, V&& v) {
    v(L"Enabled", p.enabled, d.enabled);
    v(L"Font", p.font, d.font);
    v(L"Office2003Style", p.office2003Style, d.office2003Style);
    v(L"DownColorXP", p.downColorXP, d.downColorXP);
    v(L"OverColorXP", p.overColorXP, d.overColorXP);
    v(L"CheckedColorXP", p.checkedColorXP, d.checkedColorXP);
    v(L"ShowShadow", p.showShadow, d.showShadow);
    v(L"MousePointer", p.mousePointer, d.mousePointer);
    v(L"ShowCaption", p.showCaption, d.showCaption);
    v(L"CaptionAreaPercent", p.captionAreaPercent, d.captionAreaPercent);
    v(L"Caption", p.caption, d.caption);
    v(L"AutoMultiLine", p.autoMultiLine, d.autoMultiLine);
    v(L"CaptionOffsetBottom", p.captionOffset.bottom, d.captionOffset.bottom);
    v(L"CaptionOffsetLeft", p.captionOffset.left, d.captionOffset.left);
    v(L"CaptionOffsetRight", p.captionOffset.right, d.captionOffset.right);
    v(L"CaptionOffsetTop", p.captionOffset.top, d.captionOffset.top);
    v(L"PictureOffsetBottom", p.pictureOffset.bottom, d.pictureOffset.bottom);
    v(L"PictureOffsetLeft", p.pictureOffset.left, d.pictureOffset.left);
    v(L"PictureOffsetRight", p.pictureOffset.right, d.pictureOffset.right);
    v(L"PictureOffsetTop", p.pictureOffset.top, d.pictureOffset.top);
    v(L"ShadowColor", p.shadowColor, d.shadowColor);
    v(L"ShadowOffset", p.shadowOffset, d.shadowOffset);
    v(L"HotKeyDynamicEffect", p.hotKeyDynamicEffect, d.hotKeyDynamicEffect);
    v(L"ShowEdgeOnNoFocus", p.showEdgeOnNoFocus, d.showEdgeOnNoFocus);
    v(L"ShowFocusRect", p.showFocusRect, d.showFocusRect);
    v(L"FoucsRectOffSet", p.focusRectOffset, d.focusRectOffset);
    v(L"ShowPictureFixSize", p.showPictureFixSize, d.showPictureFixSize);
    v(L"SepForeColor", p.sepForeColor, d.sepForeColor);
    v(L"MainSepForeColor", p.mainSepForeColor, d.mainSepForeColor);
    v(L"MainSepThick", p.mainSepThick, d.mainSepThick);
    v(L"Up_DownWidht", p.upDownWidth, d.upDownWidth);
    v(L"MainSepLineBetweenSpace", p.mainSepLineBetweenSpace, d.mainSepLineBetweenSpace);
    v(L"PicAreaFixHeight", p.picAreaFixHeight, d.picAreaFixHeight);
    v(L"PicAreaFixWidth", p.picAreaFixWidth, d.picAreaFixWidth);
    v(L"IgnoeDisEnabledEffect", p.ignoreDisabledEffect, d.ignoreDisabledEffect);
    v(L"CaptionLayout", p.captionLayout, d.captionLayout);
    v(L"PictureLayout", p.pictureLayout, d.pictureLayout);
    v(L"ButtonAppearance", p.appearance, d.appearance);
    v(L"CaptionAreaLayout", p.captionAreaLayout, d.captionAreaLayout);
    v(L"EnableDblClick", p.enableDblClick, d.enableDblClick);
    v(L"EdgeColor", p.edgeColor, d.edgeColor);
    v(L"BackColor", p.backColor, d.backColor);
    v(L"ForeColor", p.foreColor, d.foreColor);
    v(L"DownColorStar", p.downColorStart, d.downColorStart);
    v(L"DownColorEnd", p.downColorEnd, d.downColorEnd);
    v(L"CheckOverColorStar", p.checkOverColorStart, d.checkOverColorStart);
    v(L"CheckOverColorEnd", p.checkOverColorEnd, d.checkOverColorEnd);
    v(L"OverColorStar", p.overColorStart, d.overColorStart);
    v(L"OverColorEnd", p.overColorEnd, d.overColorEnd);
    v(L"CheckedColorStar", p.checkedColorStart, d.checkedColorStart);
    v(L"CheckedColorEnd", p.checkedColorEnd, d.checkedColorEnd);
    v(L"Check", p.check, d.check);
}

template <typename Props, typename V>
void VisitToolbar(Props& p, const ToolbarProps& d, V&& v) {
    v(L"BackColor", p.backColor, d.backColor);
    v(L"ForeColor", p.foreColor, d.foreColor);
    v(L"BorderStyle", p.borderStyle, d.borderStyle);
    v(L"BorderPart", p.borderPart, d.borderPart);
    v(L"Office2003Style", p.office2003Style, d.office2003Style);
    v(L"Enabled", p.enabled, d.enabled);
}

template <typename Props, typename V>
void VisitMenuOffice(Props& p, const MenuProps& d, V&& v) {
    auto& c = p.colors;
    const MenuColors& dc = d.colors;
    v(L"UseOffice2003Style", p.useOffice2003Style, d.useOffice2003Style);
    v(L"MenuBarStar", c.menuBarStar, dc.menuBarStar);
    v(L"MenuBarEnd", c.menuBarEnd, dc.menuBarEnd);
    v(L"MainMenuBackStar", c.mainMenuBackStar, dc.mainMenuBackStar);
    v(L"MainMenuBackEnd", c.mainMenuBackEnd, dc.mainMenuBackEnd);
    v(L"MainHoveStar", c.mainHoveStar, dc.mainHoveStar);
    v(L"MainHoveEnd", c.mainHoveEnd, dc.mainHoveEnd);
    v(L"MenuPopupBack2003", c.menuPopupBack2003, dc.menuPopupBack2003);
    v(L"SelMenuBack2003", c.selMenuBack2003, dc.selMenuBack2003);
    v(L"CheckBack2003", c.checkBack2003, dc.checkBack2003);
    v(L"SelCheckBack2003", c.selCheckBack2003, dc.selCheckBack2003);
    v(L"MenuBorder2003", c.menuBorder2003, dc.menuBorder2003);
    v(L"MenuShadow2003", c.menuShadow2003, dc.menuShadow2003);
    v(L"MenuShadow", c.menuShadow, dc.menuShadow);
    v(L"MainSeprator", c.mainSeprator, dc.mainSeprator);
    v(L"SelMenuBorder", c.selMenuBorder, dc.selMenuBorder);
    v(L"SelMenuFore", c.selMenuFore, dc.selMenuFore);
    v(L"SelMenuBack", c.selMenuBack, dc.selMenuBack);
    v(L"CheckBack", c.checkBack, dc.checkBack);
    v(L"CheckFore", c.checkFore, dc.checkFore);
    v(L"SelCheckBack", c.selCheckBack, dc.selCheckBack);
    v(L"MenuBorder", c.menuBorder, dc.menuBorder);
    v(L"MenuBack", c.menuBack, dc.menuBack);
    v(L"MenuFore", c.menuFore, dc.menuFore);
    v(L"DisabledMenuBorder", c.disabledMenuBorder, dc.disabledMenuBorder);
    v(L"DisabledMenuBack", c.disabledMenuBack, dc.disabledMenuBack);
    v(L"DisabledMenuFore", c.disabledMenuFore, dc.disabledMenuFore);
    v(L"MenuBarBack", c.menuBarBack, dc.menuBarBack);
    v(L"MenuPopupBack", c.menuPopupBack, dc.menuPopupBack);
    v(L"SelectDisabled", p.selectDisabled, d.selectDisabled);
    v(L"BitmapSize", p.bitmapSize, d.bitmapSize);
}

template <typename Props, typename V>
void VisitMenuFont(Props& p, const MenuProps& d, V&& v) {
    v(L"UseSystemFont", p.useSystemFont, d.useSystemFont);
    v(L"Font", p.font, d.font);
}

std::wstring Numbered(const wchar_t* name, size_t i) { return name + std::to_wstring(i); }

// A bitmap is one byte value; an icon a nested bag of its colour ("c") and mask ("m") bitmaps.
void WriteStoredPicture(const StoredPicture& picture, const std::wstring& name, PropertyBag& bag) {
    if (picture.kind == StoredPicture::Kind::Bitmap) {
        bag.Write(name, PropertyValue::Of(picture.color), PropertyValue{});
    } else if (picture.kind == StoredPicture::Kind::Icon) {
        PropertyBag& nested = bag.Child(name);
        nested.Write(L"c", PropertyValue::Of(picture.color), PropertyValue{});
        nested.Write(L"m", PropertyValue::Of(picture.mask), PropertyValue{});
    }
}

StoredPicture ReadStoredPicture(const std::wstring& name, PropertyBag& bag) {
    StoredPicture picture;
    if (bag.HasChild(name)) {
        PropertyBag& nested = bag.Child(name);
        picture.kind = StoredPicture::Kind::Icon;
        picture.color = nested.Read(L"c", PropertyValue{}).bytes;
        picture.mask = nested.Read(L"m", PropertyValue{}).bytes;
        return picture;
    }
    PropertyValue value = bag.Read(name, PropertyValue{});
    if (value.kind == PropertyValue::Kind::Bytes) {
        picture.kind = StoredPicture::Kind::Bitmap;
        picture.color = std::move(value.bytes);
    }
    return picture;
}

// One shared set of defaults (also spares GCC's false uninitialised warnings on temporaries).
const ButtonProps& ButtonDefaults() {
    static const ButtonProps defaults;
    return defaults;
}
const ToolbarProps& ToolbarDefaults() {
    static const ToolbarProps defaults;
    return defaults;
}

}  // namespace

void WriteButtonProps(const ButtonProps& props, PropertyBag& bag) { VisitButton(props, ButtonDefaults(), Writer{bag}); }

ButtonProps ReadButtonProps(PropertyBag& bag) {
    ButtonProps props;
    VisitButton(props, ButtonDefaults(), Reader{bag});
    return props;
}

void WriteToolbarProps(const ToolbarProps& props, PropertyBag& bag) { VisitToolbar(props, ToolbarDefaults(), Writer{bag}); }

ToolbarProps ReadToolbarProps(PropertyBag& bag) {
    ToolbarProps props;
    VisitToolbar(props, ToolbarDefaults(), Reader{bag});
    return props;
}

void WriteMenuProps(const MenuProps& props, const MenuProps& defaults, PropertyBag& bag) {
    Writer writer{bag};
    VisitMenuOffice(props, defaults, writer);
    // The count is always written, so a reader can tell "no icons" from "not saved".
    bag.Write(L"BmpCount", PropertyValue::Of(static_cast<int64_t>(props.icons.size())), PropertyValue::Of(-1));
    for (size_t i = 1; i <= props.icons.size(); ++i) {
        const StoredIcon& icon = props.icons[i - 1];
        WriteStoredPicture(icon.picture, Numbered(L"Bmp:", i), bag);
        writer(Numbered(L"Mask:", i), icon.mask, OleColor{0});
        writer(Numbered(L"Key:", i), icon.key, L"#" + std::to_wstring(i));
    }
    VisitMenuFont(props, defaults, writer);
}

MenuProps ReadMenuProps(PropertyBag& bag, const MenuProps& defaults) {
    MenuProps props = defaults;
    Reader reader{bag};
    VisitMenuOffice(props, defaults, reader);
    const int64_t count = bag.Read(L"BmpCount", PropertyValue::Of(0)).number;
    props.icons.clear();
    for (int64_t i = 1; i <= count; ++i) {
        StoredIcon icon;
        icon.picture = ReadStoredPicture(Numbered(L"Bmp:", static_cast<size_t>(i)), bag);
        reader(Numbered(L"Mask:", static_cast<size_t>(i)), icon.mask, OleColor{0});
        reader(Numbered(L"Key:", static_cast<size_t>(i)), icon.key, L"#" + std::to_wstring(i));
        props.icons.push_back(std::move(icon));
    }
    VisitMenuFont(props, defaults, reader);
    return props;
}

}  // namespace ostrel
