// Which system fonts stand for a font name a movie asks for: Flash's generic names, the
// Chinese names of the common Windows fonts, and a font with Chinese glyphs for anything
// the system lacks (under Wine only the WenQuanYi fonts exist).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace velmora::text {

// System font names (UTF-8) to try in order; the first one present should be used.
std::vector<std::string> DeviceFontCandidates(std::string_view name);

}  // namespace velmora::text
