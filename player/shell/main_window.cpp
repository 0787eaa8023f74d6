#include "player/shell/main_window.h"

#include <commctrl.h>
#include <shellapi.h>

#include "common/paths.h"
#include "player/shell/mod_normal.h"
#include "toolkit/form.h"

namespace velmora::player {

namespace {
constexpr wchar_t kFormProperty[] = L"VelmoraMainForm";


// The window's key handler sees the keys of all its controls, acted on at release.
HHOOK g_keyHook = nullptr;
MainForm* g_keyTarget = nullptr;
}  // namespace

bool ChildPanel::Create(HWND parent, DWORD style, const RECT& b, Handler handler, int id) {
    m_handler = std::move(handler);
    return CreateWindowOf(L"VelmoraPanel", 0, WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | style, L"", b.left, b.top,
                          b.right - b.left, b.bottom - b.top, parent,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)));
}

LRESULT ChildPanel::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (m_handler && m_handler(message, wParam, lParam, result)) return result;
    // Commands and colours of the panel's controls belong to the main window.
    if (message == WM_COMMAND || message == WM_CTLCOLORSTATIC || message == WM_HSCROLL || message == WM_NOTIFY)
        return SendMessageW(GetAncestor(Handle(), GA_ROOT), message, wParam, lParam);
    return Window::HandleMessage(message, wParam, lParam);
}

MainForm::MainForm() = default;

MainForm::~MainForm() {
    if (g_keyTarget == this) {
        UnhookWindowsHookEx(g_keyHook);
        g_keyHook = nullptr;
        g_keyTarget = nullptr;
    }
    if (m_accelerators) DestroyAcceleratorTable(m_accelerators);
    if (m_itemPictures) ImageList_Destroy(m_itemPictures);
}

bool MainForm::Load(const std::wstring& commandLine, const StatusSink& status) {
    m_commandLine = commandLine;
    const std::string commandLineUtf8 = toolkit::Narrow(commandLine);
    const bool searchStart = StartModeOf(commandLineUtf8) != StartMode::MainWindow;
    m_workspace.reset(CreateSolidBrush(GetSysColor(COLOR_APPWORKSPACE)));
    m_black.reset(CreateSolidBrush(RGB(0, 0, 0)));
    m_blue.reset(CreateSolidBrush(RGB(110, 138, 222)));
    m_font = toolkit::CreateUiFont(9);
    const int width = toolkit::TwipsToPixelsX(kMainWidth), height = toolkit::TwipsToPixelsY(kMainHeight);
    const int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2, y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    BuildMenus();
    if (!CreateWindowOf(kMainClass, WS_EX_ACCEPTFILES, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, L"", x, y, width, height,
                        nullptr, m_menuBar.get(), LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1))))
        return false;
    SetClassLongPtrW(Handle(), GCLP_HBRBACKGROUND, reinterpret_cast<LONG_PTR>(m_workspace.get()));
    SkinMenus();
    CreateChildren();

    // 1. The movie player's own window keeps our popup menu instead of its own.
    HookFlashMenu();
    // 2. The list's picture, row height and row layout.
    m_list.SetItemHeight(19);
    m_list.SetPos(20, 4, 24, 19, 4, 4);
    // 3. The network tree comes with the network lists.
    // 4. The idle title.
    SetTitle(IdleTitle());
    // 5.
    if (!searchStart && status) status(L"正在加载影片列表...");
    // 6-9. List folder, LIST, command-line movies, the chosen list.
    m_lists = std::make_unique<lists::LocalListPanel>(m_list, static_cast<lists::LocalListHost&>(*this), toolkit::Widen(ProgramFolder()));
    m_lists->StartUp(ReadConfigValue("CONFIG", "LIST"), commandLine);
    // 10. network.nlst comes with the network lists.
    // 11. Every movie command starts disabled.
    m_commandsEnabled = true;
    DisableFlashCommands();
    // 12.
    if (!searchStart && status) status(L"正在加载网络影片列表...");
    // 13.
    m_lists->ShowListView();
    StatusList();
    // 14. The volume comes with the system volume; the speaker shows sounding.
    m_playPanel.SetSound(true, true);
    // 15.
    if (!searchStart && status) status(L"正在加载配置文件...");
    // 16.
    LoadConfig();
    // 17.
    ShowWelcome();
    // 18.
    RunUpdater();
    return true;
}

