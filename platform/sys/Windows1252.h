#pragma once
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

} // namespace sys
