#include "engine/text/static_text.h"

#include "engine/swf/bit_reader.h"
#include "engine/swf/records.h"
#include "engine/swf/tags.h"

namespace velmora::text {

using swf::BitReader;

std::optional<StaticText> ReadDefineText(std::span<const uint8_t> body, uint16_t code) {
    BitReader r(body);
    StaticText text;
    text.bounds = swf::ReadRect(r);
    text.matrix = swf::ReadMatrix(r);
    const unsigned glyphBits = r.U8(), advanceBits = r.U8();
    if (!r.Ok() || glyphBits > 32 || advanceBits > 32) return std::nullopt;
    TextRecord style;  // font, colour and height carry over to the following records
    double penX = 0, penY = 0;
    while (r.Ok() && !r.AtEnd()) {
        const uint8_t head = r.U8();
        if (head == 0) break;
        if (head & 0x08) style.fontId = r.U16();
        if (head & 0x04) style.color = code == swf::kTagDefineText2 ? swf::ReadRgba(r) : swf::ReadRgb(r);
        if (head & 0x01) penX = r.S16();
        if (head & 0x02) penY = r.S16();
        if (head & 0x08) style.height = r.U16();
        const unsigned count = r.U8();
        TextRecord record = style;
        record.x = penX;
        record.y = penY;
        record.glyphs.reserve(count);
        for (unsigned i = 0; i < count && r.Ok(); ++i) {
            GlyphEntry entry;
            entry.index = r.UB(glyphBits);
            entry.advance = r.SB(advanceBits);
            penX += entry.advance;
            record.glyphs.push_back(entry);
        }
        r.Align();
        // A record cut short is dropped; the ones before it still draw.
        if (!r.Ok()) break;
        text.records.push_back(std::move(record));
    }
    return text;
}

TextPicture BuildStaticText(const StaticText& text, const FontLookup& fonts, backend::FontProvider* device) {
    TextPicture picture;
    picture.bounds = text.bounds;
    for (const TextRecord& record : text.records) {
        std::shared_ptr<const Font> font = fonts ? fonts(record.fontId) : nullptr;
        if (!font) continue;
        GlyphRun run;
        run.font = font;
        run.size = record.height;
        run.color = record.color;
        run.x = record.x;
        run.y = record.y;
        run.matrix = text.matrix;
        run.glyphs = record.glyphs;
        if (!font->HasOutlines()) {
            run.font = device ? device->FindFont(font->Name(), font->Bold(), font->Italic()) : nullptr;
            if (!run.font) continue;
            // Same advances, the device's glyph for each code; unknown codes keep their place.
            for (GlyphEntry& entry : run.glyphs) {
                const char32_t cp = font->CodePoint(entry.index);
                std::optional<uint32_t> index = cp ? run.font->GlyphIndex(cp) : std::nullopt;
                entry.index = index ? *index : UINT32_MAX;
            }
        }
        AppendGlyphRun(run, picture);
    }
    return picture;
}

}  // namespace velmora::text
