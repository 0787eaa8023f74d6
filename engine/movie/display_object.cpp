#include "engine/movie/display_object.h"

#include <cmath>
#include <string>

#include "engine/movie/movie_clip.h"
#include "engine/movie/text_field_render.h"

namespace velmora::movie {

DisplayObject::DisplayObject(PlayContext& ctx, const Character* ch, uint16_t id, int32_t d, int n, MovieClip* p)
    : context(ctx), serial(ctx.nextSerial++), character(ch), characterId(id), depth(d), nesting(n), parent(p),
      createdTick(ctx.tick) {
    context.live[serial] = this;
}

DisplayObject::~DisplayObject() {
    // The script side still resolves our path here: parent and name are intact.
    if (context.removing) context.removing(serial);
    // Children first, so their serials leave the live table before ours.
    buttonChildren.clear();
    clip.reset();
    context.live.erase(serial);
    context.changed = true;
}

const Shape* DisplayObject::DrawnShape() {
    if (!character) return drawing ? drawing->Current() : nullptr;
    if (const Shape* s = character->AsShape()) return s;
    const swf::MorphShape* morph = character->AsMorph();
    if (!morph) return drawing ? drawing->Current() : nullptr;
    if (!m_morph || m_morphRatio != place.ratio) {
        m_morph = std::make_shared<const Shape>(swf::InterpolateMorph(*morph, place.ratio));
        m_morphRatio = place.ratio;
    }
    return m_morph.get();
}

const text::TextPicture* DisplayObject::DrawnText() {
    if (editText) {
        const RectTwips box = editText->Box();
        if (context.fieldFonts && (!m_text || m_textVersion != editText->version || !(m_textBox == box))) {
            // The new picture is made before the old one goes, so the draw list sees a new address.
            m_text = std::make_unique<const text::TextPicture>(TextFieldPicture(*editText, *context.fieldFonts));
            m_textVersion = editText->version;
            m_textBox = box;
        }
        return m_text.get();
    }
    const text::StaticText* staticText = character ? character->AsText() : nullptr;
    if (!staticText) return nullptr;
    if (!m_text) {
        const MovieDefinition* def = context.definition;
        auto fonts = [def](uint16_t id) {
            const Character* c = def->Find(id);
            return c ? c->AsFont() : nullptr;
        };
        m_text = std::make_unique<const text::TextPicture>(text::BuildStaticText(*staticText, fonts, context.fonts));
    }
    return m_text.get();
}

void DisplayObject::SetButtonPhase(ButtonPhase phase) {
    const ButtonDef* def = character ? character->AsButton() : nullptr;
    if (!def || (phase == buttonPhase && !buttonChildren.empty())) return;
    buttonPhase = phase;
    buttonChildren.clear();
    const uint8_t bit = phase == ButtonPhase::Up ? swf::kButtonUp
                        : phase == ButtonPhase::Over ? swf::kButtonOver : swf::kButtonDown;
    for (const auto& rec : def->button.records) {
        if (!(rec.states & bit) || buttonChildren.count(rec.depth)) continue;
        auto child = CreateInstance(context, rec.characterId, rec.depth, nesting + 1, parent, {});
        if (!child) continue;
        child->button = this;
        child->place.matrix = rec.matrix;
        child->place.colorTransform = def->legacyTransform ? *def->legacyTransform : rec.colorTransform;
        child->place.blendMode = rec.blendMode;
        child->place.filters = rec.filters;
        if (child->clip) child->clip->EnsureStarted();
        buttonChildren.emplace(rec.depth, std::move(child));
    }
    context.changed = true;
}

bool InvertMatrix(const Matrix& m, Matrix& out) {
    double det = m.a * m.d - m.b * m.c;
    if (std::abs(det) < 1e-12) return false;
    out.a = m.d / det;
    out.b = -m.b / det;
    out.c = -m.c / det;
    out.d = m.a / det;
    out.tx = -(out.a * m.tx + out.c * m.ty);
    out.ty = -(out.b * m.tx + out.d * m.ty);
    return true;
}

std::unique_ptr<DisplayObject> CreateInstance(PlayContext& context, uint16_t characterId, int32_t depth,
                                              int nesting, MovieClip* parent, std::string_view name) {
    const Character* ch = context.definition->Find(characterId);
    if (!ch || context.live.size() > kMaxInstances) return nullptr;
    auto object = std::make_unique<DisplayObject>(context, ch, characterId, depth, nesting, parent);
    // Only what scripts can address takes a default name; shapes, morphs, bitmaps and
    // static text use up no number.
    if (!name.empty()) object->place.name = std::string(name);
    else if (!ch->AsShape() && !ch->AsMorph() && !ch->AsBitmap() && !ch->AsText())
        object->place.name = "instance" + std::to_string(context.nextInstanceName++);
    if (nesting > kMaxInstanceNesting) return object;  // drawn as nothing
    if (const Timeline* t = ch->AsSprite()) {
        object->clip = std::make_unique<MovieClip>(context, *object, *t, false);
    } else if (ch->AsButton()) {
        object->SetButtonPhase(ButtonPhase::Up);
    } else if (const EditTextCharacter* e = ch->AsEditText()) {
        const std::string font = e->def.fontId ? EmbeddedFontName(context, *e->def.fontId) : std::string();
        object->editText = std::make_unique<text::EditText>(e->def, e->initialText, font);
        object->editText->variable = e->variableName;
        object->editText->SetMeasurer(context.fieldFonts);
    }
    return object;
}

}  // namespace velmora::movie
