#include "kestrel/pages/FieldChecks.h"

#include "platform/sys/Encoding.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <system_error>

namespace kestrel {

namespace {

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
