#pragma once
#include "platform/registry/MemoryRegistry.h"

#include <optional>
#include <string>
#include <string_view>

namespace registry {

// The key below HKEY_LOCAL_MACHINE that holds one sub-key per network printer port.
inline constexpr const char* kTcpIpPortsKey =
    "SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\Standard TCP/IP Port\\Ports";
// Where the System Information tool's full path is kept (value "PATH").
inline constexpr const char* kSysInfoKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";

// The printer's host of a network port. On Linux a network printer's port is its device URI:
// socket://HOST[:PORT], ipp://HOST[:PORT]/..., ipps://, http://, https://, lpd://HOST/QUEUE;
// user information before "@" is skipped, an IPv6 literal loses its brackets, and
// %-escapes are decoded. Nothing for local ports (LPT1:, USB001, usb://...), for service
// names (dnssd://...) and for hosts that are empty or hold blanks or control characters.
std::optional<std::string> hostOfNetworkPort(std::string_view portName);

// The registry as this system has it on Linux. It answers the two things the programs read:
// - HKEY_LOCAL_MACHINE\<kTcpIpPortsKey>\<port>, value "IPAddress" (REG_SZ): the host of a
//   network port's device URI (hostOfNetworkPort); local ports have no such key.
// - HKEY_LOCAL_MACHINE\<kSysInfoKey>, value "PATH" (REG_SZ): the System Information tool,
//   only when a program for it is configured. Linux has no such tool, so by default the
//   value is missing and the About box tells the user the tool is unavailable.
// Nothing else exists; other computers are never reached.
class LinuxRegistry : public Registry {
  public:
    // `systemInformationTool`: full path of a program to start as the System Information
    // tool, or "" for none.
    explicit LinuxRegistry(std::string systemInformationTool = "");

    bool keyExists(Root root, const std::string& path) override;
    long queryValue(Root root, const std::string& path, const std::string& name,
                    RawValue& out) override;
    long enumValueNames(Root root, const std::string& path, std::vector<std::string>& out) override;
    long enumKeyNames(Root root, const std::string& path, std::vector<std::string>& out) override;

  private:
    // The port named by a path below the ports key, when it is a network port.
    std::optional<std::string> portHost(Root root, const std::string& path) const;

    MemoryRegistry fixed_;
};

} // namespace registry
