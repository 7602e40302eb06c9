#include "platform/sys/Strings.h"

namespace sys {

std::vector<std::string_view> splitOn(std::string_view text, char separator) {
    std::vector<std::string_view> out;
    std::size_t start = 0;
    for (;;) {
        std::size_t at = text.find(separator, start);
        out.push_back(text.substr(start, at == std::string_view::npos ? text.npos : at - start));
        if (at == std::string_view::npos)
            return out;
        start = at + 1;
    }
}

std::string trim(std::string_view text, std::string_view blanks) {
    const std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos)
        return {};
    const std::size_t last = text.find_last_not_of(blanks);
    return std::string(text.substr(first, last - first + 1));
}

std::string upperAscii(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return s;
}

int hexDigitValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::string hexEncode(std::string_view bytes, bool lowerCase) {
    const char* digits = lowerCase ? "0123456789abcdef" : "0123456789ABCDEF";
    std::string out;
    out.reserve(bytes.size() * 2);
    for (char ch : bytes) {
        auto b = static_cast<unsigned char>(ch);
        out += digits[b >> 4];
        out += digits[b & 0x0F];
    }
    return out;
}

std::string hexDecode(std::string_view hex) {
    std::string out;
    out.reserve(hex.size() / 2 + 1);
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        int value = 0;
        for (char c : hex.substr(i, 2)) {
            const int d = hexDigitValue(c);
            if (d < 0)
                break;
            value = value * 16 + d;
        }
        out += static_cast<char>(value);
    }
    return out;
}

bool isHexText(std::string_view text) {
    if (text.size() % 2 != 0)
        return false;
    for (char c : text)
        if (hexDigitValue(c) < 0)
            return false;
    return true;
}

std::optional<std::string> percentDecode(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out.push_back(text[i]);
            continue;
        }
        if (i + 2 >= text.size())
            return std::nullopt;
        int hi = hexDigitValue(text[i + 1]);
        int lo = hexDigitValue(text[i + 2]);
        if (hi < 0 || lo < 0)
            return std::nullopt;
        out.push_back(static_cast<char>(hi * 16 + lo));
        i += 2;
    }
    return out;
}

} // namespace sys
