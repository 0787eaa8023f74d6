// IList: the owner-drawn list of the play lists. Rows of one height, each with an icon and
// two text lines at host-set offsets; the selected row is a bar in the highlight colour.
// It scrolls with its own xp_VScrollBar, moves the selection by keys, clicks and drags
// (scrolling by itself past the top or bottom edge), takes dropped files and hands its
// input to the host through the events below.
#pragma once

#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

#include <functional>
#include <string>
#include <vector>

#include "menulib/property_bag.h"
#include "player/lists/win_support.h"
#include "player/lists/citem.h"
#include "player/lists/scroll_model.h"
#include "player/lists/xp_vscrollbar.h"
#include "toolkit/app.h"
#include "toolkit/window.h"

namespace velmora::lists {

// What a drop brought: the files of a file-list drop (clipboard format 15), in order.
struct DropData {
    std::vector<std::wstring> files;
};

// Button: 1 left, 2 right, 4 middle; Shift: 1 shift, 2 control, 4 alt; X and Y in pixels.
// Key codes and KeyAscii may be changed by the host before the list acts on them.
struct IListEvents {
    std::function<void(const DropData& data, int32_t& effect, int button, int shift, float x, float y)> OLEDragDrop;
    std::function<void()> DblClick;
    std::function<void(int& keyCode, int shift)> KeyDown;
    std::function<void(int& keyAscii)> KeyPress;
    std::function<void(int& keyCode, int shift)> KeyUp;
    std::function<void(int button, int shift, float x, float y)> MouseDown;
    std::function<void(int button, int shift, float x, float y)> MouseMove;
    std::function<void(int button, int shift, float x, float y)> MouseUp;
    std::function<void()> Click;
    std::function<void()> OnSelect;
};

// Offsets inside a row.
struct RowLayout {
    int32_t captionX = 0, captionY = 0;
    int32_t textX = 0, textY = 0;
    int32_t iconX = 0, iconY = 0;
};

class IList : public toolkit::Window {
public:
    static constexpr const wchar_t* kClassName = L"IList";
    static constexpr UINT kAutoScrollMs = 3;
    static constexpr int kKeyUp = VK_UP;
    static constexpr int kKeyDown = VK_DOWN;

    IList();
    bool Create(HWND parent, int x, int y, int width, int height, int id = 0);

    IListEvents& Events() { return m_events; }

    // Items, positions 1 to Count. AddItem does not redraw: the host redraws after a batch.
    void AddItem(std::wstring caption, std::wstring text, int32_t icon = 0);
    // Removes nothing for an invalid position, but redraws all the same.
    void Remove(int32_t position);
    // Drops the items; Selected stays as it is, nothing is redrawn.
    void Clear();
    // Null for an invalid position.
    const CItem* Item(int32_t position) const;
    int32_t Count() const { return static_cast<int32_t>(m_items.size()); }
    void SetCaption(int32_t index, std::wstring caption);
    void SetText(int32_t index, std::wstring text);

    int32_t ItemHeight() const { return m_itemHeight; }
    void SetItemHeight(int32_t height) { m_itemHeight = height; }
    // Picture n of the image list is icon n (from 1); the list does not own it.
    HIMAGELIST ImageList() const { return m_imageList; }
    void SetImageList(HIMAGELIST imageList) { m_imageList = imageList; }
    const RowLayout& Layout() const { return m_layout; }
    void SetLayout(const RowLayout& layout) { m_layout = layout; }
    // Sets all six offsets and redraws.
    void SetPos(int32_t captionX, int32_t captionY, int32_t textX, int32_t textY, int32_t iconX,
                int32_t iconY);

    int32_t Selected() const { return m_selected; }
    // Clamped to Count (no lower bound); a change repaints the old and the new row only.
    void SetSelected(int32_t position);
    bool IsVisible(int32_t index) const;
    void ScrollTo(int32_t index);

    void Redraw();
    void DrawItem(int32_t index);

    // Drawing on the surface, in the current colours and font.
    void PrintAt(int x, int y, const std::wstring& text);
    void MoveTo(int x, int y);
    void LineTo(int x, int y, COLORREF color);
    void TextOut(const std::wstring& text);
    void Rectangle(int x, int y, int width, int height, COLORREF color);

    HWND hwnd() const { return Handle(); }
    // The surface's off-screen image, where all drawing goes.
    HDC hDC() const { return m_buffer.Dc(); }
    int32_t MousePointer() const { return m_mousePointer; }
    void SetMousePointer(int32_t pointer) { m_mousePointer = pointer; }
    HCURSOR MouseIcon() const { return m_mouseIcon; }
    void SetMouseIcon(HCURSOR icon) { m_mouseIcon = icon; }
    const LOGFONTW& Font() const { return m_logFont; }
    void SetFont(const LOGFONTW& font);
    // The host's own value, e.g. the path of the movie playing.
    const std::wstring& Tag() const { return m_tag; }
    void SetTag(std::wstring tag) { m_tag = std::move(tag); }

    xp_VScrollBar& Scroll() { return m_scroll; }
    const xp_VScrollBar& Scroll() const { return m_scroll; }

    // The font is a nested bag, which reading may create.
    void ReadProperties(ostrel::PropertyBag& bag);
    void WriteProperties(ostrel::PropertyBag& bag) const;

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    int SurfaceWidth() const { return m_buffer.Width(); }
    int SurfaceHeight() const { return m_buffer.Height(); }
    RECT RowRect(int32_t index) const;
    void Invalidate(const RECT& area);
    void UpdateScrollRange();
    void Resized(int width, int height);
    void HandleKey(int keyCode, int shift);
    void AutoScrollTick();
    void MouseButtonDown(int button, WPARAM keys, LPARAM point);
    void MouseMoved(WPARAM keys, LPARAM point);
    void MouseButtonUp(int button, WPARAM keys, LPARAM point);
    void Dropped(HDROP drop);
    bool SetPointerShape() const;

    IListEvents m_events;
    std::vector<CItem> m_items;
    int32_t m_selected = 0;
    RowLayout m_layout;
    HIMAGELIST m_imageList = nullptr;
    int32_t m_itemHeight = 20;
    bool m_scrollPending = false;
    AutoScroll m_autoScrollDir = AutoScroll::None;

    BackBuffer m_buffer;
    xp_VScrollBar m_scroll;
    toolkit::Timer m_autoScrollTimer;  // Timer1
    LOGFONTW m_logFont{};
    toolkit::FontHandle m_font;
    COLORREF m_foreColor = 0;
    int32_t m_mousePointer = 0;
    HCURSOR m_mouseIcon = nullptr;
    std::wstring m_tag;
    bool m_clickPending = false;
};

}  // namespace velmora::lists
