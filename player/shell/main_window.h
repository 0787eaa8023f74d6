// frmMain: the player's main window. The movie host with its frame strip and slider, the
// flat-button toolbar, the right panel with the list toolbar, the local list and the play
// panel, the menus of the command table, and the playback controller.
// Split by concern: main_window.cpp (life, routing, list host), main_window_playback.cpp,
// main_window_layout.cpp, main_window_controls.cpp (menus, toolbars, panel).
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "menulib/ostrelmnu.h"
#include "moviehost/movie_host.h"
#include "player/lists/ilist.h"
#include "player/lists/local_list_panel.h"
#include "player/shell/commands.h"
#include "player/shell/control_ids.h"
#include "player/shell/layout.h"
#include "player/shell/play_panel.h"
#include "player/shell/shell_rules.h"
#include "toolkit/app.h"
#include "toolkit/handles.h"
#include "toolkit/window.h"

namespace velmora::player {

// Splash texts shown while the main window loads.
using StatusSink = std::function<void(const std::wstring& text)>;

// A child window whose messages go to its owner's handler first.
class ChildPanel : public toolkit::Window {
public:
    using Handler = std::function<bool(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)>;
    bool Create(HWND parent, DWORD style, const RECT& bounds, Handler handler, int id = 0);

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    Handler m_handler;
};

class MainForm : public toolkit::Window, private lists::LocalListHost {
public:
    MainForm();
    ~MainForm() override;

    // Creates the window and runs the load steps; `status` receives the splash texts.
    bool Load(const std::wstring& commandLine, const StatusSink& status);
    void Show();
    HACCEL Accelerators() const { return m_accelerators; }

    // The public procedures other windows call.
    void PlayFlash() override;
    void PauseFlash();
    void PlayFlashPrev();
    void PlayFlashNext();
    void StatusList() override;
    void StatusTree();
    void ResizeSwfPlayer();

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // LocalListHost.
    HWND MainWindow() const override { return Handle(); }
    std::wstring ListName() const override;
    void SetListName(const std::wstring& caption) override;
    void PressListButton(lists::ShownList button) override;
    void EnableAddToFavourites(bool enabled) override;
    void ShowNetworkTree(bool visible) override;
    void RefreshNetworkView() override;
    void PopupListMenu(int x, int y) override;

    // main_window.cpp
    void CreateChildren();
    void Unload();
    void Execute(Action action, int arg);
    void KeyReleased(WPARAM key);
    void HookFlashMenu();
    void UnhookFlashMenu();
    static LRESULT CALLBACK FlashWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    // main_window_controls.cpp
    void BuildMenus();
    void SkinMenus();
    void BuildToolbar();
    void BuildRightPanel();
    void SetMenuEnabled(std::string_view name, int index, bool enabled);
    void SetMenuChecked(std::string_view name, int index, bool checked);
    bool MenuChecked(std::string_view name, int index) const;
    void SetToolButtonEnabled(size_t index, bool enabled);
    void SetGroupEnabled(Group group, bool enabled);
    void EnableFlashCommands() { SetFlashCommands(true); }
    void DisableFlashCommands() { SetFlashCommands(false); }
    void SetFlashCommands(bool enabled);
    void LoadConfig();
    void SaveConfig();
    void ApplyUIStyle(int style);
    void OnToolButton(size_t index);
    void ShowAbout();

    // main_window_playback.cpp
    void ReplayFlash();
    void PrevFrame();
    void NextFrame();
    void SeekPercent(bool forward);
    void CloseFlash();
    void ResetFlashOptions();
    void ShowWelcome();
    void FrameTick();
    void SliderClicked();
    void PlaybackError();
    void SetTitle(const std::string& title);
    std::string WelcomePath() const;

    // main_window_layout.cpp
    ClientArea Area() const;
    void PlaceBlock(const PlayerBlock& block);
    void WindowResized();
    void PanelResized();
    void ApplyWelcomeAlignment(bool always = false);
    void EnlargeSwfPlayer();
    void ShrinkSwfPlayer();
    void TogglePanel();
    void ToggleToolbar();
    void SplitterMouse(UINT message, int x);
    bool CloseMarkMouse(UINT message, WPARAM wParam, LRESULT& result);
    void PaintRightPanel(HDC dc) const;
    int PixelsToTwipsX(int pixels) const;
    int PixelsToTwipsY(int pixels) const;
    RECT TwipsToRect(const TwipsRect& r) const;

    std::wstring m_commandLine;
    Settings m_settings;

    // Main-window state.
    std::string m_titleText;
    bool m_fullScreen = false;
    bool m_commandsEnabled = false;
    bool m_splitting = false;
    int32_t m_splitWidth = 0;
    int32_t m_panelWidth = kPanelWidth;
    bool m_panelVisible = true;
    bool m_toolbarVisible = true;

    moviehost::MovieHost m_player;
    lists::IList m_list;
    std::unique_ptr<lists::LocalListPanel> m_lists;
    PlayPanel m_playPanel;
    toolkit::Timer m_frameTimer;  // tmrFrame
    ostrel::VsToolBar m_toolbar;   // tbrTools
    std::vector<ostrel::VsNetBut> m_toolButtons;
    std::vector<std::array<ostrel::Picture, 2>> m_toolPictures;  // disabled, normal
    std::vector<std::unique_ptr<ostrel::NetButtonListener>> m_listeners;
    HIMAGELIST m_itemPictures = nullptr;  // iltList
    std::array<ostrel::VsNetBut, 3> m_listButtons;
    HWND m_tooltips = nullptr;
    HWND m_line = nullptr;        // Line1
    HWND m_frameLabel = nullptr, m_percentLabel = nullptr, m_frameCaption = nullptr;
    HWND m_slider = nullptr;      // sldFrame
    ChildPanel m_rightPanel;      // picRight
    ChildPanel m_stripPanel;      // fraMovieInfo
    ChildPanel m_band;            // tbrMain
    HWND m_listName = nullptr;    // lblListName
    ChildPanel m_splitLine;       // picSplitLine
    ChildPanel m_closeMark;       // lblCloseRight
    int m_closeTop = 240;
    toolkit::MenuHandle m_menuBar;
    ostrel::VsNetMenu m_menuSkin;  // draws the menu bar and every popup in the chosen menu style
    HMENU m_popupMenu = nullptr;  // mnuPopup, owned by m_popups
    HMENU m_listMenu = nullptr;   // mnuList
    std::vector<toolkit::MenuHandle> m_popups;
    HACCEL m_accelerators = nullptr;
    toolkit::BrushHandle m_black, m_blue, m_workspace;
    toolkit::FontHandle m_font;
    HWND m_flashWnd = nullptr;
    WNDPROC m_oldFlashProc = nullptr;
};

}  // namespace velmora::player
