// Static text (DefineText, DefineText2): records of glyph indices and advances in a font,
// and the drawing made of them for a player, with device glyphs when the font has none.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "engine/backend/font_provider.h"
#include "engine/core/geometry.h"
#include "engine/text/font.h"
#include "engine/text/glyph_run.h"

namespace velmora::text {

// A DefineText record with the style carried over from the records before it resolved.
struct TextRecord {
    uint16_t fontId = 0;
    Rgba color;
    double height = 0;  // twips
    double x = 0, y = 0;  // pen start, text twips
    std::vector<GlyphEntry> glyphs;
};

struct StaticText {
    RectTwips bounds;
    Matrix matrix;
    std::vector<TextRecord> records;
};

// Body after the character id; `code` is kTagDefineText or kTagDefineText2 (colours with
// alpha). Records cut short are dropped, the ones before them kept.
std::optional<StaticText> ReadDefineText(std::span<const uint8_t> body, uint16_t code);

using FontLookup = std::function<std::shared_ptr<const Font>(uint16_t fontId)>;

// The text's drawing in its character's twips (the text matrix applied). A font without
// outlines is drawn with `device`'s font of the same name and style, glyphs found by the
// font's code table; without a provider such records draw nothing.
TextPicture BuildStaticText(const StaticText& text, const FontLookup& fonts, backend::FontProvider* device);

}  // namespace velmora::text
