#include "platform/net/SystemResolver.h"

#include <avahi-client/client.h>
#include <avahi-client/lookup.h>
#include <avahi-common/address.h>
#include <avahi-common/error.h>
#include <avahi-common/simple-watch.h>

#include <algorithm>
#include <arpa/inet.h>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <netdb.h>
#include <netinet/in.h>
#include <strings.h>
#include <sys/socket.h>
#include <system_error>
#include <thread>

namespace net {

namespace {

using Outcome = ServiceFindings::Outcome;

bool linkLocal(const in6_addr& a) {
    return a.s6_addr[0] == 0xFE && (a.s6_addr[1] & 0xC0) == 0x80;
}

// A lookup that could not even start.
class Refused : public PendingLookup {
  public:
    explicit Refused(std::string problem) : problem_(std::move(problem)) {}
    std::optional<Lookup> answer() override { return Lookup{"", problem_}; }
    Lookup atLimit(int) override { return {"", problem_}; }

  private:
    std::string problem_;
};

// ---- host names: getaddrinfo has no time limit, so it runs on a worker of its own ----

Lookup hostAddress(const std::string& host) {
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

// Shared by the worker and the waiting side: whoever lets go last frees it, so a lookup
// abandoned at the limit finishes later harmlessly.
struct HostShared {
    std::mutex mutex;
    std::optional<Lookup> answer;
};

class HostLookup : public PendingLookup {
  public:
    HostLookup(std::string host, std::shared_ptr<HostShared> shared)
        : host_(std::move(host)), shared_(std::move(shared)) {}
    std::optional<Lookup> answer() override {
        std::lock_guard lock(shared_->mutex);
        return shared_->answer;
    }
    Lookup atLimit(int waitedMs) override { return {"", hostUnanswered(host_, waitedMs)}; }

  private:
    std::string host_;
    std::shared_ptr<HostShared> shared_;
};

// ---- DNS-SD services: Avahi's client on a worker, with its own poll and time limit ----

struct ServiceShared {
    std::mutex mutex;
    ServiceFindings findings;
    std::optional<Lookup> refused; // the lookup could not start
    bool abandoned = false;        // nobody waits any more
    int announced = 0;             // browsing: instances of the name seen, less those gone
    bool allForNow = false;        // browsing: what the network had at once has come
};

// One address family's resolver callback.
struct FamilyContext {
    ServiceShared* shared;
    ServiceFindings::Family ServiceFindings::*family;
};

void onResolved(AvahiServiceResolver* resolver, AvahiIfIndex interface, AvahiProtocol,
                AvahiResolverEvent event, const char*, const char*, const char*, const char*,
                const AvahiAddress* address, uint16_t, AvahiStringList*, AvahiLookupResultFlags,
                void* data) {
    auto* context = static_cast<FamilyContext*>(data);
    std::lock_guard lock(context->shared->mutex);
    ServiceFindings::Family& family = context->shared->findings.*(context->family);
    if (family.outcome != Outcome::Waiting)
        return;
    if (event != AVAHI_RESOLVER_FOUND || !address) {
        const int error = avahi_client_errno(avahi_service_resolver_get_client(resolver));
        family.error = avahi_strerror(error);
        family.outcome = error == AVAHI_ERR_TIMEOUT     ? Outcome::TimedOut
                         : error == AVAHI_ERR_NOT_FOUND ? Outcome::NotFound
                                                        : Outcome::Failed;
        return;
    }
    char text[AVAHI_ADDRESS_STR_MAX] = {};
    avahi_address_snprint(text, sizeof text, address);
    family.address = text;
    const std::uint8_t* v6 = address->data.ipv6.address;
    if (address->proto == AVAHI_PROTO_INET6 && v6[0] == 0xFE && (v6[1] & 0xC0) == 0x80)
        family.address += "%" + std::to_string(interface);
    family.outcome = Outcome::Found;
}

// Browsing the service's type tells a service that is not announced (withdrawn, or never
// there) from one that does not answer.
struct BrowseContext {
    ServiceShared* shared;
    std::string name;
};

void onBrowsed(AvahiServiceBrowser*, AvahiIfIndex, AvahiProtocol, AvahiBrowserEvent event,
               const char* name, const char*, const char*, AvahiLookupResultFlags, void* data) {
    auto* context = static_cast<BrowseContext*>(data);
    std::lock_guard lock(context->shared->mutex);
    ServiceShared& shared = *context->shared;
    // Instance names compare without regard to case, as DNS names do.
    const bool ours = name && ::strcasecmp(name, context->name.c_str()) == 0;
    if (event == AVAHI_BROWSER_NEW && ours)
        ++shared.announced;
    else if (event == AVAHI_BROWSER_REMOVE && ours)
        shared.announced = std::max(0, shared.announced - 1);
    else if (event == AVAHI_BROWSER_ALL_FOR_NOW)
        shared.allForNow = true;
    shared.findings.absent = shared.allForNow && shared.announced == 0;
}

void onClientState(AvahiClient*, AvahiClientState, void*) {}

void resolveServiceOnWorker(ServiceName service, int timeoutMs,
                            std::shared_ptr<ServiceShared> shared) {
    auto refuse = [&](std::string problem) {
        std::lock_guard lock(shared->mutex);
        shared->refused = Lookup{"", std::move(problem)};
    };
    AvahiSimplePoll* poll = avahi_simple_poll_new();
    if (!poll)
        return refuse("cannot start a DNS-SD lookup");
    int error = 0;
    AvahiClient* client = avahi_client_new(avahi_simple_poll_get(poll), AvahiClientFlags(0),
                                           onClientState, nullptr, &error);
    if (!client) {
        avahi_simple_poll_free(poll);
        if (error == AVAHI_ERR_NO_DAEMON)
            return refuse("no DNS-SD service is running (avahi-daemon is not started)");
        return refuse(std::string("the DNS-SD service cannot be reached: ") +
                      avahi_strerror(error));
    }
    // Both families at once, each asked over its own protocol (an IPv4 address asked for
    // over IPv6 is never answered).
    FamilyContext c4{shared.get(), &ServiceFindings::v4};
    FamilyContext c6{shared.get(), &ServiceFindings::v6};
    BrowseContext browsing{shared.get(), service.name};
    auto resolver = [&](AvahiProtocol protocol, FamilyContext& context) {
        AvahiServiceResolver* r = avahi_service_resolver_new(
            client, AVAHI_IF_UNSPEC, protocol, service.name.c_str(), service.type.c_str(),
            service.domain.c_str(), protocol, AvahiLookupFlags(0), onResolved, &context);
        if (!r) {
            std::lock_guard lock(shared->mutex);
            ServiceFindings::Family& family = shared->findings.*(context.family);
            family.outcome = Outcome::Failed;
            family.error = avahi_strerror(avahi_client_errno(client));
        }
        return r;
    };
    AvahiServiceResolver* r4 = resolver(AVAHI_PROTO_INET, c4);
    AvahiServiceResolver* r6 = resolver(AVAHI_PROTO_INET6, c6);
    AvahiServiceBrowser* browser = avahi_service_browser_new(
        client, AVAHI_IF_UNSPEC, AVAHI_PROTO_UNSPEC, service.type.c_str(), service.domain.c_str(),
        AvahiLookupFlags(0), onBrowsed, &browsing);

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        {
            std::lock_guard lock(shared->mutex);
            if (shared->abandoned || serviceAnswer(service, shared->findings))
                break;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                              deadline - std::chrono::steady_clock::now())
                              .count();
        // Short slices, so that an abandoned lookup lets go soon.
        if (left <= 0 ||
            avahi_simple_poll_iterate(poll, static_cast<int>(std::min<long long>(left, 100))) != 0)
            break;
    }
    if (browser)
        avahi_service_browser_free(browser);
    if (r4)
        avahi_service_resolver_free(r4);
    if (r6)
        avahi_service_resolver_free(r6);
    avahi_client_free(client);
    avahi_simple_poll_free(poll);
}

class ServiceLookup : public PendingLookup {
  public:
    ServiceLookup(ServiceName service, std::shared_ptr<ServiceShared> shared)
        : service_(std::move(service)), shared_(std::move(shared)) {}
    ~ServiceLookup() override {
        std::lock_guard lock(shared_->mutex);
        shared_->abandoned = true;
    }
    std::optional<Lookup> answer() override {
        std::lock_guard lock(shared_->mutex);
        if (shared_->refused)
            return shared_->refused;
        return serviceAnswer(service_, shared_->findings);
    }
    Lookup atLimit(int waitedMs) override {
        std::lock_guard lock(shared_->mutex);
        if (shared_->refused)
            return *shared_->refused;
        return serviceAtLimit(service_, shared_->findings, waitedMs);
    }

