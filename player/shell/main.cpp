// VelmoraPlayer: the splash window starts the player, the main window runs it.
#include <windows.h>

#include <commctrl.h>

#include "player/shell/main_window.h"
#include "player/shell/splash.h"
#include "toolkit/app.h"

namespace velmora::player {
namespace {

// The text after the program name, as the run time hands it over.
std::wstring CommandLineArguments() {
    std::wstring_view line = GetCommandLineW();
    size_t i = 0;
    if (!line.empty() && line[0] == L'"') {
        i = line.find(L'"', 1);
        i = i == std::wstring_view::npos ? line.size() : i + 1;
    } else {
        while (i < line.size() && line[i] != L' ' && line[i] != L'\t') ++i;
    }
    while (i < line.size() && (line[i] == L' ' || line[i] == L'\t')) ++i;
    return std::wstring(line.substr(i));
}

int Run() {
    toolkit::SetApplicationTitle(toolkit::Widen(kApplicationTitle));
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    const std::wstring commandLine = CommandLineArguments();

    Splash splash;
    splash.Create();
    splash.FadeIn();
    // "/s" and "/n" open the search windows once they exist; until then the main window.
    MainForm main;
    if (!main.Load(commandLine, [&](const std::wstring& text) { splash.SetStatus(text); })) return 1;
    main.Show();
    splash.FadeOut();
    splash.Destroy();
    return toolkit::RunMessageLoop(main.Handle(), main.Accelerators());
}

}  // namespace
}  // namespace velmora::player

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) { return velmora::player::Run(); }
