// Times the naming of listings in which every device claims one name, and prints the
// median of the runs in milliseconds, one line per listing:
//   BenchPortNames [DEVICES] [RUNS]     (default 16000 devices, 9 runs)
#include "platform/spooler/cups/PortNameRule.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using spooler::portnames::nameLocalDevices;

// Parallel devices whose paths all end in 0 (all claim LPT1:), or USB devices that all claim
// the name of the first (found by the rule's own name for each candidate URI).
std::vector<std::string> allOnOneName(const std::string& kind, std::size_t count) {
    std::vector<std::string> uris;
    if (kind == "LPT1:") {
        for (std::size_t i = 0; i < count; ++i) {
            uris.push_back("parallel:/dev/port" + std::to_string(i) + "/lp0");
        }
        return uris;
    }
    const auto first = spooler::portnames::preferredPortName("usb://M/P?serial=0");
    for (std::size_t i = 0; uris.size() < count; ++i) {
        std::string uri = "usb://M/P?serial=" + std::to_string(i);
        if (spooler::portnames::preferredPortName(uri) == first) {
            uris.push_back(uri);
        }
    }
    return uris;
}

double medianMs(const std::vector<std::string>& uris, int runs, std::size_t& named) {
    std::vector<double> times;
    for (int r = 0; r < runs; ++r) {
        auto start = std::chrono::steady_clock::now();
        named = nameLocalDevices(uris).size();
        times.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    const std::size_t count = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 16000;
    const int runs = argc > 2 ? std::atoi(argv[2]) : 9;
    for (const std::string kind : {"LPT1:", "one USB name"}) {
        const auto uris = allOnOneName(kind, count);
        std::size_t named = 0;
        const double ms = medianMs(uris, std::max(runs, 1), named);
        std::printf("%zu devices on %-12s %8.2f ms (median of %d), %zu named\n", count,
                    kind.c_str(), ms, runs, named);
    }
    return 0;
}
