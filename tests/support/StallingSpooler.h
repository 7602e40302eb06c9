#pragma once
#include "platform/spooler/Spooler.h"
#include "platform/spooler/WorkerSpooler.h"
#include "platform/ui/Clock.h"

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace ui {
class App;
}

namespace spooler {

// A scheduler that stops answering while the test says so, on a virtual clock. As with the
// CUPS backend, one user action (the outermost beginAction to its endAction, or one call
// outside any) has `actionMs` in all: the first call that meets the stopped scheduler is held
// until that time has passed and then fails with err::Timeout, and the later calls of that
// action fail at once.
//
// A call held on another thread (a worker) ends when the test's thread has passed the time
// (passed, or the idle of idleFor). A call on the test's own thread cannot be held there, as
// nobody would end it: it stands for a window frozen for the rest of the action's time, and
// moves the clock on by that much with no event running.
class Stall {
  public:
    explicit Stall(ui::VirtualClock& clock, std::int64_t actionMs = 4000);

    void set(bool stopped);
    // The scheduler answers until a call of this kind comes ("writeRawDocument", "jobs", as
    // the Spooler names them), and stops answering from that call on.
    void stopAt(std::string call);
    // A call is held now (any thread may ask).
    bool holding() const;
    // `ms` passed on the test's clock while a call was held.
    void passed(std::int64_t ms);
    // Calls that met the stopped scheduler, held, frozen or failed at once.
    int met() const;

    // How a caller of a worker spooler waits in these tests: events run (until the program
    // has ended), and clock time passes only while a call is held, so that a call the worker
    // is still carrying out takes none, however slowly the machine runs it.
    SpoolerIdle idleFor(ui::App& app);
    // Lets the scheduler answer again and waits, through `front`, until the calls before have
    // ended: then nothing of the test's is in use on the worker, which may go.
    void settle(Spooler& front);

  private:
    friend class StallingSpooler;
    void beginAction();
    void endAction();
    // Whether the call fails with the time-out (after holding it when it must).
    bool meet(const char* call);

    ui::VirtualClock* clock_;
    const std::int64_t actionMs_;
    const std::thread::id testThread_;
    mutable std::mutex mutex_;
    std::condition_variable released_;
    bool stopped_ = false;
    std::string stopAt_;
    bool holding_ = false;
    int depth_ = 0;
    std::int64_t spentMs_ = 0; // of the current action, while held
    bool expired_ = false;     // the current action's time is up
    int met_ = 0;
};

// The memory spooler (or any) behind a scheduler that may stop answering (Stall). The current
// printer is kept here once set, as the CUPS backend keeps it, so setting it never waits.
class StallingSpooler : public Spooler {
  public:
    StallingSpooler(Spooler& answers, Stall& stall) : answers_(answers), stall_(stall) {}

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
    void beginAction() override;
    void endAction() override;

  private:
    Spooler& answers_;
    Stall& stall_;
    bool currentKnown_ = false;
};

// How the core of a page test reaches its memory spooler.
enum class SpoolerPath {
    Direct,           // the memory spooler itself
    Stalling,         // behind a Stall, called on the test's thread (a frozen window)
    StallingOnWorker, // the same from a worker spooler, as the programs call it
};
// The spooler in front of `answers` for that path; null for Direct.
std::unique_ptr<Spooler> spoolerFor(SpoolerPath path, Spooler& answers, Stall& stall, ui::App& app);

} // namespace spooler
