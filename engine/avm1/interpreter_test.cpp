#include "engine/avm1/interpreter.h"

#include <gtest/gtest.h>

#include <cmath>

#include "engine/avm1/test_support.h"

namespace velmora::avm1 {
namespace {

using test::Asm;
using test::P;
using test::RunTrace;
using Lines = std::vector<std::string>;

TEST(Interpreter, Swf4ActionsPushNumbersAndErrorText) {
    Asm code;
    code.Push({1, 1}).Do(Op::Equals).Do(Op::Trace);
    code.Push({4, 0}).Do(Op::Divide).Do(Op::Trace);
    code.Push({"3", "4"}).Do(Op::Add).Do(Op::Trace);
    code.Push({"NaN"}).Do(Op::GetVariable).Push({0}).Do(Op::Equals).Do(Op::Trace);  // no globals in SWF 4
    EXPECT_EQ(RunTrace(code, 4), (Lines{"1", "#ERROR#", "7", "1"}));
    EXPECT_EQ(RunTrace(code, 5), (Lines{"true", "Infinity", "7", "false"}));
}

TEST(Interpreter, Add2ConcatenatesWhenEitherSideIsAString) {
    Asm code;
    code.Push({1, 2}).Do(Op::Add2).Do(Op::Trace);
    code.Push({"1", 2}).Do(Op::Add2).Do(Op::Trace);
    code.Push({1, P::Undef()}).Do(Op::Add2).Do(Op::Trace);
    code.Push({"a", P::Undef()}).Do(Op::Add2).Do(Op::Trace);
    EXPECT_EQ(RunTrace(code, 7), (Lines{"3", "12", "NaN", "aundefined"}));
    EXPECT_EQ(RunTrace(code, 6), (Lines{"3", "12", "1", "a"}));
}

TEST(Interpreter, TraceOfUndefinedSaysUndefinedInEveryVersion) {
    Asm code;
    code.Push({P::Undef()}).Do(Op::Trace);
    code.Push({"", P::Undef()}).Do(Op::Add2).Do(Op::Trace);
    EXPECT_EQ(RunTrace(code, 6), (Lines{"undefined", ""}));
}

TEST(Interpreter, LoopWithJumpsAndRegisters) {
    // for (r1 = 0; r1 < 3; r1++) trace(r1);
    Asm code;
    code.Push({0}).StoreRegister(1).Do(Op::Pop);
    code.Label("top").Push({P::Reg(1), 3}).Do(Op::Less2).Do(Op::Not).If("end");
    code.Push({P::Reg(1)}).Do(Op::Trace);
    code.Push({P::Reg(1)}).Do(Op::Increment).StoreRegister(1).Do(Op::Pop).Jump("top");
    code.Label("end");
    EXPECT_EQ(RunTrace(code), (Lines{"0", "1", "2"}));
}

TEST(Interpreter, ConstantPoolAndBitOps) {
    Asm code;
    code.Pool({"hello", "x"});
    code.Push({P::Const(0)}).Do(Op::Trace);
    code.Push({-1, 28}).Do(Op::BitURShift).Do(Op::Trace);
    code.Push({-16, 2}).Do(Op::BitRShift).Do(Op::Trace);
    code.Push({1, 31}).Do(Op::BitLShift).Do(Op::Trace);
    code.Push({"12", 10}).Do(Op::BitXor).Do(Op::Trace);
    EXPECT_EQ(RunTrace(code), (Lines{"hello", "15", "-4", "-2147483648", "6"}));
}

TEST(Interpreter, FunctionsClosuresAndLocals) {
    // function makeCounter() { var n = 0; return function() { n++; return n; }; }
    Asm inner;
    inner.Push({"n", "n"}).Do(Op::GetVariable).Do(Op::Increment).Do(Op::SetVariable);
    inner.Push({"n"}).Do(Op::GetVariable).Do(Op::Return);
    Asm outer;
    outer.Push({"n", 0}).Do(Op::DefineLocal);
    outer.Function("", {}, inner).Do(Op::Return);
    Asm code;
    code.Function("makeCounter", {}, outer);
    code.Push({"c"}).Call("makeCounter", 0).Do(Op::SetVariable);
    for (int i = 0; i < 2; ++i) code.Push({0, "c"}).Do(Op::CallFunction).Do(Op::Trace);
    code.TraceVar("n");  // the local never leaks to the timeline
    EXPECT_EQ(RunTrace(code, 7), (Lines{"1", "2", "undefined"}));
}

TEST(Interpreter, AssignmentWithoutVarLandsOnTheTimeline) {
    Asm body;
    body.SetVar("leaked", P(5));
    Asm code;
    code.Function("f", {}, body).Call("f", 0).Do(Op::Pop).TraceVar("leaked");
    EXPECT_EQ(RunTrace(code), (Lines{"5"}));
}

TEST(Interpreter, DefineFunction2PreloadsRegisters) {
    // function f(a /*r3*/, b /*local*/) with this in r1, arguments in r2.
    Asm body;
    body.Push({P::Reg(1)}).Do(Op::TypeOf).Do(Op::Trace);
    body.Push({P::Reg(2), "length"}).Do(Op::GetMember).Do(Op::Trace);
    body.Push({P::Reg(3)}).Do(Op::Trace);
    body.TraceVar("b");
    body.TraceVar("a");  // a lives only in its register
    Asm code;
    code.Function2("f", 4, 0x01 | 0x04, {{3, "a"}, {0, "b"}}, body);
    code.Push({"B", "A", 2, "f"}).Do(Op::CallFunction).Do(Op::Pop);
    EXPECT_EQ(RunTrace(code, 7), (Lines{"object", "2", "A", "B", "undefined"}));
}

TEST(Interpreter, SuppressingANameWinsOverPreloadingIt) {
    // super preloaded and suppressed: neither r1 nor the name holds it.
    Asm body;
    body.Push({P::Reg(1)}).Do(Op::Trace).TraceVar("super");
    Asm preloadOnly;
    preloadOnly.Push({P::Reg(1)}).Do(Op::TypeOf).Do(Op::Trace).TraceVar("super");
    Asm code;
    code.Function2("f", 2, 0x10 | 0x20, {}, body).Call("f", 0).Do(Op::Pop);
    code.Function2("g", 2, 0x10, {}, preloadOnly).Call("g", 0).Do(Op::Pop);
    EXPECT_EQ(RunTrace(code, 7), (Lines{"undefined", "undefined", "object", "undefined"}));
}

TEST(Interpreter, TryCatchFinallyAndRethrow) {
    Asm thrower;
    thrower.Push({"boom"}).Do(Op::Throw);
    Asm handler;
    handler.Push({"caught "}).TraceVar("e");
    Asm cleanup;
    cleanup.Push({"finally"}).Do(Op::Trace);
    Asm code;
    code.Try(thrower, "e", &handler, &cleanup);
    code.Push({"after"}).Do(Op::Trace);
    // A throw with only finally propagates after the finally ran.
    code.Try(thrower, "", nullptr, &cleanup);
    code.Push({"not reached"}).Do(Op::Trace);
    RunStatus status;
    EXPECT_EQ(RunTrace(code, 7, &status),
              (Lines{"boom", "finally", "after", "finally", "Warning: Uncaught exception, boom"}));
    EXPECT_EQ(status, RunStatus::UncaughtException);
}

TEST(Interpreter, CatchIntoRegisterAndThrowAcrossCalls) {
    Asm thrower;
    thrower.Push({"deep"}).Do(Op::Throw);
    Asm body;
    body.Call("thrower", 0).Do(Op::Pop);
    Asm handler;
    handler.Push({P::Reg(0)}).Do(Op::Trace);
    Asm code;
    code.Function("thrower", {}, thrower);
    code.Try(body, "", &handler, nullptr, 0);
    EXPECT_EQ(RunTrace(code), (Lines{"deep"}));
}

TEST(Interpreter, ReturnInsideFinallyBodyStillRunsFinally) {
    Asm body;
    body.Push({"value"}).Do(Op::Return);
    Asm cleanup;
    cleanup.Push({"cleanup"}).Do(Op::Trace);
    Asm fn;
    fn.Try(body, "", nullptr, &cleanup);
    Asm code;
    code.Function("f", {}, fn).Call("f", 0).Do(Op::Trace);
    EXPECT_EQ(RunTrace(code), (Lines{"cleanup", "value"}));
}

TEST(Interpreter, WithScopesNamesToTheObject) {
    Asm body;
    body.TraceVar("x");
    body.SetVar("x", P(2));
    Asm code;
    code.Push({"o", "x", 1, 1}).Do(Op::InitObject).Do(Op::SetVariable);
    code.Push({"o"}).Do(Op::GetVariable).With(body);
    code.Push({"o"}).Do(Op::GetVariable).Push({"x"}).Do(Op::GetMember).Do(Op::Trace);
    code.TraceVar("x");
    EXPECT_EQ(RunTrace(code, 7), (Lines{"1", "2", "undefined"}));
}

TEST(Interpreter, EnumerateVisitsNewestPropertyFirst) {
    Asm full;
    full.Push({"o"}).Push({0, "Object"}).Do(Op::NewObject).Do(Op::SetVariable);
    for (const char* name : {"a", "b", "c"}) full.Push({"o"}).Do(Op::GetVariable).Push({name, 1}).Do(Op::SetMember);
    full.Push({"o"}).Do(Op::GetVariable).TraceForIn();
    EXPECT_EQ(RunTrace(full, 7), (Lines{"c", "b", "a"}));
}

TEST(Interpreter, RecursionLimitStopsTheWholeBlock) {
    Asm body;
    body.Push({"in"}).Do(Op::Trace).Call("r", 0).Do(Op::Pop);
    Asm handler;
    handler.Push({"caught"}).Do(Op::Trace);
    Asm attempt;
    attempt.Call("r", 0).Do(Op::Pop);
    Asm code;
    code.Function("r", {}, body).Try(attempt, "e", &handler, nullptr).Push({"after"}).Do(Op::Trace);
    test::RecordingHost host;
    VmLimits limits;
    limits.maxRecursion = 5;
    Vm vm(host, nullptr, 8, limits);
    auto bytes = code.Bytes();
    EXPECT_EQ(vm.RunActions(bytes, 8, kNoClip), RunStatus::Aborted);
    EXPECT_EQ(host.lines, (Lines(4, "in")));
    // The VM is usable again afterwards.
    Asm next;
    next.Push({"next"}).Do(Op::Trace);
    EXPECT_EQ(vm.RunActions(next.Bytes(), 8, kNoClip), RunStatus::Completed);
    EXPECT_EQ(host.lines.back(), "next");
}

TEST(Interpreter, InfiniteLoopIsStoppedByTheActionBudget) {
    Asm code;
    code.Label("top").Push({"x", 1}).Do(Op::SetVariable).Jump("top");
    test::RecordingHost host;
    VmLimits limits;
    limits.maxActionsPerRun = 100000;
    Vm vm(host, nullptr, 8, limits);
    EXPECT_EQ(vm.RunActions(code.Bytes(), 8, kNoClip), RunStatus::Aborted);
}

TEST(Interpreter, MalformedBlocksEndWithoutReadingPastTheirBytes) {
    // Each block is cut short; the VM stops where the bytes stop.
    const std::vector<std::vector<uint8_t>> blocks = {
        {0x96, 0x05, 0x00, 0x00, 'a'},         // push longer than the block
        {0x96, 0x02, 0x00, 0x06, 0x00},        // double cut off
        {0x96, 0x03, 0x00, 0x08, 0x07, 0x26},  // constant index without a pool, then trace
        {0x99, 0x01},                          // jump without its offset
        {0x9B, 0x04, 0x00, 'f', 0, 0xFF, 0xFF},// function with huge counts
        {0x8F, 0x03, 0x00, 0x07, 0xFF, 0xFF},  // try with truncated sizes
        {0x88, 0xFF, 0xFF},                    // constant pool cut off
        {0x9D, 0x02, 0x00, 0x00, 0x80},        // if jumping far backwards
    };
    for (const auto& block : blocks) {
        test::RecordingHost host;
        Vm vm(host, nullptr, 8);
        RunStatus status = vm.RunActions(block, 8, kNoClip);
        EXPECT_NE(status, RunStatus::Aborted);
    }
}

TEST(Interpreter, JumpPastTheEndEndsTheBlock) {
    Asm code;
    code.Push({"before"}).Do(Op::Trace).Jump("far").Push({"skipped"}).Do(Op::Trace).Label("far");
    std::vector<uint8_t> bytes = code.Bytes(false);
    // Patch the jump to land 100 bytes beyond the block.
    Asm probe;
    probe.Push({"before"}).Do(Op::Trace);
    size_t jumpPayload = probe.Bytes(false).size() + 3;
    bytes[jumpPayload] = 100;
    bytes[jumpPayload + 1] = 0;
    bytes.push_back(0);
    test::RecordingHost host;
    Vm vm(host, nullptr, 8);
    EXPECT_EQ(vm.RunActions(bytes, 8, kNoClip), RunStatus::Completed);
    EXPECT_EQ(host.lines, (Lines{"before"}));
}

TEST(Interpreter, StringActionsOfSwf4) {
    Asm code;
    code.Push({"abcdef", 2, 3}).Do(Op::StringExtract).Do(Op::Trace);
    code.Push({"abc"}).Do(Op::StringLength).Do(Op::Trace);
    code.Push({65}).Do(Op::AsciiToChar).Do(Op::Trace);
    code.Push({"a"}).Do(Op::CharToAscii).Do(Op::Trace);
    code.Push({"b", "a"}).Do(Op::StringLess).Do(Op::Trace);
    EXPECT_EQ(RunTrace(code, 4), (Lines{"bcd", "3", "A", "97", "0"}));
}

TEST(Interpreter, AnsiStringsBeforeSwf6) {
    // 0xC4 0xE3 is GBK; without a codec it reads as two Latin-1 characters,
    // and SWF 6 reads bytes as UTF-8.
    Asm code;
    code.Push({"\xC3\xA9"}).Do(Op::MbStringLength).Do(Op::Trace);
    EXPECT_EQ(RunTrace(code, 5), (Lines{"2"}));
    EXPECT_EQ(RunTrace(code, 6), (Lines{"1"}));
}

// Add2 with objects: valueOf answers; an object answer or no answer adds as NaN,
// unless a string is involved, then the object's text joins.
TEST(Interpreter, Add2WithObjects) {
    Asm code;
    code.Push({"o", 0, "Object"}).Do(Op::NewObject).Do(Op::SetVariable);  // valueOf gives the object back
    code.Push({1, "o"}).Do(Op::GetVariable).Do(Op::Add2).Do(Op::Trace);
    code.Push({"x", "o"}).Do(Op::GetVariable).Do(Op::Add2).Do(Op::Trace);
    // _global has no valueOf at all: its primitive is undefined, not its text.
    code.Push({"_global"}).Do(Op::GetVariable).Push({""}).Do(Op::Add2).Do(Op::Trace);
    code.Push({"n", 5, 1, "Number"}).Do(Op::NewObject).Do(Op::SetVariable);
    code.Push({"n"}).Do(Op::GetVariable).Push({1}).Do(Op::Add2).Do(Op::Trace);
    EXPECT_EQ(RunTrace(code, 7), (Lines{"NaN", "x[object Object]", "undefined", "6"}));
}

TEST(Interpreter, EnumerationListsInheritedNamesFirst) {
    // a = {x, y} as the prototype of b = {z}, with b.x shadowing a.x.
    Asm code;
    code.Push({"a", "x", 1, "y", 2, 2}).Do(Op::InitObject).Do(Op::SetVariable);
    code.Push({"b", "__proto__", "a"}).Do(Op::GetVariable).Push({1}).Do(Op::InitObject).Do(Op::SetVariable);
    code.Push({"b"}).Do(Op::GetVariable).Push({"z", 3}).Do(Op::SetMember);
    code.Push({"b"}).Do(Op::GetVariable).Push({"x", 4}).Do(Op::SetMember);
    code.Push({"b"}).Do(Op::GetVariable).TraceForIn();
    // InitObject made y before x. The loop runs backwards over own-then-inherited
    // names: inherited y first, then the own names newest first.
    EXPECT_EQ(RunTrace(code, 7), (Lines{"y", "x", "z"}));
}

TEST(Interpreter, VarWithATargetPathAndOversizedInitObject) {
    Asm code;
    code.Push({"_global:g", 7}).Do(Op::DefineLocal);
    code.Push({"_global"}).Do(Op::GetVariable).Push({"g"}).Do(Op::GetMember).Do(Op::Trace);
    code.Push({"left", 1000}).Do(Op::InitObject).Do(Op::Trace).Do(Op::Trace);  // nothing consumed
    EXPECT_EQ(RunTrace(code, 7), (Lines{"7", "undefined", "left"}));
}

TEST(Interpreter, StrictEqualityTreatsNaNAsEqualButLooseDoesNot) {
    Asm code;
    code.Push({std::nan(""), std::nan("")}).Do(Op::StrictEquals).Do(Op::Trace);
    code.Push({std::nan(""), std::nan("")}).Do(Op::Equals2).Do(Op::Trace);
    code.Push({-1, 0}).Do(Op::BitURShift).Do(Op::Trace);
    EXPECT_EQ(RunTrace(code, 8), (Lines{"true", "false", "-1"}));
}

}  // namespace
}  // namespace velmora::avm1
