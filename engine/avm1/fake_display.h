// A display list in memory for tests: a clip tree with names, depths, frames and
// properties, logging the timeline calls scripts make.
#pragma once

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "engine/avm1/host.h"
#include "engine/avm1/value.h"

namespace velmora::avm1::test {

class FakeDisplay : public DisplayHost {
public:
    struct Clip {
        ClipId parent = kNoClip;
        std::string name;
        int depth = 0;
        int frame = 0;  // 0-based
        int totalFrames = 1;
        bool playing = true;
        bool alive = true;
        ClipKind kind = ClipKind::MovieClip;
        std::map<std::string, int> labels;
        double props[kClipPropCount] = {};
        std::map<std::string, HostValue> native;
        ColorTransform color;
    };

    ClipId Add(ClipId parent, std::string name, int depth = 0, int frames = 1, ClipKind kind = ClipKind::MovieClip) {
        ClipId id = m_next++;
        Clip& c = clips[id];
        c.parent = parent;
        c.name = std::move(name);
        c.depth = depth;
        c.totalFrames = frames;
        c.kind = kind;
        c.props[static_cast<int>(ClipProp::XScale)] = 100;
        c.props[static_cast<int>(ClipProp::YScale)] = 100;
        c.props[static_cast<int>(ClipProp::Alpha)] = 100;
        c.props[static_cast<int>(ClipProp::Visible)] = 1;
        if (!parent) levels[0] = id;
        return id;
    }

    ClipId Level(int level) override {
        auto it = levels.find(level);
        return it == levels.end() ? kNoClip : it->second;
    }
    ClipId Parent(ClipId clip) override { return Get(clip) ? Get(clip)->parent : kNoClip; }
    ClipId ChildByName(ClipId clip, std::string_view name, bool caseSensitive) override {
        for (auto& [id, c] : clips)
            if (c.alive && c.parent == clip && NamesEqual(c.name, name, caseSensitive)) return id;
        return kNoClip;
    }
    std::vector<ClipId> Children(ClipId clip) override {
        std::vector<ClipId> out;
        for (auto& [id, c] : clips)
            if (c.alive && c.parent == clip) out.push_back(id);
        std::sort(out.begin(), out.end(), [this](ClipId a, ClipId b) { return clips[a].depth < clips[b].depth; });
        return out;
    }
    bool IsAlive(ClipId clip) override { return Get(clip) != nullptr; }
    ClipKind Kind(ClipId clip) override { return Get(clip) ? Get(clip)->kind : ClipKind::Other; }

    HostValue GetProperty(ClipId clip, ClipProp prop) override {
        Clip* c = Get(clip);
        if (!c) return {};
        switch (prop) {
        case ClipProp::Name: return HostValue::String(c->name);
        case ClipProp::CurrentFrame: return HostValue::Number(c->frame + 1);
        case ClipProp::TotalFrames:
        case ClipProp::FramesLoaded: return HostValue::Number(c->totalFrames);
        case ClipProp::Visible: return HostValue::Boolean(c->props[static_cast<int>(prop)] != 0);
        case ClipProp::Url: return HostValue::String("file:///test.swf");
        case ClipProp::Quality: return HostValue::String("HIGH");
        case ClipProp::DropTarget: return HostValue::String("");
        default: return HostValue::Number(c->props[static_cast<int>(prop)]);
        }
    }
    void SetProperty(ClipId clip, ClipProp prop, const HostValue& value) override {
        Clip* c = Get(clip);
        if (!c) return;
        if (prop == ClipProp::Name) {
            c->name = value.text;
        } else if (prop != ClipProp::CurrentFrame && prop != ClipProp::TotalFrames) {
            c->props[static_cast<int>(prop)] = value.number;
        }
    }

    void GotoFrame(ClipId clip, int frame) override {
        if (Clip* c = Get(clip)) c->frame = std::min(frame, c->totalFrames - 1);
        log.push_back("goto " + Name(clip) + " " + std::to_string(frame));
    }
    int FrameOfLabel(ClipId clip, std::string_view label) override {
        Clip* c = Get(clip);
        if (!c) return -1;
        for (auto& [name, frame] : c->labels)
            if (NamesEqual(name, label, false)) return frame;
        return -1;
    }
    void Play(ClipId clip) override {
        if (Clip* c = Get(clip)) c->playing = true;
        log.push_back("play " + Name(clip));
    }
    void Stop(ClipId clip) override {
        if (Clip* c = Get(clip)) c->playing = false;
        log.push_back("stop " + Name(clip));
    }
    bool FrameLoaded(ClipId clip, int frame) override { return Get(clip) && frame < loadedFrames; }
    void CallFrame(ClipId clip, int frame) override { log.push_back("call " + Name(clip) + " " + std::to_string(frame)); }

