// Object, Function, Error, ASSetPropFlags and AsBroadcaster.
#include <cmath>

#include "engine/avm1/builtins.h"

namespace velmora::avm1 {

namespace {

Value ObjectToString(Vm&, CallContext& c) {
    Object* o = c.thisValue.AsObject();
    return Value::String(o && o->AsFunction() ? "[type Function]" : "[object Object]");
}

Value AddProperty(Vm& vm, CallContext& c) {
    Object* o = c.thisValue.AsObject();
    std::string name = StringArg(vm, c, 0);
    Object* getter = c.Arg(1).AsObject();
    Value setterValue = c.Arg(2);
    if (!o || name.empty() || !getter || !getter->AsFunction()) return Value::Bool(false);
    Object* setter = setterValue.AsObject() && setterValue.AsObject()->AsFunction() ? setterValue.AsObject() : nullptr;
    if (!setter && !setterValue.IsNull()) return Value::Bool(false);  // read-only needs an explicit null
    Property& p = o->SetOwn(name, Value(), vm.Version());
    p.getter = getter;
    p.setter = setter;
    if (!setter) p.flags |= kReadOnly;
    return Value::Bool(true);
}

Value Watch(Vm& vm, CallContext& c) {
    Object* o = c.thisValue.AsObject();
    Object* callback = c.Arg(1).AsObject();
    if (!o || !callback || !callback->AsFunction() || c.args.empty()) return Value::Bool(false);
    std::string name = StringArg(vm, c, 0);
    for (auto& w : o->Watchers()) {
        if (NamesEqual(w.name, name, vm.CaseSensitive())) {
            w.callback = callback;
            w.userData = c.Arg(2);
            return Value::Bool(true);
        }
    }
    o->Watchers().push_back({name, callback, c.Arg(2)});
    return Value::Bool(true);
}

Value Unwatch(Vm& vm, CallContext& c) {
    Object* o = c.thisValue.AsObject();
    if (!o) return Value::Bool(false);
    std::string name = StringArg(vm, c, 0);
    auto& list = o->Watchers();
    for (size_t i = 0; i < list.size(); ++i) {
        if (NamesEqual(list[i].name, name, vm.CaseSensitive())) {
            list.erase(list.begin() + static_cast<std::ptrdiff_t>(i));
            return Value::Bool(true);
        }
    }
    return Value::Bool(false);
}

// ASSetPropFlags(object, names, set, clear): names is an array, a comma list or null (all).
Value SetPropFlags(Vm& vm, CallContext& c) {
    Object* o = c.Arg(0).AsObject();
    if (!o) return {};
    auto set = static_cast<uint16_t>(ToInt32(NumberArg(vm, c, 2, 0)));
    auto clear = static_cast<uint16_t>(ToInt32(NumberArg(vm, c, 3, 0)));
    std::vector<std::string> names;
    Value list = c.Arg(1);
    bool all = list.IsNull();
    if (ArrayObject* a = list.AsObject() ? list.AsObject()->AsArray() : nullptr) {
        for (const Value& v : a->Items()) names.push_back(vm.ToString(v));
    } else if (!all) {
        std::string text = vm.ToString(list);
        size_t start = 0;
        while (start <= text.size()) {
            size_t comma = text.find(',', start);
            names.push_back(text.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
            if (comma == std::string::npos) break;
            start = comma + 1;
        }
    }
    auto apply = [&](Property& p) { p.flags = static_cast<uint16_t>((p.flags & ~clear) | set); };
    if (all) {
        for (Property& p : o->Slots()) apply(p);
    } else {
        for (const std::string& n : names) {
            for (Property& p : o->Slots())
                if (NamesEqual(p.name, n, vm.CaseSensitive())) apply(p);
        }
    }
    return {};
}

Value FunctionCall(Vm& vm, CallContext& c) {
    std::span<const Value> rest = c.args.empty() ? c.args : c.args.subspan(1);
    Value self = c.args.empty() || c.args[0].IsNullish() ? Value() : c.args[0];
    return vm.Call(c.thisValue.AsObject(), self, rest);
}

Value FunctionApply(Vm& vm, CallContext& c) {
    std::vector<Value> args;
    if (ArrayObject* a = c.Arg(1).AsObject() ? c.Arg(1).AsObject()->AsArray() : nullptr) args = a->Items();
    Value self = c.Arg(0).IsNullish() ? Value() : c.Arg(0);
    return vm.Call(c.thisValue.AsObject(), self, args);
}

// AsBroadcaster: listeners in an array `_listeners`, messages called on each.
Value BroadcastMessage(Vm& vm, CallContext& c) {
    Object* o = c.thisValue.AsObject();
    if (!o || c.args.empty()) return {};
    ArrayObject* list = vm.Get(o, "_listeners").AsObject() ? vm.Get(o, "_listeners").AsObject()->AsArray() : nullptr;
    if (!list) return {};
    std::string message = vm.ToString(c.args[0]);
    std::vector<Value> listeners = list->Items();
    for (const Value& l : listeners) vm.CallMethod(l, message, c.args.subspan(1));
    return Value::Bool(!listeners.empty());
}

Value AddListener(Vm& vm, CallContext& c) {
    Object* o = c.thisValue.AsObject();
    ArrayObject* list = o && vm.Get(o, "_listeners").AsObject() ? vm.Get(o, "_listeners").AsObject()->AsArray() : nullptr;
    if (!list) return Value::Bool(false);
    for (const Value& l : list->Items())
        if (Vm::StrictEquals(l, c.Arg(0))) return Value::Bool(true);
    list->Push(c.Arg(0));
    return Value::Bool(true);
}

Value RemoveListener(Vm& vm, CallContext& c) {
    Object* o = c.thisValue.AsObject();
    ArrayObject* list = o && vm.Get(o, "_listeners").AsObject() ? vm.Get(o, "_listeners").AsObject()->AsArray() : nullptr;
    if (!list) return Value::Bool(false);
    auto& e = list->Elements();
    for (size_t i = 0; i < e.size(); ++i) {
        if (Vm::StrictEquals(e[i], c.Arg(0))) {
            e.erase(e.begin() + static_cast<std::ptrdiff_t>(i));
            return Value::Bool(true);
        }
    }
    return Value::Bool(false);
}

}  // namespace

void InstallObjectBuiltins(Vm& vm) {
    auto& p = vm.Protos();
    Object* global = vm.Global();

    FunctionObject* objectCtor = vm.Class("Object", [](Vm& v, CallContext& c) -> Value {
        if (Object* o = c.Arg(0).IsNullish() ? nullptr : v.ToObject(c.Arg(0))) return Value::Obj(o);
        // Called plainly, Object() gives an object without a prototype.
        return c.construct ? c.thisValue : Value::Obj(v.Make<Object>(nullptr));
    }, p.object);
    objectCtor->m_makesOwnObject = true;
    vm.Method(p.object, "toString", ObjectToString);
    vm.Method(p.object, "toLocaleString", ObjectToString);
    vm.Method(p.object, "valueOf", [](Vm&, CallContext& c) { return c.thisValue; });
    vm.Method(p.object, "hasOwnProperty", [](Vm& v, CallContext& c) {
        Object* o = c.thisValue.AsObject();
        return Value::Bool(o && !c.args.empty() && v.HasOwn(o, v.ToString(c.args[0])));
    });
    vm.Method(p.object, "isPropertyEnumerable", [](Vm& v, CallContext& c) {
        Object* o = c.thisValue.AsObject();
        Property* prop = o ? o->FindOwn(StringArg(v, c, 0), v.Version()) : nullptr;
        return Value::Bool(prop && !(prop->flags & kDontEnum));
    });
    vm.Method(p.object, "isPrototypeOf", [](Vm&, CallContext& c) {
        Object* self = c.thisValue.AsObject();
        Object* o = c.Arg(0).AsObject();
        for (Object* q = o ? o->Proto() : nullptr; q && self; q = q->Proto())
            if (q == self) return Value::Bool(true);
        return Value::Bool(false);
    });
    vm.Method(p.object, "addProperty", AddProperty);
    vm.Method(p.object, "watch", Watch);
    vm.Method(p.object, "unwatch", Unwatch);
    vm.Method(objectCtor, "registerClass", [](Vm& v, CallContext& c) {
        std::string name = StringArg(v, c, 0);
        FunctionObject* ctor = c.Arg(1).AsObject() ? c.Arg(1).AsObject()->AsFunction() : nullptr;
        if (name.empty()) return Value::Bool(false);
        if (ctor) {
            v.m_registeredClasses[name] = ctor;
        } else {
            v.m_registeredClasses.erase(name);
        }
        return Value::Bool(true);
    });

    // Function(x) hands back its argument; there is no compiler behind it. Without
    // one it makes an object with no prototype.
    vm.Class("Function", [](Vm& v, CallContext& c) {
        if (!c.args.empty()) return c.Arg(0);
        return c.construct ? c.thisValue : Value::Obj(v.Make<Object>(nullptr));
    }, p.function);
    vm.Method(p.function, "call", FunctionCall);
    vm.Method(p.function, "apply", FunctionApply);

    p.error = vm.NewObject();
    vm.Class("Error", [](Vm& v, CallContext& c) {
        Object* o = c.thisValue.AsObject();
        if (o && !c.Arg(0).IsUndefined()) v.Set(o, "message", c.Arg(0));
        return c.thisValue;
    }, p.error);
    p.error->Define("message", Value::String("Error"));
    p.error->Define("name", Value::String("Error"));
    vm.Method(p.error, "toString", [](Vm& v, CallContext& c) {
        return Value::String(v.ToString(v.Get(c.thisValue.AsObject(), "message")));
    });

    vm.Method(global, "ASSetPropFlags", SetPropFlags);

    // A function, though constructing one gives nothing a script can use.
    Object* broadcaster = vm.NewNative([](Vm&, CallContext& c) { return c.thisValue; }, vm.NewObject());
    global->Define("AsBroadcaster", Value::Obj(broadcaster));
    FunctionObject* broadcast = vm.Method(broadcaster, "broadcastMessage", BroadcastMessage);
    FunctionObject* add = vm.Method(broadcaster, "addListener", AddListener);
    FunctionObject* remove = vm.Method(broadcaster, "removeListener", RemoveListener);
    vm.Method(broadcaster, "initialize", [broadcast, add, remove](Vm& v, CallContext& c) {
        Object* o = c.Arg(0).AsObject();
        if (!o) return Value();
        v.Set(o, "broadcastMessage", Value::Obj(broadcast));
        v.Set(o, "addListener", Value::Obj(add));
        v.Set(o, "removeListener", Value::Obj(remove));
        v.Set(o, "_listeners", Value::Obj(v.NewArray()));
        for (const char* n : {"broadcastMessage", "addListener", "removeListener", "_listeners"})
            if (Property* prop = o->FindOwn(n, 7)) prop->flags |= kDontEnum;
        return Value();
    });
}

}  // namespace velmora::avm1
