// Script values and the conversions that need no object: the number and string
// rules of the player, which change between SWF versions.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace velmora::avm1 {

class Object;

enum class ValueType : uint8_t { Undefined, Null, Boolean, Number, String, Object };

class Value {
public:
    Value() = default;  // undefined
    static Value Null() { return Value(ValueType::Null); }
    static Value Bool(bool b) {
        Value v(ValueType::Boolean);
        v.m_bool = b;
        return v;
    }
    static Value Number(double n) {
        Value v(ValueType::Number);
        v.m_number = n;
        return v;
    }
    static Value String(std::string s) {
        Value v(ValueType::String);
        v.m_string = std::move(s);
        return v;
    }
    static Value Obj(Object* o) {
        if (!o) return Null();
        Value v(ValueType::Object);
        v.m_object = o;
        return v;
    }

    ValueType Type() const { return m_type; }
    bool IsUndefined() const { return m_type == ValueType::Undefined; }
    bool IsNull() const { return m_type == ValueType::Null; }
    bool IsNullish() const { return m_type == ValueType::Undefined || m_type == ValueType::Null; }
    bool IsBool() const { return m_type == ValueType::Boolean; }
    bool IsNumber() const { return m_type == ValueType::Number; }
    bool IsString() const { return m_type == ValueType::String; }
    bool IsObject() const { return m_type == ValueType::Object; }
    bool IsPrimitive() const { return m_type != ValueType::Object; }

    bool AsBool() const { return m_bool; }
    double AsNumber() const { return m_number; }
    const std::string& AsString() const { return m_string; }
    Object* AsObject() const { return m_type == ValueType::Object ? m_object : nullptr; }

private:
    explicit Value(ValueType t) : m_type(t) {}
    ValueType m_type = ValueType::Undefined;
    bool m_bool = false;
    double m_number = 0;
    std::string m_string;
    Object* m_object = nullptr;
};

// The player's number formatting: 15 significant digits, exponent form below 1e-5
// and from 1e15 on. Radix 2..36 formats the integer part like Number.toString(radix).
std::string NumberToString(double n);
std::string NumberToRadixString(double n, int radix);

// String to number as ToNumber does it for the given SWF version (leading
// whitespace allowed, "0x" hex from SWF 6, the whole text must be a number; before
// SWF 5 a bad number is 0 rather than NaN).
double StringToNumber(std::string_view text, int swfVersion);

// Primitive conversions (objects are converted by the Vm, which may call script).
double PrimitiveToNumber(const Value& v, int swfVersion);
std::string PrimitiveToString(const Value& v, int swfVersion);
bool ToBoolean(const Value& v, int swfVersion);

// Whitespace the number parsers skip, and a digit's value in radix 36 (99: not a digit).
bool IsSpace(char c);
int DigitValue(char c);

int32_t ToInt32(double n);
uint32_t ToUint32(double n);

// Property-name comparison: SWF 7 and later are case-sensitive, earlier movies
// compare ASCII letters without case.
bool NamesEqual(std::string_view a, std::string_view b, bool caseSensitive);
// "_level12" -> 12; -1 for anything else ("_levelx" is an ordinary name).
int LevelNumberOf(std::string_view name, bool caseSensitive = false);
std::string FoldCase(std::string_view name);

// Array index ("0", "17", not "01" or "-1"); -1 when the name is not one.
int64_t ArrayIndexOf(std::string_view name);

}  // namespace velmora::avm1
