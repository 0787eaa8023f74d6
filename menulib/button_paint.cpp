// Painting of the flat button: the whole button is drawn off-screen in one state and
// copied to the window in one step.
#include "menulib/button_window.h"

namespace ostrel {

namespace {

void Frame(MemDC& s, const PixelRect& r, OleColor color) {
    HBRUSH brush = CreateSolidBrush(s.TranslateColor(color));
    const RECT rect{r.left, r.top, r.right, r.bottom};
    FrameRect(s.Hdc(), &rect, brush);
    DeleteObject(brush);
}

void FocusRect(MemDC& s, PixelRect r, int inset) {
    const RECT rect{r.left + inset, r.top + inset, r.right - inset, r.bottom - inset};
    DrawFocusRect(s.Hdc(), &rect);
}

}  // namespace

void ButtonWindow::Paint(VisualState state) {
    m_state = state;
    if (!m_window || m_destroyed) return;
    HDC dc = GetDC(m_window);
    Render(dc, state);
    ReleaseDC(m_window, dc);
}

void ButtonWindow::Render(HDC dc, VisualState state) {
    const int width = ClientWidth();
    const int height = ClientHeight();
    if (width <= 0 || height <= 0) return;
    MemDC s;
    if (!s.Init(width, height, dc)) return;
    s.Cls(props.backColor);
    if (m_layout.valid) {
        const bool disabledLook = !IsWindowEnabled(m_window) && !props.ignoreDisabledEffect;
        const OleColor border = disabledLook ? props.shadowColor : props.edgeColor;
        const bool separator = IsSeparator();
        const PixelRect whole{0, 0, width, height};
        // Background.
        if (state == VisualState::Normal || !separator) {
            if (props.office2003Style) {
                if (state == VisualState::Pressed) {
                    s.FillGradient(0, 0, width, height, props.downColorStart, props.downColorEnd, true, true, border);
                } else if (state == VisualState::Hover) {
                    const bool c = props.check;
                    s.FillGradient(0, 0, width, height, c ? props.checkOverColorStart : props.overColorStart,
                                   c ? props.checkOverColorEnd : props.overColorEnd, true, true, border);
                } else if (props.check) {
                    s.FillGradient(0, 0, width, height, props.checkedColorStart, props.checkedColorEnd, true, true, border);
                }
            } else if (state == VisualState::Pressed || (state == VisualState::Hover && props.check)) {
                s.Cls(props.downColorXP);
                Frame(s, whole, border);
            } else if (state == VisualState::Hover) {
                s.Cls(props.overColorXP);
                Frame(s, whole, border);
            } else if (props.check) {
                s.Cls(props.checkedColorXP);
                Frame(s, whole, border);
            }
        }
        DrawPicture(s, state, disabledLook);
        DrawCaption(s, state, disabledLook);
        DrawGlyphs(s, state, disabledLook);
        if (m_focused && props.showFocusRect) {
            if (m_layout.hasDropDown) {
                const PixelRect main = m_layout.hasPictureArea ? m_layout.pictureArea : m_layout.captionArea;
                FocusRect(s, {main.left, main.top, m_layout.dropDown.left, main.bottom}, props.focusRectOffset);
                FocusRect(s, m_layout.dropDown, props.focusRectOffset);
            } else {
                FocusRect(s, whole, props.focusRectOffset);
            }
        }
        if (!separator && (state != VisualState::Normal || props.showEdgeOnNoFocus)) {
            if (state == VisualState::Normal && m_layout.hasDropDown) Frame(s, m_layout.dropDown, border);
            Frame(s, whole, border);
        }
    }
    s.BitBlt(dc, 0, 0);
}

void ButtonWindow::Silhouette(MemDC& s, PixelPoint at) const {
    OleColor color = props.shadowColor;
    if (props.check && props.office2003Style) {
        color = Rgb(164, 73, 39);
    } else if (!props.office2003Style) {
        color = Rgb(129, 129, 156);
    }
    UINT kind = 0;
    if (picture.Type() == PictureType::Bitmap) kind = DST_BITMAP;
    if (picture.Type() == PictureType::Icon) kind = DST_ICON;
    if (!kind) return;  // metafiles have no one-colour shape
    const SIZE size = picture.PixelSize();
    HBRUSH brush = CreateSolidBrush(s.TranslateColor(color));
    DrawStateW(s.Hdc(), brush, nullptr, reinterpret_cast<LPARAM>(picture.Handle()), 0, at.x, at.y, size.cx, size.cy,
               kind | DSS_MONO);
    DeleteObject(brush);
}

void ButtonWindow::DrawPicture(MemDC& s, VisualState state, bool disabledLook) const {
    if (!m_layout.hasPictureArea || !picture) return;
    const SIZE size = picture.PixelSize();
    const PixelPoint at = PlacePicture(m_layout.pictureArea, props.pictureOffset, props.pictureLayout, size.cx, size.cy);
    if (state == VisualState::Hover && props.showShadow) {
        Silhouette(s, at);
        s.PaintPicture(picture, at.x - props.shadowOffset, at.y - props.shadowOffset);
    } else if (state == VisualState::Normal && disabledLook) {
        Silhouette(s, at);
    } else {
        s.PaintPicture(picture, at.x, at.y);
    }
}

void ButtonWindow::DrawCaption(MemDC& s, VisualState state, bool disabledLook) const {
    if (!m_layout.hasCaptionArea || props.caption.empty()) return;
    HGDIOBJ previousFont = SelectObject(s.Hdc(), m_font);
    s.SetBackStyle(TRANSPARENT);
    s.SetForeColor(state != VisualState::Hover && disabledLook ? props.shadowColor : props.foreColor);
    const unsigned format = CaptionFormat(props.captionLayout, props.autoMultiLine);
    const PixelRect inner = Inset(m_layout.captionArea, props.captionOffset);
    RECT measured{inner.left, inner.top, inner.right, inner.bottom};
    s.DrawText(props.caption, measured, format | kDrawTextCalcRect);
    const PixelRect at = PlaceCaption(m_layout.captionArea, props.captionOffset, props.captionLayout,
                                      measured.bottom - measured.top);
    RECT text{at.left, at.top, at.right, at.bottom};
    s.DrawText(props.caption, text, format);
    SelectObject(s.Hdc(), previousFont);
}

void ButtonWindow::DrawGlyphs(MemDC& s, VisualState state, bool disabledLook) const {
    const OleColor glyph = disabledLook ? props.shadowColor : props.foreColor;
    if (m_layout.hasLine) s.DrawLine(m_layout.lineX, m_layout.lineTop, m_layout.lineX, m_layout.lineBottom, props.sepForeColor);
    if (m_layout.hasGrip) {
        for (int y : GripRows(m_layout.lineTop, m_layout.lineBottom, props.mainSepLineBetweenSpace))
            s.DrawLine(m_layout.gripLeft, y, m_layout.gripRight, y, props.sepForeColor);
    }
    if (m_layout.hasDropDown) {
        for (PixelPoint p : DropDownArrowPixels(m_layout.arrowCentre)) s.SetPixel(p.x, p.y, glyph);
        if (state != VisualState::Normal) Frame(s, m_layout.dropDown, props.edgeColor);
    }
    if (m_layout.hasChevron) {
        for (PixelPoint p : ChevronPixels(m_layout.glyphBox)) s.SetPixel(p.x, p.y, glyph);
        const auto corners = ChevronTriangle(m_layout.glyphBox);
        POINT triangle[3];
        for (size_t i = 0; i < 3; ++i) triangle[i] = {corners[i].x, corners[i].y};
        s.SetBrush(CreateSolidBrush(s.TranslateColor(glyph)));
        s.SetPen(CreatePen(PS_SOLID, 1, s.TranslateColor(glyph)));
        Polygon(s.Hdc(), triangle, 3);
    }
}

}  // namespace ostrel
