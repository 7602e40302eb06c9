#pragma once
#include "platform/spooler/Spooler.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace spooler {

// Limits that keep every user action short, also when the scheduler hangs or is missing.
struct CupsLimits {
    int connectMs = 3000; // connecting to the scheduler
    // All calls of one user action together (see Spooler::beginAction); under 5 s, so that
    // a program that makes one such action ends within 5 s against a hung scheduler.
    int actionMs = 4000;
    int deviceSeconds = 3; // how long the scheduler may look for local devices
    std::string server;    // the scheduler ("/socket" or "host:port"); empty: the configured one
    // Further drivers this spooler installs, as raw queues whose description file carries
    // the name as its nickname (and so as the queue's make and model). Names that are not
    // safe in a description file (see isDescribableDriver) stay unknown.
    std::vector<std::string> rawDrivers;
};

// The spooler backed by the CUPS scheduler that CUPS_SERVER (or the client configuration)
// names. Printers are queues, a printer's driver is its make and model, ports are the local
// devices under the names of the port-name rule (PortNameRule.h), a queue that refuses jobs is
// not available. With no scheduler reachable, every call fails with err::ServiceUnavailable;
// with one that stops answering, err::Timeout. An answer the scheduler is still sending is
// waited for until the action's time is up, never dropped before (a device listing ends only
// when the slowest backend has, within deviceSeconds). Requests the scheduler answers with "not
// authorized" are authenticated with the local credentials libcups offers (peer credentials
// on the domain socket, the scheduler's local certificate) and sent again; nothing ever asks
// for a password, so a user outside the scheduler's system group gets err::AccessDenied.
std::unique_ptr<Spooler> makeCupsSpooler(CupsLimits limits = {});

// The driver that makes a queue that passes the documents on unchanged.
inline constexpr const char* kGenericTextDriver = "Generic / Text Only";

// Whether a driver name can stand in a description file's quoted strings unchanged: 1 to 64
// characters, a letter or digit first, then letters, digits, blanks and "-_./+,".
bool isDescribableDriver(std::string_view driver);

} // namespace spooler
