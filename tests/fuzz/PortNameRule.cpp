// The port-name rule: every local device of a listing gets a name of its own, the name
// leads back to the device, and a name no other device claims stays the device's own.
#include "platform/spooler/cups/PortNameRule.h"
#include "tests/fuzz/FuzzSupport.h"

#include <map>
#include <set>

using namespace spooler::portnames;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::string> uris = fuzz::pieces(fuzz::bytes(data, size), '\n');
    std::set<std::string> local;
    std::map<std::string, int> claims; // preferred name -> devices claiming it
    for (const std::string& uri : uris) {
        fallbackUri(uri);
        if (auto name = preferredPortName(uri); name && local.insert(uri).second) {
            ++claims[*name];
        }
    }
    const std::vector<PortDevice> devices = nameLocalDevices(uris);
    fuzz::check(devices.size() == local.size(), "every local device is named");
    std::set<std::string> names;
    for (const PortDevice& d : devices) {
        fuzz::check(names.insert(d.name).second, "names are unique");
        fuzz::check(local.count(d.uri) == 1, "only local devices are named");
        fuzz::check(uriForPort(d.name, devices) == d.uri, "the name leads back to the device");
        fuzz::check(portNameIn(d.uri, devices) == d.name, "a listed device shows its name");
        const std::string own = *preferredPortName(d.uri);
        fuzz::check(claims[own] > 1 || d.name == own, "an uncontested name is kept");
    }
    return 0;
}
