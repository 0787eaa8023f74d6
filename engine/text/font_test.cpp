// Font tags read back what swfgen writes, code tables in the movie's code page, the em
// square rule, kerning, malformed tags, and static text falling back to device fonts.
#include <gtest/gtest.h>

#include "engine/swf/tags.h"
#include "engine/text/font_tags.h"
#include "engine/text/static_text.h"
#include "tools/swfgen/bit_writer.h"
#include "tools/swfgen/record_writer.h"
#include "tools/swfgen/text_writer.h"

namespace velmora::text {
namespace {

using swfgen::BitWriter;

size_t EdgeCount(const Shape& s) {
    size_t n = 0;
    for (const auto& layer : s.layers) n += layer.edges.size();
    return n;
}

TEST(FontTags, DefineFont2And3ReadBackWhatWasWritten) {
    for (auto [code, em] : {std::pair{swf::kTagDefineFont2, kEmSquare}, {swf::kTagDefineFont3, kEmSquareFont3}}) {
        SCOPED_TRACE(code);
        Font written = swfgen::BlockFont(U"AB中", em);
        written.AddKerning(U'A', U'B', -em / 8);
        auto font = ReadDefineFont(swfgen::FontBody(written, code), code, 8);
        ASSERT_TRUE(font);
        EXPECT_EQ(font->Name(), "Block");
        EXPECT_EQ(font->EmSquare(), em);
        ASSERT_EQ(font->GlyphCount(), 3u);
        EXPECT_EQ(font->GlyphIndex(U'中'), 2u);
        EXPECT_EQ(font->CodePoint(1), U'B');
        EXPECT_FALSE(font->GlyphIndex(U'Z'));
        EXPECT_EQ(font->Advance(2), written.Advance(2));
        EXPECT_EQ(font->Ascent(), written.Ascent());
        EXPECT_EQ(font->Descent(), written.Descent());
        EXPECT_EQ(font->Leading(), written.Leading());
        EXPECT_EQ(font->Kerning(U'A', U'B'), -em / 8);
        EXPECT_EQ(font->Kerning(U'B', U'A'), 0);
        EXPECT_EQ(font->GlyphAt(0)->bounds, written.GlyphAt(0)->bounds);
        for (uint32_t i = 0; i < 3; ++i) {
            const Shape& a = font->GlyphAt(i)->outline;
            ASSERT_EQ(EdgeCount(a), EdgeCount(written.GlyphAt(i)->outline));
            EXPECT_TRUE(a.usesNonZeroWinding);
            EXPECT_EQ(a.layers[0].edges[3].y1, written.GlyphAt(i)->outline.layers[0].edges[3].y1);
        }
        // Text the same height in either font is the same size in twips.
        EXPECT_DOUBLE_EQ(font->Advance(0) * font->Scale(400), 500 * 400 / 1024.0);
    }
}

TEST(FontTags, DefineFontInfoCodeTablesFollowTheMovieVersion) {
    Font outlines = swfgen::BlockFont(U"AB", kEmSquare);
    auto font1 = ReadDefineFont(swfgen::FontBody(outlines, swf::kTagDefineFont), swf::kTagDefineFont, 5);
    ASSERT_TRUE(font1);
    ASSERT_EQ(font1->GlyphCount(), 2u);
    EXPECT_FALSE(font1->GlyphIndex(U'A'));  // no codes until the info tag
    struct Case {
        const char* name;
        int swfVersion;
        bool shiftJis;
        char32_t first, second;
        const char* fontName;
    };
    // "宋体" and 中 (D6D0), 文 (CEC4) in GBK.
    const Case cases[] = {
        {"SWF 5: GBK", 5, false, U'中', U'文', "宋体"},
        {"SWF 6: UCS-2, a name that is not UTF-8 read as ANSI", 6, false, 0xD6D0, 0xCEC4, "宋体"},
        {"SWF 5 Shift-JIS: ASCII only", 5, true, 0, 0, "宋体"},
    };
    const uint16_t codes[] = {0xD6D0, 0xCEC4};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FontFlags flags;
        flags.wideCodes = true;
        flags.shiftJis = c.shiftJis;
        flags.bold = true;
        Font font = *font1;
        ASSERT_TRUE(ApplyFontInfo(swfgen::FontInfoBody("\xCB\xCE\xCC\xE5", flags, codes, swf::kTagDefineFontInfo),
                                  swf::kTagDefineFontInfo, c.swfVersion, font));
        EXPECT_EQ(font.CodePoint(0), c.first);
        EXPECT_EQ(font.CodePoint(1), c.second);
        if (c.first) {
            EXPECT_EQ(font.GlyphIndex(c.second), 1u);
        }
        EXPECT_TRUE(font.Bold());
        if (!c.shiftJis) {
            EXPECT_EQ(font.Name(), c.fontName);
        }
    }
    // Narrow codes in the code page: ASCII stays, a lone lead byte decodes to nothing.
    Font narrow = *font1;
    const uint16_t bytes[] = {'Q', 0xD6};
    ASSERT_TRUE(ApplyFontInfo(swfgen::FontInfoBody("Arial", FontFlags{}, bytes, swf::kTagDefineFontInfo),
                              swf::kTagDefineFontInfo, 5, narrow));
    EXPECT_EQ(narrow.CodePoint(0), U'Q');
    EXPECT_EQ(narrow.CodePoint(1), 0u);
    // A UTF-8 name in a newer movie is kept as it is.
    ASSERT_TRUE(ApplyFontInfo(swfgen::FontInfoBody("黑体", FontFlags{}, bytes, swf::kTagDefineFontInfo2),
                              swf::kTagDefineFontInfo2, 8, narrow));
    EXPECT_EQ(narrow.Name(), "黑体");
}

TEST(FontLayout, AdvancesScaleWithSizeAndKerningAdds) {
    Font font = swfgen::BlockFont(U"AB", kEmSquareFont3);
    font.AddKerning(U'A', U'B', -2048);
    auto plain = LayoutGlyphs(font, 200, U"ABA", false);
    auto kerned = LayoutGlyphs(font, 200, U"ABA", true);
    ASSERT_EQ(plain.size(), 3u);
    ASSERT_EQ(kerned.size(), 3u);
    const double a = font.Advance(0) * 200 / kEmSquareFont3;
    EXPECT_DOUBLE_EQ(plain[0].advance, a);
    EXPECT_DOUBLE_EQ(kerned[0].advance, a - 20);  // -2048 units of 20480 at 200 twips
    EXPECT_DOUBLE_EQ(kerned[1].advance, plain[1].advance);  // no B-A pair
    // Code points the font lacks are left out.
    EXPECT_EQ(LayoutGlyphs(font, 200, U"AZB", false).size(), 2u);
}

std::vector<uint8_t> Body(std::initializer_list<uint8_t> bytes) { return bytes; }

TEST(FontTags, MalformedTagsAreRejectedOrCutWithoutCrashing) {
    struct Case {
        const char* name;
        uint16_t code;
        std::vector<uint8_t> body;
        bool parses;
        size_t glyphs;  // when it parses
    };
    const Font block = swfgen::BlockFont(U"AB", kEmSquare);
    std::vector<uint8_t> good = swfgen::FontBody(block, swf::kTagDefineFont2);
    std::vector<uint8_t> noKerning(good.begin(), good.end() - 3);
    std::vector<uint8_t> noCodes(good.begin(), good.begin() + 20);
    const Case cases[] = {
        {"empty DefineFont2", swf::kTagDefineFont2, {}, false, 0},
        {"65535 glyphs in a tiny tag", swf::kTagDefineFont2, Body({0, 0, 0, 0xFF, 0xFF, 2, 0, 4, 0}), false, 0},
        {"name longer than the tag", swf::kTagDefineFont2, Body({0, 0, 200, 'a'}), false, 0},
        {"code table beyond the tag", swf::kTagDefineFont2, Body({0, 0, 0, 1, 0, 4, 0, 0xFF, 0x7F}), false, 0},
        {"glyph offsets past the table", swf::kTagDefineFont2, Body({0, 0, 0, 2, 0, 0xF0, 0, 0xF1, 0, 6, 0, 0, 0}), true, 2},
        {"layout cut short keeps glyphs", swf::kTagDefineFont2, noKerning, true, 2},
        {"cut inside the glyphs", swf::kTagDefineFont2, noCodes, false, 0},
        {"DefineFont odd offset table", swf::kTagDefineFont, Body({3, 0, 0}), false, 0},
        {"DefineFont table past the end", swf::kTagDefineFont, Body({0x10, 0}), false, 0},
        {"DefineFont without glyphs", swf::kTagDefineFont, {}, true, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto font = ReadDefineFont(c.body, c.code, 8);
        ASSERT_EQ(font.has_value(), c.parses);
        if (font) {
            EXPECT_EQ(font->GlyphCount(), c.glyphs);
        }
    }
    auto cut = ReadDefineFont(noKerning, swf::kTagDefineFont2, 8);
    ASSERT_TRUE(cut);
    EXPECT_EQ(cut->GlyphIndex(U'B'), 1u);

    Font info = block;
    EXPECT_FALSE(ApplyFontInfo(Body({9, 'a'}), swf::kTagDefineFontInfo, 8, info));
    // Fewer codes than glyphs: the rest stay unknown.
    ASSERT_TRUE(ApplyFontInfo(Body({0, 0, 'x'}), swf::kTagDefineFontInfo, 8, info));
    EXPECT_EQ(info.CodePoint(0), U'x');
    EXPECT_EQ(info.CodePoint(1), 0u);

    EXPECT_FALSE(ReadDefineText(Body({0x00, 0x00, 40, 8}), swf::kTagDefineText));  // 40 glyph bits
    EXPECT_FALSE(ReadDefineText({}, swf::kTagDefineText));
}

// DefineText records carry font, colour and height over; a record without an x offset
// starts where the last one ended.
TEST(StaticTextTags, RecordsInheritStyleAndPen) {
    BitWriter w;
    swfgen::WriteRect(w, {0, 2000, -400, 100});
    swfgen::WriteMatrix(w, {});
    w.U8(4);  // glyph bits
    w.U8(8);  // advance bits
    w.U8(0x80 | 0x08 | 0x04 | 0x01);
    w.U16(7);
    swfgen::WriteRgb(w, {10, 20, 30, 255});
    w.S16(100);
    w.U16(300);
    w.U8(2);
    w.UB(1, 4), w.SB(90, 8), w.UB(2, 4), w.SB(-10, 8);
    w.Align();
    w.U8(0x80 | 0x02);
    w.S16(400);
    w.U8(1);
    w.UB(3, 4), w.SB(50, 8);
    w.Align();
    w.U8(0x80 | 0x04);
    swfgen::WriteRgb(w, {1, 2, 3, 255});
    w.U8(5);  // five glyphs promised, the tag ends first
    w.UB(3, 4);
    auto text = ReadDefineText(w.Data(), swf::kTagDefineText);
    ASSERT_TRUE(text);
    ASSERT_EQ(text->records.size(), 2u);
    const TextRecord& second = text->records[1];
    EXPECT_EQ(second.fontId, 7);
    EXPECT_EQ(second.height, 300);
    EXPECT_EQ(second.color, (Rgba{10, 20, 30, 255}));
    EXPECT_EQ(second.x, 180);  // 100 + 90 - 10
    EXPECT_EQ(second.y, 400);
    ASSERT_EQ(second.glyphs.size(), 1u);
    EXPECT_EQ(second.glyphs[0].index, 3u);
    EXPECT_EQ(text->records[0].glyphs[1].advance, -10);
}

class OneFontProvider final : public backend::FontProvider {
public:
    explicit OneFontProvider(std::shared_ptr<const Font> font) : m_font(std::move(font)) {}
    std::shared_ptr<const Font> FindFont(std::string_view name, bool bold, bool) override {
        asked = std::string(name) + (bold ? " bold" : "");
        return m_font;
    }
    std::string asked;

private:
    std::shared_ptr<const Font> m_font;
};

TEST(StaticText, FontWithoutOutlinesDrawsWithTheDeviceFont) {
    // The movie's font: codes only, as for device text.
    auto movieFont = std::make_shared<Font>();
    movieFont->SetName("宋体");
    FontFlags flags;
    flags.bold = true;
    movieFont->SetFlags(flags);
    movieFont->AddGlyph(Glyph{}, U'B');
    movieFont->AddGlyph(Glyph{}, U'Z');
    movieFont->AddGlyph(Glyph{}, U'A');
    auto device = std::make_shared<const Font>(swfgen::BlockFont(U"AB", kEmSquareFont3));
    StaticText text;
    text.records.push_back({1, Rgba{0, 0, 255, 255}, 400, 0, 0, {{0, 300}, {1, 300}, {2, 300}}});
    FontLookup lookup = [&](uint16_t id) { return id == 1 ? std::shared_ptr<const Font>(movieFont) : nullptr; };

    OneFontProvider provider(device);
    TextPicture picture = BuildStaticText(text, lookup, &provider);
    EXPECT_EQ(provider.asked, "宋体 bold");
    ASSERT_EQ(picture.pieces.size(), 2u);  // Z is not in the device font
    EXPECT_EQ(picture.pieces[0].shape, &device->GlyphAt(1)->outline);
    EXPECT_EQ(picture.pieces[1].shape, &device->GlyphAt(0)->outline);
    EXPECT_DOUBLE_EQ(picture.pieces[1].matrix.tx, 600);  // the movie's advances place glyphs
    EXPECT_DOUBLE_EQ(picture.pieces[1].matrix.a, 400 / kEmSquareFont3);
    EXPECT_TRUE(BuildStaticText(text, lookup, nullptr).pieces.empty());
}

}  // namespace
}  // namespace velmora::text
