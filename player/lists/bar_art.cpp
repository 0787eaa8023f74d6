#include "player/lists/bar_art.h"

#include <algorithm>
#include <cmath>

namespace velmora::lists {

namespace {

constexpr SchemeColorTable kBlue{{
    {0xFFFFFF, 0xB7CAF5, 0xC8D6FB, 0xC8D8FB, 0xC8D6FB, 0xC6D6FD, 0xC6D6FD, 0xC3D5FD, 0xC2D3FC,
     0xC2D3FC, 0xBAD1FC, 0xB6CEFB, 0xB6CDFB, 0xB9CBF3, 0xFFFFFF, 0x9FB5D2},
    {0xFFFFFF, 0xA9CBFF, 0xD6E7FF, 0xD8E8FF, 0xD8E8FF, 0xD6E7FF, 0xD6E7FF, 0xD6E7FF, 0xD6E7FF,
     0xD6E7FF, 0xD0E3FF, 0xCAE0FF, 0xCAE0FF, 0xA6C9FF, 0xFFFFFF, 0x9FB5D2},
    {0xFFFFFF, 0x839BD4, 0xA0B6EC, 0xA8BEF5, 0xAAC1F9, 0xA8BFFA, 0xA8BFFA, 0xA5BDFB, 0xA0BBFA,
     0xA0BBFA, 0x99B8FA, 0x92B3F9, 0x96B3F9, 0x98B0EE, 0xFFFFFF, 0x9FB5D2},
}};
constexpr SchemeColorTable kOlive{{
    {0xFFFFFF, 0x8DA271, 0xA4B48B, 0xA6B594, 0xA6B594, 0xA5B78E, 0xA5B78E, 0xA4B48B, 0xA0B086,
     0xA0B086, 0x9CAD7C, 0x96A871, 0x95A775, 0x8A9C6F, 0xFFFFFF, 0x8B9377},
    {0xFFFFFF, 0xBDCB96, 0xC8D5AA, 0xC9D5AA, 0xC8D5AA, 0xCBD9A9, 0xCBD9A9, 0xCAD7A7, 0xC7D4A4,
     0xC7D4A4, 0xC6D39B, 0xC3D096, 0xC3D096, 0xBCC797, 0xFFFFFF, 0x8B9377},
    {0xFFFFFF, 0x7E9164, 0x91A378, 0x98AA80, 0x9BAD82, 0x9AAC80, 0x9AAC80, 0x9AAD7F, 0x99AC7C,
     0x99AC7C, 0x98AB77, 0x96AA72, 0x94A972, 0x8EA271, 0xFFFFFF, 0x8B9377},
}};
constexpr SchemeColorTable kSilver{{
    {0x9495A2, 0xFFFFFF, 0xF7F7F9, 0xECECF1, 0xECECF1, 0xE8E9EE, 0xE8E9EE, 0xE2E2EA, 0xDBDCE5,
     0xDBDCE5, 0xD4D5E1, 0xCFCFDD, 0xCCCDDB, 0xCDCEDC, 0xFFFFFF, 0x9495A2},
    {0x5B6665, 0xFFFFFF, 0xFEFEFF, 0xF4F4F9, 0xF0F0F6, 0xEDECF3, 0xEDECF3, 0xE5E4EE, 0xDCDDE8,
     0xDCDDE8, 0xD3D4E3, 0xCCCDDD, 0xC9CBDC, 0xCBCCDD, 0xFFFFFF, 0x5B6665},
    {0x434848, 0xFFFFFF, 0xC5C7D8, 0xCACCDD, 0xCBCCDD, 0xD4D4E3, 0xD4D4E3, 0xDFE0EA, 0xEAEAF2,
     0xEAEAF2, 0xF0F0F6, 0xF6F5FA, 0xFDFCFE, 0xFFFFFF, 0xFFFFFF, 0x434848},
}};

using Strip = std::array<Rgb, 17>;
constexpr Strip kTrackBlueOlive{0xEEEDE5, 0xF3F1EC, 0xF4F1EC, 0xF4F3EE, 0xF5F4EF, 0xF6F5F0,
                                0xF7F7F3, 0xF9F8F4, 0xF9F9F7, 0xFBFBF8, 0xFBFBF9, 0xFBFBF9,
                                0xFDFDFA, 0xFEFEFB, 0xFEFEFB, 0xFEFEFB, 0xEEEDE5};
constexpr Strip kTrackSilver{0xE5E6EE, 0xECEEF3, 0xECEFF4, 0xEEEFF4, 0xEFF0F5, 0xF0F1F6,
                             0xF3F3F7, 0xF4F5F9, 0xF7F7F9, 0xF8F8FB, 0xF9F9FB, 0xF9F9FB,
                             0xFAFAFD, 0xFBFBFE, 0xFBFBFE, 0xFBFBFE, 0xE5E6EE};
constexpr Strip kTrackHotBlueOlive{0xD7D5C2, 0xE3DED3, 0xE5DED3, 0xE5E3D7, 0xE8E5DA, 0xEAE8DC,
                                   0xECECE3, 0xF1EFE5, 0xF1F1EC, 0xF6F6EF, 0xF6F6F1, 0xF6F6F1,
                                   0xFAFAF3, 0xFDFDF6, 0xFDFDF6, 0xFDFDF6, 0xD7D5C2};
constexpr Strip kTrackHotSilver{0xC2C3D7, 0xD3D7E3, 0xD3D9E5, 0xD7D8E5, 0xDADDE8, 0xDCDDEA,
                                0xE3E3EC, 0xE5E7F1, 0xECECF1, 0xEFEFF6, 0xF1F1F6, 0xF1F1F6,
                                0xF3F3FA, 0xF6F6FD, 0xF6F6FD, 0xF6F6FD, 0xC2C3D7};

// Chevrons: dark blue, dark olive, slate; the disabled pair is pale grey on every scheme.
constexpr std::array<Rgb, 3> kChevron{0x4D6185, 0x4F5F32, 0x4C5566};
constexpr Rgb kDisabledFace = 0xF4F3EE, kDisabledBorder = 0xCBCAC2, kDisabledChevron = 0xC4C3BB;

enum class Kind { Arrow, TopCap, BottomCap, Track };
struct PictureInfo {
    int32_t number;
    Kind kind;
    int32_t scheme;  // -1: every scheme (disabled arrows)
    bool down = false;
    ElementState state = ElementState::Normal;
};

// Arrow numbers: each scheme's up triple then down triple.
constexpr int32_t kUpArrows[3] = {kPicBlueUp, kPicOliveUp, kPicSilverUp};
constexpr int32_t kDownArrows[3] = {kPicBlueDown, kPicOliveDown, kPicSilverDown};
constexpr int32_t kCapBases[3] = {kPicBlueCapBase, kPicOliveCapBase, kPicSilverCapBase};

bool FindPicture(int32_t number, PictureInfo& info) {
    for (int32_t scheme = 0; scheme < 3; ++scheme) {
        for (bool down : {false, true}) {
            const int32_t first = down ? kDownArrows[scheme] : kUpArrows[scheme];
            if (number >= first && number < first + 3) {
                info = {number, Kind::Arrow, scheme, down, static_cast<ElementState>(number - first)};
                return true;
            }
        }
        if (number == kCapBases[scheme] - 2) return info = {number, Kind::TopCap, scheme}, true;
        if (number == kCapBases[scheme] - 1) return info = {number, Kind::BottomCap, scheme}, true;
    }
    switch (number) {
        case kPicDisabledUp: info = {number, Kind::Arrow, -1, false}; return true;
        case kPicDisabledDown: info = {number, Kind::Arrow, -1, true}; return true;
        case kPicTrackBlueOlive:
        case kPicTrackSilver:
        case kPicTrackHotBlueOlive:
        case kPicTrackHotSilver: info = {number, Kind::Track, -1}; return true;
        default: return false;
    }
}

const Strip& StripOf(int32_t number) {
    switch (number) {
        case kPicTrackSilver: return kTrackSilver;
        case kPicTrackHotBlueOlive: return kTrackHotBlueOlive;
        case kPicTrackHotSilver: return kTrackHotSilver;
        default: return kTrackBlueOlive;
    }
}

Rgb Blend(Rgb a, Rgb b, double t) {
    Rgb out = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const double ca = (a >> shift) & 0xFF, cb = (b >> shift) & 0xFF;
        out |= static_cast<Rgb>(std::lround(ca + (cb - ca) * t)) << shift;
    }
    return out;
}

// The design pixel (column or row) a real pixel falls in, for a picture stretched from
// `design` to `real` pixels.
int32_t DesignCell(int32_t real, int32_t realSize, int32_t design) {
    return std::clamp(static_cast<int32_t>((2LL * real + 1) * design / (2LL * realSize)), 0,
                      design - 1);
}

// A chevron on a rounded square: the face takes the thumb's column colours so arrows and
// thumb look alike; a 1-pixel border, corners blended into the track.
void DrawArrow(const PictureInfo& info, Image& image) {
    const bool disabled = info.scheme < 0;
    const auto& face = SchemeColors(info.scheme)[static_cast<size_t>(info.state)];
    const Rgb border = disabled ? kDisabledBorder : Blend(face[15], kChevron[info.scheme], 0.25);
    const Rgb chevron = disabled ? kDisabledChevron : kChevron[info.scheme];
    const Strip& track = StripOf(TrackPicture(std::max(info.scheme, 0), false));
    const int32_t w = image.width, h = image.height;
    for (int32_t y = 0; y < h; ++y) {
        for (int32_t x = 0; x < w; ++x) {
            const bool edgeX = x == 0 || x == w - 1, edgeY = y == 0 || y == h - 1;
            Rgb c;
            if (edgeX && edgeY) {
                c = Blend(border, track[static_cast<size_t>(DesignCell(x, w, 16) + 1)], 0.6);
            } else if (edgeX || edgeY) {
                c = border;
            } else {
                const int32_t column = std::clamp(DesignCell(x, w, 16), 1, 13);
                c = disabled ? kDisabledFace : face[static_cast<size_t>(column)];
                if (!disabled && (x == 1 || y == 1)) c = Blend(c, 0xFFFFFF, 0.6);
                if (!disabled && y == h - 2) c = Blend(c, face[15], 0.5);
            }
            // The chevron in design units: 8 wide, 3 thick, apex at the middle column.
            const double u = (x + 0.5) * 16.0 / w;
            double v = (y + 0.5) * 17.0 / h;
            if (info.down) v = 17.0 - v;
            const double across = std::abs(u - 8.0);
            const double rise = std::max(0.0, across - 0.5);
            if (across < 4.0 && v >= 6.0 + rise && v < 9.0 + rise) c = chevron;
            image.pixels[static_cast<size_t>(y * w + x)] = c;
        }
    }
}

// Caps round the thumb off: the outer row is the border with track-coloured corners, the
// inner rows lead into the body.
void DrawCap(const PictureInfo& info, Image& image) {
    const auto& normal = SchemeColors(info.scheme)[0];
    const Rgb border = Blend(normal[15], kChevron[info.scheme], 0.25);
    const Strip& track = StripOf(TrackPicture(info.scheme, false));
    const int32_t designRows = info.kind == Kind::TopCap ? 2 : 3;
    for (int32_t y = 0; y < image.height; ++y) {
        int32_t row = DesignCell(y, image.height, designRows);
        if (info.kind == Kind::BottomCap) row = designRows - 1 - row;  // row 0 is the outer one
        for (int32_t x = 0; x < image.width; ++x) {
            const int32_t column = DesignCell(x, image.width, 16);
            const bool edge = column == 0 || column == 15;
            Rgb c;
            if (row == 0) c = edge ? Blend(border, track[static_cast<size_t>(column + 1)], 0.6) : border;
            else if (edge) c = border;
            else if (info.kind == Kind::TopCap) c = Blend(normal[static_cast<size_t>(column)], 0xFFFFFF, 0.5);
            else c = Blend(normal[static_cast<size_t>(column)], normal[15], row == 1 ? 0.7 : 0.35);
            image.pixels[static_cast<size_t>(y * image.width + x)] = c;
        }
    }
}

}  // namespace

