// The main road of the wizard, as a user walks it: welcome, the printer choice, the
// supported printer on the memory spooler, a new configuration, and the run that sends it;
// a step the printer does not take; and the interface choice that runs the other wizard.
#include "tests/osprey_pages/OspreyFixture.h"

#include <algorithm>

namespace osprey_test {
namespace {

class MainRoad : public OspreyFixture {
  protected:
    void SetUp() override { h.app.setStallLimit(10 * 60 * 1000); }

    // From the start to the hand-over to the progress page: the label printer, a new
    // configuration with 4 in/sec and the model's default sensing (which calibrates).
    void walkToRun() {
        start("");
        ASSERT_EQ("Intro", h.visibleForm());
        h.click(pages.get<osprey::Intro>().Next);
        ASSERT_EQ("SelectDlg", h.visibleForm());
        h.click(pages.get<osprey::SelectDlg>().CfgPrinter);
        h.click(pages.get<osprey::SelectDlg>().Next);
        ASSERT_EQ("Selection", h.visibleForm());
        // Only the supported printer is offered, and it is marked.
        auto& sel = pages.get<osprey::Selection>();
        ASSERT_EQ(std::vector<std::string>{kLabelPrinter}, sel.PrinterList->items());
        EXPECT_EQ(kLabelPrinter, core.ws.SelectedPrinter);
        h.click(sel.Next);
        ASSERT_EQ("LoadDlg", h.visibleForm());
    }

    void startNewAndSetUp() {
        h.click(pages.get<osprey::LoadDlg>().Next); // Start New
        ASSERT_EQ("Operation", h.visibleForm());
        h.click(pages.get<osprey::Operation>().Next);
        ASSERT_EQ("PrinterSetup", h.visibleForm());
        auto& setup = pages.get<osprey::PrinterSetup>();
        h.click(setup.PrintSpeedCB);
        h.select(setup.PrintSpeedCombo, 3);
        h.boxes.expectContaining("Save Wizard Settings", "Would you like to save", ui::mb::No);
        h.click(setup.Finish);
        ASSERT_EQ("FinishDialog", h.visibleForm());
        // The model's sensing is sent, so calibration follows.
        h.boxes.expectContaining("Calibration Required", "require calibration", ui::mb::Yes);
    }

    std::vector<std::string> ospreyJobsQueued() {
        std::vector<std::string> names;
        for (const auto& j : spooler.queue(kLabelPrinter))
            if (j.document && j.document->find("Osprey Command") != std::string::npos)
                names.push_back(*j.document);
        return names;
    }
};

TEST_F(MainRoad, NewConfigurationIsSentAndTheWizardEnds) {
    walkToRun();
    EXPECT_EQ(kLabelPrinter, spooler.currentPrinter());
    EXPECT_EQ(kLabelPort, core.ws.PrinterPort);
    EXPECT_EQ(4, core.ws.PrinterWidth);
    startNewAndSetUp();
    h.boxes.expect("Process Successful", "Printer Setup Request Successfully Sent");
    h.click(pages.get<osprey::FinishDialog>().OKButton);
    EXPECT_TRUE(h.boxes.allShown());
    EXPECT_TRUE(h.ended());
    EXPECT_EQ((std::vector<std::string>{kSettingsJob, nullJob(), kCalibrateJob, nullJob()}),
              jobsSent());
    EXPECT_TRUE(jobsSent(kOfficePrinter).empty());
    EXPECT_EQ("Printer Successfully Configured.", statusLines().back());
    EXPECT_TRUE(peer.asked.empty());
}

TEST_F(MainRoad, StuckStepShowsThePanelTextAndReturnsToSetup) {
    walkToRun();
    startNewAndSetUp();
    // The printer takes the settings job and its probe, then stops: the calibration stays.
    takeAfter = [](std::size_t i, const auto&) -> std::int64_t { return i < 2 ? 1000 : -1; };
    h.boxes.expectContaining("Printer Error", "Printer Front Panel Message:\r\n\tMEDIA OUT\r\n"
                                              "\tLOAD LABELS\r\n");
    h.click(pages.get<osprey::FinishDialog>().OKButton);
    EXPECT_TRUE(h.boxes.allShown());
    ASSERT_FALSE(h.ended());
    EXPECT_EQ((std::vector<std::string>{osprey::kSysDescrOid, osprey::kDisplayLine1Oid,
                                        osprey::kDisplayLine2Oid}),
              peer.asked);
    EXPECT_TRUE(ospreyJobsQueued().empty()) << "the wizard's jobs are purged";
    EXPECT_TRUE(pages.get<osprey::PrinterSetup>().visible());
    EXPECT_TRUE(pages.get<osprey::ProgressDlg>().visible()) << "the log stays open beside it";
    EXPECT_TRUE(core.ws.PrinterError);
    EXPECT_FALSE(core.ws.RequestSent);
    EXPECT_EQ(40, progressValue());
}

// Leaving unloads every page in the exit routine's order.
TEST_F(MainRoad, LeavingUnloadsEveryPageInTheExitOrder) {
    start("");
    h.run([&] {
        for (ui::Form* page : pages.all())
            page->load();
    });
    watch.unloaded.clear();
    h.run([&] { core.ExitWizard(); });
    EXPECT_TRUE(h.ended());
    EXPECT_EQ(watch.unloaded, (std::vector<std::string>{
                                  "CustomDialog", "Dialog", "FinishDialog", "frmAbout", "Intro",
                                  "HaldenAbout", "HaldenIntro", "LoadDlg", "Operation",
                                  "PrinterSetup", "Selection", "ProgressDlg", "SelectDlg"}));
}

// A control member whose control Build no longer makes is caught here, not on first use.
TEST_F(MainRoad, EveryPageBuildsEveryControlItDeclares) {
    for (ui::Form* page : pages.all())
        h.run(
            [&] { EXPECT_EQ(page->unbuiltMembers(), std::vector<std::string>{}) << page->name(); });
}

} // namespace
} // namespace osprey_test
