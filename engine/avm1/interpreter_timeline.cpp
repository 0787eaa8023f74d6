// Timeline, clip property, drag and URL actions.
#include <cmath>

#include "engine/avm1/frame.h"

namespace velmora::avm1 {

namespace {

constexpr std::string_view kFsCommandPrefix = "FSCommand:";

int CurrentFrame(DisplayHost& d, ClipId clip) {
    HostValue v = d.GetProperty(clip, ClipProp::CurrentFrame);
    return static_cast<int>(v.number);  // 1-based
}

// A frame given by number (1-based) or by name, possibly with "path:" in front.
void GotoFrameValue(Frame& f, const Value& frame, bool play, int bias) {
    Vm& vm = f.vm;
    DisplayHost* d = vm.Display();
    if (!d) return;
    ClipId clip = TargetClip(f);
    int index = -1;
    if (frame.IsString()) {
        std::string_view text = frame.AsString();
        size_t colon = text.rfind(':');
        if (colon != std::string_view::npos) {
            Object* obj = ResolveTarget(f, text.substr(0, colon));
            ClipObject* c = obj ? obj->AsClip() : nullptr;
            clip = c ? vm.LiveClip(c) : kNoClip;
            text = text.substr(colon + 1);
        }
        if (!clip) return;
        double n = StringToNumber(text, f.version);
        index = std::isnan(n) ? d->FrameOfLabel(clip, text) : static_cast<int>(n) - 1;
        if (index < 0 && std::isnan(n)) return;
    } else {
        if (!clip) return;
        double n = vm.ToNumber(frame);
        if (!std::isfinite(n)) return;
        index = static_cast<int>(n) - 1;
    }
    if (index + bias < 0) return;  // before the first frame: the clip stays where it is
    d->GotoFrame(clip, index + bias);
    if (play) {
        d->Play(clip);
    } else {
        d->Stop(clip);
    }
}

void GetUrl(Frame& f, const std::string& url, const std::string& target, uint8_t flags) {
    Vm& vm = f.vm;
    if (url.size() >= kFsCommandPrefix.size() && NamesEqual(url.substr(0, kFsCommandPrefix.size()), kFsCommandPrefix, false)) {
        vm.HostEnv().FsCommand(std::string_view(url).substr(kFsCommandPrefix.size()), target);
        return;
    }
    int method = flags & 3;
    bool loadVariables = flags & 0x80;
    bool targetIsClip = flags & 0x40;
    DisplayHost* d = vm.Display();
    if (d && (loadVariables || targetIsClip)) {
        Object* obj = ResolveTarget(f, target);
        ClipObject* clip = obj ? obj->AsClip() : nullptr;
        ClipId id = clip ? vm.LiveClip(clip) : kNoClip;
        if (!id) return;
        if (loadVariables) {
            d->LoadVariables(id, url, method);
        } else if (url.empty()) {
            d->UnloadMovie(id);
        } else {
            d->LoadMovie(id, url, method);
        }
        return;
    }
    vm.HostEnv().GetUrl(url, target, method);
}

// GetProperty/SetProperty index -> property name, or empty.
// The index truncates toward zero, so -0.8 is property 0.
std::string_view PropertyName(double index) {
    index = std::trunc(index);
    if (!std::isfinite(index) || index < 0 || index >= kClipPropCount) return {};
    return ClipPropName(static_cast<ClipProp>(static_cast<int>(index)));
}

// tellTarget: "" returns to the code's own clip. A path that names nothing leaves
// SWF 6 and older actions talking to the root, later ones to nothing at all.
void SetTargetPath(Frame& f, std::string_view path) {
    if (path.empty()) {
        f.target = f.baseTarget;
        return;
    }
    Object* target = ResolveTarget(f, path);
    f.target = target || f.version >= 7 ? target : f.vm.RootObject();
}

}  // namespace

bool ExecuteTimelineOp(Frame& f, const ActionRecord& a) {
    Vm& vm = f.vm;
    DisplayHost* d = vm.Display();
    PayloadReader r(a.payload);
    auto op = static_cast<Op>(a.code);
    switch (op) {
    case Op::NextFrame:
    case Op::PrevFrame:
        if (ClipId clip = TargetClip(f); d && clip) {
            int current = CurrentFrame(*d, clip) - 1;
            int next = op == Op::NextFrame ? current + 1 : current - 1;
            if (next >= 0) d->GotoFrame(clip, next);
            d->Stop(clip);
        }
        break;
    case Op::Play:
        if (ClipId clip = TargetClip(f); d && clip) d->Play(clip);
        break;
    case Op::Stop:
        if (ClipId clip = TargetClip(f); d && clip) d->Stop(clip);
        break;
    case Op::ToggleQuality: vm.HostEnv().ToggleQuality(); break;
    case Op::StopSounds: vm.HostEnv().StopSounds(); break;
    case Op::GotoFrame:
        if (ClipId clip = TargetClip(f); d && clip) d->GotoFrame(clip, r.U16());
        break;
    case Op::GotoLabel:
        if (ClipId clip = TargetClip(f); d && clip) {
            int frame = d->FrameOfLabel(clip, f.Text(r.CString()));
            if (frame >= 0) d->GotoFrame(clip, frame);
        }
        break;
    case Op::GotoFrame2: {
        uint8_t flags = r.U8();
        int bias = (flags & 2) ? r.U16() : 0;
        GotoFrameValue(f, f.Pop(), flags & 1, bias);
        break;
    }
    case Op::SetTarget: SetTargetPath(f, f.Text(r.CString())); break;
    case Op::SetTarget2: {
        // Any value names its target by its text (a clip by its path, so a clip
        // whose name is shared finds the first); undefined means the code's own clip.
        Value v = f.Pop();
        if (v.IsUndefined()) {
            f.target = f.baseTarget;
        } else {
            SetTargetPath(f, vm.ToString(v));
        }
        break;
    }
    case Op::GetProperty: {
        std::string_view name = PropertyName(f.PopNumber());
        Object* target = TargetOfValue(f, f.Pop());
        f.Push(target && !name.empty() ? vm.Get(target, name) : Value());
        break;
    }
    case Op::SetProperty: {
        Value v = f.Pop();
        std::string_view name = PropertyName(f.PopNumber());
        Object* target = TargetOfValue(f, f.Pop());
        if (target && !name.empty()) vm.Set(target, name, v);
        break;
    }
    case Op::CloneSprite: {
        double depth = f.PopNumber();
        std::string name = f.PopString();
        Object* source = TargetOfValue(f, f.Pop());
        ClipObject* clip = source ? source->AsClip() : nullptr;
        // The action's depth counts from the bottom of the display list, 16384 below
        // the depths scripts use.
        if (d && clip && vm.LiveClip(clip) && std::isfinite(depth))
            d->Duplicate(vm.LiveClip(clip), name, ToInt32(depth - 16384));
        break;
    }
    case Op::RemoveSprite: {
        Object* target = TargetOfValue(f, f.Pop());
        ClipObject* clip = target ? target->AsClip() : nullptr;
        if (d && clip && vm.LiveClip(clip)) d->Remove(vm.LiveClip(clip));
        break;
    }
    case Op::Trace: {
        Value v = f.Pop();
        vm.HostEnv().Trace(v.IsUndefined() ? "undefined" : vm.ToString(v));
        break;
    }
    case Op::StartDrag: {
        Object* target = TargetOfValue(f, f.Pop());
        bool lockCenter = vm.ToBool(f.Pop());
        bool constrained = vm.ToBool(f.Pop());
        Bounds limits;
        if (constrained) {
            limits.yMax = f.PopNumber();
            limits.xMax = f.PopNumber();
            limits.yMin = f.PopNumber();
            limits.xMin = f.PopNumber();
        }
        ClipObject* clip = target ? target->AsClip() : nullptr;
        if (d && clip && vm.LiveClip(clip)) d->StartDrag(vm.LiveClip(clip), lockCenter, constrained ? &limits : nullptr);
        break;
    }
    case Op::EndDrag:
        if (d) d->StopDrag();
        break;
    case Op::GetUrl: {
        std::string url = f.Text(r.CString());
        std::string target = f.Text(r.CString());
        GetUrl(f, url, target, 0);
        break;
    }
    case Op::GetUrl2: {
        uint8_t flags = r.U8();
        std::string target = f.PopString();
        std::string url = f.PopString();
        GetUrl(f, url, target, flags);
        break;
    }
    case Op::Call: {
        Value frame = f.Pop();
        ClipId clip = TargetClip(f);
        if (!d || !clip) break;
        std::string text = vm.ToString(frame);
        size_t colon = text.rfind(':');
        if (colon != std::string::npos) {
            Object* obj = ResolveTarget(f, std::string_view(text).substr(0, colon));
            ClipObject* c = obj ? obj->AsClip() : nullptr;
            clip = c ? vm.LiveClip(c) : kNoClip;
            text = text.substr(colon + 1);
        }
        if (!clip) break;
        double n = StringToNumber(text, f.version);
        int index = std::isnan(n) ? d->FrameOfLabel(clip, text) : static_cast<int>(n) - 1;
        if (index >= 0) d->CallFrame(clip, index);
        break;
    }
    case Op::FsCommand2: {
        double n = f.PopNumber();
        size_t count = std::isfinite(n) && n > 0 ? static_cast<size_t>(n) : 0;
        std::string command = count ? f.PopString() : std::string();
        std::string args;
        for (size_t i = 1; i < count; ++i) {
            if (i > 1) args += ',';
            args += f.PopString();
        }
        vm.HostEnv().FsCommand(command, args);
        break;
    }
    default: return false;  // unknown actions are skipped, as the player does
    }
    return true;
}

}  // namespace velmora::avm1
