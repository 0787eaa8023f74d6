#include "menulib/button_model.h"

#include <cmath>
#include <cwctype>

namespace ostrel {

namespace {

int Floor(double v) { return static_cast<int>(std::floor(v)); }
// Whole pixels the way the original rounded (to even on halves).
int RoundPixels(double v) { return static_cast<int>(std::nearbyint(v)); }

int ColumnOf(ContentLayout layout) { return static_cast<int>(layout) % 3; }
int RowOf(ContentLayout layout) { return static_cast<int>(layout) / 3; }  // 0 bottom, 1 middle, 2 top

// Caption and picture areas of a normal button (or the main part of a split button).
void SplitAreas(const ButtonProps& p, const PixelRect& a, ButtonLayout& out) {
    const bool captionShown = p.showCaption && !p.caption.empty() && p.captionAreaPercent != 0;
    if (p.captionAreaPercent == 100) {
        out.hasCaptionArea = true;
        out.captionArea = a;
        return;
    }
    if (!captionShown) {
        out.hasPictureArea = true;
        out.pictureArea = a;
        return;
    }
    out.hasCaptionArea = out.hasPictureArea = true;
    PixelRect& pic = out.pictureArea;
    PixelRect& cap = out.captionArea;
    pic = cap = a;
    if (p.showPictureFixSize) {
        const int w = RoundPixels(p.picAreaFixWidth);
        const int h = RoundPixels(p.picAreaFixHeight);
        switch (p.captionAreaLayout) {
            case AreaLayout::Left: pic.left = cap.right = a.right - w; break;
            case AreaLayout::Right: pic.right = cap.left = a.left + w; break;
            case AreaLayout::Top: pic.top = cap.bottom = a.bottom - h; break;
            case AreaLayout::Bottom: pic.bottom = cap.top = a.top + h; break;
        }
        return;
    }
    const double share = p.captionAreaPercent / 100;
    switch (p.captionAreaLayout) {
        case AreaLayout::Left: cap.right = pic.left = a.left + Floor(a.Width() * share); break;
        case AreaLayout::Right: pic.right = cap.left = a.left + Floor(a.Width() * (1 - share)); break;
        case AreaLayout::Top: cap.bottom = pic.top = a.top + Floor(a.Height() * share); break;
        case AreaLayout::Bottom: pic.bottom = cap.top = a.top + Floor(a.Height() * (1 - share)); break;
    }
}

}  // namespace

ButtonLayout ComputeButtonLayout(const ButtonProps& p, int width, int height) {
    ButtonLayout out;
    const PixelRect button{0, 0, width, height};
    switch (p.appearance) {
        case ButtonAppearance::Office2003:
            out.valid = true;
            SplitAreas(p, button, out);
            break;
        case ButtonAppearance::Sep2003: {
            const PixelRect line = Inset(button, p.pictureOffset);
            out.valid = line.Width() >= 1 && line.Height() >= 1;
            out.hasLine = out.valid;
            out.lineX = line.left + Floor(line.Width() / 2.0);
            out.lineTop = line.top;
            out.lineBottom = line.bottom;
            break;
        }
        case ButtonAppearance::MainSep2003: {
            const PixelRect band = Inset(button, p.pictureOffset);
            out.valid = band.Height() > p.mainSepLineBetweenSpace && band.Width() > p.mainSepThick;
            out.hasGrip = out.valid;
            out.gripLeft = band.left + Floor((band.Width() - p.mainSepThick) / 2.0);
            out.gripRight = band.left + Floor((band.Width() + p.mainSepThick) / 2.0);
            out.lineTop = band.top;
            out.lineBottom = band.bottom;
            break;
        }
        case ButtonAppearance::UpDown2003: {
            out.valid = p.upDownWidth < width && height > 2;
            if (!out.valid) break;
            out.hasDropDown = true;
            out.dropDown = {width - p.upDownWidth, 0, width, height};
            const PixelRect r = Inset(out.dropDown, p.captionOffset);
            out.arrowCentre = {r.left + Floor(r.Width() / 2.0), r.top + Floor(r.Height() / 2.0)};
            SplitAreas(p, {0, 0, width - p.upDownWidth, height}, out);
            break;
        }
        case ButtonAppearance::NextUpDown2003: {
            out.valid = width >= 9 && height >= 15;
            if (!out.valid) break;
            out.hasChevron = true;
            const PixelRect r = Inset(button, p.captionOffset);
            const int left = r.left + Floor((r.Width() - 8) / 2.0);
            const int top = r.top + Floor((r.Height() - 14) / 2.0);
            out.glyphBox = {left, top, left + 8, top + 14};
            break;
        }
    }
    return out;
}

PixelPoint PlacePicture(const PixelRect& area, const Insets& offsets, ContentLayout layout, int w, int h) {
    const PixelRect r = Inset(area, offsets);
    PixelPoint at;
    switch (ColumnOf(layout)) {
        case 0: at.x = r.left; break;
        case 1: at.x = r.left + Floor(r.Width() / 2.0 - w / 2.0); break;
        default: at.x = r.right - w; break;
    }
    switch (RowOf(layout)) {
        case 0: at.y = r.bottom - h; break;
        case 1: at.y = r.top + Floor(r.Height() / 2.0 - h / 2.0); break;
        default: at.y = r.top; break;
    }
    return at;
}

unsigned CaptionFormat(ContentLayout layout, bool autoMultiLine) {
    unsigned format = autoMultiLine ? 0x10u : 0x20u;  // DT_WORDBREAK : DT_SINGLELINE
    if (ColumnOf(layout) == 1) format |= 0x1u;        // DT_CENTER
    if (ColumnOf(layout) == 2) format |= 0x2u;        // DT_RIGHT
    return format;
}

PixelRect PlaceCaption(const PixelRect& area, const Insets& offsets, ContentLayout layout, int t) {
    const PixelRect r = Inset(area, offsets);
    switch (RowOf(layout)) {
        case 0: return {r.left, r.bottom - t, r.right, r.bottom};
        case 1: return {r.left, r.top + Floor(r.Height() / 2.0 - t / 2.0), r.right,
                        r.top + Floor(r.Height() / 2.0 + t / 2.0)};
        default: return {r.left, r.top, r.right, r.top + t};
    }
}

std::vector<PixelPoint> DropDownArrowPixels(PixelPoint c) {
    std::vector<PixelPoint> pixels;
    for (int dx = -2; dx <= 2; ++dx) pixels.push_back({c.x + dx, c.y - 1});
    for (int dx = -1; dx <= 1; ++dx) pixels.push_back({c.x + dx, c.y});
    pixels.push_back({c.x, c.y + 1});
    return pixels;
}

std::vector<PixelPoint> ChevronPixels(const PixelRect& box) {
    static constexpr PixelPoint kShape[] = {{0, 0}, {1, 0}, {1, 1}, {2, 1}, {2, 2},
                                            {3, 2}, {1, 3}, {2, 3}, {0, 4}, {1, 4}};
    std::vector<PixelPoint> pixels;
    for (int shift : {0, 4}) {
        for (PixelPoint d : kShape) pixels.push_back({box.left + d.x + shift, box.top + d.y});
    }
    return pixels;
}

std::vector<PixelPoint> ChevronTriangle(const PixelRect& box) {
    return {{box.left + 1, box.bottom - 3}, {box.right - 1, box.bottom - 3}, {box.left + 4, box.bottom}};
}

std::vector<int> GripRows(int top, int bottom, int period) {
    std::vector<int> rows;
    if (period <= 0) return rows;
    for (int y = top; y <= bottom; ++y) {
        if (y % period == 0) rows.push_back(y);
    }
    return rows;
}

wchar_t AccessKeyOf(std::wstring_view caption) {
    const size_t amp = caption.find(L'&');
    if (amp == std::wstring_view::npos || amp + 1 >= caption.size()) return 0;
    const wchar_t key = caption[amp + 1];
    if (key == L'&') return 0;
    return static_cast<wchar_t>(std::towupper(key));
}

std::wstring_view PropertyName(GuardedProperty property) {
    switch (property) {
        case GuardedProperty::CaptionAreaPercent: return L"CaptionAreaPercent";
        case GuardedProperty::IgnoeDisEnabledEffect: return L"IgnoeDisEnabledEffect";
        case GuardedProperty::SepForeColor: return L"SepForeColor";
        case GuardedProperty::MainSepForeColor: return L"MainSepForeColor";
        case GuardedProperty::MainSepThick: return L"MainSepThick";
        case GuardedProperty::MainSepLineBetweenSpace: return L"MainSepLineBetweenSpace";
        case GuardedProperty::UpDownWidth: return L"Up_DownWidht";
        case GuardedProperty::ButtonAppearance: return L"ButtonAppearance";
    }
    return {};
}

std::optional<std::wstring> RefusalOf(GuardedProperty property, ButtonAppearance appearance,
                                      bool layoutValid, double value) {
    constexpr std::wstring_view kPurpose = L"目的是为了保证按钮最佳效果,减少不必要的错误。";
    constexpr std::wstring_view kBigger = L"将按钮拉大些再看有没有效果。";
    auto onlyFor = [&](bool rightAppearance, std::wstring_view which) -> std::optional<std::wstring> {
        if (!rightAppearance) return std::wstring(L"只有当按钮风格为") + std::wstring(which) + L"时才能设置此属性。" + std::wstring(kPurpose);
        if (!layoutValid) return std::wstring(kBigger);
        return std::nullopt;
    };
    const bool isSep = appearance == ButtonAppearance::Sep2003 || appearance == ButtonAppearance::MainSep2003;
    switch (property) {
        case GuardedProperty::CaptionAreaPercent:
            if (value >= 0 && value <= 100) return std::nullopt;
            return L"本属性范围0--100，设为0时只显示图片区域，设为100时只显示标题区域";
        case GuardedProperty::IgnoeDisEnabledEffect:
            if (appearance == ButtonAppearance::Office2003) return std::nullopt;
            return L"只有按钮风格为sbOffice2003时，才能改变此属性。" + std::wstring(kPurpose);
        case GuardedProperty::SepForeColor:
        case GuardedProperty::MainSepForeColor: return onlyFor(isSep, L"sbSep2003或sbMainSep2003");
        case GuardedProperty::MainSepThick:
        case GuardedProperty::MainSepLineBetweenSpace:
            return onlyFor(appearance == ButtonAppearance::MainSep2003, L"sbMainSep2003");
        case GuardedProperty::UpDownWidth: return onlyFor(appearance == ButtonAppearance::UpDown2003, L"sbUp_Down2003");
        case GuardedProperty::ButtonAppearance:
            if (static_cast<int>(value) == 0 || layoutValid) return std::nullopt;
            return L"将按钮拉大些再看吧！";
    }
    return std::nullopt;
}

PropertyError InvalidPropertyValue(GuardedProperty property, std::wstring description) {
    if (description.empty()) description = L"Invalid property value";
    return {380, L"OstrelMnu.VsNetBut:" + std::wstring(PropertyName(property)), std::move(description)};
}

}  // namespace ostrel
