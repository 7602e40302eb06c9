#pragma once
#include "platform/spooler/Spooler.h"

#include <memory>

namespace spooler {

// The spooler of this PC, as the programs use it.
std::unique_ptr<Spooler> makeSystemSpooler();

} // namespace spooler
