#include "engine/avm1/vm.h"

#include <algorithm>
#include <chrono>
#include <functional>
#include <cmath>
#include <limits>
#include <unordered_set>

#include "engine/avm1/builtins.h"
#include "engine/avm1/interpreter.h"

namespace velmora::avm1 {

namespace {

// Deeper prototype chains are treated as cycles.
constexpr int kMaxProtoDepth = 256;
// Getter, setter and watcher calls of one property nest at most this deep
// together; a deeper access reads or stores the property's value without calling.
constexpr int kMaxPropertyCallDepth = 65;
// Interfaces extending interfaces deeper than this are not followed.
constexpr int kMaxInterfaceNesting = 16;

double WallMilliseconds() {
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace

Vm::Vm(Host& host, DisplayHost* display, int swfVersion, VmLimits limits)
    : m_host(host), m_display(display), m_limits(limits), m_movieVersion(swfVersion), m_version(swfVersion) {
    InstallBuiltins();
}

Vm::~Vm() = default;

void Vm::InstallBuiltins() {
    m_protos.object = Make<Object>(nullptr);
    m_protos.function = Make<Object>(m_protos.object);
    m_global = Make<Object>(nullptr);  // _global has no prototype: it prints as [type Object]
    InstallObjectBuiltins(*this);
    InstallArrayBuiltins(*this);
    InstallStringBuiltins(*this);
    InstallNumberBuiltins(*this);
    InstallDateBuiltins(*this);
    InstallGlobalFunctions(*this);
    InstallDisplayBuiltins(*this);
    InstallGeomBuiltins(*this);
    InstallFilterBuiltins(*this);
    InstallBitmapBuiltins(*this);
    InstallLoadVarsBuiltins(*this);
    InstallXmlBuiltins(*this);
    InstallNetBuiltins(*this);
    InstallNativeBuiltins(*this);
}

// --- allocation helpers ---

Object* Vm::NewObject() { return Make<Object>(m_protos.object); }

ArrayObject* Vm::NewArray() { return Make<ArrayObject>(m_protos.array); }

FunctionObject* Vm::NewNative(NativeFunction fn, Object* prototype) {
    auto* f = Make<FunctionObject>(m_protos.function, std::move(fn));
    if (prototype) {
        f->Define("prototype", Value::Obj(prototype), kDontEnum | kDontDelete);
        prototype->Define("constructor", Value::Obj(f), kDontEnum);
    }
    return f;
}

FunctionObject* Vm::Method(Object* target, std::string_view name, NativeFunction fn, uint16_t flags) {
    FunctionObject* f = NewNative(std::move(fn));
    target->Define(name, Value::Obj(f), flags);
    return f;
}

FunctionObject* Vm::Class(std::string_view name, NativeFunction ctor, Object* prototype, Object* target) {
    FunctionObject* f = NewNative(std::move(ctor), prototype);
    (target ? target : m_global)->Define(name, Value::Obj(f), kDontEnum);
    return f;
}

Object* Vm::NewError(std::string_view message) {
    Object* e = Make<Object>(m_protos.error ? m_protos.error : m_protos.object);
    e->SetOwn("message", Value::String(std::string(message)), m_version);
    return e;
}

// --- conversions ---

Value Vm::ToPrimitive(const Value& v, bool preferString) {
    // The player asks one method only (toString for dates and string hints, else
    // valueOf) and keeps an object answer; callers read that as NaN or text.
    Object* obj = v.AsObject();
    if (!obj) return v;
    bool stringFirst = preferString || obj->Kind() == ObjectKind::Date;
    Value fn = Get(obj, stringFirst ? "toString" : "valueOf");
    if (!fn.AsObject() || !fn.AsObject()->AsFunction()) return {};  // no primitive value at all
    return Call(fn.AsObject(), v, {});
}

double Vm::ToNumber(const Value& v) {
    if (v.IsObject()) {
        Value p = ToPrimitive(v);
        return p.IsObject() ? std::numeric_limits<double>::quiet_NaN() : PrimitiveToNumber(p, m_version);
    }
    return PrimitiveToNumber(v, m_version);
}

std::string Vm::ToString(const Value& v) {
    Object* obj = v.AsObject();
    if (!obj) return PrimitiveToString(v, m_version);
    if (ClipObject* clip = obj->AsClip()) {
        ClipId id = LiveClip(clip);
        return id ? TargetPath(id) : std::string();
    }
    Value fn = Get(obj, "toString");
    if (fn.AsObject() && fn.AsObject()->AsFunction()) {
        Value r = Call(fn.AsObject(), v, {});
        if (r.IsPrimitive()) return PrimitiveToString(r, m_version);
    }
    return obj->AsFunction() ? "[type Function]" : "[type Object]";
}

Object* Vm::ToObject(const Value& v) {
    switch (v.Type()) {
    case ValueType::Object: return v.AsObject();
    case ValueType::String: {
        return Make<StringObject>(m_protos.string, v.AsString());
    }
    case ValueType::Number: {
        Object* o = Make<Object>(m_protos.number);
        o->SetKind(ObjectKind::Number);
        o->SetInternal(v);
        return o;
    }
    case ValueType::Boolean: {
        Object* o = Make<Object>(m_protos.boolean);
        o->SetKind(ObjectKind::Boolean);
        o->SetInternal(v);
        return o;
    }
    default: return nullptr;
    }
}

bool Vm::StrictEquals(const Value& a, const Value& b) {
    if (a.Type() != b.Type()) return false;
    switch (a.Type()) {
    case ValueType::Undefined:
    case ValueType::Null: return true;
    case ValueType::Boolean: return a.AsBool() == b.AsBool();
    // The player's strict equality holds for NaN and NaN.
    case ValueType::Number: return a.AsNumber() == b.AsNumber() || (std::isnan(a.AsNumber()) && std::isnan(b.AsNumber()));
    case ValueType::String: return a.AsString() == b.AsString();
    case ValueType::Object: {
        ClipObject* ca = a.AsObject()->AsClip();
        ClipObject* cb = b.AsObject()->AsClip();
        if (ca && cb && ca->Clip() && ca->Clip() == cb->Clip()) return true;
        return a.AsObject() == b.AsObject();
    }
    }
    return false;
}

bool Vm::LooseEquals(const Value& a, const Value& b) {
    if (a.IsNumber() && b.IsNumber()) {
        // Up to SWF 6, NaN equals NaN here too.
        if (m_version < 7 && std::isnan(a.AsNumber()) && std::isnan(b.AsNumber())) return true;
        return a.AsNumber() == b.AsNumber();
    }
    if (a.Type() == b.Type()) return StrictEquals(a, b);
    if (a.IsNullish() && b.IsNullish()) return true;
    // An object is compared by its primitive value, which may itself be undefined.
    if (a.IsObject() != b.IsObject()) {
        Value pa = a.IsObject() ? ToPrimitive(a) : a;
        Value pb = b.IsObject() ? ToPrimitive(b) : b;
        if (pa.IsObject() || pb.IsObject()) return false;
        return LooseEquals(pa, pb);
    }
    if (a.IsNullish() || b.IsNullish()) return false;
    if (a.IsBool()) return LooseEquals(Value::Number(a.AsBool() ? 1 : 0), b);
    if (b.IsBool()) return LooseEquals(a, Value::Number(b.AsBool() ? 1 : 0));
    if (a.IsNumber() && b.IsString()) return a.AsNumber() == PrimitiveToNumber(b, m_version);
    if (a.IsString() && b.IsNumber()) return PrimitiveToNumber(a, m_version) == b.AsNumber();
    return false;
}

Value Vm::LessThan(const Value& a, const Value& b) {
    // An object that stays an object (valueOf gives it back) makes the comparison
    // false at once; the right side is not even converted then. A display object
    // compares as NaN instead.
    Value pa = ToPrimitive(a);
    if (pa.IsObject() && !pa.AsObject()->AsClip()) return Value::Bool(false);
    Value pb = ToPrimitive(b);
    if (pb.IsObject() && !pb.AsObject()->AsClip()) return Value::Bool(false);
    if (pa.IsString() && pb.IsString()) {
        return Value::Bool(Utf8ToUtf16(pa.AsString()) < Utf8ToUtf16(pb.AsString()));
    }
    double x = PrimitiveToNumber(pa, m_version);
    double y = PrimitiveToNumber(pb, m_version);
    if (std::isnan(x) || std::isnan(y)) return {};
    return Value::Bool(x < y);
}

std::string Vm::TypeOf(const Value& v) {
    switch (v.Type()) {
    case ValueType::Undefined: return "undefined";
    case ValueType::Null: return "null";
    case ValueType::Boolean: return "boolean";
    case ValueType::Number: return "number";
    case ValueType::String: return "string";
    case ValueType::Object: {
        ClipObject* clip = v.AsObject()->AsClip();
        if (clip && !LiveClip(clip)) return "movieclip";
        return std::string(v.AsObject()->TypeOf());
    }
    }
    return "undefined";
}

// --- properties ---

Value Vm::Get(Object* obj, std::string_view name) { return GetFrom(obj, name, Value::Obj(obj)); }

Value Vm::GetFrom(Object* obj, std::string_view name, const Value& thisValue, Object** foundIn, bool resolve) {
    obj = Redirect(obj);
    if (!obj) return {};
    if (IsProtoName(name)) return obj->ProtoValue();
    int depth = 0;
    for (Object* o = obj; o && depth < kMaxProtoDepth; o = o->Proto(), ++depth) {
        if (Property* p = o->FindOwn(name, m_version)) {
            if (foundIn) *foundIn = o;
            if (!p->IsVirtual()) return p->value;
            if (PropertyCallsRunning(o, name) >= kMaxPropertyCallDepth) return p->value;
            return RunPropertyCall(o, name, p->getter, thisValue, {});
        }
        Value out;
        if (o->GetNative(*this, name, out)) {
            if (foundIn) *foundIn = o;
            return out;
        }
    }
    if (resolve && name != "__resolve") {
        Value resolve = GetFrom(obj, "__resolve", thisValue);
        if (resolve.AsObject() && resolve.AsObject()->AsFunction()) {
            Value arg = Value::String(std::string(name));
            return Call(resolve.AsObject(), thisValue, std::span<const Value>(&arg, 1));
        }
    }
    return {};
}

int Vm::PropertyCallsRunning(Object* owner, std::string_view name) const {
    auto it = m_propertyCalls.find({owner, CaseSensitive() ? std::string(name) : FoldCase(name)});
    return it == m_propertyCalls.end() ? 0 : it->second;
}

Value Vm::RunPropertyCall(Object* owner, std::string_view name, Object* fn, const Value& thisValue,
                          std::span<const Value> args) {
    std::pair<Object*, std::string> key{owner, CaseSensitive() ? std::string(name) : FoldCase(name)};
    ++m_propertyCalls[key];
    auto leave = [&] {
        if (--m_propertyCalls[key] == 0) m_propertyCalls.erase(key);
    };
    Value r;
    try {
        r = Call(fn, thisValue, args);
    } catch (...) {
        leave();
        throw;
    }
    leave();
    return r;
}

void Vm::SetVirtual(Object* owner, Object* target, std::string_view name, const Value& v) {
    Property* p = owner->FindOwn(name, m_version);
    if (p->setter && PropertyCallsRunning(owner, name) < kMaxPropertyCallDepth)
        RunPropertyCall(owner, name, p->setter, Value::Obj(target), std::span<const Value>(&v, 1));
    // Stored after the setter returns, so the outermost assignment is the one kept.
    if (Property* after = owner->FindOwn(name, m_version); after && after->IsVirtual()) after->value = v;
}

Value Vm::GetValueMember(const Value& target, std::string_view name) {
    if (target.IsObject()) return Get(target.AsObject(), name);
    if (target.IsString() && name == "length") {
        return Value::Number(static_cast<double>(Utf8ToUtf16(target.AsString()).size()));
    }
    Object* boxed = ToObject(target);
    return boxed ? GetFrom(boxed, name, target) : Value();
}

void Vm::Set(Object* obj, std::string_view name, const Value& value) {
    obj = Redirect(obj);
    if (!obj) return;
    Value v = value;
    for (size_t i = 0; i < obj->Watchers().size(); ++i) {
        auto& w = obj->Watchers()[i];
        if (!NamesEqual(w.name, name, CaseSensitive())) continue;
        if (PropertyCallsRunning(obj, name) >= kMaxPropertyCallDepth) break;
        Object* callback = w.callback;
        Value userData = w.userData;
        Property* existing = obj->FindOwn(name, m_version);
        Value old = IsProtoName(name)                        ? obj->ProtoValue()
                    : existing && !existing->IsVirtual() ? existing->value
                                                         : Value();
        Value args[4] = {Value::String(std::string(name)), old, v, userData};
        v = RunPropertyCall(obj, name, callback, Value::Obj(obj), args);
        break;
    }
    if (IsProtoName(name)) {
        obj->SetProtoValue(std::move(v));
        return;
    }
    if (Property* p = obj->FindOwn(name, m_version)) {
        if (p->IsVirtual()) {
            SetVirtual(obj, obj, name, v);
        } else if (!(p->flags & kReadOnly)) {
            p->value = v;
        }
        return;
    }
    if (obj->SetNative(*this, name, v)) return;
    int depth = 0;
    for (Object* o = obj->Proto(); o && depth < kMaxProtoDepth; o = o->Proto(), ++depth) {
        if (Property* p = o->FindOwn(name, m_version)) {
            if (p->IsVirtual()) {
                SetVirtual(o, obj, name, v);
                return;
            }
            break;
        }
    }
    obj->SetOwn(name, v, m_version);
}

bool Vm::HasOwn(Object* obj, std::string_view name) {
    if (!obj) return false;
    return obj->FindOwn(name, m_version) || obj->HasNative(*this, name);
}

bool Vm::Has(Object* obj, std::string_view name) {
    int depth = 0;
    for (Object* o = obj; o && depth < kMaxProtoDepth; o = o->Proto(), ++depth)
        if (HasOwn(o, name)) return true;
    return false;
}

bool Vm::Delete(Object* obj, std::string_view name) {
    if (!obj) return false;
    if (IsProtoName(name)) {
        obj->SetProtoValue(Value());
        return true;
    }
    return obj->DeleteOwn(name, m_version);
}

std::vector<std::string> Vm::EnumerableKeys(Object* obj) {
    std::vector<std::string> keys;
    std::unordered_set<std::string> seen;
    auto add = [&](const std::string& k) {
        std::string key = CaseSensitive() ? k : FoldCase(k);
        if (seen.insert(key).second) keys.push_back(k);
    };
    // Own names in creation order, then each prototype's; the loop visits them
    // from the end, so inherited names come first and the newest own name last but one.
    int depth = 0;
    for (Object* o = obj; o && depth < kMaxProtoDepth; o = o->Proto(), ++depth) {
        std::vector<std::string> native;
        o->NativeKeys(*this, native);
        for (const std::string& k : native) add(k);
        for (const Property& p : o->Slots()) {
            if (!VisibleInVersion(p.flags, m_version)) continue;
            if (p.flags & kDontEnum) {
                seen.insert(CaseSensitive() ? p.name : FoldCase(p.name));  // hides inherited ones
                continue;
            }
            add(p.name);
        }
    }
    std::reverse(keys.begin(), keys.end());
    return keys;
}

bool Vm::InstanceOf(Object* obj, Object* ctor) {
    if (!obj || !ctor) return false;
    Value proto = Get(ctor, "prototype");
    Object* target = proto.AsObject();
    return target && ChainReaches(obj->Proto(), target, ctor, 0);
}

bool Vm::ChainReaches(Object* start, Object* target, Object* ctor, int nesting) {
    int depth = 0;
    for (Object* o = start; o && depth < kMaxProtoDepth; o = o->Proto(), ++depth) {
        if (o == target) return true;
        // Interfaces from `implements` count too, and so do the interfaces they extend.
        Value ifaces = Get(o, "__interfaces__");
        ArrayObject* list = ifaces.AsObject() ? ifaces.AsObject()->AsArray() : nullptr;
        if (!list) continue;
        for (const Value& iface : list->Items()) {
            Object* i = iface.AsObject();
            if (!i) continue;
            if (i == ctor) return true;
            Object* ip = Get(i, "prototype").AsObject();
            if (ip && nesting < kMaxInterfaceNesting && ChainReaches(ip, target, ctor, nesting + 1)) return true;
        }
    }
    return false;
}

// --- calls ---

namespace {

// One level of script or native call within the recursion limit, undone however it ends.
class CallDepthGuard {
public:
    CallDepthGuard(int& depth, int limit) : m_depth(depth) {
        if (depth + 1 >= limit) throw ScriptAbort{};
        ++m_depth;
    }
    ~CallDepthGuard() { --m_depth; }
    CallDepthGuard(const CallDepthGuard&) = delete;
    CallDepthGuard& operator=(const CallDepthGuard&) = delete;

private:
    int& m_depth;
};

}  // namespace

void Vm::CountActions(uint64_t n) {
    m_actionCount += n;
    if (m_actionCount > m_limits.maxActionsPerRun) throw ScriptAbort{};
    if ((m_actionCount & 0xFFFF) < n && WallMilliseconds() - m_runStartMs > m_limits.maxRunMilliseconds)
        throw ScriptAbort{};
}

Value Vm::Call(Object* function, const Value& thisValue, std::span<const Value> args, Object* home) {
    FunctionObject* f = function ? function->AsFunction() : nullptr;
    if (!f) return {};
    CallDepthGuard depth(m_callDepth, m_limits.maxRecursion);
    int savedVersion = m_version;
    Value result;
    try {
        if (f->Native()) {
            CallContext ctx{thisValue, args, f, false};
            result = f->Native()(*this, ctx);
        } else {
            result = Interpreter::RunFunction(*this, f, thisValue, args, home);
        }
    } catch (...) {
        m_version = savedVersion;
        throw;
    }
    m_version = savedVersion;
    return result;
}

Value Vm::Construct(Object* ctorObj, std::span<const Value> args) {
    FunctionObject* ctor = ctorObj ? ctorObj->AsFunction() : nullptr;
    if (!ctor) return {};
    Value protoValue = Get(ctor, "prototype");
    Object* proto = protoValue.AsObject() ? protoValue.AsObject() : m_protos.object;
    // A script subclass of Array gets array storage; its super() fills it.
    bool arrayLike = false;
    int depth = 0;
    for (Object* o = proto; o && depth < kMaxProtoDepth && !arrayLike; o = o->Proto(), ++depth)
        arrayLike = o == m_protos.array;
    Object* obj = arrayLike && !ctor->Native() ? Make<ArrayObject>(proto) : Make<Object>(proto);
    obj->Define("__constructor__", Value::Obj(ctor), kDontEnum);
    if (m_version < 7) obj->Define("constructor", Value::Obj(ctor), kDontEnum);
    Value thisValue = Value::Obj(obj);
    if (ctor->Native()) {
        CallDepthGuard depth(m_callDepth, m_limits.maxRecursion);
        CallContext ctx{thisValue, args, ctor, true};
        const Value r = ctor->Native()(*this, ctx);
        // Such a constructor may also refuse: `new` then gives undefined (BitmapData too large).
        if (ctor->m_makesOwnObject && (r.IsObject() || r.IsUndefined())) return r;
        return thisValue;
    }
    Call(ctor, thisValue, args, obj->Proto());
    return thisValue;
}

Value Vm::CallSuperConstructor(Object* ctorObj, const Value& thisValue, std::span<const Value> args, Object* home) {
    FunctionObject* ctor = ctorObj ? ctorObj->AsFunction() : nullptr;
    if (!ctor || !ctor->Native()) return Call(ctorObj, thisValue, args, home);
    CallDepthGuard depth(m_callDepth, m_limits.maxRecursion);
    CallContext ctx{thisValue, args, ctor, true, true};
    return ctor->Native()(*this, ctx);
}

Value Vm::CallMethod(const Value& target, std::string_view name, std::span<const Value> args) {
    Object* obj = target.IsObject() ? target.AsObject() : ToObject(target);
    if (!obj) return {};
    Object* home = nullptr;
    Value fn = GetFrom(obj, name, target, &home);
    return Call(fn.AsObject(), target, args, home);
}

// --- entry points ---

RunStatus Vm::RunActions(std::span<const uint8_t> bytes, int swfVersion, ClipId clip) {
    auto code = std::make_shared<CodeBlock>();
    code->bytes.assign(bytes.begin(), bytes.end());
    code->swfVersion = swfVersion;
    return RunActions(std::move(code), clip);
}

RunStatus Vm::RunActions(std::shared_ptr<const CodeBlock> code, ClipId clip) {
    if (!code) return RunStatus::Completed;
    Object* target = clip ? static_cast<Object*>(ObjectForClip(clip)) : RootObject();
    return Guarded([&] { Interpreter::RunBlock(*this, std::move(code), target); });
}

RunStatus Vm::CallClipMethod(ClipId clip, std::string_view name, std::span<const Value> args) {
    ClipObject* obj = ObjectForClip(clip);
    if (!obj) return RunStatus::Completed;
    return Guarded([&] { CallMethod(Value::Obj(obj), name, args); });
}

Value Vm::CallValue(const Value& function, const Value& thisValue, std::span<const Value> args) {
    Value r;
    Guarded([&] { r = Call(function.AsObject(), thisValue, args); });
    return r;
}

void Vm::ReportUncaught(const Value& value) {
    // The player's own trace line for an exception nobody caught.
    std::string text;
    try {
        text = ToString(value);
    } catch (const ScriptThrow&) {
    } catch (const ScriptAbort&) {
    }
    m_host.Trace("Warning: Uncaught exception, " + text);
}

RunStatus Vm::Guarded(const std::function<void()>& body) {
    // Only the outermost run starts the budget; scripts called from scripts share it.
    if (m_runDepth == 0) {
        m_actionCount = 0;
        m_runStartMs = WallMilliseconds();
    }
    ++m_runDepth;
    int savedVersion = m_version;
    int savedDepth = m_callDepth;
    RunStatus status = RunStatus::Completed;
    try {
        body();
    } catch (const ScriptThrow& t) {
        status = RunStatus::UncaughtException;
        if (m_runDepth == 1) ReportUncaught(t.value);
    } catch (const ScriptAbort&) {
        status = RunStatus::Aborted;
    }
    m_version = savedVersion;
    m_callDepth = savedDepth;
    --m_runDepth;
    return status;
}

// --- intervals ---

int Vm::AddInterval(Value function, Value thisValue, std::string method, double ms, std::vector<Value> args,
                    bool once) {
    int id = m_nextInterval++;
    double now = m_host.Milliseconds();
    double period = std::max(ms, 1.0);
    m_intervals[id] = Interval{std::move(function), std::move(thisValue), std::move(method), period, now + period,
                               std::move(args), once};
    return id;
}

void Vm::ClearInterval(int id) { m_intervals.erase(id); }

void Vm::RunIntervals() {
    double now = m_host.Milliseconds();
    std::vector<int> due;
    for (auto& [id, iv] : m_intervals)
        if (iv.nextMs <= now) due.push_back(id);
    for (int id : due) {
        auto it = m_intervals.find(id);
        if (it == m_intervals.end()) continue;  // cleared by an earlier callback
        it->second.nextMs = now + it->second.periodMs;
        Interval iv = it->second;
        if (iv.once) m_intervals.erase(it);
        Guarded([&] {
            if (iv.method.empty()) {
                Call(iv.function.AsObject(), Value(), iv.args);
            } else {
                CallMethod(iv.thisValue, iv.method, iv.args);
            }
        });
    }
}

// --- collection ---

void Vm::Mark(Object* root, std::vector<Object*>& work) {
    if (root && !root->m_marked) work.push_back(root);
    while (!work.empty()) {
        Object* o = work.back();
        work.pop_back();
        if (!o || o->m_marked) continue;
        o->m_marked = true;
        o->TraceRefs(work);
    }
}

void Vm::Collect() {
    if (m_runDepth > 0) return;
    std::vector<Object*> work;
    Object* roots[] = {m_global, m_protos.object, m_protos.function, m_protos.array, m_protos.string,
                       m_protos.number, m_protos.boolean, m_protos.date, m_protos.error, m_protos.movieClip,
                       m_protos.button, m_protos.textField};
    for (Object* r : roots) Mark(r, work);
    Mark(m_rootFallback, work);
    for (auto& [id, obj] : m_clipObjects) Mark(obj, work);
    for (auto& [name, ctor] : m_registeredClasses) Mark(ctor, work);
    for (auto& [id, target] : m_dataRequests) Mark(target, work);
    for (auto& [sound, voice] : m_soundWatches) Mark(sound, work);
    for (auto& [id, iv] : m_intervals) {
        Mark(iv.function.AsObject(), work);
        Mark(iv.thisValue.AsObject(), work);
        for (const Value& a : iv.args) Mark(a.AsObject(), work);
    }
    std::erase_if(m_heap, [](const std::unique_ptr<Object>& o) { return !o->m_marked; });
    for (auto& o : m_heap) o->m_marked = false;
}

void Vm::WatchSound(Object* sound, uint64_t voice) {
    std::erase_if(m_soundWatches, [&](const auto& watch) { return watch.first == sound; });
    if (voice) m_soundWatches.emplace_back(sound, voice);
}

void Vm::RunSoundEvents() {
    if (!m_sounds || m_soundWatches.empty()) return;
    std::vector<Object*> done;
    // Only a sound that played to its end is complete; a stopped one just goes.
    std::erase_if(m_soundWatches, [&](const auto& watch) {
        const SoundHost::VoiceState state = m_sounds->StateOf(watch.second);
        if (state == SoundHost::VoiceState::Ended) done.push_back(watch.first);
        return state != SoundHost::VoiceState::Playing;
    });
    for (Object* sound : done) Guarded([&] { CallMethod(Value::Obj(sound), "onSoundComplete", {}); });
}

void Vm::SetScriptLimits(int maxRecursion, double timeoutSeconds) {
    if (maxRecursion > 0) m_limits.maxRecursion = maxRecursion;
    if (timeoutSeconds > 0) m_limits.maxRunMilliseconds = timeoutSeconds * 1000;
}

uint32_t Vm::NextRandom() {
    // xorshift64*: fast, and independent between players.
    m_randomState ^= m_randomState >> 12;
    m_randomState ^= m_randomState << 25;
    m_randomState ^= m_randomState >> 27;
    return static_cast<uint32_t>((m_randomState * 2685821657736338717ULL) >> 32);
}

FunctionObject* Vm::RegisteredClass(std::string_view linkageId) const {
    auto it = m_registeredClasses.find(linkageId);
    return it == m_registeredClasses.end() ? nullptr : it->second;
}

}  // namespace velmora::avm1
