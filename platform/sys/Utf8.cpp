#include "platform/sys/Utf8.h"

namespace sys {

namespace {

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

} // namespace

bool nextUtf8(std::string_view s, std::size_t& i, char32_t& c) {
    if (i >= s.size())
        return false;
    auto b = static_cast<unsigned char>(s[i]);
    int extra;
    char32_t min;
    if (b < 0x80) {
        c = b;
        ++i;
        return true;
    } else if ((b & 0xE0) == 0xC0) {
        c = b & 0x1F;
        extra = 1;
        min = 0x80;
    } else if ((b & 0xF0) == 0xE0) {
        c = b & 0x0F;
        extra = 2;
        min = 0x800;
    } else if ((b & 0xF8) == 0xF0) {
        c = b & 0x07;
        extra = 3;
        min = 0x10000;
    } else {
        return false;
    }
    if (i + static_cast<std::size_t>(extra) >= s.size())
        return false;
    for (int k = 1; k <= extra; ++k) {
        auto cb = static_cast<unsigned char>(s[i + k]);
        if ((cb & 0xC0) != 0x80)
            return false;
        c = (c << 6) | (cb & 0x3F);
    }
    if (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        return false;
    i += extra + 1;
    return true;
}

std::size_t charAt(std::string_view utf8, std::size_t at, char32_t& code) {
    std::size_t next = at;
    if (nextUtf8(utf8, next, code))
        return next - at;
    code = static_cast<unsigned char>(utf8[at]);
    return 1;
}

std::size_t charCount(std::string_view utf8) {
    std::size_t n = 0;
    char32_t code;
    for (std::size_t i = 0; i < utf8.size(); i += charAt(utf8, i, code))
        ++n;
    return n;
}

std::string leftChars(std::string_view utf8, std::size_t n) {
    std::size_t end = 0;
    char32_t code;
    for (; n > 0 && end < utf8.size(); --n)
        end += charAt(utf8, end, code);
    return std::string(utf8.substr(0, end));
}

std::string utf8Char(char32_t code) {
    std::string out;
    if (code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF))
        appendUtf8(out, code);
    return out;
}

} // namespace sys
