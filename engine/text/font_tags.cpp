#include "engine/text/font_tags.h"

#include "common/text.h"
#include "engine/swf/bit_reader.h"
#include "engine/swf/records.h"
#include "engine/swf/shape_reader.h"
#include "engine/swf/tags.h"

namespace velmora::text {

using swf::BitReader;

namespace {

// Names are stored with or without a terminating zero. Chinese authoring tools wrote
// names in the ANSI code page even into SWF 6 movies: what is not UTF-8 is read as ANSI.
std::string NameText(std::span<const uint8_t> bytes, int swfVersion) {
    std::string raw(bytes.begin(), bytes.end());
    if (auto zero = raw.find('\0'); zero != std::string::npos) raw.resize(zero);
    if (swfVersion < 6) return AnsiToUtf8(raw);
    const bool utf8 = Utf8ToUtf32(raw).find(U'\uFFFD') == std::u32string::npos ||
                      raw.find("\xEF\xBF\xBD") != std::string::npos;
    return utf8 ? raw : AnsiToUtf8(raw);
}

FontFlags FontInfoFlags(uint8_t bits) {
    FontFlags f;
    f.smallText = bits & 0x20;
    f.shiftJis = bits & 0x10;
    f.ansi = bits & 0x08;
    f.italic = bits & 0x04;
    f.bold = bits & 0x02;
    f.wideCodes = bits & 0x01;
    return f;
}

std::vector<char32_t> ReadCodes(BitReader& r, size_t count, const FontFlags& flags, int swfVersion) {
    std::vector<char32_t> codes;
    const size_t width = flags.wideCodes ? 2 : 1;
    if (count > r.Remaining() / width) count = r.Remaining() / width;
    codes.reserve(count);
    for (size_t i = 0; i < count; ++i)
        codes.push_back(DecodeFontCode(flags.wideCodes ? r.U16() : r.U8(), flags, swfVersion));
    return codes;
}

std::optional<Font> ReadFont1(std::span<const uint8_t> body) {
    Font font(kEmSquare);
    if (body.empty()) return font;  // no glyphs: a device font named by DefineFontInfo
    BitReader r(body);
    // The first offset is the size of the offset table: two bytes a glyph.
    const size_t first = r.U16();
    if (!r.Ok() || first % 2 || first > body.size()) return std::nullopt;
    const size_t count = first / 2;
    std::vector<size_t> offsets = {first};
    for (size_t i = 1; i < count; ++i) offsets.push_back(r.U16());
    if (!r.Ok()) return std::nullopt;
    offsets.push_back(body.size());
    for (size_t i = 0; i < count; ++i) {
        const size_t from = offsets[i], to = offsets[i + 1];
        Glyph glyph;
        if (from < to && to <= body.size()) glyph.outline = swf::ReadGlyphShape(body.subspan(from, to - from));
        font.AddGlyph(std::move(glyph), 0);
    }
    return font;
}

}  // namespace

char32_t DecodeFontCode(uint16_t code, const FontFlags& flags, int swfVersion) {
    if (swfVersion >= 6 || code < 0x80) return code;
    if (flags.shiftJis) return 0;
    std::string bytes;
    if (code > 0xFF) bytes += static_cast<char>(code >> 8);
    bytes += static_cast<char>(code & 0xFF);
    std::u32string decoded = Utf8ToUtf32(AnsiToUtf8(bytes));
    return decoded.size() == 1 && decoded[0] != 0xFFFD && decoded[0] != U'?' ? decoded[0] : 0;
}

std::optional<Font> ReadDefineFont(std::span<const uint8_t> body, uint16_t code, int swfVersion) {
    if (code == swf::kTagDefineFont) return ReadFont1(body);
    BitReader r(body);
    const uint8_t bits = r.U8();
    FontFlags flags;
    const bool hasLayout = bits & 0x80;
    flags.shiftJis = bits & 0x40;
    flags.smallText = bits & 0x20;
    flags.ansi = bits & 0x10;
    const bool wideOffsets = bits & 0x08;
    flags.wideCodes = bits & 0x04;
    flags.italic = bits & 0x02;
    flags.bold = bits & 0x01;
    flags.language = r.U8();
    const uint8_t nameLength = r.U8();
    std::span<const uint8_t> nameBytes = r.Bytes(nameLength);
    const size_t count = r.U16();
    if (!r.Ok()) return std::nullopt;

    Font font(code == swf::kTagDefineFont3 ? kEmSquareFont3 : kEmSquare);
    font.SetName(NameText(nameBytes, swfVersion));
    font.SetFlags(flags);
    const size_t offsetSize = wideOffsets ? 4 : 2;
    const size_t tableStart = r.Position();
    if (count > r.Remaining() / offsetSize) return std::nullopt;
    std::vector<size_t> offsets;
    offsets.reserve(count + 1);
    for (size_t i = 0; i < count; ++i) offsets.push_back(tableStart + (wideOffsets ? r.U32() : r.U16()));
    // Fonts without glyphs may leave the code-table offset out.
    size_t codeStart = r.Position();
    if (count > 0 || r.Remaining() >= offsetSize + 8) codeStart = tableStart + (wideOffsets ? r.U32() : r.U16());
    if (!r.Ok() || codeStart > body.size()) return std::nullopt;
    offsets.push_back(codeStart);
    for (size_t i = 0; i < count; ++i) {
        const size_t from = offsets[i], to = offsets[i + 1];
        Glyph glyph;
        if (from < to && to <= body.size()) glyph.outline = swf::ReadGlyphShape(body.subspan(from, to - from));
        font.AddGlyph(std::move(glyph), 0);
    }

    BitReader tail(body.subspan(codeStart));
    font.SetCodeTable(ReadCodes(tail, count, flags, swfVersion));
    if (!hasLayout || !tail.Ok()) return font;
    const double ascent = tail.U16(), descent = tail.U16(), leading = tail.S16();
    if (!tail.Ok()) return font;
    font.SetLayout(ascent, descent, leading);
    std::vector<double> advances;
    for (size_t i = 0; i < count && tail.Ok(); ++i) advances.push_back(tail.S16());
    std::vector<RectTwips> bounds;
    for (size_t i = 0; i < count && tail.Ok(); ++i) bounds.push_back(swf::ReadRect(tail));
    if (!tail.Ok()) return font;
    font.SetGlyphMetrics(advances, bounds);
    const unsigned kerningCount = tail.U16();
    for (unsigned i = 0; i < kerningCount && tail.Ok(); ++i) {
        const uint16_t left = flags.wideCodes ? tail.U16() : tail.U8();
        const uint16_t right = flags.wideCodes ? tail.U16() : tail.U8();
        const int16_t adjustment = tail.S16();
        if (tail.Ok())
            font.AddKerning(DecodeFontCode(left, flags, swfVersion), DecodeFontCode(right, flags, swfVersion), adjustment);
    }
    return font;
}

bool ApplyFontInfo(std::span<const uint8_t> body, uint16_t code, int swfVersion, Font& font) {
    BitReader r(body);
    const uint8_t nameLength = r.U8();
    std::span<const uint8_t> nameBytes = r.Bytes(nameLength);
    FontFlags flags = FontInfoFlags(r.U8());
    if (code == swf::kTagDefineFontInfo2) {
        flags.language = r.U8();
        flags.wideCodes = true;
    }
    if (!r.Ok()) return false;
    font.SetName(NameText(nameBytes, swfVersion));
    font.SetFlags(flags);
    font.SetCodeTable(ReadCodes(r, font.GlyphCount(), flags, swfVersion));
    return true;
}

std::optional<FontName> ReadDefineFontName(std::span<const uint8_t> body) {
    BitReader r(body);
    FontName out;
    out.name = r.String();
    out.copyright = r.String();
    if (out.name.empty() && !r.Ok()) return std::nullopt;
    return out;
}

std::optional<Font4> ReadDefineFont4(std::span<const uint8_t> body) {
    BitReader r(body);
    Font4 out;
    const uint8_t bits = r.U8();
    out.italic = bits & 0x02;
    out.bold = bits & 0x01;
    out.name = r.String();
    if (!r.Ok()) return std::nullopt;
    if (bits & 0x04) {
        auto data = r.Rest();
        out.data.assign(data.begin(), data.end());
    }
    return out;
}

}  // namespace velmora::text
