#include "tools/swfgen/text_writer.h"

#include <algorithm>
#include <cmath>

#include "engine/swf/tags.h"
#include "tools/swfgen/bit_writer.h"
#include "tools/swfgen/record_writer.h"

namespace velmora::swfgen {

namespace {

uint8_t FontInfoBits(const text::FontFlags& f) {
    return static_cast<uint8_t>((f.smallText ? 0x20 : 0) | (f.shiftJis ? 0x10 : 0) | (f.ansi ? 0x08 : 0) |
                                (f.italic ? 0x04 : 0) | (f.bold ? 0x02 : 0) | (f.wideCodes ? 0x01 : 0));
}

std::vector<uint8_t> GlyphBytes(const Shape& outline) {
    BitWriter w;
    WriteGlyphShape(w, outline);
    return w.Data();
}

int16_t Units(double v) { return static_cast<int16_t>(std::lround(v)); }

// Closed rectangle edges with fill 1 on one side; `clockwise` on screen or not.
void AddBox(ShapeLayer& layer, int32_t x0, int32_t y0, int32_t x1, int32_t y1, bool clockwise) {
    std::vector<std::pair<int32_t, int32_t>> pts = {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}};
    if (!clockwise) std::reverse(pts.begin(), pts.end());
    for (size_t i = 0; i < pts.size(); ++i) {
        ShapeEdge e;
        e.x0 = pts[i].first, e.y0 = pts[i].second;
        e.x1 = pts[(i + 1) % 4].first, e.y1 = pts[(i + 1) % 4].second;
        e.fill0 = 1;
        layer.edges.push_back(e);
    }
}

}  // namespace

std::vector<uint8_t> FontBody(const text::Font& font, uint16_t code) {
    const size_t count = font.GlyphCount();
    std::vector<std::vector<uint8_t>> glyphs;
    size_t glyphBytes = 0;
    for (uint32_t i = 0; i < count; ++i) {
        glyphs.push_back(GlyphBytes(font.GlyphAt(i)->outline));
        glyphBytes += glyphs.back().size();
    }
    BitWriter w;
    if (code == swf::kTagDefineFont) {
        size_t offset = count * 2;
        for (const auto& g : glyphs) {
            w.U16(static_cast<uint16_t>(offset));
            offset += g.size();
        }
        for (const auto& g : glyphs) w.Bytes(g);
        return w.Data();
    }
    const text::FontFlags& f = font.Flags();
    const bool wideOffsets = count * 4 + 4 + glyphBytes > 0xFFFF;
    w.U8(static_cast<uint8_t>((font.HasLayout() ? 0x80 : 0) | (f.shiftJis ? 0x40 : 0) | (f.smallText ? 0x20 : 0) |
                              (f.ansi ? 0x10 : 0) | (wideOffsets ? 0x08 : 0) | 0x04 | (f.italic ? 0x02 : 0) |
                              (f.bold ? 0x01 : 0)));
    w.U8(f.language);
    w.U8(static_cast<uint8_t>(font.Name().size()));
    w.Bytes({reinterpret_cast<const uint8_t*>(font.Name().data()), font.Name().size()});
    w.U16(static_cast<uint16_t>(count));
    const size_t offsetSize = wideOffsets ? 4 : 2;
    size_t offset = (count + 1) * offsetSize;
    auto writeOffset = [&](size_t v) { wideOffsets ? w.U32(static_cast<uint32_t>(v)) : w.U16(static_cast<uint16_t>(v)); };
    for (const auto& g : glyphs) {
        writeOffset(offset);
        offset += g.size();
    }
    writeOffset(offset);  // code table
    for (const auto& g : glyphs) w.Bytes(g);
    for (uint32_t i = 0; i < count; ++i) w.U16(static_cast<uint16_t>(font.CodePoint(i)));
    if (!font.HasLayout()) return w.Data();
    w.U16(static_cast<uint16_t>(font.Ascent()));
    w.U16(static_cast<uint16_t>(font.Descent()));
    w.S16(Units(font.Leading()));
    for (uint32_t i = 0; i < count; ++i) w.S16(Units(font.Advance(i)));
    for (uint32_t i = 0; i < count; ++i) WriteRect(w, font.GlyphAt(i)->bounds.value_or(RectTwips{}));
    w.U16(static_cast<uint16_t>(font.KerningPairs().size()));
    for (const auto& [pair, adjustment] : font.KerningPairs()) {
        w.U16(static_cast<uint16_t>(pair.first));
        w.U16(static_cast<uint16_t>(pair.second));
        w.S16(Units(adjustment));
    }
    return w.Data();
}

