#include "platform/sys/Windows1252.h"

#include "platform/sys/Utf8.h"

#include <array>

namespace sys {

namespace {

// Code points of bytes 0x80-0x9F in Windows-1252; 0 where the byte is unassigned.
constexpr std::array<char32_t, 32> kHigh = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

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
            out += utf8Char(kHigh[b - 0x80]);
        else
            out += utf8Char(b);
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

} // namespace sys
