// How a DNS-SD lookup's findings become its answer, before and at the time limit.
#include "platform/net/Resolver.h"

#include <gtest/gtest.h>

namespace {

using net::ServiceFindings;
using O = ServiceFindings::Outcome;

const ServiceFindings::Family waiting{}, timedOut{O::TimedOut, "", "Timeout reached"},
    notFound{O::NotFound, "", "Not found"}, failed{O::Failed, "", "Invalid service name"},
    v4{O::Found, "10.0.0.9", ""}, v6{O::Found, "fe80::1%2", ""};

TEST(ServiceAnswer, FindingsDecideWhenAndWhat) {
    const net::ServiceName service{"Label Printer", "_pdl-datastream._tcp", "local"};
    const std::string quoted = "the DNS-SD service \"Label Printer\"";
    struct Row {
        ServiceFindings findings;
        const char* before; // the answer before the limit; "-": go on waiting
        const char* atLimit;
    };
    const Row rows[] = {
        {{v4, waiting, false}, "10.0.0.9", "10.0.0.9"},
        // IPv4 is waited for; an IPv6 address found meanwhile serves at the limit.
        {{waiting, v6, false}, "-", "fe80::1%2"},
        {{timedOut, v6, false}, "fe80::1%2", "fe80::1%2"},
        // Not announced, or not known: not found, at once once both families are done.
        {{waiting, waiting, true}, "-", " was not found"},
        {{timedOut, timedOut, true}, " was not found", " was not found"},
        {{notFound, timedOut, false}, " was not found", " was not found"},
        // Announced, or not known to be absent, but silent: no answer in time.
        {{waiting, waiting, false}, "-", " did not answer within 4000 ms"},
        {{timedOut, timedOut, false},
         " did not answer in time (Timeout reached)",
         " did not answer in time (Timeout reached)"},
        {{failed, failed, false},
         " cannot be resolved: Invalid service name",
         " cannot be resolved: Invalid service name"},
    };
    auto text = [&](const net::Lookup& l) {
        if (!l.address.empty())
            return l.address;
        EXPECT_EQ(l.problem.rfind(quoted, 0), 0u) << l.problem;
        return l.problem.substr(std::min(quoted.size(), l.problem.size()));
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.before) + " / " + row.atLimit);
        auto before = net::serviceAnswer(service, row.findings);
        EXPECT_EQ(before ? text(*before) : "-", row.before);
        EXPECT_EQ(text(net::serviceAtLimit(service, row.findings, 4000)), row.atLimit);
    }
}

} // namespace
