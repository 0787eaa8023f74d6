// Display objects as script objects: identity, paths and path resolution.
#include <string>

#include "engine/avm1/vm.h"

namespace velmora::avm1 {

ClipObject* Vm::ObjectForClip(ClipId clip) {
    if (!clip) return nullptr;
    auto it = m_clipObjects.find(clip);
    if (it != m_clipObjects.end()) return it->second;
    ClipKind kind = m_display ? m_display->Kind(clip) : ClipKind::MovieClip;
    Object* proto = kind == ClipKind::Button      ? m_protos.button
                    : kind == ClipKind::TextField ? m_protos.textField
                                                  : m_protos.movieClip;
    auto* obj = Make<ClipObject>(proto, clip);
    obj->SetDisplayKind(kind);
    m_clipObjects.emplace(clip, obj);
    return obj;
}

bool Vm::HasClipMethod(ClipId clip, std::string_view name) {
    auto it = m_clipObjects.find(clip);
    if (it == m_clipObjects.end()) return false;
    for (Object* o = it->second; o; o = o->Proto()) {
        if (const Property* p = o->FindOwn(name, m_version))
            return !p->IsVirtual() && p->value.AsObject() && p->value.AsObject()->AsFunction();
    }
    return false;
}

RunStatus Vm::ConstructClip(ClipId clip, FunctionObject* ctor) {
    ClipObject* obj = ObjectForClip(clip);
    if (!obj || !ctor) return RunStatus::Completed;
    return Guarded([&] { MakeInstance(obj, ctor, nullptr); });
}

void Vm::MakeInstance(ClipObject* obj, FunctionObject* ctor, Object* props) {
    if (ctor) {
        if (Object* proto = Get(ctor, "prototype").AsObject()) obj->SetProto(proto);
        obj->Define("__constructor__", Value::Obj(ctor), kDontEnum);
        if (m_version < 7) obj->Define("constructor", Value::Obj(ctor), kDontEnum);
    }
    if (props) {
        for (const std::string& key : EnumerableKeys(props)) Set(obj, key, Get(props, key));
    }
    if (ctor) Call(ctor, Value::Obj(obj), {});
}

void Vm::ClipRemoved(ClipId clip) {
    auto it = m_clipObjects.find(clip);
    if (it == m_clipObjects.end()) return;
    it->second->Detach(TargetPath(clip));
    m_clipObjects.erase(it);
}

ClipId Vm::LiveClip(ClipObject* obj) {
    if (!obj || !m_display) return kNoClip;
    if (obj->Clip()) return m_display->IsAlive(obj->Clip()) ? obj->Clip() : kNoClip;
    if (obj->DeadPath().empty()) return kNoClip;
    Object* found = ResolvePath(nullptr, obj->DeadPath(), nullptr);
    ClipObject* live = found ? found->AsClip() : nullptr;
    return live && live != obj ? live->Clip() : kNoClip;
}

Object* Vm::Redirect(Object* obj) {
    ClipObject* clip = obj ? obj->AsClip() : nullptr;
    if (!clip || clip->Clip() || clip->DeadPath().empty()) return obj;
    ClipId live = LiveClip(clip);
    return live ? ObjectForClip(live) : obj;
}

Object* Vm::RootObject() {
    if (m_display) {
        if (ClipId root = m_display->Level(0)) return ObjectForClip(root);
    }
    if (!m_rootFallback) m_rootFallback = NewObject();
    return m_rootFallback;
}

std::string Vm::TargetPath(ClipId clip) {
    if (!m_display || !clip) return {};
    ClipId parent = m_display->Parent(clip);
    if (!parent) {
        for (int level = 0; level < 1000; ++level)
            if (m_display->Level(level) == clip) return "_level" + std::to_string(level);
        return "_level0";
    }
    return TargetPath(parent) + "." + m_display->GetProperty(clip, ClipProp::Name).text;
}

std::string Vm::SlashTargetPath(ClipId clip) {
    if (!m_display || !clip) return {};
    ClipId parent = m_display->Parent(clip);
    if (!parent) {
        if (m_display->Level(0) == clip) return "/";
        for (int level = 1; level < 1000; ++level)
            if (m_display->Level(level) == clip) return "_level" + std::to_string(level);
        return "/";
    }
    std::string up = SlashTargetPath(parent);
    if (up != "/") up += "/";
    return up + m_display->GetProperty(clip, ClipProp::Name).text;
}

Object* Vm::RootOf(Object* obj) {
    ClipObject* clip = obj ? obj->AsClip() : nullptr;
    ClipId id = clip ? LiveClip(clip) : kNoClip;
    while (id && m_display->Parent(id)) id = m_display->Parent(id);
    return id ? ObjectForClip(id) : RootObject();
}

Object* Vm::ResolvePath(Object* base, std::string_view path, Object* thisObj) {
    Object* current = base ? base : RootObject();
    // A leading slash starts at the root; from then on '.' no longer separates.
    bool slashes = false;
    if (!path.empty() && path[0] == '/') {
        current = RootOf(base);
        path.remove_prefix(1);
        slashes = true;
    }
    bool first = true;
    while (!path.empty()) {
        // Any run of colons separates like one: "a:::b" is "a:b", ":a" is "a".
        while (!path.empty() && path[0] == ':') path.remove_prefix(1);
        Object* next = nullptr;
        if (path == ".." || path.starts_with("../") || path.starts_with("..:")) {
            if (path.size() > 2 && path[2] == '/') slashes = true;
            path.remove_prefix(std::min<size_t>(3, path.size()));
            ClipObject* clip = current->AsClip();
            ClipId id = clip ? LiveClip(clip) : kNoClip;
            ClipId parent = id ? m_display->Parent(id) : kNoClip;
            if (!parent) return nullptr;  // above the root
            next = ObjectForClip(parent);
        } else {
            size_t end = 0;
            while (end < path.size() && path[end] != ':' && path[end] != '/' && (path[end] != '.' || slashes)) ++end;
            std::string_view segment = path.substr(0, end);
            if (end < path.size() && path[end] == '/') slashes = true;
            path.remove_prefix(std::min(end + 1, path.size()));
            if (first && thisObj && NamesEqual(segment, "this", CaseSensitive())) {
                next = thisObj;
            } else if (first && thisObj && NamesEqual(segment, "_root", false)) {
                next = RootOf(base);
            } else if (first && NamesEqual(segment, "_global", false)) {
                next = m_global;
            } else {
                // A child clip wins over a variable of the same name.
                ClipObject* clip = current->AsClip();
                ClipId id = clip && m_display ? LiveClip(clip) : kNoClip;
                ClipId child = id ? m_display->ChildByName(id, segment, CaseSensitive()) : kNoClip;
                next = child ? ObjectForClip(child) : Get(current, segment).AsObject();
            }
        }
        first = false;
        if (!next) return nullptr;
        current = next;
    }
    return current;
}

}  // namespace velmora::avm1
