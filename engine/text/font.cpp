#include "engine/text/font.h"

namespace velmora::text {

Font::Font(std::string name, bool bold, bool italic, double emSquare, std::shared_ptr<GlyphSource> source)
    : m_name(std::move(name)), m_emSquare(emSquare > 0 ? emSquare : kEmSquare), m_source(std::move(source)) {
    m_flags.bold = bold;
    m_flags.italic = italic;
    m_flags.wideCodes = true;
}

const Glyph* Font::GlyphAt(uint32_t index) const { return index < m_glyphs.size() ? &m_glyphs[index] : nullptr; }

std::optional<uint32_t> Font::GlyphIndex(char32_t codePoint) const {
    if (auto it = m_byCode.find(codePoint); it != m_byCode.end()) return it->second;
    if (!m_source || m_missing.count(codePoint)) return std::nullopt;
    std::optional<Glyph> glyph = m_source->LoadGlyph(codePoint);
    if (!glyph) {
        m_missing.insert(codePoint);
        return std::nullopt;
    }
    return Append(std::move(*glyph), codePoint);
}

char32_t Font::CodePoint(uint32_t index) const { return index < m_codes.size() ? m_codes[index] : 0; }

double Font::Advance(uint32_t index) const { return index < m_glyphs.size() ? m_glyphs[index].advance : 0; }

double Font::Kerning(char32_t left, char32_t right) const {
    if (m_source) return m_source->Kerning(left, right);
    auto it = m_kerning.find({left, right});
    return it == m_kerning.end() ? 0 : it->second;
}

bool Font::HasOutlines() const {
    for (const Glyph& g : m_glyphs)
        for (const ShapeLayer& layer : g.outline.layers)
            if (!layer.edges.empty()) return true;
    return false;
}

void Font::SetLayout(double ascent, double descent, double leading) {
    m_hasLayout = true;
    m_ascent = ascent;
    m_descent = descent;
    m_leading = leading;
}

void Font::AddGlyph(Glyph glyph, char32_t codePoint) { Append(std::move(glyph), codePoint); }

uint32_t Font::Append(Glyph glyph, char32_t codePoint) const {
    const auto index = static_cast<uint32_t>(m_glyphs.size());
    m_glyphs.push_back(std::move(glyph));
    m_codes.push_back(codePoint);
    // The first glyph of a code wins, as tables with repeats are read by Flash.
    if (codePoint != 0) m_byCode.try_emplace(codePoint, index);
    return index;
}

void Font::SetGlyphMetrics(const std::vector<double>& advances, const std::vector<RectTwips>& bounds) {
    for (size_t i = 0; i < m_glyphs.size(); ++i) {
        if (i < advances.size()) m_glyphs[i].advance = advances[i];
        if (i < bounds.size()) m_glyphs[i].bounds = bounds[i];
    }
}

void Font::SetCodeTable(const std::vector<char32_t>& codes) {
    m_byCode.clear();
    for (size_t i = 0; i < m_codes.size(); ++i) {
        m_codes[i] = i < codes.size() ? codes[i] : 0;
        if (m_codes[i] != 0) m_byCode.try_emplace(m_codes[i], static_cast<uint32_t>(i));
    }
}

void Font::AddKerning(char32_t left, char32_t right, double adjustment) {
    m_kerning.try_emplace({left, right}, adjustment);
}

}  // namespace velmora::text
