#include <gtest/gtest.h>

#include "common/vb_number.h"

namespace velmora {
namespace {

TEST(LeadingNumber, ReadsTheLeadingNumericPart) {
    const struct {
        const char* text;
        double expected;
    } cases[] = {
        {"2.2", 2.2},       {"2.10", 2.1},     {"  3.5\r\n", 3.5}, {"3.5abc", 3.5},
        {"", 0},            {"abc", 0},        {"-1.5", -1.5},     {"+2", 2},
        {".5", 0.5},        {"2.", 2},         {"1e2", 100},       {"2E", 2},
        {"7,5", 7},         {".", 0},          {"-", 0},           {"1e999", 0},
    };
    for (const auto& c : cases) EXPECT_DOUBLE_EQ(LeadingNumber(c.text), c.expected) << c.text;
}

}  // namespace
}  // namespace velmora
