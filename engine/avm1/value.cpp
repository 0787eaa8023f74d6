#include "engine/avm1/value.h"

#include "engine/avm1/case_map.h"
#include "engine/avm1/text_codec.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace velmora::avm1 {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

int DigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'z') return c - 'a' + 10;
    if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
    return 99;
}

std::string NumberToString(double n) {
    if (std::isnan(n)) return "NaN";
    if (std::isinf(n)) return n > 0 ? "Infinity" : "-Infinity";
    if (n == 0) return "0";
    // Round to 15 significant digits first; the exponent of the rounded value decides the layout.
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.14e", n);
    std::string text(buf);
    size_t ePos = text.find('e');
    int exponent = std::atoi(text.c_str() + ePos + 1);
    std::string digits;
    bool negative = text[0] == '-';
    for (size_t i = negative ? 1 : 0; i < ePos; ++i)
        if (text[i] != '.') digits += text[i];
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

    std::string out;
    if (negative) out += '-';
    if (exponent < -5 || exponent >= 15) {
        out += digits[0];
        if (digits.size() > 1) {
            out += '.';
            out.append(digits, 1);
        }
        out += exponent < 0 ? "e-" : "e+";
        out += std::to_string(std::abs(exponent));
    } else if (exponent < 0) {
        out += "0.";
        out.append(static_cast<size_t>(-exponent - 1), '0');
        out += digits;
    } else {
        auto intLen = static_cast<size_t>(exponent + 1);
        if (digits.size() <= intLen) {
            out += digits;
            out.append(intLen - digits.size(), '0');
        } else {
            out.append(digits, 0, intLen);
            out += '.';
            out.append(digits, intLen);
        }
    }
    return out;
}

std::string NumberToRadixString(double n, int radix) {
    if (radix == 10 || radix < 2 || radix > 36) return NumberToString(n);
    if (std::isnan(n)) return "NaN";
    if (std::isinf(n)) return n > 0 ? "Infinity" : "-Infinity";
    // The player formats the 32-bit integer value in other radices.
    int64_t value = ToInt32(n);
    bool negative = value < 0;
    uint64_t mag = static_cast<uint64_t>(negative ? -value : value);
    std::string out;
    do {
        int d = static_cast<int>(mag % static_cast<uint64_t>(radix));
        out.insert(out.begin(), static_cast<char>(d < 10 ? '0' + d : 'a' + d - 10));
        mag /= static_cast<uint64_t>(radix);
    } while (mag);
    if (negative) out.insert(out.begin(), '-');
    return out;
}

double StringToNumber(std::string_view text, int swfVersion) {
    const double bad = swfVersion < 5 ? 0.0 : std::numeric_limits<double>::quiet_NaN();
    size_t i = 0;
    while (i < text.size() && IsSpace(text[i])) ++i;
    std::string_view s = text.substr(i);
    if (s.empty()) return bad;

    if (swfVersion >= 6 && s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        // Hex is read as a 32-bit integer, so 0xFFFFFFFF is -1.
        uint32_t value = 0;
        for (size_t k = 2; k < s.size(); ++k) {
            int d = DigitValue(s[k]);
            if (d >= 16) return bad;
            value = value * 16 + static_cast<uint32_t>(d);
        }
        return static_cast<int32_t>(value);
    }

    size_t k = 0;
    if (s[k] == '+' || s[k] == '-') ++k;
    if (swfVersion >= 6 && s.size() > k + 1 && s[k] == '0' &&
        s.find_first_not_of("01234567", k) == std::string_view::npos) {
        // A leading zero followed by octal digits only is an octal number.
        double value = 0;
        for (size_t d = k; d < s.size(); ++d) value = value * 8 + (s[d] - '0');
        return s[0] == '-' ? -value : value;
    }
    size_t digitsStart = k;
    while (k < s.size() && s[k] >= '0' && s[k] <= '9') ++k;
    size_t intDigits = k - digitsStart;
    size_t fracDigits = 0;
    if (k < s.size() && s[k] == '.') {
        ++k;
        size_t f = k;
        while (k < s.size() && s[k] >= '0' && s[k] <= '9') ++k;
        fracDigits = k - f;
    }
    if (intDigits + fracDigits == 0) return bad;
    if (k < s.size() && (s[k] == 'e' || s[k] == 'E')) {
        size_t e = k + 1;
        if (e < s.size() && (s[e] == '+' || s[e] == '-')) ++e;
        size_t expStart = e;
        while (e < s.size() && s[e] >= '0' && s[e] <= '9') ++e;
        if (e == expStart) return bad;
        k = e;
    }
    if (k != s.size()) return bad;
    return std::strtod(std::string(s).c_str(), nullptr);
}

