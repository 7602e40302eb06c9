#pragma once
#include <string>

namespace registry {
class Registry;
}

namespace osprey {

inline constexpr const char* kTcpIpPortKeyPrefix =
    "SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\Standard TCP/IP Port\\Ports\\";

// The IP address text of a Standard TCP/IP printer port (the port name as the spooler
// reports it), or "" for a port of another kind or one whose address cannot be read.
std::string GetPortIPAddress(registry::Registry& registry, const std::string& portName);

} // namespace osprey
