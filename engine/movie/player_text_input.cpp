// Keyboard and mouse input for text fields: focus by click, caret placement, typing
// and the editing keys of the focused field.
#include "engine/movie/movie_clip.h"
#include "engine/movie/player.h"

namespace velmora::movie {

namespace {

constexpr double kTwips = 20;
constexpr uint8_t kShiftKey = 16;

DisplayObject* FindField(DisplayList& list, const Matrix& parent, double x, double y, double& lx, double& ly) {
    for (auto it = list.rbegin(); it != list.rend(); ++it) {
        DisplayObject& object = *it->second;
        if (!object.place.visible || object.place.clipDepth > 0) continue;
        const Matrix m = parent * object.place.matrix;
        if (object.clip) {
            if (DisplayObject* hit = FindField(object.clip->Children(), m, x, y, lx, ly)) return hit;
            continue;
        }
        if (!object.editText) continue;
        Matrix inverse;
        if (!InvertMatrix(m, inverse)) continue;
        const double tx = inverse.a * x + inverse.c * y + inverse.tx, ty = inverse.b * x + inverse.d * y + inverse.ty;
        const RectTwips box = object.editText->Box();
        if (tx >= box.xMin && tx <= box.xMax && ty >= box.yMin && ty <= box.yMax) {
            lx = (tx - box.xMin) / kTwips;
            ly = (ty - box.yMin) / kTwips;
            return &object;
        }
    }
    return nullptr;
}

}  // namespace

text::EditText* Player::FocusedField() {
    DisplayObject* o = FindInstance(m_focus);
    return o ? o->editText.get() : nullptr;
}

DisplayObject* Player::FieldAt(double x, double y, double& localX, double& localY) {
    if (!m_root) return nullptr;
    return FindField(m_root->clip->Children(), StageToPixels(m_lastWidth, m_lastHeight), x, y, localX, localY);
}

void Player::ClickField(double x, double y) {
    double lx = 0, ly = 0;
    DisplayObject* field = FieldAt(x, y, lx, ly);
    if (!field || !(field->editText->selectable || field->editText->editable)) return;
    m_focus = field->serial;
    const size_t at = field->editText->IndexAt(lx, ly);
    field->editText->SetSelection(at, at);
    m_context.changed = true;
}

void Player::TypeChar(char32_t codePoint) {
    DisplayObject* o = FindInstance(m_focus);
    if (!o || !o->editText || !o->editText->Type(codePoint)) return;
    m_context.changed = true;
    if (m_callbacks.textChanged) m_callbacks.textChanged(o->serial);
}

bool Player::EditFocusedField(uint8_t keyCode) {
    text::EditText* field = FocusedField();
    if (!field) return false;
    switch (keyCode) {
    case 8: case 13: case 35: case 36: case 37: case 38: case 39: case 40: case 46: break;
    default: return false;
    }
    const size_t length = field->Length();
    // Enter reaches the field as a typed character (WM_CHAR carries it too).
    if (keyCode == 13 || !field->Key(static_cast<text::EditKey>(keyCode), m_keysDown.test(kShiftKey))) return false;
    m_context.changed = true;
    if (field->Length() != length && m_callbacks.textChanged) m_callbacks.textChanged(m_focus);
    return true;
}

}  // namespace velmora::movie
