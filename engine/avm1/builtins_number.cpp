// Number, Boolean and Math.
#include <cmath>
#include <limits>
#include <numbers>
#include <vector>

#include "engine/avm1/builtins.h"

namespace velmora::avm1 {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// The primitive behind `this` for Number/Boolean methods.
Value ThisPrimitive(CallContext& c, ObjectKind kind) {
    if (c.thisValue.IsPrimitive()) return c.thisValue;
    Object* o = c.thisValue.AsObject();
    return o && o->Kind() == kind ? o->Internal() : Value();
}

// Builds a constructor that wraps a primitive: called plainly it converts.
FunctionObject* WrapperClass(Vm& vm, std::string_view name, Object* proto, ObjectKind kind,
                             Value (*convert)(Vm&, CallContext&)) {
    return vm.Class(name, [kind, convert](Vm& v, CallContext& c) {
        Value primitive = convert(v, c);
        if (!c.construct) return primitive;
        Object* o = c.thisValue.AsObject();
        if (o) {
            o->SetKind(kind);
            o->SetInternal(primitive);
        }
        return c.thisValue;
    }, proto);
}

// The player's one- and two-argument Math functions convert the first two
// arguments, used or not, in order (their valueOf runs).
std::vector<double> MathArgs(Vm& vm, CallContext& c, size_t needed) {
    std::vector<double> out;
    for (size_t i = 0; i < c.args.size() && i < 2; ++i) out.push_back(vm.ToNumber(c.args[i]));
    if (out.size() < needed) out.resize(needed, kNaN);
    return out;
}

void MathUnary(Vm& vm, Object* math, std::string_view name, double (*fn)(double)) {
    vm.Method(math, name, [fn](Vm& v, CallContext& c) { return Value::Number(fn(MathArgs(v, c, 1)[0])); });
}

// Math.round: halves go up, as in the player (-2.5 -> -2).
double RoundHalfUp(double x) { return std::floor(x + 0.5); }

}  // namespace

void InstallNumberBuiltins(Vm& vm) {
    auto& p = vm.Protos();
    p.number = vm.NewObject();
    p.number->SetKind(ObjectKind::Number);
    p.number->SetInternal(Value::Number(0));
    FunctionObject* number = WrapperClass(vm, "Number", p.number, ObjectKind::Number, [](Vm& v, CallContext& c) {
        return Value::Number(c.args.empty() ? 0 : v.ToNumber(c.args[0]));
    });
    const uint16_t constant = kDontEnum | kDontDelete | kReadOnly;
    number->Define("MAX_VALUE", Value::Number(std::numeric_limits<double>::max()), constant);
    number->Define("MIN_VALUE", Value::Number(std::numeric_limits<double>::denorm_min()), constant);
    number->Define("NaN", Value::Number(kNaN), constant);
    number->Define("NEGATIVE_INFINITY", Value::Number(-std::numeric_limits<double>::infinity()), constant);
    number->Define("POSITIVE_INFINITY", Value::Number(std::numeric_limits<double>::infinity()), constant);
    vm.Method(p.number, "toString", [](Vm& v, CallContext& c) {
        Value n = ThisPrimitive(c, ObjectKind::Number);
        if (!n.IsNumber()) return Value::String("NaN");
        int radix = c.Arg(0).IsUndefined() ? 10 : v.ToInt32(c.Arg(0));
        return Value::String(NumberToRadixString(n.AsNumber(), radix));
    });
    vm.Method(p.number, "valueOf", [](Vm&, CallContext& c) { return ThisPrimitive(c, ObjectKind::Number); });

    p.boolean = vm.NewObject();
    p.boolean->SetKind(ObjectKind::Boolean);
    p.boolean->SetInternal(Value::Bool(false));
    WrapperClass(vm, "Boolean", p.boolean, ObjectKind::Boolean, [](Vm& v, CallContext& c) {
        return c.args.empty() ? Value::Bool(false) : Value::Bool(v.ToBool(c.args[0]));
    });
    vm.Method(p.boolean, "toString", [](Vm&, CallContext& c) {
        Value b = ThisPrimitive(c, ObjectKind::Boolean);
        return Value::String(b.IsBool() && b.AsBool() ? "true" : "false");
    });
    vm.Method(p.boolean, "valueOf", [](Vm&, CallContext& c) { return ThisPrimitive(c, ObjectKind::Boolean); });

    Object* math = vm.NewObject();
    vm.Global()->Define("Math", Value::Obj(math));
    namespace n = std::numbers;
    for (auto [name, value] : {std::pair{"E", n::e}, {"LN10", n::ln10}, {"LN2", n::ln2}, {"LOG10E", n::log10e},
                               {"LOG2E", n::log2e}, {"PI", n::pi}, {"SQRT1_2", 1 / n::sqrt2}, {"SQRT2", n::sqrt2}})
        math->Define(name, Value::Number(value), constant);
    MathUnary(vm, math, "abs", [](double x) { return std::fabs(x); });
    MathUnary(vm, math, "acos", [](double x) { return std::acos(x); });
    MathUnary(vm, math, "asin", [](double x) { return std::asin(x); });
    MathUnary(vm, math, "atan", [](double x) { return std::atan(x); });
    MathUnary(vm, math, "ceil", [](double x) { return std::ceil(x); });
    MathUnary(vm, math, "cos", [](double x) { return std::cos(x); });
    MathUnary(vm, math, "exp", [](double x) { return std::exp(x); });
    MathUnary(vm, math, "floor", [](double x) { return std::floor(x); });
    MathUnary(vm, math, "log", [](double x) { return std::log(x); });
    MathUnary(vm, math, "round", RoundHalfUp);
    MathUnary(vm, math, "sin", [](double x) { return std::sin(x); });
    MathUnary(vm, math, "sqrt", [](double x) { return std::sqrt(x); });
    MathUnary(vm, math, "tan", [](double x) { return std::tan(x); });
    vm.Method(math, "atan2", [](Vm& v, CallContext& c) {
        std::vector<double> a = MathArgs(v, c, 2);
        return Value::Number(std::atan2(a[0], a[1]));
    });
    vm.Method(math, "pow", [](Vm& v, CallContext& c) {
        std::vector<double> a = MathArgs(v, c, 2);
        return Value::Number(std::pow(a[0], a[1]));
    });
    // max/min of no arguments are -Infinity/Infinity. Otherwise they compare the
    // first two arguments only (a missing second one is NaN); any NaN makes NaN.
    vm.Method(math, "max", [](Vm& v, CallContext& c) {
        if (c.args.empty()) return Value::Number(-std::numeric_limits<double>::infinity());
        std::vector<double> a = MathArgs(v, c, 2);
        return Value::Number(std::isnan(a[0]) || std::isnan(a[1]) ? kNaN : std::max(a[0], a[1]));
    });
    vm.Method(math, "min", [](Vm& v, CallContext& c) {
        if (c.args.empty()) return Value::Number(std::numeric_limits<double>::infinity());
        std::vector<double> a = MathArgs(v, c, 2);
        return Value::Number(std::isnan(a[0]) || std::isnan(a[1]) ? kNaN : std::min(a[0], a[1]));
    });
    vm.Method(math, "random", [](Vm& v, CallContext&) {
        return Value::Number(static_cast<double>(v.NextRandom()) / 4294967296.0);
    });
}

}  // namespace velmora::avm1
