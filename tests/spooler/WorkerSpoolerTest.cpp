#include "platform/spooler/WorkerSpooler.h"
#include "tests/support/MemorySpooler.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <set>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace spooler {
namespace {

// What the backend did, and the threads it did it on. While `gated`, its printers() waits for
// the test to open the gate, as a scheduler that does not answer; while `broken`, it throws.
struct Seen {
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::string> steps;
    std::set<std::thread::id> threads;
    bool gated = false;
    bool broken = false;

    void change(const std::function<void()>& what) {
        std::lock_guard lock(mutex);
        what();
        changed.notify_all();
    }
    void note(const std::string& step) {
        change([&] {
            steps.push_back(step);
            threads.insert(std::this_thread::get_id());
        });
    }
    void open() {
        change([&] { gated = false; });
    }
    // Waits (real time, bounded) until `what` holds.
    bool await(const std::function<bool()>& what) {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, std::chrono::seconds(20), what);
    }
    std::vector<std::string> names() {
        std::lock_guard lock(mutex);
        return steps;
    }
};

class SeenSpooler : public MemorySpooler {
  public:
    explicit SeenSpooler(Seen& seen) : seen_(seen) {
        seen_.note("made");
        PrinterInfo office;
        office.name = "Office";
        office.port = "LPT1:";
        install(office);
        setPorts({"LPT1:"});
        setBeforeCall([this](MemorySpooler::Call) { seen_.note("call"); });
    }
    ~SeenSpooler() override { seen_.note("destroyed"); }
    Result<std::vector<std::string>> printers() override {
        auto answer = MemorySpooler::printers();
        if (!seen_.await([this] { return !seen_.gated; }))
            throw std::runtime_error("the gate stayed closed");
        if (seen_.broken)
            throw std::runtime_error("backend broke");
        return answer;
    }
    void beginAction() override { seen_.note("begin"); }
    void endAction() override { seen_.note("end"); }

  private:
    Seen& seen_;
};

struct Ended {}; // as the program's end thrown out of a wait

class WorkerSpoolerTest : public ::testing::Test {
  protected:
    std::unique_ptr<Spooler> make(SpoolerIdle idle) {
        return makeWorkerSpooler([this] { return std::make_unique<SeenSpooler>(seen); },
                                 std::move(idle));
    }
    Seen seen;
};

TEST_F(WorkerSpoolerTest, TheBackendLivesOnOneThreadOfItsOwnAndAnswersInOrder) {
    auto spooler = make({});
    {
        SpoolerAction action(*spooler);
        EXPECT_EQ(std::vector<std::string>{"Office"}, spooler->printers().value);
        spooler->setCurrentPrinter("Office");
        EXPECT_EQ("Office", spooler->currentPrinter());
        EXPECT_EQ("LPT1:", spooler->printerInfo("Office").value->port.value_or(""));
        const WriteOutcome written = spooler->writeRawDocument("Office", "Doc", "bytes");
        EXPECT_TRUE(written.complete(5));
        ASSERT_TRUE(written.jobId.has_value());
        EXPECT_EQ(1u, spooler->jobs("Office").value->size());
        EXPECT_EQ(err::None, spooler->deleteJob("Office", *written.jobId));
    }
    EXPECT_EQ(std::vector<std::string>{"LPT1:"}, spooler->ports().value);
    EXPECT_EQ(err::None, spooler->addPrinter("Kestrel", "Generic / Text Only", "LPT1:"));
    EXPECT_EQ(err::None, spooler->deletePrinter("Kestrel"));
    EXPECT_EQ(err::InvalidPrinterName, spooler->printerInfo("Kestrel").error);
    // A failure of the backend reaches the caller, and the worker goes on.
    seen.broken = true;
    EXPECT_THROW(spooler->printers(), std::runtime_error);
    EXPECT_EQ("Office", spooler->currentPrinter());
    spooler.reset();

    const std::string c = "call";
    EXPECT_EQ((std::vector<std::string>{"made", "begin", c, c, c, c, c, c, c, "end", c, c, c, c, c,
                                        c, "destroyed"}),
              seen.names());
    EXPECT_EQ(1u, seen.threads.size());
    EXPECT_EQ(0u, seen.threads.count(std::this_thread::get_id()));
}

TEST_F(WorkerSpoolerTest, ACallMadeWhileAnotherWaitsRunsAfterItWithoutDeadlock) {
    seen.gated = true;
    Spooler* spooler = nullptr;
    int idles = 0;
    bool nestedAnswered = false;
    auto owned = make([&](std::int64_t) {
        ++idles;
        if (idles == 1) {
            // A timer or handler that runs during the wait calls the spooler too.
            nestedAnswered = spooler->ports().ok();
            EXPECT_EQ((std::vector<std::string>{"made", "call", "call"}), seen.names())
                << "the second call waits its turn";
        } else if (idles == 2) {
            seen.open(); // the first call's answer comes while the second waits
        }
    });
    spooler = owned.get();
    EXPECT_TRUE(spooler->printers().ok());
    EXPECT_TRUE(nestedAnswered);
    EXPECT_GE(idles, 2);
}

// The program ends during a wait, with the scheduler holding the call: the action's end
// comes while the wait unwinds and must queue, not wait (a wait would run events there), and
// ending never waits for the call.
TEST_F(WorkerSpoolerTest, AWaitLeftByTheProgramsEndHoldsNothingUp) {
    seen.gated = true;
    auto spooler = make([](std::int64_t) { throw Ended{}; });
    EXPECT_THROW(
        {
            SpoolerAction action(*spooler);
            spooler->printers();
        },
        Ended);
    ASSERT_TRUE(seen.await([&] { return seen.steps.size() == 3; })) << "in the call";

    spooler.reset(); // returns with the call still held
    EXPECT_EQ((std::vector<std::string>{"made", "begin", "call"}), seen.names());

    // Once the scheduler answers, the backend goes on its own thread.
    seen.open();
    ASSERT_TRUE(seen.await([&] { return seen.steps.back() == "destroyed"; }));
    EXPECT_EQ(1u, seen.threads.size());
}

} // namespace
} // namespace spooler
