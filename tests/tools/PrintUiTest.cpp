#include "tools/PrintUi.h"

#include "tests/fixtures/TempFolder.h"
#include "tests/support/MemorySpooler.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace {

using namespace printui;
using Args = std::vector<std::string>;

const std::string kEntry = "printui.dll,PrintUIEntry";

TEST(PrintUiParse, ReadsTheThreeForms) {
    const std::pair<Args, Command> cases[] = {
        // The wizard's own command lines, as the launcher splits them.
        {{kEntry, "/q", "/u", "/if", "/b", "Kestrel", "/f", "%windir%\\inf\\ntprint.inf", "/r",
          "LPT1:", "/m", "Generic / Text Only"},
         AddPrinter{"Kestrel", "%windir%\\inf\\ntprint.inf", "LPT1:", "Generic / Text Only"}},
        {{kEntry, "/q", "/dl", "/n", "Kestrel"}, DeletePrinter{"Kestrel"}},
        {{kEntry, "/q", "/f", "/opt/k/kestrel.txt", "/Xg", "/n", "Kestrel"},
         DumpSettings{"Kestrel", "/opt/k/kestrel.txt"}},
        // Order of options is free; the entry's letter case is not significant.
        {{"PRINTUI.DLL,printuientry", "/n", "P", "/dl"}, DeletePrinter{"P"}},
        {{kEntry, "/m", "D", "/r", "COM1:", "/b", "N", "/if"}, AddPrinter{"N", "", "COM1:", "D"}},
        // A later value of the same option wins.
        {{kEntry, "/dl", "/n", "A", "/n", "B"}, DeletePrinter{"B"}},
        // A value may look like an option.
        {{kEntry, "/dl", "/n", "/q"}, DeletePrinter{"/q"}},
    };
    for (const auto& [args, expected] : cases) {
        EXPECT_EQ(parse(args), expected) << ::testing::PrintToString(args);
    }
}

TEST(PrintUiParse, RejectsEverythingElseWithAMessage) {
    const Args cases[] = {
        {},
        {"shell32.dll,Control_RunDLL"},
        {kEntry},
        {kEntry, "/q"},
        {kEntry, "/dl"},                           // no name
        {kEntry, "/dl", "/n"},                     // name without value
        {kEntry, "/dl", "/n", ""},                 // empty name
        {kEntry, "/if", "/b", "K", "/r", "LPT1:"}, // no driver
        {kEntry, "/Xg", "/n", "K"},                // no file
        {kEntry, "/dl", "/if", "/n", "K"},         // two actions
        {kEntry, "/xg", "/n", "K", "/f", "x"},     // options are case-sensitive
        {kEntry, "/dl", "/n", "K", "/z"},
        {kEntry, "/Xs", "/n", "K"},
    };
    for (const auto& args : cases) {
        auto command = parse(args);
        ASSERT_TRUE(std::holds_alternative<Unknown>(command)) << ::testing::PrintToString(args);
        EXPECT_FALSE(std::get<Unknown>(command).message.empty());
    }
}

class PrintUiRun : public ::testing::Test {
  protected:
    spooler::MemorySpooler spooler;
    std::ostringstream err;
    test_fixtures::TempFolder scratch{"printui"};
    const std::filesystem::path dir = scratch.path;
};

TEST_F(PrintUiRun, AddsAndDeletesThePrinter) {
    spooler.setPorts({"LPT1:"});
    EXPECT_EQ(run(AddPrinter{"Kestrel", "x.inf", "LPT1:", "Generic / Text Only"}, spooler, err), 0);
    ASSERT_TRUE(spooler.hasPrinter("Kestrel"));
    EXPECT_EQ(spooler.info("Kestrel")->port, "LPT1:");
    EXPECT_EQ(spooler.info("Kestrel")->driver, "Generic / Text Only");
    EXPECT_EQ(run(DeletePrinter{"Kestrel"}, spooler, err), 0);
    EXPECT_FALSE(spooler.hasPrinter("Kestrel"));
    EXPECT_EQ(err.str(), "");
}

TEST_F(PrintUiRun, ReportsWhatTheSpoolerRefuses) {
    spooler.failNext(spooler::MemorySpooler::Call::DeletePrinter, spooler::err::PrinterHasJobs);
    EXPECT_EQ(run(DeletePrinter{"Kestrel"}, spooler, err), 1);
    EXPECT_NE(err.str().find("still has jobs"), std::string::npos) << err.str();
    EXPECT_NE(err.str().find("\"Kestrel\""), std::string::npos) << err.str();
}

TEST_F(PrintUiRun, DumpsOnlyWhileThePrinterExists) {
    auto file = (dir / "kestrel.txt").string();
    EXPECT_EQ(run(DumpSettings{"Kestrel", file}, spooler, err), 1);
    EXPECT_FALSE(std::filesystem::exists(file));

    spooler.install({"Kestrel", "Generic / Text Only", "USB001", 0x80});
    EXPECT_EQ(run(DumpSettings{"Kestrel", file}, spooler, err), 0);
    EXPECT_EQ(test_fixtures::readAll(file),
              "Name=Kestrel\r\nDriver=Generic / Text Only\r\nPort=USB001\r\nStatus=128\r\n");
}

TEST_F(PrintUiRun, UnknownFormsExitWithUsage) {
    EXPECT_EQ(run(parse({"printui.dll,PrintUIEntry", "/Xs"}), spooler, err), 2);
    EXPECT_NE(err.str().find("unknown option \"/Xs\""), std::string::npos) << err.str();
    EXPECT_NE(err.str().find("usage:"), std::string::npos);
}

} // namespace
