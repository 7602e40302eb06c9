#pragma once
#include <string>

namespace spooler {

// The description file of a raw queue for `driver`, in an anonymous file in memory, at its
// start; -1 when it cannot be made.
int describedDriverFile(const std::string& driver);

} // namespace spooler
