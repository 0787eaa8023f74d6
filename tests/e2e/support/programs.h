// Driving the shipped programs from a test: an install folder of their own, started as
// real processes, their windows found and read back across the process boundary.
#pragma once

#include <windows.h>

#include <chrono>
#include <optional>
#include <string>

namespace velmora::e2e {

// A fresh folder under %TEMP% holding copies of the shipped programs; removed at the end.
class InstallFolder {
public:
    InstallFolder();
    ~InstallFolder();
    InstallFolder(const InstallFolder&) = delete;
    InstallFolder& operator=(const InstallFolder&) = delete;

    const std::wstring& Path() const { return m_path; }
    std::wstring File(const std::wstring& name) const { return m_path + L"\\" + name; }
    // Copies a program from the build's install folder.
    bool AddProgram(const std::wstring& name) const;
    // Raw bytes of a file in the folder; nothing when missing.
    std::optional<std::string> Read(const std::wstring& name) const;
    bool Write(const std::wstring& name, const std::string& bytes) const;

private:
    std::wstring m_path;
};

// The build's install folder (where the programs are built), as a Windows path.
std::wstring BuiltProgramsFolder();

class Process {
public:
    Process(const std::wstring& program, const std::wstring& arguments = {});
    ~Process();  // ends the process if it still runs
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    bool Started() const { return m_info.hProcess != nullptr; }
    DWORD Id() const { return m_info.dwProcessId; }
    // The exit code, or nothing when the process is still running after `timeout`.
    std::optional<DWORD> WaitForExit(std::chrono::milliseconds timeout) const;

private:
    PROCESS_INFORMATION m_info{};
};

// A visible top-level window of the process with this caption; polls until `timeout`.
HWND WaitForWindow(DWORD processId, const std::wstring& caption, std::chrono::milliseconds timeout);
// The number of top-level windows of any process with this caption.
int CountWindows(const std::wstring& caption);
// A message box of the process (dialog class #32770) with this caption.
HWND WaitForMessageBox(DWORD processId, const std::wstring& caption, std::chrono::milliseconds timeout);
// The text of a message box.
std::wstring MessageBoxText(HWND box);
// Presses a button of a dialog by its id (IDOK, IDYES, IDNO).
void PressDialogButton(HWND dialog, int buttonId);
// Clicks a button of another process's window and returns at once.
void ClickButton(HWND button);

}  // namespace velmora::e2e
