// The player's table of native functions by (group, index): ASnative hands one
// out, ASSetNative and ASSetNativeAccessor install a run of them under a list of
// names. Entries map onto the built-ins already installed; the rest do nothing.
// Also the global names that only need to exist with the right type.
#include <cmath>
#include <map>
#include <memory>

#include "engine/avm1/builtins.h"

namespace velmora::avm1 {
namespace {

using NativeKey = std::pair<int32_t, int32_t>;
using NativeTable = std::map<NativeKey, Object*>;

struct NativeRun {
    int32_t group;
    const char* owner;  // "" for _global
    std::initializer_list<const char*> names;
};

// Known runs, each numbered from index 0.
const NativeRun kNativeRuns[] = {
    {100, "", {"escape", "unescape", "parseInt", "parseFloat"}},
    {101, "Object.prototype", {"watch", "unwatch", "addProperty", "valueOf", "toString", "hasOwnProperty",
                               "isPrototypeOf", "isPropertyEnumerable"}},
    {200, "Math", {"abs", "min", "max", "sin", "cos", "atan2", "tan", "exp", "log", "sqrt", "round", "random",
                   "floor", "ceil", "atan", "asin", "acos", "pow"}},
};

Object* ResolvePath(Vm& vm, std::string_view path) {
    Object* o = vm.Global();
    while (o && !path.empty()) {
        size_t dot = path.find('.');
        o = vm.Get(o, path.substr(0, dot)).AsObject();
        path = dot == std::string_view::npos ? std::string_view() : path.substr(dot + 1);
    }
    return o;
}

std::shared_ptr<NativeTable> BuildTable(Vm& vm) {
    auto table = std::make_shared<NativeTable>();
    for (const NativeRun& run : kNativeRuns) {
        Object* owner = ResolvePath(vm, run.owner);
        int32_t index = 0;
        for (const char* name : run.names) {
            if (Object* f = owner ? vm.Get(owner, name).AsObject() : nullptr) (*table)[{run.group, index}] = f;
            ++index;
        }
    }
    (*table)[{100, 4}] = vm.NewNative([](Vm& v, CallContext& c) {
        v.HostEnv().Trace(v.ToString(c.Arg(0)));
        return Value();
    });
    return table;
}

// The entry for (group, index), made as a do-nothing function when unknown.
Object* NativeAt(Vm& vm, NativeTable& table, int32_t group, int32_t index) {
    Object*& slot = table[{group, index}];
    if (!slot) slot = vm.NewNative([](Vm&, CallContext&) { return Value(); });
    return slot;
}

std::optional<int32_t> IntArg(Vm& vm, const Value& v) {
    double d = vm.ToNumber(v);
    if (std::isnan(d)) return std::nullopt;
    return ToInt32(d);
}

// A leading version digit ("6name" .. "9name", "10name") hides the entry from
// older movies; a leading "1" alone is dropped.
uint16_t TakeVersionPrefix(std::string_view& name) {
    if (name.starts_with("10")) {
        name.remove_prefix(2);
        return kOnlySwf10Up;
    }
    if (name.empty()) return 0;
    static constexpr uint16_t kByDigit[] = {kOnlySwf6Up, kOnlySwf7Up, kOnlySwf8Up, kOnlySwf9Up};
    char first = name.front();
    if (first >= '6' && first <= '9') {
        name.remove_prefix(1);
        return kByDigit[first - '6'];
    }
    if (first == '1') name.remove_prefix(1);
    return 0;
}

// ASSetNative(target, group, "a,b,...", firstIndex); accessors take a getter and
// the next index as setter.
void SetNatives(Vm& vm, NativeTable& table, CallContext& c, bool accessors) {
    Object* target = c.Arg(0).AsObject();
    auto group = IntArg(vm, c.Arg(1));
    if (!target || !group || c.args.size() < 3) return;
    std::string names = vm.ToString(c.Arg(2));
    int32_t index = c.args.size() > 3 ? IntArg(vm, c.Arg(3)).value_or(0) : 0;
    std::string_view rest = names;
    while (true) {
        size_t comma = rest.find(',');
        std::string_view name = rest.substr(0, comma);
        uint16_t flags = TakeVersionPrefix(name);
        if (!name.empty()) {
            Object* f = NativeAt(vm, table, *group, index);
            if (accessors) {
                Property& p = target->Define(name, Value(), flags);
                p.getter = f;
                p.setter = NativeAt(vm, table, *group, index + 1);
            } else if (Property* existing = target->FindOwn(name, 100)) {
                existing->value = Value::Obj(f);
                existing->getter = existing->setter = nullptr;
            } else {
                target->Define(name, Value::Obj(f), flags);
            }
        }
        index += accessors ? 2 : 1;
        if (comma == std::string_view::npos) break;
        rest.remove_prefix(comma + 1);
    }
}

void InstallNativeTable(Vm& vm) {
    std::shared_ptr<NativeTable> table = BuildTable(vm);
    Object* g = vm.Global();
    vm.Method(g, "ASnative", [table](Vm& v, CallContext& c) -> Value {
        if (c.args.size() != 2) return {};
        auto group = IntArg(v, c.args[0]);
        if (!group) return {};
        return Value::Obj(NativeAt(v, *table, *group, ToInt32(v.ToNumber(c.args[1]))));
    });
    vm.Method(g, "ASSetNative", [table](Vm& v, CallContext& c) {
        SetNatives(v, *table, c, false);
        return Value();
    });
    vm.Method(g, "ASSetNativeAccessor", [table](Vm& v, CallContext& c) {
        SetNatives(v, *table, c, true);
        return Value();
    });
}

// Classes a movie may name but this player gives no behaviour: they construct
// plain objects.
void InstallPlaceholderGlobals(Vm& vm) {
    if (vm.Get(vm.Global(), "Accessibility").IsUndefined()) {
        Object* accessibility = vm.NewObject();
        vm.Global()->Define("Accessibility", Value::Obj(accessibility));
        vm.Method(accessibility, "isActive", [](Vm&, CallContext&) { return Value::Bool(false); });
        vm.Method(accessibility, "updateProperties", [](Vm&, CallContext&) { return Value(); });
    }
    if (Object* system = vm.Get(vm.Global(), "System").AsObject(); system && vm.Get(system, "IME").IsUndefined()) {
        Object* ime = vm.NewObject();
        system->Define("IME", Value::Obj(ime));
        MakeBroadcaster(vm, ime);
        vm.Method(ime, "getEnabled", [](Vm&, CallContext&) { return Value::Bool(false); });
        vm.Method(ime, "setEnabled", [](Vm&, CallContext&) { return Value::Bool(false); });
    }
    auto placeholderClass = [&vm](Object* owner, const char* name, uint16_t versionFlag = 0) {
        if (!owner || !vm.Get(owner, name).IsUndefined()) return;
        vm.Class(name, [](Vm&, CallContext& c) { return c.thisValue; }, vm.NewObject(), owner);
        owner->FindOwn(name, 100)->flags |= versionFlag;
    };
    for (const char* name : {"Camera", "Microphone", "PrintJob", "SharedObject", "TextSnapshot", "Video",
                             "XMLSocket"})
        placeholderClass(vm.Global(), name);
    placeholderClass(Package(vm, "flash.text"), "TextRenderer");
    placeholderClass(vm.Get(vm.Global(), "TextField").AsObject(), "StyleSheet", kOnlySwf7Up);
}

}  // namespace

void InstallNativeBuiltins(Vm& vm) {
    InstallNativeTable(vm);
    InstallPlaceholderGlobals(vm);
    // The player's own start-up script leaves its scratch variable behind.
    vm.Global()->Define("o", Value::Null());
}

}  // namespace velmora::avm1