  private:
    ServiceName service_;
    std::shared_ptr<ServiceShared> shared_;
};

class SystemResolver : public AddressResolver {
  public:
    std::unique_ptr<PendingLookup> lookUpService(const ServiceName& service,
                                                 int timeoutMs) override {
        auto shared = std::make_shared<ServiceShared>();
        try {
            std::thread(resolveServiceOnWorker, service, timeoutMs, shared).detach();
        } catch (const std::system_error& e) {
            return std::make_unique<Refused>(std::string("cannot start a DNS-SD lookup: ") +
                                             e.what());
        }
        return std::make_unique<ServiceLookup>(service, std::move(shared));
    }

    std::unique_ptr<PendingLookup> lookUpHost(const std::string& host) override {
        auto shared = std::make_shared<HostShared>();
        try {
            std::thread([host, shared] {
                Lookup found = hostAddress(host);
                std::lock_guard lock(shared->mutex);
                shared->answer = std::move(found);
            }).detach();
        } catch (const std::system_error& e) {
            return std::make_unique<Refused>("cannot start the lookup of the host \"" + host +
                                             "\": " + e.what());
        }
        return std::make_unique<HostLookup>(host, std::move(shared));
    }
};

} // namespace

std::unique_ptr<AddressResolver> makeSystemResolver() {
    return std::make_unique<SystemResolver>();
}

} // namespace net
