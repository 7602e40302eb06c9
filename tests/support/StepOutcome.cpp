#include "tests/support/StepOutcome.h"

#include <gtest/gtest.h>

namespace testing_support {

StepOutcome outcomeOf(const Harness& h, const std::optional<std::string>& log,
                      const std::string& folder, const spooler::MemorySpooler& spooler,
                      const spooler::Stall& stall, const TickProbe& probe, std::int64_t startMs) {
    StepOutcome o;
    for (const auto& box : h.boxes.shown())
        o.boxes.push_back(box.title + ": " + box.text);
    for (std::string line : crlfLines(log.value_or(""))) {
        if (line.empty())
            continue;
        const std::size_t dash = line.find(" - ");
        line = dash == std::string::npos ? line : line.substr(dash + 3);
        for (std::size_t at; !folder.empty() && (at = line.find(folder)) != std::string::npos;)
            line.replace(at, folder.size(), "FOLDER");
        o.log.push_back(line);
    }
    o.forms = h.visibleForms();
    for (const auto& d : spooler.documents())
        o.jobs.push_back(d.printer + ": " + d.bytes);
    o.ended = h.ended();
    o.tookMs = h.app.now() - startMs;
    o.spoolerCallsUnanswered = stall.met();
    o.longestGap = probe.longestGap(h.app.now());
    return o;
}

void expectSameEndBesideTheWindow(const StepOutcome& frozen, const StepOutcome& beside) {
    ASSERT_GT(frozen.spoolerCallsUnanswered, 0) << "the step met no stopped scheduler";
    EXPECT_GE(frozen.longestGap, 4000) << "a call on the window's thread freezes it";

    EXPECT_LE(beside.longestGap, 200) << "the window's events ran at most one tick late";
    EXPECT_EQ(frozen.boxes, beside.boxes);
    EXPECT_EQ(frozen.log, beside.log);
    EXPECT_EQ(frozen.forms, beside.forms);
    EXPECT_EQ(frozen.jobs, beside.jobs);
    EXPECT_EQ(frozen.ended, beside.ended);
    EXPECT_EQ(frozen.tookMs, beside.tookMs) << "each call ends at its limit";
    EXPECT_EQ(frozen.spoolerCallsUnanswered, beside.spoolerCallsUnanswered);
}

} // namespace testing_support
