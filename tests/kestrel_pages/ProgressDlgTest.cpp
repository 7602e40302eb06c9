#include "kestrel/pages/ProgressDlg.h"
#include "tests/fixtures/Children.h"
#include "tests/fixtures/LoopbackPrinter.h"
#include "tests/kestrel_pages/KestrelFixture.h"

#include <algorithm>
#include <sys/stat.h>
#include <unistd.h>

namespace kestrel_test {
namespace {

using kestrel::Route;
using spooler::MemorySpooler;

const std::string kCommands = "save\r\n";

bool has(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

// ---- the command texts ----

TEST(ProgressCommands, PrinterSetUpLinesAreExact) {
    EXPECT_EQ("rundll32 printui.dll,PrintUIEntry /q /dl /n \"Kestrel\"",
              kestrel::deletePrinterCommand());
    EXPECT_EQ("rundll32 printui.dll,PrintUIEntry /q /f \"/opt/k/kestrel.txt\" /Xg /n \"Kestrel\"",
              kestrel::dumpPrinterCommand("/opt/k/kestrel.txt"));
    EXPECT_EQ("rundll32 printui.dll,PrintUIEntry /q /u /if /b \"Kestrel\" /f "
              "%windir%\\inf\\ntprint.inf /r \"LPT1:\" /m \"Generic / Text Only\"\r\n",
              kestrel::createPrinterBatchLine("LPT1:").value_or("(refused)"));
}

TEST(ProgressCommands, PortNamesThatCouldBreakTheBatchLineAreRefused) {
    const char* safe[] = {"LPT1:", "COM3:", "USB001", "USB002 (Virtual printer port)"};
    for (const char* port : safe)
        EXPECT_TRUE(kestrel::createPrinterBatchLine(port).has_value()) << port;
    const std::string unsafe[] = {
        "",         "LPT1:\" /m \"x", "COM%PATH%", "USB&calc",          "LPT1:|more",
        "COM1:<in", "COM1:>out",      "USB^001",   "LPT1:\r\nrundll32", std::string("USB\0x", 5),
        "LPT\t1:"};
    for (const auto& port : unsafe)
        EXPECT_FALSE(kestrel::createPrinterBatchLine(port).has_value()) << port;
}

// ---- the run ----

class ProgressRun : public KestrelFixture {
  protected:
    // Chooses the route on the port page as the user left it and sets the command text.
    void route(Route r, const std::string& detail = "") {
        h.run([&] {
            auto& ps = pages.get<kestrel::PortSelect>();
            switch (r) {
            case Route::File:
                ps.PortFile->setValue(1);
                ps.FileName->setText(detail);
                break;
            case Route::Tcp:
                ps.PortTCP->setValue(1);
                ps.IPAddr->setText(detail);
                break;
            case Route::LocalPort:
                ps.PortLPT->setValue(1);
                break;
            }
        });
        core.ws.SetupCommands = kCommands;
    }
    kestrel::ProgressDlg& progress() { return pages.get<kestrel::ProgressDlg>(); }
    void showProgress() {
        h.run([&] { progress().Show(); });
    }
    // Virtual time at which each raw document was written.
    std::vector<std::int64_t> writeTimes;
    void recordWrites() {
        spooler.setBeforeCall([this](MemorySpooler::Call c) {
            if (c == MemorySpooler::Call::WriteRawDocument)
                writeTimes.push_back(h.app.now());
        });
    }
    std::int64_t boxAt = -1;
    void expectSuccessBox() {
        h.boxes.expect("Process Successful", "Kestrel Request Successfully Sent").during([this] {
            boxAt = h.app.now();
        });
    }
    void expectPrinterUpdateError() {
        h.boxes.expect("Printer Error", kPrinterUpdateError).during([this] {
            boxAt = h.app.now();
        });
    }
    // Runs until the program ends.
    void runToEnd(std::int64_t limitMs = 120000) {
        waitUntil([this] { return h.ended(); }, limitMs);
        EXPECT_TRUE(h.ended()) << "the run did not end";
        lastStatus = statusLines();
    }
    std::vector<std::string> lastStatus;
    // The run ended as a failure: nothing counts as sent, and the status log says so.
    void expectFailedRun() {
        EXPECT_TRUE(core.ws.PrinterError);
        EXPECT_FALSE(core.ws.RequestSent);
        EXPECT_FALSE(has(lastStatus, "Process complete."));
        EXPECT_TRUE(has(lastStatus, "Process Failed"));
    }
};

TEST_F(ProgressRun, FileRouteWritesTheJobAndSucceeds) {
    const std::string file = path("nic.txt");
    route(Route::File, file);
    expectSuccessBox();
    showProgress();
    EXPECT_EQ(std::vector<std::string>{"Initializing ...."}, statusLines());
    runToEnd();

    EXPECT_EQ(job(kCommands) + "\r\n", read("nic.txt").value_or("(none)"));
    EXPECT_EQ((std::vector<std::string>{"Initializing ....", "Sending settings to file.",
                                        "Process complete."}),
              lastStatus);
    EXPECT_FALSE(core.ws.PrinterError);
    EXPECT_TRUE(core.ws.RequestSent);
    // The file route still removes a temporary printer, but never creates one.
    EXPECT_GE(processes.count("/dl /n \"Kestrel\""), 1);
    EXPECT_EQ(0, processes.count("Plover kestrel.bat"));
    EXPECT_TRUE(spooler.documents().empty());
    // 0.5 s first tick, deletion (one poll), 5 s pause, 2 s, send, 0.5 s, clean-up, judge.
    EXPECT_NEAR(9500, boxAt, 1000);
}

TEST_F(ProgressRun, StaleDumpFileFromAnEarlierRunDoesNotDecide) {
    write("kestrel.txt", "Printer Name = Kestrel\r\n");
    route(Route::File, path("nic.txt"));
    expectSuccessBox();
    showProgress();
    runToEnd();
    EXPECT_FALSE(exists("kestrel.txt"));
    EXPECT_FALSE(core.ws.PrinterError);
}

TEST_F(ProgressRun, FileThatCannotBeWrittenTakesTheFailurePath) {
    const std::string file = path("no-such-folder/nic.txt");
    route(Route::File, file);
    h.boxes.expectContaining("File Error", "Unable to write the settings to the file");
    expectPrinterUpdateError();
    showProgress();
    runToEnd();

    expectFailedRun();
    EXPECT_TRUE(has(lastStatus, "Program terminated!!!"));
}

TEST_F(ProgressRun, LocalPortSendsThroughTheTemporaryPrinterOnly) {
    route(Route::LocalPort);
    recordWrites();
    expectSuccessBox();
    showProgress();
    runToEnd();

    ASSERT_EQ(1u, spooler.documents().size());
    const auto& doc = spooler.documents()[0];
    EXPECT_EQ("Kestrel", doc.printer);
    EXPECT_EQ("Kestrel Command", doc.name);
    EXPECT_EQ(job(kCommands), doc.bytes);
    EXPECT_EQ("Kestrel", core.ws.PrinterName);

    ASSERT_EQ(1u, processes.batchFiles().size());
    EXPECT_EQ(*kestrel::createPrinterBatchLine("LPT1:"), processes.batchFiles()[0]);
    EXPECT_FALSE(spooler.hasPrinter("Kestrel"));
    EXPECT_TRUE(spooler.hasPrinter(kOfficePrinter));
    EXPECT_FALSE(exists("kestrel.bat")) << "removed when logging is off";
    EXPECT_FALSE(exists("kestrel.txt"));
    EXPECT_EQ((std::vector<std::string>{"Initializing ....", "Sending settings to printer.",
                                        "Rebooting printer to enable new settings.",
                                        "Process complete."}),
              lastStatus);

    // Deletion, creation and the 5 s pause, then 2 s; the 15 s inspection; 0.5 s, 0.5 s.
    ASSERT_EQ(1u, writeTimes.size());
    EXPECT_NEAR(8500, writeTimes[0], 1000);
    EXPECT_NEAR(25000, boxAt, 1500);
}

TEST_F(ProgressRun, JobThatStaysQueuedIsAFailureAndIsPurged) {
    spooler.setWrittenJobLooks(-1); // the printer never takes it
    route(Route::LocalPort);
    std::int64_t judged = -1;
    spooler.setBeforeCall([&](MemorySpooler::Call c) {
        if (c == MemorySpooler::Call::DeleteJob && judged < 0)
            judged = h.app.now();
    });
    expectPrinterUpdateError();
    showProgress();
    runToEnd();

    ASSERT_EQ(1u, spooler.documents().size());
    EXPECT_EQ(std::vector<std::uint32_t>{spooler.documents()[0].jobId}, spooler.deletedJobs());
    EXPECT_FALSE(spooler.hasPrinter("Kestrel")) << "deleted once its job was purged";
    EXPECT_TRUE(core.ws.PrinterError);
    EXPECT_FALSE(core.ws.RequestSent);
    EXPECT_TRUE(has(lastStatus, "... Error Detected. The command failed. Program unable to "
                                "continue."));
    EXPECT_TRUE(has(lastStatus, "Program terminated!!!"));
    // The purge, then a 15 s pause before the error box.
    ASSERT_GE(judged, 0);
    EXPECT_NEAR(judged + 15000, boxAt, 1000);
}

TEST_F(ProgressRun, PrinterThatWasNotCreatedGetsNothingAndTheRunFails) {
    processes.intercept = [](const std::string& line) {
        return line.find("/if") == std::string::npos;
    };
    route(Route::LocalPort);
    h.boxes.expect("Program Error", "Printer: Kestrel\r\nNot defined on this Workstation.\r\n"
                                    "Run Setup and select a valid printer to continue.");
    expectPrinterUpdateError();
    showProgress();
    runToEnd();

    EXPECT_TRUE(spooler.documents().empty()) << "the printer current before must not get it";
    EXPECT_TRUE(core.ws.PrinterError);
    EXPECT_TRUE(has(lastStatus, "Process Failed"));
    EXPECT_FALSE(has(lastStatus, "Process complete."));
}

const std::string kOlderBatch = "rundll32 printui.dll,PrintUIEntry /q /u /if /b \"Kestrel\" /r "
                                "\"LPT9:\" /m \"Generic / Text Only\"\r\n";

// A printer set-up step whose batch file cannot be written stops the run with its failure:
// the older file that is there never runs.
TEST_F(ProgressRun, UnwritableBatchFileStopsTheRunAndRunsNothing) {
    write("kestrel.bat", kOlderBatch);
    ASSERT_EQ(::chmod(path("kestrel.bat").c_str(), 0444), 0);
    core.ws.LogEnabled = true;
    route(Route::LocalPort);
    expectPrinterUpdateError();
    showProgress();
    runToEnd();

    EXPECT_EQ(0, processes.count("Plover kestrel.bat"));
    EXPECT_FALSE(spooler.hasPrinter("Kestrel"));
    EXPECT_TRUE(spooler.documents().empty());
    expectFailedRun();
    const std::string log = read("Log.txt").value_or("");
    EXPECT_NE(log.find("kestrel.bat]: Permission denied"), std::string::npos) << log;
    EXPECT_EQ(read("kestrel.bat"), kOlderBatch) << "left as it was";
}

// Another user plants "ports.txt" and "kestrel.bat" in the programs' folder, the current one,
// where others may write: neither is ever offered or run as the wizard's own.
TEST_F(ProgressRun, PlantedFilesAreNeverOfferedNorRun) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root can make another user's files";
    for (const auto& [name, bytes] : {std::pair<const char*, std::string>{"ports.txt", "LPT9:\r\n"},
                                      {"kestrel.bat", kOlderBatch}}) {
        write(name, bytes);
        ASSERT_TRUE(test_fixtures::plantShared(path(name)));
    }

    // Wren cannot replace the planted listing, which is not offered: the defaults are.
    core.ws.LogEnabled = true;
    h.boxes.expect("Program Error",
                   "Unable to get list of available local ports.\r\nUsing default port settings.");
    h.run([&] { pages.get<kestrel::PortSelect>().Show(); });
    EXPECT_EQ(std::vector<std::string>{"LPT1:"},
              pages.get<kestrel::PortSelect>().LPTCombo->items());
    EXPECT_NE(read("Log.txt").value_or("").find("...GetPorts: cannot read [" + path("ports.txt") +
                                                "]: another user's file in a folder everyone "
                                                "may write"),
              std::string::npos);

    route(Route::LocalPort);
    expectPrinterUpdateError(); // its batch file cannot be written there
    showProgress();
    runToEnd();

    EXPECT_TRUE(processes.batchFiles().empty());
    EXPECT_TRUE(spooler.documents().empty());
    EXPECT_EQ(read("kestrel.bat"), kOlderBatch);
}

struct WriteFailureCase {
    const char* name;
    MemorySpooler::WriteStage stage;
    std::size_t bytesBefore;
    bool openBox; // the print path's own box when the printer cannot be opened
};

class ProgressWriteFailure : public ProgressRun,
                             public ::testing::WithParamInterface<WriteFailureCase> {};

TEST_P(ProgressWriteFailure, JobNotWholeInTheSpoolerIsNeverSuccess) {
    const auto& c = GetParam();
    route(Route::LocalPort);
    spooler.failWriteAt(c.stage, spooler::err::AccessDenied, c.bytesBefore);
    if (c.openBox)
        h.boxes.expect("Kestrel", "The Printer Name you typed wasn't recognized.");
    expectPrinterUpdateError();
    showProgress();
    runToEnd();

    expectFailedRun();
}

INSTANTIATE_TEST_SUITE_P(
    Stages, ProgressWriteFailure,
    ::testing::Values(WriteFailureCase{"Open", MemorySpooler::WriteStage::Open, 0, true},
                      WriteFailureCase{"Start", MemorySpooler::WriteStage::Start, 0, false},
                      WriteFailureCase{"PartWrite", MemorySpooler::WriteStage::Write, 10, false},
                      WriteFailureCase{"End", MemorySpooler::WriteStage::End, 0, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ProgressRun, WithLoggingTheBatchFileStays) {
    core.ws.LogEnabled = true;
    route(Route::LocalPort);
    expectSuccessBox();
    showProgress();
    runToEnd();
    EXPECT_EQ(kestrel::createPrinterBatchLine("LPT1:"), read("kestrel.bat"));
    auto log = read("Log.txt").value_or("");
    EXPECT_NE(std::string::npos, log.find("...LoadDriver: Creating Kestrel driver"));
    EXPECT_NE(std::string::npos, log.find("Not Found ... Job OK"));
}

TEST_F(ProgressRun, TcpRouteSendsEveryByteToThePrinterAndClosesAfterwards) {
    fixtures::LoopbackPrinter printer;
    route(Route::Tcp, "127.0.0.1");
    progress().setPrinterPortForTests(printer.port());
    expectSuccessBox();
    showProgress();
    ASSERT_TRUE(waitConnected());
    runToEnd();

    ASSERT_TRUE(printer.waitForClosed(1, 3000));
    EXPECT_EQ(std::vector<std::string>{job(kCommands)}, printer.connections());
    EXPECT_TRUE(spooler.documents().empty());
    EXPECT_EQ((std::vector<std::string>{"Initializing ....", "Sending settings to printer.",
                                        "Rebooting printer to enable new settings.",
                                        "Process complete."}),
              lastStatus);
}

TEST_F(ProgressRun, TcpPrinterThatNeverAnswersEndsWithTheCommunicationError) {
    route(Route::Tcp, "127.0.0.1");
    progress().setPrinterPortForTests(fixtures::LoopbackPrinter::unusedPort());
    h.boxes
        .expect("Communication Error",
                "Unable to communicate with printer. It maybe offline\r\nThe wizard will exit.")
        .during([this] { boxAt = h.app.now(); });
    showProgress();
    h.wait(10000);
    EXPECT_NEAR(21, progressValue(), 1) << "one step per half second while it waits";
    runToEnd();

    EXPECT_NEAR(20000, boxAt, 1000);
    EXPECT_TRUE(core.ws.PrinterError);
    EXPECT_TRUE(has(lastStatus, "Process Failed"));
    // Without a connection nothing was prepared or sent.
    EXPECT_EQ(0, processes.count("Plover kestrel.bat"));
    EXPECT_TRUE(spooler.documents().empty());
}

TEST_F(ProgressRun, TcpConnectionGoesToPort9100AndClosesAfterTheSend) {
    auto tcp = std::make_shared<ScriptedTcp>();
    network.script(tcp);
    route(Route::Tcp, "10.0.0.5");
    expectSuccessBox();
    showProgress();
    runToEnd();

    EXPECT_EQ(job(kCommands), tcp->sent);
    ASSERT_GE(tcp->events.size(), 3u);
    EXPECT_EQ("connect 10.0.0.5:9100", tcp->events[0]);
    EXPECT_EQ("send " + std::to_string(job(kCommands).size()), tcp->events[1]);
    EXPECT_EQ("close", tcp->events[2]);
}

TEST_F(ProgressRun, TcpSendErrorTakesTheFailurePath) {
    auto tcp = std::make_shared<ScriptedTcp>();
    tcp->sendSucceeds = false;
    network.script(tcp);
    route(Route::Tcp, "10.0.0.5");
    expectPrinterUpdateError();
    showProgress();
    runToEnd();

    expectFailedRun();
    EXPECT_TRUE(has(tcp->events, "close"));
}

TEST_F(ProgressRun, NoStepRunsWhileTheExitRoutineWaitsForTheSaveDialog) {
    // Changed settings, so leaving asks to save and waits for the save dialog.
    core.ws.InitialSettings[0] = "changed";
    route(Route::LocalPort);
    h.boxes.expectContaining("Leaving Wizard Without Saving Settings",
                             "Would you like to save your settings", ui::mb::Yes);
    showProgress();
    // The printer has been prepared (6.5 s); the send would come at 8.5 s.
    h.wait(7000);
    ASSERT_EQ(40, progressValue());
    h.later(0, [this] { progress().userClose(); });
    // The user leaves the save dialog open for half a minute, then cancels it.
    h.later(30000, [this] { pages.get<kestrel::Dialog>().CancelButton->userClick(); });
    h.wait(40000);

    EXPECT_TRUE(h.ended());
    EXPECT_TRUE(spooler.documents().empty()) << "nothing is sent once the exit has begun";
    EXPECT_EQ(0, processes.count("/Xg"));
    EXPECT_FALSE(has(statusLines(), "Sending settings to printer."));
    EXPECT_EQ(-1, barReached(80));
    EXPECT_FALSE(progress().loaded()) << "the page is not created again";
}

} // namespace
} // namespace kestrel_test
