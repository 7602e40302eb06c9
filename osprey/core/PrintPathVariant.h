#pragma once
#include "printpath/PrintPath.h"

namespace osprey {

// The print path as this wizard runs it: its own document name, a shorter poll, the current
// printer's queue purged, no early return without printers, its own trace lines written only
// under the LOG switch, and no program errors in the log.
printpath::PrintPathOptions printPathOptions();

} // namespace osprey
