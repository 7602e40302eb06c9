// Osprey's configuration run through its pages on the real scheduler: a raw queue that
// carries a supported model's driver name, a fake device on a local port, and the
// printer's SNMP agent on a fake datagram network (port 161 is out of reach here).
#include "tests/e2e/FastClock.h"
#include "tests/e2e/PrivateCups.h"

#include "osprey/core/Core.h"
#include "platform/registry/MemoryRegistry.h"
#include "platform/spooler/cups/CupsSpooler.h"
#include "platform/sys/System.h"
#include "tests/osprey_pages/OspreyFixture.h"
#include "tests/support/FakeProcessRunner.h"
#include "tests/support/FakeUdp.h"
#include "tests/support/Harness.h"

#include <chrono>
#include <filesystem>
#include <thread>

namespace {

using namespace e2e;
namespace fs = std::filesystem;

const std::string kQueue = "LabelPrinter";
const std::string kDriver = "Corvane V6204R";
const std::string kAddress = "10.0.0.7";
const char* const kPortsKey =
    "SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\Standard TCP/IP Port\\Ports\\";

// What the device receives for a new configuration with 4 in/sec and the model's default
// sensing: the settings, a probe, the calibration, a probe.
using osprey_test::kCalibrateJob;
using osprey_test::kSettingsJob;
const std::string kProbeJob = "!KVT_SETUP\r\nKVT_END\r\n";

// The wizard as the program wires it, on the real scheduler, with scripted message boxes,
// a fast clock and the printer's agent behind the fake datagram network.
struct Wizard {
    explicit Wizard(const std::string& folder)
        : system(folder), processes(clock),
          core(osprey::CoreServices{app, system, processes, *spooler, udp, registry}),
          pages(app, core) {
        core.setPages(pages);
        udp.setResponder([this](const net::FakeUdpNetwork::Sent& s) { return agent.answer(s); });
        agent.values[osprey::kSysDescrOid] = "Corvane Corlink print server v2.1";
        agent.values[osprey::kDisplayLine1Oid] = "MEDIA OUT";
        agent.values[osprey::kDisplayLine2Oid] = "LOAD LABELS";
    }
    ~Wizard() {
        if (!app.ended()) {
            for (ui::Form* f : pages.all()) {
                app.dispatch([f] { f->Unload(); });
            }
        }
    }

    static std::unique_ptr<spooler::Spooler> cupsSpooler() {
        spooler::CupsLimits limits;
        limits.rawDrivers = {kDriver};
        return spooler::makeCupsSpooler(limits);
    }

    FastClock clock;
    testing_support::ScriptedMessageBoxes boxes;
    testing_support::ScriptedFileBrowser browser;
    ui::App app{clock, boxes, browser};
    sys::RealSystem system;
    proc::FakeProcessRunner processes;
    std::unique_ptr<spooler::Spooler> spooler = cupsSpooler();
    net::FakeUdpNetwork udp{&clock};
    registry::MemoryRegistry registry;
    osprey_test::SnmpPeer agent;
    osprey::Core core;
    osprey::OspreyPages pages;
};

class OspreyE2E : public PrivateCupsTest {
  protected:
    void SetUp() override {
        PrivateCupsTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) {
            return;
        }
        folder = makeFolder("osprey");
        previous = fs::current_path();
        fs::current_path(folder);
        wizard = std::make_unique<Wizard>(folder);
        // The job checks' waits last until the scheduler has done its part, however busy
        // the machine is.
        PrivateCups* scheduler = cups;
        wizard->clock.settled = [scheduler] { return scheduler->settled(); };
        // The label printer: a raw queue on a fake parallel device.
        cups->addDevice(Scheme::Parallel, "lp0");
        ASSERT_EQ(wizard->spooler->addPrinter(kQueue, kDriver, "LPT1:"), 0) << cups->errorLog();
    }
    void TearDown() override {
        wizard.reset();
        if (!previous.empty()) {
            fs::current_path(previous);
        }
    }

    osprey::OspreyPages& pages() { return wizard->pages; }
    void click(const ui::ControlRef& control) {
        ui::Control& c = *control;
        ASSERT_TRUE(c.enabled() && c.visible()) << c.form().name() << "." << control.name();
        wizard->app.dispatch([&c] { c.userClick(); });
    }
    std::string shown() {
        auto forms = wizard->app.visibleForms();
        return forms.empty() ? std::string() : forms.back()->name();
    }

