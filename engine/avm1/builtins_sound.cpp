// The Sound class: settings per target clip, sounds attached by linkage name and played
// through the movie's SoundHost, onSoundComplete.
#include <cmath>
#include <cstdlib>
#include <optional>

#include "engine/avm1/builtins.h"

namespace velmora::avm1 {

namespace {

// The player converts numbers for volume and pan the way the processor does: in range
// truncated, anything else (NaN, too large) the lowest integer.
int32_t Truncated(double n) {
    if (!(n >= -2147483648.0 && n < 2147483648.0)) return INT32_MIN;
    return static_cast<int32_t>(n);
}

int32_t Wrapped(int64_t n) { return static_cast<int32_t>(static_cast<uint32_t>(n)); }

// The clip a Sound object controls: kNoClip for a global Sound; nullopt when its target
// path (taken when it was made) leads to no clip now.
std::optional<ClipId> OwnerOf(Vm& vm, CallContext& c) {
    Object* self = c.thisValue.AsObject();
    if (!self || !vm.HasOwn(self, "__target")) return kNoClip;
    Object* o = vm.ResolvePath(vm.RootObject(), vm.ToString(vm.Get(self, "__target")), nullptr);
    ClipObject* clip = o ? o->AsClip() : nullptr;
    if (!clip || !vm.Display()) return std::nullopt;
    const ClipId id = vm.LiveClip(clip);
    return id ? std::optional<ClipId>(id) : std::nullopt;
}

SoundSettings SettingsOf(Vm& vm, ClipId owner) {
    return vm.Sounds() ? vm.Sounds()->GetSoundSettings(owner) : SoundSettings{};
}

void Store(Vm& vm, ClipId owner, const SoundSettings& settings) {
    if (vm.Sounds()) vm.Sounds()->SetSoundSettings(owner, settings);
}

int AttachedSound(Vm& vm, CallContext& c) {
    Object* self = c.thisValue.AsObject();
    return self && vm.HasOwn(self, "__sound") ? vm.ToInt32(vm.Get(self, "__sound")) : 0;
}

// A getter or a setter of the settings: undefined / nothing when the target is gone.
using SettingsRead = Value (*)(const SoundSettings&);
using SettingsWrite = void (*)(Vm&, CallContext&, SoundSettings&);

NativeFunction Reader(SettingsRead read) {
    return [read](Vm& v, CallContext& c) {
        const auto owner = OwnerOf(v, c);
        return owner ? read(SettingsOf(v, *owner)) : Value();
    };
}

NativeFunction Writer(SettingsWrite write) {
    return [write](Vm& v, CallContext& c) {
        if (const auto owner = OwnerOf(v, c)) {
            SoundSettings s = SettingsOf(v, *owner);
            write(v, c, s);
            Store(v, *owner, s);
        }
        return Value();
    };
}

// Pan as the player reports it: from the left-to-left level, or, when that is full,
// from the right-to-right one.
int32_t PanOf(const SoundSettings& s) {
    if (s.ll != 100) return Wrapped(100 - std::llabs(static_cast<int64_t>(s.ll)));
    return Wrapped(std::llabs(static_cast<int64_t>(s.rr)) - 100);
}

void InstallSettings(Vm& vm, Object* proto) {
    vm.Method(proto, "getVolume", Reader([](const SoundSettings& s) { return Value::Number(s.volume); }));
    vm.Method(proto, "setVolume", Writer([](Vm& v, CallContext& c, SoundSettings& s) {
        s.volume = Truncated(NumberArg(v, c, 0, 0));
    }));
    vm.Method(proto, "getPan", Reader([](const SoundSettings& s) { return Value::Number(PanOf(s)); }));
    vm.Method(proto, "setPan", Writer([](Vm& v, CallContext& c, SoundSettings& s) {
        const int64_t pan = Truncated(NumberArg(v, c, 0, 0));
        s.ll = pan >= 0 ? Wrapped(100 - pan) : 100;
        s.rr = pan >= 0 ? 100 : Wrapped(100 + pan);
        s.lr = s.rl = 0;
    }));
    vm.Method(proto, "getTransform", [](Vm& v, CallContext& c) {
        const auto owner = OwnerOf(v, c);
        if (!owner) return Value();
        const SoundSettings s = SettingsOf(v, *owner);
        Object* o = v.NewObject();
        for (auto [name, value] : {std::pair{"ll", s.ll}, {"lr", s.lr}, {"rr", s.rr}, {"rl", s.rl}})
            v.Set(o, name, Value::Number(value));
        return Value::Obj(o);
    });
    // Only the object's own fields count; each becomes an integer as ToInt32 makes it.
    vm.Method(proto, "setTransform", Writer([](Vm& v, CallContext& c, SoundSettings& s) {
        Object* o = c.Arg(0).AsObject();
        if (!o) return;
        for (auto [name, slot] : {std::pair{"ll", &s.ll}, {"lr", &s.lr}, {"rr", &s.rr}, {"rl", &s.rl}})
            if (v.HasOwn(o, name)) *slot = v.ToInt32(v.Get(o, name));
    }));
}

void InstallPlayback(Vm& vm, Object* proto) {
    vm.Method(proto, "attachSound", [](Vm& v, CallContext& c) {
        Object* self = c.thisValue.AsObject();
        if (!self) return Value();
        const int id = v.Sounds() ? v.Sounds()->FindSound(StringArg(v, c, 0)) : 0;
        self->Define("__sound", Value::Number(id), kDontEnum);
        v.WatchSound(self, 0);
        return Value();
    });
    vm.Method(proto, "start", [](Vm& v, CallContext& c) {
        const auto owner = OwnerOf(v, c);
        const int id = AttachedSound(v, c);
        if (!owner || !id || !v.Sounds()) return Value();
        double offset = NumberArg(v, c, 0, 0);
        if (!std::isfinite(offset) || offset < 0) offset = 0;
        const int loops = std::max(1, v.ToInt32(c.Arg(1)));
        const uint64_t voice = v.Sounds()->StartSound(*owner, id, offset * 1000, loops);
        Object* self = c.thisValue.AsObject();
        self->Define("__voice", Value::Number(static_cast<double>(voice)), kDontEnum);
        v.WatchSound(self, voice);
        return Value();
    });
    vm.Method(proto, "stop", [](Vm& v, CallContext& c) {
        const auto owner = OwnerOf(v, c);
        if (!owner || !v.Sounds()) return Value();
        const int id = c.args.empty() ? 0 : v.Sounds()->FindSound(StringArg(v, c, 0));
        if (!c.args.empty() && !id) return Value();
        v.Sounds()->StopSound(*owner, id);
        return Value();
    });
}

// duration and position (SWF 6 and later): milliseconds, undefined without a sound.
void InstallTimes(Vm& vm, Object* proto) {
    const auto duration = [](Vm& v, CallContext& c) {
        const int id = AttachedSound(v, c);
        return id && v.Sounds() ? Value::Number(std::round(v.Sounds()->SoundDurationMs(id))) : Value();
    };
    const auto position = [](Vm& v, CallContext& c) {
        const int id = AttachedSound(v, c);
        if (!id || !v.Sounds()) return Value();
        Object* self = c.thisValue.AsObject();
        const Value voice = v.HasOwn(self, "__voice") ? v.Get(self, "__voice") : Value::Number(0);
        return Value::Number(std::floor(v.Sounds()->VoicePositionMs(static_cast<uint64_t>(v.ToNumber(voice)))));
    };
    constexpr uint16_t kFlags = kDontEnum | kDontDelete | kOnlySwf6Up;
    for (auto [name, fn] : {std::pair<const char*, NativeFunction>{"duration", duration}, {"position", position}}) {
        Property& p = proto->SetOwn(name, Value(), vm.Version());
        p.getter = vm.NewNative(fn);
        p.flags = kFlags;
    }
    vm.Method(proto, "getDuration", duration, kFlags);
    vm.Method(proto, "getPosition", position, kFlags);
    for (const char* name : {"setDuration", "setPosition"})
        vm.Method(proto, name, [](Vm&, CallContext&) { return Value(); }, kFlags);
    // Streaming sounds from the network are not played: loading reports failure.
    vm.Method(proto, "loadSound", [](Vm& v, CallContext& c) {
        const Value failed = Value::Bool(false);
        v.CallMethod(c.thisValue, "onLoad", std::span<const Value>(&failed, 1));
        return Value();
    }, kFlags);
    for (const char* name : {"getBytesLoaded", "getBytesTotal"})
        vm.Method(proto, name, [](Vm&, CallContext&) { return Value(); }, kFlags);
}

}  // namespace

void InstallSoundBuiltins(Vm& vm) {
    Object* proto = vm.NewObject();
    // The target is kept as a path: a Sound follows whatever clip has it, not one instance.
    vm.Class("Sound", [](Vm& v, CallContext& c) {
        Object* self = c.thisValue.AsObject();
        if (self && !c.Arg(0).IsUndefined()) self->Define("__target", Value::String(v.ToString(c.Arg(0))), kDontEnum);
        return c.thisValue;
    }, proto);
    InstallSettings(vm, proto);
    InstallPlayback(vm, proto);
    InstallTimes(vm, proto);
}

}  // namespace velmora::avm1
