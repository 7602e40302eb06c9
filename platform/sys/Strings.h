#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sys {

// The pieces of the text between the separators, empty ones included ("a..b" on "." gives
// "a", "", "b"); one piece when the text holds no separator.
std::vector<std::string_view> splitOn(std::string_view text, char separator);

// The text without any of `blanks` at its start and end.
std::string trim(std::string_view text, std::string_view blanks = " ");

// The text with ASCII a-z made A-Z; every other byte, UTF-8 included, left as it is.
std::string upperAscii(std::string s);

// The value of a hexadecimal digit, -1 for any other character.
int hexDigitValue(char c);
// Two hex digits per byte, upper-case unless `lowerCase`.
std::string hexEncode(std::string_view bytes, bool lowerCase = false);
// Two characters at a time; a pair is read as far as its hex digits go from the left
// (no leading digit: 0); a last single character is read alone.
std::string hexDecode(std::string_view hex);
// True when the text is pairs of hex digits only (what hexEncode writes).
bool isHexText(std::string_view text);

// Text with each "%XX" replaced by the byte of hex XX; nothing when a "%" is not followed
// by two hex digits.
std::optional<std::string> percentDecode(std::string_view text);

} // namespace sys
