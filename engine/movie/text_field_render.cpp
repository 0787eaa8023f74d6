#include "engine/movie/text_field_render.h"

#include <algorithm>
#include <cmath>

#include "common/text.h"
#include "engine/movie/display_object.h"

namespace velmora::movie {

namespace {

constexpr double kTwips = 20;

bool SameName(std::string_view a, std::string_view b) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [&](char x, char y) { return lower(x) == lower(y); });
}

Rgba FromRgb(uint32_t c) {
    return {static_cast<uint8_t>(c >> 16), static_cast<uint8_t>(c >> 8), static_cast<uint8_t>(c), 255};
}

void AddRect(ShapeLayer& layer, const RectTwips& r, uint32_t fill, uint32_t line) {
    const int32_t xs[] = {r.xMin, r.xMax, r.xMax, r.xMin, r.xMin};
    const int32_t ys[] = {r.yMin, r.yMin, r.yMax, r.yMax, r.yMin};
    for (int i = 0; i < 4; ++i) {
        ShapeEdge e;
        e.x0 = xs[i];
        e.y0 = ys[i];
        e.x1 = xs[i + 1];
        e.y1 = ys[i + 1];
        e.fill1 = fill;
        e.line = line;
        layer.edges.push_back(e);
    }
}

std::shared_ptr<const Shape> BoxShape(const text::EditText& field, const RectTwips& box) {
    Shape shape;
    shape.bounds = shape.edgeBounds = box;
    ShapeLayer layer;
    uint32_t fill = 0, line = 0;
    if (field.background) {
        FillStyle f;
        f.color = FromRgb(field.backgroundColor);
        layer.fills.push_back(f);
        fill = 1;
    }
    if (field.border) {
        LineStyle l;
        l.width = 0;  // a hairline, as Flash draws field borders
        l.color = FromRgb(field.borderColor);
        layer.lines.push_back(l);
        line = 1;
    }
    AddRect(layer, box, fill, line);
    shape.layers.push_back(std::move(layer));
    return std::make_shared<const Shape>(std::move(shape));
}

}  // namespace

std::string EmbeddedFontName(const PlayContext& context, uint16_t fontId) {
    const Character* c = context.definition ? context.definition->Find(fontId) : nullptr;
    auto font = c ? c->AsFont() : nullptr;
    return font ? font->Name() : std::string();
}

std::shared_ptr<const text::Font> FieldFonts::FontFor(const text::TextFormat& format, bool embedded) {
    if (m_definition != m_context.definition) {
        m_cache.clear();
        m_definition = m_context.definition;
    }
    const std::string name = format.font.value_or("");
    const bool bold = format.bold.value_or(false), italic = format.italic.value_or(false);
    auto key = std::make_tuple(name, bold, italic, embedded);
    if (auto it = m_cache.find(key); it != m_cache.end()) return it->second;
    std::shared_ptr<const text::Font> found;
    if (embedded && m_context.definition) {
        // The movie's font of that name, the same style preferred.
        for (const auto& [id, character] : m_context.definition->characters) {
            auto font = character.AsFont();
            if (!font || !SameName(font->Name(), name) || !font->HasOutlines()) continue;
            if (!found || (font->Bold() == bold && font->Italic() == italic)) found = font;
        }
    } else if (m_context.fonts) {
        found = m_context.fonts->FindFont(name, bold, italic);
    }
    m_cache.emplace(key, found);
    return found;
}

double FieldFonts::Advance(char32_t c, const text::TextFormat& format, bool embedded) {
    auto font = FontFor(format, embedded);
    if (!font) return 0;
    auto index = font->GlyphIndex(c);
    if (!index) return 0;
    return font->Advance(*index) * font->Scale(format.size.value_or(12) * kTwips) / kTwips;
}

text::LineMetrics FieldFonts::Metrics(const text::TextFormat& format, bool embedded) {
    auto font = FontFor(format, embedded);
    if (!font) return {};
    const double scale = font->Scale(format.size.value_or(12) * kTwips) / kTwips;
    return {font->Ascent() * scale, font->Descent() * scale, font->Leading() * scale};
}

text::TextPicture TextFieldPicture(text::EditText& field, FieldFonts& fonts) {
    text::TextPicture picture;
    const RectTwips box = field.Box();
    picture.bounds = box;
    if (field.background || field.border) text::AppendShape(BoxShape(field, box), Matrix{}, picture);
    const text::Layout& layout = field.CurrentLayout();
    if (layout.lines.empty()) return picture;
    const text::FormattedText& content = field.Content();
    const std::u16string& s = content.Text();
    const size_t first = std::min(layout.lines.size() - 1, static_cast<size_t>(std::max(1, field.Scroll()) - 1));
    const double top = layout.lines[first].y;
    const double boxHeight = (box.yMax - box.yMin) / kTwips;
    const size_t visible = text::VisibleLines(layout, first, boxHeight);
    for (size_t li = first; li < layout.lines.size() && li < first + visible; ++li) {
        const text::LayoutLine& line = layout.lines[li];
        double x = line.x - field.HScroll();
        const double baseline = text::kGutter + line.y - top + line.ascent;
        for (const text::FormattedText::Run& run : content.Runs()) {
            const size_t from = std::max(run.begin, line.begin), to = std::min(run.end, line.end);
            if (from >= to) continue;
            text::TextFormat f = field.NewTextFormat();
            f.Merge(run.format);
            auto font = fonts.FontFor(f, field.embedFonts);
            const double size = f.size.value_or(12) * kTwips;
            std::u32string codes;
            if (field.password) {
                codes.assign(to - from, U'*');
            } else {
                codes = Utf8ToUtf32(Utf16ToUtf8(std::u16string_view(s).substr(from, to - from)));
            }
            const double spacing = f.letterSpacing.value_or(0);
            double width = 0;
            for (char32_t c : codes) width += fonts.Advance(c, f, field.embedFonts) + spacing;
            if (font) {
                text::GlyphRun glyphs;
                glyphs.font = font;
                glyphs.size = size;
                glyphs.color = FromRgb(f.color.value_or(0));
                glyphs.x = box.xMin + x * kTwips;
                glyphs.y = box.yMin + baseline * kTwips;
                glyphs.glyphs = text::LayoutGlyphs(*font, size, codes, f.kerning.value_or(false));
                for (text::GlyphEntry& g : glyphs.glyphs) g.advance += spacing * kTwips;
                text::AppendGlyphRun(glyphs, picture);
            }
            x += width;
        }
    }
    return picture;
}

}  // namespace velmora::movie
