// Script objects: ordered property slots with flags, getters/setters from
// addProperty, watchers, and the prototype link. Special kinds (functions,
// arrays, display objects, boxed primitives) hook into lookup through virtuals.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "engine/avm1/host.h"
#include "engine/avm1/value.h"

namespace velmora::avm1 {

class Vm;
class FunctionObject;
class ArrayObject;
class ClipObject;

// ASSetPropFlags bits. The version bits hide a property from older movies.
enum PropFlag : uint16_t {
    kDontEnum = 1,
    kDontDelete = 2,
    kReadOnly = 4,
    kOnlySwf6Up = 1 << 7,
    kIgnoreSwf6 = 1 << 8,
    kOnlySwf7Up = 1 << 10,
    kOnlySwf8Up = 1 << 12,
    kOnlySwf9Up = 1 << 13,
    kOnlySwf10Up = 1 << 14,
};

struct Property {
    std::string name;
    Value value;  // of a virtual property: the last value assigned, read once its calls nest too deep
    Object* getter = nullptr;  // addProperty
    Object* setter = nullptr;
    uint16_t flags = 0;
    bool IsVirtual() const { return getter != nullptr; }
};

// What a boxed or native object wraps.
enum class ObjectKind : uint8_t { Plain, Function, Array, String, Number, Boolean, Date, Clip, Error, Native };

bool VisibleInVersion(uint16_t flags, int swfVersion);

// State a built-in class keeps on its instances beyond slots (a ColorTransform's
// numbers, an XML node's tree links). Attached by the constructor, so subclass
// instances made by `new` get it too.
class NativeData {
public:
    virtual ~NativeData() = default;
    virtual void TraceRefs(std::vector<Object*>&) const {}
};

class Object {
public:
    explicit Object(Object* proto) : m_proto(proto), m_protoValue(proto ? Value::Obj(proto) : Value()) {}
    virtual ~Object() = default;
    Object(const Object&) = delete;
    Object& operator=(const Object&) = delete;

    // Lookups follow the link only while `__proto__` holds an object, but the
    // slot itself keeps whatever a script stored, primitives included.
    Object* Proto() const { return m_proto; }
    void SetProto(Object* proto) { SetProtoValue(proto ? Value::Obj(proto) : Value()); }
    const Value& ProtoValue() const { return m_protoValue; }
    void SetProtoValue(Value v) {
        m_proto = v.AsObject();
        m_protoValue = std::move(v);
    }
    ObjectKind Kind() const { return m_kind; }
    void SetKind(ObjectKind kind) { m_kind = kind; }
    // The wrapped primitive of String/Number/Boolean/Date objects.
    const Value& Internal() const { return m_internal; }
    void SetInternal(Value v) { m_internal = std::move(v); }
    template <class T>
    T* Data() const { return dynamic_cast<T*>(m_data.get()); }
    void SetData(std::unique_ptr<NativeData> data) { m_data = std::move(data); }

    Property* FindOwn(std::string_view name, int swfVersion);
    // Adds the slot, or replaces the value of an existing one (flags kept).
    Property& SetOwn(std::string_view name, Value value, int swfVersion);
    // Adds or redefines a slot with the given flags, for built-ins.
    Property& Define(std::string_view name, Value value, uint16_t flags = kDontEnum);
    bool DeleteOwn(std::string_view name, int swfVersion);  // false when absent or DontDelete
    std::vector<Property>& Slots() { return m_slots; }
    const std::vector<Property>& Slots() const { return m_slots; }

    struct Watcher {
        std::string name;
        Object* callback = nullptr;
        Value userData;
    };
    std::vector<Watcher>& Watchers() { return m_watchers; }

    virtual std::string_view TypeOf() const { return "object"; }
    virtual FunctionObject* AsFunction() { return nullptr; }
    virtual ArrayObject* AsArray() { return nullptr; }
    virtual ClipObject* AsClip() { return nullptr; }

    // Native properties looked at before (Get) or instead of (Set) slots.
    virtual bool GetNative(Vm&, std::string_view, Value&) { return false; }
    virtual bool SetNative(Vm&, std::string_view, const Value&) { return false; }
    virtual bool HasNative(Vm&, std::string_view) { return false; }
    virtual void NativeKeys(Vm&, std::vector<std::string>&) {}
    // Objects this one keeps alive, for the collector.
    virtual void TraceRefs(std::vector<Object*>& out) const;

    bool m_marked = false;

private:
    size_t IndexOf(std::string_view name, int swfVersion) const;
    void Reindex();

