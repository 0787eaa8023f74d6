// How `this`, `super` and the preloaded registers of a function are bound.
#include <gtest/gtest.h>

#include "engine/avm1/test_support.h"

namespace velmora::avm1 {
namespace {

using test::Asm;
using test::P;
using test::RunTrace;
using Lines = std::vector<std::string>;

// function who() { trace(this.name); }
Asm WhoFunction() {
    Asm body;
    body.Push({"this"}).Do(Op::GetVariable).Push({"name"}).Do(Op::GetMember).Do(Op::Trace);
    Asm code;
    return code.Function("who", {}, body);
}

TEST(Binding, CallByNameTakesThisFromWhereTheFunctionWasFound) {
    Asm code = WhoFunction();
    code.SetVar("name", P("timeline"));
    // o = {name: "o", who: who}
    code.Push({"o", "name", "o", "who", "who"})
        .Do(Op::GetVariable)
        .Push({2})
        .Do(Op::InitObject)
        .Do(Op::SetVariable);
    code.Call("who", 0).Do(Op::Pop);  // a timeline function: the timeline
    code.Push({"o"}).Do(Op::GetVariable).With(Asm().Call("who", 0).Do(Op::Pop));  // found on o: o
    code.Call("o.who", 0).Do(Op::Pop);                                            // through a path: o
    // A local function variable gets the timeline, not the activation.
    Asm inner;
    inner.Push({"f", "o"}).Do(Op::GetVariable).Push({"who"}).Do(Op::GetMember).Do(Op::DefineLocal);
    inner.Call("f", 0).Do(Op::Pop);
    code.Function("outer", {}, inner).Call("outer", 0).Do(Op::Pop);
    EXPECT_EQ(RunTrace(code, 8), (Lines{"timeline", "o", "o", "timeline"}));
}

TEST(Binding, ThisIsAnAssignableVariableOfTheRunningCode) {
    Asm body;
    body.SetVar("this", P(1234)).TraceVar("this");
    Asm code;
    code.Function("f", {}, body).Call("f", 0).Do(Op::Pop);
    code.SetVar("this", P("test")).TraceVar("this");
    EXPECT_EQ(RunTrace(code, 8), (Lines{"1234", "test"}));
}

TEST(Binding, SuperStartsAboveTheHomeAndSkipsOwnMethods) {
    Asm code;
    // A.prototype.m traces "A"; B extends A; B.prototype.m calls super.m().
    Asm traceA;
    traceA.Push({"A"}).Do(Op::Trace);
    code.Function("A", {}, Asm()).Push({"A"}).Do(Op::GetVariable).Push({"prototype"}).Do(Op::GetMember);
    code.Push({"m"}).Function("", {}, traceA).Do(Op::SetMember);
    code.Function("B", {}, Asm())
        .Push({"B"})
        .Do(Op::GetVariable)
        .Push({"A"})
        .Do(Op::GetVariable)
        .Do(Op::Extends);
    Asm callSuper;
    callSuper.Push({0, "super"}).Do(Op::GetVariable).Push({"m"}).Do(Op::CallMethod).Do(Op::Pop);
    code.Push({"B"}).Do(Op::GetVariable).Push({"prototype"}).Do(Op::GetMember);
    code.Push({"m"}).Function("", {}, callSuper).Do(Op::SetMember);
    code.Push({"b", 0, "B"}).Do(Op::NewObject).Do(Op::SetVariable);
    code.Push({0, "b"}).Do(Op::GetVariable).Push({"m"}).Do(Op::CallMethod).Do(Op::Pop);
    // An own method's super() does not find the object's own __constructor__.
    Asm construct;
    construct.Push({"constructed"}).Do(Op::Trace);
    Asm zuper;
    zuper.Push({0, "super"}).Do(Op::GetVariable).Push({P::Undef()}).Do(Op::CallMethod).Do(Op::Trace);
    code.Push({"o", "__constructor__"}).Function("", {}, construct).Push({"f"}).Function("", {}, zuper);
    code.Push({2}).Do(Op::InitObject).Do(Op::SetVariable);
    code.Push({0, "o"}).Do(Op::GetVariable).Push({"f"}).Do(Op::CallMethod).Do(Op::Pop);
    EXPECT_EQ(RunTrace(code, 8), (Lines{"A", "undefined"}));
}

TEST(Binding, Function2PreloadsInThePlayersOrder) {
    enum : uint16_t {
        kThis = 1,
        kNoThis = 2,
        kArgs = 4,
        kNoArgs = 8,
        kSuper = 0x10,
        kNoSuper = 0x20,
        kRoot = 0x40,
        kParent = 0x80,
        kGlobal = 0x100
    };
    const struct {
        uint16_t flags;
        Lines expected;  // registers 1..3, then `this`
    } cases[] = {
        {kArgs, {"a,b", "undefined", "undefined", "T"}},
        // With this in a register, the name `this` reads as on the timeline.
        {kThis | kArgs, {"T", "a,b", "undefined", "_root"}},
        // Suppressing this and super leaves their registers empty; arguments still loads.
        {kThis | kNoThis | kArgs | kNoArgs | kSuper | kNoSuper, {"undefined", "a,b", "undefined", "_root"}},
        // _global comes before _parent.
        {kRoot | kGlobal | kParent, {"_root", "global", "undefined", "T"}},
        {kNoThis | kGlobal, {"global", "undefined", "undefined", "_root"}},
    };
    for (const auto& c : cases) {
        Asm body;
        for (int r = 1; r <= 3; ++r) body.Push({P::Reg(r)}).Do(Op::Trace);
        body.Push({"this"}).Do(Op::GetVariable).Do(Op::Trace);
        Asm code;
        code.Push({"_global"})
            .Do(Op::GetVariable)
            .Push({"toString"})
            .Function("", {}, Asm().Push({"global"}).Do(Op::Return))
            .Do(Op::SetMember);
        code.Push({"toString"}).Function("", {}, Asm().Push({"_root"}).Do(Op::Return)).Do(Op::SetVariable);
        code.Push({"o", "toString"})
            .Function("", {}, Asm().Push({"T"}).Do(Op::Return))
            .Push({1})
            .Do(Op::InitObject)
            .Do(Op::SetVariable);
        code.Push({"o"})
            .Do(Op::GetVariable)
            .Push({"f"})
            .Function2("", 4, c.flags, {}, body)
            .Do(Op::SetMember);
        code.Push({"b", "a", 2, "o"}).Do(Op::GetVariable).Push({"f"}).Do(Op::CallMethod).Do(Op::Pop);
        EXPECT_EQ(RunTrace(code, 8), c.expected) << "flags " << c.flags;
    }
}

}  // namespace
}  // namespace velmora::avm1
