// Numbers read the way the original programs read them (Visual Basic's Val).
#pragma once

#include <string_view>

namespace velmora {

// The leading numeric part of the text with "." as the decimal point: optional spaces, a
// sign, digits, a fraction and an exponent. Empty or non-numeric text gives 0.
double LeadingNumber(std::string_view text);

}  // namespace velmora