    Object* m_proto = nullptr;
    Value m_protoValue;
    ObjectKind m_kind = ObjectKind::Plain;
    Value m_internal;
    std::unique_ptr<NativeData> m_data;
    std::vector<Property> m_slots;
    std::unordered_map<std::string, size_t> m_index;
    std::vector<Watcher> m_watchers;
};

// Names scoped in a chain: globals, the timeline, with-objects, function locals.
struct Scope {
    enum class Kind : uint8_t { Global, Target, With, Local };
    Kind kind;
    Object* object;
    std::shared_ptr<const Scope> parent;
};
using ScopePtr = std::shared_ptr<const Scope>;

// An action block with its SWF version; functions point into it.
struct CodeBlock {
    std::vector<uint8_t> bytes;
    int swfVersion = 0;
};

struct ScriptFunctionDef {
    std::shared_ptr<const CodeBlock> code;
    size_t begin = 0, end = 0;
    std::string name;
    struct Param {
        uint8_t reg = 0;  // 0: a named local
        std::string name;
    };
    std::vector<Param> params;
    bool isFunction2 = false;
    uint8_t registerCount = 0;
    uint16_t flags = 0;  // DefineFunction2 preload/suppress flags
};

struct CallContext {
    Value thisValue;
    std::span<const Value> args;
    FunctionObject* callee = nullptr;
    bool construct = false;  // called through new
    bool onExisting = false; // super(...) of a subclass: initialise thisValue rather than make an object
    Value Arg(size_t i) const { return i < args.size() ? args[i] : Value(); }
};
using NativeFunction = std::function<Value(Vm&, CallContext&)>;

class FunctionObject : public Object {
public:
    FunctionObject(Object* proto, NativeFunction native) : Object(proto), m_native(std::move(native)) {
        SetKind(ObjectKind::Function);
    }
    FunctionObject(Object* proto, std::shared_ptr<const ScriptFunctionDef> def, ScopePtr scope,
                   std::shared_ptr<const std::vector<std::string>> pool, Object* baseClip)
        : Object(proto), m_def(std::move(def)), m_scope(std::move(scope)), m_pool(std::move(pool)),
          m_baseClip(baseClip) {
        SetKind(ObjectKind::Function);
    }

    std::string_view TypeOf() const override { return "function"; }
    FunctionObject* AsFunction() override { return this; }
    void TraceRefs(std::vector<Object*>& out) const override;

    const NativeFunction& Native() const { return m_native; }
    const std::shared_ptr<const ScriptFunctionDef>& Def() const { return m_def; }
    const ScopePtr& ScopeChain() const { return m_scope; }
    const std::shared_ptr<const std::vector<std::string>>& Pool() const { return m_pool; }
    Object* BaseClip() const { return m_baseClip; }
    // A native constructor that builds its own object (Array, Date, String...).
    bool m_makesOwnObject = false;

private:
    NativeFunction m_native;
    std::shared_ptr<const ScriptFunctionDef> m_def;
    ScopePtr m_scope;
    std::shared_ptr<const std::vector<std::string>> m_pool;
    Object* m_baseClip = nullptr;
};

class ArrayObject : public Object {
public:
    explicit ArrayObject(Object* proto) : Object(proto) { SetKind(ObjectKind::Array); }
    ArrayObject* AsArray() override { return this; }
    bool GetNative(Vm& vm, std::string_view name, Value& out) override;
    bool SetNative(Vm& vm, std::string_view name, const Value& v) override;
    bool HasNative(Vm& vm, std::string_view name) override;
    void NativeKeys(Vm& vm, std::vector<std::string>& keys) override;
    void TraceRefs(std::vector<Object*>& out) const override;

    // For reading; holes read as undefined.
    const std::vector<Value>& Items() const { return m_elements; }
    // For methods that rewrite the elements: any holes become real undefined elements.
    std::vector<Value>& Elements() {
        m_tracking = false;
        m_present.clear();
        return m_elements;
    }
    size_t Length() const { return m_elements.size(); }
    void SetLength(size_t n);
    void Push(Value v);
    // False for a hole: an index below length that was never set.
    bool Present(size_t i) const { return !m_tracking || m_present[i]; }

private:
    void TrackHoles();
    std::vector<Value> m_elements;
    std::vector<bool> m_present;  // kept only once a hole was made
    bool m_tracking = false;
};

// A display object seen from script: its variables live in the slots, its
// geometry and timeline on the movie side. A removed clip is found again by path.
class ClipObject : public Object {
public:
    ClipObject(Object* proto, ClipId clip) : Object(proto), m_clip(clip) { SetKind(ObjectKind::Clip); }
    std::string_view TypeOf() const override;
    ClipObject* AsClip() override { return this; }
    bool GetNative(Vm& vm, std::string_view name, Value& out) override;
    bool SetNative(Vm& vm, std::string_view name, const Value& v) override;
    bool HasNative(Vm& vm, std::string_view name) override;
    void NativeKeys(Vm& vm, std::vector<std::string>& keys) override;

    ClipId Clip() const { return m_clip; }
    ClipKind DisplayKind() const { return m_displayKind; }
    void SetDisplayKind(ClipKind kind) { m_displayKind = kind; }
    // The movie removed the clip; remember where it was so the name finds its successor.
    void Detach(std::string path) {
        m_clip = kNoClip;
        m_deadPath = std::move(path);
    }
    const std::string& DeadPath() const { return m_deadPath; }

private:
    ClipId m_clip;
    std::string m_deadPath;
    ClipKind m_displayKind = ClipKind::MovieClip;
};

// _x, _alpha... by name (any case), or -1.
int ClipPropIndex(std::string_view name);
std::string_view ClipPropName(ClipProp prop);

}  // namespace velmora::avm1
