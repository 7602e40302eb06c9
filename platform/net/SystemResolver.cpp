#include "platform/net/SystemResolver.h"

#include <avahi-client/client.h>
#include <avahi-client/lookup.h>
#include <avahi-common/address.h>
#include <avahi-common/error.h>
#include <avahi-common/simple-watch.h>

#include <arpa/inet.h>
#include <chrono>
#include <cstdint>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>

namespace net {

namespace {

bool linkLocal(const in6_addr& a) {
    return a.s6_addr[0] == 0xFE && (a.s6_addr[1] & 0xC0) == 0x80;
}

// The answer of one address family's resolver.
struct Answer {
    bool done = false;
    std::string address;
    std::string problem;
};

void onResolved(AvahiServiceResolver* resolver, AvahiIfIndex interface, AvahiProtocol,
                AvahiResolverEvent event, const char*, const char*, const char*, const char*,
                const AvahiAddress* address, uint16_t, AvahiStringList*, AvahiLookupResultFlags,
                void* data) {
    auto* answer = static_cast<Answer*>(data);
    if (answer->done)
        return;
    answer->done = true;
    if (event != AVAHI_RESOLVER_FOUND || !address) {
        answer->problem =
            avahi_strerror(avahi_client_errno(avahi_service_resolver_get_client(resolver)));
        return;
    }
    char text[AVAHI_ADDRESS_STR_MAX] = {};
    avahi_address_snprint(text, sizeof text, address);
    answer->address = text;
    const std::uint8_t* v6 = address->data.ipv6.address;
    if (address->proto == AVAHI_PROTO_INET6 && v6[0] == 0xFE && (v6[1] & 0xC0) == 0x80)
        answer->address += "%" + std::to_string(interface);
}

void onClientState(AvahiClient*, AvahiClientState, void*) {}

class SystemResolver : public AddressResolver {
  public:
    Lookup resolveService(const ServiceName& service, int timeoutMs) override {
        AvahiSimplePoll* poll = avahi_simple_poll_new();
        if (!poll)
            return {"", "cannot start a DNS-SD lookup"};
        int error = 0;
        AvahiClient* client = avahi_client_new(avahi_simple_poll_get(poll), AvahiClientFlags(0),
                                               onClientState, nullptr, &error);
        if (!client) {
            avahi_simple_poll_free(poll);
            if (error == AVAHI_ERR_NO_DAEMON)
                return {"", "no DNS-SD service is running (avahi-daemon is not started)"};
            return {"",
                    std::string("the DNS-SD service cannot be reached: ") + avahi_strerror(error)};
        }
        // Both families at once, each asked over its own protocol (an IPv4 address asked
        // for over IPv6 is never answered); an IPv4 address is the one to wait for.
        Answer v4, v6;
        auto resolver = [&](AvahiProtocol protocol, Answer& answer) {
            return avahi_service_resolver_new(
                client, AVAHI_IF_UNSPEC, protocol, service.name.c_str(), service.type.c_str(),
                service.domain.c_str(), protocol, AvahiLookupFlags(0), onResolved, &answer);
        };
        AvahiServiceResolver* r4 = resolver(AVAHI_PROTO_INET, v4);
        AvahiServiceResolver* r6 = resolver(AVAHI_PROTO_INET6, v6);
        if (!r4) {
            v4.done = true;
            v4.problem = avahi_strerror(avahi_client_errno(client));
        }
        const auto deadline =
            std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (!v4.done || (!v6.done && !v4.problem.empty() && r6)) {
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                            deadline - std::chrono::steady_clock::now())
                            .count();
            if (left <= 0 || avahi_simple_poll_iterate(poll, static_cast<int>(left)) != 0)
                break;
        }
        if (r4)
            avahi_service_resolver_free(r4);
        if (r6)
            avahi_service_resolver_free(r6);
        avahi_client_free(client);
        avahi_simple_poll_free(poll);

        if (!v4.address.empty())
            return {v4.address, ""};
        if (!v6.address.empty())
            return {v6.address, ""};
        if (!v4.problem.empty())
            return {"", "the DNS-SD service \"" + service.name + "\" was not found: " + v4.problem};
        return {"", "the DNS-SD service \"" + service.name + "\" did not answer within " +
                        std::to_string(timeoutMs) + " ms"};
    }

    Lookup resolveHost(const std::string& host) override {
        addrinfo hints{};
        hints.ai_family = AF_UNSPEC;
        hints.ai_socktype = SOCK_DGRAM;
        addrinfo* list = nullptr;
        const int rc = ::getaddrinfo(host.c_str(), nullptr, &hints, &list);
        if (rc != 0 || !list)
            return {"", "cannot resolve the host \"" + host + "\": " + ::gai_strerror(rc)};
        const addrinfo* chosen = list;
        for (const addrinfo* a = list; a; a = a->ai_next)
            if (a->ai_family == AF_INET) {
                chosen = a;
                break;
            }
        char text[INET6_ADDRSTRLEN] = {};
        std::string address;
        if (chosen->ai_family == AF_INET) {
            auto* in = reinterpret_cast<const sockaddr_in*>(chosen->ai_addr);
            ::inet_ntop(AF_INET, &in->sin_addr, text, sizeof text);
            address = text;
        } else if (chosen->ai_family == AF_INET6) {
            auto* in = reinterpret_cast<const sockaddr_in6*>(chosen->ai_addr);
            ::inet_ntop(AF_INET6, &in->sin6_addr, text, sizeof text);
            address = text;
            if (linkLocal(in->sin6_addr))
                address += "%" + std::to_string(in->sin6_scope_id);
        }
        ::freeaddrinfo(list);
        if (address.empty())
            return {"", "the host \"" + host + "\" has no IPv4 or IPv6 address"};
        return {address, ""};
    }
};

} // namespace

std::unique_ptr<AddressResolver> makeSystemResolver() {
    return std::make_unique<SystemResolver>();
}

} // namespace net
