#include "common/vb_number.h"

#include <charconv>
#include <cmath>
#include <string>

namespace velmora {

double LeadingNumber(std::string_view text) {
    size_t i = 0;
    const auto isSpace = [&](size_t k) {
        return k < text.size() && (text[k] == ' ' || text[k] == '\t' || text[k] == '\r' ||
                                   text[k] == '\n');
    };
    const auto isDigit = [&](size_t k) { return k < text.size() && text[k] >= '0' && text[k] <= '9'; };
    while (isSpace(i)) ++i;
    std::string number;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) number += text[i++];
    size_t digits = 0;
    while (isDigit(i)) number += text[i++], ++digits;
    if (i < text.size() && text[i] == '.') {
        number += text[i++];
        while (isDigit(i)) number += text[i++], ++digits;
    }
    if (digits == 0) return 0;
    // An exponent counts only when digits follow it ("2E" is 2).
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E' || text[i] == 'd' || text[i] == 'D')) {
        size_t k = i + 1;
        std::string exponent = "e";
        if (k < text.size() && (text[k] == '-' || text[k] == '+')) exponent += text[k++];
        if (isDigit(k)) {
            while (isDigit(k)) exponent += text[k++];
            number += exponent;
        }
    }
    // from_chars takes no '+' and ignores the locale's decimal point, as Val does.
    const char* first = number.data() + (number[0] == '+' ? 1 : 0);
    double value = 0;
    std::from_chars(first, number.data() + number.size(), value);
    return std::isfinite(value) ? value : 0;
}

}  // namespace velmora
