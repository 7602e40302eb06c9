#pragma once
#include "platform/net/Resolver.h"

#include <memory>

namespace net {

// The PC's resolvers: DNS-SD services through the desktop's DNS-SD service (Avahi's client
// library, as the scheduler resolves these URIs), host names through the system resolver
// (getaddrinfo). An IPv4 address is preferred; an IPv6 link-local one carries its interface
// ("fe80::1%2"). Each lookup runs on a worker thread of its own, so the caller's thread
// only polls; a DNS-SD lookup also browses the service's type, to tell a service that is not
// announced from one that does not answer.
std::unique_ptr<AddressResolver> makeSystemResolver();

} // namespace net
