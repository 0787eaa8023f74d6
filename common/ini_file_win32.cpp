#include <windows.h>

#include "common/ini_file.h"
#include "common/text.h"

namespace velmora {

namespace {
constexpr DWORD kBufferSize = 255;
}

std::string IniFile::GetSetting(std::string_view section, std::string_view keyName) const {
    char buffer[kBufferSize] = {};
    const DWORD copied = GetPrivateProfileStringA(
        Utf8ToAnsi(section).c_str(), Utf8ToAnsi(keyName).c_str(), "", buffer, kBufferSize,
        Utf8ToAnsi(File).c_str());
    return copied == 0 ? std::string() : AnsiToUtf8(std::string_view(buffer, copied));
}

int16_t IniFile::SaveSetting(std::string_view section, std::string_view key,
                             std::string_view value) const {
    return static_cast<int16_t>(WritePrivateProfileStringA(
        Utf8ToAnsi(section).c_str(), Utf8ToAnsi(key).c_str(), Utf8ToAnsi(value).c_str(),
        Utf8ToAnsi(File).c_str()));
}

}  // namespace velmora
