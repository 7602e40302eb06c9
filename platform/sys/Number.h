#pragma once
#include <string_view>

namespace sys {

// The number a typed text begins with, after leading blanks, tabs and line feeds: an optional sign,
// digits, a decimal point and an exponent (E or D), or "&H"/"&O" with hexadecimal or octal digits.
// A text without one is 0. The point is "." whatever the process locale says; a value too
// large is plus or minus infinity, one too small 0.
double leadingNumber(std::string_view text);

} // namespace sys
