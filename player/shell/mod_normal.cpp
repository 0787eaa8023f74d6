#include "player/shell/mod_normal.h"

#include "common/ini_file.h"
#include "common/paths.h"
#include "toolkit/window.h"

namespace velmora::player {

namespace {
IniFile ConfigFile() {
    IniFile ini;
    ini.File = ConfigFilePath(ProgramFolder());
    return ini;
}
}  // namespace

std::string ReadConfigValue(std::string_view section, std::string_view key) {
    return ConfigFile().GetSetting(section, key);
}

void WriteConfigValue(std::string_view section, std::string_view key, std::string_view value) {
    ConfigFile().SaveSetting(section, key, value);
}

void SetTopMost(HWND form) { SetWindowPos(form, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE); }

void SetNoTopMost(HWND form) { SetWindowPos(form, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE); }

bool StartProgram(const std::string& path) {
    std::wstring program = toolkit::Widen(path);
    std::wstring commandLine = L"\"" + program + L"\"";
    STARTUPINFOW startup{sizeof startup};
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    const size_t slash = program.find_last_of(L'\\');
    const std::wstring folder = slash == std::wstring::npos ? std::wstring() : program.substr(0, slash + 1);
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

void RunUpdater() { StartProgram(ProgramFolderFile(ProgramFolder(), "update.exe")); }

}  // namespace velmora::player
