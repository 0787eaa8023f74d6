// The main window's controls: menus and accelerators from the command table, the
// flat-button toolbar, the right panel, and the settings that drive them.
#include <windows.h>

#include <commctrl.h>

#include "player/shell/about_box.h"
#include "player/shell/artwork.h"
#include "player/shell/main_window.h"
#include "player/shell/mod_normal.h"
#include "toolkit/form.h"

namespace velmora::player {

namespace {

class ButtonClick : public ostrel::NetButtonListener {
public:
    explicit ButtonClick(std::function<void()> click) : m_click(std::move(click)) {}
    void Click() override { m_click(); }

private:
    std::function<void()> m_click;
};

UINT IdOfRow(int row) { return static_cast<UINT>(MenuIdOf(static_cast<size_t>(row))); }
}  // namespace

void MainForm::BuildMenus() {
    m_menuBar.reset(CreateMenu());
    std::vector<ACCEL> accelerators;
    HMENU current = nullptr, outer = nullptr;
    bool popupOnly = false;
    const auto table = MenuTable();
    for (size_t row = 0; row < table.size(); ++row) {
        const MenuEntry& e = table[row];
        switch (e.kind) {
            case MenuKind::Bar:
                current = CreatePopupMenu();
                AppendMenuW(m_menuBar.get(), MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(current), toolkit::Widen(e.caption).c_str());
                popupOnly = false;
                break;
            case MenuKind::Popup:
                m_popups.emplace_back(CreatePopupMenu());
                current = m_popups.back().get();
                if (e.name == "mnuPopup") m_popupMenu = current;
                if (e.name == "mnuList") m_listMenu = current;
                popupOnly = true;
                break;
            case MenuKind::SubMenu: {
                HMENU sub = CreatePopupMenu();
                // The submenu's own id lets it be enabled by command like the items.
                MENUITEMINFOW info{sizeof info};
                info.fMask = MIIM_SUBMENU | MIIM_STRING | MIIM_ID;
                info.hSubMenu = sub;
                info.wID = IdOfRow(static_cast<int>(row));
                std::wstring caption = toolkit::Widen(e.caption);
                info.dwTypeData = caption.data();
                InsertMenuItemW(current, GetMenuItemCount(current), TRUE, &info);
                outer = current;
                current = sub;
                break;
            }
            case MenuKind::EndSubMenu: current = outer; break;
            case MenuKind::Separator: AppendMenuW(current, MF_SEPARATOR, 0, nullptr); break;
            case MenuKind::Item: {
                std::wstring caption = toolkit::Widen(e.caption);
                const std::string shortcut = ShortcutText(e.shortcut);
                if (!shortcut.empty()) caption += L"\t" + toolkit::Widen(shortcut);
                AppendMenuW(current, MF_STRING, IdOfRow(static_cast<int>(row)), caption.c_str());
                // Popup-only menus never act on their shortcuts.
                if (e.shortcut.key && !popupOnly) {
                    BYTE flags = FVIRTKEY;
                    if (e.shortcut.ctrl) flags |= FCONTROL;
                    if (e.shortcut.shift) flags |= FSHIFT;
                    if (e.shortcut.alt) flags |= FALT;
                    accelerators.push_back({flags, e.shortcut.key, static_cast<WORD>(IdOfRow(static_cast<int>(row)))});
                }
                break;
            }
        }
    }
    m_accelerators = CreateAcceleratorTableW(accelerators.data(), static_cast<int>(accelerators.size()));
}

void MainForm::SkinMenus() {
    // The menu control finds an item's icon by the name and caption of its table row.
    std::vector<ostrel::MenuControlInfo> controls;
    for (const MenuEntry& e : MenuTable())
        if (e.kind == MenuKind::Item || e.kind == MenuKind::SubMenu)
            controls.push_back({toolkit::Widen(e.name), e.index, toolkit::Widen(e.caption)});
    m_menuSkin.SetMenuControls(std::move(controls));
    m_menuSkin.Init(Handle());
}

void MainForm::SetMenuEnabled(std::string_view name, int index, bool enabled) {
    const int row = FindMenuRow(name, index);
    if (row < 0) return;
    const UINT flags = MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED);
    if (EnableMenuItem(m_menuBar.get(), IdOfRow(row), flags) == -1)
        for (const auto& popup : m_popups) EnableMenuItem(popup.get(), IdOfRow(row), flags);
}

