#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace kestrel {

// A port name goes into the quoted batch line that creates the temporary printer, so
// only names that cannot break out of the quotes or expand are offered: no double quote,
// %, &, |, <, >, ^ and no control character.
bool isSafePortName(std::string_view name);

enum class PortKind { None, LPT, COM, USB };

// Which list a port name belongs to: "LPT..." and "COM..." only when they end in ":",
// "USB..." whatever its end. Exact, case-sensitive. Unsafe names are None.
PortKind portKind(std::string_view name);

// The three port lists in table order.
struct PortLists {
    std::vector<std::string> lpt, com, usb;
};
PortLists sortPorts(const std::vector<std::string>& names);

} // namespace kestrel
