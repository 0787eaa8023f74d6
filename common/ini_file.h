// One INI file, reached through the system's private-profile functions in the ANSI code
// page. Nothing is cached: every call reads or writes the file. Windows only.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace velmora {

class IniFile {
public:
    std::string File;  // full path (UTF-8); set before each use

    // The value of one key, "" when the file, section or key is missing. The profile
    // function reads into a 255-byte buffer, so longer values come back cut to 254 bytes.
    std::string GetSetting(std::string_view section, std::string_view keyName) const;
    // One profile write; non-zero on success. Creates the file and section when missing.
    int16_t SaveSetting(std::string_view section, std::string_view key,
                        std::string_view value) const;
};

}  // namespace velmora
