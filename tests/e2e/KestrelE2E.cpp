// Kestrel's delivery routes through its pages, with the real programs (Plover, Wren,
// kestrel.bat, rundll32), the real scheduler and a fake printer on a local port.
#include "tests/e2e/FastClock.h"
#include "tests/e2e/PrivateCups.h"

#include "kestrel/core/Core.h"
#include "kestrel/core/JobFrame.h"
#include "kestrel/pages/Pages.h"
#include "kestrel/pages/PortSelect.h"
#include "kestrel/pages/ProgressDlg.h"
#include "platform/net/Tcp.h"
#include "platform/process/Processes.h"
#include "platform/spooler/WorkerSpooler.h"
#include "platform/spooler/cups/CupsSpooler.h"
#include "platform/sys/System.h"
#include "tests/fixtures/LoopbackPrinter.h"
#include "tests/fixtures/TempFolder.h"
#include "tests/support/Harness.h"
#include "tests/support/StepOutcome.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>
#include <unistd.h>

namespace {

using namespace e2e;
namespace fs = std::filesystem;

const std::string kCommands = "store tcpip 1 ip 192.168.10.20\r\nsave\r\n";
const std::string kPrinterUpdateError = "ERROR!  Unable to Update Printer Settings.\r\n"
                                        "An unexpected error occurred during printer "
                                        "configuration.\r\n"
                                        "Please see the printer for the error condition.\r\n"
                                        "\r\n"
                                        "Operation cannot continue. The wizard will exit.";

// The wizard as the program wires it, with scripted message boxes and a fast clock. Its
// program folder holds links to the real Plover, Wren and rundll32.
struct Wizard {
    Wizard(const std::string& folder, const spooler::CupsLimits& limits)
        : system(folder), processes(folder), spooler(spooler::makeCupsSpooler(limits)),
          core(kestrel::CoreServices{app, system, processes, *spooler, network}), pages(app, core) {
        core.setPages(pages);
    }
    ~Wizard() {
        if (!app.ended()) {
            for (ui::Form* f : pages.all()) {
                app.dispatch([f] { f->Unload(); });
            }
        }
    }

    FastClock clock;
    testing_support::ScriptedMessageBoxes boxes;
    testing_support::ScriptedFileBrowser browser;
    ui::App app{clock, boxes, browser};
    sys::RealSystem system;
    proc::RealProcessRunner processes;
    std::unique_ptr<spooler::Spooler> spooler;
    net::RealNetwork network;
    kestrel::Core core;
    kestrel::KestrelPages pages;
};

class KestrelE2E : public PrivateCupsTest {
  protected:
    void SetUp() override {
        PrivateCupsTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) {
            return;
        }
        folder = makeFolder("kestrel");
        for (const char* program : {PLOVER_PATH, WREN_PATH, RUNDLL32_PATH}) {
            fs::create_symlink(program, fs::path(folder) / fs::path(program).filename());
        }
        previous = fs::current_path();
        fs::current_path(folder);
        wizard = std::make_unique<Wizard>(folder, limits);
        // The wizard's waits last until the scheduler has done its part, however busy the
        // machine is.
        PrivateCups* scheduler = cups;
        wizard->clock.settled = [scheduler] { return scheduler->settled(); };
    }
    void TearDown() override {
        wizard.reset();
        if (!previous.empty()) {
            fs::current_path(previous);
        }
    }

    // The port page as the user leaves it; it fills its lists through Plover and Wren.
    void choosePort(const std::function<void(kestrel::PortSelect&)>& choice) {
        wizard->app.dispatch([&] {
            wizard->pages.get<kestrel::PortSelect>().Show();
            choice(wizard->pages.get<kestrel::PortSelect>());
        });
        wizard->core.ws.SetupCommands = kCommands;
    }

    // Shows the progress page and lets the run go on until the program ends.
    void deliver() {
        wizard->app.dispatch([&] { wizard->pages.get<kestrel::ProgressDlg>().Show(); });
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (!wizard->app.ended() && std::chrono::steady_clock::now() < deadline) {
            wizard->app.runFor(100);
        }
        EXPECT_TRUE(wizard->app.ended()) << "the run did not end";
        EXPECT_TRUE(wizard->boxes.allShown()) << wizard->boxes.pending() << " boxes not shown";
    }

    bool printerExists(const std::string& name) {
        return spooler::makeCupsSpooler()->printerInfo(name).ok();
    }

    spooler::CupsLimits limits; // the wizard's own spooler
    std::string folder;
    fs::path previous;
    std::unique_ptr<Wizard> wizard;
};

// A stopped scheduler holds the wizard's spooler calls until their limit: a short one is enough
// to see them give up (Wren, a program of its own, keeps the programs' 4 seconds).
class KestrelStoppedSchedulerE2E : public KestrelE2E {
  protected:
    KestrelStoppedSchedulerE2E() { limits.actionMs = 1000; }
};

TEST_F(KestrelE2E, LocalPortDeliversTheFramedJobThroughTheTemporaryPrinter) {
    cups->addDevice(Scheme::Parallel, "lp0");
    choosePort([](kestrel::PortSelect& ports) {
        ASSERT_EQ(ports.LPTCombo->items(), std::vector<std::string>{"LPT1:"});
        ports.PortLPT->setValue(1);
    });
    wizard->boxes.expect("Process Successful", "Kestrel Request Successfully Sent");

    deliver();

    EXPECT_EQ(cups->received(Scheme::Parallel, "lp0"), kestrel::nicSetupJob(kCommands));
    EXPECT_FALSE(printerExists("Kestrel"));
    EXPECT_FALSE(fs::exists(fs::path(folder) / "kestrel.bat"));
    EXPECT_FALSE(fs::exists(fs::path(folder) / "kestrel.txt"));
}