std::vector<uint8_t> FontInfoBody(std::string_view nameBytes, const text::FontFlags& flags,
                                  std::span<const uint16_t> codes, uint16_t code) {
    BitWriter w;
    w.U8(static_cast<uint8_t>(nameBytes.size()));
    w.Bytes({reinterpret_cast<const uint8_t*>(nameBytes.data()), nameBytes.size()});
    const bool wide = flags.wideCodes || code == swf::kTagDefineFontInfo2;
    text::FontFlags written = flags;
    written.wideCodes = wide;
    w.U8(FontInfoBits(written));
    if (code == swf::kTagDefineFontInfo2) w.U8(flags.language);
    for (uint16_t c : codes) wide ? w.U16(c) : w.U8(static_cast<uint8_t>(c));
    return w.Data();
}

std::vector<uint8_t> TextBody(const text::StaticText& text, uint16_t code) {
    unsigned glyphBits = 1, advanceBits = 1;
    for (const auto& record : text.records) {
        for (const auto& g : record.glyphs) {
            glyphBits = std::max(glyphBits, UnsignedBits(g.index));
            advanceBits = std::max(advanceBits, SignedBits(std::lround(g.advance)));
        }
    }
    BitWriter w;
    WriteRect(w, text.bounds);
    WriteMatrix(w, text.matrix);
    w.U8(static_cast<uint8_t>(glyphBits));
    w.U8(static_cast<uint8_t>(advanceBits));
    for (const auto& record : text.records) {
        w.U8(0x80 | 0x08 | 0x04 | 0x02 | 0x01);
        w.U16(record.fontId);
        code == swf::kTagDefineText2 ? WriteRgba(w, record.color) : WriteRgb(w, record.color);
        w.S16(Units(record.x));
        w.S16(Units(record.y));
        w.U16(static_cast<uint16_t>(std::lround(record.height)));
        w.U8(static_cast<uint8_t>(record.glyphs.size()));
        for (const auto& g : record.glyphs) {
            w.UB(g.index, glyphBits);
            w.SB(static_cast<int32_t>(std::lround(g.advance)), advanceBits);
        }
        w.Align();
    }
    w.U8(0);
    return w.Data();
}

text::Font BlockFont(std::u32string_view codes, double emSquare) {
    text::Font font(emSquare);
    font.SetName("Block");
    const double u = emSquare / 1024;  // design units -> font units
    auto at = [u](double v) { return static_cast<int32_t>(std::lround(v * u)); };
    for (char32_t cp : codes) {
        text::Glyph glyph;
        const double width = 300 + 100 * (cp % 4);
        if (cp != U' ') {
            ShapeLayer& layer = glyph.outline.layers.emplace_back();
            layer.fills.push_back(FillStyle{FillKind::Solid, Rgba{255, 255, 255, 255}});
            glyph.outline.usesNonZeroWinding = true;
            AddBox(layer, at(50), at(-700), at(50 + width), 0, true);
            // The hole sits high for even codes and low for odd ones, so glyphs differ.
            const double top = cp % 2 ? -300 : -600;
            AddBox(layer, at(50 + width / 4), at(top), at(50 + width * 3 / 4), at(top + 200), false);
            glyph.bounds = RectTwips{at(50), at(50 + width), at(-700), 0};
        }
        glyph.advance = at(width + 100);
        font.AddGlyph(std::move(glyph), cp);
    }
    font.SetLayout(at(800), at(200), at(40));
    return font;
}

}  // namespace velmora::swfgen
