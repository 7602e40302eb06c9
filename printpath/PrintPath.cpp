#include "printpath/PrintPath.h"

#include "platform/sys/Encoding.h"
#include "platform/sys/Strings.h"
#include "platform/sys/System.h"
#include "platform/ui/App.h"
#include "platform/ui/Dialogs.h"
#include "printpath/ReportFields.h"

#include <algorithm>
#include <exception>

namespace printpath {

namespace {

const char* const kRetrieved = "Printer info retrieved";

// How often the window's events run while a wait sleeps.
constexpr std::int64_t kEventsMs = 10;

// Errors that mean the printer itself could not be reached (the open failed).
bool isOpenFailure(int error) {
    switch (error) {
    case spooler::err::InvalidPrinterName:
    case spooler::err::AccessDenied:
    case spooler::err::FileNotFound:
    case spooler::err::InvalidHandle:
    case spooler::err::ServiceUnavailable:
    case spooler::err::Timeout:
    case spooler::err::NotAScheduler:
        return true;
    default:
        return false;
    }
}

} // namespace

// ---- the print path's own trace lines ----

TraceLines::Lines TraceLines::checkStarted(const std::string& printerPart,
                                           const std::string& jobPart) const {
    return {"...CheckPrinter: Printer:[" + printerPart + "] Job:[" + jobPart + "]"};
}

TraceLines::Lines TraceLines::opening(const std::string& printer) const {
    return {"...CheckPrinter: PrinterName:[" + printer + "]", "...CheckPrinter: call OpenPrinter"};
}

TraceLines::Lines TraceLines::infoRead(const spooler::PrinterInfo* /*info*/) const {
    return {"...CheckPrinter: call GetPrinter to get buffer size",
            "...CheckPrinter: Call GetPrinter to get the status"};
}

TraceLines::Lines TraceLines::checkingStatus() const {
    return {"...CheckPrinter: Call CheckPrinterStatus to check if printer is in ready state"};
}

TraceLines::Lines TraceLines::sending(const std::string& printer) const {
    return {"sending job to printer: " + printer};
}

PrintPath::PrintPath(PrintPathServices services, PrintPathOptions options)
    : s_(services), options_(std::move(options)) {}

void PrintPath::log(const std::string& message) {
    if (options_.logOnlyWhenEnabled && !s_.host.LogEnabled())
        return;
    s_.host.WriteLog(message);
}

void PrintPath::log(const TraceLines::Lines& lines) {
    for (const std::string& line : lines)
        log(line);
}

void PrintPath::logCause(const std::string& routine, int error) {
    log(spoolerCauseLine(routine, error));
}

// ---- spooler report ----

std::string PrintPath::CheckPrinterStatus(std::uint32_t status) {
    log("...CheckPrinterStatus");
    return printerStatusLine(status);
}

std::string PrintPath::getPrinterStatus(const std::string& PrinterVar, std::string& port,
                                        std::string& driver) {
    return printpath::getPrinterStatus(PrinterVar, port, driver,
                                       [this](const std::string& m) { log(m); });
}

std::string PrintPath::getJobStatus(const std::string& JobVar, std::string& jobId) {
    return printpath::getJobStatus(JobVar, jobId, [this](const std::string& m) { log(m); });
}

std::string PrintPath::CheckPrinter(std::string& printerPart, std::string& jobPart) {
    const TraceLines& trace = *options_.trace;
    std::string result = kRetrieved;
    reportError_ = 0;
    spooler::SpoolerAction action(s_.spooler);
    try {
        log(trace.checkStarted(printerPart, jobPart));

        if (options_.checkStopsWithoutPrinters) {
            auto installed = s_.spooler.printers();
            if (installed.ok() && installed.value->empty()) {
                log("...CheckPrinter: No Printers Defined On PC");
                return result;
            }
            if (!installed.ok())
                logCause("CheckPrinter", installed.error);
        }

        const std::string name = s_.spooler.currentPrinter();
        log(trace.opening(name));
        auto info = s_.spooler.printerInfo(name);
        if (!info.ok())
            logCause("CheckPrinter", info.error);
        if (!info.ok() && (name.empty() || isOpenFailure(info.error))) {
            log(trace.openFailed());
            reportError_ = info.error;
            return "Cannot open printer " + name + ", Error: " + std::to_string(info.error);
        }
        log(trace.infoRead(info.ok() ? &*info.value : nullptr));
        if (!info.ok()) {
            reportError_ = info.error;
            return "Couldn't get Printer Status!  Error = " + std::to_string(info.error);
        }

        log(trace.checkingStatus());
        printerPart = CheckPrinterStatus(info.value->status);
        log(trace.statusChecked(printerPart));
        printerPart += "Printer Name = " + spoolerText(info.value->name) + "\r\n" +
                       "Printer Driver Name = " + spoolerText(info.value->driver) + "\r\n" +
                       "Printer Port Name = " + spoolerText(info.value->port) + "\r\n";

        // A failed enumeration is a failure, not an empty queue.
        auto jobs = s_.spooler.jobs(name);
        if (!jobs.ok()) {
            logCause("CheckPrinter", jobs.error);
            log(trace.jobsFailed());
            reportError_ = jobs.error;
            return " > EnumJobs Failed on second call! <  Error = " + std::to_string(jobs.error);
        }
        log(trace.jobsRead(jobs.value->size()));
        if (jobs.value->empty())
            jobPart = "No Print Jobs!";
        int position = 0;
        for (const auto& job : *jobs.value) {
            jobPart += "Job ID = " + std::to_string(job.id) + "\r\n" +
                       "Total Pages = " + std::to_string(job.totalPages) + "\r\n";
            const std::string status = jobStatusLine(job);
            log(trace.jobListed({name, *info.value, job, ++position, jobPart, status}));
            jobPart += status;
        }
        log("...CheckPrinter: Exit");
        return result;
    } catch (const ui::WaitStalled&) {
        throw;
    } catch (const std::exception& e) {
        log("...CheckPrinter: Error Detected rc=[0& Desc:[" + std::string(e.what()) + "]");
        log("...CheckPrinter: Exit");
        return result;
    }
}

// ---- printer selection, raw document, purge ----

int PrintPath::MakeCurrentPrinter(const std::string& name) {
    spooler::SpoolerAction action(s_.spooler);
    auto installed = s_.spooler.printers();
    if (!installed.ok())
        return installed.error;
    for (const auto& printer : *installed.value) {
        if (printer == name) {
            s_.spooler.setCurrentPrinter(printer);
            return spooler::err::None;
        }
    }
    return spooler::err::InvalidPrinterName;
}

bool PrintPath::IsCurrentPrinter(const std::string& name) {
    spooler::SpoolerAction action(s_.spooler);
    if (name.empty() || s_.spooler.currentPrinter() != name)
        return false;
    auto installed = s_.spooler.printers();
    if (!installed.ok()) {
        logCause("IsCurrentPrinter", installed.error);
        return false;
    }
    const auto& names = *installed.value;
    return std::find(names.begin(), names.end(), name) != names.end();
}

bool PrintPath::SelectPrinter(const std::string& name) {
    spooler::SpoolerAction action(s_.spooler);
    const int error = MakeCurrentPrinter(name);
    if (error != spooler::err::None) {
        s_.host.ShowProgramError("Printer: " + name +
                                     "\r\nNot defined on this Workstation.\r\n"
                                     "Run Setup and select a valid printer to continue.",
                                 false, "");
        log("Invalid Printer Specified: " + name);
        // The box reads the same whatever the cause; the log says when it was the spooler.
        if (error != spooler::err::InvalidPrinterName)
            logCause("SelectPrinter", error);
        return false;
    }

    std::string printer, jobs;
    CheckPrinter(printer, jobs);
    // Out-values the report does not hold keep what the wizard had.
    log("...getPrinterStatus");
    auto fields = detail::parsePrinterPart(printer, [this](const std::string& m) { log(m); });
    if (fields.port)
        s_.host.SetStatusPortName(*fields.port);
    if (fields.driver)
        s_.host.SetStatusDriverName(*fields.driver);
    if (fields.status != "Ready") {
        s_.host.ShowProgramError("Printer not ready", false, "");
        log("Printer Not Ready: " + name);
        return false;
    }
    log("Selected Printer Name: " + name);
    return true;
}

bool PrintPath::SendToPrinter(const std::string& jobText) {
    spooler::SpoolerAction action(s_.spooler);
    const std::string printer = s_.spooler.currentPrinter();
    auto bytes = sys::toWindows1252(jobText);
    spooler::WriteOutcome outcome;
    if (bytes)
        outcome = s_.spooler.writeRawDocument(printer, options_.documentName.text, *bytes);
    log(options_.trace->sending(printer));
    if (!bytes) {
        // Callers refuse such text where it is typed; never send it altered.
        log("...SendToPrinter: text has characters without an ANSI form");
        return false;
    }
    if (outcome.error != spooler::err::None)
        logCause("SendToPrinter", outcome.error);
    if (!outcome.opened) {
        s_.host.MsgBox("The Printer Name you typed wasn't recognized.", ui::mb::OkOnly,
                       s_.host.ProgramTitle());
        return false;
    }
    return outcome.complete(bytes->size());
}

void PrintPath::PurgePrintQueue() {
    spooler::SpoolerAction action(s_.spooler);
    const bool logging = s_.host.LogEnabled();
    if (logging)
        log("...PurgePrintQueue");
    std::string printer;
    if (options_.purgeNamedPrinter)
        printer = s_.host.PrinterName();
    if (printer.empty())
        printer = s_.spooler.currentPrinter();

    // The information read only proves that the printer responds.
    if (auto info = s_.spooler.printerInfo(printer); !info.ok()) {
        if (logging)
            logCause("PurgePrintQueue", info.error);
        return;
    }
    auto jobs = s_.spooler.jobs(printer);
    if (!jobs.ok() && logging)
        logCause("PurgePrintQueue", jobs.error);
    if (!jobs.ok() || jobs.value->empty())
        return;
    for (std::uint32_t id : jobsToPurge(*jobs.value, options_.documentName.text)) {
        if (logging)
            log("...KillPrintJob " + std::to_string(id));
        KillPrintJob(printer, id);
    }
    if (logging)
        log(options_.trace->purgeEnded());
}

void PrintPath::KillPrintJob(const std::string& printer, std::uint32_t jobId) {
    log(options_.trace->killStarted());
    // Failures are silent to the user; a job that has left meanwhile is no failure at all.
    int e = s_.spooler.deleteJob(printer, jobId);
    if (e != spooler::err::None && e != spooler::err::InvalidParameter && s_.host.LogEnabled())
        logCause("KillPrintJob", e);
    log(options_.trace->killEnded());
}

// ---- programs ----

proc::Handle PrintPath::StartProcess(const std::string& commandLine, const std::string& arguments) {
    std::string line = commandLine;
    std::string trimmed = sys::trim(arguments);
    if (!trimmed.empty())
        line += " \"" + arguments + "\"";
    return s_.processes.start(line);
}

bool PrintPath::IsProcessRunning(proc::Handle& handle) {
    return s_.processes.isRunning(handle);
}

bool PrintPath::RunAndWait(const std::string& commandLine, std::string& message,
                           std::int64_t timeoutMs) {
    try {
        // Causes the console tools print on standard error go into the log, where a wizard
        // started from the menu keeps them; their console lines stay as they are.
        const bool collect = options_.logProgramErrors && s_.host.LogEnabled();
        proc::Handle handle = collect ? s_.processes.startCollectingErrors(commandLine)
                                      : StartProcess(commandLine, "");
        const proc::Handle started = handle;
        bool result = true;
        const std::int64_t start = s_.app.now();
        do {
            s_.app.DoEvents();
            // The program is looked at every pollMs; the window's events run meanwhile.
            const std::int64_t look = s_.app.now() + options_.pollMs;
            for (;;) {
                s_.app.Sleep(std::min(kEventsMs, look - s_.app.now()));
                if (s_.app.now() >= look)
                    break;
                s_.app.DoEvents();
            }
            if (s_.app.now() - start > timeoutMs) {
                message = "The process has timed out.";
                result = false;
            }
        } while (IsProcessRunning(handle));
        const std::string errors = collect ? s_.processes.takeErrors(started) : std::string();
        for (std::string_view line : sys::splitOn(errors, '\n')) {
            if (!line.empty() && line.back() == '\r')
                line.remove_suffix(1);
            if (!line.empty())
                log("...RunAndWait: " + std::string(line));
        }
        return result;
    } catch (const ui::WaitStalled&) {
        throw;
    } catch (const std::exception& e) {
        message = e.what();
        return false;
    }
}

// ---- port list ----

int PrintPath::GetPorts(PortTable& table) {
    log("...GetPorts");
    // Plover runs Wren in the current folder, where it writes its listing; that folder's file
    // is read, and only as the user's own (never one another user planted there).
    const std::string listing = sys::joinPath(s_.system.currentFolder(), "ports.txt");
    std::string message;
    RunAndWait(programCommandLine(s_.system.programFolder(), "Plover", "Wren.exe"), message,
               2000000000);
    table.count = 0;
    if (!s_.host.FileExists(listing))
        return 0;
    int error = 0;
    auto bytes = s_.system.readOwnFile(listing, error);
    if (!bytes) {
        log("...GetPorts: cannot read [" + listing + "]: " + sys::fileErrorText(error));
        return 0;
    }
    return readPortTable(*bytes, table);
}

} // namespace printpath
