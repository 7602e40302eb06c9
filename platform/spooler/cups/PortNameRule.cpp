#include "platform/spooler/cups/PortNameRule.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <set>
#include <tuple>

namespace spooler::portnames {

namespace {

enum class Kind { Lpt, Com, Usb };

struct Claim {
    Kind kind;
    unsigned number;
};

constexpr unsigned kUsbMax = 999;

std::uint32_t fnv1a(std::string_view text) {
    std::uint32_t h = 2166136261u;
    for (unsigned char c : text) {
        h ^= c;
        h *= 16777619u;
    }
    return h;
}

// The number a path ends in (0 when none; absurdly long numbers count as 0 too).
unsigned trailingNumber(std::string_view path) {
    std::size_t start = path.size();
    while (start > 0 && path[start - 1] >= '0' && path[start - 1] <= '9') {
        --start;
    }
    unsigned value = 0;
    auto digits = path.substr(start);
    auto [ptr, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    (void)ptr;
    if (ec != std::errc() || value > 100000) {
        return 0;
    }
    return value;
}

std::optional<Claim> claimOf(std::string_view uri) {
    auto colon = uri.find(':');
    if (colon == std::string_view::npos) {
        return std::nullopt;
    }
    auto scheme = uri.substr(0, colon);
    auto path = uri.substr(colon + 1);
    path = path.substr(0, path.find('?'));
    if (scheme == "parallel") {
        return Claim{Kind::Lpt, trailingNumber(path) + 1};
    }
    if (scheme == "serial") {
        return Claim{Kind::Com, trailingNumber(path) + 1};
    }
    if (scheme == "usb") {
        return Claim{Kind::Usb, fnv1a(uri) % kUsbMax + 1};
    }
    return std::nullopt;
}

std::string nameOf(Claim c) {
    switch (c.kind) {
    case Kind::Lpt:
        return "LPT" + std::to_string(c.number) + ":";
    case Kind::Com:
        return "COM" + std::to_string(c.number) + ":";
    case Kind::Usb: {
        std::string digits = std::to_string(c.number);
        return "USB" + std::string(3 - std::min<std::size_t>(3, digits.size()), '0') + digits;
    }
    }
    return {};
}

unsigned nextNumber(Kind kind, unsigned n) {
    if (kind == Kind::Usb) {
        return n % kUsbMax + 1;
    }
    return n + 1;
}

} // namespace

std::optional<std::string> preferredPortName(std::string_view uri) {
    auto claim = claimOf(uri);
    if (!claim) {
        return std::nullopt;
    }
    return nameOf(*claim);
}

std::vector<PortDevice> nameLocalDevices(const std::vector<std::string>& uris) {
    std::set<std::string> sorted(uris.begin(), uris.end());
    struct Entry {
        std::string uri;
        Claim claim;
        bool named = false;
    };
    std::vector<Entry> entries;
    for (const auto& uri : sorted) {
        if (auto claim = claimOf(uri)) {
            entries.push_back({uri, *claim});
        }
    }
    // First pass: every uncontested claim holds; second pass: the later claimants move up.
    std::set<std::pair<Kind, unsigned>> taken;
    for (auto& e : entries) {
        if (taken.insert({e.claim.kind, e.claim.number}).second) {
            e.named = true;
        }
    }
    for (auto& e : entries) {
        if (e.named) {
            continue;
        }
        unsigned n = e.claim.number;
        for (std::size_t tries = 0; tries <= kUsbMax + entries.size(); ++tries) {
            n = nextNumber(e.claim.kind, n);
            if (taken.insert({e.claim.kind, n}).second) {
                e.claim.number = n;
                e.named = true;
                break;
            }
        }
    }
    std::vector<std::tuple<Kind, unsigned, PortDevice>> named;
    for (const auto& e : entries) {
        if (e.named) {
            named.emplace_back(e.claim.kind, e.claim.number, PortDevice{nameOf(e.claim), e.uri});
        }
    }
    std::sort(named.begin(), named.end(), [](const auto& a, const auto& b) {
        return std::tie(std::get<0>(a), std::get<1>(a)) < std::tie(std::get<0>(b), std::get<1>(b));
    });
    std::vector<PortDevice> out;
    for (auto& n : named) {
        out.push_back(std::move(std::get<2>(n)));
    }
    return out;
}

std::optional<std::string> portNameIn(std::string_view uri,
                                      const std::vector<PortDevice>& devices) {
    std::set<std::string> taken;
    for (const auto& d : devices) {
        if (d.uri == uri) {
            return d.name;
        }
        taken.insert(d.name);
    }
    // Not listed (unplugged, say): the listed devices keep their names, this one takes its
    // own unless a listed device holds it, then the next free one.
    auto claim = claimOf(uri);
    if (!claim) {
        return std::nullopt;
    }
    for (std::size_t tries = 0; tries <= kUsbMax + devices.size(); ++tries) {
        std::string name = nameOf(*claim);
        if (!taken.count(name)) {
            return name;
        }
        claim->number = nextNumber(claim->kind, claim->number);
    }
    return std::nullopt;
}

std::optional<std::string> uriForPort(std::string_view name,
                                      const std::vector<PortDevice>& devices) {
    for (const auto& d : devices) {
        if (d.name == name) {
            return d.uri;
        }
    }
    return std::nullopt;
}

std::optional<std::string> fallbackUri(std::string_view name) {
    auto numberIn = [](std::string_view digits) -> std::optional<unsigned> {
        unsigned value = 0;
        if (digits.empty() || digits.size() > 3 || digits.front() == '0') {
            return std::nullopt;
        }
        auto [ptr, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
        if (ec != std::errc() || ptr != digits.data() + digits.size()) {
            return std::nullopt;
        }
        return value;
    };
    if (name.size() < 5 || name.back() != ':') {
        return std::nullopt;
    }
    auto prefix = name.substr(0, 3);
    auto n = numberIn(name.substr(3, name.size() - 4));
    if (!n) {
        return std::nullopt;
    }
    if (prefix == "LPT") {
        return "parallel:/dev/lp" + std::to_string(*n - 1);
    }
    if (prefix == "COM") {
        return "serial:/dev/ttyS" + std::to_string(*n - 1);
    }
    return std::nullopt;
}

} // namespace spooler::portnames
