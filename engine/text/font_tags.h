// Readers of the font tags: DefineFont 1-4, DefineFontInfo 1-2, DefineFontName. Bodies are given after the character id. Every count
// and offset is checked against the tag's own bytes; a malformed tag gives nullopt (or,
// where Flash keeps what it read, the part before the damage).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "engine/text/font.h"

namespace velmora::text {

// `code` is kTagDefineFont, kTagDefineFont2 or kTagDefineFont3. Names and (in SWF 5 and
// earlier) code tables in the ANSI code page become UTF-8 and Unicode.
std::optional<Font> ReadDefineFont(std::span<const uint8_t> body, uint16_t code, int swfVersion);

// DefineFontInfo/DefineFontInfo2 applied to a font: name, style flags and code table.
bool ApplyFontInfo(std::span<const uint8_t> body, uint16_t code, int swfVersion, Font& font);

struct FontName {
    std::string name, copyright;
};
std::optional<FontName> ReadDefineFontName(std::span<const uint8_t> body);

// DefineFont4 (CFF outlines for the newer text engine): kept, not drawn.
struct Font4 {
    std::string name;
    bool bold = false, italic = false;
    std::vector<uint8_t> data;
};
std::optional<Font4> ReadDefineFont4(std::span<const uint8_t> body);

// Code-table entry -> code point: SWF 6 and later hold UCS-2; earlier movies hold the
// system's ANSI code page (GBK for our users; double-byte codes high byte first), or
// Shift-JIS, of which only the ASCII range is known here. 0 when not decodable.
char32_t DecodeFontCode(uint16_t code, const FontFlags& flags, int swfVersion);

}  // namespace velmora::text
