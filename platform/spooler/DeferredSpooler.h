#pragma once
#include "platform/spooler/Spooler.h"

#include <memory>
#include <string>

namespace spooler {

// The file, in the wizards' folder, that holds the CUPS backend for them.
inline constexpr const char* kCupsModuleFile = "cups-spooler.so";
// Its one entry point: a new CUPS spooler (makeCupsSpooler), owned by the caller.
inline constexpr const char* kCupsModuleEntry = "printerWizardsCupsSpooler";

// The spooler of this PC for a window program: the CUPS backend and the libraries it needs
// are loaded from `folder` on the first call, not at start, so the first window does not
// wait for them. Only the user's own regular file is loaded (sys::openOwnFile), and only
// when whole; an empty folder (the program's own is unknown) loads nothing. When the backend
// cannot be loaded, standard error says why and every call fails with err::ModuleNotFound.
std::unique_ptr<Spooler> makeDeferredSystemSpooler(std::string folder);

} // namespace spooler
