// Text conversions. Portable code keeps text in UTF-8; the Win32 code in UTF-16; files and
// the registry hold the system's ANSI code page (936 on our users' systems).
#pragma once

#include <string>
#include <string_view>

namespace velmora {

std::u32string Utf8ToUtf32(std::string_view utf8);
void AppendUtf8(std::string& out, char32_t codePoint);
std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view utf16);

// The ANSI code page of the system: on Windows the active one (CP_ACP), elsewhere 936.
// Characters the code page cannot hold become '?'; invalid input bytes become U+FFFD.
std::string Utf8ToAnsi(std::string_view utf8);
std::string AnsiToUtf8(std::string_view ansi);

}  // namespace velmora
