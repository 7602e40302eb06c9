#include "kestrel/core/JobFrame.h"

namespace kestrel {

std::string nicSetupJob(const std::string& setupCommands) {
    // The command text ends in its own CR LF, so one empty line follows it.
    return commandFrame("NIC_SETUP\r\n" + setupCommands + "\r\n" + "reboot\r\n" +
                        "END_NIC_SETUP\r\n");
}

} // namespace kestrel
