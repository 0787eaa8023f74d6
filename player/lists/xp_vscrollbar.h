// xp_VScrollBar: the themed vertical scroll bar of the list control, drawn entirely by
// itself in the blue, olive or silver scheme, with hot and pressed looks, repeat steps
// while a button is held and a draggable thumb.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <tuple>

#include "menulib/property_bag.h"
#include "player/lists/win_support.h"
#include "player/lists/scroll_model.h"
#include "toolkit/app.h"
#include "toolkit/window.h"

namespace velmora::lists {

class xp_VScrollBar : public toolkit::Window {
public:
    static constexpr const wchar_t* kClassName = L"xp_VScrollBar";
    static constexpr UINT kArrowRepeatMs = 100;
    static constexpr UINT kTrackRepeatMs = 200;
    static constexpr UINT kLeaveWatchMs = 5;

    xp_VScrollBar();
    // A child window at (x, y); its width is always 255 twips, its height at least 510.
    bool Create(HWND parent, int x, int y, int height, int id = 0);

    bool Enabled() const;
    void SetEnabled(bool enabled);
    HWND hwnd() const { return Handle(); }
    int32_t LargeChange() const { return m_largeChange; }
    void SetLargeChange(int32_t largeChange);
    int32_t Max() const { return m_max; }
    void SetMax(int32_t max);
    int32_t Min() const { return m_min; }
    void SetMin(int32_t min);
    int32_t ColorScheme() const { return m_colorScheme; }
    void SetColorScheme(int32_t scheme);
    int32_t SmallChange() const { return m_smallChange; }
    void SetSmallChange(int32_t smallChange);
    int32_t Value() const { return m_value; }
    void SetValue(int32_t value);

    bool Visible() const;
    void SetVisible(bool visible);
    int Width() const { return m_metrics.width; }
    void Move(int left, int top, int width, int height);

    // Change: after every change of Value. Scroll: every pointer move while the left
    // button is held after a press on the bar.
    void OnChange(std::function<void()> handler) { m_onChange = std::move(handler); }
    void OnScroll(std::function<void()> handler) { m_onScroll = std::move(handler); }

    void ReadProperties(const ostrel::PropertyBag& bag);
    void WriteProperties(ostrel::PropertyBag& bag) const;

    // The thumb as last computed, and the element painted last (state × 5 + zone).
    int32_t ThumbTop() const { return m_thumbTop; }
    int32_t ThumbLength() const { return m_thumbLength; }
    uint8_t PaintedCode() const { return m_paintedCode; }
    const BarMetrics& Metrics() const { return m_metrics; }

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    int32_t HeightPx() const { return m_buffer.Height(); }
    // A refused step size is said in a message box and replaced by 1.
    int32_t AcceptedStep(int32_t step, bool valid) const;
    void ResizeHandling();
    void CalcThumbLength();
    void CalcThumbTop();
    void Present();

    void DrawPicture(int32_t picture, int x, int y, int width, int height);
    void PaintTrack(bool highlighted, int top, int bottom);
    void PaintAll();
    void PaintValue();
    void PaintArrow(bool down, ElementState state);
    void PaintThumb(ElementState state);
    void PaintElement(Zone zone, ElementState state);

    void MouseMove(int button, double y);
    void MouseDown(int button, double y);
    void MouseUp();
    void LeaveTick();
    void RepeatTick();

    BarMetrics m_metrics;
    BackBuffer m_buffer;
    // Pictures drawn at the sizes they are shown at, by (number, width, height).
    std::map<std::tuple<int32_t, int, int>, toolkit::BitmapHandle> m_pictures;
    toolkit::CreatedDc m_pictureDc;
    toolkit::Timer m_leaveTimer;   // Timer1
    toolkit::Timer m_repeatTimer;  // Timer2
    std::function<void()> m_onChange;
    std::function<void()> m_onScroll;

    bool m_buttonDown = false;
    int32_t m_min = 0;
    int32_t m_max = 255;
    int32_t m_value = 0;
    int32_t m_smallChange = 1;
    int32_t m_largeChange = 10;
    Zone m_hotZone = Zone::None;
    Zone m_lastZone = Zone::None;
    Zone m_pressZone = Zone::None;
    int32_t m_colorScheme = 0;
    int32_t m_travel = 0;
    bool m_dragging = false;
    int32_t m_pressValue = 0;
    int32_t m_thumbPicBase = 0;
    double m_pressY = 0;
    int32_t m_thumbTop = 17;
    int32_t m_thumbLength = 10;
    bool m_repeatArmed = false;
    uint8_t m_paintedCode = 0;
    const SchemeColorTable* m_schemeColors = nullptr;
};

}  // namespace velmora::lists
