#include "tests/support/StallingSpooler.h"

#include "platform/ui/App.h"

#include <chrono>

namespace spooler {

Stall::Stall(ui::VirtualClock& clock, std::int64_t actionMs)
    : clock_(&clock), actionMs_(actionMs), testThread_(std::this_thread::get_id()) {}

void Stall::set(bool stopped) {
    {
        std::lock_guard lock(mutex_);
        stopped_ = stopped;
        holding_ = holding_ && stopped;
    }
    released_.notify_all();
}

void Stall::stopAt(std::string call) {
    std::lock_guard lock(mutex_);
    stopAt_ = std::move(call);
}

bool Stall::holding() const {
    std::lock_guard lock(mutex_);
    return holding_;
}

void Stall::passed(std::int64_t ms) {
    {
        std::lock_guard lock(mutex_);
        if (!holding_)
            return;
        spentMs_ += ms;
        // Released now: the test's next look must not pass time for it any more.
        holding_ = spentMs_ < actionMs_;
    }
    released_.notify_all();
}

int Stall::met() const {
    std::lock_guard lock(mutex_);
    return met_;
}

SpoolerIdle Stall::idleFor(ui::App& app) {
    return [this, &app](std::int64_t ms) {
        if (!app.ended())
            app.DoEvents();
        if (holding()) {
            app.Sleep(ms);
            passed(ms);
        } else {
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
    };
}

void Stall::settle(Spooler& front) {
    set(false);
    front.currentPrinter(); // queued behind every call before
}

void Stall::beginAction() {
    std::lock_guard lock(mutex_);
    if (depth_++ == 0) {
        spentMs_ = 0;
        expired_ = false;
    }
}

void Stall::endAction() {
    std::lock_guard lock(mutex_);
    if (depth_ > 0)
        --depth_;
}

bool Stall::meet(const char* call) {
    std::unique_lock lock(mutex_);
    stopped_ = stopped_ || stopAt_ == call;
    if (!stopped_)
        return false;
    ++met_;
    if (expired_)
        return true;
    if (std::this_thread::get_id() == testThread_) {
        clock_->sleepMs(actionMs_ - spentMs_);
        spentMs_ = actionMs_;
        expired_ = true;
        return true;
    }
    holding_ = true;
    released_.wait(lock, [this] { return spentMs_ >= actionMs_ || !stopped_; });
    holding_ = false;
    if (spentMs_ < actionMs_)
        return false; // the scheduler answers again
    expired_ = true;
    return true;
}

namespace {
template <class T> Result<T> timedOut() {
    return Result<T>::failure(err::Timeout);
}
} // namespace

Result<std::vector<std::string>> StallingSpooler::printers() {
    SpoolerAction action(*this);
    return stall_.meet("printers") ? timedOut<std::vector<std::string>>() : answers_.printers();
}

std::string StallingSpooler::currentPrinter() {
    SpoolerAction action(*this);
    if (!currentKnown_ && stall_.meet("currentPrinter"))
        return "";
    currentKnown_ = true;
    return answers_.currentPrinter();
}

void StallingSpooler::setCurrentPrinter(const std::string& name) {
    currentKnown_ = true;
    answers_.setCurrentPrinter(name);
}

Result<PrinterInfo> StallingSpooler::printerInfo(const std::string& printer) {
    SpoolerAction action(*this);
    return stall_.meet("printerInfo") ? timedOut<PrinterInfo>() : answers_.printerInfo(printer);
}

Result<std::vector<JobInfo>> StallingSpooler::jobs(const std::string& printer) {
    SpoolerAction action(*this);
    return stall_.meet("jobs") ? timedOut<std::vector<JobInfo>>() : answers_.jobs(printer);
}

int StallingSpooler::deleteJob(const std::string& printer, std::uint32_t jobId) {
    SpoolerAction action(*this);
    return stall_.meet("deleteJob") ? err::Timeout : answers_.deleteJob(printer, jobId);
}

WriteOutcome StallingSpooler::writeRawDocument(const std::string& printer,
                                               const std::string& document,
                                               const std::string& bytes) {
    SpoolerAction action(*this);
    if (stall_.meet("writeRawDocument")) {
        WriteOutcome failed;
        failed.error = err::Timeout;
        return failed;
    }
    return answers_.writeRawDocument(printer, document, bytes);
}

Result<std::vector<std::string>> StallingSpooler::ports() {
    SpoolerAction action(*this);
    return stall_.meet("ports") ? timedOut<std::vector<std::string>>() : answers_.ports();
}

int StallingSpooler::addPrinter(const std::string& name, const std::string& driver,
                                const std::string& port) {
    SpoolerAction action(*this);
    return stall_.meet("addPrinter") ? err::Timeout : answers_.addPrinter(name, driver, port);
}

int StallingSpooler::deletePrinter(const std::string& name) {
    SpoolerAction action(*this);
    return stall_.meet("deletePrinter") ? err::Timeout : answers_.deletePrinter(name);
}

void StallingSpooler::beginAction() {
    stall_.beginAction();
    answers_.beginAction();
}

void StallingSpooler::endAction() {
    answers_.endAction();
    stall_.endAction();
}

std::unique_ptr<Spooler> spoolerFor(SpoolerPath path, Spooler& answers, Stall& stall,
                                    ui::App& app) {
    switch (path) {
    case SpoolerPath::Direct:
        return nullptr;
    case SpoolerPath::Stalling:
        return std::make_unique<StallingSpooler>(answers, stall);
    case SpoolerPath::StallingOnWorker:
        return makeWorkerSpooler(
            [&answers, &stall] { return std::make_unique<StallingSpooler>(answers, stall); },
            stall.idleFor(app));
    }
    return nullptr;
}

} // namespace spooler
