#pragma once
#include "platform/process/Processes.h"
#include "platform/spooler/Spooler.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace sys {
class System;
}
namespace ui {
class App;
}

namespace printpath {

// What the print path needs of the wizard that links it.
class PrintPathHost {
  public:
    virtual ~PrintPathHost() = default;
    // The wizard's log routine; it writes only when its log switch is on.
    virtual void WriteLog(const std::string& message) = 0;
    virtual bool LogEnabled() const = 0;
    virtual bool FileExists(const std::string& path) = 0;
    // The wizard's error box (empty title: "Program Error"; exit flag: the wizard leaves).
    virtual void ShowProgramError(const std::string& text, bool exitFlag,
                                  const std::string& title) = 0;
    // A plain message box (ui::mb flags); returns ui::mb::Ok, Yes or No.
    virtual int MsgBox(const std::string& text, int flags, const std::string& title) = 0;
    virtual std::string ProgramTitle() const = 0;
    // Printer whose queue PurgePrintQueue clears when not empty (the temporary printer).
    virtual std::string PrinterName() const = 0;
    // Out-values of the printer report that SelectPrinter keeps for the wizard.
    virtual void SetStatusPortName(const std::string& port) = 0;
    virtual void SetStatusDriverName(const std::string& driver) = 0;
};

using LogFn = std::function<void(const std::string&)>;

// One job of the report as CheckPrinter lists it.
struct ListedJob {
    const std::string& printer; // the current printer's name
    const spooler::PrinterInfo& info;
    const spooler::JobInfo& job;
    int position;                  // 1 for the first in the queue
    const std::string& jobPart;    // the job part up to this job's id and page lines
    const std::string& statusLine; // the job's status line that follows them
};

// The log lines that trace the routines' steps where a wizard traces them its own way. Each
// returns the lines to write there, in order; these are the print path's own lines.
class TraceLines {
  public:
    using Lines = std::vector<std::string>;
    virtual ~TraceLines() = default;

    // CheckPrinter, with the parts it was handed.
    virtual Lines checkStarted(const std::string& printerPart, const std::string& jobPart) const;
    virtual Lines opening(const std::string& printer) const;
    virtual Lines openFailed() const { return {}; }
    // The printer's information was asked for; null when it could not be read.
    virtual Lines infoRead(const spooler::PrinterInfo* info) const;
    virtual Lines checkingStatus() const;
    virtual Lines statusChecked(const std::string& /*statusLine*/) const { return {}; }
    virtual Lines jobsFailed() const { return {}; }
    virtual Lines jobsRead(std::size_t /*count*/) const { return {}; }
    virtual Lines jobListed(const ListedJob& /*listed*/) const { return {}; }

