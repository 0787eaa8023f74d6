#include "moviehost/gdi_fonts.h"

#include <cstring>
#include <vector>

#include "common/text.h"
#include "engine/text/font_names.h"
#include "engine/text/outline_builder.h"

namespace velmora::moviehost {

namespace {

double FixedValue(const FIXED& f) { return f.value + f.fract / 65536.0; }

bool FaceInstalled(HDC dc, const std::wstring& face) {
    LOGFONTW query{};
    query.lfCharSet = DEFAULT_CHARSET;
    if (face.size() >= LF_FACESIZE) return false;
    std::wcscpy(query.lfFaceName, face.c_str());
    bool found = false;
    EnumFontFamiliesExW(
        dc, &query,
        [](const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM param) -> int {
            *reinterpret_cast<bool*>(param) = true;
            return 0;
        },
        reinterpret_cast<LPARAM>(&found), 0);
    return found;
}

HFONT MakeFont(const std::wstring& face, int height, bool bold, bool italic) {
    LOGFONTW lf{};
    lf.lfHeight = -height;  // em height, not cell height
    lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = italic;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfOutPrecision = OUT_TT_ONLY_PRECIS;
    lf.lfQuality = ANTIALIASED_QUALITY;
    std::wcsncpy(lf.lfFaceName, face.c_str(), LF_FACESIZE - 1);
    return CreateFontIndirectW(&lf);
}

// Glyphs of one GDI font made at its em square, so outlines come in design units.
class GdiGlyphs final : public text::GlyphSource {
public:
    GdiGlyphs(std::shared_ptr<HDC__> dc, HFONT font) : m_dc(std::move(dc)), m_font(font) {
        HGDIOBJ old = SelectObject(m_dc.get(), m_font);
        const DWORD count = GetKerningPairsW(m_dc.get(), 0, nullptr);
        if (count > 0 && count != GDI_ERROR) {
            std::vector<KERNINGPAIR> pairs(count);
            const DWORD got = GetKerningPairsW(m_dc.get(), count, pairs.data());
            for (DWORD i = 0; i < got && i < count; ++i)
                m_kerning.try_emplace({pairs[i].wFirst, pairs[i].wSecond}, pairs[i].iKernAmount);
        }
        SelectObject(m_dc.get(), old);
    }
    ~GdiGlyphs() override { DeleteObject(m_font); }
    GdiGlyphs(const GdiGlyphs&) = delete;
    GdiGlyphs& operator=(const GdiGlyphs&) = delete;

    std::optional<text::Glyph> LoadGlyph(char32_t codePoint) override {
        if (codePoint > 0xFFFF) return std::nullopt;  // GDI takes one UTF-16 unit here
        HDC dc = m_dc.get();
        HGDIOBJ old = SelectObject(dc, m_font);
        std::optional<text::Glyph> glyph = Load(dc, static_cast<wchar_t>(codePoint));
        SelectObject(dc, old);
        return glyph;
    }

    double Kerning(char32_t left, char32_t right) override {
        auto it = m_kerning.find({left, right});
        return it == m_kerning.end() ? 0 : it->second;
    }

private:
    static std::optional<text::Glyph> Load(HDC dc, wchar_t ch) {
        WORD index = 0;
        if (GetGlyphIndicesW(dc, &ch, 1, &index, GGI_MARK_NONEXISTING_GLYPHS) == GDI_ERROR || index == 0xFFFF)
            return std::nullopt;
        const MAT2 identity = {{0, 1}, {0, 0}, {0, 0}, {0, 1}};
        GLYPHMETRICS metrics{};
        const UINT format = GGO_NATIVE | GGO_UNHINTED;
        const DWORD size = GetGlyphOutlineW(dc, ch, format, &metrics, 0, nullptr, &identity);
        if (size == GDI_ERROR) return std::nullopt;
        text::Glyph glyph;
        glyph.advance = metrics.gmCellIncX;
        if (size == 0) return glyph;  // a space
        std::vector<uint8_t> buffer(size);
        if (GetGlyphOutlineW(dc, ch, format, &metrics, size, buffer.data(), &identity) == GDI_ERROR)
            return std::nullopt;
        glyph.outline = Convert(buffer);
        return glyph;
    }