TEST_F(KestrelE2E, ADeviceThatNeverTakesTheJobEndsInThePrinterUpdateError) {
    cups->addDevice(Scheme::Usb, "NEVER");
    cups->setRefusing(Scheme::Usb, "NEVER", true);
    choosePort([](kestrel::PortSelect& ports) {
        ASSERT_EQ(ports.USBCombo->listCount(), 1);
        ports.PortUSB->setValue(1);
    });
    wizard->boxes.expect("Printer Error", kPrinterUpdateError);

    deliver();

    // The job was purged (a printer with jobs is never deleted) and the printer removed.
    EXPECT_FALSE(printerExists("Kestrel")) << cups->errorLog();
    EXPECT_EQ(cups->received(Scheme::Usb, "NEVER"), "");
}

// Against a hung scheduler each step gives up within 5 s and takes its failure path.
TEST_F(KestrelStoppedSchedulerE2E, PortPageAndReportGiveUpSoonOnAStoppedScheduler) {
    cups->addDevice(Scheme::Parallel, "lp0");
    ASSERT_EQ(
        spooler::makeCupsSpooler()->addPrinter("Kestrel", spooler::kGenericTextDriver, "LPT1:"), 0);
    wizard->spooler->setCurrentPrinter("Kestrel");
    SuspendedScheduler stopped(*cups);
    using std::chrono::steady_clock;

    wizard->boxes.expect("Program Error", "Unable to get list of available local ports.\r\n"
                                          "Using default port settings.");
    auto start = steady_clock::now();
    wizard->app.dispatch([&] { wizard->pages.get<kestrel::PortSelect>().Show(); });
    EXPECT_LT(steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_EQ(wizard->pages.get<kestrel::PortSelect>().LPTCombo->items(),
              std::vector<std::string>{"LPT1:"});
    EXPECT_TRUE(wizard->boxes.allShown());

    std::string printerPart, jobPart;
    start = steady_clock::now();
    EXPECT_EQ(wizard->core.printPath().CheckPrinter(printerPart, jobPart),
              "Cannot open printer Kestrel, Error: 1460");
    EXPECT_LT(steady_clock::now() - start, std::chrono::seconds(5));
}

TEST_F(KestrelE2E, TcpRouteDeliversTheSameJobToTheListener) {
    fixtures::LoopbackPrinter printer;
    cups->addDevice(Scheme::Parallel, "lp0");
    choosePort([](kestrel::PortSelect& ports) {
        ports.PortTCP->setValue(1);
        ports.IPAddr->setText("127.0.0.1");
    });
    wizard->pages.get<kestrel::ProgressDlg>().setPrinterPortForTests(printer.port());
    wizard->boxes.expect("Process Successful", "Kestrel Request Successfully Sent");

    deliver();

    EXPECT_TRUE(printer.waitForClosed(1, 5000));
    EXPECT_EQ(printer.received(), kestrel::nicSetupJob(kCommands));
}

TEST_F(KestrelE2E, FileRouteWritesTheJob) {
    std::string file = folder + "/nic.txt";
    cups->addDevice(Scheme::Parallel, "lp0");
    choosePort([&](kestrel::PortSelect& ports) {
        ports.PortFile->setValue(1);
        ports.FileName->setText(file);
    });
    wizard->boxes.expect("Process Successful", "Kestrel Request Successfully Sent");

    deliver();

    EXPECT_EQ(test_fixtures::readAll(file), kestrel::nicSetupJob(kCommands) + "\r\n");
}

// A call from the worker, as the programs make it, to a scheduler that stopped answering, on
// the real clock: the window's events run on (a timer of 100 ms misses at most one tick), and
// the call still fails at the action's limit.
using KestrelBesideTheWindowE2E = PrivateCupsTest;

TEST_F(KestrelBesideTheWindowE2E, AStoppedSchedulerLeavesTheWindowsEventsRunning) {
    spooler::CupsLimits limits;
    limits.actionMs = 1500;
    ui::RealClock clock;
    testing_support::ScriptedMessageBoxes boxes;
    testing_support::ScriptedFileBrowser browser;
    ui::App app{clock, boxes, browser};
    auto spooler = spooler::makeWorkerSpooler([limits] { return spooler::makeCupsSpooler(limits); },
                                              [&app](std::int64_t ms) {
                                                  app.DoEvents();
                                                  app.Sleep(ms);
                                              });
    testing_support::TickProbe probe(app);
    SuspendedScheduler stopped(*cups);

    probe.start();
    int error = 0;
    app.dispatch([&] { error = spooler->printerInfo("Kestrel").error; });
    const std::int64_t took = app.now() - probe.startedAt();

    EXPECT_EQ(spooler::err::Timeout, error);
    EXPECT_GE(took, limits.actionMs);
    EXPECT_LT(took, limits.actionMs + 3000);
    EXPECT_LT(probe.longestGap(app.now()), 300) << "more than one tick of 100 ms missed";
}

} // namespace
