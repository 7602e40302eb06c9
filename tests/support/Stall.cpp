#include "tests/support/Stall.h"

#include "platform/ui/App.h"

#include <chrono>
#include <type_traits>

namespace spooler {

class Stall::Front final : public Spooler {
  public:
    Front(Spooler& answers, Stall& stall) : s_(answers), stall_(stall) {}

    Result<std::vector<std::string>> printers() override {
        return pass(Call::Printers, [&] { return s_.printers(); });
    }
    std::string currentPrinter() override {
        return pass(Call::CurrentPrinter, [&] { return s_.currentPrinter(); });
    }
    void setCurrentPrinter(const std::string& name) override {
        stall_.meet(Call::SetCurrentPrinter); // never waits
        s_.setCurrentPrinter(name);
    }
    Result<PrinterInfo> printerInfo(const std::string& p) override {
        return pass(Call::PrinterInfo, [&] { return s_.printerInfo(p); });
    }
    Result<std::vector<JobInfo>> jobs(const std::string& p) override {
        return pass(Call::Jobs, [&] { return s_.jobs(p); });
    }
    int deleteJob(const std::string& p, std::uint32_t id) override {
        return pass(Call::DeleteJob, [&] { return s_.deleteJob(p, id); });
    }
    WriteOutcome writeRawDocument(const std::string& p, const std::string& document,
                                  const std::string& bytes) override {
        return pass(Call::WriteRawDocument,
                    [&] { return s_.writeRawDocument(p, document, bytes); });
    }
    Result<std::vector<std::string>> ports() override {
        return pass(Call::Ports, [&] { return s_.ports(); });
    }
    int addPrinter(const std::string& name, const std::string& driver,
                   const std::string& port) override {
        return pass(Call::AddPrinter, [&] { return s_.addPrinter(name, driver, port); });
    }
    int deletePrinter(const std::string& name) override {
        return pass(Call::DeletePrinter, [&] { return s_.deletePrinter(name); });
    }

  private:
    template <class Answer> auto pass(Call call, const Answer& answer) -> decltype(answer()) {
        using R = decltype(answer());
        if (!stall_.meet(call))
            return answer();
        R failed{};
        if constexpr (std::is_same_v<R, int>)
            failed = err::Timeout;
        else if constexpr (!std::is_same_v<R, std::string>)
            failed.error = err::Timeout;
        return failed;
    }

    Spooler& s_;
    Stall& stall_;
};

Stall::Stall(SpoolerPath path, Spooler& answers, ui::App& app, ui::VirtualClock& clock)
    : clock_(clock), answers_(answers) {
    if (path == SpoolerPath::Stalling)
        front_ = std::make_unique<Front>(answers, *this);
    else if (path == SpoolerPath::StallingOnWorker)
        front_ =
            makeWorkerSpooler([&answers, this] { return std::make_unique<Front>(answers, *this); },
                              [this, &app](std::int64_t ms) { idle(app, ms); });
}

Stall::~Stall() {
    {
        std::lock_guard lock(mutex_);
        stopped_ = holding_ = false;
        stopAt_.reset();
    }
    ending_ = true; // the pages are gone: no events
    released_.notify_all();
    if (front_)
        front_->currentPrinter(); // queued behind every call before
}

void Stall::idle(ui::App& app, std::int64_t ms) {
    if (!app.ended() && !ending_)
        app.DoEvents();
    std::unique_lock lock(mutex_);
    if (!holding_) {
        lock.unlock();
        std::this_thread::sleep_for(std::chrono::microseconds(200));
        return;
    }
    lock.unlock();
    app.Sleep(ms);
    lock.lock();
    heldMs_ += ms;
    holding_ = heldMs_ < kLimitMs; // released now: the next idle passes no time for it
    released_.notify_all();
}

void Stall::stop(std::optional<Call> from) {
    std::lock_guard lock(mutex_);
    stopped_ = !from;
    stopAt_ = from;
}

bool Stall::meet(Call call) {
    std::unique_lock lock(mutex_);
    stopped_ = stopped_ || stopAt_ == call;
    if (call == Call::SetCurrentPrinter ||
        (call == Call::CurrentPrinter && (currentKnown_ || !stopped_))) {
        currentKnown_ = true;
        return false;
    }
    if (!stopped_)
        return false;
    if (std::this_thread::get_id() == testThread_) {
        clock_.sleepMs(kLimitMs);
        return true;
    }
    heldMs_ = 0;
    holding_ = true;
    // Bounded: a caller that never idles fails the test instead of hanging it.
    released_.wait_for(lock, std::chrono::seconds(20), [this] { return !holding_; });
    holding_ = false;
    return stopped_;
}

} // namespace spooler