double PrimitiveToNumber(const Value& v, int swfVersion) {
    switch (v.Type()) {
    case ValueType::Undefined:
    case ValueType::Null: return swfVersion >= 7 ? std::numeric_limits<double>::quiet_NaN() : 0.0;
    case ValueType::Boolean: return v.AsBool() ? 1 : 0;
    case ValueType::Number: return v.AsNumber();
    case ValueType::String: return StringToNumber(v.AsString(), swfVersion);
    case ValueType::Object: break;
    }
    return std::numeric_limits<double>::quiet_NaN();
}

std::string PrimitiveToString(const Value& v, int swfVersion) {
    switch (v.Type()) {
    case ValueType::Undefined: return swfVersion >= 7 ? "undefined" : "";
    case ValueType::Null: return "null";
    case ValueType::Boolean: return v.AsBool() ? "true" : "false";
    case ValueType::Number: return NumberToString(v.AsNumber());
    case ValueType::String: return v.AsString();
    case ValueType::Object: break;
    }
    return "[object Object]";
}

bool ToBoolean(const Value& v, int swfVersion) {
    switch (v.Type()) {
    case ValueType::Undefined:
    case ValueType::Null: return false;
    case ValueType::Boolean: return v.AsBool();
    case ValueType::Number: return v.AsNumber() != 0 && !std::isnan(v.AsNumber());
    case ValueType::String:
        // Up to SWF 6 a string is true only when it reads as a non-zero number.
        if (swfVersion >= 7) return !v.AsString().empty();
        {
            double n = StringToNumber(v.AsString(), swfVersion);
            return n != 0 && !std::isnan(n);
        }
    case ValueType::Object: return true;
    }
    return false;
}

int32_t ToInt32(double n) {
    if (!std::isfinite(n)) return 0;
    double t = std::trunc(n);
    double m = std::fmod(t, 4294967296.0);
    if (m < 0) m += 4294967296.0;
    return static_cast<int32_t>(static_cast<uint32_t>(m));
}

uint32_t ToUint32(double n) { return static_cast<uint32_t>(ToInt32(n)); }

int LevelNumberOf(std::string_view name, bool caseSensitive) {
    if (name.size() <= 6 || !NamesEqual(name.substr(0, 6), "_level", caseSensitive)) return -1;
    int n = 0;
    for (char c : name.substr(6)) {
        if (c < '0' || c > '9' || n > 100000) return -1;
        n = n * 10 + (c - '0');
    }
    return n;
}

namespace {

bool IsAscii(std::string_view s) {
    for (char c : s)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

std::u16string LowerUnits(std::string_view s) {
    std::u16string units = Utf8ToUtf16(s);
    for (char16_t& u : units) u = ToLowerUnit(u);
    return units;
}

}  // namespace

bool NamesEqual(std::string_view a, std::string_view b, bool caseSensitive) {
    if (caseSensitive) return a == b;
    // Beyond ASCII, names fold through the player's case table.
    if (!IsAscii(a) || !IsAscii(b)) return LowerUnits(a) == LowerUnits(b);
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x + 32);
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y + 32);
        if (x != y) return false;
    }
    return true;
}

std::string FoldCase(std::string_view name) {
    if (!IsAscii(name)) return Utf16ToUtf8(LowerUnits(name));
    std::string out(name);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    return out;
}

int64_t ArrayIndexOf(std::string_view name) {
    if (name.empty() || name.size() > 10) return -1;
    if (name.size() > 1 && name[0] == '0') return -1;
    int64_t v = 0;
    for (char c : name) {
        if (c < '0' || c > '9') return -1;
        v = v * 10 + (c - '0');
    }
    return v <= 0xFFFFFFFELL ? v : -1;
}

}  // namespace velmora::avm1
