#pragma once
#include "platform/sys/Number.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel {

using sys::leadingNumber;

// The text split at every "." (an empty text gives one empty part).
std::vector<std::string> splitDots(std::string_view text);

// Checks of a dotted address field. Each returns the lines of the error box joined by
// CR LF, or nothing when the text passes.

// The printer address on the port page.
std::optional<std::string> portAddressError(std::string_view text);
// A static address on the TCP/IP page; `name` is the field's name in the messages
// ("IP Address", "Gateway Address").
std::optional<std::string> staticAddressError(std::string_view text, const std::string& name);
// The subnet mask on the TCP/IP page.
std::optional<std::string> subMaskError(std::string_view text);

// True when a command file name holds none of * ? < > | " tab, line feed, carriage return
// or NUL, and every character has a Windows-1252 form (one without it would reach the
// file system as "?").
bool hasNoBadChars(std::string_view name);

} // namespace kestrel
