// Answers a modal dialog of the test's own process from a helper thread: it waits for a
// shown dialog window that matches, records the texts of its controls and runs the
// answer (type a file name, press a button, pick a folder).
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace velmora::lists::testing {

class DialogAnswerer {
public:
    using Match = std::function<bool(HWND dialog)>;
    using Answer = std::function<void(HWND dialog)>;

    DialogAnswerer(Match match, Answer answer);
    ~DialogAnswerer();
    DialogAnswerer(const DialogAnswerer&) = delete;
    DialogAnswerer& operator=(const DialogAnswerer&) = delete;

    // Joins the thread; true when a dialog was answered.
    bool Finish();
    // Stops waiting at once; true when a dialog had been answered before.
    bool Stop();
    // The window texts of the dialog's controls, valid after Finish.
    const std::vector<std::wstring>& Texts() const { return m_texts; }
    bool HadIcon(LPCWSTR systemIcon) const;

private:
    std::vector<std::wstring> m_texts;
    std::vector<HICON> m_icons;
    std::atomic<bool> m_answered{false};
    std::atomic<bool> m_quit{false};
    std::thread m_thread;
};

// Matches.
DialogAnswerer::Match WithCaption(std::wstring caption);
DialogAnswerer::Match WithControlText(std::wstring text);

// Answers.
DialogAnswerer::Answer PressButton(int id);
// Types the name into a file dialog and presses its OK button.
DialogAnswerer::Answer TypeFileName(std::wstring name);
// Opens the folder in a file dialog first, then types the names there.
DialogAnswerer::Answer TypeFileNamesIn(std::wstring folder, std::wstring names);
// Selects the folder in the shell's folder dialog and presses OK.
DialogAnswerer::Answer PickFolder(std::wstring folder);

}  // namespace velmora::lists::testing
