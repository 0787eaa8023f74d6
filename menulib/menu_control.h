// Inside VsNetMenu: its state and the three halves that work on it, the engine (attaching,
// converting, measuring, messages, hot tracking, teardown), the painting of items and the
// popup menu windows. Library-internal.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <vector>

#include "menulib/mem_dc.h"
#include "menulib/menu_model.h"
#include "menulib/subclassing.h"
#include "menulib/vs_net_menu.h"

namespace ostrel {

enum class IconVariant { Plain, Faded, Raised, Silhouette };

struct VsNetMenu::Impl final : SubclassingSink, PopupMenuClient {
    Impl();
    ~Impl() override;

    // ---- engine
    bool Init(HWND window);
    void Recompute();
    void ConvertMenu(HMENU menu, bool bar);
    void RestoreRecords(HMENU onlyMenu = nullptr);
    // The record behind an item's data word, or the system-menu item with that id.
    std::optional<ItemRecord> FindRecord(ULONG_PTR data, UINT id, HMENU menu, bool checkMenu) const;
    HWND ActiveMdiChild();
    std::optional<LRESULT> MnemonicSearch(HMENU menu, wchar_t typed) const;
    bool Measure(MEASUREITEMSTRUCT& item);
    void HotTrack(LPARAM lParam);
    void Teardown();
    HFONT MenuFont();
    void RefreshControlFont();
    void MarkChanged() { modified = true; }
    const MenuIcon* IconForLabel(const std::wstring& label) const;

    void After(LRESULT&, HWND, UINT, WPARAM, LPARAM) override {}
    void Before(bool& handled, LRESULT& result, HWND& window, UINT& message, WPARAM& wParam, LPARAM& lParam) override;
    void HostMessage(bool& handled, LRESULT& result, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void OnMenuSelect(bool& handled, HWND window, WPARAM wParam, LPARAM lParam);
    void OnInitMenuMsg(bool& handled, LRESULT& result, WPARAM wParam, LPARAM lParam);

    // ---- painting
    bool DrawItem(const DRAWITEMSTRUCT& item);
    void DrawBarItem(MemDC& dc, const ItemRecord& record, const RECT& r, UINT odState, UINT menuState);
    void DrawPopupItem(MemDC& dc, const ItemRecord& record, const DRAWITEMSTRUCT& item, UINT menuState);
    // Paints a bar item normal or hot straight onto the host's window.
    void PaintBarItem(int position, bool hot);
    std::unique_ptr<MemDC> MakeIconSurface(const Picture& picture, OleColor mask, IconVariant variant);
    OleColor Translate(OleColor color) const;
    OleColor PopupBack() const;
    OleColor BorderColor() const;
    OleColor ShadowColor() const;
    // Blends the shadow colour into one pixel of a surface.
    void Shade(MemDC& dc, int x, int y, int weight) const;

    // ---- popup menu windows
    void AttachPopup(HWND popup) override;
    struct Popup {
        HWND window = nullptr;
        std::unique_ptr<SubclassingThunk> subclasser;
        std::unique_ptr<MemDC> frame;
    };
    Popup* FindPopup(HWND window);
    void PopupMessage(bool& handled, LRESULT& result, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void PlacePopupWindow(HWND window, WINDOWPOS& pos);
    MemDC& FrameImage(Popup& popup);
    void RemovePopup(HWND window);

    // ---- state
    MenuProps props;
    std::vector<MenuIcon> icons;
    std::vector<MenuControlInfo> menuControls;
    bool modified = false;

    HWND host = nullptr;
    HMENU menuBar = nullptr;
    std::unique_ptr<SubclassingThunk> hostSubclasser;
    std::unique_ptr<SubclassingThunk> mdiSubclasser;
    HWND mdiClient = nullptr;
    std::vector<Popup> popups;  // in the order they were attached
    // Slot i holds the record of data word i + 1; restored items leave an empty slot.
    std::vector<std::optional<ItemRecord>> records;

    HFONT controlFont = nullptr;
    HFONT systemFont = nullptr;
    int edgeWidth = 0;
    int frameWidth = 0;
    int captionHeight = 0;
    int menuHeight = 0;
    bool lowColor = false;
    int icw = 24;

    int hotBarItem = -1;
    bool inMenuLoop = false;
    struct Selection {
        bool known = false;
        HMENU menu = nullptr;
        HMENU submenu = nullptr;
        RECT rect{};
        bool rightJustified = false;
    } lastSelection;
    POINT popupPosition{};
    bool popupExtendsRight = false;
    HWND mdiFrame = nullptr;
    bool repostedSelect = false;
    UINT initMenuMsg = 0;
};

// Bits of GetMenuState, and the menu state of an item found by its data word.
constexpr UINT kStateGrayed = 0x1;
constexpr UINT kStateDisabled = 0x2;
constexpr UINT kStateChecked = 0x8;
constexpr UINT kStatePopup = 0x10;
constexpr UINT kStateHilite = 0x80;
UINT ItemMenuState(HMENU menu, UINT id, ULONG_PTR data);
// Type, state, data, id and submenu of an item (and its text when asked).
bool ReadMenuItem(HMENU menu, UINT item, bool byPosition, MENUITEMINFOW& info, std::wstring* text);
std::wstring MenuItemText(HMENU menu, UINT item, bool byPosition);
int MeasureTextWidth(HFONT font, const std::wstring& text, UINT extraFormat = 0);

// The built-in 16 x 16 pictures of the window commands, on silver; empty for other ids.
Picture WindowCommandPicture(int commandId);
constexpr OleColor kWindowCommandMask = Rgb(192, 192, 192);

}  // namespace ostrel
