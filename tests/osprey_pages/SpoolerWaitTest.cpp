// A scheduler that stops answering, met by each of the wizard's spooler calls. Every step is
// played twice: with the calls on the wizard's own thread (the window froze for the calls'
// time) and from the worker, as the program makes them. The window's events must run all
// through the second (a probe's timer ticks every 100 ms), and the step must end as the first
// did: the same boxes, log lines, pages and jobs, at the same time.
#include "osprey/pages/Selection.h"
#include "tests/osprey_pages/OspreyFixture.h"
#include "tests/support/StepOutcome.h"

namespace osprey_test {
namespace {

using spooler::SpoolerPath;

const std::string kUnanswered =
    osprey::selectionFailureText("Label Printer", spooler::err::Timeout);
const std::string kNoDrivers =
    "No compatible Windows driver found!\r\nYou must have at least one compatible Windows "
    "printer driver installed before you can use this application.\r\nWould you like to "
    "install a Windows printer driver now?";
const std::string kNoDriverSetup = "Error unable to locate the Windows driver setup file.\r\n"
                                   "Please install the Windows driver using your Quick Start "
                                   "CD.\r\nThe wizard will exit.";

struct Step;

// One wizard for one play of a step.
class Wizard : public OspreyFixture {
  public:
    explicit Wizard(SpoolerPath path) : OspreyFixture(path) {}
    void TestBody() override {}
    using OspreyFixture::h;
    using OspreyFixture::pages;
    using OspreyFixture::stall;
    using OspreyFixture::start;
    using OspreyFixture::toSelection;
    testing_support::StepOutcome play(const Step& step);
    // As the printer's selection leaves it: the label printer chosen and current, the run's
    // settings pages made, the print speed to send.
    void chosen() {
        start("LOG");
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
    // The finish page's hand-over to the run.
    void runConfiguration() {
        h.run([&] {
            core.ws.ExitAsked = true;
            core.ws.RequestSent = true;
            pages.get<osprey::ProgressDlg>().Show();
            pages.get<osprey::ProgressDlg>().Start_Job();
        });
    }

    testing_support::TickProbe probe{h.app};
};

// A box the step shows, answered with `answer`.
struct Box {
    std::string title;
    std::string text;
    int answer = ui::mb::Ok;
};

struct Step {
    const char* name;
    std::function<void(Wizard&)> before; // the road to it, the scheduler answering
    std::function<void(Wizard&)> step;   // the scheduler stops answering in it
    std::vector<Box> boxes;
};

void PrintTo(const Step& step, std::ostream* os) {
    *os << step.name;
}

testing_support::StepOutcome Wizard::play(const Step& s) {
    s.before(*this);
    for (const auto& box : s.boxes)
        h.boxes.expect(box.title, box.text, box.answer);
    const std::int64_t start = h.app.now();
    probe.start();
    s.step(*this);
    return testing_support::outcomeOf(h, read("Log.txt"), folder.path.string(), spooler, stall,
                                      probe, start);
}

class SpoolerWait : public ::testing::TestWithParam<Step> {};

TEST_P(SpoolerWait, EventsRunWhileACallWaitsAndTheStepEndsAsWithAFrozenWindow) {
    testing_support::expectSameEndBesideTheWindow<Wizard>(
        [](Wizard& w) { return w.play(GetParam()); });
}

INSTANTIATE_TEST_SUITE_P(
    Steps, SpoolerWait,
    ::testing::Values(Step{"PrinterList",
                           [](Wizard& w) {
                               w.start("LOG");
                               w.h.click(w.pages.get<osprey::Intro>().Next);
                               w.h.click(w.pages.get<osprey::SelectDlg>().CfgPrinter);
                           },
                           // No printer can be listed: the wizard offers the driver installer.
                           [](Wizard& w) {
                               w.stall.set(true);
                               w.h.click(w.pages.get<osprey::SelectDlg>().Next);
                           },
                           {{"No Compatible Drivers Found", kNoDrivers, ui::mb::Yes},
                            {"Printer Error", kNoDriverSetup}}},
                      Step{"PrinterSelection",
                           [](Wizard& w) { w.toSelection("LOG"); },
                           [](Wizard& w) {
                               w.stall.set(true);
                               w.h.click(w.pages.get<osprey::Selection>().Next);
                           },
                           {{"Osprey", kUnanswered}}},
                      Step{"CurrentPrinterBeforeAJob",
                           [](Wizard& w) { w.chosen(); },
                           [](Wizard& w) {
                               w.stall.set(true);
                               w.runConfiguration();
                           },
                           {{"Printer Error", kFailureWithPanel}}},
                      Step{"SendingAJob",
                           [](Wizard& w) { w.chosen(); },
                           [](Wizard& w) {
                               w.stall.stopAt("writeRawDocument");
                               w.runConfiguration();
                           },
                           // The printer could not be opened: the print path's own box first.
                           {{"Osprey", "The Printer Name you typed wasn't recognized."},
                            {"Printer Error", kFailureWithPanel}}},
                      Step{"JobCheck",
                           [](Wizard& w) { w.chosen(); },
                           [](Wizard& w) {
                               w.stall.stopAt("jobs");
                               w.runConfiguration();
                           },
                           {{"Printer Error", kFailureWithPanel}}}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- the user's input while the printer's selection waits ----

// Next on the printer's selection with the scheduler stopped, calls from the worker as the
// program makes them; `input` comes a second into the wait, a second printer is listed.
class InputDuringAWait : public OspreyFixture {
  protected:
    InputDuringAWait() : OspreyFixture(SpoolerPath::StallingOnWorker) {
        spooler::PrinterInfo wide;
        wide.name = "Wide";
        wide.driver = "Corvane QR6108";
        wide.port = "USB001";
        spooler.install(wide);
    }

  public:
    using OspreyFixture::h;
    osprey::Selection& selection() { return pages.get<osprey::Selection>(); }

  protected:
    void nextWith(const std::function<void(InputDuringAWait&)>& input) {
        ASSERT_NO_FATAL_FAILURE(toSelection("LOG"));
        ASSERT_EQ(kLabelPrinter, core.ws.SelectedPrinter);
        stall.set(true);
        start_ = h.app.now();
        h.later(1000, [this, input] { input(*this); });
        h.click(selection().Next);
    }
    std::int64_t took() const { return h.app.now() - start_; }
    // Log lines that hold `fragment`.
    int logged(const std::string& fragment) {
        int n = 0;
        for (const std::string& line : testing_support::crlfLines(read("Log.txt").value_or("")))
            n += line.find(fragment) != std::string::npos ? 1 : 0;
        return n;
    }

  private:
    std::int64_t start_ = 0;
};

struct Input {
    const char* name;
    std::function<void(InputDuringAWait&)> act;
};

void PrintTo(const Input& input, std::ostream* os) {
    *os << input.name;
}

class InputThatWouldActAgain : public InputDuringAWait,
                               public ::testing::WithParamInterface<Input> {};

// Input that would start a second action (another Next, a step back, another printer) is
// dropped: the action under way runs once and ends as it would have alone.
TEST_P(InputThatWouldActAgain, IsDroppedAndTheActionRunsOnce) {
    h.boxes.expect("Osprey", kUnanswered);
    nextWith(GetParam().act);

    EXPECT_TRUE(h.boxes.allShown());
    EXPECT_EQ(1u, h.boxes.shown().size()) << "one box, of one Next";
    EXPECT_EQ(1, stall.met()) << "the scheduler was asked once";
    EXPECT_EQ(1, logged("...Next_Click: the printing system did not answer in time (1460)"));
    EXPECT_EQ(4000, took());
    EXPECT_EQ("Selection", h.visibleForm());
    EXPECT_EQ(kLabelPrinter, core.ws.SelectedPrinter);
    EXPECT_EQ(kLabelPrinter, selection().PrinterList->text()) << "the list shows the choice";
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, InputThatWouldActAgain,
    ::testing::Values(
        Input{"SecondClickOnNext", [](InputDuringAWait& t) { t.h.click(t.selection().Next); }},
        Input{"EnterActingAsNext",
              [](InputDuringAWait& t) { t.h.key(t.selection(), ui::Key::Enter); }},
        Input{"ClickOnBack", [](InputDuringAWait& t) { t.h.click(t.selection().Prev); }},
        Input{"PickOfAnotherPrinter",
              [](InputDuringAWait& t) {
                  bool picked = true;
                  t.h.run([&] { picked = t.selection().PrinterList->userSelect(1); });
                  EXPECT_FALSE(picked);
              }}),
    [](const auto& info) { return std::string(info.param.name); });

// The way out stays open: the user may leave while a call waits, without waiting for it.
TEST_F(InputDuringAWait, CancelLeavesAtOnce) {
    h.boxes.expect("Caution Exiting Wizard",
                   "Printer setting is not complete. If you quit\r\nthe wizard now, the "
                   "printer will not be updated.\r\nDo you want to exit the wizard?",
                   ui::mb::Yes);
    nextWith([](InputDuringAWait& t) { t.h.click(t.selection().Cancel); });
    EXPECT_TRUE(h.ended());
    EXPECT_EQ(1000, took());
    EXPECT_EQ(0, logged("Next_Click")) << "the call left behind ends unseen";
}

// Answering No to leaving goes back to the wait, which ends as it would have.
TEST_F(InputDuringAWait, EscapeAnsweredNoWaitsOn) {
    h.boxes.expectContaining("Caution Exiting Wizard", "Do you want to exit the wizard?",
                             ui::mb::No);
    h.boxes.expect("Osprey", kUnanswered);
    nextWith([](InputDuringAWait& t) { t.h.key(t.selection(), ui::Key::Escape); });
    EXPECT_FALSE(h.ended());
    EXPECT_EQ(4000, took());
    EXPECT_EQ("Selection", h.visibleForm());
}

} // namespace
} // namespace osprey_test
