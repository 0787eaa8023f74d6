#include "engine/avm1/builtins.h"

#include <gtest/gtest.h>

#include <cmath>

#include "engine/avm1/test_support.h"

namespace velmora::avm1 {
namespace {

using Lines = std::vector<std::string>;

class BuiltinsTest : public ::testing::Test {
protected:
    test::RecordingHost host;
    Vm vm{host, nullptr, 8};

    Value S(const char* s) { return Value::String(s); }
    Value N(double n) { return Value::Number(n); }
    ArrayObject* Array(std::initializer_list<Value> items) {
        ArrayObject* a = vm.NewArray();
        for (const Value& v : items) a->Push(v);
        return a;
    }
    std::string Call(const Value& target, const char* method, std::initializer_list<Value> args = {}) {
        std::vector<Value> list(args);
        return vm.ToString(vm.CallMethod(target, method, list));
    }
    std::string Global(const char* fn, std::initializer_list<Value> args) {
        std::vector<Value> list(args);
        return vm.ToString(vm.CallValue(vm.Get(vm.Global(), fn), Value(), list));
    }
};

TEST_F(BuiltinsTest, StageAlignAndScaleModeKeepWhatThePlayerUnderstands) {
    Object* stage = vm.Get(vm.Global(), "Stage").AsObject();
    ASSERT_TRUE(stage);
    const struct {
        const char* property;
        Value value;
        const char* expected;
    } cases[] = {
        {"align", S("TL"), "LT"}, {"align", S("bR"), "RB"}, {"align", S("TllLBbbtRrrlBr"), "LTRB"},
        {"align", S("asdf"), ""}, {"align", Value::Bool(true), "TR"},
        {"scaleMode", S("EXACTFIT"), "exactFit"}, {"scaleMode", S("noborder"), "noBorder"},
        {"scaleMode", S("zoom"), "showAll"},
    };
    for (const auto& c : cases) {
        vm.Set(stage, c.property, c.value);
        EXPECT_EQ(vm.ToString(vm.Get(stage, c.property)), c.expected) << c.property << " " << vm.ToString(c.value);
    }
}

TEST_F(BuiltinsTest, ArraySortFlags) {
    const struct {
        int flags;
        const char* expected;
    } cases[] = {
        {0, "10,2,C,a,b"},
        {1, "10,2,a,b,C"},
        {2, "b,a,C,2,10"},
        {8, "2,4,1,3,0"},
    };
    for (const auto& c : cases) {
        ArrayObject* a = Array({S("b"), S("C"), S("10"), S("a"), S("2")});
        Value r = vm.CallMethod(Value::Obj(a), "sort", std::vector<Value>{N(c.flags)});
        EXPECT_EQ(vm.ToString(r), c.expected) << "flags " << c.flags;
    }
    ArrayObject* numbers = Array({N(10), N(9), N(100)});
    Call(Value::Obj(numbers), "sort", {N(16)});
    EXPECT_EQ(Call(Value::Obj(numbers), "join"), "9,10,100");
    ArrayObject* dup = Array({N(1), N(1)});
    EXPECT_EQ(Call(Value::Obj(dup), "sort", {N(4)}), "0");  // unique sort fails on duplicates
}

TEST_F(BuiltinsTest, ArraySortWithAComparatorThatLies) {
    // A comparator giving random answers must not break the array.
    auto* liar = vm.NewNative([](Vm& v, CallContext&) { return Value::Number((v.NextRandom() % 3) - 1.0); });
    ArrayObject* a = vm.NewArray();
    for (int i = 0; i < 200; ++i) a->Push(N(i));
    vm.CallMethod(Value::Obj(a), "sort", std::vector<Value>{Value::Obj(liar)});
    EXPECT_EQ(a->Length(), 200u);
    double sum = 0;
    for (const Value& v : a->Elements()) sum += v.AsNumber();
    EXPECT_EQ(sum, 199 * 200 / 2);
}

TEST_F(BuiltinsTest, ArraySpliceSliceConcat) {
    ArrayObject* a = Array({N(1), N(2), N(3), N(4), N(5)});
    EXPECT_EQ(Call(Value::Obj(a), "splice", {N(1), N(2), S("x")}), "2,3");
    EXPECT_EQ(Call(Value::Obj(a), "join", {S("-")}), "1-x-4-5");
    EXPECT_EQ(Call(Value::Obj(a), "slice", {N(-2)}), "4,5");
    EXPECT_EQ(Call(Value::Obj(a), "concat", {N(6), Value::Obj(Array({N(7), N(8)}))}), "1,x,4,5,6,7,8");
    EXPECT_EQ(Call(Value::Obj(a), "unshift", {N(0)}), "5");
    EXPECT_EQ(Call(Value::Obj(a), "shift"), "0");
    EXPECT_EQ(Call(Value::Obj(a), "pop"), "5");
    Call(Value::Obj(a), "reverse");
    EXPECT_EQ(Call(Value::Obj(a), "toString"), "4,x,1");
}

TEST_F(BuiltinsTest, ArrayLengthAndIndexProperties) {
    ArrayObject* a = Array({N(1)});
    vm.Set(a, "3", S("z"));
    EXPECT_EQ(vm.ToNumber(vm.Get(a, "length")), 4);
    vm.Set(a, "length", N(2));
    EXPECT_TRUE(vm.Get(a, "3").IsUndefined());
    EXPECT_EQ(Call(Value::Obj(a), "join"), "1,undefined");
}

TEST_F(BuiltinsTest, StringMethodsIndexCodeUnits) {
    Value s = S("Hello, 世界");
    EXPECT_EQ(vm.ToNumber(vm.GetValueMember(s, "length")), 9);
    EXPECT_EQ(Call(s, "charAt", {N(7)}), "世");
    EXPECT_EQ(Call(s, "charCodeAt", {N(8)}), "30028");
    EXPECT_EQ(Call(s, "indexOf", {S("l"), N(3)}), "3");
    EXPECT_EQ(Call(s, "lastIndexOf", {S("l")}), "3");
    EXPECT_EQ(Call(s, "substring", {N(5), N(0)}), "Hello");
    EXPECT_EQ(Call(s, "substr", {N(-2), N(1)}), "世");
    EXPECT_EQ(Call(s, "slice", {N(1), N(-4)}), "ello");
    EXPECT_EQ(Call(s, "toUpperCase"), "HELLO, 世界");
    EXPECT_EQ(Call(S("a,b,,c"), "split", {S(",")}), "a,b,,c");
    Value parts = vm.CallMethod(S("a,b,,c"), "split", std::vector<Value>{S(","), N(2)});
    EXPECT_EQ(vm.ToNumber(vm.GetValueMember(parts, "length")), 2);
    EXPECT_EQ(Global("String", {N(1.5)}), "1.5");
}

TEST(StringMethods, ArgumentEdgeCases) {
    // Positions wrap like 32-bit integers, undefined takes the default, null is 0,
    // and a call without arguments gives undefined.
    const Value u;
    const Value null = Value::Null();
    auto n = [](double v) { return Value::Number(v); };
    auto s = [](const char* v) { return Value::String(v); };
    const struct {
        int version;
        const char* text;
        const char* method;
        std::vector<Value> args;
        const char* expected;
    } cases[] = {
        {8, "Hello test test", "indexOf", {s("test"), n(4294967303.0)}, "11"},
        {8, "Hello test test", "indexOf", {s(""), n(100)}, "-1"},
        {8, "Hello test test", "indexOf", {}, "undefined"},
        {8, "Hello test test", "lastIndexOf", {s("test"), null}, "-1"},
        {8, "Hello test test", "lastIndexOf", {s("test"), u}, "11"},
        {8, "Hello test test", "lastIndexOf", {s("test"), n(4294967302.0)}, "6"},
        {8, "Hello", "slice", {n(4294967296.0), n(4294967298.0)}, "He"},
        {8, "Hello", "slice", {null, null}, ""},
        {8, "Hello", "substr", {n(4294967296.0), n(-4294967294.0)}, "He"},
        {8, "Hello", "substr", {n(3), null}, ""},
        {8, "Hello", "substring", {n(4294967296.0), n(-4294967294.0)}, "He"},
        {8, "Hello", "substring", {}, "undefined"},
        {8, "a,b", "split", {u, n(0)}, "a,b"},
        {5, "a,b", "split", {u}, "a,b"},
        {5, "a,b", "split", {s("")}, "a,b"},
        {8, "ab", "charCodeAt", {n(5)}, "NaN"},
        {5, "ab", "charCodeAt", {n(5)}, "0"},
    };
    for (const auto& c : cases) {
        test::RecordingHost host;
        Vm vm(host, nullptr, c.version);
        Value r = vm.CallMethod(Value::String(c.text), c.method, c.args);
        EXPECT_EQ(r.IsUndefined() ? "undefined" : vm.ToString(r), c.expected)
            << c.text << "." << c.method << " v" << c.version;
    }
}

TEST_F(BuiltinsTest, SplitCountsAndFromCharCodeStopsAtZero) {
    Value parts = vm.CallMethod(S("a,b"), "split", std::vector<Value>{S("")});
    EXPECT_EQ(vm.ToNumber(vm.GetValueMember(parts, "length")), 3);
    vm.SetVersion(5);
    parts = vm.CallMethod(S("a,b"), "split", std::vector<Value>{Value()});
    EXPECT_EQ(vm.ToNumber(vm.GetValueMember(parts, "length")), 2);
    vm.SetVersion(8);
    Value ctor = vm.Get(vm.Global(), "String");
    EXPECT_EQ(vm.ToString(vm.CallMethod(ctor, "fromCharCode", std::vector<Value>{N(80), N(0), N(82)})), "P");
}

TEST_F(BuiltinsTest, CaseMappingUsesThePlayersTable) {
    // U+0130 lowers to i, Georgian capitals to U+10D0.., long s uppers to S, and
    // U+03C2 (final sigma) uppers to the unassigned U+03A2 it is paired with.
    EXPECT_EQ(Call(S("\xC4\xB0\xC3\x80\xE1\x82\xA0"), "toLowerCase"), "i\xC3\xA0\xE1\x83\x90");
    EXPECT_EQ(Call(S("\xC5\xBF\xCF\x82\xC3\xBF"), "toUpperCase"), "S\xCE\xA2\xC5\xB8");
    EXPECT_EQ(Call(S("teST\xE4\xB8\x96"), "toUpperCase"), "TEST\xE4\xB8\x96");
}

TEST_F(BuiltinsTest, NumberAndMath) {
    EXPECT_EQ(Call(N(255), "toString", {N(16)}), "ff");
    EXPECT_EQ(Global("isNaN", {S("x")}), "true");
    EXPECT_EQ(Global("isFinite", {S("12")}), "true");
    Value math = vm.Get(vm.Global(), "Math");
    EXPECT_EQ(Call(math, "round", {N(-2.5)}), "-2");
    EXPECT_EQ(Call(math, "round", {N(2.5)}), "3");
    EXPECT_EQ(Call(math, "max"), "-Infinity");
    EXPECT_EQ(Call(math, "min", {N(3), S("x")}), "NaN");
    EXPECT_EQ(Call(math, "pow", {N(2), N(10)}), "1024");
    for (int i = 0; i < 100; ++i) {
        double r = vm.ToNumber(vm.CallMethod(math, "random", {}));
        ASSERT_TRUE(r >= 0 && r < 1);
    }
}

TEST(GlobalFunctions, ParseIntAndParseFloat) {
    const struct {
        const char* text;
        int radix;
        double expected;
    } cases[] = {
        {"42px", 0, 42}, {"  -17", 0, -17}, {"0x1A", 0, 26}, {"010", 0, 8}, {"019", 0, 19},
        {"ff", 16, 255}, {"0xff", 16, 255}, {"z", 36, 35}, {"12", 1, std::nan("")}, {"abc", 0, std::nan("")},
    };
    for (const auto& c : cases) {
        double got = ParseInt(c.text, c.radix);
        if (std::isnan(c.expected)) {
            EXPECT_TRUE(std::isnan(got)) << c.text;
        } else {
            EXPECT_EQ(got, c.expected) << c.text;
        }
    }
    EXPECT_EQ(ParseFloat("3.5e2xyz"), 350);
    EXPECT_EQ(ParseFloat(" .5"), 0.5);
    EXPECT_EQ(ParseFloat("1e"), 1);
    EXPECT_TRUE(std::isnan(ParseFloat("e5")));
}

TEST(GlobalFunctions, EscapeKeepsOnlyLettersAndDigits) {
    EXPECT_EQ(Escape("aZ9@*_+-./ "), "aZ9%40%2A%5F%2B%2D%2E%2F%20");
    EXPECT_EQ(Escape("\xC4\x80"), "%C4%80");
    EXPECT_EQ(Escape(std::string_view("ab\0cd", 5)), "ab");
    EXPECT_EQ(Unescape("%41%2"), "A%2");
}

TEST_F(BuiltinsTest, DateFieldsAndArithmetic) {
    Value utc = vm.CallMethod(vm.Get(vm.Global(), "Date"), "UTC", std::vector<Value>{N(2000), N(1), N(29), N(12)});
    EXPECT_EQ(vm.ToNumber(utc), 951825600000.0);
    Value date = vm.Construct(vm.Get(vm.Global(), "Date").AsObject(), std::vector<Value>{utc});
    EXPECT_EQ(Call(date, "getFullYear"), "2000");
    EXPECT_EQ(Call(date, "getMonth"), "1");
    EXPECT_EQ(Call(date, "getDate"), "29");
    EXPECT_EQ(Call(date, "getDay"), "2");
    Call(date, "setMonth", {N(12)});  // rolls into the next year
    EXPECT_EQ(Call(date, "getFullYear"), "2001");
    EXPECT_EQ(Call(date, "getMonth"), "0");
    EXPECT_EQ(Call(date, "toString"), "Mon Jan 29 12:00:00 GMT+0000 2001");
    Value early = vm.Construct(vm.Get(vm.Global(), "Date").AsObject(), std::vector<Value>{N(-1)});
    EXPECT_EQ(Call(early, "getFullYear"), "1969");
    EXPECT_EQ(Call(early, "getMilliseconds"), "999");
}

TEST_F(BuiltinsTest, IntervalsFollowTheHostClock) {
    int calls = 0;
    auto* fn = vm.NewNative([&calls](Vm&, CallContext&) {
        ++calls;
        return Value();
    });
    std::vector<Value> args = {Value::Obj(fn), N(100)};
    Value id = vm.CallValue(vm.Get(vm.Global(), "setInterval"), Value(), args);
    std::vector<Value> once = {Value::Obj(fn), N(50)};
    vm.CallValue(vm.Get(vm.Global(), "setTimeout"), Value(), once);
    host.now = 60;
    vm.RunIntervals();
    EXPECT_EQ(calls, 1);  // the timeout
    host.now = 100;
    vm.RunIntervals();
    host.now = 150;
    vm.RunIntervals();
    EXPECT_EQ(calls, 2);
    host.now = 200;
    vm.RunIntervals();
    EXPECT_EQ(calls, 3);
    vm.CallValue(vm.Get(vm.Global(), "clearInterval"), Value(), std::vector<Value>{id});
    host.now = 1000;
    vm.RunIntervals();
    EXPECT_EQ(calls, 3);
}

TEST_F(BuiltinsTest, FunctionCallAndApplyAndBroadcaster) {
    auto* self = vm.NewNative([](Vm& v, CallContext& c) {
        return Value::String(v.ToString(v.Get(c.thisValue.AsObject(), "name")) + std::to_string(c.args.size()));
    });
    Object* o = vm.NewObject();
    vm.Set(o, "name", S("o"));
    EXPECT_EQ(Call(Value::Obj(self), "call", {Value::Obj(o), N(1), N(2)}), "o2");
    EXPECT_EQ(Call(Value::Obj(self), "apply", {Value::Obj(o), Value::Obj(Array({N(1)}))}), "o1");

    Object* source = vm.NewObject();
    vm.CallMethod(vm.Get(vm.Global(), "AsBroadcaster"), "initialize", std::vector<Value>{Value::Obj(source)});
    Object* listener = vm.NewObject();
    vm.Set(listener, "onPing", Value::Obj(vm.NewNative([this](Vm& v, CallContext& c) {
        host.Trace("ping " + v.ToString(c.Arg(0)));
        return Value();
    })));
    Call(Value::Obj(source), "addListener", {Value::Obj(listener)});
    Call(Value::Obj(source), "addListener", {Value::Obj(listener)});  // once only
    Call(Value::Obj(source), "broadcastMessage", {S("onPing"), N(7)});
    Call(Value::Obj(source), "removeListener", {Value::Obj(listener)});
    Call(Value::Obj(source), "broadcastMessage", {S("onPing"), N(8)});
    EXPECT_EQ(host.lines, (Lines{"ping 7"}));
}

TEST_F(BuiltinsTest, ArrayHolesAreNotEnumeratedAndReadThroughThePrototype) {
    ArrayObject* a = vm.NewArray();
    vm.Set(a, "3", S("d"));
    vm.Set(a, "1", S("b"));
    EXPECT_EQ(vm.ToNumber(vm.Get(a, "length")), 4);
    EXPECT_EQ(vm.EnumerableKeys(a), (std::vector<std::string>{"3", "1"}));
    vm.Set(vm.Protos().array, "0", S("from proto"));
    EXPECT_EQ(vm.ToString(vm.Get(a, "0")), "from proto");
    EXPECT_EQ(Call(Value::Obj(a), "join"), "from proto,b,undefined,d");
    // Rewriting methods turn holes into real undefined elements.
    Call(Value::Obj(a), "reverse");
    EXPECT_EQ(vm.EnumerableKeys(a).size(), 4u);
}

TEST_F(BuiltinsTest, MathConvertsItsFirstTwoArguments) {
    int conversions = 0;
    Object* counted = vm.NewObject();
    vm.Set(counted, "valueOf", Value::Obj(vm.NewNative([&conversions](Vm&, CallContext&) {
        ++conversions;
        return Value::Number(-2);
    })));
    Value math = vm.Get(vm.Global(), "Math");
    EXPECT_EQ(Call(math, "abs", {Value::Obj(counted), Value::Obj(counted), Value::Obj(counted)}), "2");
    EXPECT_EQ(conversions, 2);
    // min and max compare the first two arguments only; one argument gives NaN.
    EXPECT_EQ(Call(math, "min", {N(3), N(2), N(1)}), "2");
    EXPECT_EQ(Call(math, "max", {N(-1)}), "NaN");
    EXPECT_EQ(Call(math, "max", {}), "-Infinity");
    EXPECT_EQ(Call(math, "min", {N(2), Value()}), "NaN");
}

}  // namespace
}  // namespace velmora::avm1
