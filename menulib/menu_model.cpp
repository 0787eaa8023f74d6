#include "menulib/menu_model.h"

#include <algorithm>
#include <cmath>
#include <cwctype>

namespace ostrel {

int64_t RoundRatioHalfEven(int64_t num, int64_t den) {
    int64_t q = num / den;
    int64_t r = num % den;
    if (r < 0) {
        r += den;
        --q;
    }
    if (2 * r > den || (2 * r == den && (q & 1) != 0)) ++q;
    return q;
}

int RoundHalfEven(double value) { return static_cast<int>(std::nearbyint(value)); }

OleColor MenuBlend(OleColor first, OleColor second, int weight) {
    weight = std::clamp(weight, 0, 255);
    auto mix = [weight](int a, int b) {
        return static_cast<int>(RoundRatioHalfEven(a * weight + b * (255 - weight), 255));
    };
    return Rgb(mix(RedOf(first), RedOf(second)), mix(GreenOf(first), GreenOf(second)),
               mix(BlueOf(first), BlueOf(second)));
}

int MenuLuminance(OleColor c) { return (RedOf(c) * 76 + GreenOf(c) * 150 + BlueOf(c) * 29) / 255; }

int IconColumnWidth(int textHeight, int bitmapSize) { return std::max(textHeight, bitmapSize) + 8; }

BarItemKind ClassifyBarText(std::wstring_view text) {
    if (text.starts_with(L"  ")) return BarItemKind::RightJustified;
    if (text.starts_with(L" ")) return BarItemKind::Separator;
    return BarItemKind::Normal;
}

uint32_t BarItemType(BarItemKind kind) {
    switch (kind) {
    case BarItemKind::RightJustified: return kOwnerDrawType | kRightJustifyType;
    case BarItemKind::Separator: return kOwnerDrawType | kSeparatorType;
    case BarItemKind::Normal: break;
    }
    return kOwnerDrawType;
}

std::wstring TrimSpaces(std::wstring_view text) {
    const size_t first = text.find_first_not_of(L' ');
    if (first == std::wstring_view::npos) return {};
    const size_t last = text.find_last_not_of(L' ');
    return std::wstring(text.substr(first, last - first + 1));
}

ItemText SplitItemText(std::wstring_view text, bool bar) {
    auto clean = [](std::wstring_view part) {
        std::wstring out;
        for (wchar_t ch : part)
            if (ch != L'\0' && ch != L'\t') out += ch;
        return out;
    };
    ItemText result;
    const size_t tab = text.find(L'\t');
    if (tab == std::wstring_view::npos) {
        result.label = bar ? TrimSpaces(clean(text)) : clean(text);
        return result;
    }
    result.label = clean(text.substr(0, tab));
    result.accelerator = clean(text.substr(tab + 1));
    result.hasAccelerator = true;
    return result;
}

ItemSize MeasureMenuItem(const MeasureInput& in) {
    if (in.separator) return {in.bar ? 0 : in.icw + 12, 2};
    const int accelerator = in.hasAccelerator ? in.acceleratorWidth + 8 : 0;
    if (in.bar) {
        const int label = in.singleSpace ? 0 : in.labelWidth;
        return {label + (in.ntFamily ? accelerator : 0), in.icw};
    }
    int width = in.labelWidth + in.icw + 12;
    if (in.hasAccelerator) width += accelerator - (in.ntFamily ? 0 : 7 * in.acceleratorChars);
    return {width, in.icw};
}

wchar_t MnemonicOf(std::wstring_view text) {
    // "&&" is a literal ampersand: hide it before splitting at the single ones.
    std::wstring marked;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'&' && i + 1 < text.size() && text[i + 1] == L'&') {
            marked += L'\x2';
            ++i;
        } else {
            marked += text[i] == L'&' ? L'\x1' : text[i];
        }
    }
    const size_t last = marked.rfind(L'\x1');
    if (last == std::wstring::npos || last + 1 >= marked.size()) return 0;
    wchar_t first = marked[last + 1];
    if (first == L'\x2') first = L'&';
    return static_cast<wchar_t>(std::towlower(first));
}

std::optional<int64_t> FindMnemonic(std::span<const std::optional<std::wstring>> texts, wchar_t typed) {
    for (size_t i = 0; i < texts.size(); ++i) {
        if (!texts[i]) continue;
        const wchar_t mnemonic = MnemonicOf(*texts[i]);
        if (mnemonic != 0 && mnemonic == typed) return 0x20000 + static_cast<int64_t>(i);
    }
    return std::nullopt;
}

