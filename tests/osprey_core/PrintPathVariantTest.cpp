// The print path with this wizard's options, over the memory spooler, the fake runner and
// virtual time.
#include "osprey/core/PrintPathVariant.h"
#include "tests/printpath/PrintPathFixture.h"

namespace osprey {
namespace {

class PrintPathVariantTest : public PrintPathFixture {
  protected:
    PrintPathVariantTest() : PrintPathFixture(printPathOptions(), "/opt/osprey") {}
};

TEST_F(PrintPathVariantTest, ReportLogLinesInOrder) {
    spool.install(printer("Label"));
    spool.setCurrentPrinter("Label");
    spool.addJob("Label", jobNamed("Osprey Command", 0x10 | 0x8));
    std::string p, j;
    path().CheckPrinter(p, j);
    // The 20 lines of the job's details stand between "...CheckPrinter: " and "JobStr=".
    std::vector<std::string> lines;
    for (const auto& l : host.log)
        if (l.find('\t') == std::string::npos)
            lines.push_back(l);
    const std::string jobStr = "Job ID = 1\r\nTotal Pages = 1\r\n";
    EXPECT_EQ(lines, (std::vector<std::string>{
                         "...CheckPrinter",
                         "...CheckPrinter:PrinterName:Label",
                         "...CheckPrinter:GetPrinter rc:0",
                         "...CheckPrinter:BytesNeeded:" +
                             std::to_string(printpath::printerPart(printer("Label")).size()),
                         "...CheckPrinter:GetPrinter rc:1",
                         "...CheckPrinterStatus",
                         "...CheckPrinter:CheckPrinterStatus rc:Printer Status = Ready\r\n",
                         "...CheckPrinter:EnumJobs size of buffer:0",
                         "...CheckPrinter:EnumJobs job info:1",
                         "...CheckPrinter: \r\n",
                         "JobStr=" + jobStr,
                         "tempStr=Spooling  ",
                         "tempStr=Spooling  Printing  ",
                         "JobStr & tempStr=" + jobStr + "Spooling  Printing  \r\n",
                         "...CheckPrinter: Exit",
                     }));
    EXPECT_EQ(host.log.size(), lines.size() + 20);
}

TEST_F(PrintPathVariantTest, WithoutPrinterReportsTheOpenFailure) {
    std::string p, j;
    EXPECT_EQ(path().CheckPrinter(p, j), "Cannot open printer , Error: 1801");
}

TEST_F(PrintPathVariantTest, SendUsesItsNameAndWritesNoLog) {
    spool.install(printer("Label"));
    spool.setCurrentPrinter("Label");
    EXPECT_TRUE(path().SendToPrinter("x"));
    EXPECT_EQ(spool.documents()[0].name, "Osprey Command");
    EXPECT_TRUE(host.log.empty());
}

TEST_F(PrintPathVariantTest, PurgeIgnoresPrinterNameAndLogsExit) {
    spool.install(printer("Label"));
    spool.install(printer("Kestrel"));
    spool.setCurrentPrinter("Label");
    auto a = spool.addJob("Label", jobNamed("Osprey Command"));
    spool.addJob("Label", jobNamed("Kestrel Command"));
    spool.addJob("Kestrel", jobNamed("Osprey Command"));
    host.printerName = "Kestrel";
    path().PurgePrintQueue();
    EXPECT_EQ(spool.deletedJobs(), (std::vector<std::uint32_t>{a}));
    EXPECT_EQ(host.log,
              (std::vector<std::string>{"...PurgePrintQueue",
                                        "...KillPrintJob " + std::to_string(a), "...KillPrintJob",
                                        "...KillPrintJob:Exit", "...PurgePrintQueue: Exit"}));
}

// Polls every 100 ms; what the program says on standard error stays out of the log.
TEST_F(PrintPathVariantTest, RunAndWait) {
    const struct {
        bool scripted;
        std::int64_t runsMs, returnsAt;
    } cases[] = {{true, 0, 100}, {true, 1050, 1100}, {false, 0, 100}};
    for (const auto& c : cases) {
        const std::int64_t start = harness.app.now();
        if (c.scripted) {
            runner.on("prog", {c.runsMs, {}, {}, false});
            runner.writesErrors("prog", "prog: access denied (5)\n");
        }
        std::string message;
        EXPECT_TRUE(path().RunAndWait(c.scripted ? "prog" : "missing", message, 2000000000));
        EXPECT_EQ(harness.app.now() - start, c.returnsAt) << c.runsMs;
        EXPECT_EQ(message, "");
    }
    EXPECT_TRUE(host.log.empty());
}

} // namespace
} // namespace osprey
