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

Object* Vm::ResolvePath(Object* base, std::string_view path, Object* thisObj) {
    Object* current = base ? base : RootObject();
    size_t i = 0;
    if (!path.empty() && path[0] == '/') {
        // From the root of the movie (of the base clip's level when there is one).
        current = RootObject();
        if (ClipObject* clip = base ? base->AsClip() : nullptr) {
            ClipId id = LiveClip(clip);
            while (id && m_display->Parent(id)) id = m_display->Parent(id);
            if (id) current = ObjectForClip(id);
        }
        i = 1;
    }
    while (i < path.size()) {
        if (!current) return nullptr;
        if (path.compare(i, 2, "..") == 0 && (i + 2 == path.size() || path[i + 2] == '/')) {
            Value parent = Get(current, "_parent");
            current = parent.AsObject();
            i += 2;
            if (i < path.size()) ++i;
            continue;
        }
        size_t end = i;
        while (end < path.size() && path[end] != '/' && path[end] != '.') ++end;
        std::string_view segment = path.substr(i, end - i);
        i = end < path.size() ? end + 1 : end;
        if (segment.empty()) continue;
        if (segment == "this") {
            current = thisObj ? thisObj : current;
        } else if (NamesEqual(segment, "_root", false)) {
            current = RootObject();
        } else if (NamesEqual(segment, "_global", false)) {
            current = m_global;
        } else if (int level = LevelNumberOf(segment, CaseSensitive()); level >= 0) {
            ClipId id = m_display ? m_display->Level(level) : kNoClip;
            current = id ? ObjectForClip(id) : (level == 0 ? RootObject() : nullptr);
        } else {
            current = Get(current, segment).AsObject();
        }
    }
    return current;
}

}  // namespace velmora::avm1