    ClipId Duplicate(ClipId clip, std::string_view name, int depth) override {
        Clip* c = Get(clip);
        if (!c) return kNoClip;
        return Add(c->parent, std::string(name), depth, c->totalFrames);
    }
    void Remove(ClipId clip) override {
        if (Clip* c = Get(clip)) c->alive = false;
        log.push_back("remove " + std::to_string(clip));
    }
    ClipId Attach(ClipId parent, std::string_view linkageId, std::string_view name, int depth) override {
        if (linkageId == "missing") return kNoClip;
        return Add(parent, std::string(name), depth);
    }
    ClipId CreateEmpty(ClipId parent, std::string_view name, int depth) override {
        return Add(parent, std::string(name), depth);
    }
    ClipId CreateTextField(ClipId parent, std::string_view name, int depth, const Bounds&) override {
        return Add(parent, std::string(name), depth, 1, ClipKind::TextField);
    }
    void SwapDepths(ClipId clip, int depth) override {
        Clip* c = Get(clip);
        if (!c) return;
        for (auto& [id, other] : clips)
            if (other.alive && other.parent == c->parent && other.depth == depth) other.depth = c->depth;
        c->depth = depth;
    }
    int Depth(ClipId clip) override { return Get(clip) ? Get(clip)->depth : 0; }
    int NextHighestDepth(ClipId clip) override {
        int d = 0;
        for (ClipId child : Children(clip)) d = std::max(d, clips[child].depth + 1);
        return d;
    }
    double BytesLoaded(ClipId) override { return 500; }
    double BytesTotal(ClipId) override { return 1000; }
    bool HitTestPoint(ClipId clip, double x, double y, bool) override {
        Clip* c = Get(clip);
        double cx = c ? c->props[0] : 0, cy = c ? c->props[1] : 0;
        return x >= cx && x < cx + 10 && y >= cy && y < cy + 10;
    }
    bool HitTestClip(ClipId, ClipId) override { return true; }
    Bounds GetBounds(ClipId clip, ClipId) override {
        Clip* c = Get(clip);
        double x = c ? c->props[0] : 0, y = c ? c->props[1] : 0;
        return {x, y, x + 10, y + 10};
    }
    void LocalToGlobal(ClipId clip, double& x, double& y) override {
        for (ClipId c = clip; c; c = Parent(c)) {
            x += clips[c].props[0];
            y += clips[c].props[1];
        }
    }
    void GlobalToLocal(ClipId clip, double& x, double& y) override {
        for (ClipId c = clip; c; c = Parent(c)) {
            x -= clips[c].props[0];
            y -= clips[c].props[1];
        }
    }
    void StartDrag(ClipId clip, bool, const Bounds*) override { log.push_back("drag " + Name(clip)); }
    void StopDrag() override { log.push_back("stopdrag"); }
    void Draw(ClipId clip, const DrawCommand& command) override {
        log.push_back("draw " + Name(clip) + " " + std::to_string(static_cast<int>(command.kind)) + " " +
                      std::to_string(command.numbers.size()));
    }
    ColorTransform GetColorTransform(ClipId clip) override { return Get(clip) ? Get(clip)->color : ColorTransform{}; }
    void SetColorTransform(ClipId clip, const ColorTransform& t) override {
        if (Clip* c = Get(clip)) c->color = t;
    }
    bool GetNativeProperty(ClipId clip, std::string_view name, HostValue& out) override {
        Clip* c = Get(clip);
        if (!c || c->kind != ClipKind::TextField || name != "text") return false;
        auto it = c->native.find("text");
        out = it == c->native.end() ? HostValue::String("") : it->second;
        return true;
    }
    bool SetNativeProperty(ClipId clip, std::string_view name, const HostValue& value) override {
        Clip* c = Get(clip);
        if (!c || c->kind != ClipKind::TextField || name != "text") return false;
        c->native["text"] = value;
        return true;
    }
    void LoadMovie(ClipId clip, std::string_view url, int) override { log.push_back("load " + Name(clip) + " " + std::string(url)); }
    void LoadVariables(ClipId clip, std::string_view url, int) override {
        log.push_back("vars " + Name(clip) + " " + std::string(url));
    }
    void UnloadMovie(ClipId clip) override { log.push_back("unload " + Name(clip)); }

    Clip* Get(ClipId id) {
        auto it = clips.find(id);
        return it != clips.end() && it->second.alive ? &it->second : nullptr;
    }
    std::string Name(ClipId id) {
        Clip* c = Get(id);
        return c ? (c->name.empty() ? std::string("root") : c->name) : std::string("?");
    }

    std::map<ClipId, Clip> clips;
    std::map<int, ClipId> levels;
    std::vector<std::string> log;
    int loadedFrames = 1000;

private:
    ClipId m_next = 1;
};

}  // namespace velmora::avm1::test
