#include "tests/osprey_pages/OspreyFixture.h"

namespace osprey_test {
namespace {

using ui::mb::No;
using ui::mb::Yes;

const char* const kDriverQuestion =
    "No compatible Windows driver found!\r\n"
    "You must have at least one compatible Windows printer driver installed before you can use "
    "this application.\r\n"
    "Would you like to install a Windows printer driver now?";

class SelectDlgTest : public OspreyFixture {
  protected:
    osprey::SelectDlg& choice() { return pages.get<osprey::SelectDlg>(); }
    // The command line that starts a program of the program's folder.
    std::string commandLine(const std::string& program, const std::string& args) const {
        return "\"" + path(program) + "\" " + args;
    }
    void toChoicePage() {
        start();
        h.click(pages.get<osprey::Intro>().Next);
        ASSERT_EQ(h.visibleForm(), "SelectDlg");
    }
    void expectDriverQuestion(int answer) {
        h.boxes.expect("No Compatible Drivers Found", kDriverQuestion, answer,
                       ui::mb::YesNo | ui::mb::Question);
    }
};

TEST_F(SelectDlgTest, InterfaceChoiceRunsKestrelAndComesBackOnThePrinterOption) {
    write("Kestrel", ""); // the program file carries no ".exe" here
    std::vector<std::string> visibleWhileRunning;
    proc::FakeProcessRunner::Program kestrel;
    kestrel.durationMs = 60000;
    kestrel.onStart = [&] { visibleWhileRunning = h.visibleForms(); };
    processes.on(commandLine("Kestrel.exe", "GO /VERYSILENT"), kestrel);

    toChoicePage();
    EXPECT_EQ(choice().caption(), "Select Operation");
    EXPECT_TRUE(choice().CfgNic->checked()) << "a fresh page offers the interface";
    const std::int64_t before = h.app.now();
    h.click(choice().Next);

    EXPECT_EQ(processes.started(),
              std::vector<std::string>{commandLine("Kestrel.exe", "GO /VERYSILENT")});
    EXPECT_TRUE(visibleWhileRunning.empty()) << "no page of the wizard while Kestrel runs";
    EXPECT_GE(h.app.now() - before, 60000) << "waited until it ended";
    EXPECT_EQ(h.visibleForm(), "SelectDlg");
    EXPECT_TRUE(choice().CfgPrinter->checked());
    EXPECT_FALSE(pages.get<osprey::Intro>().loaded());
}

TEST_F(SelectDlgTest, PartnerModelStartsThePartnerBuildAndBackReturnsToThePartnerWelcome) {
    write("TavixKestrel.exe", "");
    processes.on(commandLine("TavixKestrel.exe", "GO /VERYSILENT"), {});
    toChoicePage();
    core.ws.PartnerModel = true;
    h.click(choice().Next);
    EXPECT_EQ(processes.started(),
              std::vector<std::string>{commandLine("TavixKestrel.exe", "GO /VERYSILENT")});

    h.click(choice().Prev);
    EXPECT_EQ(h.visibleForm(), "HaldenIntro");
    EXPECT_FALSE(choice().loaded());
}

TEST_F(SelectDlgTest, MissingKestrelIsReportedWithoutTheExitLineAndTheWizardEnds) {
    toChoicePage();
    h.boxes.expect("Printer Error",
                   "Error unable to locate the Kestrel application:\r\n" + path("Kestrel.exe") +
                       "\r\n\r\nPlease install the Kestrel from your Quick Start CD.\r\n",
                   ui::mb::Ok, ui::mb::OkOnly | ui::mb::Critical);
    h.click(choice().Next);
    EXPECT_TRUE(h.boxes.allShown());
    EXPECT_TRUE(h.ended());
    EXPECT_TRUE(processes.started().empty());
}

TEST_F(SelectDlgTest, RunningKestrelIsLoggedWithTheLogSwitch) {
    write("Kestrel", "");
    processes.on(commandLine("Kestrel.exe", "GO /VERYSILENT"), {});
    start("LOG");
    h.click(pages.get<osprey::Intro>().Next);
    h.click(choice().Next);
    auto log = read("Log.txt");
    ASSERT_TRUE(log);
    EXPECT_NE(log->find(" - Running Kestrel: " + commandLine("Kestrel.exe", "GO /VERYSILENT") +
                        "\r\n\r\n"),
              std::string::npos);
}

TEST_F(SelectDlgTest, PrinterChoiceWithASupportedPrinterLeavesForTheSelectionPage) {
    toChoicePage();
    h.click(choice().CfgPrinter);
    h.click(choice().Next);
    EXPECT_EQ(h.visibleForm(), "Selection");
    EXPECT_FALSE(choice().loaded());
    EXPECT_EQ(core.ws.SelectedPrinter, kLabelPrinter);
}

TEST_F(SelectDlgTest, NoSupportedPrinterAnsweredNoEndsTheWizard) {
    spooler.uninstall(kLabelPrinter);
    toChoicePage();
    h.click(choice().CfgPrinter);
    expectDriverQuestion(No);
    h.boxes.during([&] {
        EXPECT_TRUE(pages.get<osprey::Selection>().visible());
        EXPECT_EQ(pages.get<osprey::Selection>().PrinterList->listCount(), 0);
    });
    h.click(choice().Next);
    EXPECT_TRUE(h.boxes.allShown());
    EXPECT_TRUE(h.ended());
}

TEST_F(SelectDlgTest, DriverInstallerRunsAndTheListIsBuiltAgain) {
    spooler.uninstall(kLabelPrinter);
    write("Tindrel.exe", "");
    proc::FakeProcessRunner::Program installer;
    installer.durationMs = 3000;
    installer.onStart = [&] {
        spooler::PrinterInfo label;
        label.name = kLabelPrinter;
        label.driver = kLabelDriver;
        label.port = "USB001";
        spooler.install(label);
    };
    processes.on(commandLine("Tindrel.exe", "/VERYSILENT"), installer);

    toChoicePage();
    h.click(choice().CfgPrinter);
    expectDriverQuestion(Yes);
    h.click(choice().Next);

    EXPECT_TRUE(h.boxes.allShown());
    EXPECT_FALSE(h.ended());
    EXPECT_EQ(h.visibleForm(), "Selection");
    EXPECT_EQ(pages.get<osprey::Selection>().PrinterList->items(),
              std::vector<std::string>{kLabelPrinter});
    EXPECT_EQ(core.ws.SelectedPrinter, kLabelPrinter);
    EXPECT_FALSE(core.ws.SettingsChanged);
}

TEST_F(SelectDlgTest, OfferReturnsWhileTheInstallerInstallsNothing) {
    spooler.uninstall(kLabelPrinter);
    write("Tindrel", "");
    processes.on(commandLine("Tindrel.exe", "/VERYSILENT"), {});
    toChoicePage();
    h.click(choice().CfgPrinter);
    expectDriverQuestion(Yes);
    expectDriverQuestion(Yes);
    expectDriverQuestion(No);
    h.click(choice().Next);
    EXPECT_TRUE(h.boxes.allShown());
    EXPECT_EQ(processes.started().size(), 2u);
    EXPECT_TRUE(h.ended());
}

TEST_F(SelectDlgTest, MissingDriverInstallerIsFatal) {
    spooler.uninstall(kLabelPrinter);
    toChoicePage();
    h.click(choice().CfgPrinter);
    expectDriverQuestion(Yes);
    h.boxes.expect("Printer Error",
                   "Error unable to locate the Windows driver setup file.\r\n"
                   "Please install the Windows driver using your Quick Start CD.\r\n"
                   "The wizard will exit.",
                   ui::mb::Ok, ui::mb::OkOnly | ui::mb::Critical);
    h.click(choice().Next);
    EXPECT_TRUE(h.boxes.allShown());
    EXPECT_TRUE(h.ended());
    EXPECT_TRUE(processes.started().empty());
}

TEST_F(SelectDlgTest, PrinterRemovedSinceTheLastVisitBringsTheDriverOffer) {
    // A name kept from the earlier visit must not stand for a printer no longer listed.
    toChoicePage();
    h.click(choice().CfgPrinter);
    h.click(choice().Next);
    ASSERT_EQ(core.ws.SelectedPrinter, kLabelPrinter);
    h.click(pages.get<osprey::Selection>().Prev);
    ASSERT_EQ(h.visibleForm(), "SelectDlg");
    EXPECT_TRUE(choice().CfgPrinter->checked());

    spooler.uninstall(kLabelPrinter);
    expectDriverQuestion(No);
    h.click(choice().Next);
    EXPECT_TRUE(h.boxes.allShown());
    EXPECT_TRUE(h.ended());
}

} // namespace
} // namespace osprey_test
