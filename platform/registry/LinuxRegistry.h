#pragma once
#include "platform/registry/MemoryRegistry.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace sys {
class System;
}
namespace net {
class AddressResolver;
}

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
// names (dnssd://..., see net::serviceOfUri) and for hosts that are empty or hold blanks or
// control characters.
std::optional<std::string> hostOfNetworkPort(std::string_view portName);

// How long a change waits for the store's lock (a change of ours holds it for milliseconds;
// anyone who may read the store's folder can hold it for ever).
inline constexpr int kStoreLockMs = 3000;

// How long the address of a network port (a dnssd:// service or a host name) may take:
// inside the 5 s that one user action may hold the wizard.
inline constexpr int kAddressLookupMs = 4000;

// The user's registry file: "<folder>/registry" in $XDG_CONFIG_HOME, or in ~/.config when
// that is unset, empty or not an absolute path. `env` looks up environment variables.
std::string userStorePath(const std::string& folder,
                          const std::function<std::optional<std::string>(const std::string&)>& env);
// The same with the process environment.
std::string userStorePath(const std::string& folder);

// The registry as this system has it on Linux: a store of our own, one file per user
// (MemoryRegistry's text form, read on every use and replaced whole on every change, under a
// lock of the store's folder so that programs changing it at once keep all changes; a change
// that cannot have the lock within kStoreLockMs fails with ERROR_LOCK_FAILED and changes
// nothing), with
// two kinds of keys answered from elsewhere and never stored:
// - HKEY_LOCAL_MACHINE\<kTcpIpPortsKey>\<port>, value "IPAddress" (REG_SZ): the address of
//   a network port's device URI: with a resolver, a host name's address (a numeric host
//   as it is) or a dnssd:// service's address, either within kAddressLookupMs while
//   lookupWait runs; without one, the host as written and nothing for a service. Local
//   ports have no such key. A lookup that fails or passes the limit leaves the value
//   missing and tells onLookupProblem why. The ports key and all
//   below it are the spooler's: writing there is refused.
// - HKEY_LOCAL_MACHINE\<kSysInfoKey>, value "PATH" (REG_SZ): the System Information tool,
//   only when a program for it is configured (then that key is refused to writes too).
//   Linux has no such tool, so by default the value is missing and the About box tells the
//   user the tool is unavailable.
// A store file that exists but cannot be read, is not a store or was cut short, is left
// alone: reads find nothing in it and changes fail with ERROR_BADDB. Other computers are never
// reached.
class LinuxRegistry : public Registry {
  public:
    // `storePath`: the store's file (userStorePath); its folder is made on the first change.
    // `systemInformationTool`: full path of a program to start as the System Information
    // tool, or "" for none. `resolver` (which outlives this object) finds network ports'
    // addresses.
    LinuxRegistry(sys::System& system, std::string storePath,
                  std::string systemInformationTool = "", net::AddressResolver* resolver = nullptr);

    bool keyExists(Root root, const std::string& path) override;
    long queryValue(Root root, const std::string& path, const std::string& name,
                    RawValue& out) override;
    long enumValueNames(Root root, const std::string& path, std::vector<std::string>& out) override;
    long enumKeyNames(Root root, const std::string& path, std::vector<std::string>& out) override;

    long createKey(Root root, const std::string& path) override;
    long deleteKey(Root root, const std::string& path) override;
    long setValue(Root root, const std::string& path, const std::string& name,
                  const RawValue& value) override;
    long deleteValue(Root root, const std::string& path, const std::string& name) override;
    long openKeyForWriting(Root root, const std::string& path) override;

    // Replaces kStoreLockMs (tests wait less).
    void setLockLimit(int ms) { lockLimitMs_ = ms; }

  private:
    // The port named by a path below the ports key, when it is a network port.
    std::optional<std::string> networkPort(Root root, const std::string& path) const;
    // The address of a network port, or nothing (onLookupProblem told why).
    std::optional<std::string> portAddress(const std::string& port);
    // At or below a key answered from elsewhere.
    bool fixedKey(Root root, const std::string& path) const;
    // The store as it is now; false when its file cannot be used.
    bool load(MemoryRegistry& store);
    // Loads the store, applies the change and writes the store whole when it succeeded.
    long change(const std::function<long(MemoryRegistry&)>& apply);

    sys::System& system_;
    std::string storePath_;
    bool sysInfoConfigured_;
    net::AddressResolver* resolver_;
    MemoryRegistry fixed_;
    int lockLimitMs_ = kStoreLockMs;
};

} // namespace registry
