#pragma once
#include "platform/spooler/Spooler.h"

#include <memory>
#include <string>

namespace spooler {

// Limits that keep every call short, also when the scheduler hangs or is missing.
struct CupsLimits {
    int connectMs = 3000;       // connecting to the scheduler
    double requestSeconds = 10; // waiting for one answer
    int deviceSeconds = 3;      // how long the scheduler may look for local devices
    std::string server; // the scheduler ("/socket" or "host:port"); empty: the configured one
};

// The spooler backed by the CUPS scheduler that CUPS_SERVER (or the client configuration)
// names. Printers are queues, a printer's driver is its make and model, ports are the local
// devices under the names of the port-name rule (PortNames.h). With no scheduler reachable,
// every call fails with err::ServiceUnavailable.
std::unique_ptr<Spooler> makeCupsSpooler(CupsLimits limits = {});

// The driver that makes a queue that passes the documents on unchanged.
inline constexpr const char* kGenericTextDriver = "Generic / Text Only";

} // namespace spooler
