#include "engine/text/truetype_fonts.h"

#include <fstream>
#include <iterator>

#define STB_TRUETYPE_IMPLEMENTATION
#define STBTT_STATIC
#include "stb_truetype.h"

#include "engine/text/font_names.h"
#include "engine/text/outline_builder.h"

namespace velmora::text {

namespace {

constexpr double kItalicShear = 0.2;  // about 11 degrees, as systems slant a missing italic
constexpr const char* kSystemFont = "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc";

class TrueTypeGlyphs final : public GlyphSource {
public:
    TrueTypeGlyphs(std::shared_ptr<const std::vector<uint8_t>> file, const stbtt_fontinfo& info, bool italic)
        : m_file(std::move(file)), m_info(info), m_shear(italic ? kItalicShear : 0) {}

    std::optional<Glyph> LoadGlyph(char32_t codePoint) override {
        const int index = stbtt_FindGlyphIndex(&m_info, static_cast<int>(codePoint));
        if (index == 0) return std::nullopt;
        Glyph glyph;
        int advance = 0, bearing = 0;
        stbtt_GetGlyphHMetrics(&m_info, index, &advance, &bearing);
        glyph.advance = advance;
        stbtt_vertex* vertices = nullptr;
        const int count = stbtt_GetGlyphShape(&m_info, index, &vertices);
        OutlineBuilder outline(m_shear);
        for (int i = 0; i < count; ++i) {
            const stbtt_vertex& v = vertices[i];
            switch (v.type) {
            case STBTT_vmove: outline.MoveTo(v.x, v.y); break;
            case STBTT_vline: outline.LineTo(v.x, v.y); break;
            case STBTT_vcurve: outline.QuadTo(v.cx, v.cy, v.x, v.y); break;
            case STBTT_vcubic: outline.CubicTo(v.cx, v.cy, v.cx1, v.cy1, v.x, v.y); break;
            default: break;
            }
        }
        stbtt_FreeShape(&m_info, vertices);
        glyph.outline = outline.Take();
        return glyph;
    }

    double Kerning(char32_t left, char32_t right) override {
        return stbtt_GetCodepointKernAdvance(&m_info, static_cast<int>(left), static_cast<int>(right));
    }

private:
    std::shared_ptr<const std::vector<uint8_t>> m_file;  // m_info points into it
    stbtt_fontinfo m_info;
    double m_shear;
};

}  // namespace

std::shared_ptr<TrueTypeFontProvider> TrueTypeFontProvider::FromFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return nullptr;
    auto provider = std::make_shared<TrueTypeFontProvider>(
        std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>()));
    return provider->Ok() ? provider : nullptr;
}

std::shared_ptr<TrueTypeFontProvider> TrueTypeFontProvider::FromSystemFont() { return FromFile(kSystemFont); }

TrueTypeFontProvider::TrueTypeFontProvider(std::vector<uint8_t> file)
    : m_file(std::make_shared<const std::vector<uint8_t>>(std::move(file))) {
    // stb_truetype trusts the tables it reads; only whole, plausible files are used.
    if (m_file->size() < 12) return;
    m_fontCount = stbtt_GetNumberOfFonts(m_file->data());
    if (m_fontCount < 0) m_fontCount = 0;
}

std::shared_ptr<const Font> TrueTypeFontProvider::FindFont(std::string_view name, bool bold, bool italic) {
    if (!Ok()) return nullptr;
    int index = 0;
    std::string family(name);
    for (const std::string& candidate : DeviceFontCandidates(name)) {
        const int offset = stbtt_FindMatchingFont(m_file->data(), candidate.c_str(), STBTT_MACSTYLE_DONTCARE);
        if (offset < 0) continue;
        for (int i = 0; i < m_fontCount; ++i)
            if (stbtt_GetFontOffsetForIndex(m_file->data(), i) == offset) index = i;
        family = candidate;
        break;
    }
    auto& font = m_fonts[{index, bold, italic}];
    if (font) return font;
    stbtt_fontinfo info;
    if (!stbtt_InitFont(&info, m_file->data(), stbtt_GetFontOffsetForIndex(m_file->data(), index))) return nullptr;
    const double unitsPerEm = 1 / stbtt_ScaleForMappingEmToPixels(&info, 1);
    int ascent = 0, descent = 0, lineGap = 0;
    stbtt_GetFontVMetrics(&info, &ascent, &descent, &lineGap);
    auto made = std::make_shared<Font>(family, bold, italic, unitsPerEm,
                                       std::make_shared<TrueTypeGlyphs>(m_file, info, italic));
    made->SetLayout(ascent, -descent, lineGap);
    font = made;
    return font;
}

}  // namespace velmora::text
