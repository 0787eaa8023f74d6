// The two message lists of a subclasser and the question "does this phase want uMsg".
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace ostrel {

class MessageList {
public:
    // Appends every number not yet present; true only if all of them were new.
    bool Add(std::span<const uint32_t> messages);
    // False when the number was not in the list.
    bool Remove(uint32_t message);
    bool Has(uint32_t message) const;
    size_t Size() const { return m_messages.size(); }

private:
    std::vector<uint32_t> m_messages;
};

// What the window procedure consults per message: a count of -1 stands for "all".
struct MessageFilter {
    MessageList before;
    MessageList after;
    bool allBefore = false;
    bool allAfter = false;

    int BeforeCount() const { return allBefore ? -1 : static_cast<int>(before.Size()); }
    int AfterCount() const { return allAfter ? -1 : static_cast<int>(after.Size()); }
    bool WantsBefore(uint32_t message) const { return allBefore || before.Has(message); }
    bool WantsAfter(uint32_t message) const { return allAfter || after.Has(message); }
};

}  // namespace ostrel
