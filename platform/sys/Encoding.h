#pragma once
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace sys {

// UTF-8 text to Windows-1252 bytes; nothing when a character has no Windows-1252 form
// or the text is not valid UTF-8. The inverse of fromWindows1252: U+0081, U+008D, U+008F,
// U+0090 and U+009D stand for the five bytes Windows-1252 leaves unassigned.
std::optional<std::string> toWindows1252(std::string_view utf8);
// Windows-1252 bytes to UTF-8. The five unassigned bytes map to U+0081 etc. unchanged.
std::string fromWindows1252(std::string_view bytes);
// A text that comes from the system (a printer name, a path) as an ANSI conversion gives it:
// Windows-1252 bytes, with "?" for each character that has no Windows-1252 form and for
// each byte that begins no well-formed UTF-8 sequence. Logs carry system texts this way.
std::string ansiText(std::string_view utf8);
// True when the text holds a C1 control character (U+0080 to U+009F), which no one types
// and no printer command carries.
bool hasC1Control(std::string_view utf8);

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
