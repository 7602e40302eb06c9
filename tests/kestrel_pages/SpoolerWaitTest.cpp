// A scheduler that stops answering during the delivery through a local port: selecting the
// temporary printer, checking it is current, the report, the purge.
#include "kestrel/pages/ProgressDlg.h"
#include "tests/kestrel_pages/KestrelFixture.h"
#include "tests/support/StepOutcome.h"

namespace kestrel_test {
namespace {

using Call = spooler::MemorySpooler::Call;

struct Stop {
    const char* name;
    std::optional<Call> from; // the first call it no longer answers; none: any
    std::vector<std::pair<std::string, std::string>> boxes;
};

void PrintTo(const Stop& stop, std::ostream* os) {
    *os << stop.name;
}

class Wizard : public KestrelFixture {
  public:
    explicit Wizard(spooler::SpoolerPath path) : KestrelFixture(path) {}
    void TestBody() override {}

    // The run through LPT1: from the progress page to the program's end. The set-up commands,
    // programs of their own here, still make and delete the temporary printer.
    testing_support::StepOutcome deliverThroughTheLocalPort(const Stop& stop) {
        core.ws.LogEnabled = true;
        core.ws.SetupCommands = "save\r\n";
        h.run([&] { pages.get<kestrel::PortSelect>().PortLPT->setValue(1); });
        for (const auto& [title, fragment] : stop.boxes)
            h.boxes.expectContaining(title, fragment);
        probe.start();
        stall.stop(stop.from);
        h.run([&] { pages.get<kestrel::ProgressDlg>().Show(); });
        EXPECT_TRUE(waitUntil([this] { return h.ended(); }, 120000));
        return testing_support::outcomeOf(h, read("Log.txt").value_or(""), folder.path.string(),
                                          spooler, probe);
    }

    testing_support::TickProbe probe{h.app};
};

class SpoolerWait : public ::testing::TestWithParam<Stop> {};

TEST_P(SpoolerWait, DeliveryThroughTheLocalPortKeepsTheWindowsEventsRunning) {
    testing_support::expectSameEndBesideTheWindow<Wizard>(
        [](Wizard& w) { return w.deliverThroughTheLocalPort(GetParam()); });
}

const std::pair<std::string, std::string> kUpdateError{"Printer Error", kPrinterUpdateError};

INSTANTIATE_TEST_SUITE_P(
    Stops, SpoolerWait,
    ::testing::Values(Stop{"FromTheStart",
                           std::nullopt,
                           {{"Program Error", "Not defined on this Workstation."}, kUpdateError}},
                      Stop{"AtTheJob",
                           Call::WriteRawDocument,
                           {{"Kestrel", "The Printer Name you typed wasn't recognized."},
                            kUpdateError}},
                      Stop{"AtTheReport", Call::Jobs, {kUpdateError}}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace kestrel_test