    // Welcome, the printer choice, a new configuration with 4 in/sec, and the hand-over
    // to the run as the user walks it.
    void walkToFinish() {
        wizard->app.dispatch([&] { wizard->core.Main(""); });
        ASSERT_EQ(shown(), "Intro");
        click(pages().get<osprey::Intro>().Next);
        click(pages().get<osprey::SelectDlg>().CfgPrinter);
        click(pages().get<osprey::SelectDlg>().Next);
        ASSERT_EQ(shown(), "Selection");
        // The queue's make and model is the supported driver name, so it is offered.
        ASSERT_EQ(pages().get<osprey::Selection>().PrinterList->items(),
                  std::vector<std::string>{kQueue});
        click(pages().get<osprey::Selection>().Next);
        ASSERT_EQ(shown(), "LoadDlg");
        click(pages().get<osprey::LoadDlg>().Next);
        ASSERT_EQ(shown(), "Operation");
        click(pages().get<osprey::Operation>().Next);
        ASSERT_EQ(shown(), "PrinterSetup");
        auto& setup = pages().get<osprey::PrinterSetup>();
        click(setup.PrintSpeedCB);
        wizard->app.dispatch([&] { ASSERT_TRUE(setup.PrintSpeedCombo->userSelect(3)); });
        wizard->boxes.expectContaining("Save Wizard Settings", "Would you like to save",
                                       ui::mb::No);
        click(setup.Finish);
        ASSERT_EQ(shown(), "FinishDialog");
        wizard->boxes.expectContaining("Calibration Required", "require calibration", ui::mb::Yes);
    }

    // The printer's port is known as a network port, so the wizard asks the printer's agent.
    void portHasAddress() {
        wizard->registry.setValue(registry::HKEY_LOCAL_MACHINE,
                                  std::string(kPortsKey) + "LPT1:", "IPAddress",
                                  registry::textValue(kAddress));
    }
    // The box with the agent's front panel text that a failed step shows.
    void expectPanelText() {
        wizard->boxes.expectContaining("Printer Error",
                                       "Printer Front Panel Message:\r\n\tMEDIA OUT\r\n"
                                       "\tLOAD LABELS\r\n");
    }

    // Starts the run and lets it go on until the program ends or `done` holds.
    void run(const std::function<bool()>& done) {
        click(pages().get<osprey::FinishDialog>().OKButton);
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (!wizard->app.ended() && !done() && std::chrono::steady_clock::now() < deadline) {
            wizard->app.runFor(100);
        }
        EXPECT_TRUE(wizard->boxes.allShown()) << wizard->boxes.pending() << " boxes not shown";
    }

    std::string folder;
    fs::path previous;
    std::unique_ptr<Wizard> wizard;
};

TEST_F(OspreyE2E, EachStepReachesTheDeviceByteExactAndTheRunSucceeds) {
    walkToFinish();
    wizard->boxes.expect("Process Successful", "Printer Setup Request Successfully Sent");

    run([] { return false; });

    EXPECT_TRUE(wizard->app.ended()) << "the run did not end";
    const std::string all = kSettingsJob + kProbeJob + kCalibrateJob + kProbeJob;
    EXPECT_TRUE(cups->waitReceived(Scheme::Parallel, "lp0", all.size()));
    EXPECT_EQ(cups->received(Scheme::Parallel, "lp0"), all) << cups->errorLog();
    EXPECT_TRUE(wizard->agent.asked.empty()) << "no step failed, so the agent was not asked";
}

TEST_F(OspreyE2E, ADeviceThatNeverTakesTheJobShowsThePanelTextAndNoSuccess) {
    cups->setRefusing(Scheme::Parallel, "lp0", true);
    portHasAddress();
    walkToFinish();
    // The settings step fails; the run skips the rest and the wizard ends without the
    // success box (an unexpected box fails the test).
    expectPanelText();

    run([] { return false; });

    EXPECT_TRUE(wizard->app.ended());
    EXPECT_EQ(wizard->agent.asked,
              (std::vector<std::string>{osprey::kSysDescrOid, osprey::kDisplayLine1Oid,
                                        osprey::kDisplayLine2Oid}));
    ASSERT_FALSE(wizard->agent.hosts.empty());
    EXPECT_EQ(wizard->agent.hosts.front(), kAddress);
    EXPECT_EQ(wizard->agent.ports.front(), 161);
    // The wizard's jobs were purged: the device got nothing and gets nothing later.
    auto queue = wizard->spooler->jobs(kQueue);
    ASSERT_TRUE(queue.ok());
    EXPECT_TRUE(queue.value->empty());
    cups->setRefusing(Scheme::Parallel, "lp0", false);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    EXPECT_EQ(cups->received(Scheme::Parallel, "lp0"), "");
}