std::vector<Column> CheckMarkColumns(int left, int top, int icw) {
    const int c = icw / 2;
    std::vector<Column> columns;
    for (int j = 0; j < 3; ++j) columns.push_back({left + c - 2 + j, top + c + j - 1, top + c + j + 1});
    for (int j = 1; j <= 4; ++j) columns.push_back({left + c + j, top + c - j + 1, top + c - j + 3});
    return columns;
}

std::vector<Column> SubmenuArrowColumns(int top, int bottom, int right) {
    const int m = (top + bottom - 1) / 2;
    const int x = right - 8;
    std::vector<Column> columns;
    for (int k = 3; k >= 0; --k) columns.push_back({x - k, m - k, m + k + 1});
    return columns;
}

std::vector<Row> BarSeparatorDashes(const PixelRect& item) {
    // The centre may fall between two pixels: each end is rounded on its own, in halves.
    const int twiceCentre = 2 * item.left + (item.right - item.left);
    const int left = static_cast<int>(RoundRatioHalfEven(twiceCentre - 2, 2));
    const int right = static_cast<int>(RoundRatioHalfEven(twiceCentre + 4, 2));
    std::vector<Row> rows;
    for (int y = item.top + 3; y <= item.bottom - 3; ++y)
        if (y % 2 != 0) rows.push_back({y, left, right});
    return rows;
}

int IconOffset(int icw, int bitmapSize) { return (icw - bitmapSize - 1) / 2 - 1; }

namespace {
// Strength of shadow band i is 64 - i x 64/3: kept as the numerator over 3.
int64_t StrengthTimesThree(int i) { return 192 - 64 * static_cast<int64_t>(i); }
}  // namespace

int BarShadowWeight(int k) { return static_cast<int>(RoundRatioHalfEven(StrengthTimesThree(k), 3)); }

Placement PlacePopup(const PlacementInput& in) {
    Placement p{in.x, in.y, false};
    const PixelRect& s = in.item;
    if (in.fromBar) {
        p.y = s.bottom - 1 < in.y ? s.bottom - 1 : s.top - in.height + 4;
        if (in.rightJustified) {
            p.extendsRight = in.screenWidth - in.width - 4 > in.x;
            if (!p.extendsRight) p.x = s.right - in.width;
        }
    } else {
        p.y = s.top + in.height < in.screenHeight ? s.top : in.screenHeight - in.height;
    }
    p.y = std::max(p.y, 0);
    return p;
}

PopupFrame LayoutPopupFrame(int width, int height, int frame, const std::optional<JointInput>& joint) {
    PopupFrame f;
    f.g = width - 2 * frame;
    f.k = height - 2 * frame;
    f.lim = f.g + 1;
    f.b = f.k + 3;
    f.n = f.k + 2;
    f.c = 0;
    f.e = f.g + 3;
    if (joint) {
        const PixelRect& d = joint->item;
        const int itemWidth = d.right - d.left;
        const bool fitsBelow = joint->screenHeight >= d.bottom + joint->lastBottom + 2 * frame - joint->firstTop;
        if (!fitsBelow && d.top < joint->lastBottom) {
            if (joint->rightJustified) {
                f.jointErase = PixelRect{f.lim - itemWidth + 1, f.n, f.g, f.b};
                f.e += -itemWidth - 3;
            } else {
                f.jointErase = PixelRect{1, f.n, itemWidth - 1, f.b};
                f.c = itemWidth - 3;
            }
        } else if (fitsBelow) {
            if (joint->rightJustified && joint->extendsRight)
                f.jointErase = PixelRect{1, 0, itemWidth - 6, 1};
            else if (joint->rightJustified)
                f.jointErase = PixelRect{f.lim - itemWidth + 6, 0, f.g, 1};
            else
                f.jointErase = PixelRect{1, 0, itemWidth - 1, 1};
        }
        f.rightBandFromTop = joint->rightJustified && !joint->leftAligned;
    }
    f.c += 3;
    return f;
}

int BottomShadowWeight(const PopupFrame& f, int i, int x) {
    // weight = fx x fy x strength, each factor a count of quarters.
    const int64_t fy = x < 7 ? x - 2 : 4;
    const int64_t fx = x >= f.lim ? f.g - x + 4 : 4;
    return std::max(0, static_cast<int>(RoundRatioHalfEven(fx * fy * StrengthTimesThree(i), 16 * 3)));
}

int RightShadowWeight(const PopupFrame& f, int i, int y) {
    const int64_t fy = f.rightBandFromTop || y >= 7 ? 4 : y - 2;
    return std::max(0, static_cast<int>(RoundRatioHalfEven(fy * StrengthTimesThree(i), 4 * 3)));
}

PixelPoint IconPicturePlace(int surface, int w, int h, bool shifted) {
    const int shift = shifted ? 1 : 0;
    return {(surface - w) / 2 - shift, (surface - h) / 2 - shift};
}

}  // namespace ostrel
