#include "tests/osprey_pages/OspreyFixture.h"

namespace osprey_test {
namespace {

class SelectionTest : public OspreyFixture {
  protected:
    osprey::Selection& selection() { return pages.get<osprey::Selection>(); }
    void install(const std::string& name, const std::string& driver) {
        spooler::PrinterInfo p;
        p.name = name;
        p.driver = driver;
        p.port = "USB001";
        spooler.install(p);
    }
    std::vector<std::string> listed() { return selection().PrinterList->items(); }
    std::string marked() {
        ui::Control& list = *selection().PrinterList;
        return list.listIndex() < 0 ? "" : list.list(list.listIndex());
    }
};

struct MarkCase {
    const char* name;
    std::vector<std::pair<std::string, std::string>> extra; // installed after the fixture's two
    std::string current;                                    // current printer at start
    std::vector<std::string> listed;
    std::string marked;
};

class SelectionMarkTest : public SelectionTest, public ::testing::WithParamInterface<MarkCase> {};

TEST_P(SelectionMarkTest, ListsOnlySupportedPrintersAndMarksTheCurrentOne) {
    for (const auto& [name, driver] : GetParam().extra)
        install(name, driver);
    spooler.setCurrentPrinter(GetParam().current);
    toSelection();
    EXPECT_EQ(listed(), GetParam().listed);
    EXPECT_EQ(marked(), GetParam().marked);
    EXPECT_EQ(core.ws.SelectedPrinter, GetParam().marked);
}

INSTANTIATE_TEST_SUITE_P(
    Printers, SelectionMarkTest,
    ::testing::Values(MarkCase{"DefaultUnsupported",
                               {{"Photo", "Photo Inkjet"}},
                               "Office Printer",
                               {"Label Printer"},
                               "Label Printer"},
                      MarkCase{"DefaultSupported",
                               {{"Wide", "Corvane QR6108"}},
                               "Label Printer",
                               {"Label Printer", "Wide"},
                               "Label Printer"},
                      MarkCase{"DefaultIsTheSecondListed",
                               {{"Wide", "Corvane QR6108"}},
                               "Wide",
                               {"Label Printer", "Wide"},
                               "Wide"},
                      // No R at position 7 or later, a lower-case maker name: not offered.
                      MarkCase{"RuleFailures",
                               {{"Plain V62", "Corvane V6204"}, {"Lower", "corvane QR6104"}},
                               "Office Printer",
                               {"Label Printer"},
                               "Label Printer"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SelectionTest, NextMakesThePrinterCurrentAndDerivesItsProfile) {
    toSelection();
    h.click(selection().Next);
    EXPECT_TRUE(h.boxes.shown().empty());
    EXPECT_EQ(h.visibleForm(), "LoadDlg");
    EXPECT_TRUE(selection().loaded()) << "only hidden";
    EXPECT_EQ(spooler.currentPrinter(), kLabelPrinter);
    EXPECT_EQ(core.ws.PrinterPort, kLabelPort);
    EXPECT_EQ(core.ws.PrinterDriver, kLabelDriver);
    EXPECT_EQ(core.ws.PrinterWidth, 4);
    EXPECT_EQ(core.ws.ResolutionClass, 3);
    EXPECT_TRUE(core.ws.ModelOption);
    EXPECT_FALSE(core.ws.PartnerModel);
}

// A queue's name may hold any character: the log carries it as an ANSI conversion gives it
// ("?" for each Cyrillic letter), the spooler gets the name itself.
TEST_F(SelectionTest, NameWithoutAnsiFormIsLoggedConvertedAndStillPrintedTo) {
    const std::string name = "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xBD\xD1\x82\xD0\xB5\xD1\x80-QR";
    install(name, "Corvane QR6108");
    toSelection("LOG");
    h.select(selection().PrinterList, 1);
    h.click(selection().Next);
    ASSERT_EQ(spooler.currentPrinter(), name);
    h.run([&] { EXPECT_TRUE(core.SendNullCmd()); });
    EXPECT_EQ(jobsSent(name), std::vector<std::string>{nullJob()});
    const std::string log = read("Log.txt").value_or("");
    EXPECT_NE(log.find("Printer Name: " + std::string(7, '?') + "-QR\r\n"), std::string::npos);
    EXPECT_EQ(log.find_first_of("\x81\x8D\x8F\x90\x9D\xD0\xD1"), std::string::npos) << log;
}

TEST_F(SelectionTest, PausedPrinterIsOnlyAWarning) {
    install("Wide", "Corvane QR6106 DT");
    spooler.setStatus("Wide", spooler::pst::Paused);
    toSelection();
    h.select(selection().PrinterList, 1);
    ASSERT_EQ(core.ws.SelectedPrinter, "Wide");
    h.boxes.expect("Osprey", "Printer not ready", ui::mb::Ok, ui::mb::OkOnly);
    h.click(selection().Next);
    EXPECT_TRUE(h.boxes.allShown());
    EXPECT_EQ(h.visibleForm(), "LoadDlg");
    EXPECT_EQ(core.ws.PrinterWidth, 6);
    EXPECT_EQ(core.ws.ResolutionClass, 2);
    EXPECT_TRUE(core.ws.DirectThermal);
}

TEST_F(SelectionTest, NothingChosenStaysWithItsMessage) {
    toSelection();
    h.run([&] { selection().PrinterList->setListIndex(-1); });
    core.ws.SelectedPrinter.clear();
    h.boxes.expect("Osprey", "No Printer Selected.\r\nYou must select a printer to continue.",
                   ui::mb::Ok, ui::mb::OkOnly);
    h.click(selection().Next);
    EXPECT_TRUE(h.boxes.allShown());
    EXPECT_EQ(h.visibleForm(), "Selection");
    EXPECT_EQ(testing_support::Harness::focusOf(selection()), selection().PrinterList.name())
        << "the list the message is about";
}

TEST_F(SelectionTest, BackUnloadsAndTheNextVisitMarksThePrinterCurrentThen) {
    install("Wide", "Corvane QR6108");
    toSelection();
    h.select(selection().PrinterList, 1);
    h.click(selection().Next);
    h.click(pages.get<osprey::LoadDlg>().Prev);
    EXPECT_EQ(marked(), "Wide") << "the same page instance, its choice unchanged";

    h.click(selection().Prev);
    EXPECT_FALSE(selection().loaded());
    EXPECT_EQ(h.visibleForm(), "SelectDlg");
    EXPECT_TRUE(pages.get<osprey::SelectDlg>().CfgPrinter->checked());

    h.click(pages.get<osprey::SelectDlg>().Next);
    EXPECT_EQ(marked(), "Wide");
}

TEST_F(SelectionTest, LogLinesTraceTheListWithTheLogSwitch) {
    toSelection("LOG");
    h.click(selection().Next);
    auto log = read("Log.txt");
    ASSERT_TRUE(log);
    const char* lines[] = {" - in Load_PrinterList\r\n",
                           " - Default Printer= Office Printer\r\n",
                           " - in loop: J=0\r\n",
                           " - in loop: J=0\r\n",
                           " - isCorrectPrinter = True\r\n",
                           " - Highlight the default printer\r\n",
                           " - Exit Load_PrinterList\r\n",
                           " - Selected Printer Name: Label Printer\r\n"};
    std::size_t at = 0;
    for (const char* line : lines) {
        at = log->find(line, at);
        ASSERT_NE(at, std::string::npos) << line;
        ++at;
    }
}

} // namespace
} // namespace osprey_test
