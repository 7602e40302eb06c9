#pragma once
#include <string>

namespace kestrel {

// A command frame: "!KVT_SETUP", the framed lines (each already ending in CR LF), "KVT_END",
// every line ending in CR LF. An empty body is a valid frame.
std::string commandFrame(const std::string& framedLines);

// The wizard's one job: a frame holding "NIC_SETUP", the command text followed by one more
// CR LF, "reboot" and "END_NIC_SETUP".
std::string nicSetupJob(const std::string& setupCommands);

} // namespace kestrel
