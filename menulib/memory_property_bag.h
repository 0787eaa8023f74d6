// A property bag held in memory: the player's store for control properties and the
// stand-in container of the tests. Keeps the writing order.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "menulib/property_bag.h"

namespace ostrel {

class MemoryPropertyBag final : public PropertyBag {
public:
    PropertyValue Read(std::wstring_view name, const PropertyValue& fallback) const override;
    void Write(std::wstring_view name, const PropertyValue& value, const PropertyValue& fallback) override;
    PropertyBag& Child(std::wstring_view name) override;
    bool HasChild(std::wstring_view name) const override;

    // Names of the stored values, in the order they were first written.
    std::vector<std::wstring> Names() const;

private:
    std::vector<std::pair<std::wstring, PropertyValue>> m_values;
    std::vector<std::pair<std::wstring, std::unique_ptr<MemoryPropertyBag>>> m_children;
};

}  // namespace ostrel
