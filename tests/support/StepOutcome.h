#pragma once
#include "tests/support/Harness.h"
#include "tests/support/MemorySpooler.h"
#include "tests/support/StallingSpooler.h"
#include "tests/support/TickProbe.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace testing_support {

// What a step of a wizard left that a user or the printer could see, and how the window's
// events fared meanwhile.
struct StepOutcome {
    std::vector<std::string> boxes; // title and text
    std::vector<std::string> log;   // the log's messages, without their times
    std::vector<std::string> forms; // visible at the end
    std::vector<std::string> jobs;  // what the spooler received
    bool ended = false;
    std::int64_t tookMs = 0;
    int spoolerCallsUnanswered = 0;
    std::int64_t longestGap = 0; // between two ticks of the probe
};

// The outcome of a step that began at `startMs`; `log`: the log file's text, where the test's
// own `folder` reads "FOLDER".
StepOutcome outcomeOf(const Harness& h, const std::optional<std::string>& log,
                      const std::string& folder, const spooler::MemorySpooler& spooler,
                      const spooler::Stall& stall, const TickProbe& probe, std::int64_t startMs);

// A step played with its spooler calls on the window's thread (`frozen`) and beside it
// (`beside`): the first met the stopped scheduler and froze the window for a call's time; the
// second kept the window's events running (at most one tick of 100 ms late) and ended the same
// way at the same time.
void expectSameEndBesideTheWindow(const StepOutcome& frozen, const StepOutcome& beside);

// Plays a step both ways, each with a wizard of its own made for its spooler path, and checks
// them as above. `play` returns what the step left.
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
    expectSameEndBesideTheWindow(frozen, beside);
}

} // namespace testing_support
