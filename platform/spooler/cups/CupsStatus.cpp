#include "platform/spooler/cups/CupsStatus.h"

#include "platform/spooler/Spooler.h"

#include <array>
#include <utility>

namespace spooler::cupsmap {

namespace {

struct ReasonBit {
    std::string_view keyword;
    std::uint32_t bit;
};

constexpr std::array<ReasonBit, 20> kPrinterReasons{{
    {"paused", pst::Paused},
    {"media-empty", pst::PaperOut},
    {"media-needed", pst::PaperOut},
    {"media-jam", pst::PaperJam},
    {"input-tray-missing", pst::PaperProblem},
    {"door-open", pst::DoorOpen},
    {"cover-open", pst::DoorOpen},
    {"interlock-open", pst::DoorOpen},
    {"offline", pst::Offline},
    {"connecting-to-device", pst::Offline},
    {"timed-out", pst::Offline},
    {"shutdown", pst::Offline},
    {"toner-low", pst::TonerLow},
    {"marker-supply-low", pst::TonerLow},
    {"toner-empty", pst::NoToner},
    {"marker-supply-empty", pst::NoToner},
    {"output-area-full", pst::OutputBinFull},
    {"spool-area-full", pst::OutOfMemory},
    {"fuser-under-temp", pst::WarmingUp},
    {"other", pst::Error},
}};

constexpr std::array<ReasonBit, 5> kJobReasons{{
    {"job-incoming", jst::Spooling},
    {"job-canceled-by-user", jst::Deleting},
    {"processing-to-stop-point", jst::Deleting},
    {"document-format-error", jst::Error},
    {"document-unprintable-error", jst::Error},
}};

template <std::size_t N>
std::pair<bool, std::uint32_t> lookup(const std::array<ReasonBit, N>& table, std::string_view kw) {
    for (const auto& entry : table) {
        if (entry.keyword == kw) {
            return {true, entry.bit};
        }
    }
    return {false, 0};
}

} // namespace

std::string_view reasonKeyword(std::string_view reason) {
    for (std::string_view suffix : {"-error", "-warning", "-report"}) {
        if (reason.ends_with(suffix)) {
            return reason.substr(0, reason.size() - suffix.size());
        }
    }
    return reason;
}

std::uint32_t printerStatusBits(int state, const std::vector<std::string>& reasons,
                                bool acceptingJobs) {
    std::uint32_t bits = acceptingJobs ? 0 : pst::NotAvailable;
    if (state == PrinterProcessing) {
        bits |= pst::Printing;
    } else if (state == PrinterStopped) {
        bits |= pst::Paused;
    }
    for (const auto& reason : reasons) {
        auto [known, bit] = lookup(kPrinterReasons, reasonKeyword(reason));
        if (known) {
            bits |= bit;
        } else if (reason.ends_with("-error")) {
            bits |= pst::Error;
        }
    }
    return bits;
}

std::uint32_t jobStatusBits(int state, const std::vector<std::string>& reasons) {
    std::uint32_t bits = 0;
    bool incoming = false;
    for (const auto& reason : reasons) {
        auto [known, bit] = lookup(kJobReasons, reason);
        if (known) {
            bits |= bit;
        }
        incoming = incoming || reason == "job-incoming";
    }
    switch (state) {
    case JobHeld:
        // A job whose document is still arriving is held by CUPS until it is whole.
        if (!incoming) {
            bits |= jst::Paused;
        }
        break;
    case JobProcessing:
        bits |= jst::Printing;
        break;
    case JobStopped:
        bits |= jst::Paused;
        break;
    case JobCanceled:
        bits |= jst::Deleted;
        break;
    case JobAborted:
        bits |= jst::Error;
        break;
    case JobCompleted:
        bits |= jst::Printed;
        break;
    default:
        break;
    }
    return bits;
}

int errorFromIppStatus(int ippStatus) {
    if (ippStatus >= 0 && ippStatus < 0x0100) {
        return err::None;
    }
    switch (ippStatus) {
    case 0x0401: // forbidden
    case 0x0402: // not-authenticated
    case 0x0403: // not-authorized
    case 0x1000: // authentication canceled
        return err::AccessDenied;
    case 0x0406: // not-found
    case 0x0407: // gone
        return err::InvalidPrinterName;
    case 0x040A: // document-format-not-supported
    case 0x040B: // attributes-or-values-not-supported
    case 0x0501: // operation-not-supported
        return err::NotSupported;
    case 0x0502: // service-unavailable (libcups' code for "cannot connect")
        return err::ServiceUnavailable;
    case 0x0506: // not-accepting-jobs
        return err::NotAcceptingJobs;
    default:
        return GenFailure;
    }
}

int errorFromHttpStatus(int httpStatus) {
    switch (httpStatus) {
    case 404: // not found
    case 405: // method not allowed
    case 410: // gone
    case 501: // not implemented
        return err::NotAScheduler;
    default:
        return err::None;
    }
}

int errorFromHttpAnswer(int httpStatus) {
    if (int e = errorFromHttpStatus(httpStatus); e != err::None) {
        return e;
    }
    switch (httpStatus) {
    case 401:  // unauthorized, after the local credentials were offered
    case 403:  // forbidden
    case 1000: // libcups: authorization canceled (no credentials to offer)
        return err::AccessDenied;
    case 400: // bad request
    case 413: // request too large
    case 426: // upgrade required (encryption it cannot have)
        return GenFailure;
    default:
        return err::ServiceUnavailable;
    }
}

bool refusesDevice(int ippStatus, std::string_view message) {
    // bad-request or not-possible, with the scheduler's words naming the device
    if (ippStatus != 0x0400 && ippStatus != 0x0404)
        return false;
    auto lower = [](unsigned char c) {
        return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    };
    std::string text;
    for (unsigned char c : message)
        text += lower(c);
    return text.find("device") != std::string::npos;
}

bool isValidQueueName(std::string_view name) {
    if (name.empty() || name.size() > 127) {
        return false;
    }
    for (unsigned char c : name) {
        if (c <= ' ' || c == 0x7F ||
            std::string_view("/\\?#'\"").find(static_cast<char>(c)) != std::string_view::npos) {
            return false;
        }
    }
    return true;
}

} // namespace spooler::cupsmap
