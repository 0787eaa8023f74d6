// Text fields seen from script: their properties, formats, text replacement, keyboard
// focus and selection, and variables bound to fields.
#include <cmath>
#include <string>

#include "engine/movie/movie_clip.h"
#include "engine/script/movie_bridge.h"

namespace velmora::script {

using avm1::NamesEqual;
using text::AutoSize;
using text::EditText;

namespace {

constexpr double kTwips = 20;
constexpr const char* kAutoSizeNames[] = {"none", "left", "center", "right"};

bool Truthy(const HostValue& v) {
    switch (v.kind) {
    case HostValue::Kind::Number:
    case HostValue::Kind::Boolean: return v.number != 0 && !std::isnan(v.number);
    case HostValue::Kind::String: return !v.text.empty();
    default: return false;
    }
}

double NumberOf(const HostValue& v) {
    switch (v.kind) {
    case HostValue::Kind::Number:
    case HostValue::Kind::Boolean: return v.number;
    case HostValue::Kind::String: return avm1::StringToNumber(v.text, 7);
    case HostValue::Kind::Null: return 0;
    default: return std::nan("");
    }
}

std::string TextOf(const HostValue& v) {
    switch (v.kind) {
    case HostValue::Kind::String: return v.text;
    case HostValue::Kind::Boolean: return v.number != 0 ? "true" : "false";
    case HostValue::Kind::Number: return avm1::NumberToString(v.number);
    case HostValue::Kind::Null: return "null";
    default: return "undefined";
    }
}

HostValue Number(double n) { return HostValue::Number(n); }
HostValue Bool(bool b) { return HostValue::Boolean(b); }

}  // namespace

text::EditText* MovieBridge::Field(ClipId clip) {
    movie::DisplayObject* o = Find(clip);
    return o ? o->editText.get() : nullptr;
}

ClipId MovieBridge::CreateTextField(ClipId parent, std::string_view name, int depth, const Bounds& box) {
    movie::MovieClip* t = Timeline(parent);
    auto listDepth = ListDepth(depth);
    if (!t || !listDepth) return kNoClip;
    auto twips = [](double px) { return static_cast<int32_t>(std::lround(std::isfinite(px) ? px * kTwips : 0)); };
    // The box sits at the origin; the position is the instance's translation.
    RectTwips rect{0, twips(box.xMax - box.xMin), 0, twips(box.yMax - box.yMin)};
    movie::DisplayObject* child = t->AttachTextField(*listDepth, name, rect);
    if (!child) return kNoClip;
    child->place.matrix.tx = twips(box.xMin);
    child->place.matrix.ty = twips(box.yMin);
    return child->serial;
}

bool MovieBridge::GetNativeProperty(ClipId clip, std::string_view name, HostValue& out) {
    EditText* f = Field(clip);
    if (!f) return false;
    const bool cs = m_vm && m_vm->CaseSensitive();
    auto is = [&](std::string_view key) { return NamesEqual(name, key, cs); };
    if (is("text")) {
        PullVariable(clip);
        out = HostValue::String(f->Text());
    } else if (is("htmlText")) {
        PullVariable(clip);
        out = HostValue::String(f->HtmlText());
    } else if (is("html")) out = Bool(f->html);
    else if (is("length")) out = Number(static_cast<double>(f->Length()));
    else if (is("textColor")) out = Number(f->NewTextFormat().color.value_or(0));
    else if (is("background")) out = Bool(f->background);
    else if (is("backgroundColor")) out = Number(f->backgroundColor);
    else if (is("border")) out = Bool(f->border);
    else if (is("borderColor")) out = Number(f->borderColor);
    else if (is("autoSize")) out = HostValue::String(kAutoSizeNames[static_cast<int>(f->autoSize)]);
    else if (is("wordWrap")) out = Bool(f->wordWrap);
    else if (is("multiline")) out = Bool(f->multiline);
    else if (is("type")) out = HostValue::String(f->editable ? "input" : "dynamic");
    else if (is("selectable")) out = Bool(f->selectable);
    else if (is("password")) out = Bool(f->password);
    else if (is("embedFonts")) out = Bool(f->embedFonts);
    else if (is("condenseWhite")) out = Bool(f->condenseWhite);
    else if (is("maxChars")) out = f->maxChars > 0 ? Number(f->maxChars) : HostValue::Null();
    else if (is("restrict")) out = f->restrict ? HostValue::String(*f->restrict) : HostValue::Null();
    else if (is("variable")) out = f->variable.empty() ? HostValue::Null() : HostValue::String(f->variable);
    else if (is("scroll")) out = Number(f->Scroll());
    else if (is("maxscroll")) out = Number(f->MaxScroll());
    else if (is("bottomScroll")) out = Number(f->BottomScroll());
    else if (is("hscroll")) out = Number(f->HScroll());
    else if (is("maxhscroll")) out = Number(f->MaxHScroll());
    else if (is("textWidth")) out = Number(std::trunc(f->TextWidth()));
    else if (is("textHeight")) out = Number(std::trunc(f->TextHeight()));
    else if (is("tabIndex")) out = f->tabIndex >= 0 ? Number(f->tabIndex) : HostValue{};
    else if (is("mouseWheelEnabled")) out = Bool(true);
    else return false;
    return true;
}

bool MovieBridge::SetNativeProperty(ClipId clip, std::string_view name, const HostValue& v) {
    EditText* f = Field(clip);
    if (!f) return false;
    const bool cs = m_vm && m_vm->CaseSensitive();
    auto is = [&](std::string_view key) { return NamesEqual(name, key, cs); };
    auto color = [&](uint32_t& field) {
        const double n = NumberOf(v);
        if (!std::isnan(n)) field = text::ColorFromNumber(n);
    };
    if (is("text")) {
        f->SetText(TextOf(v));
        PushVariable(clip);
    } else if (is("htmlText")) {
        f->SetHtmlText(TextOf(v));
        PushVariable(clip);
    } else if (is("html")) f->html = Truthy(v);
    else if (is("textColor")) {
        const double n = NumberOf(v);
        if (std::isnan(n)) return true;
        text::TextFormat c;
        c.color = text::ColorFromNumber(n);
        f->SetFormat(0, f->Length(), c);
        f->SetNewTextFormat(c);
    } else if (is("background")) f->background = Truthy(v);
    else if (is("backgroundColor")) color(f->backgroundColor);
    else if (is("border")) f->border = Truthy(v);
    else if (is("borderColor")) color(f->borderColor);
    else if (is("autoSize")) {
        AutoSize a = AutoSize::None;
        if (v.kind == HostValue::Kind::Boolean) {
            a = v.number != 0 ? AutoSize::Left : AutoSize::None;
        } else {
            const std::string s = avm1::FoldCase(TextOf(v));
            for (int i = 0; i < 4; ++i)
                if (s == kAutoSizeNames[i]) a = static_cast<AutoSize>(i);
        }
        f->autoSize = a;
    } else if (is("wordWrap")) f->wordWrap = Truthy(v);
    else if (is("multiline")) f->multiline = Truthy(v);
    else if (is("type")) {
        const std::string s = avm1::FoldCase(TextOf(v));
        if (s == "input" || s == "dynamic") f->editable = s == "input";
    } else if (is("selectable")) f->selectable = Truthy(v);
    else if (is("password")) f->password = Truthy(v);
    else if (is("embedFonts")) f->embedFonts = Truthy(v);
    else if (is("condenseWhite")) f->condenseWhite = Truthy(v);
    else if (is("maxChars")) {
        const double n = NumberOf(v);
        f->maxChars = std::isfinite(n) && n > 0 ? static_cast<int>(n) : 0;
    } else if (is("restrict")) {
        if (v.kind == HostValue::Kind::Null || v.kind == HostValue::Kind::Undefined) f->restrict.reset();
        else f->restrict = TextOf(v);
    } else if (is("variable")) {
        f->variable = v.kind == HostValue::Kind::Null || v.kind == HostValue::Kind::Undefined ? "" : TextOf(v);
        PullVariable(clip);
    } else if (is("scroll")) f->SetScroll(NumberOf(v));
    else if (is("hscroll")) f->SetHScroll(NumberOf(v));
    else if (is("tabIndex")) {
        const double n = NumberOf(v);
        f->tabIndex = std::isfinite(n) && n >= 0 ? static_cast<int>(n) : -1;
    } else if (is("length") || is("maxscroll") || is("bottomScroll") || is("maxhscroll") || is("textWidth") ||
               is("textHeight")) {
        // read-only
    } else {
        return false;
    }
    if (movie::DisplayObject* o = Find(clip)) o->context.changed = true;
    return true;
}

bool MovieBridge::GetTextFormat(ClipId clip, int begin, int end, bool newText, text::TextFormat& out) {
    EditText* f = Field(clip);
    if (!f) return false;
    if (newText) {
        out = f->NewTextFormat();
        return true;
    }
    const size_t length = f->Length();
    const size_t b = begin < 0 ? 0 : static_cast<size_t>(begin);
    const size_t e = end < 0 ? length : static_cast<size_t>(end);
    out = f->GetFormat(b, e);
    return true;
}

void MovieBridge::SetTextFormat(ClipId clip, int begin, int end, bool newText, const text::TextFormat& format) {
    EditText* f = Field(clip);
    if (!f) return;
    if (newText) {
        f->SetNewTextFormat(format);
        return;
    }
    const size_t b = begin < 0 ? 0 : static_cast<size_t>(begin);
    const size_t e = end < 0 ? f->Length() : static_cast<size_t>(end);
    f->SetFormat(b, e, format);
}

void MovieBridge::ReplaceText(ClipId clip, int begin, int end, std::string_view utf8) {
    EditText* f = Field(clip);
    if (!f) return;
    if (begin < 0) {
        f->ReplaceSelection(utf8);
    } else {
        f->ReplaceText(static_cast<size_t>(begin), static_cast<size_t>(end), utf8);
    }
    PushVariable(clip);
}

void MovieBridge::SetFocus(ClipId clip) { m_player.SetFocus(clip); }

ClipId MovieBridge::Focus() { return Find(m_player.Focus()) ? m_player.Focus() : kNoClip; }

void MovieBridge::GetSelection(int& begin, int& end, int& caret) {
    begin = end = caret = -1;
    EditText* f = Field(Focus());
    if (!f) return;
    begin = static_cast<int>(f->SelectionBegin());
    end = static_cast<int>(f->SelectionEnd());
    caret = static_cast<int>(f->Caret());
}

void MovieBridge::SetSelection(int begin, int end) {
    if (EditText* f = Field(Focus()))
        f->SetSelection(static_cast<size_t>(std::max(0, begin)), static_cast<size_t>(std::max(0, end)));
}

// --- variables bound to fields ---

bool MovieBridge::BoundVariable(ClipId clip, avm1::Object*& scope, std::string& name) {
    EditText* f = Field(clip);
    movie::DisplayObject* o = Find(clip);
    if (!m_vm || !f || !o || f->variable.empty() || !o->parent) return false;
    // "a.b.c", "/a/b:c" and "a:c": the last part names the variable, the rest its timeline.
    const std::string& v = f->variable;
    size_t split = v.find_last_of(":.");
    avm1::Object* base = m_vm->ObjectForClip(o->parent->Owner().serial);
    if (split == std::string::npos) {
        scope = base;
        name = v;
    } else {
        scope = m_vm->ResolvePath(base, std::string_view(v).substr(0, split), base);
        name = v.substr(split + 1);
    }
    return scope && !name.empty();
}

void MovieBridge::PullVariable(ClipId clip) {
    avm1::Object* scope = nullptr;
    std::string name;
    if (!BoundVariable(clip, scope, name)) return;
    EditText* f = Field(clip);
    avm1::Value value = m_vm->Get(scope, name);
    if (value.IsUndefined()) {
        // An unset variable takes the field's text; an empty field leaves it unset.
        if (f->Length() > 0) m_vm->Set(scope, name, avm1::Value::String(f->Text()));
        return;
    }
    std::string text = m_vm->ToString(value);
    if (text != (f->html ? f->HtmlText() : f->Text())) f->SetContent(text);
}

void MovieBridge::PushVariable(ClipId clip) {
    avm1::Object* scope = nullptr;
    std::string name;
    if (BoundVariable(clip, scope, name)) m_vm->Set(scope, name, avm1::Value::String(Field(clip)->Text()));
}

void MovieBridge::FieldEdited(ClipId clip) {
    if (!m_vm || !Field(clip)) return;
    PushVariable(clip);
    avm1::Value field = avm1::Value::Obj(m_vm->ObjectForClip(clip));
    m_vm->CallClipMethod(clip, "onChanged", std::span<const avm1::Value>(&field, 1));
    avm1::Value args[2] = {avm1::Value::String("onChanged"), field};
    m_vm->CallValue(m_vm->Get(field.AsObject(), "broadcastMessage"), field, args);
}

void MovieBridge::SyncTextFields() {
    movie::MovieClip* root = m_player.Root();
    if (!root) return;
    std::vector<ClipId> fields;
    movie::ForEachInstance(root->Children(), [&](movie::DisplayObject& o) {
        if (o.editText && !o.editText->variable.empty()) fields.push_back(o.serial);
    });
    for (ClipId clip : fields) PullVariable(clip);
}

}  // namespace velmora::script
