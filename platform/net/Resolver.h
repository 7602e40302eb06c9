#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace net {

// A DNS-SD service instance, as a `dnssd://` device URI names it.
struct ServiceName {
    std::string name;   // the instance name, decoded: "Label Printer"
    std::string type;   // "_pdl-datastream._tcp"
    std::string domain; // "local"
    bool operator==(const ServiceName&) const = default;
};

// The service of a `dnssd://NAME._TYPE._tcp.DOMAIN/` URI (also `._udp`; anything from the
// first "/", "?" or "#" after the host is dropped): the host part is percent-decoded and cut
// at its first "._", as the scheduler does; no domain means "local". Nothing for other URIs,
// and for a name that is empty or holds control characters.
std::optional<ServiceName> serviceOfUri(std::string_view uri);

// True for an IPv4 or IPv6 address written as numbers ("10.0.0.7", "fe80::1").
bool isNumericAddress(const std::string& text);

// What an address lookup found: a numeric address, or why there is none.
struct Lookup {
    std::string address;
    std::string problem;
};

// Finds a printer's numeric address. The programs get the system's (Avahi's client library
// for DNS-SD services, the system resolver for host names; SystemResolver.h), tests a fake.
class AddressResolver {
  public:
    virtual ~AddressResolver() = default;
    // The address of a DNS-SD service, given up after `timeoutMs`.
    virtual Lookup resolveService(const ServiceName& service, int timeoutMs) = 0;
    // The address of a host name.
    virtual Lookup resolveHost(const std::string& host) = 0;
};

} // namespace net
