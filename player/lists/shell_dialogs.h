// The common file dialogs and the shell's folder picker, as the player's windows use them.
#pragma once

#include <windows.h>

#include <commdlg.h>

#include <optional>
#include <string>
#include <vector>

namespace velmora::lists {

struct FileDialogOptions {
    std::wstring title;
    // "description|pattern", more pairs separated by "|" as well.
    std::wstring filter;
    // OFN_* flags; OFN_EXPLORER is always added.
    DWORD flags = 0;
    // Characters of the file-name buffer, the terminating NULs included.
    size_t bufferLength = MAX_PATH;
};

// The chosen file name split at its NULs: one full path, or with multiple selection the
// folder followed by the names chosen in it. Nullopt when the user cancelled or the
// dialog failed (a selection too long for the buffer).
std::optional<std::vector<std::wstring>> ShowOpenDialog(HWND owner, const FileDialogOptions& options);
// The name as typed, without an added extension; nullopt when cancelled.
std::optional<std::wstring> ShowSaveDialog(HWND owner, const FileDialogOptions& options);

// The shell's folder dialog rooted at the desktop, file-system folders only; "" when
// cancelled or when the choice has no file-system path.
std::wstring BrowseForFolder(HWND owner, const std::wstring& prompt);

}  // namespace velmora::lists
