#pragma once
#include "platform/spooler/Spooler.h"

#include <cstddef>
#include <iosfwd>
#include <string>
#include <vector>

namespace sys {
class System;
}

namespace portlister {

// What one run shows on the console, leaves in "ports.txt" and, when the enumeration failed,
// says on standard error about the cause.
struct Listing {
    std::string console;
    std::string file;
    std::string error;
};

// Size of the port information the spooler hands over for these ports: one record of
// 32 bytes per port plus each name with its NUL.
std::size_t reportedBytes(const std::vector<std::string>& ports);

// Console text and file bytes for an enumeration result (every port, no size limit).
Listing listPorts(const spooler::Result<std::vector<std::string>>& ports);

// The whole program: empties "ports.txt" in the current folder, lists the ports, writes
// the file. A file that cannot be written is reported on `errors`; the exit code stays 0.
int runWren(spooler::Spooler& spooler, sys::System& system, std::ostream& console,
            std::ostream& errors);

} // namespace portlister
