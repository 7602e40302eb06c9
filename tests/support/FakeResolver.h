#pragma once
#include "platform/net/Resolver.h"

#include <map>
#include <string>
#include <vector>

namespace net {

// Lookups for tests: services ("NAME.TYPE.DOMAIN") and hosts found from tables, every
// question recorded; what a table lacks is not found, for `problem`.
class FakeResolver : public AddressResolver {
  public:
    std::map<std::string, std::string> services;
    std::map<std::string, std::string> hosts;
    std::string problem = "not found";
    std::vector<std::string> asked; // service keys and host names, in order
    std::vector<int> timeouts;      // of the service lookups

    Lookup resolveService(const ServiceName& service, int timeoutMs) override {
        timeouts.push_back(timeoutMs);
        return answer(services, service.name + "." + service.type + "." + service.domain);
    }
    Lookup resolveHost(const std::string& host) override { return answer(hosts, host); }

  private:
    Lookup answer(const std::map<std::string, std::string>& table, const std::string& key) {
        asked.push_back(key);
        auto it = table.find(key);
        return it == table.end() ? Lookup{"", problem} : Lookup{it->second, ""};
    }
};

} // namespace net
