#pragma once
// Internal to printpath: the printer part parsed with what was found and what was not.
#include "printpath/PrintPath.h"

#include <optional>
#include <string>

namespace printpath::detail {

struct PrinterStatusFields {
    std::string status;
    std::optional<std::string> port;   // set only when a port line was found
    std::optional<std::string> driver; // set only when a driver line was found
};

PrinterStatusFields parsePrinterPart(const std::string& PrinterVar, const LogFn& log);

} // namespace printpath::detail
