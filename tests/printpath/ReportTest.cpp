// Report texts and their parsers.
#include "printpath/PrintPath.h"

#include <gtest/gtest.h>

using namespace printpath;

namespace {

struct StatusCase {
    std::uint32_t status;
    std::string words;
};

class PrinterStatusWords : public ::testing::TestWithParam<StatusCase> {};

TEST_P(PrinterStatusWords, LineHoldsWordsInTableOrder) {
    EXPECT_EQ(printerStatusLine(GetParam().status),
              "Printer Status = " + GetParam().words + "\r\n");
}

INSTANTIATE_TEST_SUITE_P(
    Table, PrinterStatusWords,
    ::testing::Values(
        StatusCase{0, "Ready"}, StatusCase{0x200, "Busy  "},
        StatusCase{0x400000, "Printer Door Open  "}, StatusCase{0x2, "Printer Error  "},
        StatusCase{0x8000, "Initializing  "}, StatusCase{0x100, "I/O Active  "},
        StatusCase{0x20, "Manual Feed  "}, StatusCase{0x40000, "No Toner  "},
        StatusCase{0x1000, "Not Available  "}, StatusCase{0x80, "Off Line  "},
        StatusCase{0x200000, "Out of Memory  "}, StatusCase{0x800, "Output Bin Full  "},
        StatusCase{0x80000, "Page Punt  "}, StatusCase{0x8, "Paper Jam  "},
        StatusCase{0x10, "Paper Out  "}, StatusCase{0x40, "Page Problem  "},
        StatusCase{0x1, "Paused  "}, StatusCase{0x4, "Pending Deletion  "},
        StatusCase{0x400, "Printing  "}, StatusCase{0x4000, "Processing  "},
        StatusCase{0x20000, "Toner Low  "}, StatusCase{0x100000, "User Intervention  "},
        StatusCase{0x2000, "Waiting  "}, StatusCase{0x10000, "Warming Up  "},
        StatusCase{0x410, "Paper Out  Printing  "},
        StatusCase{0x800000, "Unknown Status of 8388608"},
        // An unlisted bit beside a listed one is not mentioned.
        StatusCase{0x800001, "Paused  "},
        StatusCase{0x7FFFFF,
                   "Busy  Printer Door Open  Printer Error  Initializing  I/O Active  Manual "
                   "Feed  No Toner  Not Available  Off Line  Out of Memory  Output Bin Full  "
                   "Page Punt  Paper Jam  Paper Out  Page Problem  Paused  Pending Deletion  "
                   "Printing  Processing  Toner Low  User Intervention  Waiting  Warming Up  "}));

struct JobCase {
    spooler::JobInfo job;
    std::string line;
};

class JobStatusLines : public ::testing::TestWithParam<JobCase> {};

TEST_P(JobStatusLines, Line) {
    EXPECT_EQ(jobStatusLine(GetParam().job), GetParam().line);
}

spooler::JobInfo job(std::uint32_t status, std::optional<std::string> text = std::nullopt) {
    spooler::JobInfo j;
    j.id = 7;
    j.status = status;
    j.statusText = std::move(text);
    return j;
}

INSTANTIATE_TEST_SUITE_P(
    Table, JobStatusLines,
    ::testing::Values(JobCase{job(0), "Ready!  \r\n\r\n"}, JobCase{job(0x8), "Spooling  \r\n"},
                      JobCase{job(0x20), "Off line  \r\n"}, JobCase{job(0x1), "Paused  \r\n"},
                      JobCase{job(0x2), "Error  \r\n"}, JobCase{job(0x40), "Paper Out  \r\n"},
                      JobCase{job(0x10), "Printing  \r\n"},
                      JobCase{job(0x400), "User Intervention Needed  \r\n"},
                      JobCase{job(0x10 | 0x8 | 0x2), "Spooling  Error  Printing  \r\n"},
                      JobCase{job(0x80), "Unknown Status of 128\r\n"},
                      JobCase{job(0x8, "Offline - check cable"), "Offline - check cable\r\n"},
                      JobCase{job(0, std::string("Stuck\0tail", 10)), "Stuck\r\n"},
                      // An empty text is no text.
                      JobCase{job(0x8, ""), "Spooling  \r\n"}));

// The status text as Osprey's report logs it while building the line: once per word.
TEST(JobStatusSteps, OneEntryPerWordAdded) {
    using V = std::vector<std::string>;
    EXPECT_EQ(jobStatusSteps(job(0x10 | 0x8)), (V{"Spooling  ", "Spooling  Printing  "}));
    EXPECT_EQ(jobStatusSteps(job(0)), V{"Ready!  \r\n"});
    EXPECT_EQ(jobStatusSteps(job(0x80)), V{"Unknown Status of 128"});
    EXPECT_EQ(jobStatusSteps(job(0x8, "Jammed")), V{"Jammed"});
}

TEST(SpoolerText, MissingIsBlankAndLengthIsBounded) {
    EXPECT_EQ(spoolerText(std::nullopt), " ");
    EXPECT_EQ(spoolerText(std::string("ab\0cd", 5)), "ab");
    EXPECT_EQ(spoolerText(std::string(300, 'x')), std::string(256, 'x'));
    EXPECT_EQ(spoolerText(std::string(600, 'y'), 511), std::string(511, 'y'));
    EXPECT_EQ(spoolerText(std::string(255, 'x') + "\xC3\xA9\xC3\xA9"),
              std::string(255, 'x') + "\xC3\xA9")
        << "the limit counts characters";
}

TEST(PrinterPart, FourLinesAndMissingNamesAsBlank) {
    spooler::PrinterInfo info;
    info.name = "Kestrel";
    info.port = "LPT1:";
    info.status = 0;
    EXPECT_EQ(printerPart(info), "Printer Status = Ready\r\nPrinter Name = Kestrel\r\n"
                                 "Printer Driver Name =  \r\nPrinter Port Name = LPT1:\r\n");
}

TEST(GetPrinterStatus, ReadsStatusDriverAndPort) {
    std::string port = "old", driver = "old";
    std::string part = "Printer Status = Paused  \r\nPrinter Name = P\r\n"
                       "Printer Driver Name = Generic / Text Only\r\nPrinter Port Name = COM1:\r\n";
    EXPECT_EQ(getPrinterStatus(part, port, driver), "Paused  ");
    EXPECT_EQ(port, "COM1:");
    EXPECT_EQ(driver, "Generic / Text Only");
}

TEST(GetPrinterStatus, ReadyOnlyForZeroStatus) {
    spooler::PrinterInfo info;
    info.name = "P";
    std::string port, driver;
    EXPECT_EQ(getPrinterStatus(printerPart(info), port, driver), "Ready");
    info.status = spooler::pst::Paused;
    EXPECT_NE(getPrinterStatus(printerPart(info), port, driver), "Ready");
}

TEST(GetPrinterStatus, ValueHoldingSeparatorKeepsTextBeforeIt) {
    std::string port, driver;
    getPrinterStatus("Printer Status = Ready\r\nPrinter Driver Name = Model A= B\r\n"
                     "Printer Port Name = X\r\n",
                     port, driver);
    EXPECT_EQ(driver, "Model A");
}

TEST(GetPrinterStatus, StopsAtPortLine) {
    std::string port, driver = "kept";
    EXPECT_EQ(getPrinterStatus("Printer Port Name = LPT1:\r\nPrinter Status = Busy  \r\n"
                               "Printer Driver Name = D\r\n",
                               port, driver),
              "");
    EXPECT_EQ(port, "LPT1:");
    EXPECT_EQ(driver, "kept");
}

TEST(GetPrinterStatus, TextWithoutLineEndGivesNothingAndLogs) {
    std::vector<std::string> log;
    std::string port = "p", driver = "d";
    EXPECT_EQ(getPrinterStatus("Printer Status = Ready", port, driver,
                               [&](const std::string& m) { log.push_back(m); }),
              "");
    EXPECT_EQ(port, "p");
    EXPECT_EQ(log, (std::vector<std::string>{"...getPrinterStatus",
                                             "...PrinterVar=0 :Printer Status = Ready"}));
}

TEST(GetPrinterStatus, CaseSensitive) {
    std::string port, driver;
    EXPECT_EQ(getPrinterStatus("printer status = Ready\r\n", port, driver), "");
}

struct JobParseCase {
    std::string jobPart;
    std::string status;
    std::string jobId;
};

class GetJobStatusTable : public ::testing::TestWithParam<JobParseCase> {};

TEST_P(GetJobStatusTable, StatusAndId) {
    std::string id = "untouched";
    EXPECT_EQ(getJobStatus(GetParam().jobPart, id), GetParam().status);
    EXPECT_EQ(id, GetParam().jobId);
}

INSTANTIATE_TEST_SUITE_P(
    Table, GetJobStatusTable,
    ::testing::Values(
        JobParseCase{"No Print Jobs!", "No Print Jobs!", "untouched"},
        JobParseCase{"Job ID = 12\r\nTotal Pages = 1\r\nSpooling  \r\n", "Spooling  ", "12"},
        JobParseCase{"Job ID = 3\r\nTotal Pages = 1\r\nReady!  \r\n\r\n", "Ready!  ", "3"},
        // Later jobs run together behind the first job's status.
        JobParseCase{"Job ID = 3\r\nTotal Pages = 1\r\nPrinting  \r\nJob ID = 4\r\n"
                     "Total Pages = 2\r\nPaused  \r\n",
                     "Printing  Job ID = 4Total Pages = 2Paused  ", "3"},
        JobParseCase{"garbage\r\nmore", "garbage\r\nmore", "0"},
        JobParseCase{"Job ID = 9\r\nTotal", "Job ID = 9Total", "9"},
        JobParseCase{"no line end", "", "untouched"}));

TEST(GetJobStatus, ShortPartLogsStart) {
    std::vector<std::string> log;
    std::string id;
    getJobStatus("Job ID = 9\r\nx", id, [&](const std::string& m) { log.push_back(m); });
    EXPECT_EQ(log, (std::vector<std::string>{"...getJobStatus", "...start=0 : UBound= 1"}));
}

TEST(JobsToPurge, SubstringCaseSensitive) {
    auto named = [](std::uint32_t id, std::optional<std::string> doc) {
        spooler::JobInfo j;
        j.id = id;
        j.document = std::move(doc);
        return j;
    };
    std::vector<spooler::JobInfo> jobs{named(1, "Kestrel Command"),   named(2, "Letter"),
                                       named(3, "xKestrel Commandy"), named(4, "kestrel command"),
                                       named(5, std::nullopt),        named(6, "Kestrel Command")};
    EXPECT_EQ(jobsToPurge(jobs, "Kestrel Command"), (std::vector<std::uint32_t>{1, 3, 6}));
    EXPECT_TRUE(jobsToPurge(jobs, "Osprey Command").empty());
    EXPECT_TRUE(jobsToPurge(jobs, "").empty()) << "every name holds the empty one";
}

TEST(PortTableRead, LinesInOrderAtMost101) {
    PortTable table;
    EXPECT_EQ(readPortTable("", table), 0);
    EXPECT_EQ(readPortTable("LPT1:\r\nCOM1:\r\nUSB001\r\n", table), 3);
    EXPECT_EQ(table.names[0], "LPT1:");
    EXPECT_EQ(table.names[1], "COM1:");
    EXPECT_EQ(table.names[2], "USB001");

    std::string many;
    for (int i = 0; i < 150; ++i)
        many += "P" + std::to_string(i) + "\r\n";
    EXPECT_EQ(readPortTable(many, table), 101);
    EXPECT_EQ(table.count, 101);
    EXPECT_EQ(table.names[100], "P100");
}

TEST(PortTableRead, LastLineWithoutEndAndEarlierEntriesKept) {
    PortTable table;
    readPortTable("A\r\nB\r\nC\r\n", table);
    EXPECT_EQ(readPortTable("X\nY", table), 2);
    EXPECT_EQ(table.names[1], "Y");
    EXPECT_EQ(table.names[2], "C");
}

TEST(ProgramCommandLine, QuotesTheProgramPath) {
    EXPECT_EQ(programCommandLine("/opt/my wizard", "Plover", "Wren.exe"),
              "\"/opt/my wizard/Plover\" Wren.exe");
    EXPECT_EQ(programCommandLine("/opt/w/", "Tindrel.exe", ""), "\"/opt/w/Tindrel.exe\"");
    auto args = proc::splitCommandLine(programCommandLine("/opt/my wizard", "Plover", "Wren.exe"));
    EXPECT_EQ(args, (std::vector<std::string>{"/opt/my wizard/Plover", "Wren.exe"}));
}

} // namespace
