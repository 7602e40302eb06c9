#include "platform/spooler/WorkerSpooler.h"

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

// The calls on their way to the worker. The worker holds it for as long as it runs, so a
// worker left in a call when the spooler goes still has it.
struct Queue {
    std::mutex mutex;
    std::condition_variable wake;
    std::deque<Task> tasks;
    bool stopping = false;
    bool inCall = false; // the worker is in the backend
};

void serve(const std::shared_ptr<Queue>& queue,
           const std::function<std::unique_ptr<Spooler>()>& makeBackend) {
    std::unique_ptr<Spooler> backend = makeBackend();
    for (;;) {
        Task task;
        {
            std::unique_lock lock(queue->mutex);
            queue->inCall = false;
            queue->wake.wait(lock, [&] { return queue->stopping || !queue->tasks.empty(); });
            if (queue->stopping)
                break;
            task = std::move(queue->tasks.front());
            queue->tasks.pop_front();
            queue->inCall = true;
        }
        task(*backend);
    }
    backend.reset(); // on the thread that made it
}

class WorkerSpooler final : public Spooler {
  public:
    WorkerSpooler(std::function<std::unique_ptr<Spooler>()> makeBackend, SpoolerIdle idle)
        : queue_(std::make_shared<Queue>()), idle_(std::move(idle)),
          worker_([queue = queue_, make = std::move(makeBackend)] { serve(queue, make); }) {}

    ~WorkerSpooler() override {
        bool inCall = false;
        {
            std::lock_guard lock(queue_->mutex);
            queue_->stopping = true;
            queue_->tasks.clear(); // nobody waits for them any more
            inCall = queue_->inCall;
        }
        queue_->wake.notify_all();
        // A call the scheduler holds ends by its limit on its own; the program does not wait.
        if (inCall)
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
        post([](Spooler& s) { s.beginAction(); });
    }
    void endAction() override {
        post([](Spooler& s) { s.endAction(); });
    }

  private:
    void post(Task task) {
        {
            std::lock_guard lock(queue_->mutex);
            queue_->tasks.push_back(std::move(task));
        }
        queue_->wake.notify_one();
    }

    // Runs the work on the worker and waits for its answer, idling meanwhile. The task owns
    // the call's arguments and answer, so a wait left by an exception leaves nothing behind
    // that the worker could still touch.
    template <class R> R call(std::function<R(Spooler&)> work) {
        auto task = std::make_shared<std::packaged_task<R(Spooler&)>>(std::move(work));
        std::future<R> answer = task->get_future();
        post([task](Spooler& s) { (*task)(s); });
        if (answer.wait_for(kQuickAnswer) != std::future_status::ready) {
            if (!idle_)
                answer.wait();
            while (answer.wait_for(std::chrono::seconds(0)) != std::future_status::ready)
                idle_(kIdleMs);
        }
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
