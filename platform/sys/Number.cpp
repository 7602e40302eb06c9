#include "platform/sys/Number.h"

#include "platform/sys/Strings.h"

#include <charconv>
#include <cmath>
#include <string>
#include <system_error>

namespace sys {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// "&H1F", "&O17": the digits after the prefix in the given base.
double radixNumber(std::string_view s, int base) {
    double v = 0;
    for (char c : s) {
        const int d = hexDigitValue(c);
        if (d < 0 || d >= base)
            break;
        v = v * base + d;
    }
    return v;
}

} // namespace

double leadingNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\n'))
        ++i;
    std::string_view s = text.substr(i);
    if (s.size() >= 2 && s[0] == '&') {
        char kind = static_cast<char>(std::toupper(static_cast<unsigned char>(s[1])));
        if (kind == 'H')
            return radixNumber(s.substr(2), 16);
        if (kind == 'O')
            return radixNumber(s.substr(2), 8);
        return 0;
    }
    // Collect the longest prefix of the form [sign] digits [. digits] [E|D [sign] digits].
    std::string number;
    std::size_t j = 0;
    if (j < s.size() && (s[j] == '+' || s[j] == '-'))
        number += s[j++];
    bool anyDigit = false;
    while (j < s.size() && isDigit(s[j])) {
        number += s[j++];
        anyDigit = true;
    }
    if (j < s.size() && s[j] == '.') {
        number += s[j++];
        while (j < s.size() && isDigit(s[j])) {
            number += s[j++];
            anyDigit = true;
        }
    }
    if (!anyDigit)
        return 0;
    if (j < s.size() && (s[j] == 'E' || s[j] == 'e' || s[j] == 'D' || s[j] == 'd')) {
        std::size_t k = j + 1;
        std::string exponent = "e";
        if (k < s.size() && (s[k] == '+' || s[k] == '-'))
            exponent += s[k++];
        bool expDigit = false;
        while (k < s.size() && isDigit(s[k])) {
            exponent += s[k++];
            expDigit = true;
        }
        if (expDigit)
            number += exponent;
    }
    // from_chars reads "." whatever the process locale says (the toolkit sets the
    // user's, where the decimal mark may be a comma).
    const char* first = number.data();
    const char* last = first + number.size();
    if (*first == '+')
        ++first;
    double value = 0;
    if (std::from_chars(first, last, value).ec == std::errc::result_out_of_range) {
        // Too large is beyond every segment limit; too small is 0.
        const bool tiny = number.find("e-") != std::string::npos;
        value = tiny ? 0 : HUGE_VAL;
        if (number[0] == '-' && !tiny)
            value = -value;
    }
    return value;
}

} // namespace sys
