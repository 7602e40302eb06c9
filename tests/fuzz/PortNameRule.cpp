// The port-name rule: every local device of a listing gets a name of its own, and the name
// leads back to the device.
#include "platform/spooler/cups/PortNameRule.h"
#include "tests/fuzz/FuzzSupport.h"

#include <set>

using namespace spooler::portnames;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::string> uris = fuzz::pieces(fuzz::bytes(data, size), '\n');
    for (const std::string& uri : uris) {
        preferredPortName(uri);
        fallbackUri(uri);
    }
    const std::vector<PortDevice> devices = nameLocalDevices(uris);
    std::set<std::string> names;
    for (const PortDevice& d : devices) {
        fuzz::check(names.insert(d.name).second, "names are unique");
        fuzz::check(preferredPortName(d.uri).has_value(), "only local devices are named");
        fuzz::check(uriForPort(d.name, devices) == d.uri, "the name leads back to the device");
    }
    return 0;
}
