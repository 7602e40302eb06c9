#pragma once
#include "platform/ui/Form.h"
#include "tests/support/Harness.h"
#include "tests/support/Stall.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace testing_support {

// The window's event loop as a user meets it: a timer on a form of its own (never shown)
// that ticks every 100 ms of the program's clock while events run.
class TickProbe : public ui::Form {
  public:
    explicit TickProbe(ui::App& app) : ui::Form(app, "TickProbe") {}

    void start() {
        startedAt_ = app().now();
        load();
    }
    std::int64_t startedAt() const { return startedAt_; }
    // The longest time without a tick from the start to `untilMs`.
    std::int64_t longestGap(std::int64_t untilMs) const {
        std::int64_t longest = 0, last = startedAt_;
        for (std::int64_t t : ticks_)
            longest = std::max(longest, t - std::exchange(last, t));
        return std::max(longest, untilMs - last);
    }

  protected:
    void Build() override {
        timer("Tick", 100, true).onTimer = [this] { ticks_.push_back(app().now()); };
    }

  private:
    std::int64_t startedAt_ = 0;
    std::vector<std::int64_t> ticks_;
};

// What a wizard's step, watched by `probe` from its start, left that a user or the printer
// could see (boxes, log lines without their times, the pages visible at the end, the jobs
// received, whether the program ended, how long it took), and the longest the window's
// events did not run.
struct StepOutcome {
    std::string seen;
    std::int64_t longestGap = 0;
};

inline StepOutcome outcomeOf(const Harness& h, const std::string& log, const std::string& folder,
                             const spooler::MemorySpooler& spooler, const TickProbe& probe) {
    std::string seen;
    for (const auto& box : h.boxes.shown())
        seen += "box " + box.title + ": " + box.text + "\n";
    for (std::string line : crlfLines(log)) {
        if (const std::size_t dash = line.find(" - "); dash != std::string::npos)
            line.erase(0, dash + 3);
        for (std::size_t at; (at = line.find(folder)) != std::string::npos;)
            line.replace(at, folder.size(), "FOLDER"); // each play has a folder of its own
        seen += line.empty() ? "" : "log " + line + "\n";
    }
    for (const std::string& form : h.visibleForms())
        seen += "page " + form + "\n";
    for (const auto& d : spooler.documents())
        seen += "job " + d.printer + ": " + d.bytes + "\n";
    seen += "ended " + std::to_string(h.ended()) + ", took " +
            std::to_string(h.app.now() - probe.startedAt()) + " ms";
    return {seen, probe.longestGap(h.app.now())};
}

// Plays a step twice, each with a wizard of its own: with its spooler calls on the window's
// thread, which froze for the calls' time, and from the worker as the programs make them,
// where the window's events must keep running (a tick at most one late) and the step end
// the same way at the same time.
template <class Wizard, class Play> void expectSameEndBesideTheWindow(const Play& play) {
    StepOutcome frozen, beside;
    {
        Wizard wizard(spooler::SpoolerPath::Stalling);
        frozen = play(wizard);
    }
    {
        Wizard wizard(spooler::SpoolerPath::StallingOnWorker);
        beside = play(wizard);
    }
    EXPECT_GE(frozen.longestGap, 4000) << "a call met the stopped scheduler and froze the window";
    EXPECT_LE(beside.longestGap, 200) << "the window's events ran at most one tick late";
    EXPECT_EQ(frozen.seen, beside.seen) << "each call ends at its limit as before";
}

} // namespace testing_support
