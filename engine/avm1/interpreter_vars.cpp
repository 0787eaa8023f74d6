// Variables, target paths and calls by name.
#include <cmath>

#include "engine/avm1/frame.h"

namespace velmora::avm1 {

namespace {

bool HasPathSeparator(std::string_view name, int version) {
    for (char c : name)
        if (c == ':' || c == '/' || (c == '.' && version >= 5)) return true;
    return false;
}

// "a.b:c" or "a.b.c": the part before the rightmost ':' or '.' names the object
// ('.' only from SWF 5). A path of slashes alone names a clip, not a variable.
bool SplitPath(std::string_view path, int version, std::string_view& object, std::string_view& member) {
    size_t cut = path.find_last_of(version >= 5 ? ":." : ":");
    if (cut == std::string_view::npos) return false;
    object = path.substr(0, cut);
    member = path.substr(cut + 1);
    return true;
}

// The object a scope stands for. The timeline scope follows tellTarget; a
// timeline that was removed from the stage has its names looked up on the root.
Object* ScopeObject(Frame& f, const Scope& s) {
    if (s.kind != Scope::Kind::Target) return s.object;
    ClipObject* clip = f.target ? f.target->AsClip() : nullptr;
    if (clip && f.vm.Display() && !f.vm.LiveClip(clip)) return f.vm.RootObject();
    return f.target;
}

// `owner` is the scope object holding the name, or nullptr.
Value LookupInScope(Frame& f, std::string_view name, Object*& owner, Scope::Kind& kind) {
    Vm& vm = f.vm;
    for (const Scope* s = f.scope.get(); s; s = s->parent.get()) {
        Object* obj = ScopeObject(f, *s);
        if (!obj) continue;
        if (vm.Has(obj, name)) {
            owner = obj;
            kind = s->kind;
            return vm.Get(obj, name);
        }
    }
    owner = nullptr;
    return {};
}

// A method name that is undefined or converts to "" names the target itself.
bool IsNoName(Vm& vm, const Value& name) { return name.IsUndefined() || vm.ToString(name).empty(); }

}  // namespace

ClipId TargetClip(Frame& f) {
    ClipObject* clip = f.target ? f.target->AsClip() : nullptr;
    return clip ? f.vm.LiveClip(clip) : kNoClip;
}

// Target paths start at the current target, or at the root once that clip is gone.
Object* PathBase(Frame& f) {
    ClipObject* clip = f.target ? f.target->AsClip() : nullptr;
    if (clip && f.vm.Display() && !f.vm.LiveClip(clip)) return f.vm.RootObject();
    return f.target;
}

Object* ResolveTarget(Frame& f, std::string_view path) {
    if (path.empty()) return f.target;
    return f.vm.ResolvePath(PathBase(f), path, nullptr);
}

// The object part of a variable path ("a.b" in "a.b.c"): tried from each scope of
// the chain in turn, so it may start at a local, a with-object or the timeline.
// `leadingThis`: whether a first "this" or "_root" names that object.
Object* ResolveVariableObject(Frame& f, std::string_view path, bool leadingThis = true) {
    if (path.empty()) return PathBase(f);
    Object* self = leadingThis ? f.thisValue.AsObject() : nullptr;
    if (leadingThis && !self) self = PathBase(f);
    for (const Scope* s = f.scope.get(); s; s = s->parent.get()) {
        Object* obj = ScopeObject(f, *s);
        if (!obj) continue;
        if (Object* found = f.vm.ResolvePath(obj, path, self)) return found;
    }
    return nullptr;
}

Object* TargetOfValue(Frame& f, const Value& v) {
    if (v.IsObject()) return v.AsObject();
    if (v.IsUndefined()) return nullptr;
    return ResolveTarget(f, f.vm.ToString(v));
}

Value GetVariable(Frame& f, std::string_view name) {
    Vm& vm = f.vm;
    if (HasPathSeparator(name, f.version)) {
        std::string_view object, member;
        if (SplitPath(name, f.version, object, member)) {
            Object* obj = ResolveVariableObject(f, object);
            return obj ? vm.Get(obj, member) : Value();
        }
        // Slashes alone name a clip; failing that, the text is a plain name.
        if (Object* clip = ResolveVariableObject(f, name, false)) return Value::Obj(clip);
    }
    if (NamesEqual(name, "this", f.version >= 7)) return f.thisValue;
    Object* owner = nullptr;
    Scope::Kind kind{};
    Value v = LookupInScope(f, name, owner, kind);
    if (owner) return v;
    if (NamesEqual(name, "_global", false)) return Value::Obj(vm.Global());
    if (name.size() > 1 && name[0] == '_') {
        if (Object* special = vm.ResolvePath(f.target, name, nullptr); special && special != f.target)
            return Value::Obj(special);
    }
    return {};
}

void SetVariable(Frame& f, std::string_view name, const Value& value) {
    Vm& vm = f.vm;
    // `this` is a variable of the running code: assigning it changes what it reads.
    if (NamesEqual(name, "this", f.version >= 7)) {
        f.thisValue = value;
        return;
    }
    if (HasPathSeparator(name, f.version)) {
        std::string_view object, member;
        if (SplitPath(name, f.version, object, member)) {
            if (Object* obj = ResolveVariableObject(f, object)) vm.Set(obj, member, value);
            return;
        }
        // Without ':' or '.', "clip/x" is just the variable's name.
    }
    // An existing variable in a local or with scope is updated; otherwise it lands on
    // the timeline (globals are not assigned through plain names).
    for (const Scope* s = f.scope.get(); s; s = s->parent.get()) {
        if (s->kind == Scope::Kind::Global) break;
        Object* obj = ScopeObject(f, *s);
        if (!obj) continue;
        if (s->kind == Scope::Kind::Target || vm.Has(obj, name)) {
            vm.Set(obj, name, value);
            return;
        }
    }
    if (f.target) vm.Set(f.target, name, value);
}

void DefineLocal(Frame& f, std::string_view name, const Value& value, bool onlyDeclare) {
    Vm& vm = f.vm;
    std::string_view object, member;
    if (HasPathSeparator(name, f.version) && SplitPath(name, f.version, object, member)) {
        // "var /:x" names a variable of another timeline.
        if (Object* obj = ResolveVariableObject(f, object); obj && !onlyDeclare) vm.Set(obj, member, value);
        return;
    }
    Object* where = f.locals ? f.locals : f.target;
    if (!where) return;
    if (onlyDeclare) {
        if (!vm.HasOwn(where, name)) where->SetOwn(name, Value(), f.version);
        return;
    }
    // A with-object that already has the name takes the value.
    for (const Scope* s = f.scope.get(); s && s->kind == Scope::Kind::With; s = s->parent.get()) {
        if (vm.HasOwn(s->object, name)) {
            vm.Set(s->object, name, value);
            return;
        }
    }
    if (f.locals) {
        f.locals->SetOwn(name, value, f.version);
    } else {
        vm.Set(where, name, value);
    }
}

bool DeleteVariable(Frame& f, std::string_view name) {
    Vm& vm = f.vm;
    std::string_view object, member;
    if (HasPathSeparator(name, f.version) && SplitPath(name, f.version, object, member)) {
        Object* obj = ResolveVariableObject(f, object);
        return obj && vm.Delete(obj, member);
    }
    for (const Scope* s = f.scope.get(); s; s = s->parent.get()) {
        Object* obj = ScopeObject(f, *s);
        if (obj && vm.HasOwn(obj, name)) return vm.Delete(obj, name);
    }
    return false;
}

Value CallNamedFunction(Frame& f, std::string_view name, std::span<const Value> args) {
    Vm& vm = f.vm;
    // A function found on a with-object or a timeline, directly or through a path,
    // runs with that object as this; one found among locals or globals gets the
    // current timeline.
    Value fn;
    Object* self = f.target;
    std::string_view object, member;
    if (HasPathSeparator(name, f.version) && SplitPath(name, f.version, object, member)) {
        Object* obj = ResolveVariableObject(f, object);
        fn = obj ? vm.Get(obj, member) : Value();
        if (obj) self = obj;
    } else if (!NamesEqual(name, "this", f.version >= 7)) {
        Object* owner = nullptr;
        Scope::Kind kind{};
        fn = LookupInScope(f, name, owner, kind);
        if (!owner) fn = GetVariable(f, name);
        if (owner && (kind == Scope::Kind::With || kind == Scope::Kind::Target)) self = owner;
    } else {
        fn = GetVariable(f, name);
    }
    if (SuperObject* super = fn.AsObject() ? dynamic_cast<SuperObject*>(fn.AsObject()) : nullptr)
        return super->CallConstructor(vm, args);
    return vm.Call(fn.AsObject(), Value::Obj(self), args);
}

Value CallMethodOn(Frame& f, const Value& target, const Value& nameValue, std::span<const Value> args) {
    Vm& vm = f.vm;
    bool noName = IsNoName(vm, nameValue);
    if (SuperObject* super = target.AsObject() ? dynamic_cast<SuperObject*>(target.AsObject()) : nullptr) {
        if (noName) return super->CallConstructor(vm, args);
        Object* found = nullptr;
        Object* start = super->LookupStart();
        Value fn = start ? vm.GetFrom(start, vm.ToString(nameValue), super->ThisValue(), &found) : Value();
        return vm.Call(fn.AsObject(), super->ThisValue(), args, found);
    }
    if (noName) return vm.Call(target.AsObject(), Value(), args);
    std::string name = vm.ToString(nameValue);
    Object* obj = target.IsObject() ? target.AsObject() : vm.ToObject(target);
    if (!obj) return {};
    Object* found = nullptr;
    Value fn = vm.GetFrom(obj, name, target, &found);
    return vm.Call(fn.AsObject(), target, args, found);
}

Value ConstructNamed(Frame& f, const Value& target, const Value& nameValue, std::span<const Value> args) {
    Vm& vm = f.vm;
    bool noName = IsNoName(vm, nameValue);
    Value ctor = noName ? target : vm.GetValueMember(target, vm.ToString(nameValue));
    return vm.Construct(ctor.AsObject(), args);
}

}  // namespace velmora::avm1
