// A scheduler that stops answering, met by each of the wizard's spooler calls, and the user's
// input while such a call waits.
#include "tests/osprey_pages/OspreyFixture.h"
#include "tests/support/StepOutcome.h"

namespace osprey_test {
namespace {

using Call = spooler::MemorySpooler::Call;

const std::string kUnanswered =
    osprey::selectionFailureText("Label Printer", spooler::err::Timeout);

// Where the step is: Next on the printer list or on the printer's selection, or the run.
enum class Where { PrinterList, Selection, Run };

struct Box {
    std::string title, fragment;
    int answer = ui::mb::Ok;
};

struct Step {
    const char* name;
    Where where;
    std::optional<Call> from; // the first call the scheduler no longer answers; none: any
    std::vector<Box> boxes;
};

void PrintTo(const Step& step, std::ostream* os) {
    *os << step.name;
}

class Wizard : public OspreyFixture {
  public:
    explicit Wizard(spooler::SpoolerPath path) : OspreyFixture(path) {}
    void TestBody() override {}

    testing_support::StepOutcome play(const Step& step) {
        if (step.where == Where::Selection)
            toSelection("LOG");
        else
            start("LOG");
        if (step.where == Where::PrinterList) {
            h.click(pages.get<osprey::Intro>().Next);
            h.click(pages.get<osprey::SelectDlg>().CfgPrinter);
        } else if (step.where == Where::Run) {
            // As the printer's selection leaves it, with the print speed to send.
            h.run([&] {
                core.spooler().setCurrentPrinter(kLabelPrinter);
                labelPrinterChosen();
                auto& setup = pages.get<osprey::PrinterSetup>();
                pages.get<osprey::Operation>().load();
                setup.GapCB->setValue(1);
                setup.PrintSpeedCB->setValue(0);
                setup.PrintSpeedCombo->setListIndex(3);
            });
        }
        for (const auto& box : step.boxes)
            h.boxes.expectContaining(box.title, box.fragment, box.answer);
        probe.start();
        stall.stop(step.from);
        if (step.where == Where::PrinterList)
            h.click(pages.get<osprey::SelectDlg>().Next);
        else if (step.where == Where::Selection)
            h.click(pages.get<osprey::Selection>().Next);
        else // the finish page's hand-over
            h.run([&] {
                core.ws.ExitAsked = true;
                core.ws.RequestSent = true;
                pages.get<osprey::ProgressDlg>().Show();
                pages.get<osprey::ProgressDlg>().Start_Job();
            });
        return testing_support::outcomeOf(h, read("Log.txt").value_or(""), folder.path.string(),
                                          spooler, probe);
    }

    testing_support::TickProbe probe{h.app};
};

class SpoolerWait : public ::testing::TestWithParam<Step> {};

TEST_P(SpoolerWait, EventsRunWhileACallWaitsAndTheStepEndsAsWithAFrozenWindow) {
    testing_support::expectSameEndBesideTheWindow<Wizard>(
        [](Wizard& w) { return w.play(GetParam()); });
}

const Box kFailedRun{"Printer Error", kFailureWithPanel};

INSTANTIATE_TEST_SUITE_P(
    Steps, SpoolerWait,
    ::testing::Values(
        // No printer can be listed: the wizard offers the driver installer.
        Step{"PrinterList",
             Where::PrinterList,
             std::nullopt,
             {{"No Compatible Drivers Found", "No compatible Windows driver", ui::mb::Yes},
              {"Printer Error", "unable to locate the Windows driver setup file"}}},
        Step{"PrinterSelection", Where::Selection, std::nullopt, {{"Osprey", kUnanswered}}},
        Step{"CurrentPrinterBeforeAJob", Where::Run, std::nullopt, {kFailedRun}},
        // The printer could not be opened: the print path's own box first.
        Step{"SendingAJob",
             Where::Run,
             Call::WriteRawDocument,
             {{"Osprey", "The Printer Name you typed wasn't recognized."}, kFailedRun}},
        Step{"JobCheck", Where::Run, Call::Jobs, {kFailedRun}}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- the user's input while the printer's selection waits ----

struct Input {
    const char* name;
    std::function<void(testing_support::Harness&, osprey::Selection&)> act;
    int leave = 0; // the answer to the exit box the input brings up; 0: none
};

void PrintTo(const Input& input, std::ostream* os) {
    *os << input.name;
}

class InputDuringAWait : public OspreyFixture, public ::testing::WithParamInterface<Input> {
  protected:
    InputDuringAWait() : OspreyFixture(spooler::SpoolerPath::StallingOnWorker) {}
};

// Next on the printer's selection with the scheduler stopped, its calls from the worker, and
// the input a second into the wait. A second click on Next is dropped: the action under way
// runs once and ends as it would have alone. The way out stays open: the user may leave
// without waiting for the call, or answer No and wait on.
TEST_P(InputDuringAWait, RunsTheActionOnceAndLeavesTheWayOut) {
    const bool leaves = GetParam().leave == ui::mb::Yes;
    if (GetParam().leave)
        h.boxes.expectContaining("Caution Exiting Wizard", "Do you want to exit the wizard?",
                                 GetParam().leave);
    if (!leaves)
        h.boxes.expect("Osprey", kUnanswered);
    ASSERT_NO_FATAL_FAILURE(toSelection("LOG"));
    auto& selection = pages.get<osprey::Selection>();
    stall.stop();
    const std::int64_t start = h.app.now();
    h.later(1000, [&] { GetParam().act(h, selection); });
    h.click(selection.Next);

    EXPECT_TRUE(h.boxes.allShown());
    EXPECT_EQ(leaves, h.ended());
    EXPECT_EQ(leaves ? 1000 : 4000, h.app.now() - start);
    int logged = 0; // a call left behind ends unseen
    for (const std::string& line : testing_support::crlfLines(read("Log.txt").value_or("")))
        logged += line.find("Next_Click") != std::string::npos ? 1 : 0;
    EXPECT_EQ(leaves ? 0 : 1, logged);
    if (!leaves) {
        EXPECT_EQ("Selection", h.visibleForm());
        EXPECT_EQ(kLabelPrinter, core.ws.SelectedPrinter);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, InputDuringAWait,
    ::testing::Values(
        Input{"SecondClickOnNext",
              [](testing_support::Harness& h, osprey::Selection& s) { h.click(s.Next); }},
        Input{"CancelAnsweredYes",
              [](testing_support::Harness& h, osprey::Selection& s) { h.click(s.Cancel); },
              ui::mb::Yes},
        Input{"EscapeAnsweredNo",
              [](testing_support::Harness& h, osprey::Selection& s) { h.key(s, ui::Key::Escape); },
              ui::mb::No}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace osprey_test
