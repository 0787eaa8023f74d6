// Device fonts from the system through GDI: glyph outlines from GetGlyphOutlineW
// (unhinted, in the font's design units), metrics and kerning pairs of the font. Names
// a movie asks for map to installed faces by the engine's candidate list.
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <tuple>

#include "engine/backend/font_provider.h"

namespace velmora::moviehost {

class GdiFontProvider final : public backend::FontProvider {
public:
    GdiFontProvider();
    ~GdiFontProvider() override;
    GdiFontProvider(const GdiFontProvider&) = delete;
    GdiFontProvider& operator=(const GdiFontProvider&) = delete;

    std::shared_ptr<const text::Font> FindFont(std::string_view name, bool bold, bool italic) override;
    // The installed face a name maps to (UTF-16), for tests.
    std::wstring FaceFor(std::string_view name);

private:
    std::shared_ptr<HDC__> m_dc;  // one memory DC for every font's glyph lookups
    std::map<std::tuple<std::wstring, bool, bool>, std::shared_ptr<const text::Font>> m_fonts;
    // Asked-for names already mapped: looking faces up enumerates the system's fonts.
    std::map<std::tuple<std::string, bool, bool>, std::shared_ptr<const text::Font>> m_asked;
};

}  // namespace velmora::moviehost
