// The host's device fonts: what a movie's text uses when its font has no outlines of its
// own (device text, "_sans" and friends, fonts a movie names but does not embed).
// Implementations: engine/text/truetype_fonts.h (a TrueType file, for tests and tools) and
// the Win32 host's GDI fonts.
#pragma once

#include <memory>
#include <string_view>

#include "engine/text/font.h"

namespace velmora::backend {

class FontProvider {
public:
    virtual ~FontProvider() = default;
    // The font for a name as a movie writes it (UTF-8: "_sans", "_serif", "_typewriter",
    // "宋体", "Arial", ...) in the given style. Unknown names fall back to a font that has
    // Chinese glyphs; nullptr only when the host has no font at all. The font's glyphs
    // are made on first use. Asking twice gives the same font.
    virtual std::shared_ptr<const text::Font> FindFont(std::string_view name, bool bold, bool italic) = 0;
};

// No device fonts: device text draws nothing.
class NullFontProvider final : public FontProvider {
public:
    std::shared_ptr<const text::Font> FindFont(std::string_view, bool, bool) override { return nullptr; }
};

}  // namespace velmora::backend
