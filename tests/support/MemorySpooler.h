#pragma once
#include "platform/spooler/Spooler.h"

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace spooler {

// An in-process spooler for tests: printers, queues and ports are set up by the test,
// failures can be injected per call, and hooks may change the queue between two calls.
class MemorySpooler : public Spooler {
  public:
    enum class Call {
        Printers,
        CurrentPrinter,
        SetCurrentPrinter,
        PrinterInfo,
        Jobs,
        DeleteJob,
        WriteRawDocument,
        Ports,
        AddPrinter,
        DeletePrinter
    };

    // A document as written by writeRawDocument, byte for byte.
    struct Document {
        std::string printer;
        std::string name;
        std::string bytes;
        std::uint32_t jobId = 0;
    };

    // Stages of writeRawDocument at which a failure can be injected.
    enum class WriteStage { Open, Start, Write, End };

    // --- set-up ---
    // Installs a printer (info.name is required). Order of installation is the system order.
    void install(PrinterInfo info);
    void uninstall(const std::string& name);
    void setStatus(const std::string& printer, std::uint32_t status);
    // Adds a job to a printer's queue. It is seen by `looks` calls of jobs() and then gone;
    // a negative count keeps it until deleted. Returns its id (given one kept when non-zero).
    std::uint32_t addJob(const std::string& printer, JobInfo job, int looks = -1);
    void setPorts(std::vector<std::string> ports) { ports_ = std::move(ports); }
    void setDefaultPrinter(const std::string& name) { default_ = name; }
    // Jobs made by writeRawDocument: seen by this many looks, then gone (negative: stay).
    void setWrittenJobLooks(int looks) { writtenJobLooks_ = looks; }

    // The next `times` calls of that kind fail with `error`.
    void failNext(Call call, int error, int times = 1);
    // The next writeRawDocument fails at that stage (Write: after `bytesBeforeFailure`).
    void failWriteAt(WriteStage stage, int error, std::size_t bytesBeforeFailure = 0);
    // Runs before every call (after the call is counted); may change anything.
    void setBeforeCall(std::function<void(Call)> hook) { beforeCall_ = std::move(hook); }

    // --- inspection ---
    const std::vector<Document>& documents() const { return documents_; }
    // Jobs as they stand, without counting a look.
    std::vector<JobInfo> queue(const std::string& printer) const;
    const std::vector<std::uint32_t>& deletedJobs() const { return deleted_; }
    bool hasPrinter(const std::string& name) const;
    std::optional<PrinterInfo> info(const std::string& name) const;
    int calls(Call call) const;

    // --- Spooler ---
    Result<std::vector<std::string>> printers() override;
    std::string currentPrinter() override;
    void setCurrentPrinter(const std::string& name) override;
    Result<PrinterInfo> printerInfo(const std::string& printer) override;
    Result<std::vector<JobInfo>> jobs(const std::string& printer) override;
    int deleteJob(const std::string& printer, std::uint32_t jobId) override;
    WriteOutcome writeRawDocument(const std::string& printer, const std::string& document,
                                  const std::string& bytes) override;
    Result<std::vector<std::string>> ports() override;
    int addPrinter(const std::string& name, const std::string& driver,
                   const std::string& port) override;
    int deletePrinter(const std::string& name) override;

  private:
    struct QueuedJob {
        JobInfo info;
        int looksLeft = -1;
    };
    struct Printer {
        PrinterInfo info;
        std::vector<QueuedJob> jobs;
    };
    struct WriteFailure {
        bool armed = false;
        WriteStage stage = WriteStage::Open;
        int error = 0;
        std::size_t bytes = 0;
    };

    int enter(Call call); // counts, runs the hook, returns an injected error or 0
    Printer* find(const std::string& name);
    const Printer* find(const std::string& name) const;

    std::vector<Printer> printers_;
    std::vector<std::string> ports_;
    std::string current_;
    std::string default_;
    std::uint32_t nextJobId_ = 1;
    int writtenJobLooks_ = -1;
    std::map<Call, std::vector<int>> failures_;
    std::map<Call, int> calls_;
    WriteFailure writeFailure_;
    std::function<void(Call)> beforeCall_;
    std::vector<Document> documents_;
    std::vector<std::uint32_t> deleted_;
};

} // namespace spooler
