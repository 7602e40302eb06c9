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
// question recorded; what a table lacks is not found, for `problem`. A key in `silent`
// never answers; one in `withdrawn` is a service that is not announced and never answers.
// With a clock, each question's time is recorded too.
class FakeResolver : public AddressResolver {
  public:
    std::map<std::string, std::string> services;
    std::map<std::string, std::string> hosts;
    std::set<std::string> silent;
    std::set<std::string> withdrawn;
    std::string problem = "not found";
    std::vector<std::string> asked; // service keys and host names, in order
    std::vector<int> timeouts;      // of the service lookups
    const ui::Clock* clock = nullptr;
    std::vector<std::int64_t> askedAt; // with a clock

    std::unique_ptr<PendingLookup> lookUpService(const ServiceName& service,
                                                 int timeoutMs) override {
        timeouts.push_back(timeoutMs);
        const std::string key = service.name + "." + service.type + "." + service.domain;
        if (silent.count(key) || withdrawn.count(key)) {
            record(key);
            ServiceFindings findings;
            findings.absent = withdrawn.count(key) > 0;
            return std::make_unique<Silent>(
                [service, findings](int ms) { return serviceAtLimit(service, findings, ms); });
        }
        return answer(services, key);
    }
    std::unique_ptr<PendingLookup> lookUpHost(const std::string& host) override {
        if (silent.count(host)) {
            record(host);
            return std::make_unique<Silent>([host](int ms) {
                return Lookup{"", hostUnanswered(host, ms)};
            });
        }
        return answer(hosts, host);
    }

  private:
    void record(const std::string& key) {
        asked.push_back(key);
        if (clock)
            askedAt.push_back(clock->nowMs());
    }
    struct Answered : PendingLookup {
        explicit Answered(Lookup l) : lookup(std::move(l)) {}
        std::optional<Lookup> answer() override { return lookup; }
        Lookup atLimit(int) override { return lookup; }
        Lookup lookup;
    };
    struct Silent : PendingLookup {
        explicit Silent(std::function<Lookup(int)> f) : limit(std::move(f)) {}
        std::optional<Lookup> answer() override { return std::nullopt; }
        Lookup atLimit(int ms) override { return limit(ms); }
        std::function<Lookup(int)> limit;
    };

    std::unique_ptr<PendingLookup> answer(const std::map<std::string, std::string>& table,
                                          const std::string& key) {
        record(key);
        auto it = table.find(key);
        return std::make_unique<Answered>(it == table.end() ? Lookup{"", problem}
                                                            : Lookup{it->second, ""});
    }
};

} // namespace net
