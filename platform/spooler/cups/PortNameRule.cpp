#include "platform/spooler/cups/PortNameRule.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <set>
#include <tuple>
#include <unordered_map>

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

// The number after n among the names of a kind: USB001 follows USB999 (the three-digit
// names go round), and names past them (USB1000 on) are taken only once all 999 are held.
unsigned nextNumber(Kind kind, unsigned n) {
    if (kind == Kind::Usb && n == kUsbMax) {
        return 1;
    }
    return n + 1;
}

// The numbers of one kind held so far, and where to look for the next free one: a held
// number points at or before the next one that may be free, and every look shortens the
// way it went (path compression), so naming n devices that all claim one name stays
// O(n log n) however long the runs of held numbers grow.
class HeldNumbers {
  public:
    explicit HeldNumbers(Kind kind) : kind_(kind) {}

    bool take(unsigned n) {
        if (!next_.emplace(n, nextNumber(kind_, n)).second) {
            return false;
        }
        if (kind_ == Kind::Usb && n <= kUsbMax) {
            ++roundHeld_;
        }
        return true;
    }

    // The first free number after n in the order of nextNumber; past the three-digit USB
    // names once every one of them is held.
    unsigned freeAfter(unsigned n) {
        if (kind_ == Kind::Usb && n <= kUsbMax && roundHeld_ == kUsbMax) {
            return firstFree(kUsbMax + 1); // the round is full: go on past it
        }
        return firstFree(nextNumber(kind_, n));
    }

  private:
    unsigned firstFree(unsigned n) {
        unsigned free = n;
        for (auto it = next_.find(free); it != next_.end(); it = next_.find(free)) {
            free = it->second;
        }
        while (n != free) {
            auto it = next_.find(n);
            n = it->second;
            it->second = free;
        }
        return free;
    }

    Kind kind_;
    std::unordered_map<unsigned, unsigned> next_;
    unsigned roundHeld_ = 0; // held three-digit USB names
};

} // namespace

std::optional<std::string> preferredPortName(std::string_view uri) {
    auto claim = claimOf(uri);
    if (!claim) {
        return std::nullopt;
    }
    return nameOf(*claim);
}

std::vector<PortDevice> nameLocalDevices(const std::vector<std::string>& uris) {
    std::vector<std::string> sorted(uris);
    std::sort(sorted.begin(), sorted.end());
    sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
    struct Entry {
        const std::string* uri;
        Claim claim;
        bool named = false;
    };
    std::vector<Entry> entries;
    for (const auto& uri : sorted) {
        if (auto claim = claimOf(uri)) {
            entries.push_back({&uri, *claim});
        }
    }
    // First pass: every uncontested claim holds; second pass: the later claimants move up,
    // in byte order of their URIs, each to the next free number.
    HeldNumbers held[] = {HeldNumbers(Kind::Lpt), HeldNumbers(Kind::Com), HeldNumbers(Kind::Usb)};
    auto heldOf = [&](Kind kind) -> HeldNumbers& { return held[static_cast<int>(kind)]; };
    for (auto& e : entries) {
        e.named = heldOf(e.claim.kind).take(e.claim.number);
    }
    for (auto& e : entries) {
        if (!e.named) {
            HeldNumbers& h = heldOf(e.claim.kind);
            e.claim.number = h.freeAfter(e.claim.number);
            h.take(e.claim.number);
        }
    }
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        return std::tie(a.claim.kind, a.claim.number) < std::tie(b.claim.kind, b.claim.number);
    });
    std::vector<PortDevice> out;
    out.reserve(entries.size());
    for (const auto& e : entries) {
        out.push_back(PortDevice{nameOf(e.claim), *e.uri});
    }
    return out;
}

std::optional<std::string> portNameIn(std::string_view uri,
                                      const std::vector<PortDevice>& devices) {
    std::set<std::string, std::less<>> taken;
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
        if (claim->kind == Kind::Usb && tries + 1 == kUsbMax) {
            claim->number = kUsbMax + 1; // every three-digit name is held: go on past them
        }
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
