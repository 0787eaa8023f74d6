#include "engine/avm1/object.h"

#include <gtest/gtest.h>

#include "engine/avm1/test_support.h"

namespace velmora::avm1 {
namespace {

using test::Asm;
using test::P;
using test::RunTrace;
using Lines = std::vector<std::string>;

TEST(Objects, NamesAreCaseInsensitiveBeforeSwf7) {
    Asm code;
    code.SetVar("Foo", P(1)).TraceVar("foo");
    code.SetVar("foo", P(2)).TraceVar("Foo");
    EXPECT_EQ(RunTrace(code, 6), (Lines{"1", "2"}));
    EXPECT_EQ(RunTrace(code, 7), (Lines{"undefined", "1"}));
}

TEST(Objects, SetPropFlagsHidesProtectsAndFreezes) {
    test::RecordingHost host;
    Vm vm(host, nullptr, 8);
    Object* o = vm.NewObject();
    for (const char* n : {"a", "b", "c"}) vm.Set(o, n, Value::Number(1));
    Value args[] = {Value::Obj(o), Value::String("a,c"), Value::Number(kDontEnum | kReadOnly), Value::Number(0)};
    vm.CallValue(vm.Get(vm.Global(), "ASSetPropFlags"), Value(), args);
    EXPECT_EQ(vm.EnumerableKeys(o), (std::vector<std::string>{"b"}));
    vm.Set(o, "a", Value::Number(9));
    EXPECT_EQ(vm.ToNumber(vm.Get(o, "a")), 1);  // read-only
    vm.Set(o, "b", Value::Number(9));
    EXPECT_EQ(vm.ToNumber(vm.Get(o, "b")), 9);
    Value protect[] = {Value::Obj(o), Value::Null(), Value::Number(kDontDelete), Value::Number(kReadOnly)};
    vm.CallValue(vm.Get(vm.Global(), "ASSetPropFlags"), Value(), protect);
    EXPECT_FALSE(vm.Delete(o, "b"));
    vm.Set(o, "a", Value::Number(3));
    EXPECT_EQ(vm.ToNumber(vm.Get(o, "a")), 3);  // read-only cleared
}

TEST(Objects, VersionFlagsHidePropertiesFromOlderMovies) {
    test::RecordingHost host;
    Vm vm(host, nullptr, 6);
    Object* o = vm.NewObject();
    o->Define("newer", Value::Number(1), kOnlySwf7Up);
    vm.SetVersion(6);
    EXPECT_TRUE(vm.Get(o, "newer").IsUndefined());
    vm.SetVersion(7);
    EXPECT_EQ(vm.ToNumber(vm.Get(o, "newer")), 1);
}

TEST(Objects, AddPropertyGetterSetterThroughPrototype) {
    // proto.addProperty("v", get, set); obj.__proto__ = proto; obj.v = 5 calls the setter on obj.
    Asm getter;
    getter.Push({"this"}).Do(Op::GetVariable).Push({"_v"}).Do(Op::GetMember).Push({10}).Do(Op::Multiply).Do(Op::Return);
    Asm setter;
    setter.Push({"this"}).Do(Op::GetVariable).Push({"_v", "x"}).Do(Op::GetVariable).Do(Op::SetMember);
    Asm code;
    code.Push({"proto", 0, "Object"}).Do(Op::NewObject).Do(Op::SetVariable);
    code.Function("", {"x"}, setter).Function("", {}, getter).Push({"v", 3, "proto"}).Do(Op::GetVariable);
    code.Push({"addProperty"}).Do(Op::CallMethod).Do(Op::Trace);
    code.Push({"obj", 0, "Object"}).Do(Op::NewObject).Do(Op::SetVariable);
    code.Push({"obj"}).Do(Op::GetVariable).Push({"__proto__", "proto"}).Do(Op::GetVariable).Do(Op::SetMember);
    code.Push({"obj"}).Do(Op::GetVariable).Push({"v", 5}).Do(Op::SetMember);
    code.Push({"obj"}).Do(Op::GetVariable).Push({"v"}).Do(Op::GetMember).Do(Op::Trace);
    code.Push({"obj"}).Do(Op::GetVariable).Push({"_v"}).Do(Op::GetMember).Do(Op::Trace);
    code.Push({"proto"}).Do(Op::GetVariable).Push({"_v"}).Do(Op::GetMember).Do(Op::Trace);
    EXPECT_EQ(RunTrace(code, 7), (Lines{"true", "50", "5", "undefined"}));
}

TEST(Objects, WatchSeesOldAndNewValueAndCanReplaceIt) {
    // o.watch("p", function(name, old, nv) { trace(name+":"+old+">"+nv); return nv * 2; })
    Asm callback;
    callback.Push({"name"}).Do(Op::GetVariable).Push({":"}).Do(Op::Add2).Push({"old"}).Do(Op::GetVariable);
    callback.Do(Op::Add2).Push({">"}).Do(Op::Add2).Push({"nv"}).Do(Op::GetVariable).Do(Op::Add2).Do(Op::Trace);
    callback.Push({"nv"}).Do(Op::GetVariable).Push({2}).Do(Op::Multiply).Do(Op::Return);
    Asm code;
    code.Push({"o", 0, "Object"}).Do(Op::NewObject).Do(Op::SetVariable);
    code.Function("", {"name", "old", "nv"}, callback).Push({"p", 2, "o"}).Do(Op::GetVariable);
    code.Push({"watch"}).Do(Op::CallMethod).Do(Op::Pop);
    code.Push({"o"}).Do(Op::GetVariable).Push({"p", 1}).Do(Op::SetMember);
    code.Push({"o"}).Do(Op::GetVariable).Push({"p", 4}).Do(Op::SetMember);
    code.Push({"o"}).Do(Op::GetVariable).Push({"p"}).Do(Op::GetMember).Do(Op::Trace);
    EXPECT_EQ(RunTrace(code, 7), (Lines{"p:undefined>1", "p:2>4", "8"}));
}

TEST(Objects, ResolveAnswersMissingProperties) {
    Asm resolver;
    resolver.Push({"missing:"}).Push({"n"}).Do(Op::GetVariable).Do(Op::Add2).Do(Op::Return);
    Asm code;
    code.Push({"o", 0, "Object"}).Do(Op::NewObject).Do(Op::SetVariable);
    code.Push({"o"}).Do(Op::GetVariable).Push({"__resolve"}).Function("", {"n"}, resolver).Do(Op::SetMember);
    code.Push({"o"}).Do(Op::GetVariable).Push({"there", 1}).Do(Op::SetMember);
    code.Push({"o"}).Do(Op::GetVariable).Push({"zork"}).Do(Op::GetMember).Do(Op::Trace);
    code.Push({"o"}).Do(Op::GetVariable).Push({"there"}).Do(Op::GetMember).Do(Op::Trace);
    EXPECT_EQ(RunTrace(code, 7), (Lines{"missing:zork", "1"}));
}

// function A() { this.a = 1; } A.prototype.hi = function() { return "A.hi"; }
// B extends A: function B() { super(); } B.prototype.hi = function() { return "B+" + super.hi(); }
TEST(Objects, ExtendsSuperAndInstanceOf) {
    Asm ctorA;
    ctorA.Push({"this"}).Do(Op::GetVariable).Push({"a", 1}).Do(Op::SetMember);
    Asm hiA;
    hiA.Push({"A.hi"}).Do(Op::Return);
    Asm ctorB;
    ctorB.Push({0, "super"}).Do(Op::CallFunction).Do(Op::Pop);
    Asm hiB;
    hiB.Push({"B+", 0, "super"}).Do(Op::GetVariable).Push({"hi"}).Do(Op::CallMethod).Do(Op::Add2).Do(Op::Return);
    Asm code;
    code.Function("A", {}, ctorA).Function("B", {}, ctorB);
    code.Push({"A"}).Do(Op::GetVariable).Push({"prototype"}).Do(Op::GetMember).Push({"hi"}).Function("", {}, hiA).Do(Op::SetMember);
    code.Push({"B"}).Do(Op::GetVariable).Push({"A"}).Do(Op::GetVariable).Do(Op::Extends);
    code.Push({"B"}).Do(Op::GetVariable).Push({"prototype"}).Do(Op::GetMember).Push({"hi"}).Function("", {}, hiB).Do(Op::SetMember);
    code.Push({"b", 0, "B"}).Do(Op::NewObject).Do(Op::SetVariable);
    code.Push({0, "b"}).Do(Op::GetVariable).Push({"hi"}).Do(Op::CallMethod).Do(Op::Trace);
    code.Push({"b"}).Do(Op::GetVariable).Push({"a"}).Do(Op::GetMember).Do(Op::Trace);
    auto both = [&code](const char* first, const char* second, Op op) -> Asm& {
        return code.Push({first}).Do(Op::GetVariable).Push({second}).Do(Op::GetVariable).Do(op);
    };
    both("b", "A", Op::InstanceOf).Do(Op::Trace);
    both("b", "Array", Op::InstanceOf).Do(Op::Trace);
    both("A", "b", Op::CastOp).Do(Op::TypeOf).Do(Op::Trace);
    both("Array", "b", Op::CastOp).Do(Op::Trace);
    EXPECT_EQ(RunTrace(code, 7), (Lines{"B+A.hi", "1", "true", "false", "object", "null"}));
}

TEST(Objects, ImplementsMakesInstanceOfTrue) {
    Asm empty;
    Asm code;
    code.Function("I", {}, empty).Function("C", {}, empty);
    code.Push({"I"}).Do(Op::GetVariable).Push({1, "C"}).Do(Op::GetVariable).Do(Op::ImplementsOp);
    code.Push({"c", 0, "C"}).Do(Op::NewObject).Do(Op::SetVariable);
    code.Push({"c"}).Do(Op::GetVariable).Push({"I"}).Do(Op::GetVariable).Do(Op::InstanceOf).Do(Op::Trace);
    EXPECT_EQ(RunTrace(code, 7), (Lines{"true"}));
}

TEST(Objects, DeleteRespectsDontDelete) {
    Asm code;
    code.SetVar("x", P(1)).Push({"x"}).Do(Op::Delete2).Do(Op::Trace).TraceVar("x");
    code.Push({"Math"}).Do(Op::GetVariable).Push({"PI"}).Do(Op::Delete).Do(Op::Trace);
    EXPECT_EQ(RunTrace(code, 7), (Lines{"true", "undefined", "false"}));
}

TEST(Objects, PrototypeCyclesDoNotHang) {
    test::RecordingHost host;
    Vm vm(host, nullptr, 8);
    Object* a = vm.NewObject();
    Object* b = vm.NewObject();
    a->SetProto(b);
    b->SetProto(a);
    EXPECT_TRUE(vm.Get(a, "nothing").IsUndefined());
    EXPECT_FALSE(vm.Has(a, "nothing"));
    EXPECT_TRUE(vm.EnumerableKeys(a).empty());
}

TEST(Objects, ProtoSlotHoldsAnyValueAndLinksOnlyObjects) {
    test::RecordingHost host;
    Vm vm(host, nullptr, 6);
    Object* base = vm.NewObject();
    vm.Set(base, "inherited", Value::Number(1));
    struct Case {
        Value stored;
        const char* type;
        bool links;
    };
    const Case cases[] = {
        {Value::Number(123), "number", false}, {Value::Bool(true), "boolean", false},
        {Value::String("abc"), "string", false}, {Value::Null(), "null", false},
        {Value(), "undefined", false},          {Value::Obj(base), "object", true},
    };
    for (const Case& c : cases) {
        Object* o = vm.NewObject();
        vm.Set(o, "__proto__", c.stored);
        Value read = vm.Get(o, "__PROTO__");  // names fold case before SWF 7
        EXPECT_EQ(vm.TypeOf(read), c.type);
        EXPECT_EQ(vm.ToString(read), vm.ToString(c.stored));
        EXPECT_EQ(vm.Get(o, "inherited").IsUndefined(), !c.links) << c.type;
    }
}

TEST(Objects, ProtoSlotIsWatchedAndDeletable) {
    test::RecordingHost host;
    Vm vm(host, nullptr, 7);
    Object* base = vm.NewObject();
    vm.Set(base, "inherited", Value::Number(1));
    Object* o = vm.NewObject();
    std::vector<std::string> seen;
    auto* watcher = vm.NewNative([&seen, base](Vm& v, CallContext& c) {
        seen.push_back(v.ToString(c.Arg(0)) + ":" + v.TypeOf(c.Arg(1)) + ">" + v.ToString(c.Arg(2)));
        return Value::Obj(base);  // the watcher's answer is what gets stored
    });
    Value args[] = {Value::String("__proto__"), Value::Obj(watcher)};
    vm.CallValue(vm.Get(o, "watch"), Value::Obj(o), args);
    vm.Set(o, "__proto__", Value::String("foo"));
    EXPECT_EQ(seen, (std::vector<std::string>{"__proto__:object>foo"}));
    EXPECT_EQ(vm.Get(o, "__proto__").AsObject(), base);
    EXPECT_EQ(vm.ToNumber(vm.Get(o, "inherited")), 1);
    EXPECT_TRUE(vm.Get(o, "__PROTO__").IsUndefined());  // case-sensitive from SWF 7
    EXPECT_TRUE(vm.Delete(o, "__proto__"));
    EXPECT_TRUE(vm.Get(o, "__proto__").IsUndefined());
    EXPECT_TRUE(vm.Get(o, "inherited").IsUndefined());
    EXPECT_TRUE(vm.Get(o, "watch").IsUndefined());  // Object.prototype is gone too
}

TEST(Objects, ReentrantPropertyCallsStopAtSixtyFiveAndKeepTheOutermostValue) {
    // Each case re-enters o.p from one of its own calls; the counter is shared by
    // the getter, the setter and the watcher of the property.
    enum class Reenter { SetterSets, GetterGets, SetterGetsGetterSets, WatcherSets };
    struct Case {
        Reenter how;
        int calls;            // callbacks that ran for the first access
        std::string finalGet; // o.p read afterwards at the top level
    };
    const Case cases[] = {
        {Reenter::SetterSets, 65, "b"},
        {Reenter::GetterGets, 1, "b"},
        {Reenter::SetterGetsGetterSets, 65, "e"},
        {Reenter::WatcherSets, 65, "b"},
    };
    for (const Case& c : cases) {
        test::RecordingHost host;
        Vm vm(host, nullptr, 7);
        Object* o = vm.NewObject();
        int calls = 0;
        auto* setter = vm.NewNative([&](Vm& v, CallContext&) {
            ++calls;
            if (c.how == Reenter::SetterSets) v.Set(o, "p", Value::String("f"));
            if (c.how == Reenter::SetterGetsGetterSets) v.Get(o, "p");
            return Value();
        });
        auto* getter = vm.NewNative([&](Vm& v, CallContext&) {
            if (c.how == Reenter::SetterGetsGetterSets) {
                ++calls;
                v.Set(o, "p", Value::String("h"));
                return Value::String("e");
            }
            return v.Get(o, "p");
        });
        auto* watcher = vm.NewNative([&](Vm& v, CallContext& call) {
            ++calls;
            v.Set(o, "p", Value::String("f"));
            return call.Arg(2);
        });
        if (c.how == Reenter::WatcherSets) {
            Value args[] = {Value::String("p"), Value::Obj(watcher)};
            vm.CallValue(vm.Get(o, "watch"), Value::Obj(o), args);
        } else {
            Value args[] = {Value::String("p"), Value::Obj(getter), Value::Obj(setter)};
            vm.CallValue(vm.Get(o, "addProperty"), Value::Obj(o), args);
        }
        vm.Set(o, "p", Value::String("b"));
        EXPECT_EQ(calls, c.calls) << static_cast<int>(c.how);
        EXPECT_EQ(vm.ToString(vm.Get(o, "p")), c.finalGet) << static_cast<int>(c.how);
    }
}

TEST(Objects, CollectFreesUnreachableAndKeepsGlobals) {
    test::RecordingHost host;
    Vm vm(host, nullptr, 8);
    Asm code;
    code.Push({"_global"}).Do(Op::GetVariable).Push({"kept", 0, "Object"}).Do(Op::NewObject).Do(Op::SetMember);
    for (int i = 0; i < 50; ++i) code.Push({0, "Object"}).Do(Op::NewObject).Do(Op::Pop);
    vm.RunActions(code.Bytes(), 8, kNoClip);
    size_t before = vm.HeapSize();
    vm.Collect();
    EXPECT_LT(vm.HeapSize(), before - 40);
    Asm check;
    check.TraceVar("kept").Push({"kept"}).Do(Op::GetVariable).Do(Op::TypeOf).Do(Op::Trace);
    vm.RunActions(check.Bytes(), 8, kNoClip);
    EXPECT_EQ(host.lines, (Lines{"[object Object]", "object"}));
}

}  // namespace
}  // namespace velmora::avm1
