#pragma once
#include "printpath/CommandFrame.h"

#include <string>

namespace kestrel {

// The frame is the printer's, shared by both wizards.
using printpath::commandFrame;

// The wizard's one job: a frame holding "NIC_SETUP", the command text followed by one more
// CR LF, "reboot" and "END_NIC_SETUP".
std::string nicSetupJob(const std::string& setupCommands);

} // namespace kestrel
