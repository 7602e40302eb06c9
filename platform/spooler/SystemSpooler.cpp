#include "platform/spooler/SystemSpooler.h"

#include "platform/spooler/cups/CupsSpooler.h"

namespace spooler {

// The CUPS scheduler of this PC (or the one CUPS_SERVER names).
std::unique_ptr<Spooler> makeSystemSpooler() {
    return makeCupsSpooler();
}

} // namespace spooler
