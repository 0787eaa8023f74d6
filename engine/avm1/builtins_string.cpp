// String: methods index UTF-16 code units, as the player does.
#include <algorithm>
#include <cmath>

#include "engine/avm1/builtins.h"
#include "engine/avm1/case_map.h"

namespace velmora::avm1 {

namespace {

std::u16string ThisText(Vm& vm, CallContext& c) {
    if (c.thisValue.IsString()) return Utf8ToUtf16(c.thisValue.AsString());
    Object* o = c.thisValue.AsObject();
    if (o && o->Kind() == ObjectKind::String && o->Internal().IsString()) return Utf8ToUtf16(o->Internal().AsString());
    return Utf8ToUtf16(vm.ToString(c.thisValue));
}

Value Text(std::u16string_view s) { return Value::String(Utf16ToUtf8(s)); }

// Position arguments wrap like 32-bit integers (4294967297 is 1); a missing or
// undefined one takes the default.
double IndexArg(Vm& vm, CallContext& c, size_t i, double fallback) {
    if (i >= c.args.size() || c.args[i].IsUndefined()) return fallback;
    return ToInt32(vm.ToNumber(c.args[i]));
}

// Clamped to [0, length].
size_t Position(double v, size_t length) {
    if (v < 0) return 0;
    return static_cast<size_t>(std::min(v, static_cast<double>(length)));
}

// Negative positions count from the end.
size_t RelativePosition(double v, size_t length) {
    if (v < 0) v = std::max(0.0, static_cast<double>(length) + v);
    return static_cast<size_t>(std::min(v, static_cast<double>(length)));
}

Value Split(Vm& vm, CallContext& c) {
    std::u16string s = ThisText(vm, c);
    ArrayObject* result = vm.NewArray();
    double limitValue = NumberArg(vm, c, 1, 4294967295.0);
    size_t limit = std::isnan(limitValue) || limitValue < 0 ? 0 : static_cast<size_t>(std::min(limitValue, 4294967295.0));
    // SWF 6 on: no separator gives the whole text. SWF 5 splits at commas then, and
    // an empty separator does not split at all.
    bool old = vm.Version() < 6;
    if (c.Arg(0).IsUndefined() && !old) {
        result->Push(Text(s));
        return Value::Obj(result);
    }
    std::u16string sep = c.Arg(0).IsUndefined() ? u"," : Utf8ToUtf16(vm.ToString(c.Arg(0)));
    if (sep.empty() && old) {
        if (limit > 0) result->Push(Text(s));
        return Value::Obj(result);
    }
    if (sep.empty()) {
        for (size_t i = 0; i < s.size() && result->Length() < limit; ++i) result->Push(Text(s.substr(i, 1)));
        return Value::Obj(result);
    }
    size_t start = 0;
    while (result->Length() < limit) {
        size_t hit = s.find(sep, start);
        if (hit == std::u16string::npos) {
            result->Push(Text(s.substr(start)));
            break;
        }
        result->Push(Text(s.substr(start, hit - start)));
        start = hit + sep.size();
    }
    return Value::Obj(result);
}

}  // namespace

void InstallStringBuiltins(Vm& vm) {
    auto& p = vm.Protos();
    p.string = vm.Make<StringObject>(p.object, "");
    FunctionObject* ctor = vm.Class("String", [](Vm& v, CallContext& c) {
        std::string text = c.args.empty() ? std::string() : v.ToString(c.args[0]);
        if (!c.construct) return Value::String(text);
        if (Object* self = c.onExisting ? c.thisValue.AsObject() : nullptr) {
            self->SetKind(ObjectKind::String);
            self->SetInternal(Value::String(text));
            self->Define("length", Value::Number(static_cast<double>(Utf8ToUtf16(text).size())),
                         kDontEnum | kDontDelete);
            return c.thisValue;
        }
        Value protoValue = c.callee ? v.Get(c.callee, "prototype") : Value();
        auto* o = v.Make<StringObject>(protoValue.AsObject() ? protoValue.AsObject() : v.Protos().string, text);
        return Value::Obj(o);
    }, p.string);
    ctor->m_makesOwnObject = true;
    vm.Method(ctor, "fromCharCode", [](Vm& v, CallContext& c) {
        std::u16string s;
        // A zero code ends the string.
        for (const Value& a : c.args) {
            auto unit = static_cast<char16_t>(ToUint32(v.ToNumber(a)) & 0xFFFF);
            if (unit == 0) break;
            s += unit;
        }
        return Text(s);
    });

    auto self = [](Vm& v, CallContext& c) { return Text(ThisText(v, c)); };
    vm.Method(p.string, "toString", self);
    vm.Method(p.string, "valueOf", self);
    // Character indices wrap like 32-bit integers: 4294967297 is 1.
    vm.Method(p.string, "charAt", [](Vm& v, CallContext& c) {
        std::u16string s = ThisText(v, c);
        double i = ToInt32(NumberArg(v, c, 0, 0));
        return i >= 0 && i < static_cast<double>(s.size()) ? Text(s.substr(static_cast<size_t>(i), 1)) : Value::String("");
    });
    vm.Method(p.string, "charCodeAt", [](Vm& v, CallContext& c) {
        std::u16string s = ThisText(v, c);
        double i = ToInt32(NumberArg(v, c, 0, 0));
        // SWF 5 gives 0 past the end of the text.
        if (v.Version() < 6 && i >= static_cast<double>(s.size())) return Value::Number(0);
        if (i < 0 || i >= static_cast<double>(s.size())) return Value::Number(std::nan(""));
        return Value::Number(s[static_cast<size_t>(i)]);
    });
    vm.Method(p.string, "concat", [](Vm& v, CallContext& c) {
        std::string s = Utf16ToUtf8(ThisText(v, c));
        for (const Value& a : c.args) s += v.ToString(a);
        return Value::String(s);
    });
    // Called without arguments the search methods and the substring methods give undefined.
    vm.Method(p.string, "indexOf", [](Vm& v, CallContext& c) {
        if (c.args.empty()) return Value();
        std::u16string s = ThisText(v, c);
        std::u16string needle = Utf8ToUtf16(StringArg(v, c, 0));
        double from = IndexArg(v, c, 1, 0);
        if (from > static_cast<double>(s.size())) return Value::Number(-1);
        size_t hit = s.find(needle, Position(from, s.size()));
        return Value::Number(hit == std::u16string::npos ? -1 : static_cast<double>(hit));
    });
    vm.Method(p.string, "lastIndexOf", [](Vm& v, CallContext& c) {
        if (c.args.empty()) return Value();
        std::u16string s = ThisText(v, c);
        std::u16string needle = Utf8ToUtf16(StringArg(v, c, 0));
        double fromValue = IndexArg(v, c, 1, static_cast<double>(s.size()));
        if (fromValue < 0) return Value::Number(-1);
        size_t hit = s.rfind(needle, static_cast<size_t>(std::min(fromValue, static_cast<double>(s.size()))));
        return Value::Number(hit == std::u16string::npos ? -1 : static_cast<double>(hit));
    });
    vm.Method(p.string, "slice", [](Vm& v, CallContext& c) {
        if (c.args.empty()) return Value();
        std::u16string s = ThisText(v, c);
        size_t start = RelativePosition(IndexArg(v, c, 0, 0), s.size());
        size_t end = RelativePosition(IndexArg(v, c, 1, static_cast<double>(s.size())), s.size());
        return start < end ? Text(s.substr(start, end - start)) : Value::String("");
    });
    vm.Method(p.string, "substring", [](Vm& v, CallContext& c) {
        if (c.args.empty()) return Value();
        std::u16string s = ThisText(v, c);
        size_t start = Position(IndexArg(v, c, 0, 0), s.size());
        size_t end = Position(IndexArg(v, c, 1, static_cast<double>(s.size())), s.size());
        if (start > end) std::swap(start, end);
        return Text(s.substr(start, end - start));
    });
    vm.Method(p.string, "substr", [](Vm& v, CallContext& c) {
        if (c.args.empty()) return Value();
        std::u16string s = ThisText(v, c);
        size_t start = RelativePosition(IndexArg(v, c, 0, 0), s.size());
        double len = IndexArg(v, c, 1, static_cast<double>(s.size()));
        if (len < 0) len = 0;
        return Text(s.substr(start, static_cast<size_t>(std::min(len, static_cast<double>(s.size())))));
    });
    vm.Method(p.string, "split", Split);
    vm.Method(p.string, "toLowerCase", [](Vm& v, CallContext& c) {
        std::u16string s = ThisText(v, c);
        for (auto& ch : s) ch = ToLowerUnit(ch);
        return Text(s);
    });
    vm.Method(p.string, "toUpperCase", [](Vm& v, CallContext& c) {
        std::u16string s = ThisText(v, c);
        for (auto& ch : s) ch = ToUpperUnit(ch);
        return Text(s);
    });
}

}  // namespace velmora::avm1