void MainForm::SetMenuChecked(std::string_view name, int index, bool checked) {
    const int row = FindMenuRow(name, index);
    if (row >= 0) CheckMenuItem(m_menuBar.get(), IdOfRow(row), MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

bool MainForm::MenuChecked(std::string_view name, int index) const {
    const int row = FindMenuRow(name, index);
    return row >= 0 && (GetMenuState(m_menuBar.get(), IdOfRow(row), MF_BYCOMMAND) & MF_CHECKED) != 0;
}

void MainForm::SetToolButtonEnabled(size_t index, bool enabled) {
    if (index >= m_toolButtons.size()) return;
    m_toolButtons[index].SetEnabled(enabled);
    m_toolButtons[index].SetButtonPicture(m_toolPictures[index][enabled ? 1 : 0]);
}

void MainForm::SetGroupEnabled(Group group, bool enabled) {
    for (const MenuEntry& e : MenuTable())
        if ((e.kind == MenuKind::Item || e.kind == MenuKind::SubMenu) && e.group == group)
            SetMenuEnabled(e.name, e.index, enabled);
    const auto buttons = ToolbarButtons();
    for (size_t i = 0; i < buttons.size(); ++i)
        if (buttons[i].group == group) SetToolButtonEnabled(i, enabled);
    DrawMenuBar(Handle());
}

void MainForm::SetFlashCommands(bool enabled) {
    if (m_commandsEnabled == enabled) return;
    SetGroupEnabled(Group::Movie, enabled);
    m_playPanel.SetButtonEnabled("stop", enabled);
    m_commandsEnabled = enabled;
}

void MainForm::BuildToolbar() {
    m_band.Create(Handle(), WS_VISIBLE, {0, 0, 0, toolkit::TwipsToPixelsY(kToolbarHeight)}, nullptr);
    ostrel::RegisterControlClasses();
    ostrel::ToolbarProps barProps;
    barProps.office2003Style = false;
    m_toolbar.Create(m_band.Handle(), kIdToolbar, 0, 0, toolkit::TwipsToPixelsX(9855), toolkit::TwipsToPixelsY(480),
                     barProps);
    m_tooltips = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0, 0,
                                 Handle(), nullptr, GetModuleHandleW(nullptr), nullptr);
    const int size = toolkit::TwipsToPixelsX(375), top = toolkit::TwipsToPixelsY(45);
    for (const ToolSeparator& s : ToolbarSeparators()) {
        ostrel::ButtonProps props;
        props.office2003Style = false;
        props.caption = L"";
        props.enabled = false;
        ostrel::VsNetBut separator;
        separator.Create(m_toolbar.hWnd(), 0, toolkit::TwipsToPixelsX(s.left), top, toolkit::TwipsToPixelsX(s.width),
                         size, props);
        separator.SetButtonAppearance(s.width > 150 ? ostrel::ButtonAppearance::MainSep2003
                                                    : ostrel::ButtonAppearance::Sep2003);
    }
    const auto buttons = ToolbarButtons();
    for (size_t i = 0; i < buttons.size(); ++i) {
        const ToolButton& b = buttons[i];
        ostrel::ButtonProps props;
        props.office2003Style = false;
        props.caption = L"";
        props.captionAreaPercent = 0;
        props.picAreaFixWidth = 16;
        props.picAreaFixHeight = 16;
        ostrel::VsNetBut button;
        button.Create(m_toolbar.hWnd(), kIdFirstToolButton + static_cast<int>(i), toolkit::TwipsToPixelsX(b.left), top,
                      size, size, props);
        const int glyphArg = b.action == Action::ZoomWindow ? b.arg : 0;
        m_toolPictures.push_back({ostrel::Picture::FromIcon(ToolbarGlyph(b.action, glyphArg, true)),
                                  ostrel::Picture::FromIcon(ToolbarGlyph(b.action, glyphArg))});
        button.SetButtonPicture(m_toolPictures.back()[1]);
        m_listeners.push_back(std::make_unique<ButtonClick>([this, i] { OnToolButton(i); }));
        button.SetListener(m_listeners.back().get());
        TTTOOLINFOW tool{sizeof tool};
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = Handle();
        tool.uId = reinterpret_cast<UINT_PTR>(button.hWnd());
        std::wstring tip = toolkit::Widen(b.tooltip);
        tool.lpszText = tip.data();
        SendMessageW(m_tooltips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
        m_toolButtons.push_back(button);
    }
    m_line = CreateWindowExW(0, L"STATIC", nullptr, WS_CHILD | WS_VISIBLE | SS_BLACKRECT, 0,
                             toolkit::TwipsToPixelsY(520), 4000, 1, Handle(), nullptr, nullptr, nullptr);
}

void MainForm::OnToolButton(size_t index) {
    const ToolButton& b = ToolbarButtons()[index];
    Execute(b.action, b.arg);
}

void MainForm::BuildRightPanel() {
    m_rightPanel.Create(Handle(), WS_VISIBLE, {0, 0, toolkit::TwipsToPixelsX(m_panelWidth), 100},
                        [this](UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
                            switch (message) {
                                case WM_SIZE: PanelResized(); return false;
                                case WM_ERASEBKGND:
                                    PaintRightPanel(reinterpret_cast<HDC>(wParam));
                                    result = 1;
                                    return true;
                                case WM_LBUTTONDOWN: case WM_MOUSEMOVE: case WM_LBUTTONUP:
                                    SplitterMouse(message, static_cast<short>(LOWORD(lParam)));
                                    return false;
                                case WM_SETCURSOR: {
                                    POINT p;
                                    GetCursorPos(&p);
                                    ScreenToClient(m_rightPanel.Handle(), &p);
                                    if (p.x < toolkit::TwipsToPixelsX(150)) {
                                        SetCursor(LoadCursorW(nullptr, IDC_SIZEWE));
                                        result = TRUE;
                                        return true;
                                    }
                                    return false;
                                }
                                default: return false;
                            }
                        },
                        kIdRightPanel);
    HWND panel = m_rightPanel.Handle();
    const wchar_t* captions[] = {L"播放 ", L"收藏 ", L"网络 "};
    const wchar_t* tips[] = {L"正常使用的播放列表", L"收藏夹", L"Internet上的FLASH影片"};
    for (size_t i = 0; i < m_listButtons.size(); ++i) {
        ostrel::ButtonProps props;
        props.office2003Style = false;
        props.caption = captions[i];
        const int width = toolkit::TwipsToPixelsX(2685) / 3;
        m_listButtons[i].Create(panel, kIdListButtons + static_cast<int>(i),
                                toolkit::TwipsToPixelsX(105) + static_cast<int>(i) * width, toolkit::TwipsToPixelsY(120),
                                width - 2, toolkit::TwipsToPixelsY(330), props);
        m_listeners.push_back(std::make_unique<ButtonClick>(
            [this, i] { m_lists->ListButtonClick(static_cast<lists::ShownList>(i)); }));
        m_listButtons[i].SetListener(m_listeners.back().get());
        TTTOOLINFOW tool{sizeof tool};
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = Handle();
        tool.uId = reinterpret_cast<UINT_PTR>(m_listButtons[i].hWnd());
        tool.lpszText = const_cast<wchar_t*>(tips[i]);
        SendMessageW(m_tooltips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    m_closeMark.Create(panel, WS_VISIBLE, {0, 0, toolkit::TwipsToPixelsX(150), toolkit::TwipsToPixelsY(150) + 2},
                       [this](UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
                           return CloseMarkMouse(message, wParam, result);
                       },
                       kIdCloseMark);
    m_listName = CreateWindowExW(0, L"STATIC", lists::kDefaultListName, WS_CHILD | WS_VISIBLE, 0, 0, 120, 16, panel,
                                 reinterpret_cast<HMENU>(kIdListName), nullptr, nullptr);
    m_list.Create(panel, 0, 0, 100, 100, kIdList);
    // iltList: picture 1 is the item icon.
    m_itemPictures = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 1, 1);
    HICON icon = MovieIcon();
    ImageList_AddIcon(m_itemPictures, icon);
    DestroyIcon(icon);
    m_list.SetImageList(m_itemPictures);
    m_playPanel.Create(panel, {0, 0, toolkit::TwipsToPixelsX(3090), toolkit::TwipsToPixelsY(645)});
    m_playPanel.onClick = [this](Action action) { Execute(action, 0); };
    SendMessageW(m_listName, WM_SETFONT, reinterpret_cast<WPARAM>(m_font.get()), 0);
}

void MainForm::CreateChildren() {
    BuildToolbar();
    BuildRightPanel();
    m_splitLine.Create(Handle(), 0, {0, 0, toolkit::TwipsToPixelsX(60), 10},
                       [](UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
                           if (message != WM_ERASEBKGND) return false;
                           RECT r;
                           GetClipBox(reinterpret_cast<HDC>(wParam), &r);
                           toolkit::BrushHandle grey(CreateSolidBrush(RGB(64, 64, 64)));
                           FillRect(reinterpret_cast<HDC>(wParam), &r, grey.get());
                           result = 1;
                           return true;
                       });
    m_stripPanel.Create(Handle(), WS_VISIBLE, {0, 0, toolkit::TwipsToPixelsX(2910), toolkit::TwipsToPixelsY(195)},
                        [this](UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
                            if (message != WM_ERASEBKGND) return false;
                            RECT r;
                            GetClientRect(m_stripPanel.Handle(), &r);
                            FillRect(reinterpret_cast<HDC>(wParam), &r, m_black.get());
                            result = 1;
                            return true;
                        });
    const int stripHeight = toolkit::TwipsToPixelsY(195);
    auto label = [&](const wchar_t* text, int leftTwips, int id) {
        HWND h = CreateWindowExW(0, L"STATIC", text, WS_CHILD | WS_VISIBLE, toolkit::TwipsToPixelsX(leftTwips), 0, 80,
                                 stripHeight, m_stripPanel.Handle(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                 nullptr, nullptr);
        SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(m_font.get()), 0);
        return h;
    };
    m_frameCaption = label(L"帧数：", 45, 0);
    m_frameLabel = label(L"0/0", 630, kIdFrameLabel);
    m_percentLabel = label(L"已加载：", 1845, kIdPercentLabel);
    m_slider = CreateWindowExW(0, TRACKBAR_CLASSW, nullptr, WS_CHILD | WS_VISIBLE | TBS_HORZ | TBS_NOTICKS | WS_DISABLED,
                               0, 0, 100, toolkit::TwipsToPixelsY(kSliderHeight), Handle(),
                               reinterpret_cast<HMENU>(kIdSlider), nullptr, nullptr);
    m_player.Create(Handle(), {0, 0, 100, 100});
    m_player.onGotFocus = [this] { SetFocus(Handle()); };
}

void MainForm::LoadConfig() {
    m_settings = ReadSettings([](const char* key) { return ReadConfigValue("CONFIG", key); });
    ApplyUIStyle(m_settings.UIStyle);
    m_panelVisible = m_settings.RightPanelHidden == 0;
    ShowWindow(m_rightPanel.Handle(), m_panelVisible ? SW_SHOW : SW_HIDE);
    m_toolbarVisible = m_settings.ToolBarHidden == 0;
    ShowWindow(m_band.Handle(), m_toolbarVisible ? SW_SHOW : SW_HIDE);
    ShowWindow(m_line, m_toolbarVisible ? SW_SHOW : SW_HIDE);
    SetMenuChecked("mnuSetScaleMode", 0, m_settings.NoScale == 0);
    SetMenuChecked("mnuSetScaleMode", 1, m_settings.NoScale == 1);
    SetMenuChecked("mnuSetOnTop", -1, m_settings.OnTop == 1);
    if (m_settings.OnTop) SetTopMost(Handle());
    SetMenuChecked("mnuSetShowWelcome", -1, m_settings.WelcomeOff == 0);
}

void MainForm::SaveConfig() {
    WriteSettings(m_settings, MenuChecked("mnuSetShowWelcome", -1),
                  [](const char* key, const std::string& value) { WriteConfigValue("CONFIG", key, value); });
}

void MainForm::ApplyUIStyle(int style) {
    m_settings.UIStyle = static_cast<int16_t>(style);
    m_menuSkin.SetUseOffice2003Style(style == 1);
    SetMenuChecked("mnuUIStyle", 0, style == 0);
    SetMenuChecked("mnuUIStyle", 1, style == 1);
    m_toolbar.SetOffice2003Style(style == 1);
    for (auto& button : m_listButtons) button.SetOffice2003Style(style == 1);
}

void MainForm::ShowAbout() {
    AboutBox about(m_settings);
    about.ShowModal(Handle());
}

}  // namespace velmora::player