    // TTPOLYGONHEADER contours of TTPOLYCURVE records: lines, quadratic B-splines (on-curve
    // points implied midway between controls) and cubic Béziers; y up.
    static Shape Convert(const std::vector<uint8_t>& buffer) {
        text::OutlineBuilder outline;
        size_t pos = 0;
        while (pos + sizeof(TTPOLYGONHEADER) <= buffer.size()) {
            TTPOLYGONHEADER header;
            std::memcpy(&header, buffer.data() + pos, sizeof header);
            if (header.cb < sizeof header || header.cb > buffer.size() - pos) break;
            const size_t end = pos + header.cb;
            outline.MoveTo(FixedValue(header.pfxStart.x), FixedValue(header.pfxStart.y));
            double x = FixedValue(header.pfxStart.x), y = FixedValue(header.pfxStart.y);
            size_t at = pos + sizeof header;
            while (at + 4 <= end) {
                WORD type, count;
                std::memcpy(&type, buffer.data() + at, 2);
                std::memcpy(&count, buffer.data() + at + 2, 2);
                at += 4;
                if (count * sizeof(POINTFX) > end - at) break;
                std::vector<POINTFX> p(count);
                std::memcpy(p.data(), buffer.data() + at, count * sizeof(POINTFX));
                at += count * sizeof(POINTFX);
                auto px = [&](size_t i) { return FixedValue(p[i].x); };
                auto py = [&](size_t i) { return FixedValue(p[i].y); };
                if (type == TT_PRIM_LINE) {
                    for (size_t i = 0; i < count; ++i) outline.LineTo(x = px(i), y = py(i));
                } else if (type == TT_PRIM_QSPLINE) {
                    for (size_t i = 0; i + 1 < count; ++i) {
                        const bool last = i + 2 == count;
                        const double ex = last ? px(i + 1) : (px(i) + px(i + 1)) / 2;
                        const double ey = last ? py(i + 1) : (py(i) + py(i + 1)) / 2;
                        outline.QuadTo(px(i), py(i), x = ex, y = ey);
                    }
                } else if (type == TT_PRIM_CSPLINE) {
                    for (size_t i = 0; i + 2 < count; i += 3)
                        outline.CubicTo(px(i), py(i), px(i + 1), py(i + 1), x = px(i + 2), y = py(i + 2));
                }
            }
            outline.Close();
            pos = end;
        }
        return outline.Take();
    }

    std::shared_ptr<HDC__> m_dc;
    HFONT m_font;
    std::map<std::pair<char32_t, char32_t>, double> m_kerning;
};

}  // namespace

GdiFontProvider::GdiFontProvider() : m_dc(CreateCompatibleDC(nullptr), DeleteDC) {}

GdiFontProvider::~GdiFontProvider() = default;

std::wstring GdiFontProvider::FaceFor(std::string_view name) {
    std::vector<std::string> candidates = text::DeviceFontCandidates(name);
    for (const std::string& candidate : candidates) {
        std::u16string face = Utf8ToUtf16(candidate);
        std::wstring wide(face.begin(), face.end());
        if (FaceInstalled(m_dc.get(), wide)) return wide;
    }
    // Nothing installed by any of these names: the font mapper picks its own.
    std::u16string face = Utf8ToUtf16(candidates.front());
    return {face.begin(), face.end()};
}

std::shared_ptr<const text::Font> GdiFontProvider::FindFont(std::string_view name, bool bold, bool italic) {
    if (!m_dc) return nullptr;
    auto& asked = m_asked[{std::string(name), bold, italic}];
    if (asked) return asked;
    const std::wstring face = FaceFor(name);
    auto& font = m_fonts[{face, bold, italic}];
    if (font) return asked = font;
    // The em square first, then the font at that size: outlines in design units.
    HFONT probe = MakeFont(face, 1024, bold, italic);
    if (!probe) return nullptr;
    HGDIOBJ old = SelectObject(m_dc.get(), probe);
    OUTLINETEXTMETRICW otm{};
    otm.otmSize = sizeof otm;
    const UINT em = GetOutlineTextMetricsW(m_dc.get(), sizeof otm, &otm) ? otm.otmEMSquare : 2048;
    SelectObject(m_dc.get(), old);
    DeleteObject(probe);
    HFONT real = MakeFont(face, static_cast<int>(em), bold, italic);
    if (!real) return nullptr;
    old = SelectObject(m_dc.get(), real);
    TEXTMETRICW tm{};
    GetTextMetricsW(m_dc.get(), &tm);
    SelectObject(m_dc.get(), old);
    std::u16string face16(face.begin(), face.end());
    auto made = std::make_shared<text::Font>(Utf16ToUtf8(face16), bold, italic, em,
                                             std::make_shared<GdiGlyphs>(m_dc, real));
    made->SetLayout(tm.tmAscent, tm.tmDescent, tm.tmExternalLeading);
    font = asked = made;
    return font;
}

}  // namespace velmora::moviehost
