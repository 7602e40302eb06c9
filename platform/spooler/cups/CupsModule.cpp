// The CUPS backend as a library the wizards load when they first need the spooler.
#include "platform/spooler/DeferredSpooler.h"
#include "platform/spooler/cups/CupsSpooler.h"

extern "C" __attribute__((visibility("default"))) spooler::Spooler* printerWizardsCupsSpooler() {
    return spooler::makeCupsSpooler().release();
}
