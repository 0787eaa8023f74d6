#include "engine/avm1/value.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "engine/avm1/test_support.h"

namespace velmora::avm1 {
namespace {

TEST(NumberToString, MatchesPlayerFormatting) {
    const struct {
        double n;
        const char* text;
    } cases[] = {
        {0, "0"}, {-0.0, "0"}, {1, "1"}, {-1.5, "-1.5"}, {0.1 + 0.2, "0.3"}, {1.0 / 3, "0.333333333333333"},
        {123456789012345, "123456789012345"}, {1e15, "1e+15"}, {1.5e21, "1.5e+21"}, {0.00001, "0.00001"},
        {0.000001, "1e-6"}, {1.25e-7, "1.25e-7"}, {100, "100"}, {2147483648.0, "2147483648"},
        {std::numeric_limits<double>::infinity(), "Infinity"}, {-std::numeric_limits<double>::infinity(), "-Infinity"},
        {std::nan(""), "NaN"}, {4.35, "4.35"}, {999999999999999.9, "1e+15"},
    };
    for (const auto& c : cases) EXPECT_EQ(NumberToString(c.n), c.text) << c.n;
}

TEST(NumberToString, Radix) {
    EXPECT_EQ(NumberToRadixString(255, 16), "ff");
    EXPECT_EQ(NumberToRadixString(-255, 16), "-ff");
    EXPECT_EQ(NumberToRadixString(5, 2), "101");
    EXPECT_EQ(NumberToRadixString(3.7, 2), "11");
    EXPECT_EQ(NumberToRadixString(35, 36), "z");
}

TEST(StringToNumber, VersionRules) {
    const double nan = std::nan("");
    const struct {
        const char* text;
        int version;
        double expected;
    } cases[] = {
        {"12", 7, 12}, {"  12", 7, 12}, {"12 ", 7, nan}, {"1.5e3", 7, 1500}, {"-.5", 7, -0.5}, {"", 7, nan},
        {"", 4, 0}, {"abc", 4, 0}, {"abc", 5, nan}, {"0x1F", 6, 31}, {"0x1F", 5, nan}, {"0xFFFFFFFF", 8, -1},
        {"1e", 7, nan}, {".", 7, nan}, {"+3", 7, 3}, {"Infinity", 7, nan}, {"\t\n7", 7, 7},
        // Octal from SWF 6 on, only when every digit after the zero is octal.
        {"010", 6, 8}, {"-010", 8, -8}, {"010", 5, 10}, {"019", 8, 19}, {"0", 8, 0}, {"00", 8, 0},
    };
    for (const auto& c : cases) {
        double got = StringToNumber(c.text, c.version);
        if (std::isnan(c.expected)) {
            EXPECT_TRUE(std::isnan(got)) << '"' << c.text << "\" v" << c.version << " gave " << got;
        } else {
            EXPECT_EQ(got, c.expected) << '"' << c.text << "\" v" << c.version;
        }
    }
}

TEST(Conversions, UndefinedAndNullDependOnVersion) {
    EXPECT_EQ(PrimitiveToNumber(Value(), 6), 0);
    EXPECT_TRUE(std::isnan(PrimitiveToNumber(Value(), 7)));
    EXPECT_EQ(PrimitiveToNumber(Value::Null(), 6), 0);
    EXPECT_TRUE(std::isnan(PrimitiveToNumber(Value::Null(), 7)));
    EXPECT_EQ(PrimitiveToString(Value(), 6), "");
    EXPECT_EQ(PrimitiveToString(Value(), 7), "undefined");
    EXPECT_EQ(PrimitiveToString(Value::Null(), 6), "null");
    EXPECT_EQ(PrimitiveToString(Value::Bool(true), 5), "true");
}

TEST(Conversions, ToBooleanOfStrings) {
    const struct {
        const char* text;
        int version;
        bool expected;
    } cases[] = {
        {"", 6, false}, {"abc", 6, false}, {"0", 6, false}, {"1", 6, true}, {"-2.5", 6, true},
        {"", 7, false}, {"abc", 7, true}, {"0", 7, true}, {"false", 7, true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ToBoolean(Value::String(c.text), c.version), c.expected) << '"' << c.text << "\" v" << c.version;
    EXPECT_FALSE(ToBoolean(Value::Number(std::nan("")), 7));
    EXPECT_FALSE(ToBoolean(Value::Number(0), 7));
    EXPECT_TRUE(ToBoolean(Value::Number(-0.1), 7));
    EXPECT_FALSE(ToBoolean(Value(), 7));
}

TEST(Conversions, ToInt32Wraps) {
    EXPECT_EQ(ToInt32(4294967296.0 + 5), 5);
    EXPECT_EQ(ToInt32(2147483648.0), -2147483647 - 1);
    EXPECT_EQ(ToInt32(-1.9), -1);
    EXPECT_EQ(ToInt32(std::nan("")), 0);
    EXPECT_EQ(ToInt32(std::numeric_limits<double>::infinity()), 0);
    EXPECT_EQ(ToUint32(-1), 4294967295u);
}

TEST(Names, CaseFoldingAndIndices) {
    EXPECT_TRUE(NamesEqual("Foo", "fOO", false));
    EXPECT_FALSE(NamesEqual("Foo", "fOO", true));
    EXPECT_EQ(ArrayIndexOf("0"), 0);
    EXPECT_EQ(ArrayIndexOf("17"), 17);
    EXPECT_EQ(ArrayIndexOf("01"), -1);
    EXPECT_EQ(ArrayIndexOf("-1"), -1);
    EXPECT_EQ(ArrayIndexOf("1a"), -1);
}

// Equality and comparison through the VM, across versions: a table of
// (a, b, version) -> the traced results of ==, <, >.
TEST(Comparison, EqualsAndLessAcrossVersions) {
    using test::Asm;
    using test::P;
    const struct {
        P a, b;
        int version;
        const char* eq;
        const char* lt;
        const char* gt;
    } cases[] = {
        {P(1), P("1"), 7, "true", "false", "false"},
        {P::Undef(), P::Null(), 7, "true", "undefined", "undefined"},
        {P::Undef(), P(0), 6, "false", "false", "false"},
        {P::Undef(), P(0), 7, "false", "undefined", "undefined"},
        {P("10"), P("9"), 7, "false", "true", "false"},
        {P(10), P("9"), 7, "false", "false", "true"},
        {P(true), P(1), 7, "true", "false", "false"},
        {P("abc"), P("abd"), 7, "false", "true", "false"},
        {P(std::nan("")), P(std::nan("")), 7, "false", "undefined", "undefined"},
        {P(std::nan("")), P(std::nan("")), 6, "true", "undefined", "undefined"},
    };
    for (const auto& c : cases) {
        Asm code;
        code.Push({c.a, c.b}).Do(Op::Equals2).Do(Op::Trace);
        code.Push({c.a, c.b}).Do(Op::Less2).Do(Op::Trace);
        code.Push({c.a, c.b}).Do(Op::Greater).Do(Op::Trace);
        auto lines = test::RunTrace(code, c.version);
        ASSERT_EQ(lines.size(), 3u);
        EXPECT_EQ(lines[0], c.eq) << "== case v" << c.version << " " << c.a.s << c.a.n;
        EXPECT_EQ(lines[1], c.lt) << "< case v" << c.version << " " << c.a.s << c.a.n;
        EXPECT_EQ(lines[2], c.gt) << "> case v" << c.version << " " << c.a.s << c.a.n;
    }
}

TEST(Comparison, ObjectsWithoutAPrimitiveCompareFalse) {
    using test::Asm;
    using test::P;
    // {} < 0 and 0 < {} are false, not undefined; {} < x never converts x.
    Asm code;
    Asm counted;
    counted.Push({"valueOf called"}).Do(Op::Trace).Push({1}).Do(Op::Return);
    code.Push({"v", "valueOf"}).Function("", {}, counted).Push({1}).Do(Op::InitObject).Do(Op::SetVariable);
    code.Push({0}).Do(Op::InitObject).Push({0}).Do(Op::Less2).Do(Op::Trace);
    code.Push({0, 0}).Do(Op::InitObject).Do(Op::Less2).Do(Op::Trace);
    code.Push({0}).Do(Op::InitObject).Push({"v"}).Do(Op::GetVariable).Do(Op::Less2).Do(Op::Trace);
    code.Push({"v"}).Do(Op::GetVariable).Push({2}).Do(Op::Less2).Do(Op::Trace);
    EXPECT_EQ(test::RunTrace(code, 6), (std::vector<std::string>{"false", "false", "false", "valueOf called", "true"}));
}

}  // namespace
}  // namespace velmora::avm1
