#include "platform/sys/Encoding.h"

#include <array>

namespace sys {

namespace {

// Code points of bytes 0x80-0x9F in Windows-1252; 0 where the byte is unassigned.
constexpr std::array<char32_t, 32> kHigh = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

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

// Decodes one UTF-8 character at i; false on a malformed sequence.
bool nextUtf8(std::string_view s, std::size_t& i, char32_t& c) {
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

// The Windows-1252 byte of a code point, or nothing when it has none.
std::optional<char> windows1252Byte(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<char>(c);
    // The five bytes without a character of their own come and go as U+0081 etc., so that
    // any bytes read from a file are written back unchanged.
    if (c >= 0x80 && c < 0xA0 && kHigh[c - 0x80] == 0)
        return static_cast<char>(c);
    for (std::size_t k = 0; k < kHigh.size(); ++k)
        if (kHigh[k] != 0 && kHigh[k] == c)
            return static_cast<char>(0x80 + k);
    return std::nullopt;
}

} // namespace

std::optional<std::string> toWindows1252(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        char32_t c;
        if (!nextUtf8(utf8, i, c))
            return std::nullopt;
        auto b = windows1252Byte(c);
        if (!b)
            return std::nullopt;
        out += *b;
    }
    return out;
}

std::string ansiText(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        char32_t c;
        if (!nextUtf8(utf8, i, c)) {
            ++i;
            out += '?';
            continue;
        }
        out += windows1252Byte(c).value_or('?');
    }
    return out;
}

std::string fromWindows1252(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (char ch : bytes) {
        auto b = static_cast<unsigned char>(ch);
        if (b >= 0x80 && b < 0xA0 && kHigh[b - 0x80] != 0)
            appendUtf8(out, kHigh[b - 0x80]);
        else
            appendUtf8(out, b);
    }
    return out;
}

bool hasC1Control(std::string_view utf8) {
    for (std::size_t i = 0; i + 1 < utf8.size(); ++i) {
        auto next = static_cast<unsigned char>(utf8[i + 1]);
        if (static_cast<unsigned char>(utf8[i]) == 0xC2 && next >= 0x80 && next < 0xA0)
            return true;
    }
    return false;
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
