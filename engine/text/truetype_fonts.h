// Device fonts from one TrueType file or collection (stb_truetype): the provider of tests
// and tools, which have no system fonts. Every name maps to a font of the file, chosen by
// the same candidate list a system would use; italic is slanted, bold is not emboldened.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "engine/backend/font_provider.h"

namespace velmora::text {

class TrueTypeFontProvider final : public backend::FontProvider {
public:
    // nullptr when the file cannot be read or holds no font.
    static std::shared_ptr<TrueTypeFontProvider> FromFile(const std::string& path);
    // The WenQuanYi Micro Hei collection of the build machines, when installed.
    static std::shared_ptr<TrueTypeFontProvider> FromSystemFont();
    explicit TrueTypeFontProvider(std::vector<uint8_t> file);

    bool Ok() const { return m_fontCount > 0; }
    std::shared_ptr<const Font> FindFont(std::string_view name, bool bold, bool italic) override;

private:
    std::shared_ptr<const std::vector<uint8_t>> m_file;
    int m_fontCount = 0;
    std::map<std::tuple<int, bool, bool>, std::shared_ptr<const Font>> m_fonts;  // (index, bold, italic)
};

}  // namespace velmora::text
