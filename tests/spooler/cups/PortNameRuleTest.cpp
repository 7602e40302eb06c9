#include "platform/spooler/cups/PortNameRule.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <set>
#include <utility>

namespace {

using namespace spooler::portnames;

// The clash rule as it reads, one number after another: each later claimant of a name tries
// the following numbers until one is free (USB999 is followed by USB001); a USB device that
// finds all 999 names held gets none.
std::vector<PortDevice> probingRule(std::vector<std::string> uris) {
    std::sort(uris.begin(), uris.end());
    uris.erase(std::unique(uris.begin(), uris.end()), uris.end());
    std::set<std::string> held;
    std::vector<PortDevice> named, later;
    for (const auto& uri : uris)
        if (auto name = preferredPortName(uri))
            (held.insert(*name).second ? named : later).push_back({*name, uri});
    for (auto d : later) {
        for (int tries = 0; tries < 999; ++tries) {
            const int n = std::stoi(d.name.substr(3)) + 1;
            const std::string usb = std::to_string(n > 999 ? 1 : n);
            d.name = d.name.starts_with("USB") ? "USB" + std::string(3 - usb.size(), '0') + usb
                                               : d.name.substr(0, 3) + std::to_string(n) + ":";
            if (held.insert(d.name).second) {
                named.push_back(d);
                break;
            }
        }
    }
    return named;
}

TEST(PreferredPortName, FollowsTheRule) {
    const std::pair<const char*, const char*> cases[] = {
        {"parallel:/dev/lp0", "LPT1:"},
        {"parallel:/dev/lp2", "LPT3:"},
        {"parallel:/dev/parport", "LPT1:"}, // no number counts as 0
        {"serial:/dev/ttyS0?baud=115200", "COM1:"},
        {"serial:/dev/ttyS1", "COM2:"},
        {"serial:/dev/ttyUSB10?baud=9600+bits=8", "COM11:"},
        {"serial:/dev/ttyS1?baud=115200&x=7", "COM2:"}, // options are not the path
    };
    for (auto [uri, name] : cases) {
        EXPECT_EQ(preferredPortName(uri), name) << uri;
    }
    for (const char* other : {"socket://10.0.0.5:9100", "ipp://host/printers/x", "file:/tmp/x",
                              "lpd://h/q", "nocolon", ""}) {
        EXPECT_EQ(preferredPortName(other), std::nullopt) << other;
    }
}

TEST(PreferredPortName, UsbNamesAreStableThreeDigitNamesOfTheUri) {
    std::string a = preferredPortName("usb://Make/Model?serial=123").value();
    std::string b = preferredPortName("usb://Make/Model?serial=124").value();
    for (const auto& name : {a, b}) {
        ASSERT_EQ(name.size(), 6u);
        EXPECT_EQ(name.substr(0, 3), "USB");
        int n = std::stoi(name.substr(3));
        EXPECT_GE(n, 1);
        EXPECT_LE(n, 999);
    }
    EXPECT_EQ(preferredPortName("usb://Make/Model?serial=123"), a);
    EXPECT_NE(a, b);
    // Fixed values: programs share names through files, so the rule must not drift.
    EXPECT_EQ(a, "USB638");
    EXPECT_EQ(preferredPortName("usb://Fake/Printer?serial=E2E0001"), "USB655");
}

TEST(NameLocalDevices, OrdersByKindAndNumberAndDropsOthers) {
    auto named = nameLocalDevices({"usb://A/B?serial=1", "serial:/dev/ttyS1", "socket://h",
                                   "parallel:/dev/lp1", "serial:/dev/ttyS0", "parallel:/dev/lp0",
                                   "serial:/dev/ttyS0"});
    std::string usb = preferredPortName("usb://A/B?serial=1").value();
    EXPECT_EQ(named, (std::vector<PortDevice>{{"LPT1:", "parallel:/dev/lp0"},
                                              {"LPT2:", "parallel:/dev/lp1"},
                                              {"COM1:", "serial:/dev/ttyS0"},
                                              {"COM2:", "serial:/dev/ttyS1"},
                                              {usb, "usb://A/B?serial=1"}}));
}

TEST(NameLocalDevices, ClashesMoveTheLaterUriToTheNextFreeNumber) {
    // ttyS0 and ttyUSB0 both claim COM1:; ttyS1 keeps its own COM2: (uncontested claims hold).
    auto named =
        nameLocalDevices({"serial:/dev/ttyUSB0", "serial:/dev/ttyS1", "serial:/dev/ttyS0"});
    EXPECT_EQ(named, (std::vector<PortDevice>{{"COM1:", "serial:/dev/ttyS0"},
                                              {"COM2:", "serial:/dev/ttyS1"},
                                              {"COM3:", "serial:/dev/ttyUSB0"}}));
    // The same set in any order gives the same names.
    EXPECT_EQ(nameLocalDevices({"serial:/dev/ttyS0", "serial:/dev/ttyUSB0", "serial:/dev/ttyS1"}),
              named);
}

TEST(NameLocalDevices, UsbClashesStayWithinThreeDigits) {
    // Find two URIs whose names clash (the hash has 999 values).
    std::vector<std::string> uris;
    std::string first = preferredPortName("usb://M/P?serial=0").value();
    uris.push_back("usb://M/P?serial=0");
    for (int i = 1; i < 100000 && uris.size() < 2; ++i) {
        std::string uri = "usb://M/P?serial=" + std::to_string(i);
        if (preferredPortName(uri) == first) {
            uris.push_back(uri);
        }
    }
    ASSERT_EQ(uris.size(), 2u);
    auto named = nameLocalDevices(uris);
    ASSERT_EQ(named.size(), 2u);
    EXPECT_NE(named[0].name, named[1].name);
    for (const auto& d : named) {
        EXPECT_EQ(d.name.size(), 6u);
    }
    std::string lower = std::min(uris[0], uris[1]);
    EXPECT_EQ(uriForPort(first, named), lower);
}

// Listings full of clashes, up to past the 999 three-digit USB names: every device keeps the
// name the rule has always given it (stored names and the other programs rely on them), and
// each further USB device is named too, from USB1000 on in byte order of the URIs.
TEST(NameLocalDevices, KeepsTheRulesNamesAndNamesEveryDevice) {
    std::mt19937 random(26);
    for (int usbCount : {0, 40, 500, 999, 1005}) {
        SCOPED_TRACE(std::to_string(usbCount) + " USB devices");
        std::vector<std::string> uris;
        for (int i = 0; i < 300; ++i) {
            const std::string n = std::to_string(random() % 6);
            uris.push_back(i % 2 ? "parallel:/dev/lp" + n : "serial:/dev/ttyUSB" + n);
            uris.push_back("parallel:/dev/x" + std::to_string(i) + "lp" + n);
        }
        for (int i = 0; i < usbCount; ++i)
            uris.push_back("usb://M/P?serial=" + std::to_string(i) + "-" +
                           std::to_string(random()));
        auto named = nameLocalDevices(uris);
        std::map<std::string, std::string> names; // in byte order of the URIs
        for (const auto& d : named)
            names[d.uri] = d.name;
        EXPECT_EQ(names.size(), std::set<std::string>(uris.begin(), uris.end()).size());
        for (const auto& d : probingRule(uris))
            EXPECT_EQ(std::exchange(names[d.uri], ""), d.name) << d.uri;
        int past = 1000;
        for (const auto& [uri, name] : names) {
            if (!name.empty()) {
                EXPECT_EQ(name, "USB" + std::to_string(past++)) << uri;
            }
        }
        EXPECT_EQ(past, std::max(1000, usbCount + 1)) << "past the three-digit names";
        // A printer on a device the listing lacks takes the first name no listed device holds.
        if (usbCount > 999) {
            EXPECT_EQ(portNameIn("usb://M/P?serial=unplugged", named), "USB1006");
            named.pop_back();
            EXPECT_EQ(portNameIn("usb://M/P?serial=unplugged", named), "USB1005");
        }
    }
}

TEST(UriForPort, FindsTheDeviceOfAListedNameOnly) {
    auto named = nameLocalDevices({"parallel:/dev/lp0", "serial:/dev/ttyS0"});
    EXPECT_EQ(uriForPort("LPT1:", named), "parallel:/dev/lp0");
    EXPECT_EQ(uriForPort("COM1:", named), "serial:/dev/ttyS0");
    EXPECT_EQ(uriForPort("lpt1:", named), std::nullopt);
    EXPECT_EQ(uriForPort("LPT2:", named), std::nullopt);
}

// A printer's port is named within the current listing, so the report agrees with the lister.
TEST(PortNameIn, NamesAPrinterDeviceWithinTheListing) {
    auto listing = nameLocalDevices({"parallel:/dev/lp0", "parallel:/dev/xlp0"});
    const std::pair<const char*, std::optional<std::string>> cases[] = {
        {"parallel:/dev/lp0", "LPT1:"},
        {"parallel:/dev/xlp0", "LPT2:"}, // listed under the clash rule, not its own LPT1:
        {"parallel:/dev/zlp0", "LPT3:"}, // not listed: never a name a listed device shows
        {"parallel:/dev/lp4", "LPT5:"},  // not listed, its own name is free
        {"serial:/dev/ttyS0", "COM1:"},
        {"socket://10.0.0.5:9100", std::nullopt},
    };
    for (const auto& [uri, name] : cases) {
        EXPECT_EQ(portNameIn(uri, listing), name) << uri;
    }
    EXPECT_EQ(portNameIn("parallel:/dev/xlp0", {}), "LPT1:");
}

TEST(FallbackUri, MapsLptAndComNamesToConventionalDevices) {
    EXPECT_EQ(fallbackUri("LPT1:"), "parallel:/dev/lp0");
    EXPECT_EQ(fallbackUri("LPT3:"), "parallel:/dev/lp2");
    EXPECT_EQ(fallbackUri("COM2:"), "serial:/dev/ttyS1");
    EXPECT_EQ(fallbackUri("COM12:"), "serial:/dev/ttyS11");
    for (const char* none :
         {"USB001", "LPT0:", "LPT1", "LPT01:", "LPTx:", "COM:", "FILE:", "LPT1234:", "lpt1:"}) {
        EXPECT_EQ(fallbackUri(none), std::nullopt) << none;
    }
}

TEST(PortNames, ForwardAndBackAgree) {
    std::vector<std::string> uris{"parallel:/dev/lp0", "serial:/dev/ttyS3?baud=9600",
                                  "usb://Z/Q?serial=9", "usb://Z/Q?serial=10"};
    auto named = nameLocalDevices(uris);
    ASSERT_EQ(named.size(), uris.size());
    for (const auto& d : named) {
        EXPECT_EQ(uriForPort(d.name, named), d.uri);
    }
}

} // namespace
