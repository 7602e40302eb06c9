#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The port-name rule: CUPS device URIs of local devices get Windows-style port names, so
// that separate programs (the port lister, the set-up commands, the wizards) agree on them.
//
//   parallel:PATH  -> "LPTn:"   n = 1 + the number that PATH ends in (parallel:/dev/lp0 is LPT1:)
//   serial:PATH    -> "COMn:"   n = 1 + the number that PATH ends in (serial:/dev/ttyS1 is COM2:)
//   usb:...        -> "USBnnn"  nnn = 1 + (FNV-1a 32-bit hash of the whole URI mod 999),
//                               three digits (USB001 to USB999)
//
// PATH is the URI after "scheme:" up to any "?" options; a PATH without a final number
// counts as 0. Other schemes are not local and get no name. The name depends on the URI
// alone, so it stays the same whatever other devices come and go. Should two devices of one
// list claim the same name, the devices are taken in byte order of their URIs: the first
// keeps the name, each later one takes the next free number (USB wraps from 999 to 001;
// once all 999 are held, further USB devices take USB1000, USB1001, ...). A list is ordered
// LPT, COM, USB, each by number. Naming n devices takes O(n log n), whatever they claim.
namespace spooler::portnames {

struct PortDevice {
    std::string name;
    std::string uri;
    bool operator==(const PortDevice&) const = default;
};

// The name a local device URI claims; nothing for other schemes.
std::optional<std::string> preferredPortName(std::string_view uri);

// Names the local devices among `uris`, every one of them (others are dropped, duplicates
// counted once).
std::vector<PortDevice> nameLocalDevices(const std::vector<std::string>& uris);

// The name of a device URI in the naming of the current listing `devices`: its listed name,
// or, for a device the listing lacks, its own name unless a listed device holds it, then the
// next free one; nothing for other schemes. A printer's port is shown under this name, so
// that it agrees with the names the port lister writes.
std::optional<std::string> portNameIn(std::string_view uri, const std::vector<PortDevice>& devices);

// The device of a listed port name (exact, case-sensitive).
std::optional<std::string> uriForPort(std::string_view name,
                                      const std::vector<PortDevice>& devices);

// The conventional device of an LPT or COM name that no listed device carries:
// "LPTn:" -> "parallel:/dev/lp<n-1>", "COMn:" -> "serial:/dev/ttyS<n-1>"; nothing otherwise.
std::optional<std::string> fallbackUri(std::string_view name);

} // namespace spooler::portnames
