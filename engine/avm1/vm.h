// The ActionScript 1/2 virtual machine of one movie player: heap, globals,
// built-in classes, property access rules and the entry points the display
// list calls. Several Vm instances may live in one process; none shares state.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/avm1/host.h"
#include "engine/avm1/object.h"
#include "engine/avm1/text_codec.h"
#include "engine/avm1/value.h"

namespace velmora::avm1 {

struct VmLimits {
    int maxRecursion = 256;                 // nested calls, as the player allows
    uint64_t maxActionsPerRun = 50'000'000; // then the script is stopped
    double maxRunMilliseconds = 15'000;     // wall-clock bound of one run
};

enum class RunStatus : uint8_t { Completed, Aborted, UncaughtException };

// Thrown inside the VM only: a script `throw` and a forced stop. Never leaves a Vm entry point.
struct ScriptThrow {
    Value value;
};
struct ScriptAbort {};

class Vm {
public:
    Vm(Host& host, DisplayHost* display, int swfVersion, VmLimits limits = {});
    ~Vm();
    Vm(const Vm&) = delete;
    Vm& operator=(const Vm&) = delete;

    // --- entry points for the movie ---
    // Runs an action block with `clip` as this and target (kNoClip: the root level).
    RunStatus RunActions(std::shared_ptr<const CodeBlock> code, ClipId clip);
    RunStatus RunActions(std::span<const uint8_t> bytes, int swfVersion, ClipId clip);
    // Calls clip[name](args) when it is a function (onEnterFrame, onPress...).
    RunStatus CallClipMethod(ClipId clip, std::string_view name, std::span<const Value> args = {});
    // Calls any function value with a this value; returns undefined on error.
    Value CallValue(const Value& function, const Value& thisValue, std::span<const Value> args);
    // Fires the setInterval callbacks due at the host clock's time.
    void RunIntervals();
    // The script object of a display object, made on first use.
    ClipObject* ObjectForClip(ClipId clip);
    // Whether a script has touched the clip yet (only then can it have event methods).
    bool HasClipObject(ClipId clip) const { return m_clipObjects.count(clip) > 0; }
    // Whether clip[name] is a function, found without running any script.
    bool HasClipMethod(ClipId clip, std::string_view name);
    // The movie is removing a clip (call while it is still in the display list, so
    // its path is known): its script object lets go of it.
    void ClipRemoved(ClipId clip);
    // Object.registerClass: the constructor for a linkage name, or nullptr.
    FunctionObject* RegisteredClass(std::string_view linkageId) const;
    // The host's answer to a RequestData (ok false: it failed): calls onData on the
    // object that asked, with the text, or with nothing after a failure.
    void DataArrived(uint32_t request, bool ok, std::string_view bytes);
    // Starts a transfer whose answer goes to `target`; false when the host refused it.
    bool StartDataRequest(Object* target, const DataRequest& request);
    // A clip the timeline placed becomes an instance of the class registered for its
    // linkage name (see MakeInstance).
    RunStatus ConstructClip(ClipId clip, FunctionObject* ctor);
    // Gives a clip's object the class's prototype and constructor links, copies `props`
    // (an initObject) onto it, then runs the constructor on it. Either may be null.
    void MakeInstance(ClipObject* obj, FunctionObject* ctor, Object* props);
    // Frees objects no longer reachable; call between frames, never during a run.
    void Collect();
    size_t HeapSize() const { return m_heap.size(); }
    void SetTextCodec(const TextCodec* codec) { m_codec = codec ? codec : &m_latin1; }
    const TextCodec& Codec() const { return *m_codec; }

