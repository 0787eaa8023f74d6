// The local play lists in the main window's right panel: the default list and the
// favourites, kept in default.flst and favorite.flst beside the program, shown one at a
// time in the list control. The panel moves lists between the control and their files,
// switches lists, and runs the list's editing commands (open/add dialog, folder scans,
// drops, remove, clear, import, export, add to favourites).
//
// What belongs to the main window (the label naming the shown list, the list toolbar's
// pressed button, the network tree, menu states, playing) is reached through
// LocalListHost. The list control's Tag (the path of the movie playing) is the
// playback controller's; the panel never touches it.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

#include "player/lists/ilist.h"

namespace velmora::lists {

// The three lists of the list toolbar, by button key; the values are the buttons' indices.
enum class ShownList { Default = 0, Favorite = 1, Network = 2 };

// Captions of the label above the list; the label's text says which list is shown.
inline constexpr const wchar_t* kDefaultListName = L"播放列表";
inline constexpr const wchar_t* kFavoriteListName = L"收藏影片";
inline constexpr const wchar_t* kNetworkListName = L"网络影片";

// The main window's side of the panel. Every call happens on the UI thread, from inside
// a panel operation.
class LocalListHost {
public:
    virtual ~LocalListHost() = default;

    // Owner of the dialogs and message boxes.
    virtual HWND MainWindow() const = 0;
    // lblListName: read back as the one record of which list is shown.
    virtual std::wstring ListName() const = 0;
    virtual void SetListName(const std::wstring& caption) = 0;
    // tbrList: release the three buttons, press this one and refresh the toolbar.
    virtual void PressListButton(ShownList button) = 0;
    // Enables the list commands and play buttons by whether the list has items.
    virtual void StatusList() = 0;
    // mnuListAddToFav.
    virtual void EnableAddToFavourites(bool enabled) = 0;
    // treDir shown or hidden; the panel shows and hides the list control itself.
    virtual void ShowNetworkTree(bool visible) = 0;
    // The network view's command and button state, after the tree became visible.
    virtual void RefreshNetworkView() = 0;
    // Plays the selected item of the list.
    virtual void PlayFlash() = 0;
    // Pops up mnuList at that point of the list control (client pixels).
    virtual void PopupListMenu(int x, int y) = 0;
};

class LocalListPanel {
public:
    // listFolder: the program folder as ProgramFolder gives it; the list files are
    // addressed from it as the player does (one backslash, also at a drive root).
    // The panel takes over the list's DblClick, MouseUp and OLEDragDrop events.
    LocalListPanel(IList& list, LocalListHost& host, std::wstring listFolder);
    LocalListPanel(const LocalListPanel&) = delete;
    LocalListPanel& operator=(const LocalListPanel&) = delete;

    // The list folder with its trailing backslash, and the two list files in it.
    const std::wstring& ListFolder() const { return m_listFolder; }
    std::wstring DefaultListFile() const;
    std::wstring FavoriteListFile() const;

    // Start-up: LIST from config.ini (untrimmed) and the command line (the text after the
    // program name). A non-empty command line without "/" is a list of movies: they are
    // appended to default.flst and the default list is shown. Presses the button, sets
    // the label and loads the list; ShowListView is left to a later start-up step.
    void StartUp(std::string_view listSetting, std::wstring_view commandLine);
    // The LIST value to save at exit, by the pressed list button.
    std::string ListSetting() const;
    ShownList PressedButton() const { return m_pressed; }

    // Appends the list file's items to the control (nothing is cleared); a missing file
    // adds nothing and redraws nothing. A read error keeps the items read so far and
    // says so in a message box.
    void LoadLocalList(const std::wstring& path);
    // Writes the shown local list to its file; nothing while the network tree is shown.
    // A file that cannot be written is left as it was, and so is a list file whose last
    // reading failed (what was not read would be lost).
    void SaveLocalList();
    // Save dialog, then the whole list into the chosen file (the name exactly as typed).
    void ExportLocalList();
    // Open dialog, then the chosen file's items appended to the shown list.
    void ImportLocalList();
    // Appends the selected item (item 1 when none is selected) to favorite.flst.
    void AddToFavourites();
    // The movies of a command line appended to a list file, as lines.
    void AppendCommandLineMovies(const std::wstring& listFile, std::wstring_view commandLine);

    // tbrList_ButtonClick: saves the list being left, presses the button, loads the new
    // list (or shows the tree), then ShowListView. The shown list's button reloads it.
    void ListButtonClick(ShownList button);
    // Shows the list control or the network tree by the label, and sets the favourites
    // command.
    void ShowListView();

    // Open/add dialog with multiple selection; the chosen movies are appended to the
    // shown local list (switching to the default list from the network tree), and with
    // play set the first of them is played.
    void OpenMovieFiles(bool play);
    // mnuListAdd 1: folder picker, then a scan with or without the sub-folders.
    void AddWholeFolder();
    // The movies of one folder, without sub-folders.
    void AddFolderFiles(const std::wstring& folder);
    // The movies of a folder and, depth first, of all its sub-folders. Pending window
    // messages run between entries; StopScan, a quit request or the list window's end
    // stop the scan at the next entry. The panel must outlive a running scan: destroy it
    // after the message loop, not from a message handler that may run inside the scan.
    void AddFolderTree(const std::wstring& folder);
    void StopScan() { m_stopScan = true; }
    bool Scanning() const { return m_scanDepth > 0; }

    // Dropped files: .swf files become items, .flst files are loaded, others ignored.
    void DropFiles(const std::vector<std::wstring>& files);
    // mnuListRemove: 0 removes the selected item, 1 empties the list.
    void RemoveCommand(int index);

private:
    void AddMovie(const std::string& title, const std::string& path);
    // False when the folder could not be listed (the error was shown).
    bool ScanFolderMovies(const std::wstring& folder, bool pumpMessages);
    bool PumpBetweenEntries();
    std::string EncodedItems() const;
    void ShowError(const std::wstring& text) const;
    void Refresh();
    bool ReadFailed(const std::wstring& path) const;

    IList& m_list;
    LocalListHost& m_host;
    std::wstring m_listFolder;
    ShownList m_pressed = ShownList::Default;
    // List files whose last reading failed: saving over them would lose what was not read.
    std::vector<std::wstring> m_unreadFiles;
    bool m_stopScan = false;
    int m_scanDepth = 0;
    // The hourglass of the add-whole-folder command, set again after messages ran.
    bool m_busy = false;
};

}  // namespace velmora::lists
