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

struct Ended {}; // as the program's end thrown out of a wait

class WorkerSpoolerTest : public ::testing::Test {
  protected:
    // Notes what it does, and on which threads. While `gated`, its printers() waits for the
    // test to open the gate, as a scheduler that does not answer; while `broken`, it throws.
    struct Backend : MemorySpooler {
        explicit Backend(WorkerSpoolerTest& test) : t(test) {
            t.note("made");
            PrinterInfo office;
            office.name = "Office";
            office.port = "LPT1:";
            install(office);
            setPorts({"LPT1:"});
            setBeforeCall([this](Call call) {
                t.note("call");
                if (call == Call::Printers && !t.await([this] { return !t.gated; }))
                    throw std::runtime_error("the gate stayed closed");
                if (call == Call::Printers && t.broken)
                    throw std::runtime_error("backend broke");
            });
        }
        ~Backend() override { t.note("destroyed"); }
        void beginAction() override { t.note("begin"); }
        void endAction() override { t.note("end"); }
        WorkerSpoolerTest& t;
    };

    std::unique_ptr<Spooler> make(SpoolerIdle idle) {
        return makeWorkerSpooler([this] { return std::make_unique<Backend>(*this); },
                                 std::move(idle));
    }
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

    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::string> steps;
    std::set<std::thread::id> threads;
    bool gated = false;
    bool broken = false;
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
    broken = true;
    EXPECT_THROW(spooler->printers(), std::runtime_error);
    EXPECT_EQ("Office", spooler->currentPrinter());
    spooler.reset();

    const std::string c = "call";
    EXPECT_EQ((std::vector<std::string>{"made", "begin", c, c, c, c, c, c, c, "end", c, c, c, c, c,
                                        c, "destroyed"}),
              names());
    EXPECT_EQ(1u, threads.size());
    EXPECT_EQ(0u, threads.count(std::this_thread::get_id()));
}

TEST_F(WorkerSpoolerTest, ACallMadeWhileAnotherWaitsRunsAfterItWithoutDeadlock) {
    gated = true;
    Spooler* spooler = nullptr;
    int idles = 0;
    bool nestedAnswered = false;
    auto owned = make([&](std::int64_t) {
        ++idles;
        if (idles == 1) {
            // A timer or handler that runs during the wait calls the spooler too.
            nestedAnswered = spooler->ports().ok();
            EXPECT_EQ((std::vector<std::string>{"made", "call", "call"}), names())
                << "the second call waits its turn";
        } else if (idles == 2) {
            open(); // the first call's answer comes while the second waits
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
    gated = true;
    auto spooler = make([](std::int64_t) { throw Ended{}; });
    EXPECT_THROW(
        {
            SpoolerAction action(*spooler);
            spooler->printers();
        },
        Ended);
    ASSERT_TRUE(await([&] { return steps.size() == 3; })) << "in the call";

    spooler.reset(); // returns with the call still held
    EXPECT_EQ((std::vector<std::string>{"made", "begin", "call"}), names());

    // Once the scheduler answers, the backend goes on its own thread.
    open();
    ASSERT_TRUE(await([&] { return steps.back() == "destroyed"; }));
    EXPECT_EQ(1u, threads.size());
}

} // namespace
} // namespace spooler