void MainForm::Show() {
    ShowWindow(Handle(), SW_SHOW);
    UpdateWindow(Handle());
    WindowResized();
    if (!g_keyHook) {
        g_keyTarget = this;
        // Every message the thread takes passes here, so the window sees each key
        // released in any of its controls; none while a modal box has disabled it.
        g_keyHook = SetWindowsHookExW(
            WH_GETMESSAGE,
            [](int code, WPARAM removal, LPARAM data) -> LRESULT {
                const MSG* msg = reinterpret_cast<const MSG*>(data);
                const HWND main = g_keyTarget ? g_keyTarget->Handle() : nullptr;
                if (code == HC_ACTION && removal == PM_REMOVE && main &&
                    (msg->message == WM_KEYUP || msg->message == WM_SYSKEYUP) && IsWindowEnabled(main) &&
                    (msg->hwnd == main || IsChild(main, msg->hwnd)))
                    g_keyTarget->KeyReleased(msg->wParam);
                return CallNextHookEx(g_keyHook, code, removal, data);
            },
            nullptr, GetCurrentThreadId());
    }
}

void MainForm::KeyReleased(WPARAM key) {
    const bool shift = GetKeyState(VK_SHIFT) < 0, ctrl = GetKeyState(VK_CONTROL) < 0, alt = GetKeyState(VK_MENU) < 0;
    if (key == VK_DELETE) Execute(Action::ListRemove, shift ? 1 : 0);
    else if (key == VK_F11 && ctrl) Execute(Action::Volume, 0);
    else if (key == VK_RETURN && alt) {
        const int row = FindMenuRow("mnuWindowFullScreen");
        if (GetMenuState(m_menuBar.get(), static_cast<UINT>(MenuIdOf(static_cast<size_t>(row))), MF_BYCOMMAND) &
            MF_GRAYED)
            return;
        Execute(Action::FullScreen, 0);
    }
}

void MainForm::Unload() {
    // 1-4: LIST, the shown local list, the network tree (later), the view settings.
    if (m_lists) {
        WriteConfigValue("CONFIG", "LIST", m_lists->ListSetting());
        m_lists->SaveLocalList();
    }
    SaveConfig();
    // 5.
    UnhookFlashMenu();
    // 6. The other windows of the process go with the main window.
    const DWORD thread = GetCurrentThreadId();
    EnumThreadWindows(
        thread,
        [](HWND window, LPARAM self) -> BOOL {
            if (window != reinterpret_cast<MainForm*>(self)->Handle() && IsWindowVisible(window))
                PostMessageW(window, WM_CLOSE, 0, 0);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(this));
}

void MainForm::HookFlashMenu() {
    EnumChildWindows(
        Handle(),
        [](HWND child, LPARAM self) -> BOOL {
            wchar_t name[256] = {};
            GetClassNameW(child, name, 255);
            if (wcscmp(name, moviehost::kMovieHostClass) == 0 || wcsncmp(name, L"ATL:", 4) == 0) {
                reinterpret_cast<MainForm*>(self)->m_flashWnd = child;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(this));
    if (!m_flashWnd) return;
    SetPropW(m_flashWnd, kFormProperty, this);
    m_oldFlashProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(m_flashWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&MainForm::FlashWndProc)));
}

void MainForm::UnhookFlashMenu() {
    if (!m_flashWnd) return;
    SetWindowLongPtrW(m_flashWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_oldFlashProc));
    RemovePropW(m_flashWnd, kFormProperty);
    m_flashWnd = nullptr;
}

