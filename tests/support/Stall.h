#pragma once
#include "platform/spooler/WorkerSpooler.h"
#include "platform/ui/Clock.h"
#include "tests/support/MemorySpooler.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

namespace ui {
class App;
}

namespace spooler {

// How the core of a page test reaches its memory spooler.
enum class SpoolerPath {
    Direct,           // no stall
    Stalling,         // through a Stall, called on the test's thread (a frozen window)
    StallingOnWorker, // the same from a worker spooler, as the programs call it
};

// A scheduler in front of a memory spooler that stops answering when the test says so, on a
// virtual clock: a call that meets it fails with err::Timeout after the CUPS backend's 4 s.
// As in that backend, the current printer once set or read is known without asking.
//
// A call on a worker is held until its caller has idled that time away: events run, and
// clock time passes only while a call is held, so that a call the worker is still carrying
// out takes none, however slowly the machine runs it. A call on the test's own thread cannot
// be held: it stands for a window frozen for that time.
class Stall {
  public:
    using Call = MemorySpooler::Call;
    Stall(SpoolerPath path, Spooler& answers, ui::App& app, ui::VirtualClock& clock);
    // Answers again and waits until the calls before have ended: then nothing of the test's
    // is in use on a worker, which may go.
    ~Stall();

    // What the core calls.
    Spooler& spooler() { return front_ ? *front_ : answers_; }
    // Stops answering now, or from the first call of kind `from` on.
    void stop(std::optional<Call> from = std::nullopt);

  private:
    class Front;
    static constexpr std::int64_t kLimitMs = 4000;

    // Whether a call fails, after holding it.
    bool meet(Call call);
    void idle(ui::App& app, std::int64_t ms);

    ui::VirtualClock& clock_;
    const std::thread::id testThread_ = std::this_thread::get_id();
    std::mutex mutex_;
    std::condition_variable released_;
    bool stopped_ = false;
    std::optional<Call> stopAt_;
    bool currentKnown_ = false;
    bool holding_ = false;
    std::int64_t heldMs_ = 0;
    bool ending_ = false;
    Spooler& answers_;
    std::unique_ptr<Spooler> front_;
};

} // namespace spooler
