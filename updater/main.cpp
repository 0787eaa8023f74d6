// update.exe: asks the maker's server for a newer program and a newer network list.
#include <windows.h>
#include <commctrl.h>

#include <chrono>
#include <fstream>
#include <random>

#include "common/ini_file.h"
#include "common/paths.h"
#include "common/text.h"
#include "common/vb_number.h"
#include "toolkit/app.h"
#include "toolkit/transfer.h"
#include "toolkit/window.h"
#include "updater/update_window.h"

namespace velmora::updater {
namespace {

// Where the server's files are; [UPDATE] Server in config.ini replaces it (tests point it
// at a local server), [UPDATE] Timeout gives the per-request time-out in seconds.
constexpr char kDefaultServer[] = "http://www.velmoraplayer.com";
constexpr int kDefaultTimeoutSeconds = 60;
constexpr size_t kVersionFileLimit = 64 * 1024;
constexpr size_t kListFileLimit = 8 * 1024 * 1024;

// The list goes to a temporary file first, so a write that fails half-way leaves the
// old network.nlst in place.
bool WriteListFile(const std::string& path, std::string_view text) {
    const std::wstring target = toolkit::Widen(path);
    const std::wstring temporary = target + L".tmp";
    {
        std::ofstream out(temporary.c_str(), std::ios::binary | std::ios::trunc);
        out << Utf8ToAnsi(text) << "\r\n";
        out.close();
        if (!out) {
            DeleteFileW(temporary.c_str());
            return false;
        }
    }
    if (MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
    DeleteFileW(temporary.c_str());
    return false;
}

int Run() {
    InitCommonControls();
    toolkit::SingleInstance instance(L"VelmoraPlayer.update");
    if (instance.AnotherIsRunning()) return 0;
    toolkit::SetApplicationTitle(kUpdaterTitle);

    const std::string folder = ProgramFolder();
    IniFile config;
    config.File = ConfigFilePath(folder);
    std::string server = config.GetSetting("UPDATE", "Server");
    if (server.empty()) server = kDefaultServer;
    while (!server.empty() && server.back() == '/') server.pop_back();
    const double seconds = LeadingNumber(config.GetSetting("UPDATE", "Timeout"));
    const auto timeout = std::chrono::milliseconds(
        static_cast<long long>(1000 * (seconds > 0 ? seconds : kDefaultTimeoutSeconds)));

    std::mt19937 generator(static_cast<unsigned>(std::chrono::system_clock::now().time_since_epoch().count()));
    UpdateCheck check({
        [&](std::string_view file) {
            const size_t limit = file == "nlst.txt" ? kListFileLimit : kVersionFileLimit;
            return toolkit::OpenUrl(server + "/update/vmx/" + std::string(file), {timeout, limit});
        },
        [&](std::string_view key) { return config.GetSetting("VERSION", key); },
        [&](std::string_view key, std::string_view value) { config.SaveSetting("VERSION", key, value); },
        [&](std::string_view text) { return WriteListFile(ProgramFolderFile(folder, "network.nlst"), text); },
        [&] { return std::uniform_real_distribution<double>(0.0, 1.0)(generator); },
    });

    const bool softUpdate = check.DetectSoftUpdate();
    const bool listUpdate = check.DetectNlstVer();
    if (!softUpdate && !listUpdate) return 0;

    UpdateWindow window(check, softUpdate, listUpdate);
    if (!window.Open()) return 1;
    return toolkit::RunMessageLoop();
}

}  // namespace
}  // namespace velmora::updater

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) { return velmora::updater::Run(); }
