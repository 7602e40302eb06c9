#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace sys {

// Decodes the well-formed UTF-8 character at byte `at` into `code` and moves `at` past it;
// false, and `at` unchanged, when a malformed sequence (or none) begins there.
bool nextUtf8(std::string_view utf8, std::size_t& at, char32_t& code);

// Characters of UTF-8 text. A byte that begins no well-formed sequence is a character of its
// own, so counting and cutting agree on any input and never split a well-formed character.
// The character at byte `at`: its length in bytes; `code` gets its code point (a stray
// byte: the byte's value).
std::size_t charAt(std::string_view utf8, std::size_t at, char32_t& code);
std::size_t charCount(std::string_view utf8);
// The first `n` characters (all of the text when it has fewer).
std::string leftChars(std::string_view utf8, std::size_t n);
// One code point as UTF-8; empty for a value that is no code point (a surrogate, or too big).
std::string utf8Char(char32_t code);

} // namespace sys
