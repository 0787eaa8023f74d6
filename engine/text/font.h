// Fonts as the text engine uses them: glyph outlines the renderer fills, metrics and
// kerning in font units, and the code-point lookup. The same class serves fonts embedded
// in a movie (DefineFont 1-3, with DefineFontInfo code tables) and device fonts from the
// host (engine/backend/font_provider.h), whose glyphs are made on demand.
//
// Stable interface for text layout (edit texts) and drawing:
//   Scale(size)          font units -> twips at an em height of `size` twips; every metric
//                        below is in font units, so callers never see the em square
//   GlyphIndex(cp)       glyph of a code point (device fonts load it on first use)
//   GlyphAt(i)           outline, advance, optional bounds
//   Advance(i)           pen movement after glyph i
//   Ascent/Descent/Leading, Kerning(left, right)
// Glyphs are drawn through engine/text/glyph_run.h.
//
// Not thread-safe: a device font's lazily loaded glyphs make const lookups write; all
// players of a process run on one thread.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "engine/core/geometry.h"
#include "engine/core/shape.h"

namespace velmora::text {

// Em squares of SWF fonts: DefineFont and DefineFont2 glyphs use 1024 units, DefineFont3
// glyphs 20 times as many (sub-twip precision).
inline constexpr double kEmSquare = 1024;
inline constexpr double kEmSquareFont3 = 20480;

struct Glyph {
    // One layer with one solid white fill, non-zero winding; coordinates in font units
    // with y down and the baseline at 0. Empty for a space.
    Shape outline;
    double advance = 0;  // font units
    std::optional<RectTwips> bounds;  // font units, when the font has a layout table
};

// Supplies a device font's glyphs as they are first asked for (CJK fonts have tens of
// thousands; a movie uses a few hundred).
class GlyphSource {
public:
    virtual ~GlyphSource() = default;
    virtual std::optional<Glyph> LoadGlyph(char32_t codePoint) = 0;
    virtual double Kerning(char32_t left, char32_t right) = 0;  // font units
};

// Movie-side facts about a font that layout does not need but players report.
struct FontFlags {
    bool bold = false, italic = false;
    bool smallText = false;
    bool shiftJis = false, ansi = false;
    bool wideCodes = false;
    uint8_t language = 0;  // DefineFont2/3, DefineFontInfo2 language code
};

class Font {
public:
    explicit Font(double emSquare = kEmSquare) : m_emSquare(emSquare > 0 ? emSquare : kEmSquare) {}
    // A device font: no glyphs until asked for; `source` makes them.
    Font(std::string name, bool bold, bool italic, double emSquare, std::shared_ptr<GlyphSource> source);

    const std::string& Name() const { return m_name; }
    bool Bold() const { return m_flags.bold; }
    bool Italic() const { return m_flags.italic; }
    const FontFlags& Flags() const { return m_flags; }
    bool IsDevice() const { return m_source != nullptr; }

    double EmSquare() const { return m_emSquare; }
    // Font units -> twips for text `sizeTwips` high.
    double Scale(double sizeTwips) const { return sizeTwips / m_emSquare; }

    // Line metrics in font units; fonts without a layout table report 0.
    bool HasLayout() const { return m_hasLayout; }
    double Ascent() const { return m_ascent; }
    double Descent() const { return m_descent; }
    double Leading() const { return m_leading; }

    size_t GlyphCount() const { return m_glyphs.size(); }
    const Glyph* GlyphAt(uint32_t index) const;
    // Glyph of a code point; nullopt when the font has none.
    std::optional<uint32_t> GlyphIndex(char32_t codePoint) const;
    // Code point of a glyph (from the code table); 0 when unknown.
    char32_t CodePoint(uint32_t index) const;
    double Advance(uint32_t index) const;
    // Kerning adjustment between two code points, font units (0 without a pair).
    double Kerning(char32_t left, char32_t right) const;
    const std::map<std::pair<char32_t, char32_t>, double>& KerningPairs() const { return m_kerning; }
    // True when some glyph has an outline. Static text set in a font without any is
    // drawn with the device font of the same name.
    bool HasOutlines() const;

    // Building, for the tag readers and glyph sources.
    void SetName(std::string name) { m_name = std::move(name); }
    void SetFlags(const FontFlags& flags) { m_flags = flags; }
    void SetLayout(double ascent, double descent, double leading);
    void AddGlyph(Glyph glyph, char32_t codePoint);
    // Layout table: advances and bounds of the glyphs in order (shorter lists leave the rest).
    void SetGlyphMetrics(const std::vector<double>& advances, const std::vector<RectTwips>& bounds);
    // Replaces the code table (DefineFontInfo); extra codes are ignored.
    void SetCodeTable(const std::vector<char32_t>& codes);
    void AddKerning(char32_t left, char32_t right, double adjustment);

private:
    uint32_t Append(Glyph glyph, char32_t codePoint) const;

    std::string m_name;
    FontFlags m_flags;
    double m_emSquare;
    bool m_hasLayout = false;
    double m_ascent = 0, m_descent = 0, m_leading = 0;
    // Device fonts grow on lookup; a deque keeps glyph addresses stable for drawings.
    mutable std::deque<Glyph> m_glyphs;
    mutable std::vector<char32_t> m_codes;
    mutable std::unordered_map<char32_t, uint32_t> m_byCode;
    mutable std::unordered_set<char32_t> m_missing;  // device code points without a glyph
    std::map<std::pair<char32_t, char32_t>, double> m_kerning;
    std::shared_ptr<GlyphSource> m_source;
};

}  // namespace velmora::text
