#pragma once
#include "platform/net/Resolver.h"
#include "platform/ui/Clock.h"

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace net {

// Lookups for tests: services ("NAME.TYPE.DOMAIN") and hosts found from tables, every
// question recorded (with a clock, its time too); what a table lacks is not found, for
// `problem`. A key in `silent` never answers; a service in `withdrawn` is not announced and
// never answers.
class FakeResolver : public AddressResolver {
  public:
    std::map<std::string, std::string> services;
    std::map<std::string, std::string> hosts;
    std::set<std::string> silent, withdrawn;
    std::string problem = "not found";
    std::vector<std::string> asked; // service keys and host names, in order
    std::vector<int> timeouts;      // of the service lookups
    const ui::Clock* clock = nullptr;
    std::vector<std::int64_t> askedAt;

    std::unique_ptr<PendingLookup> lookUpService(const ServiceName& service,
                                                 int timeoutMs) override {
        timeouts.push_back(timeoutMs);
        const std::string key = service.name + "." + service.type + "." + service.domain;
        ServiceFindings findings;
        findings.absent = withdrawn.count(key) > 0;
        return answer(
            services, key, [=](int ms) { return serviceAtLimit(service, findings, ms); },
            findings.absent);
    }
    std::unique_ptr<PendingLookup> lookUpHost(const std::string& host) override {
        return answer(hosts, host, [=](int ms) { return Lookup{"", hostUnanswered(host, ms)}; });
    }

  private:
    struct Pending : PendingLookup {
        std::optional<Lookup> now;
        std::function<Lookup(int)> limit;
        std::optional<Lookup> answer() override { return now; }
        Lookup atLimit(int ms) override { return limit(ms); }
    };
    std::unique_ptr<PendingLookup> answer(const std::map<std::string, std::string>& table,
                                          const std::string& key, std::function<Lookup(int)> limit,
                                          bool never = false) {
        asked.push_back(key);
        if (clock)
            askedAt.push_back(clock->nowMs());
        auto pending = std::make_unique<Pending>();
        pending->limit = std::move(limit);
        if (!never && !silent.count(key)) {
            auto it = table.find(key);
            pending->now = it == table.end() ? Lookup{"", problem} : Lookup{it->second, ""};
        }
        return pending;
    }
};

} // namespace net
