#include "platform/spooler/Spooler.h"

namespace spooler {

std::string errorText(int error) {
    switch (error) {
    case err::AccessDenied:
        return "access denied (the printing system's administrators only)";
    case err::InvalidPrinterName:
        return "no such printer";
    case err::PrinterAlreadyExists:
        return "the printer already exists";
    case err::ServiceUnavailable:
        return "the printing system cannot be reached (no scheduler is running)";
    case err::Timeout:
        return "the printing system did not answer in time";
    case err::PrinterHasJobs:
        return "the printer still has jobs in its queue";
    case err::UnknownPort:
        return "unknown port";
    case err::UnknownDriver:
        return "unknown printer driver";
    case err::NotAScheduler:
        return "the server that answered is not a print scheduler";
    case err::NotAcceptingJobs:
        return "the printer's queue does not accept jobs";
    case err::InvalidName:
        return "not a valid printer name (1 to 127 printable characters, none of them a "
               "blank or / \\ ? # ' \")";
    case err::DeviceRefused:
        return "the printing system refused the port's device";
    case err::ModuleNotFound:
        return "the printing system's module cannot be loaded";
    default:
        return "error " + std::to_string(error);
    }
}

} // namespace spooler
