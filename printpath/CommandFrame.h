#pragma once
#include <string>

namespace printpath {

// One frame of a printer command job: "!KVT_SETUP", the framed lines (each already ending
// in CR LF), "KVT_END", every line ending in CR LF. An empty body is the empty job.
std::string commandFrame(const std::string& framedLines);

} // namespace printpath
