// Stack, arithmetic, string, comparison and object actions.
#include <algorithm>
#include <cmath>
#include <limits>

#include "engine/avm1/builtins.h"
#include "engine/avm1/frame.h"

namespace velmora::avm1 {

namespace {

std::vector<Value> PopArgs(Frame& f) {
    double n = f.PopNumber();
    size_t count = std::isfinite(n) && n > 0 ? static_cast<size_t>(n) : 0;
    count = std::min(count, f.stack.size());
    std::vector<Value> args;
    args.reserve(count);
    for (size_t i = 0; i < count; ++i) args.push_back(f.Pop());
    return args;
}

std::u16string Units(const std::string& s) { return Utf8ToUtf16(s); }

// Character length as the SWF 4 string actions see it: ANSI bytes before SWF 6.
double StringLengthOf(Frame& f, const std::string& s, bool multibyte) {
    if (f.version < 6 && !multibyte) return static_cast<double>(f.vm.Codec().Utf8ToAnsi(s).size());
    return static_cast<double>(Units(s).size());
}

std::string Extract(const std::string& s, double index, double count) {
    std::u16string u = Units(s);
    double start = std::isnan(index) ? 0 : std::max(0.0, std::trunc(index) - 1);
    if (start >= static_cast<double>(u.size())) return {};
    size_t from = static_cast<size_t>(start);
    size_t len = u.size() - from;
    if (!std::isnan(count) && count >= 0) len = std::min(len, static_cast<size_t>(std::trunc(count)));
    return Utf16ToUtf8(std::u16string_view(u).substr(from, len));
}

std::string CodeToChar(Frame& f, double code, bool multibyte) {
    auto c = static_cast<uint32_t>(ToUint32(code) & 0xFFFF);
    if (c == 0) return {};
    if (f.version < 6 && !multibyte) {
        std::string bytes;
        if (c > 0xFF) bytes += static_cast<char>(c >> 8);
        bytes += static_cast<char>(c & 0xFF);
        return f.vm.Codec().AnsiToUtf8(bytes);
    }
    return Utf16ToUtf8(std::u16string(1, static_cast<char16_t>(c)));
}

double CharToCode(Frame& f, const std::string& s, bool multibyte) {
    if (s.empty()) return 0;
    if (f.version < 6 && !multibyte) return static_cast<uint8_t>(f.vm.Codec().Utf8ToAnsi(s)[0]);
    return Units(s)[0];
}

void Arithmetic(Frame& f, uint8_t code) {
    // Both operands are popped first and converted left to right (valueOf order shows).
    Value bv = f.Pop();
    Value av = f.Pop();
    double a = f.vm.ToNumber(av);
    double b = f.vm.ToNumber(bv);
    switch (static_cast<Op>(code)) {
    case Op::Add: f.Push(Value::Number(a + b)); break;
    case Op::Subtract: f.Push(Value::Number(a - b)); break;
    case Op::Multiply: f.Push(Value::Number(a * b)); break;
    case Op::Divide:
        if (b == 0 && f.version < 5) {
            f.Push(Value::String("#ERROR#"));
        } else {
            f.Push(Value::Number(a / b));
        }
        break;
    case Op::Modulo: f.Push(Value::Number(std::fmod(a, b))); break;
    default: break;
    }
}

void BitOp(Frame& f, uint8_t code) {
    Value bv = f.Pop();
    Value av = f.Pop();
    int32_t a = f.vm.ToInt32(av);
    int32_t b = f.vm.ToInt32(bv);
    auto shift = static_cast<uint32_t>(b) & 31;
    double r = 0;
    switch (static_cast<Op>(code)) {
    case Op::BitAnd: r = a & b; break;
    case Op::BitOr: r = a | b; break;
    case Op::BitXor: r = a ^ b; break;
    case Op::BitLShift: r = static_cast<int32_t>(static_cast<uint32_t>(a) << shift); break;
    case Op::BitRShift: r = a >> shift; break;
    // The player hands the unsigned result back as a signed 32-bit number.
    case Op::BitURShift: r = static_cast<int32_t>(static_cast<uint32_t>(a) >> shift); break;
    default: break;
    }
    f.Push(Value::Number(r));
}

void Enumerate(Frame& f, const Value& v) {
    Object* obj = v.IsObject() ? v.AsObject() : nullptr;
    f.Push(Value::Null());
    if (!obj) return;
    std::vector<std::string> keys = f.vm.EnumerableKeys(obj);
    for (auto it = keys.rbegin(); it != keys.rend(); ++it) f.Push(Value::String(*it));
}

void Extends(Frame& f) {
    Vm& vm = f.vm;
    Value superclass = f.Pop();
    Value subclass = f.Pop();
    Object* sub = subclass.AsObject();
    Object* sup = superclass.AsObject();
    if (!sub || !sup) return;
    Object* proto = vm.Make<Object>(vm.Get(sup, "prototype").AsObject());
    proto->Define("__constructor__", superclass, kDontEnum);
    vm.Set(sub, "prototype", Value::Obj(proto));
}

void Implements(Frame& f) {
    Vm& vm = f.vm;
    Value ctor = f.Pop();
    std::vector<Value> interfaces = PopArgs(f);
    Object* target = ctor.AsObject() ? vm.Get(ctor.AsObject(), "prototype").AsObject() : nullptr;
    if (!target) return;
    ArrayObject* list = vm.NewArray();
    for (Value& v : interfaces) list->Push(std::move(v));
    target->Define("__interfaces__", Value::Obj(list), kDontEnum);
}

// One side of a string concatenation: an object whose valueOf gives an object
// joins as its text (an object with no valueOf at all joins as undefined).
std::string AddText(Vm& vm, const Value& original, const Value& primitive) {
    bool noPrimitive = original.IsObject() && primitive.IsObject();
    return vm.ToString(noPrimitive ? original : primitive);
}

}  // namespace

Value AddValues(Vm& vm, const Value& a, const Value& b) {
    Value pb = vm.ToPrimitive(b), pa = vm.ToPrimitive(a);
    if (pa.IsString() || pb.IsString()) return Value::String(AddText(vm, a, pa) + AddText(vm, b, pb));
    // An object that stays an object adds as NaN.
    return Value::Number(vm.ToNumber(pa.IsObject() ? Value::Number(NAN) : pa) +
                         vm.ToNumber(pb.IsObject() ? Value::Number(NAN) : pb));
}

bool ExecuteSimpleOp(Frame& f, uint8_t code) {
    Vm& vm = f.vm;
    switch (static_cast<Op>(code)) {
    case Op::Add:
    case Op::Subtract:
    case Op::Multiply:
    case Op::Divide:
    case Op::Modulo: Arithmetic(f, code); break;
    case Op::Equals: {
        double b = f.PopNumber(), a = f.PopNumber();
        f.PushBool(a == b);
        break;
    }
    case Op::Less: {
        double b = f.PopNumber(), a = f.PopNumber();
        if (std::isnan(a) || std::isnan(b)) {
            f.Push(f.version < 5 ? Value::Number(0) : Value());
        } else {
            f.PushBool(a < b);
        }
        break;
    }
    case Op::And: {
        bool b = vm.ToBool(f.Pop()), a = vm.ToBool(f.Pop());
        f.PushBool(a && b);
        break;
    }
    case Op::Or: {
        bool b = vm.ToBool(f.Pop()), a = vm.ToBool(f.Pop());
        f.PushBool(a || b);
        break;
    }
    case Op::Not: f.PushBool(!vm.ToBool(f.Pop())); break;
    case Op::StringEquals: {
        std::string b = f.PopString(), a = f.PopString();
        f.PushBool(a == b);
        break;
    }
    case Op::StringLess:
    case Op::StringGreater: {
        std::u16string b = Units(f.PopString()), a = Units(f.PopString());
        f.PushBool(static_cast<Op>(code) == Op::StringLess ? a < b : a > b);
        break;
    }
    case Op::StringLength:
    case Op::MbStringLength:
        f.Push(Value::Number(StringLengthOf(f, f.PopString(), static_cast<Op>(code) == Op::MbStringLength)));
        break;
    case Op::StringExtract:
    case Op::MbStringExtract: {
        double count = f.PopNumber(), index = f.PopNumber();
        f.Push(Value::String(Extract(f.PopString(), index, count)));
        break;
    }
    case Op::StringAdd: {
        std::string b = f.PopString(), a = f.PopString();
        f.Push(Value::String(a + b));
        break;
    }
    case Op::CharToAscii:
    case Op::MbCharToAscii:
        f.Push(Value::Number(CharToCode(f, f.PopString(), static_cast<Op>(code) == Op::MbCharToAscii)));
        break;
    case Op::AsciiToChar:
    case Op::MbAsciiToChar:
        f.Push(Value::String(CodeToChar(f, f.PopNumber(), static_cast<Op>(code) == Op::MbAsciiToChar)));
        break;
    case Op::Pop: f.Pop(); break;
    case Op::ToInteger: {
        double n = f.PopNumber();
        f.Push(Value::Number(std::isnan(n) ? 0 : f.version >= 5 ? static_cast<double>(ToInt32(n)) : std::trunc(n)));
        break;
    }
    case Op::GetVariable: {
        std::string name = f.PopString();
        f.Push(GetVariable(f, name));
        break;
    }
    case Op::SetVariable: {
        Value v = f.Pop();
        SetVariable(f, f.PopString(), v);
        break;
    }
    case Op::DefineLocal: {
        Value v = f.Pop();
        DefineLocal(f, f.PopString(), v, false);
        break;
    }
    case Op::DefineLocal2: DefineLocal(f, f.PopString(), Value(), true); break;
    case Op::Delete: {
        std::string name = f.PopString();
        Value target = f.Pop();
        f.Push(Value::Bool(target.AsObject() && vm.Delete(target.AsObject(), name)));
        break;
    }
    case Op::Delete2: f.Push(Value::Bool(DeleteVariable(f, f.PopString()))); break;
    case Op::Throw: vm.Throw(f.Pop());
    case Op::RandomNumber: {
        double max = f.PopNumber();
        int32_t m = ToInt32(max);
        f.Push(Value::Number(m > 0 ? vm.NextRandom() % static_cast<uint32_t>(m) : 0));
        break;
    }
    case Op::GetTime: f.Push(Value::Number(std::floor(vm.HostEnv().Milliseconds()))); break;
    case Op::CallFunction: {
        std::string name = f.PopString();
        std::vector<Value> args = PopArgs(f);
        f.Push(CallNamedFunction(f, name, args));
        break;
    }
    case Op::CallMethod: {
        Value name = f.Pop();
        Value target = f.Pop();
        std::vector<Value> args = PopArgs(f);
        f.Push(CallMethodOn(f, target, name, args));
        break;
    }
    case Op::NewObject: {
        std::string name = f.PopString();
        std::vector<Value> args = PopArgs(f);
        f.Push(vm.Construct(GetVariable(f, name).AsObject(), args));
        break;
    }
    case Op::NewMethod: {
        Value name = f.Pop();
        Value target = f.Pop();
        std::vector<Value> args = PopArgs(f);
        f.Push(ConstructNamed(f, target, name, args));
        break;
    }
    case Op::InitArray: {
        std::vector<Value> items = PopArgs(f);
        ArrayObject* array = vm.NewArray();
        for (Value& v : items) array->Push(std::move(v));
        f.Push(Value::Obj(array));
        break;
    }
    case Op::InitObject: {
        double n = f.PopNumber();
        if (!(n >= 0) || n * 2 > static_cast<double>(f.stack.size())) {
            f.Push(Value());  // more pairs than the stack holds: nothing is built
            break;
        }
        auto count = static_cast<size_t>(n);
        Object* obj = vm.NewObject();
        for (size_t i = 0; i < count; ++i) {
            Value v = f.Pop();
            vm.Set(obj, f.PopString(), v);
        }
        f.Push(Value::Obj(obj));
        break;
    }
    case Op::TypeOf: f.Push(Value::String(vm.TypeOf(f.Pop()))); break;
    case Op::TargetPath: {
        Value v = f.Pop();
        ClipObject* clip = v.AsObject() ? v.AsObject()->AsClip() : nullptr;
        ClipId id = clip ? vm.LiveClip(clip) : kNoClip;
        f.Push(id ? Value::String(vm.TargetPath(id)) : Value());
        break;
    }
    case Op::Enumerate: {
        std::string name = f.PopString();
        Enumerate(f, GetVariable(f, name));
        break;
    }
    case Op::Enumerate2: Enumerate(f, f.Pop()); break;
    case Op::Add2: {
        Value b = f.Pop(), a = f.Pop();
        f.Push(AddValues(vm, a, b));
        break;
    }
    case Op::Less2: {
        Value b = f.Pop(), a = f.Pop();
        f.Push(vm.LessThan(a, b));
        break;
    }
    case Op::Greater: {
        Value b = f.Pop(), a = f.Pop();
        f.Push(vm.LessThan(b, a));
        break;
    }
    case Op::Equals2: {
        Value b = f.Pop(), a = f.Pop();
        f.PushBool(vm.LooseEquals(a, b));
        break;
    }
    case Op::StrictEquals: {
        Value b = f.Pop(), a = f.Pop();
        f.Push(Value::Bool(Vm::StrictEquals(a, b)));
        break;
    }
    case Op::ToNumber: f.Push(Value::Number(f.PopNumber())); break;
    case Op::ToString: f.Push(Value::String(f.PopString())); break;
    case Op::PushDuplicate: f.Push(f.Top()); break;
    case Op::StackSwap: {
        Value a = f.Pop(), b = f.Pop();
        f.Push(std::move(a));
        f.Push(std::move(b));
        break;
    }
    case Op::GetMember: {
        Value name = f.Pop();
        Value target = f.Pop();
        f.Push(vm.GetValueMember(target, vm.ToString(name)));
        break;
    }
    case Op::SetMember: {
        Value v = f.Pop();
        Value name = f.Pop();
        Value target = f.Pop();
        if (Object* obj = target.AsObject()) vm.Set(obj, vm.ToString(name), v);
        break;
    }
    case Op::Increment: f.Push(Value::Number(f.PopNumber() + 1)); break;
    case Op::Decrement: f.Push(Value::Number(f.PopNumber() - 1)); break;
    case Op::InstanceOf: {
        Value ctor = f.Pop();
        Value obj = f.Pop();
        f.Push(Value::Bool(vm.InstanceOf(obj.AsObject(), ctor.AsObject())));
        break;
    }
    case Op::CastOp: {
        Value obj = f.Pop();
        Value ctor = f.Pop();
        f.Push(vm.InstanceOf(obj.AsObject(), ctor.AsObject()) ? obj : Value::Null());
        break;
    }
    case Op::ImplementsOp: Implements(f); break;
    case Op::Extends: Extends(f); break;
    case Op::BitAnd:
    case Op::BitOr:
    case Op::BitXor:
    case Op::BitLShift:
    case Op::BitRShift:
    case Op::BitURShift: BitOp(f, code); break;
    default: return false;
    }
    return true;
}

}  // namespace velmora::avm1
