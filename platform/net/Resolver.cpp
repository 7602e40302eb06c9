#include "platform/net/Resolver.h"

#include "platform/sys/Strings.h"

#include <algorithm>
#include <arpa/inet.h>
#include <chrono>
#include <netinet/in.h>
#include <thread>

namespace net {

namespace {

bool hasControl(std::string_view text) {
    for (unsigned char c : text)
        if (c < 0x20 || c == 0x7F)
            return true;
    return false;
}

bool startsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           sys::upperAscii(std::string(text.substr(0, prefix.size()))) ==
               sys::upperAscii(std::string(prefix));
}

} // namespace

std::optional<ServiceName> serviceOfUri(std::string_view uri) {
    constexpr std::string_view kScheme = "dnssd://";
    if (!startsWithNoCase(uri, kScheme))
        return std::nullopt;
    std::string_view host = uri.substr(kScheme.size());
    host = host.substr(0, host.find_first_of("/?#"));
    auto decoded = sys::percentDecode(host);
    if (!decoded)
        return std::nullopt;
    const std::string& text = *decoded;
    const std::size_t typeAt = text.find("._");
    if (typeAt == std::string::npos || typeAt == 0)
        return std::nullopt;
    ServiceName service;
    service.name = text.substr(0, typeAt);
    std::string rest = text.substr(typeAt + 1);
    std::size_t proto = rest.find("._tcp");
    if (proto == std::string::npos)
        proto = rest.find("._udp");
    if (proto == std::string::npos)
        return std::nullopt;
    service.type = rest.substr(0, proto + 5);
    std::string domain = rest.substr(proto + 5);
    if (!domain.empty() && domain.front() != '.')
        return std::nullopt;
    while (!domain.empty() && (domain.front() == '.' || domain.back() == '.'))
        domain.erase(domain.front() == '.' ? 0 : domain.size() - 1, 1);
    service.domain = domain.empty() ? "local" : domain;
    if (hasControl(service.name) || hasControl(service.type) || hasControl(service.domain))
        return std::nullopt;
    return service;
}

bool isNumericAddress(const std::string& text) {
    in6_addr buffer{};
    return ::inet_pton(AF_INET, text.c_str(), &buffer) == 1 ||
           ::inet_pton(AF_INET6, text.c_str(), &buffer) == 1;
}

namespace {

// How often a wait looks at its lookup.
constexpr std::int64_t kLookMs = 10;

std::int64_t steadyMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

std::string quotedService(const ServiceName& service) {
    return "the DNS-SD service \"" + service.name + "\"";
}

} // namespace

Lookup awaitLookup(PendingLookup& lookup, int limitMs, const WaitLoop& loop) {
    const auto now = [&] { return loop.nowMs ? loop.nowMs() : steadyMs(); };
    const std::int64_t start = now();
    for (;;) {
        if (auto found = lookup.answer())
            return *found;
        const std::int64_t waited = now() - start;
        if (waited >= limitMs)
            return lookup.atLimit(limitMs);
        const std::int64_t slice = std::min(kLookMs, limitMs - waited);
        if (loop.idle)
            loop.idle(slice);
        else
            std::this_thread::sleep_for(std::chrono::milliseconds(slice));
    }
}

std::string hostUnanswered(const std::string& host, int ms) {
    return "no answer for the host \"" + host + "\" within " + std::to_string(ms) + " ms";
}

std::optional<Lookup> serviceAnswer(const ServiceName& service, const ServiceFindings& findings) {
    using Outcome = ServiceFindings::Outcome;
    const auto& v4 = findings.v4;
    const auto& v6 = findings.v6;
    if (v4.outcome == Outcome::Found)
        return Lookup{v4.address, ""};
    if (v4.outcome == Outcome::Waiting)
        return std::nullopt;
    if (v6.outcome == Outcome::Found)
        return Lookup{v6.address, ""};
    if (v6.outcome == Outcome::Waiting)
        return std::nullopt;
    const bool unknown =
        findings.absent || v4.outcome == Outcome::NotFound || v6.outcome == Outcome::NotFound;
    if (unknown)
        return Lookup{"", quotedService(service) + " was not found"};
    if (v4.outcome == Outcome::TimedOut)
        return Lookup{"", quotedService(service) + " did not answer in time (" + v4.error + ")"};
    return Lookup{"", quotedService(service) + " cannot be resolved: " + v4.error};
}

Lookup serviceAtLimit(const ServiceName& service, const ServiceFindings& findings, int waitedMs) {
    if (auto answer = serviceAnswer(service, findings))
        return *answer;
    if (findings.v6.outcome == ServiceFindings::Outcome::Found)
        return Lookup{findings.v6.address, ""};
    if (findings.absent)
        return Lookup{"", quotedService(service) + " was not found"};
    return Lookup{"", quotedService(service) + " did not answer within " +
                          std::to_string(waitedMs) + " ms"};
}

} // namespace net