    // --- services for the interpreter and built-ins ---
    Host& HostEnv() { return m_host; }
    DisplayHost* Display() { return m_display; }
    // The movie's sounds for the Sound class; none when scripts run without a movie.
    void SetSoundHost(SoundHost* sounds) { m_sounds = sounds; }
    SoundHost* Sounds() { return m_sounds; }
    // onSoundComplete: a Sound object waits for its voice to end.
    void WatchSound(Object* sound, uint64_t voice);
    // Calls onSoundComplete of the Sound objects whose voice ended.
    void RunSoundEvents();
    int Version() const { return m_version; }
    void SetVersion(int version) { m_version = version; }
    int MovieVersion() const { return m_movieVersion; }
    bool CaseSensitive() const { return m_version >= 7; }
    bool IsProtoName(std::string_view name) const { return NamesEqual(name, "__proto__", CaseSensitive()); }
    const VmLimits& Limits() const { return m_limits; }
    // The ScriptLimits tag of the movie.
    void SetScriptLimits(int maxRecursion, double timeoutSeconds);

    template <class T, class... Args>
    T* Make(Args&&... args) {
        auto owned = std::make_unique<T>(std::forward<Args>(args)...);
        T* raw = owned.get();
        m_heap.push_back(std::move(owned));
        return raw;
    }
    Object* NewObject();
    ArrayObject* NewArray();
    FunctionObject* NewNative(NativeFunction fn, Object* prototype = nullptr);
    Object* NewError(std::string_view message);
    // Adds a native method to an object.
    FunctionObject* Method(Object* target, std::string_view name, NativeFunction fn, uint16_t flags = kDontEnum);
    // Makes a constructor with a fresh prototype object linked both ways.
    FunctionObject* Class(std::string_view name, NativeFunction ctor, Object* prototype, Object* target = nullptr);

    Object* Global() const { return m_global; }
    struct Prototypes {
        Object* object = nullptr;
        Object* function = nullptr;
        Object* array = nullptr;
        Object* string = nullptr;
        Object* number = nullptr;
        Object* boolean = nullptr;
        Object* date = nullptr;
        Object* error = nullptr;
        Object* movieClip = nullptr;
        Object* button = nullptr;
        Object* textField = nullptr;
        Object* textFormat = nullptr;
    };
    Prototypes& Protos() { return m_protos; }

    // Conversions that may call valueOf/toString.
    Value ToPrimitive(const Value& v, bool preferString = false);
    double ToNumber(const Value& v);
    std::string ToString(const Value& v);
    Object* ToObject(const Value& v);  // boxes primitives; nullptr for undefined/null
    int32_t ToInt32(const Value& v) { return avm1::ToInt32(ToNumber(v)); }
    bool ToBool(const Value& v) const { return ToBoolean(v, m_version); }
    bool LooseEquals(const Value& a, const Value& b);
    static bool StrictEquals(const Value& a, const Value& b);
    // a < b: true, false, or undefined (a NaN was involved).
    Value LessThan(const Value& a, const Value& b);
    std::string TypeOf(const Value& v);

    // Property access with prototypes, getters/setters, watchers and __resolve.
    Value Get(Object* obj, std::string_view name);
    // `resolve`: whether a missing name asks __resolve.
    Value GetFrom(Object* obj, std::string_view name, const Value& thisValue, Object** foundIn = nullptr,
                  bool resolve = true);
    Value GetValueMember(const Value& target, std::string_view name);
    void Set(Object* obj, std::string_view name, const Value& value);
    bool Has(Object* obj, std::string_view name);
    bool HasOwn(Object* obj, std::string_view name);
    bool Delete(Object* obj, std::string_view name);
    // for-in keys, enumeration order of the player (newest first, then prototypes).
    std::vector<std::string> EnumerableKeys(Object* obj);
    bool InstanceOf(Object* obj, Object* ctor);

