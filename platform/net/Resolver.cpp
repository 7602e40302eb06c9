#include "platform/net/Resolver.h"

#include "platform/sys/Strings.h"

#include <arpa/inet.h>
#include <netinet/in.h>

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

} // namespace net
