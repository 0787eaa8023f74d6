// The projector: plays the movie appended to its own file.
#include <windows.h>

#include <fstream>
#include <iterator>
#include <vector>

#include "projector/projector_window.h"
#include "projector/trailer.h"
#include "toolkit/app.h"

namespace velmora::projector {
namespace {

std::wstring OwnPath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

// The window's title: the program's file name without ".exe".
std::wstring TitleOf(const std::wstring& path) {
    std::wstring name = path.substr(path.find_last_of(L"\\/") + 1);
    const size_t dot = name.find_last_of(L'.');
    return dot == std::wstring::npos ? name : name.substr(0, dot);
}

int Run() {
    const std::wstring path = OwnPath();
    toolkit::SetApplicationTitle(TitleOf(path));
    std::ifstream in(path.c_str(), std::ios::binary);
    const std::vector<uint8_t> file{std::istreambuf_iterator<char>(in), {}};
    const auto movie = FindAppendedMovie(file);
    if (!movie) {
        toolkit::ShowMessage(nullptr, L"此程序中没有附加的 Flash 影片，无法播放。", toolkit::MessageIcon::Exclamation);
        return 1;
    }
    ProjectorWindow window;
    if (!window.Open(*movie, TitleOf(path))) return 1;
    return toolkit::RunMessageLoop(window.Handle(), window.Accelerators());
}

}  // namespace
}  // namespace velmora::projector

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) { return velmora::projector::Run(); }
