#include "kestrel/pages/LoadDlg.h"
#include "kestrel/pages/Dialog.h"
#include "kestrel/pages/Intro.h"
#include "kestrel/pages/QuestionDlg.h"
#include "tests/kestrel_pages/KestrelFixture.h"

namespace kestrel_test {
namespace {

using ui::mb::No;

class LoadDlgTest : public KestrelFixture {
  protected:
    kestrel::LoadDlg& loadDlg() { return pages.get<kestrel::LoadDlg>(); }
    kestrel::Dialog& dialog() { return pages.get<kestrel::Dialog>(); }
    ui::Control& timer() { return *loadDlg().Timer1; }

    // Load, then Next: the dialog opens over the hidden page.
    void chooseLoad() {
        h.click(loadDlg().Load);
        h.click(loadDlg().Next);
        ASSERT_EQ(h.visibleForm(), "Dialog");
    }
    void saveFile(const std::string& name) {
        h.boxes.expectContaining("Notice", "Settings successfully saved in");
        h.run([&] { core.SaveSettings(path(name), ""); });
        ASSERT_TRUE(h.boxes.allShown());
    }
};

TEST_F(LoadDlgTest, StartedWithGoItTakesTheBaselineAndBackEndsTheProgram) {
    start(" GO /VERYSILENT");
    EXPECT_EQ(h.visibleForm(), "LoadDlg");
    EXPECT_EQ(core.ws.InitialSettings[kestrel::rec::Question], "0|0|0|0|0|0|0");
    h.click(loadDlg().Prev);
    EXPECT_TRUE(h.ended());
    EXPECT_TRUE(h.boxes.shown().empty());
}

TEST_F(LoadDlgTest, CancelledDialogBringsThePageBackWithStartNewAtTheNextPoll) {
    for (bool closeBox : {false, true}) {
        SCOPED_TRACE(closeBox ? "close box" : "Cancel");
        start(" GO");
        chooseLoad();
        EXPECT_FALSE(loadDlg().visible());
        h.wait(1600); // the dialog stays open over several polls
        EXPECT_EQ(h.visibleForm(), "Dialog");
        EXPECT_TRUE(timer().enabled());

        if (closeBox)
            h.close(dialog());
        else
            h.click(dialog().CancelButton);
        EXPECT_EQ(h.visibleForms(), std::vector<std::string>{}) << "nothing until the poll";
        h.wait(500);
        EXPECT_EQ(h.visibleForm(), "LoadDlg");
        EXPECT_TRUE(loadDlg().StartNew->checked());
        EXPECT_FALSE(timer().enabled());
        EXPECT_FALSE(h.ended());
    }
    EXPECT_TRUE(h.boxes.shown().empty());
}

TEST_F(LoadDlgTest, LoadOpensTheDialogInLoadModeWhateverTheLastCallerSet) {
    start(" GO");
    pages.setDialogMode(kestrel::Dialog::kSave);
    chooseLoad();
    EXPECT_EQ(dialog().Mode, kestrel::Dialog::kLoad);
    EXPECT_EQ(dialog().caption(), "Load Wizard Settings");
}

TEST_F(LoadDlgTest, LoadedFileLeadsToThePortPageWithThePagesRestored) {
    start(" GO");
    ui::Control& wireless = *pages.get<kestrel::QuestionDlg>().Check1[6];
    h.run([&] { wireless.setValue(1); });
    h.run([&] { pages.get<kestrel::PortSelect>().PortTCP->setValue(1); });
    saveFile("net.ksf");
    h.run([&] {
        wireless.setValue(0);
        pages.get<kestrel::PortSelect>().PortLPT->setValue(1);
    });

    chooseLoad();
    h.setText(dialog().FileName, "net.ksf");
    h.click(dialog().OKButton);
    EXPECT_TRUE(h.boxes.allShown());
    EXPECT_EQ(wireless.value(), 1);
    h.wait(500);
    EXPECT_EQ(h.visibleForm(), "PortSelect");
    EXPECT_EQ(testing_support::Harness::focusOf(pages.get<kestrel::PortSelect>()), "PortTCP")
        << "the page opens on the option the file chose";
    EXPECT_FALSE(loadDlg().visible());
    EXPECT_FALSE(timer().enabled());
}

TEST_F(LoadDlgTest, FailedLoadKeepsTheDialogOpenAndThePagePolling) {
    start(" GO");
    chooseLoad();
    h.setText(dialog().FileName, "absent.ksf");
    h.boxes.expect("Notice", "File not found. Please select another file.");
    h.click(dialog().OKButton);
    h.wait(2000);
    EXPECT_EQ(h.visibleForm(), "Dialog");
    EXPECT_TRUE(timer().enabled());
}

TEST_F(LoadDlgTest, CancelAsksButTheCloseBoxOffersToSave) {
    start(" GO");
    h.boxes.expectContaining("Caution Exiting Wizard", "Do you want to exit the wizard?", No);
    h.click(loadDlg().Cancel);
    EXPECT_FALSE(h.ended());
    EXPECT_EQ(h.visibleForm(), "LoadDlg");

    // Nothing read since the baseline: the current records differ from it.
    h.boxes.expectContaining("Leaving Wizard Without Saving Settings",
                             "Would you like to save your settings before you exit?", No);
    h.close(loadDlg());
    EXPECT_TRUE(h.ended());
    EXPECT_TRUE(h.boxes.allShown());
}

} // namespace
} // namespace kestrel_test
