// One activation of the interpreter: the code it runs, its scope chain,
// registers and operand stack. Internal to the interpreter.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "engine/avm1/actions.h"
#include "engine/avm1/object.h"
#include "engine/avm1/vm.h"

namespace velmora::avm1 {

// `super` inside a method: lookups start above the object the method came from.
// The home is kept as a number of prototype steps from this, so a script that
// changes this.__proto__ before calling super() reaches the new chain.
class SuperObject : public Object {
public:
    SuperObject(Value thisValue, Object* home);
    bool GetNative(Vm& vm, std::string_view name, Value& out) override;
    void TraceRefs(std::vector<Object*>& out) const override;
    const Value& ThisValue() const { return m_this; }
    // A display object as home gives a super that finds nothing.
    Object* Home() const;
    // Lookups start at the prototype of the method's home.
    Object* LookupStart() const {
        Object* home = Home();
        return home ? home->Proto() : nullptr;
    }
    // super(...): the home's __constructor__ (never through __resolve), run with the
    // next prototype up as its home.
    Value CallConstructor(Vm& vm, std::span<const Value> args);

private:
    Value m_this;
    Object* m_home;    // when home is not on this's chain
    int m_depth = -1;  // steps from this to home
};

struct Frame {
    explicit Frame(Vm& v) : vm(v) {}
    Vm& vm;
    std::shared_ptr<const CodeBlock> code;
    int version = 0;
    ScopePtr scope;
    Value thisValue;
    Object* baseTarget = nullptr;  // the timeline the code belongs to
    Object* target = nullptr;      // changed by tellTarget/setTarget
    Object* locals = nullptr;      // function activation object, nullptr on a timeline
    Object* arguments = nullptr;
    FunctionObject* callee = nullptr;
    Object* home = nullptr;
    std::shared_ptr<const std::vector<std::string>> pool;
    std::vector<Value> registers;
    std::vector<Value> stack;
    Value returnValue;

    Value Pop() {
        if (stack.empty()) return {};
        Value v = std::move(stack.back());
        stack.pop_back();
        return v;
    }
    void Push(Value v) { stack.push_back(std::move(v)); }
    Value& Top() {
        if (stack.empty()) stack.emplace_back();
        return stack.back();
    }
    std::string PopString() { return vm.ToString(Pop()); }
    double PopNumber() { return vm.ToNumber(Pop()); }
    // SWF 4 pushes 1/0 where later versions push booleans.
    void PushBool(bool b) { Push(version < 5 ? Value::Number(b ? 1 : 0) : Value::Bool(b)); }
    // A string from the action bytes: ANSI before SWF 6.
    std::string Text(std::string_view raw) const {
        return version < 6 ? vm.Codec().AnsiToUtf8(raw) : std::string(raw);
    }
};

// Where execution of a range went.
struct Flow {
    enum class Kind : uint8_t { Normal, Return, Jump } kind = Kind::Normal;
    size_t target = 0;  // Jump: a position outside the range that ran
};

// Variables and paths (interpreter_vars.cpp).
Value GetVariable(Frame& f, std::string_view name);
void SetVariable(Frame& f, std::string_view name, const Value& value);
void DefineLocal(Frame& f, std::string_view name, const Value& value, bool onlyDeclare);
bool DeleteVariable(Frame& f, std::string_view name);
Object* ResolveTarget(Frame& f, std::string_view path);
Object* TargetOfValue(Frame& f, const Value& v);
ClipId TargetClip(Frame& f);
Value CallNamedFunction(Frame& f, std::string_view name, std::span<const Value> args);
Value CallMethodOn(Frame& f, const Value& target, const Value& name, std::span<const Value> args);
Value ConstructNamed(Frame& f, const Value& target, const Value& name, std::span<const Value> args);

// Simple stack and arithmetic actions (interpreter_ops.cpp); false for an unknown code.
bool ExecuteSimpleOp(Frame& f, uint8_t code);
// Timeline, clip and URL actions (interpreter_timeline.cpp); false for an unknown code.
bool ExecuteTimelineOp(Frame& f, const ActionRecord& action);

}  // namespace velmora::avm1
