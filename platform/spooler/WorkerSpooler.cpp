#include "platform/spooler/WorkerSpooler.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <future>
#include <mutex>
#include <thread>

namespace spooler {

namespace {

// A scheduler on this PC answers most calls within this; the caller's events run only for a
// call that takes longer.
constexpr auto kQuickAnswer = std::chrono::milliseconds(5);
// How long the caller idles between two looks at the answer.
constexpr std::int64_t kIdleMs = 10;

using Task = std::function<void(Spooler&)>;

// One call or action step on its way to the worker. `left` is set for a call whose caller
// stopped waiting for it (the program ended during the wait); null for a step nobody waits for.
struct Job {
    Task run;
    std::shared_ptr<std::atomic<bool>> left;
};

// The jobs on their way to the worker. The worker holds it for as long as it runs, so a worker
// left in a call when the spooler goes still has it.
struct Queue {
    std::mutex mutex;
    std::condition_variable wake;
    std::deque<Job> jobs;
    bool stopping = false;
    std::shared_ptr<std::atomic<bool>> running; // `left` of the call the backend is in
};

void serve(const std::shared_ptr<Queue>& queue,
           const std::function<std::unique_ptr<Spooler>()>& makeBackend) {
    std::unique_ptr<Spooler> backend = makeBackend();
    for (;;) {
        Job job;
        {
            std::unique_lock lock(queue->mutex);
            queue->running.reset();
            queue->wake.wait(lock, [&] { return queue->stopping || !queue->jobs.empty(); });
            if (queue->stopping)
                break;
            job = std::move(queue->jobs.front());
            queue->jobs.pop_front();
            queue->running = job.left;
        }
        job.run(*backend);
    }
    backend.reset(); // on the thread that made it
}

class WorkerSpooler final : public Spooler {
  public:
    WorkerSpooler(std::function<std::unique_ptr<Spooler>()> makeBackend, SpoolerIdle idle)
        : queue_(std::make_shared<Queue>()), idle_(std::move(idle)),
          worker_([queue = queue_, make = std::move(makeBackend)] { serve(queue, make); }) {}

    ~WorkerSpooler() override {
        bool stuck = false;
        {
            std::lock_guard lock(queue_->mutex);
            queue_->stopping = true;
            queue_->jobs.clear(); // nobody waits for them any more
            stuck = queue_->running && *queue_->running;
        }
        queue_->wake.notify_all();
        // A call left behind may be held by the scheduler until its limit: it ends on its own,
        // the program does not wait. Anything else the worker is in ends at once.
        if (stuck)
            worker_.detach();
        else
            worker_.join();
    }

    WorkerSpooler(const WorkerSpooler&) = delete;
    WorkerSpooler& operator=(const WorkerSpooler&) = delete;

    Result<std::vector<std::string>> printers() override {
        return call<Result<std::vector<std::string>>>([](Spooler& s) { return s.printers(); });
    }
    std::string currentPrinter() override {
        return call<std::string>([](Spooler& s) { return s.currentPrinter(); });
    }
    void setCurrentPrinter(const std::string& name) override {
        call<void>([name](Spooler& s) { s.setCurrentPrinter(name); });
    }
    Result<PrinterInfo> printerInfo(const std::string& printer) override {
        return call<Result<PrinterInfo>>([printer](Spooler& s) { return s.printerInfo(printer); });
    }
    Result<std::vector<JobInfo>> jobs(const std::string& printer) override {
        return call<Result<std::vector<JobInfo>>>(
            [printer](Spooler& s) { return s.jobs(printer); });
    }
    int deleteJob(const std::string& printer, std::uint32_t jobId) override {
        return call<int>([printer, jobId](Spooler& s) { return s.deleteJob(printer, jobId); });
    }
    WriteOutcome writeRawDocument(const std::string& printer, const std::string& document,
                                  const std::string& bytes) override {
        return call<WriteOutcome>([printer, document, bytes](Spooler& s) {
            return s.writeRawDocument(printer, document, bytes);
        });
    }
    Result<std::vector<std::string>> ports() override {
        return call<Result<std::vector<std::string>>>([](Spooler& s) { return s.ports(); });
    }
    int addPrinter(const std::string& name, const std::string& driver,
                   const std::string& port) override {
        return call<int>(
            [name, driver, port](Spooler& s) { return s.addPrinter(name, driver, port); });
    }
    int deletePrinter(const std::string& name) override {
        return call<int>([name](Spooler& s) { return s.deletePrinter(name); });
    }
    // Queued in order with the calls; nothing to wait for. endAction runs also while a wait
    // unwinds (the program ended inside it), where no event may run.
    void beginAction() override {
        post({[](Spooler& s) { s.beginAction(); }, nullptr});
    }
    void endAction() override {
        post({[](Spooler& s) { s.endAction(); }, nullptr});
    }

  private:
    void post(Job job) {
        {
            std::lock_guard lock(queue_->mutex);
            queue_->jobs.push_back(std::move(job));
        }
        queue_->wake.notify_one();
    }

    // Runs the work on the worker and waits for its answer, idling meanwhile. The task owns
    // the call's arguments and answer, so a wait left by an exception leaves nothing behind
    // that the worker could still touch.
    template <class R> R call(std::function<R(Spooler&)> work) {
        auto task = std::make_shared<std::packaged_task<R(Spooler&)>>(std::move(work));
        auto left = std::make_shared<std::atomic<bool>>(false);
        std::future<R> answer = task->get_future();
        post({[task](Spooler& s) { (*task)(s); }, left});
        struct Leave {
            std::atomic<bool>& left;
            bool answered = false;
            ~Leave() {
                if (!answered)
                    left = true;
            }
        } leave{*left};
        if (answer.wait_for(kQuickAnswer) != std::future_status::ready) {
            if (!idle_)
                answer.wait();
            while (answer.wait_for(std::chrono::seconds(0)) != std::future_status::ready)
                idle_(kIdleMs);
        }
        leave.answered = true;
        return answer.get();
    }

    std::shared_ptr<Queue> queue_;
    SpoolerIdle idle_;
    std::thread worker_;
};

} // namespace

std::unique_ptr<Spooler> makeWorkerSpooler(std::function<std::unique_ptr<Spooler>()> makeBackend,
                                           SpoolerIdle idle) {
    return std::make_unique<WorkerSpooler>(std::move(makeBackend), std::move(idle));
}

} // namespace spooler
