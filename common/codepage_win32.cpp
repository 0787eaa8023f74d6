// ANSI code page conversion through the system (CP_ACP).
#include <windows.h>

#include "common/text.h"

namespace velmora {

std::string Utf8ToAnsi(std::string_view utf8) {
    // Code page 936 holds nothing beyond the basic plane; one '?' stands for such a
    // character instead of one for each half of its surrogate pair.
    std::u16string wide;
    for (const char32_t cp : Utf8ToUtf32(utf8)) wide += cp < 0x10000 ? static_cast<char16_t>(cp) : u'?';
    if (wide.empty()) return {};
    const auto* src = reinterpret_cast<const wchar_t*>(wide.data());
    const int n = WideCharToMultiByte(CP_ACP, 0, src, static_cast<int>(wide.size()), nullptr, 0,
                                      nullptr, nullptr);
    std::string out(static_cast<size_t>(n > 0 ? n : 0), '\0');
    if (n > 0)
        WideCharToMultiByte(CP_ACP, 0, src, static_cast<int>(wide.size()), out.data(), n, nullptr,
                            nullptr);
    return out;
}

std::string AnsiToUtf8(std::string_view ansi) {
    if (ansi.empty()) return {};
    const int n = MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()),
                                      nullptr, 0);
    std::u16string wide(static_cast<size_t>(n > 0 ? n : 0), u'\0');
    if (n > 0)
        MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()),
                            reinterpret_cast<wchar_t*>(wide.data()), n);
    return Utf16ToUtf8(wide);
}

}  // namespace velmora
