// Font and static-text tag bodies (after the character id): the mirror of the readers in
// engine/text, for fixtures and benchmarks.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "engine/text/font.h"
#include "engine/text/static_text.h"

namespace velmora::swfgen {

// DefineFont (outlines only), DefineFont2 or DefineFont3 of a font. Code tables are
// written as UCS-2 (SWF 6 and later); the layout table when the font has one.
std::vector<uint8_t> FontBody(const text::Font& font, uint16_t code);

// DefineFontInfo/DefineFontInfo2 with raw name bytes and code-table entries, so movies of
// any code page can be written.
std::vector<uint8_t> FontInfoBody(std::string_view nameBytes, const text::FontFlags& flags,
                                  std::span<const uint16_t> codes, uint16_t code);

// DefineText (opaque colours) or DefineText2; every record states its font, colour and
// position.
std::vector<uint8_t> TextBody(const text::StaticText& text, uint16_t code);

// A test font: glyphs for the given code points drawn as simple block letters in the em
// square of `emSquare` units (a filled box with a box-shaped hole for every code, its
// width growing with the code), advances and a layout table.
text::Font BlockFont(std::u32string_view codes, double emSquare);

}  // namespace velmora::swfgen