TEST_F(OspreyE2E, AStepTheDeviceStopsTakingReturnsToSetupWithThePanelText) {
    portHasAddress();
    walkToFinish();
    expectPanelText();
    // The device takes the settings and their probe, then stops.
    cups->takeThenRefuse(Scheme::Parallel, "lp0", 2);

    run([&] { return wizard->boxes.allShown() && pages().get<osprey::PrinterSetup>().visible(); });

    EXPECT_FALSE(wizard->app.ended());
    EXPECT_TRUE(pages().get<osprey::PrinterSetup>().visible());
    EXPECT_EQ(cups->received(Scheme::Parallel, "lp0"), kSettingsJob + kProbeJob);
    EXPECT_EQ(wizard->agent.asked.size(), 3u);
    auto queue = wizard->spooler->jobs(kQueue);
    ASSERT_TRUE(queue.ok());
    EXPECT_TRUE(queue.value->empty()) << "the wizard's jobs are purged";
}

// The listing leaves the last printer listed current; a selection that fails (scheduler
// stopped, chosen printer deleted) keeps the page and leaves no job to that printer.
TEST_F(OspreyE2E, AFailedSelectionKeepsThePageAndNoJobReachesAnotherPrinter) {
    cups->addDevice(Scheme::Parallel, "lp1");
    ASSERT_EQ(wizard->spooler->addPrinter("LabelV7A", kDriver, "LPT2:"), 0) << cups->errorLog();
    wizard->app.dispatch([&] { wizard->core.Main(""); });
    click(pages().get<osprey::Intro>().Next);
    click(pages().get<osprey::SelectDlg>().CfgPrinter);
    click(pages().get<osprey::SelectDlg>().Next);
    auto& selection = pages().get<osprey::Selection>();
    ASSERT_EQ(selection.PrinterList->items().size(), 2u);
    ASSERT_EQ(wizard->core.ws.SelectedPrinter, kQueue);
    wizard->boxes.expectContaining("Osprey", "did not answer in time")
        .expectContaining("Osprey", "Not defined on this Workstation.");
    {
        SuspendedScheduler stopped(*cups);
        click(selection.Next);
    }
    EXPECT_EQ(shown(), "Selection");
    ASSERT_EQ(wizard->spooler->deletePrinter(kQueue), 0);
    click(selection.Next);
    EXPECT_TRUE(wizard->boxes.allShown());
    EXPECT_EQ(shown(), "Selection");
    EXPECT_FALSE(wizard->core.SendNullCmd()) << "a job the program might still send";
    EXPECT_TRUE(
        wizard->spooler->jobs("LabelV7A").value.value_or(std::vector<spooler::JobInfo>{1}).empty());
    EXPECT_EQ(cups->received(Scheme::Parallel, "lp1"), "");
}

// A raw queue may carry a driver name only when the spooler was told of it and the name is
// safe in the generated description file.
TEST_F(OspreyE2E, OnlyKnownDriverNamesSafeInTheDescriptionFileMakeQueues) {
    auto info = wizard->spooler->printerInfo(kQueue);
    ASSERT_TRUE(info.ok());
    EXPECT_EQ(info.value->driver, kDriver);
    EXPECT_EQ(info.value->port, "LPT1:");

    const struct {
        const char* driver;
        bool accepted;
    } cases[] = {
        {"Corvane V6204R", true},  {"Corvane V6104R/300 dpi, v1.2+", true},
        {"Bad \"Quote\"", false},  {"Line\nBreak", false},
        {"Hex <41>", false},       {"Paren (x)", false},
        {" Leading blank", false}, {"", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(spooler::isDescribableDriver(c.driver), c.accepted) << c.driver;
        spooler::CupsLimits limits;
        limits.rawDrivers = {c.driver};
        auto s = spooler::makeCupsSpooler(limits);
        const int e = s->addPrinter("Probe", c.driver, "LPT1:");
        EXPECT_EQ(e == 0, c.accepted) << c.driver << ": " << e;
        if (e == 0) {
            auto probe = s->printerInfo("Probe");
            ASSERT_TRUE(probe.ok());
            EXPECT_EQ(probe.value->driver, c.driver);
            EXPECT_EQ(s->deletePrinter("Probe"), 0);
        }
    }
    EXPECT_FALSE(spooler::isDescribableDriver(std::string(65, 'a')));
    // A name the spooler was not told of stays unknown, however plain.
    EXPECT_NE(spooler::makeCupsSpooler()->addPrinter("Probe", kDriver, "LPT1:"), 0);
}

} // namespace