const SchemeColorTable& SchemeColors(int32_t scheme) {
    if (scheme == 0) return kBlue;
    if (scheme == 1) return kOlive;
    return kSilver;
}

GripColors GripColorsOf(int32_t scheme) {
    if (scheme == 0) return {0xFFFFFF, 0x8CB0F8};
    if (scheme == 1) return {0xD0DFAC, 0x8C9D73};
    return {0xFFFFFF, 0x8E95A2};
}

int32_t ThumbPicBase(int32_t scheme) {
    return scheme == 0 || scheme == 1 ? kCapBases[scheme] : kPicSilverCapBase;
}

int32_t ArrowPicture(int32_t scheme, bool down, ElementState state, bool enabled) {
    if (!enabled) return down ? kPicDisabledDown : kPicDisabledUp;
    if (scheme < 0 || scheme > 2) return kPicNone;
    return (down ? kDownArrows[scheme] : kUpArrows[scheme]) + static_cast<int32_t>(state);
}

int32_t TrackPicture(int32_t scheme, bool highlighted) {
    if (scheme == 2) return highlighted ? kPicTrackHotSilver : kPicTrackSilver;
    return highlighted ? kPicTrackHotBlueOlive : kPicTrackBlueOlive;
}

PictureSize DesignSize(int32_t picture) {
    PictureInfo info{};
    if (!FindPicture(picture, info)) return {};
    switch (info.kind) {
        case Kind::Arrow: return {16, 17};
        case Kind::TopCap: return {16, 2};
        case Kind::BottomCap: return {16, 3};
        case Kind::Track: return {17, 1};
    }
    return {};
}

Image RenderPicture(int32_t picture, int32_t width, int32_t height) {
    PictureInfo info{};
    if (width <= 0 || height <= 0 || !FindPicture(picture, info)) return {};
    Image image{width, height, std::vector<Rgb>(static_cast<size_t>(width) * height)};
    switch (info.kind) {
        case Kind::Arrow: DrawArrow(info, image); break;
        case Kind::TopCap:
        case Kind::BottomCap: DrawCap(info, image); break;
        case Kind::Track: {
            const Strip& strip = StripOf(picture);
            for (int32_t y = 0; y < height; ++y)
                for (int32_t x = 0; x < width; ++x)
                    image.pixels[static_cast<size_t>(y * width + x)] =
                        strip[static_cast<size_t>(DesignCell(x, width, 17))];
            break;
        }
    }
    return image;
}

}  // namespace velmora::lists