    virtual Lines sending(const std::string& printer) const; // SendToPrinter
    virtual Lines purgeEnded() const { return {}; }          // after PurgePrintQueue's deletions
    virtual Lines killStarted() const { return {}; }
    virtual Lines killEnded() const { return {}; }
};

// The name of a wizard's raw documents. It has no default: every caller names its
// documents, since the purge deletes the jobs whose names hold it.
struct DocumentName {
    DocumentName(std::string name) : text(std::move(name)) {}
    DocumentName(const char* name) : text(name) {}
    std::string text;
};

// The points where the wizards' print paths differ; each wizard's core builds its own.
struct PrintPathOptions {
    // Name of the raw documents; PurgePrintQueue deletes the jobs whose name holds it.
    DocumentName documentName;
    std::int64_t pollMs = 500;             // RunAndWait's sleep between polls
    bool purgeNamedPrinter = true;         // PurgePrintQueue uses the host's PrinterName
    bool checkStopsWithoutPrinters = true; // CheckPrinter returns early with no printer
    // Lines are written only while the host's LogEnabled() is on (a host may write its own
    // lines under another switch, but not the print path's).
    bool logOnlyWhenEnabled = false;
    // With logging on, what the programs RunAndWait runs write to standard error goes into
    // the log (the console tools name there why they failed).
    bool logProgramErrors = true;
    // The lines the routines trace their steps with (never null).
    std::shared_ptr<const TraceLines> trace = std::make_shared<TraceLines>();
};

// Port names read from "ports.txt". Entries past `count` keep what an earlier read left.
struct PortTable {
    static constexpr int Size = 101;
    std::array<std::string, Size> names;
    int count = 0;
};

// ---- pure pieces (no services) ----

// "5.00B".
std::string VersionText();

// A text read from the spooler: up to its first NUL, at most maxLength characters;
// a missing text gives " ".
std::string spoolerText(const std::optional<std::string>& text, std::size_t maxLength = 256);

// The box text when the printer could not be updated: the printer's front panel message
// when one was read, else where to look.
std::string printerUpdateErrorText(const std::string& frontPanel);

// The printer status line with its CR LF ("Printer Status = Ready\r\n", words in table order).
std::string printerStatusLine(std::uint32_t status);
// The four lines of the printer part.
std::string printerPart(const spooler::PrinterInfo& info);
// The job's status line with its CR LF ("Ready!  \r\n\r\n" for a job without bits or text).
std::string jobStatusLine(const spooler::JobInfo& job);
// The status text of a job as its line is built, one entry per word added (one entry for
// "Ready!  ", an unknown status or the spooler's own text); the last is the line without
// its final CR LF.
std::vector<std::string> jobStatusSteps(const spooler::JobInfo& job);
// The three lines of one job in the job part.
std::string jobLines(const spooler::JobInfo& job);

// Status words of a printer part; port and driver out-values when their lines are found.
std::string getPrinterStatus(const std::string& PrinterVar, std::string& port, std::string& driver,
                             const LogFn& log = {});
// First job's status text of a job part (later jobs run together behind it).
std::string getJobStatus(const std::string& JobVar, std::string& jobId, const LogFn& log = {});

// The log line that names why a spooler call failed: "...routine: words (number)".
std::string spoolerCauseLine(const std::string& routine, int error);

// Ids of the jobs whose document name contains `documentName` (case-sensitive), in order;
// none for an empty name, which every name would contain.
std::vector<std::uint32_t> jobsToPurge(const std::vector<spooler::JobInfo>& jobs,
                                       const std::string& documentName);

// Fills the table from the bytes of "ports.txt" (lines end in CR LF or LF); at most
// PortTable::Size names, the rest is ignored. Returns the count.
int readPortTable(const std::string& fileBytes, PortTable& table);

// A command line that runs `program` from `folder`, the path quoted so blanks do no harm,
// followed by a blank and `arguments` when not empty.
std::string programCommandLine(const std::string& folder, const std::string& program,
                               const std::string& arguments);

// ---- the routines ----

struct PrintPathServices {
    spooler::Spooler& spooler;
    proc::ProcessRunner& processes;
    sys::System& system;
    ui::App& app; // DoEvents and Sleep for the waits
    PrintPathHost& host;
};

class PrintPath {
  public:
    PrintPath(PrintPathServices services, PrintPathOptions options);

    const PrintPathOptions& options() const { return options_; }

    // Spooler report of the current printer. The printer part is replaced; job lines are
    // appended to the job part ("No Print Jobs!" replaces it). Result: "Printer info
    // retrieved" or a failure text.
    std::string CheckPrinter(std::string& printerPart, std::string& jobPart);
    // Why the last CheckPrinter failed (a spooler error number), 0 when it did not.
    int LastReportError() const { return reportError_; }
    std::string CheckPrinterStatus(std::uint32_t status);
    // Logging wrappers of the pure parsers.
    std::string getPrinterStatus(const std::string& PrinterVar, std::string& port,
                                 std::string& driver);
    std::string getJobStatus(const std::string& JobVar, std::string& jobId);

    bool SelectPrinter(const std::string& name);
    // Makes the installed printer of exactly this name current. 0 when it is; else
    // err::InvalidPrinterName when none has the name, or why the printers could not be
    // listed. The current printer then stays as it was.
    int MakeCurrentPrinter(const std::string& name);
    // Whether `name` is the current printer and still installed: a job goes to the
    // printer the wizard chose or nowhere. The log names the cause when the printers
    // could not be listed.
    bool IsCurrentPrinter(const std::string& name);
    // One raw document on the current printer; true only when the printer opened, the
    // document started, every byte was written and the document ended.
    bool SendToPrinter(const std::string& jobText);
    void PurgePrintQueue();
    void KillPrintJob(const std::string& printer, std::uint32_t jobId);

    proc::Handle StartProcess(const std::string& commandLine, const std::string& arguments);
    bool IsProcessRunning(proc::Handle& handle);
    bool RunAndWait(const std::string& commandLine, std::string& message, std::int64_t timeoutMs);

    // Has Plover run Wren and reads "ports.txt" of the current folder into the table.
    int GetPorts(PortTable& table);

  private:
    void log(const std::string& message);
    void log(const TraceLines::Lines& lines);
    // Names the cause of a failed spooler call in the log: "...Routine: words (number)".
    void logCause(const std::string& routine, int error);

    PrintPathServices s_;
    PrintPathOptions options_;
    int reportError_ = 0;
};

} // namespace printpath
