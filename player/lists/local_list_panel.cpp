#include "player/lists/local_list_panel.h"

#include <algorithm>

#include "common/flst.h"
#include "player/lists/list_files.h"
#include "player/lists/shell_dialogs.h"
#include "toolkit/app.h"
#include "toolkit/window.h"

namespace velmora::lists {

namespace {

using toolkit::Narrow;
using toolkit::Widen;

constexpr int kItemIcon = 1;
constexpr size_t kOpenBufferLength = 3000;
constexpr wchar_t kMovieFilter[] = L"Flash影片文件(*.swf)|*.swf";
constexpr wchar_t kListFilter[] = L"本地影片列表文件(*.flst)|*.flst";

// Lower case as the system has it, beyond A-Z.
std::wstring SystemLowerCase(std::wstring text) {
    if (!text.empty()) CharLowerBuffW(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

std::wstring WithBackslash(std::wstring folder) {
    if (folder.empty() || folder.back() != L'\\') folder += L'\\';
    return folder;
}

bool SamePath(const std::wstring& a, const std::wstring& b) { return lstrcmpiW(a.c_str(), b.c_str()) == 0; }

bool IsOrdinary(const WIN32_FIND_DATAW& entry) {
    return (entry.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) == 0;
}

// Walks a folder's entries; `visit` returns false to stop. False when the folder could
// not be listed, with the error's description.
template <typename Visit>
bool ForEachEntry(const std::wstring& folder, std::wstring& error, Visit visit) {
    WIN32_FIND_DATAW entry{};
    HANDLE find = FindFirstFileW((folder + L"*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) {
        const DWORD code = GetLastError();
        if (code == ERROR_FILE_NOT_FOUND || code == ERROR_NO_MORE_FILES) return true;
        error = ErrorDescription(code);
        return false;
    }
    do {
        if (!visit(entry)) break;
    } while (FindNextFileW(find, &entry));
    FindClose(find);
    return true;
}

class WaitCursor {
public:
    explicit WaitCursor(bool& busy) : m_busy(busy), m_previous(SetCursor(LoadCursorW(nullptr, IDC_WAIT))) {
        m_busy = true;
    }
    ~WaitCursor() {
        m_busy = false;
        SetCursor(m_previous ? m_previous : LoadCursorW(nullptr, IDC_ARROW));
    }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    bool& m_busy;
    HCURSOR m_previous;
};

}  // namespace

LocalListPanel::LocalListPanel(IList& list, LocalListHost& host, std::wstring listFolder)
    : m_list(list), m_host(host), m_listFolder(std::move(listFolder)) {
    // A drive's root already ends in its backslash.
    if (m_listFolder.size() > 3) m_listFolder += L'\\';
    IListEvents& events = m_list.Events();
    events.DblClick = [this] { m_host.PlayFlash(); };
    events.MouseUp = [this](int button, int, float x, float y) {
        if (button == 2) m_host.PopupListMenu(static_cast<int>(x), static_cast<int>(y));
    };
    events.OLEDragDrop = [this](const DropData& data, int32_t&, int, int, float, float) { DropFiles(data.files); };
}

std::wstring LocalListPanel::DefaultListFile() const { return m_listFolder + L"default.flst"; }
std::wstring LocalListPanel::FavoriteListFile() const { return m_listFolder + L"favorite.flst"; }

void LocalListPanel::StartUp(std::string_view listSetting, std::wstring_view commandLine) {
    std::string shown(flst::TrimSpaces(listSetting));
    if (flst::IsMovieCommandLine(Narrow(commandLine))) {
        shown = "default";
        AppendCommandLineMovies(DefaultListFile(), commandLine);
    }
    const auto show = [this](ShownList button, const wchar_t* name) {
        m_pressed = button;
        m_host.PressListButton(button);
        m_host.SetListName(name);
    };
    if (shown == "default" || shown.empty()) {
        show(ShownList::Default, kDefaultListName);
        LoadLocalList(DefaultListFile());
    } else if (shown == "favorite") {
        show(ShownList::Favorite, kFavoriteListName);
        LoadLocalList(FavoriteListFile());
    } else {
        show(ShownList::Network, kNetworkListName);
    }
}

std::string LocalListPanel::ListSetting() const {
    switch (m_pressed) {
        case ShownList::Default: return "default";
        case ShownList::Favorite: return "favorite";
        case ShownList::Network: break;
    }
    return "network";
}

void LocalListPanel::LoadLocalList(const std::wstring& path) {
    const FileRead read = ReadWholeFile(path);
    if (read.status == FileRead::Status::Missing) return;
    std::erase_if(m_unreadFiles, [&](const std::wstring& unread) { return SamePath(unread, path); });
    if (read.status == FileRead::Status::Failed) m_unreadFiles.push_back(path);
    for (const std::string& caption : flst::DecodeList(read.bytes)) m_list.AddItem(Widen(caption), L"", kItemIcon);
    Refresh();
    if (read.status == FileRead::Status::Failed) ShowError(read.error);
}

void LocalListPanel::SaveLocalList() {
    const std::wstring shown = m_host.ListName();
    std::wstring target;
    if (shown == kDefaultListName)
        target = DefaultListFile();
    else if (shown == kFavoriteListName)
        target = FavoriteListFile();
    else
        return;
    if (ReadFailed(target)) return;
    ReplaceFileContents(target, EncodedItems());
}

void LocalListPanel::ExportLocalList() {
    const auto file = ShowSaveDialog(m_host.MainWindow(), {L"导出播放列表", kListFilter, OFN_OVERWRITEPROMPT});
    if (!file) return;
    ReplaceFileContents(*file, EncodedItems());
}

void LocalListPanel::ImportLocalList() {
    const auto chosen = ShowOpenDialog(m_host.MainWindow(),
                                       {L"导入播放列表", kListFilter, OFN_FILEMUSTEXIST | OFN_HIDEREADONLY});
    if (!chosen) return;
    LoadLocalList(chosen->front());
    Refresh();
}

void LocalListPanel::AddToFavourites() {
    if (m_list.Count() == 0) return;
    if (m_list.Selected() == 0) m_list.SetSelected(1);
    if (const CItem* item = m_list.Item(m_list.Selected()))
        AppendToFile(FavoriteListFile(), flst::EncodeLine(Narrow(item->Caption)));
}

void LocalListPanel::AppendCommandLineMovies(const std::wstring& listFile, std::wstring_view commandLine) {
    std::string lines;
    for (const std::string& line : flst::CommandLineMovieLines(Narrow(SystemLowerCase(std::wstring(commandLine)))))
        lines += flst::EncodeLine(line);
    // Opened for appending even when nothing is added, as the list file then exists.
    AppendToFile(listFile, lines);
}

void LocalListPanel::ListButtonClick(ShownList button) {
    SaveLocalList();
    m_pressed = button;
    m_host.PressListButton(button);
    switch (button) {
        case ShownList::Default:
            m_host.SetListName(kDefaultListName);
            m_list.Clear();
            LoadLocalList(DefaultListFile());
            Refresh();
            break;
        case ShownList::Favorite:
            m_host.EnableAddToFavourites(false);
            m_host.SetListName(kFavoriteListName);
            m_list.Clear();
            LoadLocalList(FavoriteListFile());
            Refresh();
            break;
        case ShownList::Network:
            m_host.SetListName(kNetworkListName);
            break;
    }
    ShowListView();
}

void LocalListPanel::ShowListView() {
    const std::wstring shown = m_host.ListName();
    if (shown == kDefaultListName || shown == kFavoriteListName) {
        ShowWindow(m_list.hwnd(), SW_SHOW);
        m_host.ShowNetworkTree(false);
        m_host.EnableAddToFavourites(shown == kDefaultListName && m_list.Item(m_list.Selected()) != nullptr);
    } else if (shown == kNetworkListName) {
        ShowWindow(m_list.hwnd(), SW_HIDE);
        m_host.ShowNetworkTree(true);
        m_host.RefreshNetworkView();
    }
}

void LocalListPanel::OpenMovieFiles(bool play) {
    const auto chosen = ShowOpenDialog(
        m_host.MainWindow(), {play ? L"打开影片" : L"添加影片", kMovieFilter,
                              OFN_ALLOWMULTISELECT | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY, kOpenBufferLength});
    if (!chosen) return;
    // Movies never go to the hidden list behind the network tree.
    if (m_host.ListName() == kNetworkListName) ListButtonClick(ShownList::Default);
    int32_t added = 0;
    const auto add = [&](const std::wstring& name, const std::wstring& path) {
        // A name too short for an extension fails alone, as the other files still go in.
        if (const auto title = flst::DialogTitle(Narrow(name))) {
            AddMovie(*title, Narrow(path));
            ++added;
        }
    };
    if (chosen->size() == 1) {
        const std::wstring& path = chosen->front();
        add(Widen(flst::FileNameOf(Narrow(path))), path);
    } else {
        for (size_t i = 1; i < chosen->size(); ++i) add((*chosen)[i], chosen->front() + L"\\" + (*chosen)[i]);
    }
    if (play && added > 0) {
        m_list.SetSelected(m_list.Count() - added + 1);
        m_host.PlayFlash();
    }
    Refresh();
}

void LocalListPanel::AddWholeFolder() {
    const std::wstring folder = BrowseForFolder(m_host.MainWindow(), L"请选择要添加的文件夹：");
    if (folder.empty()) return;
    WaitCursor wait(m_busy);
    const int answer = MessageBoxW(m_host.MainWindow(), L"是否同时搜索其子文件夹？  ", toolkit::ApplicationTitle().c_str(),
                                   MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2);
    if (answer == IDYES)
        AddFolderTree(folder);
    else
        AddFolderFiles(folder);
}

void LocalListPanel::AddFolderFiles(const std::wstring& folder) {
    if (ScanFolderMovies(WithBackslash(folder), false)) Refresh();
}

void LocalListPanel::AddFolderTree(const std::wstring& folder) {
    if (m_scanDepth == 0) m_stopScan = false;
    ++m_scanDepth;
    const std::wstring path = WithBackslash(folder);
    if (!m_stopScan && ScanFolderMovies(path, true)) {
        std::wstring error;
        std::vector<std::wstring> subFolders;
        // The whole listing comes first: the sub-folders' scans list folders of their own.
        const bool listed = ForEachEntry(path, error, [&](const WIN32_FIND_DATAW& entry) {
            const std::wstring name = entry.cFileName;
            // Links back up the tree would never end; the folders they name are reached directly.
            if (name != L"." && name != L".." && IsOrdinary(entry) &&
                (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                !(entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
                subFolders.push_back(path + name);
            return PumpBetweenEntries();
        });
        if (!listed) {
            ShowError(error);
        } else {
            for (const std::wstring& subFolder : subFolders) {
                if (m_stopScan) break;
                AddFolderTree(subFolder + L"\\");
            }
            Refresh();
        }
    }
    --m_scanDepth;
}

void LocalListPanel::DropFiles(const std::vector<std::wstring>& files) {
    for (const std::wstring& file : files) {
        const std::string path = Narrow(SystemLowerCase(file));
        if (flst::EndsWith(path, ".swf")) {
            if (const auto title = flst::PathTitle(path)) AddMovie(*title, path);
        } else if (flst::EndsWith(path, ".flst")) {
            LoadLocalList(file);
        }
    }
    Refresh();
}

void LocalListPanel::RemoveCommand(int index) {
    if (m_list.Count() == 0) return;
    if (index == 0) {
        if (m_list.Selected() > 0) {
            m_list.Remove(m_list.Selected());
            if (m_list.Selected() > m_list.Count()) m_list.SetSelected(m_list.Count());
        }
    } else if (index == 1) {
        m_list.Clear();
    }
    Refresh();
}

void LocalListPanel::AddMovie(const std::string& title, const std::string& path) {
    m_list.AddItem(Widen(flst::MakeCaption(title, path)), L"", kItemIcon);
}

bool LocalListPanel::ScanFolderMovies(const std::wstring& folder, bool pumpMessages) {
    std::wstring error;
    const bool listed = ForEachEntry(folder, error, [&](const WIN32_FIND_DATAW& entry) {
        const std::wstring name = entry.cFileName;
        if (IsOrdinary(entry) && !(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
            flst::EndsWith(Narrow(SystemLowerCase(name)), ".swf"))
            AddMovie(flst::FolderScanTitle(Narrow(SystemLowerCase(name))), Narrow(folder + name));
        return !pumpMessages || PumpBetweenEntries();
    });
    if (!listed) ShowError(error);
    return listed;
}

bool LocalListPanel::PumpBetweenEntries() {
    if (!toolkit::PumpPendingMessages() || !IsWindow(m_list.hwnd())) m_stopScan = true;
    // A window under the pointer may have shown its own cursor meanwhile.
    if (m_busy) SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    return !m_stopScan;
}

std::string LocalListPanel::EncodedItems() const {
    std::string bytes;
    for (int32_t i = 1; i <= m_list.Count(); ++i) bytes += flst::EncodeLine(Narrow(m_list.Item(i)->Caption));
    return bytes;
}

void LocalListPanel::ShowError(const std::wstring& text) const {
    toolkit::ShowMessage(m_host.MainWindow(), text, toolkit::MessageIcon::Exclamation);
}

void LocalListPanel::Refresh() {
    m_list.Redraw();
    m_host.StatusList();
}

bool LocalListPanel::ReadFailed(const std::wstring& path) const {
    return std::any_of(m_unreadFiles.begin(), m_unreadFiles.end(),
                       [&](const std::wstring& unread) { return SamePath(unread, path); });
}

}  // namespace velmora::lists
