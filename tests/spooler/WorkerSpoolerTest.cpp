#include "platform/spooler/WorkerSpooler.h"
#include "tests/support/MemorySpooler.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace spooler {
namespace {

// What the backend saw, from whichever thread: each step with the thread it ran on. A gate
// holds the backend's printers() until the test opens it, as a scheduler that does not answer.
struct Seen {
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::pair<std::string, std::thread::id>> steps;
    bool gated = false;
    bool inGate = false;

    void note(const std::string& step) {
        std::lock_guard lock(mutex);
        steps.emplace_back(step, std::this_thread::get_id());
        changed.notify_all();
    }
    std::vector<std::string> names() {
        std::lock_guard lock(mutex);
        std::vector<std::string> out;
        for (const auto& s : steps)
            out.push_back(s.first);
        return out;
    }
    void pass() {
        std::unique_lock lock(mutex);
        if (!gated)
            return;
        inGate = true;
        changed.notify_all();
        const bool opened =
            changed.wait_for(lock, std::chrono::seconds(20), [&] { return !gated; });
        inGate = false;
        if (!opened)
            throw std::runtime_error("the gate stayed closed");
    }
    void open() {
        std::lock_guard lock(mutex);
        gated = false;
        changed.notify_all();
    }
    // Waits (real time, bounded) until `what` holds.
    bool await(const std::function<bool()>& what) {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, std::chrono::seconds(20), what);
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
        seen_.pass();
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
    spooler.reset();

    const std::string c = "call";
    EXPECT_EQ((std::vector<std::string>{"made", "begin", c, c, c, c, c, c, c, "end", c, c, c, c,
                                        "destroyed"}),
              seen.names());
    const std::thread::id worker = seen.steps.front().second;
    EXPECT_NE(std::this_thread::get_id(), worker);
    for (const auto& [step, thread] : seen.steps)
        EXPECT_EQ(worker, thread) << step;
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

TEST_F(WorkerSpoolerTest, AWaitLeftByTheProgramsEndLeavesItsCallToEndUnseen) {
    seen.gated = true;
    int idles = 0;
    auto spooler = make([&](std::int64_t) {
        ++idles;
        throw Ended{};
    });
    // The action's end comes while the wait unwinds: it must queue, not wait (a wait would run
    // events there).
    EXPECT_THROW(
        {
            SpoolerAction action(*spooler);
            spooler->printers();
        },
        Ended);
    EXPECT_EQ(1, idles);
    seen.open();
    EXPECT_TRUE(spooler->ports().ok()) << "the spooler goes on after the call left behind";
    EXPECT_EQ((std::vector<std::string>{"made", "begin", "call", "end", "call"}), seen.names());
}

TEST_F(WorkerSpoolerTest, AFailureOfTheBackendReachesTheCaller) {
    auto spooler = makeWorkerSpooler(
        [] {
            struct Broken : MemorySpooler {
                Result<std::vector<std::string>> printers() override {
                    throw std::runtime_error("backend broke");
                }
            };
            return std::make_unique<Broken>();
        },
        {});
    EXPECT_THROW(spooler->printers(), std::runtime_error);
    EXPECT_EQ("", spooler->currentPrinter());
}

TEST_F(WorkerSpoolerTest, EndingNeverWaitsForACallTheBackendIsStuckIn) {
    seen.gated = true;
    auto spooler = make([](std::int64_t) { throw Ended{}; });
    EXPECT_THROW(spooler->printers(), Ended);
    ASSERT_TRUE(seen.await([&] { return seen.inGate; }));

    spooler.reset(); // returns with the call still held
    EXPECT_EQ((std::vector<std::string>{"made", "call"}), seen.names());

    // Once the scheduler answers, the backend goes on its own thread.
    seen.open();
    ASSERT_TRUE(seen.await([&] { return seen.steps.back().first == "destroyed"; }));
    EXPECT_EQ(seen.steps.front().second, seen.steps.back().second);
}

} // namespace
} // namespace spooler
