#include "engine/avm1/text_codec.h"

#include <cstdint>

namespace velmora::avm1 {

namespace {

// Decodes one code point; malformed bytes come out as themselves (Latin-1), which
// is what the player does with stray bytes in SWF 6 strings.
uint32_t NextCodePoint(std::string_view s, size_t& i) {
    auto b = static_cast<uint8_t>(s[i]);
    int extra = b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : b >= 0xC0 ? 1 : 0;
    if (extra == 0 || i + static_cast<size_t>(extra) >= s.size()) {
        ++i;
        return b;
    }
    uint32_t cp = b & (0x3F >> extra);
    for (int k = 1; k <= extra; ++k) {
        auto c = static_cast<uint8_t>(s[i + static_cast<size_t>(k)]);
        if ((c & 0xC0) != 0x80) {
            ++i;
            return b;
        }
        cp = (cp << 6) | (c & 0x3F);
    }
    i += static_cast<size_t>(extra) + 1;
    return cp;
}

}  // namespace

std::string Latin1Codec::AnsiToUtf8(std::string_view bytes) const {
    std::string out;
    out.reserve(bytes.size());
    for (char c : bytes) velmora::AppendUtf8(out, static_cast<uint8_t>(c));
    return out;
}

std::string Latin1Codec::Utf8ToAnsi(std::string_view utf8) const {
    std::string out;
    for (size_t i = 0; i < utf8.size();) {
        uint32_t cp = NextCodePoint(utf8, i);
        out += cp < 0x100 ? static_cast<char>(cp) : '?';
    }
    return out;
}

std::u16string Utf8ToUtf16(std::string_view utf8) {
    std::u16string out;
    out.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();) {
        uint32_t cp = NextCodePoint(utf8, i);
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (cp >> 10));
            out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
        } else {
            out += static_cast<char16_t>(cp);
        }
    }
    return out;
}

}  // namespace velmora::avm1
