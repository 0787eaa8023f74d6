#include <gtest/gtest.h>

#include <cmath>

#include "engine/avm1/builtins.h"
#include "engine/avm1/test_support.h"

namespace velmora::avm1 {
namespace {

class NativeTest : public ::testing::Test {
protected:
    test::RecordingHost host;
    Vm vm{host, nullptr, 7};

    Value CallGlobal(const char* fn, std::vector<Value> args) {
        return vm.CallValue(vm.Get(vm.Global(), fn), Value(), args);
    }
    Object* Path(std::initializer_list<const char*> names) {
        Object* o = vm.Global();
        for (const char* n : names) o = vm.Get(o, n).AsObject();
        return o;
    }
};

TEST_F(NativeTest, AsNativeHandsOutTheInstalledBuiltins) {
    const struct {
        Value group, index;
        std::initializer_list<const char*> path;
    } cases[] = {
        {Value::Number(100), Value::Number(0), {"escape"}},
        {Value::String("100"), Value::String("1"), {"unescape"}},
        {Value::Number(100), Value::Number(2), {"parseInt"}},
        {Value::Number(100), Value::String("word"), {"escape"}},  // index NaN reads as 0
        {Value::Number(200), Value::Number(0), {"Math", "abs"}},
        {Value::Number(200), Value::Number(17), {"Math", "pow"}},
        {Value::Number(200), Value::Number(4294967296.0 + 10), {"Math", "round"}},  // wraps to 32 bits
        {Value::Number(101), Value::Number(2), {"Object", "prototype", "addProperty"}},
    };
    for (const auto& c : cases) {
        Object* expected = Path(c.path);
        ASSERT_TRUE(expected) << *c.path.begin();
        EXPECT_EQ(CallGlobal("ASnative", {c.group, c.index}).AsObject(), expected) << *c.path.begin();
    }
}

TEST_F(NativeTest, AsNativeTracesUnknownEntriesDoNothingAndBadCallsGiveUndefined) {
    vm.CallValue(CallGlobal("ASnative", {Value::Number(100), Value::Number(4)}), Value(),
                 std::vector<Value>{Value::String("hello")});
    EXPECT_EQ(host.lines, std::vector<std::string>{"hello"});

    Value unknown = CallGlobal("ASnative", {Value::Number(999), Value::Number(3)});
    ASSERT_TRUE(unknown.AsObject());
    EXPECT_EQ(CallGlobal("ASnative", {Value::Number(999), Value::Number(3)}).AsObject(), unknown.AsObject());
    EXPECT_TRUE(vm.CallValue(unknown, Value(), std::vector<Value>{Value::Number(1)}).IsUndefined());

    EXPECT_TRUE(CallGlobal("ASnative", {Value::Number(100)}).IsUndefined());
    EXPECT_TRUE(CallGlobal("ASnative", {Value::Number(100), Value::Number(0), Value::Number(0)}).IsUndefined());
    EXPECT_TRUE(CallGlobal("ASnative", {Value::String("onehundred"), Value::Number(0)}).IsUndefined());
}

TEST_F(NativeTest, AsSetNativeNumbersNamesAndHonoursVersionPrefixes) {
    Object* o = vm.NewObject();
    CallGlobal("ASSetNative", {Value::Obj(o), Value::Number(200), Value::String("a,,6b,8c,10d,2e,11f"),
                               Value::Number(1)});
    const struct {
        const char* name;
        Object* expected;  // nullptr: absent or hidden from this SWF 7 movie
    } cases[] = {
        {"a", Path({"Math", "min"})},   // first index given
        {"b", Path({"Math", "sin"})},   // the empty name still takes an index
        {"c", nullptr},                 // SWF 8 and later
        {"d", nullptr},                 // SWF 10 and later
        {"2e", Path({"Math", "tan"})},  // not a version digit: kept in the name
        {"1f", Path({"Math", "exp"})},  // a leading 1 is dropped once
    };
    for (const auto& c : cases) EXPECT_EQ(vm.Get(o, c.name).AsObject(), c.expected) << c.name;
}

TEST_F(NativeTest, AsSetNativeOverwritesAnOwnPropertyWithoutHidingIt) {
    Object* o = vm.NewObject();
    vm.Set(o, "h", Value::String("before"));
    CallGlobal("ASSetNative", {Value::Obj(o), Value::Number(200), Value::String("8h")});
    EXPECT_EQ(vm.Get(o, "h").AsObject(), Path({"Math", "abs"}));
}

TEST_F(NativeTest, AsSetNativeAccessorCallsTheNativeAsGetter) {
    Object* o = vm.NewObject();
    CallGlobal("ASSetNativeAccessor", {Value::Obj(o), Value::Number(200), Value::String("x")});
    EXPECT_TRUE(std::isnan(vm.ToNumber(vm.Get(o, "x"))));  // Math.abs() with no argument
}

TEST_F(NativeTest, GlobalsHaveThePlayersTypes) {
    const struct {
        std::initializer_list<const char*> path;
        bool function;
    } cases[] = {
        {{"AsBroadcaster"}, true}, {{"Camera"}, true},      {{"Microphone"}, true},
        {{"Video"}, true},         {{"Accessibility"}, false}, {{"System", "IME"}, false},
    };
    for (const auto& c : cases) {
        Object* o = Path(c.path);
        ASSERT_TRUE(o) << *c.path.begin();
        EXPECT_EQ(o->AsFunction() != nullptr, c.function) << *c.path.begin();
    }
    EXPECT_EQ(vm.Get(Path({"System", "IME"}), "addListener").AsObject(),
              vm.Get(Path({"AsBroadcaster"}), "addListener").AsObject());
}

}  // namespace
}  // namespace velmora::avm1
