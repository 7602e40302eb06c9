#include "portlister/PortList.h"

#include "platform/sys/System.h"

#include <ostream>

namespace portlister {

namespace {
const char* const kFileName = "ports.txt";
}

std::size_t reportedBytes(const std::vector<std::string>& ports) {
    std::size_t bytes = 0;
    for (const auto& p : ports)
        bytes += 32 + p.size() + 1;
    return bytes;
}

Listing listPorts(const spooler::Result<std::vector<std::string>>& ports) {
    Listing out;
    std::size_t bytes = ports.ok() ? reportedBytes(*ports.value) : 0;
    std::size_t count = ports.ok() ? ports.value->size() : 0;
    out.console = "Ports: size: " + std::to_string(bytes) + " bytes   " + std::to_string(count) +
                  "\n" + std::string(28, '-') + "\n";
    if (!ports.ok()) {
        out.console += "EnumPorts() failed\n";
        out.error = "Wren: cannot list the ports: " + spooler::errorText(ports.error) + " (" +
                    std::to_string(ports.error) + ")\n";
        return out;
    }
    for (const auto& name : *ports.value) {
        out.console += name + "\n";
        out.file += name + "\r\n";
    }
    return out;
}

int runWren(spooler::Spooler& spooler, sys::System& system, std::ostream& console,
            std::ostream& errors) {
    // The file is emptied first, so a failed enumeration leaves no stale list behind.
    sys::IoResult created = system.writeFile(kFileName, "");
    Listing listing = listPorts(spooler.ports());
    console << listing.console << std::flush;
    errors << listing.error << std::flush;
    sys::IoResult written = created;
    if (created.ok && !listing.file.empty())
        written = system.writeFile(kFileName, listing.file);
    if (!written.ok)
        errors << "Cannot write " << kFileName << ": " << sys::fileErrorText(written.error) << "\n";
    return 0;
}

} // namespace portlister
