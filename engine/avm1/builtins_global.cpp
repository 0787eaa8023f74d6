// Global functions: number parsing, escape, timers.
#include <cmath>
#include <limits>

#include "engine/avm1/builtins.h"

namespace velmora::avm1 {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

}  // namespace

double ParseInt(std::string_view s, int radix) {
    size_t i = 0;
    while (i < s.size() && IsSpace(s[i])) ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    if (radix == 0) {
        if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
            radix = 16;
            i += 2;
        } else if (i + 1 < s.size() && s[i] == '0') {
            // A leading zero reads octal when every digit is one.
            bool octal = true;
            for (size_t k = i; k < s.size() && DigitValue(s[k]) < 10; ++k) octal = octal && DigitValue(s[k]) < 8;
            radix = octal ? 8 : 10;
        } else {
            radix = 10;
        }
    } else if (radix == 16 && i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
        i += 2;
    }
    if (radix < 2 || radix > 36) return kNaN;
    double value = 0;
    size_t start = i;
    while (i < s.size() && DigitValue(s[i]) < radix) value = value * radix + DigitValue(s[i++]);
    if (i == start) return kNaN;
    return negative ? -value : value;
}

double ParseFloat(std::string_view s) {
    size_t i = 0;
    while (i < s.size() && IsSpace(s[i])) ++i;
    size_t start = i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    size_t digits = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i, ++digits;
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i, ++digits;
    }
    if (digits == 0) return kNaN;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        size_t e = i + 1;
        if (e < s.size() && (s[e] == '+' || s[e] == '-')) ++e;
        size_t expDigits = e;
        while (e < s.size() && s[e] >= '0' && s[e] <= '9') ++e;
        if (e > expDigits) i = e;
    }
    return std::strtod(std::string(s.substr(start, i - start)).c_str(), nullptr);
}

std::string Escape(std::string_view bytes) {
    static constexpr char hex[] = "0123456789ABCDEF";
    std::string out;
    for (char ch : bytes) {
        auto c = static_cast<unsigned char>(ch);
        if (c == 0) break;
        if ((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) {
            out += ch;
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

std::string Unescape(std::string_view text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && DigitValue(text[i + 1]) < 16 &&
            DigitValue(text[i + 2]) < 16) {
            out += static_cast<char>(DigitValue(text[i + 1]) * 16 + DigitValue(text[i + 2]));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

namespace {

// setInterval(function, ms, args...) or setInterval(object, "method", ms, args...).
Value SetTimer(Vm& vm, CallContext& c, bool once) {
    if (c.args.empty()) return {};
    Object* first = c.args[0].AsObject();
    bool isFunction = first && first->AsFunction();
    size_t msIndex = isFunction ? 1 : 2;
    if (c.args.size() <= msIndex) return {};
    std::string method = isFunction ? std::string() : vm.ToString(c.args[1]);
    if (!isFunction && (!first || method.empty())) return {};
    double ms = vm.ToNumber(c.args[msIndex]);
    if (std::isnan(ms)) ms = 0;
    std::vector<Value> args(c.args.begin() + static_cast<std::ptrdiff_t>(msIndex) + 1, c.args.end());
    Value thisValue = isFunction ? Value() : c.args[0];
    return Value::Number(vm.AddInterval(isFunction ? c.args[0] : Value(), thisValue, method, ms, std::move(args), once));
}

}  // namespace

void InstallGlobalFunctions(Vm& vm) {
    Object* g = vm.Global();
    g->Define("NaN", Value::Number(kNaN));
    g->Define("Infinity", Value::Number(std::numeric_limits<double>::infinity()));
    vm.Method(g, "parseInt", [](Vm& v, CallContext& c) {
        if (c.args.empty()) return Value::Number(kNaN);
        int radix = c.Arg(1).IsUndefined() ? 0 : v.ToInt32(c.Arg(1));
        return Value::Number(ParseInt(v.ToString(c.args[0]), radix));
    });
    vm.Method(g, "parseFloat", [](Vm& v, CallContext& c) {
        return Value::Number(c.args.empty() ? kNaN : ParseFloat(v.ToString(c.args[0])));
    });
    vm.Method(g, "isNaN", [](Vm& v, CallContext& c) { return Value::Bool(std::isnan(NumberArg(v, c, 0, kNaN))); });
    vm.Method(g, "isFinite", [](Vm& v, CallContext& c) {
        return Value::Bool(std::isfinite(NumberArg(v, c, 0, kNaN)));
    });
    vm.Method(g, "escape", [](Vm& v, CallContext& c) {
        if (c.args.empty()) return Value();
        std::string text = v.ToString(c.args[0]);
        return Value::String(Escape(v.Version() < 6 ? v.Codec().Utf8ToAnsi(text) : text));
    });
    vm.Method(g, "unescape", [](Vm& v, CallContext& c) {
        if (c.args.empty()) return Value();
        std::string bytes = Unescape(v.ToString(c.args[0]));
        return Value::String(v.Version() < 6 ? v.Codec().AnsiToUtf8(bytes) : bytes);
    });
    vm.Method(g, "getTimer", [](Vm& v, CallContext&) { return Value::Number(std::floor(v.HostEnv().Milliseconds())); });
    vm.Method(g, "setInterval", [](Vm& v, CallContext& c) { return SetTimer(v, c, false); });
    vm.Method(g, "setTimeout", [](Vm& v, CallContext& c) { return SetTimer(v, c, true); });
    auto clear = [](Vm& v, CallContext& c) {
        v.ClearInterval(v.ToInt32(c.Arg(0)));
        return Value();
    };
    vm.Method(g, "clearInterval", clear);
    vm.Method(g, "clearTimeout", clear);
    vm.Method(g, "updateAfterEvent", [](Vm&, CallContext&) { return Value(); });
    vm.Method(g, "getVersion", [](Vm&, CallContext&) { return Value::String("WIN 8,0,22,0"); });
}

}  // namespace velmora::avm1
