#include "kestrel/pages/FieldChecks.h"

#include "platform/sys/System.h"

#include <cctype>
#include <cmath>
#include <cstdlib>

namespace kestrel {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

int digitValue(char c) {
    if (isDigit(c))
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return 99;
}

// "&H1F", "&O17": the digits after the prefix in the given base.
double radixNumber(std::string_view s, int base) {
    double v = 0;
    for (char c : s) {
        int d = digitValue(c);
        if (d >= base)
            break;
        v = v * base + d;
    }
    return v;
}

const char* const kEnterAddress = "Please enter a valid IP Address";

std::optional<std::string> dottedError(std::string_view text, const std::string& emptyLine,
                                       const std::string& formatHead, const std::string& example,
                                       int maxSegment) {
    if (text.empty())
        return emptyLine + "\r\n" + kEnterAddress;
    auto parts = splitDots(text);
    if (parts.size() != 4)
        return formatHead + "\r\nCorrect format is ###.###.###.###\r\nExample: " + example +
               "\r\n" + kEnterAddress;
    for (const auto& part : parts) {
        double v = leadingNumber(part);
        if (v < 0 || v > maxSegment)
            return formatHead + " Segment value must be between 0 and " +
                   std::to_string(maxSegment) + "\r\n" + kEnterAddress;
    }
    return std::nullopt;
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
    return std::strtod(number.c_str(), nullptr);
}

std::vector<std::string> splitDots(std::string_view text) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        std::size_t dot = text.find('.', start);
        if (dot == std::string_view::npos) {
            parts.emplace_back(text.substr(start));
            return parts;
        }
        parts.emplace_back(text.substr(start, dot - start));
        start = dot + 1;
    }
}

std::optional<std::string> portAddressError(std::string_view text) {
    return dottedError(text, "IP Address cannot be empty when the TCP port option is selected.",
                       "Invalid IP Address format.", "10.2.123.254", 254);
}

std::optional<std::string> staticAddressError(std::string_view text, const std::string& name) {
    return dottedError(text, name + " cannot be empty when the Static  option is selected.",
                       "Invalid " + name + " format.", "10.2.123.254", 254);
}

std::optional<std::string> subMaskError(std::string_view text) {
    return dottedError(text, "Submask cannot be empty when the Static option is selected.",
                       "Invalid submask format.", "255.255.0.0", 255);
}

bool hasNoBadChars(std::string_view name) {
    static constexpr std::string_view kBad{"*?<>|\"\t\n\r\0", 10};
    if (name.find_first_of(kBad) != std::string_view::npos)
        return false;
    return sys::toWindows1252(name).has_value();
}

} // namespace kestrel
