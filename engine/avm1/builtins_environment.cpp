// Key, Mouse, Stage, Color and System.capabilities.
#include <cmath>
#include <functional>
#include <memory>
#include <string>

#include "engine/avm1/builtins.h"

namespace velmora::avm1 {

namespace {

// Color keeps its target clip in a hidden slot.
ClipId TargetOf(Vm& vm, CallContext& c) {
    Object* self = c.thisValue.AsObject();
    Value target = self ? vm.Get(self, "__target") : Value();
    Object* o = target.AsObject();
    if (!o && target.IsString()) o = vm.ResolvePath(vm.RootObject(), target.AsString(), nullptr);
    if (!o && self) o = vm.RootObject();
    ClipObject* clip = o ? o->AsClip() : nullptr;
    return clip && vm.Display() ? vm.LiveClip(clip) : kNoClip;
}

void InstallKey(Vm& vm) {
    Object* key = vm.NewObject();
    vm.Global()->Define("Key", Value::Obj(key));
    static constexpr std::pair<const char*, int> codes[] = {
        {"BACKSPACE", 8}, {"CAPSLOCK", 20}, {"CONTROL", 17}, {"DELETEKEY", 46}, {"DOWN", 40}, {"END", 35},
        {"ENTER", 13}, {"ESCAPE", 27}, {"HOME", 36}, {"INSERT", 45}, {"LEFT", 37}, {"PGDN", 34}, {"PGUP", 33},
        {"RIGHT", 39}, {"SHIFT", 16}, {"SPACE", 32}, {"TAB", 9}, {"UP", 38}, {"ALT", 18},
    };
    for (auto [name, code] : codes) key->Define(name, Value::Number(code), kDontEnum | kDontDelete | kReadOnly);
    vm.Method(key, "isDown", [](Vm& v, CallContext& c) { return Value::Bool(v.HostEnv().IsKeyDown(v.ToInt32(c.Arg(0)))); });
    vm.Method(key, "getCode", [](Vm& v, CallContext&) { return Value::Number(v.HostEnv().LastKeyCode()); });
    vm.Method(key, "getAscii", [](Vm& v, CallContext&) { return Value::Number(v.HostEnv().LastKeyAscii()); });
    vm.Method(key, "isToggled", [](Vm&, CallContext&) { return Value::Bool(false); });
    MakeBroadcaster(vm, key);
}

void InstallMouseAndStage(Vm& vm) {
    Object* mouse = vm.NewObject();
    vm.Global()->Define("Mouse", Value::Obj(mouse));
    // The host draws the pointer; show/hide report the previous state as the player does.
    vm.Method(mouse, "show", [](Vm&, CallContext&) { return Value::Number(1); });
    vm.Method(mouse, "hide", [](Vm&, CallContext&) { return Value::Number(1); });
    MakeBroadcaster(vm, mouse);

    Object* stage = vm.NewObject();
    vm.Global()->Define("Stage", Value::Obj(stage));
    auto getter = [&vm, stage](const char* name, NativeFunction fn) -> Property& {
        Property& p = stage->SetOwn(name, Value(), 7);
        p.getter = vm.NewNative(std::move(fn));
        p.flags = kDontEnum | kDontDelete;
        return p;
    };
    getter("width", [](Vm& v, CallContext&) { return Value::Number(v.HostEnv().StageWidth()); });
    getter("height", [](Vm& v, CallContext&) { return Value::Number(v.HostEnv().StageHeight()); });
    // align and scaleMode keep only what the player understands, in its own spelling.
    auto setting = [&](const char* name, std::string initial, std::function<std::string(Vm&, const std::string&)> normalize) {
        auto value = std::make_shared<std::string>(std::move(initial));
        Property& p = getter(name, [value](Vm&, CallContext&) { return Value::String(*value); });
        p.setter = vm.NewNative([value, normalize](Vm& v, CallContext& c) {
            *value = normalize(v, v.ToString(c.Arg(0)));
            return Value();
        });
    };
    setting("align", "", [](Vm&, const std::string& text) {
        std::string out;
        for (char side : {'L', 'T', 'R', 'B'})
            if (text.find(side) != std::string::npos || text.find(static_cast<char>(side + 32)) != std::string::npos)
                out += side;
        return out;
    });
    setting("scaleMode", "showAll", [](Vm& v, const std::string& text) -> std::string {
        std::string mode = "showAll";
        for (const char* known : {"exactFit", "noBorder", "noScale"})
            if (NamesEqual(text, known, false)) mode = known;
        v.HostEnv().SetNoScale(mode == "noScale");
        return mode;
    });
    stage->Define("showMenu", Value::Bool(true), kDontDelete);
    MakeBroadcaster(vm, stage);
}

void InstallColor(Vm& vm) {
    Object* proto = vm.NewObject();
    vm.Class("Color", [](Vm&, CallContext& c) {
        if (Object* o = c.thisValue.AsObject()) o->Define("__target", c.Arg(0), kDontEnum);
        return c.thisValue;
    }, proto);
    vm.Method(proto, "setRGB", [](Vm& v, CallContext& c) {
        ClipId clip = TargetOf(v, c);
        if (!clip) return Value();
        uint32_t rgb = ToUint32(NumberArg(v, c, 0, 0));
        ColorTransform t = v.Display()->GetColorTransform(clip);
        t.rMul = t.gMul = t.bMul = 0;
        t.rAdd = static_cast<float>((rgb >> 16) & 0xFF);
        t.gAdd = static_cast<float>((rgb >> 8) & 0xFF);
        t.bAdd = static_cast<float>(rgb & 0xFF);
        v.Display()->SetColorTransform(clip, t);
        return Value();
    });
    vm.Method(proto, "getRGB", [](Vm& v, CallContext& c) {
        ClipId clip = TargetOf(v, c);
        if (!clip) return Value();
        ColorTransform t = v.Display()->GetColorTransform(clip);
        auto channel = [](float add) { return static_cast<uint32_t>(static_cast<int>(add) & 0xFF); };
        return Value::Number((channel(t.rAdd) << 16) | (channel(t.gAdd) << 8) | channel(t.bAdd));
    });
    vm.Method(proto, "setTransform", [](Vm& v, CallContext& c) {
        ClipId clip = TargetOf(v, c);
        Object* o = c.Arg(0).AsObject();
        if (!clip || !o) return Value();
        ColorTransform t = v.Display()->GetColorTransform(clip);
        auto read = [&](const char* name, float& slot, float scale) {
            if (v.HasOwn(o, name) || v.Has(o, name)) slot = static_cast<float>(v.ToNumber(v.Get(o, name)) / scale);
        };
        read("ra", t.rMul, 100);
        read("ga", t.gMul, 100);
        read("ba", t.bMul, 100);
        read("aa", t.aMul, 100);
        read("rb", t.rAdd, 1);
        read("gb", t.gAdd, 1);
        read("bb", t.bAdd, 1);
        read("ab", t.aAdd, 1);
        v.Display()->SetColorTransform(clip, t);
        return Value();
    });
    vm.Method(proto, "getTransform", [](Vm& v, CallContext& c) {
        ClipId clip = TargetOf(v, c);
        if (!clip) return Value();
        ColorTransform t = v.Display()->GetColorTransform(clip);
        Object* o = v.NewObject();
        for (auto [name, value] : {std::pair{"ra", t.rMul * 100}, {"ga", t.gMul * 100}, {"ba", t.bMul * 100},
                                   {"aa", t.aMul * 100}, {"rb", t.rAdd}, {"gb", t.gAdd}, {"bb", t.bAdd},
                                   {"ab", t.aAdd}})
            v.Set(o, name, Value::Number(value));
        return Value::Obj(o);
    });
}

void InstallSystem(Vm& vm) {
    Object* system = vm.NewObject();
    vm.Global()->Define("System", Value::Obj(system));
    Object* caps = vm.NewObject();
    system->Define("capabilities", Value::Obj(caps));
    system->Define("useCodepage", Value::Bool(false), 0);
    for (auto [name, value] : {std::pair{"language", "zh-CN"}, {"os", "Windows XP"}, {"version", "WIN 8,0,22,0"},
                               {"manufacturer", "Macromedia Windows"}, {"playerType", "StandAlone"},
                               {"screenColor", "color"}})
        caps->Define(name, Value::String(value), kDontDelete | kReadOnly);
    for (auto [name, value] : {std::pair{"screenResolutionX", 1024.0}, {"screenResolutionY", 768.0},
                               {"screenDPI", 72.0}, {"pixelAspectRatio", 1.0}})
        caps->Define(name, Value::Number(value), kDontDelete | kReadOnly);
    for (auto [name, value] : {std::pair{"hasAudio", true}, {"hasMP3", true}, {"hasAccessibility", false},
                               {"isDebugger", false}, {"localFileReadDisable", false}})
        caps->Define(name, Value::Bool(value), kDontDelete | kReadOnly);
    Object* security = vm.NewObject();
    system->Define("security", Value::Obj(security));
    for (const char* name : {"allowDomain", "allowInsecureDomain", "loadPolicyFile"})
        vm.Method(security, name, [](Vm&, CallContext&) { return Value(); });
    vm.Method(system, "showSettings", [](Vm&, CallContext&) { return Value(); });
    vm.Method(system, "setClipboard", [](Vm&, CallContext&) { return Value::Bool(false); });
}

}  // namespace

void MakeBroadcaster(Vm& vm, Object* o) {
    Value init = vm.GetValueMember(Value::Obj(vm.Get(vm.Global(), "AsBroadcaster").AsObject()), "initialize");
    Value arg = Value::Obj(o);
    vm.Call(init.AsObject(), Value(), std::span<const Value>(&arg, 1));
}

void InstallEnvironmentBuiltins(Vm& vm) {
    InstallKey(vm);
    InstallMouseAndStage(vm);
    InstallColor(vm);
    InstallSystem(vm);
}

}  // namespace velmora::avm1
