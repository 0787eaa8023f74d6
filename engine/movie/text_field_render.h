// Text fields on the display list: the fonts they measure with (fonts the movie
// embeds, by name, when the field uses embedded outlines; the host's device fonts
// otherwise) and their drawing: background, border and the glyphs of the lines in
// view.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <tuple>

#include "engine/text/edit_text.h"
#include "engine/text/glyph_run.h"

namespace velmora::movie {

struct PlayContext;

class FieldFonts final : public text::TextMeasurer {
public:
    explicit FieldFonts(const PlayContext& context) : m_context(context) {}

    // The font a format draws with; nullptr when there is none.
    std::shared_ptr<const text::Font> FontFor(const text::TextFormat& format, bool embedded);

    double Advance(char32_t c, const text::TextFormat& format, bool embedded) override;
    text::LineMetrics Metrics(const text::TextFormat& format, bool embedded) override;

private:
    const PlayContext& m_context;
    const void* m_definition = nullptr;  // the cache belongs to one movie
    std::map<std::tuple<std::string, bool, bool, bool>, std::shared_ptr<const text::Font>> m_cache;
};

// The name of the movie's font with this id ("" when it has none).
std::string EmbeddedFontName(const PlayContext& context, uint16_t fontId);

text::TextPicture TextFieldPicture(text::EditText& field, FieldFonts& fonts);

}  // namespace velmora::movie