LRESULT CALLBACK MainForm::FlashWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* form = static_cast<MainForm*>(GetPropW(hwnd, kFormProperty));
    if (!form) return DefWindowProcW(hwnd, message, wParam, lParam);
    if (message == WM_RBUTTONDOWN) {
        POINT point;
        GetCursorPos(&point);
        TrackPopupMenu(form->m_popupMenu, TPM_LEFTALIGN | TPM_RIGHTBUTTON, point.x, point.y, 0, form->Handle(), nullptr);
        return 0;
    }
    if (message == WM_RBUTTONUP || message == WM_CONTEXTMENU) return 0;
    return CallWindowProcW(form->m_oldFlashProc, hwnd, message, wParam, lParam);
}

void MainForm::Execute(Action action, int arg) {
    switch (action) {
        case Action::OpenPlay: m_lists->OpenMovieFiles(true); break;
        case Action::Close: CloseFlash(); break;
        case Action::Quit: PostMessageW(Handle(), WM_CLOSE, 0, 0); break;
        case Action::Resume: m_player.Play(); break;
        case Action::Replay: ReplayFlash(); break;
        case Action::Pause: PauseFlash(); break;
        case Action::Stop:
            m_player.Rewind();
            m_player.Stop();
            break;
        case Action::PrevMovie: PlayFlashPrev(); break;
        case Action::NextMovie: PlayFlashNext(); break;
        case Action::PrevFrame: PrevFrame(); break;
        case Action::NextFrame: NextFrame(); break;
        case Action::SeekForward:
        case Action::SeekBack:
            // arg 1: from the toolbar, which also needs a movie name.
            if (arg == 0 || !m_player.Movie().empty()) SeekPercent(action == Action::SeekForward);
            break;
        case Action::PlaySelected:
            if (ListName() == lists::kNetworkListName) break;  // the tree's double-click comes with it
            PlayFlash();
            break;
        case Action::ZoomMovie: m_player.Zoom(arg); break;
        case Action::ZoomWindow: arg == 0 ? ShrinkSwfPlayer() : EnlargeSwfPlayer(); break;
        case Action::Quality: m_player.SetQuality2(arg == 0 ? "high" : arg == 1 ? "low" : "autolow"); break;
        case Action::ScaleMode:
            m_player.SetScaleMode(arg == 0 ? 0 : 3);
            SetMenuChecked("mnuSetScaleMode", 0, arg == 0);
            SetMenuChecked("mnuSetScaleMode", 1, arg == 1);
            m_settings.NoScale = static_cast<int16_t>(arg);
            break;
        case Action::BackColor: m_player.SetBackgroundColor(arg); break;
        case Action::OnTop: {
            const bool on = !MenuChecked("mnuSetOnTop", -1);
            SetMenuChecked("mnuSetOnTop", -1, on);
            on ? SetTopMost(Handle()) : SetNoTopMost(Handle());
            m_settings.OnTop = on ? 1 : 0;
            break;
        }
        case Action::ShowWelcome: {
            const bool on = !MenuChecked("mnuSetShowWelcome", -1);
            SetMenuChecked("mnuSetShowWelcome", -1, on);
            m_settings.WelcomeOff = on ? 0 : 1;
            break;
        }
        case Action::UIPanel: TogglePanel(); break;
        case Action::UIToolbar: ToggleToolbar(); break;
        case Action::UIStyle: ApplyUIStyle(arg); break;
        case Action::HelpAbout: ShowAbout(); break;
        case Action::HelpThis:
            ShellExecuteW(Handle(), L"open", toolkit::Widen(ProgramFolderFile(ProgramFolder(), "help.chm")).c_str(), nullptr,
                          nullptr, SW_SHOWNORMAL);
            break;
        case Action::ListAddToFav: m_lists->AddToFavourites(); break;
        case Action::ListAdd: arg == 0 ? m_lists->OpenMovieFiles(false) : m_lists->AddWholeFolder(); break;
        case Action::ListRemove: m_lists->RemoveCommand(arg); break;
        case Action::ListImport: m_lists->ImportLocalList(); break;
        case Action::ListExport: m_lists->ExportLocalList(); break;
        // Search windows, file tools, CD door, volume, full screen, association and the web
        // links arrive with their own modules; until then these commands do nothing.
        case Action::SearchLocal: case Action::SearchCache: case Action::SaveAs: case Action::ExportExe:
        case Action::CdRom: case Action::Picture: case Action::FullScreen: case Action::Volume:
        case Action::Relation: case Action::WebLink: case Action::FlashInfo: case Action::Mute:
        case Action::None: break;
    }
}

