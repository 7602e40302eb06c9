// The print path routines over the memory spooler, the fake runner and virtual time.
#include "tests/fixtures/TempFolder.h"
#include "tests/printpath/PrintPathFixture.h"

#include <algorithm>
#include <functional>

using namespace printpath;
using spooler::MemorySpooler;

namespace {

// The print path's own lines and limits, with the interface wizard's document name.
const PrintPathOptions kOptions{.documentName = "Kestrel Command"};

class PrintPathTest : public PrintPathFixture {
  protected:
    PrintPathTest() : PrintPathFixture(kOptions, "/opt/kestrel") {}
};

// ---- CheckPrinter ----

TEST_F(PrintPathTest, ReportOfReadyPrinterWithEmptyQueue) {
    spool.install(printer("Kestrel"));
    spool.setCurrentPrinter("Kestrel");
    std::string p, j;
    EXPECT_EQ(path().CheckPrinter(p, j), "Printer info retrieved");
    EXPECT_EQ(p, "Printer Status = Ready\r\nPrinter Name = Kestrel\r\n"
                 "Printer Driver Name = Generic / Text Only\r\nPrinter Port Name = LPT1:\r\n");
    EXPECT_EQ(j, "No Print Jobs!");
    std::string port, driver, id;
    EXPECT_EQ(path().getPrinterStatus(p, port, driver), "Ready");
    EXPECT_EQ(path().getJobStatus(j, id), "No Print Jobs!");
}

TEST_F(PrintPathTest, ReportLogLinesInOrder) {
    spool.install(printer("Kestrel"));
    spool.setCurrentPrinter("Kestrel");
    std::string p = "P", j = "J";
    path().CheckPrinter(p, j);
    EXPECT_EQ(host.log, (std::vector<std::string>{
                            "...CheckPrinter: Printer:[P] Job:[J]",
                            "...CheckPrinter: PrinterName:[Kestrel]",
                            "...CheckPrinter: call OpenPrinter",
                            "...CheckPrinter: call GetPrinter to get buffer size",
                            "...CheckPrinter: Call GetPrinter to get the status",
                            "...CheckPrinter: Call CheckPrinterStatus to check if printer is in "
                            "ready state",
                            "...CheckPrinterStatus",
                            "...CheckPrinter: Exit",
                        }));
}

TEST_F(PrintPathTest, ReportAppendsJobLinesToThePartPassedIn) {
    spool.install(printer("P", spooler::pst::Printing));
    spool.setCurrentPrinter("P");
    spool.addJob("P", jobNamed("Kestrel Command"));
    spooler::JobInfo second = jobNamed("Other", 0);
    second.totalPages = 3;
    spool.addJob("P", second);
    std::string p, j = "earlier\r\n";
    path().CheckPrinter(p, j);
    EXPECT_EQ(p.substr(0, p.find("\r\n")), "Printer Status = Printing  ");
    EXPECT_EQ(j, "earlier\r\nJob ID = 1\r\nTotal Pages = 1\r\nSpooling  \r\n"
                 "Job ID = 2\r\nTotal Pages = 3\r\nReady!  \r\n\r\n");
}

TEST_F(PrintPathTest, ReportWithMissingSpoolerTextsReadsThemAsBlank) {
    spooler::PrinterInfo info;
    info.name = "P";
    spool.install(info);
    spool.setCurrentPrinter("P");
    std::string p, j;
    path().CheckPrinter(p, j);
    EXPECT_EQ(p, "Printer Status = Ready\r\nPrinter Name = P\r\nPrinter Driver Name =  \r\n"
                 "Printer Port Name =  \r\n");
}

TEST_F(PrintPathTest, FailedJobEnumerationIsNotAnEmptyQueue) {
    spool.install(printer("P"));
    spool.setCurrentPrinter("P");
    spool.failNext(MemorySpooler::Call::Jobs, 1722);
    std::string p, j = "before";
    EXPECT_EQ(path().CheckPrinter(p, j), " > EnumJobs Failed on second call! <  Error = 1722");
    EXPECT_EQ(j, "before");
    EXPECT_NE(p, ""); // the printer part stays filled
    std::string id;
    EXPECT_NE(path().getJobStatus(j, id), "No Print Jobs!");
}

TEST_F(PrintPathTest, NoPrinterInstalledLeavesPartsUntouched) {
    std::string p = "p", j = "j";
    EXPECT_EQ(path().CheckPrinter(p, j), "Printer info retrieved");
    EXPECT_EQ(p, "p");
    EXPECT_EQ(j, "j");
    EXPECT_EQ(host.log.back(), "...CheckPrinter: No Printers Defined On PC");
}

TEST_F(PrintPathTest, ReportFailureTexts) {
    spool.install(printer("P"));
    spool.setCurrentPrinter("Gone");
    std::string p, j;
    EXPECT_EQ(path().CheckPrinter(p, j), "Cannot open printer Gone, Error: 1801");
    spool.setCurrentPrinter("P");
    spool.failNext(MemorySpooler::Call::PrinterInfo, 50);
    EXPECT_EQ(path().CheckPrinter(p, j), "Couldn't get Printer Status!  Error = 50");
    EXPECT_EQ(p, "");
}

// ---- SelectPrinter ----

TEST_F(PrintPathTest, SelectMatchesExactNameOnly) {
    spool.install(printer("kestrel"));
    spool.install(printer("Other"));
    spool.setCurrentPrinter("Other");
    EXPECT_FALSE(path().SelectPrinter("Kestrel"));
    EXPECT_EQ(spool.currentPrinter(), "Other");
    ASSERT_EQ(host.errors.size(), 1u);
    EXPECT_EQ(host.errors[0].text, "Printer: Kestrel\r\nNot defined on this Workstation.\r\n"
                                   "Run Setup and select a valid printer to continue.");
    EXPECT_FALSE(host.errors[0].exitFlag);
    EXPECT_EQ(host.errors[0].title, "");
    EXPECT_EQ(host.log.back(), "Invalid Printer Specified: Kestrel");
}

TEST_F(PrintPathTest, SelectPausedPrinterMakesItCurrentButNotReady) {
    spool.install(printer("Kestrel", spooler::pst::Paused));
    EXPECT_FALSE(path().SelectPrinter("Kestrel"));
    EXPECT_EQ(spool.currentPrinter(), "Kestrel");
    ASSERT_EQ(host.errors.size(), 1u);
    EXPECT_EQ(host.errors[0].text, "Printer not ready");
    EXPECT_EQ(host.log.back(), "Printer Not Ready: Kestrel");
    EXPECT_EQ(host.statusPort, "LPT1:");
}

TEST_F(PrintPathTest, SelectReadyPrinter) {
    auto info = printer("Kestrel");
    info.port = "USB001";
    spool.install(info);
    EXPECT_TRUE(path().SelectPrinter("Kestrel"));
    EXPECT_TRUE(host.errors.empty());
    EXPECT_EQ(host.statusPort, "USB001");
    EXPECT_EQ(host.statusDriver, "Generic / Text Only");
    EXPECT_EQ(host.log.back(), "Selected Printer Name: Kestrel");
}

// The boxes stay as they are; the log names what the spooler said.
TEST_F(PrintPathTest, FailedSpoolerCallsPutTheirCauseInTheLog) {
    const std::pair<int, const char*> causes[] = {
        {spooler::err::ServiceUnavailable, "(no scheduler is running) (1722)"},
        {spooler::err::AccessDenied,
         "access denied (the printing system's administrators only) (5)"},
        {spooler::err::Timeout, "did not answer in time (1460)"},
    };
    spool.install(printer("Kestrel"));
    spool.setCurrentPrinter("Kestrel");
    for (auto [error, words] : causes) {
        spool.failNext(MemorySpooler::Call::Printers, error);
        EXPECT_FALSE(path().SelectPrinter("Kestrel"));
        EXPECT_NE(host.errors.back().text.find("Not defined on this Workstation."),
                  std::string::npos);
        EXPECT_EQ(host.log.back(), std::string("...SelectPrinter: ") + spooler::errorText(error) +
                                       " (" + std::to_string(error) + ")");
        EXPECT_NE(host.log.back().find(words), std::string::npos);

        spool.failNext(MemorySpooler::Call::PrinterInfo, error);
        std::string p, j;
        EXPECT_EQ(path().CheckPrinter(p, j),
                  "Cannot open printer Kestrel, Error: " + std::to_string(error));
        EXPECT_NE(std::find(host.log.begin(), host.log.end(),
                            printpath::spoolerCauseLine("CheckPrinter", error)),
                  host.log.end());
    }
}

// Each routine is one user action on the spooler, so its calls share one time limit.
TEST_F(PrintPathTest, EachRoutineIsOneSpoolerAction) {
    struct Counting : MemorySpooler {
        void beginAction() override {
            if (depth++ == 0)
                ++actions;
        }
        void endAction() override { --depth; }
        int depth = 0, actions = 0;
        bool callOutside = false;
    } counting;
    counting.install(printer("Kestrel"));
    counting.setCurrentPrinter("Kestrel");
    counting.addJob("Kestrel", jobNamed("Kestrel Command"));
    counting.setBeforeCall(
        [&](MemorySpooler::Call) { counting.callOutside |= counting.depth == 0; });
    PrintPath pp({counting, runner, system, harness.app, host}, kOptions);
    std::string p, j;
    const std::function<void()> routines[] = {
        [&] { pp.SelectPrinter("Kestrel"); }, [&] { pp.CheckPrinter(p, j); },
        [&] { pp.SendToPrinter("x"); }, [&] { pp.PurgePrintQueue(); }};
    for (const auto& routine : routines) {
        counting.actions = 0;
        routine();
        EXPECT_EQ(counting.actions, 1);
        EXPECT_EQ(counting.depth, 0);
    }
    EXPECT_FALSE(counting.callOutside);
}

// ---- SendToPrinter ----

TEST_F(PrintPathTest, SendWritesOneAnsiDocumentByteExact) {
    spool.install(printer("Kestrel"));
    spool.setCurrentPrinter("Kestrel");
    EXPECT_TRUE(path().SendToPrinter("!KVT_SETUP\r\nstore ifc 2 wlan ssid \xC3\xA9t\xC3\xA9\r\n"));
    ASSERT_EQ(spool.documents().size(), 1u);
    EXPECT_EQ(spool.documents()[0].name, "Kestrel Command");
    EXPECT_EQ(spool.documents()[0].bytes, "!KVT_SETUP\r\nstore ifc 2 wlan ssid \xE9t\xE9\r\n");
    EXPECT_EQ(host.log.back(), "sending job to printer: Kestrel");
}

TEST_F(PrintPathTest, SendToUnknownPrinterShowsBoxAndFails) {
    spool.setCurrentPrinter("Nowhere");
    EXPECT_FALSE(path().SendToPrinter("x"));
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(host.boxes[0].text, "The Printer Name you typed wasn't recognized.");
    EXPECT_EQ(host.boxes[0].flags, 0);
    EXPECT_EQ(host.boxes[0].title, "Kestrel Wizard");
    EXPECT_EQ(host.log, (std::vector<std::string>{"sending job to printer: Nowhere",
                                                  "...SendToPrinter: no such printer (1801)"}));
}

TEST_F(PrintPathTest, SendReportsEveryIncompleteStage) {
    spool.install(printer("P"));
    spool.setCurrentPrinter("P");
    using Stage = MemorySpooler::WriteStage;
    for (Stage stage : {Stage::Start, Stage::Write, Stage::End}) {
        spool.failWriteAt(stage, 5, 3);
        EXPECT_FALSE(path().SendToPrinter("0123456789")) << static_cast<int>(stage);
    }
    EXPECT_TRUE(host.boxes.empty());
    EXPECT_TRUE(path().SendToPrinter("0123456789"));
}

TEST_F(PrintPathTest, SendRefusesTextWithoutAnsiForm) {
    spool.install(printer("P"));
    spool.setCurrentPrinter("P");
    EXPECT_FALSE(path().SendToPrinter("snow \xE2\x98\x83"));
    EXPECT_TRUE(spool.documents().empty());
}

// ---- purge ----

TEST_F(PrintPathTest, PurgeDeletesExactlyOwnJobsOfTheNamedPrinter) {
    spool.install(printer("Kestrel"));
    spool.install(printer("Current"));
    spool.setCurrentPrinter("Current");
    auto a = spool.addJob("Kestrel", jobNamed("Kestrel Command"));
    spool.addJob("Kestrel", jobNamed("Letter"));
    auto c = spool.addJob("Kestrel", jobNamed("Job: Kestrel Command (2)"));
    spool.addJob("Kestrel", jobNamed("kestrel command"));
    spool.addJob("Current", jobNamed("Kestrel Command"));
    host.printerName = "Kestrel";
    path().PurgePrintQueue();
    EXPECT_EQ(spool.deletedJobs(), (std::vector<std::uint32_t>{a, c}));
    EXPECT_EQ(spool.queue("Kestrel").size(), 2u);
    EXPECT_EQ(host.log, (std::vector<std::string>{"...PurgePrintQueue",
                                                  "...KillPrintJob " + std::to_string(a),
                                                  "...KillPrintJob " + std::to_string(c)}));
}

// An empty document name is in every job's name: such a purge would delete other users'
// jobs, so it deletes nothing.
TEST_F(PrintPathTest, PurgeWithAnEmptyDocumentNameDeletesNothing) {
    spool.install(printer("Kestrel"));
    spool.setCurrentPrinter("Kestrel");
    spool.addJob("Kestrel", jobNamed("Kestrel Command"));
    spool.addJob("Kestrel", jobNamed("Letter"));
    host.printerName = "Kestrel";
    PrintPath({spool, runner, system, harness.app, host}, {.documentName = ""}).PurgePrintQueue();
    EXPECT_EQ(spool.calls(MemorySpooler::Call::DeleteJob), 0);
    EXPECT_EQ(spool.queue("Kestrel").size(), 2u);
}

TEST_F(PrintPathTest, PurgeWithoutNameUsesCurrentPrinter) {
    spool.install(printer("Current"));
    spool.setCurrentPrinter("Current");
    spool.addJob("Current", jobNamed("Kestrel Command"));
    path().PurgePrintQueue();
    EXPECT_EQ(spool.deletedJobs().size(), 1u);
}

TEST_F(PrintPathTest, PurgeOfEmptyQueueDeletesNothing) {
    spool.install(printer("P"));
    spool.setCurrentPrinter("P");
    path().PurgePrintQueue();
    EXPECT_EQ(spool.calls(MemorySpooler::Call::Jobs), 1);
    EXPECT_EQ(spool.calls(MemorySpooler::Call::DeleteJob), 0);
}

TEST_F(PrintPathTest, PurgeToleratesJobsLeavingMeanwhile) {
    spool.install(printer("P"));
    spool.setCurrentPrinter("P");
    spool.addJob("P", jobNamed("Kestrel Command"));
    spool.addJob("P", jobNamed("Kestrel Command"));
    spool.setBeforeCall([&](MemorySpooler::Call c) {
        if (c == MemorySpooler::Call::DeleteJob && spool.calls(c) == 1)
            spool.uninstall("P");
    });
    path().PurgePrintQueue(); // nothing to assert but that it goes on quietly
    EXPECT_EQ(spool.calls(MemorySpooler::Call::DeleteJob), 2);
}

TEST_F(PrintPathTest, NoLogLinesWithLogOff) {
    host.logEnabled = false;
    spool.install(printer("P"));
    spool.setCurrentPrinter("P");
    spool.addJob("P", jobNamed("Kestrel Command"));
    std::string p, j;
    auto pp = path();
    pp.CheckPrinter(p, j);
    pp.PurgePrintQueue();
    pp.SendToPrinter("x");
    EXPECT_TRUE(host.log.empty());
}

// ---- programs ----

TEST_F(PrintPathTest, StartProcessQuotesNonBlankArgument) {
    auto pp = path();
    pp.StartProcess("tool", "  ");
    pp.StartProcess("tool", "a b");
    EXPECT_EQ(runner.started(), (std::vector<std::string>{"tool", "tool \"a b\""}));
}

struct WaitCase {
    const char* name;
    bool scripted;
    std::int64_t runsMs;
    std::int64_t timeoutMs;
    std::int64_t returnsAt;
    bool result;
    std::string message;
};

class RunAndWaitTiming : public PrintPathTest, public ::testing::WithParamInterface<WaitCase> {};

TEST_P(RunAndWaitTiming, VirtualTime) {
    const WaitCase& c = GetParam();
    if (c.scripted)
        runner.on("prog", {c.runsMs, {}, {}, false});
    auto pp = path();
    std::string message;
    bool result = pp.RunAndWait("prog", message, c.timeoutMs);
    EXPECT_EQ(harness.app.now(), c.returnsAt);
    EXPECT_EQ(result, c.result);
    EXPECT_EQ(message, c.message);
    EXPECT_EQ(runner.running(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Table, RunAndWaitTiming,
    ::testing::Values(WaitCase{"Missing", false, 0, 2000000000, 500, true, ""},
                      WaitCase{"Instant", true, 0, 2000000000, 500, true, ""},
                      WaitCase{"TwoSeconds", true, 2000, 2000000000, 2000, true, ""},
                      WaitCase{"Between", true, 1700, 2000000000, 2000, true, ""},
                      WaitCase{"TimedOut", true, 2000, 0, 2000, false,
                               "The process has timed out."}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PrintPathTest, RunAndWaitKeepsEventsRunning) {
    runner.on("prog", {1500, {}, {}, false});
    int ran = 0;
    harness.later(700, [&] { ++ran; });
    std::string message;
    path().RunAndWait("prog", message, 2000000000);
    EXPECT_EQ(ran, 1);
}

// With logging on, a console tool's causes on standard error reach the log.
TEST_F(PrintPathTest, RunAndWaitLogsWhatTheProgramSaysOnStandardError) {
    runner.on("Wren", {100, {}, {}, false});
    runner.writesErrors("Wren", "Wren: access denied (5)\r\n\nend\n");
    std::string message;
    path().RunAndWait("Wren", message, 2000000000);
    EXPECT_EQ(host.log, (std::vector<std::string>{"...RunAndWait: Wren: access denied (5)",
                                                  "...RunAndWait: end"}));
}

// ---- port list ----

class GetPortsTest : public PrintPathTest {
  protected:
    test_fixtures::TempFolder folder{"getports", test_fixtures::TempFolder::Enter::Yes};
    const std::string command = "\"/opt/kestrel/Plover\" Wren.exe";
};

TEST_F(GetPortsTest, RunsWrenThroughQuotedPloverAndReadsTheFile) {
    sys::RealSystem blanks{"/opt/my wizard"};
    runner.on(
        "\"/opt/my wizard/Plover\" Wren.exe",
        {300, [&] { system.writeFile("ports.txt", "LPT1:\r\nCOM1:\r\nUSB001\r\n"); }, {}, false});
    PrintPath pp({spool, runner, blanks, harness.app, host}, kOptions);
    PortTable table;
    EXPECT_EQ(pp.GetPorts(table), 3);
    EXPECT_EQ(table.names[0], "LPT1:");
    EXPECT_EQ(table.names[2], "USB001");
    EXPECT_EQ(runner.started(), (std::vector<std::string>{"\"/opt/my wizard/Plover\" Wren.exe"}));
    EXPECT_EQ(host.log.front(), "...GetPorts");
}

TEST_F(GetPortsTest, NoFileGivesZero) {
    PortTable table;
    EXPECT_EQ(path().GetPorts(table), 0);
    EXPECT_EQ(runner.started(), (std::vector<std::string>{command}));
}

TEST_F(GetPortsTest, EmptyFileGivesZero) {
    runner.on(command, {0, [&] { system.writeFile("ports.txt", ""); }, {}, false});
    PortTable table;
    EXPECT_EQ(path().GetPorts(table), 0);
}

TEST_F(GetPortsTest, KeepsAtMost101Names) {
    std::string many;
    for (int i = 1; i <= 130; ++i)
        many += "COM" + std::to_string(i) + ":\r\n";
    runner.on(command, {0, [&] { system.writeFile("ports.txt", many); }, {}, false});
    PortTable table;
    EXPECT_EQ(path().GetPorts(table), 101);
    EXPECT_EQ(table.names[100], "COM101:");
}

TEST_F(GetPortsTest, StaleFileIsReadWhenListerDidNotRun) {
    system.writeFile("ports.txt", "LPT1:\r\n");
    PortTable table;
    EXPECT_EQ(path().GetPorts(table), 1);
}

} // namespace
