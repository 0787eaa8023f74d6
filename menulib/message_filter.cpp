#include "menulib/message_filter.h"

#include <algorithm>

namespace ostrel {

bool MessageList::Add(std::span<const uint32_t> messages) {
    bool allNew = true;
    for (uint32_t message : messages) {
        if (Has(message)) {
            allNew = false;
        } else {
            m_messages.push_back(message);
        }
    }
    return allNew;
}

bool MessageList::Remove(uint32_t message) {
    auto it = std::find(m_messages.begin(), m_messages.end(), message);
    if (it == m_messages.end()) return false;
    m_messages.erase(it);
    return true;
}

bool MessageList::Has(uint32_t message) const {
    return std::find(m_messages.begin(), m_messages.end(), message) != m_messages.end();
}

}  // namespace ostrel
