// A scheduler that stops answering during the delivery through a local port: the run's calls
// (selecting the temporary printer, checking it is current, the report, the purge) are played
// on the wizard's own thread (the window froze for their time) and from the worker, as the
// program makes them. The window's events must run all through the second, which must end as
// the first did.
#include "kestrel/pages/ProgressDlg.h"
#include "tests/kestrel_pages/KestrelFixture.h"
#include "tests/support/StepOutcome.h"

namespace kestrel_test {
namespace {

using spooler::SpoolerPath;

// How the scheduler stops answering during the run, and the boxes the run then shows.
struct Stop {
    const char* name;
    const char* atCall; // the first call it no longer answers; null: from the start
    std::vector<std::pair<std::string, std::string>> boxes;
};

void PrintTo(const Stop& stop, std::ostream* os) {
    *os << stop.name;
}

class Wizard : public KestrelFixture {
  public:
    explicit Wizard(SpoolerPath path) : KestrelFixture(path) {}
    void TestBody() override {}

    // The run through LPT1: from the progress page to the program's end. The set-up commands,
    // programs of their own here, still make and delete the temporary printer.
    testing_support::StepOutcome deliverThroughTheLocalPort(const Stop& stop) {
        core.ws.LogEnabled = true;
        core.ws.SetupCommands = "save\r\n";
        h.run([&] { pages.get<kestrel::PortSelect>().PortLPT->setValue(1); });
        for (const auto& [title, text] : stop.boxes)
            h.boxes.expect(title, text);
        const std::int64_t start = h.app.now();
        probe.start();
        if (stop.atCall)
            stall.stopAt(stop.atCall);
        else
            stall.set(true);
        h.run([&] { pages.get<kestrel::ProgressDlg>().Show(); });
        waitUntil([this] { return h.ended(); }, 120000);
        EXPECT_TRUE(h.ended());
        return testing_support::outcomeOf(h, read("Log.txt"), folder.path.string(), spooler, stall,
                                          probe, start);
    }

    testing_support::TickProbe probe{h.app};
};

class SpoolerWait : public ::testing::TestWithParam<Stop> {};

TEST_P(SpoolerWait, DeliveryThroughTheLocalPortKeepsTheWindowsEventsRunning) {
    testing_support::expectSameEndBesideTheWindow<Wizard>(
        [](Wizard& w) { return w.deliverThroughTheLocalPort(GetParam()); });
}

const std::pair<std::string, std::string> kNotDefined{
    "Program Error", "Printer: Kestrel\r\nNot defined on this Workstation.\r\n"
                     "Run Setup and select a valid printer to continue."};
const std::pair<std::string, std::string> kUpdateError{"Printer Error", kPrinterUpdateError};

INSTANTIATE_TEST_SUITE_P(Stops, SpoolerWait,
                         ::testing::Values(
                             // Selecting the temporary printer, checking it is current, the purge.
                             Stop{"FromTheStart", nullptr, {kNotDefined, kUpdateError}},
                             Stop{"AtTheJob",
                                  "writeRawDocument",
                                  {{"Kestrel", "The Printer Name you typed wasn't recognized."},
                                   kUpdateError}},
                             Stop{"AtTheReport", "jobs", {kUpdateError}}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace kestrel_test