    // Calls; `home` is where a method was found (for super).
    Value Call(Object* function, const Value& thisValue, std::span<const Value> args, Object* home = nullptr);
    Value Construct(Object* ctor, std::span<const Value> args);
    // super(...) reaching a constructor: natives initialise the existing object.
    Value CallSuperConstructor(Object* ctor, const Value& thisValue, std::span<const Value> args, Object* home);
    Value CallMethod(const Value& target, std::string_view name, std::span<const Value> args);
    [[noreturn]] void Throw(Value v) { throw ScriptThrow{std::move(v)}; }
    void CountActions(uint64_t n);  // budget; throws ScriptAbort when exceeded

    // Display objects.
    Object* RootObject();
    ClipObject* ClipOf(ClipId clip) { return clip ? ObjectForClip(clip) : nullptr; }
    ClipId LiveClip(ClipObject* obj);  // resolves a removed clip again by its path
    // A reference to a removed clip stands for whatever clip now has its path.
    Object* Redirect(Object* obj);
    std::string TargetPath(ClipId clip);        // "_level0.a.b"
    std::string SlashTargetPath(ClipId clip);   // "/a/b"
    // Resolves a target path (slash, colon or dot syntax, ..) from `base`. With
    // `thisObj` (variable paths) a leading this or _root names that object.
    Object* ResolvePath(Object* base, std::string_view path, Object* thisObj);
    // The root of the level a clip is on (the movie's root for anything else).
    Object* RootOf(Object* obj);

    // Interval timers.
    int AddInterval(Value function, Value thisValue, std::string method, double ms, std::vector<Value> args,
                    bool once = false);
    void ClearInterval(int id);

    std::map<std::string, FunctionObject*, std::less<>> m_registeredClasses;
    std::map<uint32_t, Object*> m_dataRequests;  // transfers waiting for DataArrived
    int m_callDepth = 0;
    FunctionObject* m_runningFunction = nullptr;  // for arguments.caller
    uint32_t NextRandom();  // the player's own generator, per Vm

private:
    // Calls a getter, setter or watcher of owner's property `name`, counting it as running.
    Value RunPropertyCall(Object* owner, std::string_view name, Object* fn, const Value& thisValue,
                          std::span<const Value> args);
    int PropertyCallsRunning(Object* owner, std::string_view name) const;
    // Assignment to a virtual property owned by owner (target itself or a prototype).
    void SetVirtual(Object* owner, Object* target, std::string_view name, const Value& v);
    std::map<std::pair<Object*, std::string>, int> m_propertyCalls;  // by owner and case-folded name
    void InstallBuiltins();
    // Runs script with the budget started (outermost run only), the call depth and
    // version restored afterwards, and any throw or stop turned into a status.
    RunStatus Guarded(const std::function<void()>& body);
    void ReportUncaught(const Value& value);
    // Whether the prototype chain from `start` (or an interface on it) leads to target/ctor.
    bool ChainReaches(Object* start, Object* target, Object* ctor, int nesting);
    void Mark(Object* root, std::vector<Object*>& work);

    Host& m_host;
    DisplayHost* m_display;
    SoundHost* m_sounds = nullptr;
    std::vector<std::pair<Object*, uint64_t>> m_soundWatches;
    VmLimits m_limits;
    int m_movieVersion;
    int m_version;
    Latin1Codec m_latin1;
    const TextCodec* m_codec = &m_latin1;
    std::vector<std::unique_ptr<Object>> m_heap;
    Object* m_global = nullptr;
    Object* m_rootFallback = nullptr;  // _root when no display list is attached
    Prototypes m_protos;
    std::map<ClipId, ClipObject*> m_clipObjects;
    struct Interval {
        Value function;
        Value thisValue;
        std::string method;
        double periodMs = 0;
        double nextMs = 0;
        std::vector<Value> args;
        bool once = false;
    };
    std::map<int, Interval> m_intervals;
    int m_nextInterval = 1;
    uint64_t m_actionCount = 0;
    uint64_t m_randomState = 0x853C49E6748FEA9BULL;
    double m_runStartMs = 0;
    int m_runDepth = 0;

    friend class Interpreter;
};

}  // namespace velmora::avm1
