// How a DNS-SD lookup's findings become its answer, before and at the time limit.
#include "platform/net/Resolver.h"

#include <gtest/gtest.h>

namespace {

using net::ServiceFindings;
using O = ServiceFindings::Outcome;

ServiceFindings::Family family(O outcome, std::string detail = "") {
    ServiceFindings::Family f;
    f.outcome = outcome;
    (outcome == O::Found ? f.address : f.error) = std::move(detail);
    return f;
}

TEST(ServiceAnswer, FindingsDecideWhenAndWhat) {
    const net::ServiceName service{"Label Printer", "_pdl-datastream._tcp", "local"};
    const std::string quoted = "the DNS-SD service \"Label Printer\"";
    struct Row {
        ServiceFindings::Family v4, v6;
        bool absent;
        const char* before; // answer before the limit; "-" to go on waiting
        const char* atLimit;
    };
    const Row rows[] = {
        {family(O::Found, "10.0.0.9"), family(O::Waiting), false, "10.0.0.9", "10.0.0.9"},
        // IPv4 is waited for; an IPv6 address found meanwhile serves at the limit.
        {family(O::Waiting), family(O::Found, "fe80::1%2"), false, "-", "fe80::1%2"},
        {family(O::TimedOut, "Timeout reached"), family(O::Found, "fe80::1%2"), false, "fe80::1%2",
         "fe80::1%2"},
        // Not announced: not found, at once when both families are done, else at the limit.
        {family(O::Waiting), family(O::Waiting), true, "-", " was not found"},
        {family(O::TimedOut, "Timeout reached"), family(O::TimedOut, "Timeout reached"), true,
         " was not found", " was not found"},
        {family(O::NotFound, "Not found"), family(O::TimedOut, "Timeout reached"), false,
         " was not found", " was not found"},
        // Announced (or not known to be absent) but silent: no answer in time.
        {family(O::Waiting), family(O::Waiting), false, "-", " did not answer within 4000 ms"},
        {family(O::TimedOut, "Timeout reached"), family(O::TimedOut, "Timeout reached"), false,
         " did not answer in time (Timeout reached)", " did not answer in time (Timeout reached)"},
        {family(O::Failed, "Invalid service name"), family(O::Failed, "Invalid service name"),
         false, " cannot be resolved: Invalid service name",
         " cannot be resolved: Invalid service name"},
    };
    auto text = [&](const net::Lookup& l) {
        return l.address.empty() ? l.problem.substr(quoted.size()) : l.address;
    };
    for (const Row& row : rows) {
        ServiceFindings findings{row.v4, row.v6, row.absent};
        SCOPED_TRACE(std::string(row.before) + " / " + row.atLimit);
        auto before = net::serviceAnswer(service, findings);
        EXPECT_EQ(before ? text(*before) : "-", row.before);
        const net::Lookup limit = net::serviceAtLimit(service, findings, 4000);
        EXPECT_EQ(text(limit), row.atLimit);
        if (limit.address.empty()) {
            EXPECT_EQ(limit.problem.rfind(quoted, 0), 0u) << limit.problem;
        }
    }
}

} // namespace
