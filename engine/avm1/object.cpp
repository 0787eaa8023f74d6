#include "engine/avm1/object.h"

#include <cmath>

#include "engine/avm1/vm.h"

namespace velmora::avm1 {

bool VisibleInVersion(uint16_t flags, int swfVersion) {
    if ((flags & kOnlySwf6Up) && swfVersion < 6) return false;
    if ((flags & kIgnoreSwf6) && swfVersion == 6) return false;
    if ((flags & kOnlySwf7Up) && swfVersion < 7) return false;
    if ((flags & kOnlySwf8Up) && swfVersion < 8) return false;
    if ((flags & kOnlySwf9Up) && swfVersion < 9) return false;
    if ((flags & kOnlySwf10Up) && swfVersion < 10) return false;
    return true;
}

size_t Object::IndexOf(std::string_view name, int swfVersion) const {
    auto it = m_index.find(std::string(name));
    if (it != m_index.end()) return it->second;
    if (swfVersion < 7) {
        for (size_t i = 0; i < m_slots.size(); ++i)
            if (NamesEqual(m_slots[i].name, name, false)) return i;
    }
    return m_slots.size();
}

void Object::Reindex() {
    m_index.clear();
    for (size_t i = 0; i < m_slots.size(); ++i) m_index.emplace(m_slots[i].name, i);
}

Property* Object::FindOwn(std::string_view name, int swfVersion) {
    size_t i = IndexOf(name, swfVersion);
    if (i == m_slots.size() || !VisibleInVersion(m_slots[i].flags, swfVersion)) return nullptr;
    return &m_slots[i];
}

Property& Object::SetOwn(std::string_view name, Value value, int swfVersion) {
    size_t i = IndexOf(name, swfVersion);
    if (i < m_slots.size()) {
        m_slots[i].value = std::move(value);
        return m_slots[i];
    }
    m_slots.push_back(Property{std::string(name), std::move(value)});
    m_index.emplace(m_slots.back().name, m_slots.size() - 1);
    return m_slots.back();
}

Property& Object::Define(std::string_view name, Value value, uint16_t flags) {
    Property& p = SetOwn(name, std::move(value), 7);
    p.getter = p.setter = nullptr;
    p.flags = flags;
    return p;
}

bool Object::DeleteOwn(std::string_view name, int swfVersion) {
    size_t i = IndexOf(name, swfVersion);
    if (i == m_slots.size() || (m_slots[i].flags & kDontDelete)) return false;
    m_slots.erase(m_slots.begin() + static_cast<std::ptrdiff_t>(i));
    Reindex();
    return true;
}

void Object::TraceRefs(std::vector<Object*>& out) const {
    if (m_proto) out.push_back(m_proto);
    if (m_internal.AsObject()) out.push_back(m_internal.AsObject());
    if (m_data) m_data->TraceRefs(out);
    for (const Property& p : m_slots) {
        if (p.value.AsObject()) out.push_back(p.value.AsObject());
        if (p.getter) out.push_back(p.getter);
        if (p.setter) out.push_back(p.setter);
    }
    for (const Watcher& w : m_watchers) {
        if (w.callback) out.push_back(w.callback);
        if (w.userData.AsObject()) out.push_back(w.userData.AsObject());
    }
}

void FunctionObject::TraceRefs(std::vector<Object*>& out) const {
    Object::TraceRefs(out);
    for (const Scope* s = m_scope.get(); s; s = s->parent.get())
        if (s->object) out.push_back(s->object);
    if (m_baseClip) out.push_back(m_baseClip);
}

// --- arrays ---

void ArrayObject::TrackHoles() {
    if (!m_tracking) m_present.assign(m_elements.size(), true);
    m_tracking = true;
}

void ArrayObject::SetLength(size_t n) {
    if (n > m_elements.size()) TrackHoles();
    m_elements.resize(n);
    if (m_tracking) m_present.resize(n, false);
}

void ArrayObject::Push(Value v) {
    if (m_tracking) m_present.push_back(true);
    m_elements.push_back(std::move(v));
}

bool ArrayObject::GetNative(Vm&, std::string_view name, Value& out) {
    if (name == "length") {
        out = Value::Number(static_cast<double>(m_elements.size()));
        return true;
    }
    int64_t i = ArrayIndexOf(name);
    if (i < 0 || static_cast<size_t>(i) >= m_elements.size() || !Present(static_cast<size_t>(i))) return false;
    out = m_elements[static_cast<size_t>(i)];
    return true;
}

bool ArrayObject::SetNative(Vm& vm, std::string_view name, const Value& v) {
    if (name == "length") {
        double n = vm.ToNumber(v);
        if (std::isfinite(n) && n >= 0 && n < 1e8) SetLength(static_cast<size_t>(n));
        return true;
    }
    int64_t i = ArrayIndexOf(name);
    if (i < 0 || i >= 100'000'000) return false;  // huge sparse indices stay plain slots
    auto index = static_cast<size_t>(i);
    if (index == m_elements.size()) {
        Push(v);
        return true;
    }
    if (index > m_elements.size()) SetLength(index + 1);
    m_elements[index] = v;
    if (m_tracking) m_present[index] = true;
    return true;
}

bool ArrayObject::HasNative(Vm&, std::string_view name) {
    int64_t i = ArrayIndexOf(name);
    return name == "length" || (i >= 0 && static_cast<size_t>(i) < m_elements.size() && Present(static_cast<size_t>(i)));
}

void ArrayObject::NativeKeys(Vm&, std::vector<std::string>& keys) {
    for (size_t i = 0; i < m_elements.size(); ++i)
        if (Present(i)) keys.push_back(std::to_string(i));
}

void ArrayObject::TraceRefs(std::vector<Object*>& out) const {
    Object::TraceRefs(out);
    for (const Value& v : m_elements)
        if (v.AsObject()) out.push_back(v.AsObject());
}

// --- display objects ---

namespace {

constexpr std::string_view kClipPropNames[kClipPropCount] = {
    "_x", "_y", "_xscale", "_yscale", "_currentframe", "_totalframes", "_alpha", "_visible",
    "_width", "_height", "_rotation", "_target", "_framesloaded", "_name", "_droptarget", "_url",
    "_highquality", "_focusrect", "_soundbuftime", "_quality", "_xmouse", "_ymouse",
};

Value FromHost(const HostValue& v) {
    switch (v.kind) {
    case HostValue::Kind::Number: return Value::Number(v.number);
    case HostValue::Kind::String: return Value::String(v.text);
    case HostValue::Kind::Boolean: return Value::Bool(v.number != 0);
    case HostValue::Kind::Null: return Value::Null();
    case HostValue::Kind::Undefined: break;
    }
    return {};
}

}  // namespace

int ClipPropIndex(std::string_view name) {
    for (int i = 0; i < kClipPropCount; ++i)
        if (NamesEqual(kClipPropNames[i], name, false)) return i;
    return -1;
}

std::string_view ClipPropName(ClipProp prop) { return kClipPropNames[static_cast<int>(prop)]; }

std::string_view ClipObject::TypeOf() const {
    return m_displayKind == ClipKind::MovieClip ? "movieclip" : "object";
}

bool ClipObject::GetNative(Vm& vm, std::string_view name, Value& out) {
    DisplayHost* display = vm.Display();
    ClipId clip = vm.LiveClip(this);
    if (!display || !clip) return false;
    bool cs = vm.CaseSensitive();
    if (ClipId child = display->ChildByName(clip, name, cs)) {
        out = Value::Obj(vm.ObjectForClip(child));
        return true;
    }
    if (!name.empty() && name[0] == '_') {
        int prop = ClipPropIndex(name);
        if (prop >= 0) {
            auto p = static_cast<ClipProp>(prop);
            if (p == ClipProp::Target) {
                out = Value::String(vm.SlashTargetPath(clip));
            } else {
                out = FromHost(display->GetProperty(clip, p));
            }
            return true;
        }
        if (NamesEqual(name, "_parent", false)) {
            ClipId parent = display->Parent(clip);
            out = parent ? Value::Obj(vm.ObjectForClip(parent)) : Value();
            return true;
        }
        // A clip's own variable may hide _global, a prototype's may not.
        if (NamesEqual(name, "_global", false)) {
            out = Value::Obj(vm.Global());
            return true;
        }
        if (NamesEqual(name, "_root", false)) {
            out = Value::Obj(vm.RootOf(this));
            return true;
        }
        if (int level = LevelNumberOf(name, vm.CaseSensitive()); level >= 0) {
            ClipId id = display->Level(level);
            if (!id) return false;
            out = Value::Obj(vm.ObjectForClip(id));
            return true;
        }
    }
    if (m_displayKind != ClipKind::MovieClip) {
        HostValue hv;
        if (display->GetNativeProperty(clip, name, hv)) {
            out = FromHost(hv);
            return true;
        }
    }
    return false;
}

bool ClipObject::SetNative(Vm& vm, std::string_view name, const Value& v) {
    DisplayHost* display = vm.Display();
    ClipId clip = vm.LiveClip(this);
    if (!display || !clip) return false;
    if (!name.empty() && name[0] == '_') {
        int prop = ClipPropIndex(name);
        if (prop >= 0) {
            auto p = static_cast<ClipProp>(prop);
            switch (p) {
            case ClipProp::Name:
            case ClipProp::Quality: display->SetProperty(clip, p, HostValue::String(vm.ToString(v))); break;
            case ClipProp::Visible:
            case ClipProp::HighQuality:
            case ClipProp::FocusRect:
                // Flash ignores a value that is not a number here.
                if (double n = vm.ToNumber(v); !std::isnan(n)) display->SetProperty(clip, p, HostValue::Number(n));
                break;
            default: display->SetProperty(clip, p, HostValue::Number(vm.ToNumber(v))); break;
            }
            return true;
        }
    }
    if (m_displayKind != ClipKind::MovieClip) {
        HostValue hv;
        switch (v.Type()) {
        case ValueType::Number: hv = HostValue::Number(v.AsNumber()); break;
        case ValueType::Boolean: hv = HostValue::Boolean(v.AsBool()); break;
        case ValueType::Undefined: break;
        case ValueType::Null: hv = HostValue::Null(); break;
        default: hv = HostValue::String(vm.ToString(v)); break;
        }
        if (display->SetNativeProperty(clip, name, hv)) return true;
    }
    return false;
}

bool ClipObject::HasNative(Vm& vm, std::string_view name) {
    Value ignored;
    return GetNative(vm, name, ignored);
}

void ClipObject::NativeKeys(Vm& vm, std::vector<std::string>& keys) {
    DisplayHost* display = vm.Display();
    ClipId clip = vm.LiveClip(this);
    if (!display || !clip) return;
    for (ClipId child : display->Children(clip)) {
        HostValue name = display->GetProperty(child, ClipProp::Name);
        if (!name.text.empty()) keys.push_back(name.text);
    }
}

}  // namespace velmora::avm1
