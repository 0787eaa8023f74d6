#include "tests/e2e/support/programs.h"

#include <fstream>
#include <iterator>
#include <thread>
#include <vector>

#include "toolkit/window.h"

namespace velmora::e2e {

using namespace std::chrono_literals;

namespace {

template <typename Predicate>
HWND Poll(std::chrono::milliseconds timeout, Predicate find) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    do {
        if (HWND found = find()) return found;
        std::this_thread::sleep_for(50ms);
    } while (std::chrono::steady_clock::now() < deadline);
    return nullptr;
}

struct WindowQuery {
    DWORD processId;
    const wchar_t* className;
    std::wstring caption;
    HWND found = nullptr;
    int count = 0;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM param) {
    auto& query = *reinterpret_cast<WindowQuery*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (query.processId && pid != query.processId) return TRUE;
    if (!IsWindowVisible(window) || toolkit::WindowText(window) != query.caption) return TRUE;
    wchar_t cls[64] = {};
    GetClassNameW(window, cls, 64);
    if (query.className && lstrcmpW(cls, query.className) != 0) return TRUE;
    query.found = window;
    ++query.count;
    return TRUE;
}

WindowQuery FindTopLevel(DWORD processId, const wchar_t* className, const std::wstring& caption) {
    WindowQuery query{processId, className, caption};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&query));
    return query;
}

}  // namespace

std::wstring BuiltProgramsFolder() {
    // The build tells us its Unix path; Wine shows the Unix root as drive Z:.
    std::wstring path = L"Z:" + toolkit::Widen(VELMORA_BUILT_PROGRAMS);
    for (wchar_t& c : path)
        if (c == L'/') c = L'\\';
    return path;
}

InstallFolder::InstallFolder() {
    static int counter = 0;
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    m_path = std::wstring(temp) + L"velmora_e2e_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
             std::to_wstring(++counter);
    CreateDirectoryW(m_path.c_str(), nullptr);
}

InstallFolder::~InstallFolder() {
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((m_path + L"\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            DeleteFileW(File(data.cFileName).c_str());
        } while (FindNextFileW(find, &data));
        FindClose(find);
    }
    RemoveDirectoryW(m_path.c_str());
}

bool InstallFolder::AddProgram(const std::wstring& name) const {
    return CopyFileW((BuiltProgramsFolder() + L"\\" + name).c_str(), File(name).c_str(), FALSE) != FALSE;
}

std::optional<std::string> InstallFolder::Read(const std::wstring& name) const {
    std::ifstream in(File(name).c_str(), std::ios::binary);
    if (!in) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), {});
}

bool InstallFolder::Write(const std::wstring& name, const std::string& bytes) const {
    std::ofstream out(File(name).c_str(), std::ios::binary | std::ios::trunc);
    out << bytes;
    return static_cast<bool>(out);
}

Process::Process(const std::wstring& program, const std::wstring& arguments) {
    std::wstring commandLine = L"\"" + program + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
    STARTUPINFOW startup{sizeof startup};
    const size_t slash = program.find_last_of(L'\\');
    const std::wstring folder = slash == std::wstring::npos ? L"." : program.substr(0, slash);
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.c_str(), &startup, &m_info))
        m_info = {};
}

Process::~Process() {
    if (!m_info.hProcess) return;
    if (WaitForSingleObject(m_info.hProcess, 0) == WAIT_TIMEOUT) {
        TerminateProcess(m_info.hProcess, 99);
        WaitForSingleObject(m_info.hProcess, 5000);
    }
    CloseHandle(m_info.hThread);
    CloseHandle(m_info.hProcess);
}

std::optional<DWORD> Process::WaitForExit(std::chrono::milliseconds timeout) const {
    if (WaitForSingleObject(m_info.hProcess, static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0)
        return std::nullopt;
    DWORD code = 0;
    GetExitCodeProcess(m_info.hProcess, &code);
    return code;
}

HWND WaitForWindow(DWORD processId, const std::wstring& caption, std::chrono::milliseconds timeout) {
    return Poll(timeout, [&] { return FindTopLevel(processId, nullptr, caption).found; });
}

int CountWindows(const std::wstring& caption) { return FindTopLevel(0, nullptr, caption).count; }

HWND WaitForMessageBox(DWORD processId, const std::wstring& caption, std::chrono::milliseconds timeout) {
    return Poll(timeout, [&] { return FindTopLevel(processId, L"#32770", caption).found; });
}

std::wstring MessageBoxText(HWND box) {
    // The message is the static control with text that is not the icon.
    std::wstring text;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t cls[32] = {};
        GetClassNameW(child, cls, 32);
        if (lstrcmpiW(cls, L"Static") == 0 && !(GetWindowLongPtrW(child, GWL_STYLE) & SS_ICON)) {
            text = toolkit::WindowText(child);
            if (!text.empty()) break;
        }
    }
    return text;
}

void PressDialogButton(HWND dialog, int buttonId) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, buttonId)));
}

void ClickButton(HWND button) { PostMessageW(button, BM_CLICK, 0, 0); }

}  // namespace velmora::e2e
