#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace spooler {

// Printer status bits (the values the spooler report decodes). Every backend maps its own
// printer states onto these.
namespace pst {
constexpr std::uint32_t Paused = 0x1;
constexpr std::uint32_t Error = 0x2;
constexpr std::uint32_t PendingDeletion = 0x4;
constexpr std::uint32_t PaperJam = 0x8;
constexpr std::uint32_t PaperOut = 0x10;
constexpr std::uint32_t ManualFeed = 0x20;
constexpr std::uint32_t PaperProblem = 0x40;
constexpr std::uint32_t Offline = 0x80;
constexpr std::uint32_t IoActive = 0x100;
constexpr std::uint32_t Busy = 0x200;
constexpr std::uint32_t Printing = 0x400;
constexpr std::uint32_t OutputBinFull = 0x800;
constexpr std::uint32_t NotAvailable = 0x1000;
constexpr std::uint32_t Waiting = 0x2000;
constexpr std::uint32_t Processing = 0x4000;
constexpr std::uint32_t Initializing = 0x8000;
constexpr std::uint32_t WarmingUp = 0x10000;
constexpr std::uint32_t TonerLow = 0x20000;
constexpr std::uint32_t NoToner = 0x40000;
constexpr std::uint32_t PagePunt = 0x80000;
constexpr std::uint32_t UserIntervention = 0x100000;
constexpr std::uint32_t OutOfMemory = 0x200000;
constexpr std::uint32_t DoorOpen = 0x400000;
} // namespace pst

// Job status bits.
namespace jst {
constexpr std::uint32_t Paused = 0x1;
constexpr std::uint32_t Error = 0x2;
constexpr std::uint32_t Deleting = 0x4;
constexpr std::uint32_t Spooling = 0x8;
constexpr std::uint32_t Printing = 0x10;
constexpr std::uint32_t Offline = 0x20;
constexpr std::uint32_t PaperOut = 0x40;
constexpr std::uint32_t Printed = 0x80;
constexpr std::uint32_t Deleted = 0x100;
constexpr std::uint32_t Blocked = 0x200;
constexpr std::uint32_t UserIntervention = 0x400;
} // namespace jst

// System error numbers the callers report or test.
namespace err {
constexpr int None = 0;
constexpr int FileNotFound = 2;
constexpr int AccessDenied = 5;
constexpr int InvalidHandle = 6;
constexpr int NotSupported = 50;
constexpr int InvalidParameter = 87; // no such job
constexpr int InsufficientBuffer = 122;
constexpr int InvalidPrinterName = 1801;
constexpr int PrinterAlreadyExists = 1802;
constexpr int UnknownPort = 1796;
constexpr int UnknownDriver = 1797;
constexpr int ServiceUnavailable = 1722; // the scheduler cannot be reached
constexpr int PrinterHasJobs = 3006;
constexpr int Timeout = 1460;        // the scheduler did not answer within the action's time
constexpr int NotAScheduler = 58;    // the server that answered is no print scheduler
constexpr int NotAcceptingJobs = 21; // the printer's queue refuses jobs
constexpr int InvalidName = 123;     // a name no printer can have (adding a printer)
constexpr int DeviceRefused = 1200;  // the spooler refused the port's device
constexpr int ModuleNotFound = 126;  // the spooler's backend library cannot be loaded
} // namespace err

// Words for an error number, for messages and logs ("access denied (...)").
std::string errorText(int error);

struct PrinterInfo {
    // Texts may be missing ("null" in the spooler's structures); readers treat a
    // missing name as " ".
    std::optional<std::string> name;
    std::optional<std::string> driver;
    std::optional<std::string> port;
    std::uint32_t status = 0;
};

struct JobInfo {
    std::uint32_t id = 0;
    std::optional<std::string> document;
    std::uint32_t totalPages = 0;
    std::uint32_t status = 0;
    std::optional<std::string> statusText; // a text the spooler gives instead of bits
};

// A value or the system error number of the failure.
template <class T> struct Result {
    std::optional<T> value;
    int error = err::None;
    bool ok() const { return value.has_value(); }
    static Result success(T v) { return Result{std::move(v), err::None}; }
    static Result failure(int e) { return Result{std::nullopt, e}; }
};

// How far a raw document got: a job reached the spooler whole only when every stage held.
struct WriteOutcome {
    bool opened = false;
    bool started = false;
    std::size_t bytesWritten = 0;
    bool ended = false;
    int error = err::None;
    std::optional<std::uint32_t> jobId;
    bool complete(std::size_t expected) const {
        return opened && started && ended && bytesWritten == expected;
    }
};

// What the wizards use of the print spooler. Names are compared exactly (case-sensitive).
class Spooler {
  public:
    virtual ~Spooler() = default;

    // Installed printers in the system's order.
    virtual Result<std::vector<std::string>> printers() = 0;

    // The process-wide current printer ("" when none has been chosen and none is default).
    virtual std::string currentPrinter() = 0;
    virtual void setCurrentPrinter(const std::string& name) = 0;

    virtual Result<PrinterInfo> printerInfo(const std::string& printer) = 0;
    virtual Result<std::vector<JobInfo>> jobs(const std::string& printer) = 0;
    virtual int deleteJob(const std::string& printer, std::uint32_t jobId) = 0; // 0: ok

    // One raw document of one page titled `document`, holding exactly `bytes`.
    virtual WriteOutcome writeRawDocument(const std::string& printer, const std::string& document,
                                          const std::string& bytes) = 0;

    // The local printer ports, by name ("LPT1:", "COM1:", "USB001").
    virtual Result<std::vector<std::string>> ports() = 0;

    // Adds a printer on a port with a driver; "Generic / Text Only" makes a raw queue.
    virtual int addPrinter(const std::string& name, const std::string& driver,
                           const std::string& port) = 0;
    // Deletes a printer; refused (err::PrinterHasJobs) while its queue still holds jobs.
    virtual int deletePrinter(const std::string& name) = 0;

    // The calls between these belong to one user action (listing the ports, selecting a
    // printer, one report) and share one time limit: a spooler that stops answering holds
    // them no longer than that in total, and the calls after it fail at once with
    // err::Timeout. Actions nest (the outermost counts); a call outside any action is an
    // action of its own. Use SpoolerAction rather than calling these directly.
    virtual void beginAction() {}
    virtual void endAction() {}
};

// One user action on a spooler, for the life of this object.
class SpoolerAction {
  public:
    explicit SpoolerAction(Spooler& spooler) : spooler_(spooler) { spooler_.beginAction(); }
    ~SpoolerAction() { spooler_.endAction(); }
    SpoolerAction(const SpoolerAction&) = delete;
    SpoolerAction& operator=(const SpoolerAction&) = delete;

  private:
    Spooler& spooler_;
};

} // namespace spooler
