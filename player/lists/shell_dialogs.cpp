#include "player/lists/shell_dialogs.h"

#include <shlobj.h>

namespace velmora::lists {

namespace {

// "a|b|c|d" to the NUL-separated, double-NUL-ended form the dialog wants.
std::wstring DialogFilter(const std::wstring& filter) {
    std::wstring result = filter;
    for (wchar_t& c : result) {
        if (c == L'|') c = L'\0';
    }
    result.append(2, L'\0');
    return result;
}

struct Dialog {
    Dialog(HWND owner, const FileDialogOptions& options)
        : filter(DialogFilter(options.filter)), buffer(options.bufferLength < 2 ? 2 : options.bufferLength, L'\0') {
        ofn.lStructSize = sizeof ofn;
        ofn.hwndOwner = owner;
        ofn.lpstrFilter = filter.c_str();
        ofn.lpstrFile = buffer.data();
        ofn.nMaxFile = static_cast<DWORD>(buffer.size());
        ofn.lpstrTitle = options.title.c_str();
        ofn.Flags = options.flags | OFN_EXPLORER;
    }
    std::wstring filter;
    std::wstring buffer;
    OPENFILENAMEW ofn{};
};

}  // namespace

std::optional<std::vector<std::wstring>> ShowOpenDialog(HWND owner, const FileDialogOptions& options) {
    Dialog dialog(owner, options);
    if (!GetOpenFileNameW(&dialog.ofn)) return std::nullopt;
    const std::wstring& buffer = dialog.buffer;
    std::vector<std::wstring> parts;
    for (size_t pos = 0; pos < buffer.size() && buffer[pos] != L'\0';) {
        const size_t end = buffer.find(L'\0', pos);
        parts.push_back(buffer.substr(pos, end - pos));
        if (end == std::wstring::npos) break;
        pos = end + 1;
    }
    if (parts.empty()) return std::nullopt;
    return parts;
}

std::optional<std::wstring> ShowSaveDialog(HWND owner, const FileDialogOptions& options) {
    Dialog dialog(owner, options);
    if (!GetSaveFileNameW(&dialog.ofn)) return std::nullopt;
    return std::wstring(dialog.buffer.c_str());
}

std::wstring BrowseForFolder(HWND owner, const std::wstring& prompt) {
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    BROWSEINFOW info{};
    info.hwndOwner = owner;
    info.lpszTitle = prompt.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    std::wstring folder;
    if (PIDLIST_ABSOLUTE chosen = SHBrowseForFolderW(&info)) {
        wchar_t path[MAX_PATH + 1] = {};
        if (SHGetPathFromIDListW(chosen, path)) folder = path;
        CoTaskMemFree(chosen);
    }
    if (SUCCEEDED(com)) CoUninitialize();
    return folder;
}

}  // namespace velmora::lists
