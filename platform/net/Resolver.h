#pragma once
#include <cstdint>
#include <functional>
#include <memory>
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

// A lookup under way. Its answer comes from elsewhere (a worker thread, a daemon), so asking
// never blocks; dropping it abandons the lookup, which may then end later unseen.
class PendingLookup {
  public:
    virtual ~PendingLookup() = default;
    // The answer, once there is one.
    virtual std::optional<Lookup> answer() = 0;
    // What the lookup has when the wait for it ends first, `waitedMs` after it began: as a
    // rule no address, and why.
    virtual Lookup atLimit(int waitedMs) = 0;
};

// Finds a printer's numeric address. The programs get the system's (Avahi's client library
// for DNS-SD services, the system resolver for host names; SystemResolver.h), tests a fake.
class AddressResolver {
  public:
    virtual ~AddressResolver() = default;
    // Starts looking for the address of a DNS-SD service; the lookup gives up by itself
    // after `timeoutMs`.
    virtual std::unique_ptr<PendingLookup> lookUpService(const ServiceName& service,
                                                         int timeoutMs) = 0;
    // Starts looking for the address of a host name.
    virtual std::unique_ptr<PendingLookup> lookUpHost(const std::string& host) = 0;
};

// How a wait passes its time: the program's clock, and what runs between two looks at the
// lookup (the event loop, then a short sleep on that clock). Empty members stand for the
// real clock and a plain sleep.
struct WaitLoop {
    std::function<std::int64_t()> nowMs;
    std::function<void(std::int64_t ms)> idle;
};

// Waits for the lookup's answer, at most `limitMs` on the loop's clock, looking every few
// milliseconds and idling between looks; past the limit, what the lookup has then.
Lookup awaitLookup(PendingLookup& lookup, int limitMs, const WaitLoop& loop);

// Why a host name has no address when its lookup did not end within `ms`.
std::string hostUnanswered(const std::string& host, int ms);

// What a DNS-SD lookup has learnt so far: the resolver's outcome for each address family
// (each is asked over its own protocol) and whether browsing for the service's type found
// it not announced at all.
struct ServiceFindings {
    enum class Outcome { Waiting, Found, NotFound, TimedOut, Failed };
    struct Family {
        Outcome outcome = Outcome::Waiting;
        std::string address; // when found
        std::string error;   // the DNS-SD service's own words, when not
    };
    Family v4, v6;
    bool absent = false;
};

// The lookup's answer from its findings, or nothing while it should go on: an IPv4 address is
// waited for; an IPv6 one counts once IPv4 failed; when both failed, a service that is not
// announced or not known reads as not found, one that was asked but stayed silent as not
// answering in time.
std::optional<Lookup> serviceAnswer(const ServiceName& service, const ServiceFindings& findings);
// The answer when the wait ended first, after `waitedMs`: an IPv6 address found meanwhile,
// else why there is none.
Lookup serviceAtLimit(const ServiceName& service, const ServiceFindings& findings, int waitedMs);

} // namespace net