std::wstring MainForm::ListName() const { return toolkit::WindowText(m_listName); }

void MainForm::SetListName(const std::wstring& caption) {
    SetWindowTextW(m_listName, caption.c_str());
    InvalidateRect(m_rightPanel.Handle(), nullptr, TRUE);
}

void MainForm::PressListButton(lists::ShownList button) {
    for (size_t i = 0; i < m_listButtons.size(); ++i) m_listButtons[i].SetCheck(i == static_cast<size_t>(button));
}

void MainForm::EnableAddToFavourites(bool enabled) { SetMenuEnabled("mnuListAddToFav", -1, enabled); }

void MainForm::ShowNetworkTree(bool) {}  // the tree comes with the network lists

void MainForm::RefreshNetworkView() { StatusTree(); }

void MainForm::PopupListMenu(int x, int y) {
    POINT point{x, y};
    ClientToScreen(m_list.Handle(), &point);
    TrackPopupMenu(m_listMenu, TPM_LEFTALIGN | TPM_RIGHTBUTTON, point.x, point.y, 0, Handle(), nullptr);
}

void MainForm::StatusList() {
    const bool any = m_list.Count() > 0;
    SetGroupEnabled(Group::List, any);
    for (std::string_view picture : {"play", "prev", "next"}) m_playPanel.SetButtonEnabled(picture, any);
}

void MainForm::StatusTree() {
    // Without the network tree nothing is selected: the play panel's buttons and the
    // tree's commands are off.
    for (std::string_view picture : {"play", "prev", "next"}) m_playPanel.SetButtonEnabled(picture, false);
}

LRESULT MainForm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            if (lParam == 0) {
                if (const MenuEntry* entry = EntryOfId(LOWORD(wParam))) Execute(entry->action, entry->arg);
                return 0;
            }
            break;
        case WM_SIZE:
            if (wParam != SIZE_MINIMIZED) WindowResized();
            return 0;
        case WM_GETMINMAXINFO: {
            auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
            info->ptMinTrackSize = {toolkit::TwipsToPixelsX(kMinWindowWidth), toolkit::TwipsToPixelsY(kMinWindowHeight)};
            return 0;
        }
        case WM_HSCROLL:
            if (reinterpret_cast<HWND>(lParam) == m_slider && LOWORD(wParam) != TB_ENDTRACK) SliderClicked();
            return 0;
        case WM_CTLCOLORSTATIC: {
            HDC dc = reinterpret_cast<HDC>(wParam);
            SetTextColor(dc, RGB(255, 255, 255));
            SetBkMode(dc, TRANSPARENT);
            const HWND control = reinterpret_cast<HWND>(lParam);
            if (control == m_listName) return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
            if (control == m_slider) return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_APPWORKSPACE));
            return reinterpret_cast<LRESULT>(m_black.get());
        }
        case WM_CLOSE:
            Unload();
            DestroyWindow(Handle());
            return 0;
        case WM_DESTROY: PostQuitMessage(0); return 0;
        default: break;
    }
    return Window::HandleMessage(message, wParam, lParam);
}

}  // namespace velmora::player
