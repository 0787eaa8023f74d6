// Mouse and keyboard: button states by hit test, button condition actions, clip events.
#include <cmath>

#include "engine/movie/movie_clip.h"
#include "engine/movie/player.h"

namespace velmora::movie {

namespace {

constexpr int kMaxHitNesting = 8;

// The pixel (x, y) in the twips of a character drawn through `toPixels`.
bool LocalPoint(const Matrix& toPixels, double x, double y, PointF& p) {
    Matrix inverse;
    if (!InvertMatrix(toPixels, inverse)) return false;
    p = {inverse.a * x + inverse.c * y + inverse.tx, inverse.b * x + inverse.d * y + inverse.ty};
    return true;
}

bool HitShape(const Shape& shape, const Matrix& toPixels, double x, double y) {
    PointF p;
    return LocalPoint(toPixels, x, y, p) && raster::HitTestShape(shape, p);
}

// Hit test of a character as a button's hit state uses it: shapes, morphs at their start,
// and the first frame of a sprite.
bool HitCharacter(const MovieDefinition& def, uint16_t id, const Matrix& toPixels, double x, double y, int nesting) {
    const Character* c = def.Find(id);
    if (!c || nesting > kMaxHitNesting) return false;
    if (const Shape* s = c->AsShape()) return HitShape(*s, toPixels, x, y);
    if (const swf::MorphShape* m = c->AsMorph()) return HitShape(swf::InterpolateMorph(*m, 0), toPixels, x, y);
    if (const text::StaticText* t = c->AsText()) {
        // Text is hit anywhere in its bounds.
        PointF p;
        const RectTwips& b = t->bounds;
        return LocalPoint(toPixels, x, y, p) && p.x >= b.xMin && p.x <= b.xMax && p.y >= b.yMin && p.y <= b.yMax;
    }
    if (const Timeline* t = c->AsSprite()) {
        if (t->frames.empty()) return false;
        for (const FrameTag& tag : t->frames[0].tags) {
            const auto* p = std::get_if<swf::PlaceObject>(&tag);
            if (p && p->characterId &&
                HitCharacter(def, *p->characterId, toPixels * p->matrix.value_or(Matrix{}), x, y, nesting + 1))
                return true;
        }
    }
    return false;
}

bool HitButton(const DisplayObject& button, const Matrix& toPixels, double x, double y) {
    const ButtonDef* def = button.character->AsButton();
    for (const auto& rec : def->button.records)
        if ((rec.states & swf::kButtonHit) &&
            HitCharacter(*button.context.definition, rec.characterId, toPixels * rec.matrix, x, y, 0))
            return true;
    return false;
}

DisplayObject* FindButton(DisplayList& list, const Matrix& parent, double x, double y) {
    for (auto it = list.rbegin(); it != list.rend(); ++it) {
        DisplayObject& object = *it->second;
        if (!object.place.visible || object.place.clipDepth > 0) continue;
        Matrix m = parent * object.place.matrix;
        if (object.clip) {
            if (DisplayObject* hit = FindButton(object.clip->Children(), m, x, y)) return hit;
        } else if (object.character && object.character->AsButton() && HitButton(object, m, x, y)) {
            return &object;
        }
    }
    return nullptr;
}

}  // namespace

DisplayObject* Player::ButtonAt(double x, double y) {
    if (!m_root) return nullptr;
    return FindButton(m_root->clip->Children(), StageToPixels(m_lastWidth, m_lastHeight), x, y);
}

void Player::FireButton(DisplayObject& button, uint16_t condition) {
    const ButtonDef* def = button.character->AsButton();
    uint64_t target = button.parent ? button.parent->Owner().serial : button.serial;
    for (const auto& action : def->button.actions)
        if (action.conditions & condition)
            m_context.queue.push_back({target, action.actions, def->swfVersion, ActionSource::Button, condition});
    PlayButtonSound(button, condition);
}

void Player::PlayButtonSound(DisplayObject& button, uint16_t condition) {
    // DefineButtonSound's four transitions, in its order.
    static constexpr uint16_t kTransitions[] = {swf::kCondOverUpToIdle, swf::kCondIdleToOverUp,
                                                swf::kCondOverUpToOverDown, swf::kCondOverDownToOverUp};
    const ButtonDef* def = button.character->AsButton();
    if (!def->sounds) return;
    for (size_t i = 0; i < std::size(kTransitions); ++i) {
        const auto& start = def->sounds->transitions[i];
        if (condition != kTransitions[i] || !start) continue;
        if (const SoundDef* sound = m_context.definition->FindSound(start->id))
            m_mixer.Start(start->id, sound->Decoded(m_context.mp3), start->info,
                          button.parent ? button.parent->Owner().serial : audio::kGlobalOwner);
    }
}

void Player::SetHover(DisplayObject* button) {
    uint64_t next = button ? button->serial : 0;
    if (next == m_hover) return;
    DisplayObject* old = FindInstance(m_hover);
    if (m_pressed) {
        // Dragging with the button held: only the pressed button reacts.
        DisplayObject* pressed = FindInstance(m_pressed);
        if (pressed && old == pressed) {
            pressed->SetButtonPhase(ButtonPhase::Up);
            FireButton(*pressed, swf::kCondOverDownToOutDown);
        } else if (pressed && button == pressed) {
            pressed->SetButtonPhase(ButtonPhase::Down);
            FireButton(*pressed, swf::kCondOutDownToOverDown);
        }
    } else {
        if (old) {
            old->SetButtonPhase(ButtonPhase::Up);
            FireButton(*old, swf::kCondOverUpToIdle);
        }
        if (button) {
            button->SetButtonPhase(ButtonPhase::Over);
            FireButton(*button, swf::kCondIdleToOverUp);
        }
    }
    m_hover = next;
}

void Player::MouseMove(double x, double y) {
    SetHover(ButtonAt(x, y));
    QueueClipEvent(swf::kClipMouseMove);
    RunQueuedActions();
}

void Player::MouseDown(double x, double y) {
    SetHover(ButtonAt(x, y));
    m_mouseDown = true;
    ClickField(x, y);
    if (DisplayObject* button = FindInstance(m_hover)) {
        m_pressed = m_hover;
        button->SetButtonPhase(ButtonPhase::Down);
        FireButton(*button, swf::kCondOverUpToOverDown);
    }
    QueueClipEvent(swf::kClipMouseDown);
    RunQueuedActions();
}

void Player::MouseUp(double x, double y) {
    SetHover(ButtonAt(x, y));
    m_mouseDown = false;
    if (DisplayObject* pressed = FindInstance(m_pressed)) {
        if (m_pressed == m_hover) {
            pressed->SetButtonPhase(ButtonPhase::Over);
            FireButton(*pressed, swf::kCondOverDownToOverUp);
        } else {
            pressed->SetButtonPhase(ButtonPhase::Up);
            FireButton(*pressed, swf::kCondOutDownToIdle);
        }
    }
    m_pressed = 0;
    QueueClipEvent(swf::kClipMouseUp);
    RunQueuedActions();
}

void Player::KeyDown(uint8_t keyCode) {
    m_keysDown.set(keyCode);
    m_lastKey = keyCode;
    if (!m_root) return;
    EditFocusedField(keyCode);
    ForEachInstance(m_root->clip->Children(), [&](DisplayObject& object) {
        const ButtonDef* def = object.character ? object.character->AsButton() : nullptr;
        if (!def) return;
        uint64_t target = object.parent ? object.parent->Owner().serial : object.serial;
        for (const auto& action : def->button.actions)
            if (swf::ButtonKeyCode(action.conditions) == keyCode)
                m_context.queue.push_back({target, action.actions, def->swfVersion, ActionSource::Button,
                                           action.conditions});
    });
    QueueClipEvent(swf::kClipKeyDown);
    QueueClipEvent(swf::kClipKeyPress, keyCode);
    RunQueuedActions();
}

void Player::KeyUp(uint8_t keyCode) {
    m_keysDown.reset(keyCode);
    QueueClipEvent(swf::kClipKeyUp);
    RunQueuedActions();
}

}  // namespace velmora::movie
