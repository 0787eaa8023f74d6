#include "menulib/memory_property_bag.h"

#include <algorithm>

namespace ostrel {

namespace {
template <typename Pairs>
auto FindNamed(Pairs& pairs, std::wstring_view name) {
    return std::find_if(pairs.begin(), pairs.end(), [name](const auto& p) { return p.first == name; });
}
}  // namespace

PropertyValue MemoryPropertyBag::Read(std::wstring_view name, const PropertyValue& fallback) const {
    auto it = FindNamed(m_values, name);
    return it == m_values.end() ? fallback : it->second;
}

void MemoryPropertyBag::Write(std::wstring_view name, const PropertyValue& value, const PropertyValue& fallback) {
    auto it = FindNamed(m_values, name);
    if (value == fallback) {
        if (it != m_values.end()) m_values.erase(it);
    } else if (it != m_values.end()) {
        it->second = value;
    } else {
        m_values.emplace_back(std::wstring(name), value);
    }
}

PropertyBag& MemoryPropertyBag::Child(std::wstring_view name) {
    auto it = FindNamed(m_children, name);
    if (it != m_children.end()) return *it->second;
    m_children.emplace_back(std::wstring(name), std::make_unique<MemoryPropertyBag>());
    return *m_children.back().second;
}

bool MemoryPropertyBag::HasChild(std::wstring_view name) const {
    return FindNamed(m_children, name) != m_children.end();
}

std::vector<std::wstring> MemoryPropertyBag::Names() const {
    std::vector<std::wstring> names;
    for (const auto& [name, value] : m_values) names.push_back(name);
    return names;
}

}  // namespace ostrel
