// Property persistence for the controls: a bag of named values, standing in for the
// ActiveX container's property bag. Controls read each property with its default and
// write only values that differ from the default, in a fixed order.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace ostrel {

// One stored value: numbers (booleans, integers, OLE colours), text or bytes (pictures).
struct PropertyValue {
    enum class Kind : uint8_t { Number, Text, Bytes };
    Kind kind = Kind::Number;
    int64_t number = 0;
    std::wstring text;
    std::vector<uint8_t> bytes;

    static PropertyValue Of(int64_t n) { return {Kind::Number, n, {}, {}}; }
    static PropertyValue Of(std::wstring t) { return {Kind::Text, 0, std::move(t), {}}; }
    static PropertyValue Of(std::vector<uint8_t> b) { return {Kind::Bytes, 0, {}, std::move(b)}; }
    friend bool operator==(const PropertyValue&, const PropertyValue&) = default;
};

class PropertyBag {
public:
    virtual ~PropertyBag() = default;
    // The stored value, or `fallback` when the name was never written.
    virtual PropertyValue Read(std::wstring_view name, const PropertyValue& fallback) const = 0;
    // Stores the value; a value equal to `fallback` is not written (and a stale one removed).
    virtual void Write(std::wstring_view name, const PropertyValue& value,
                       const PropertyValue& fallback) = 0;
    // A nested bag under the name (created when missing), e.g. a font or an icon record.
    virtual PropertyBag& Child(std::wstring_view name) = 0;
    virtual bool HasChild(std::wstring_view name) const = 0;
};

}  // namespace ostrel
