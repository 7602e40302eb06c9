#include "kestrel/pages/FinishDialog.h"
#include "kestrel/pages/Dialog.h"
#include "kestrel/pages/PortSelect.h"
#include "kestrel/pages/WiredDlg.h"
#include "tests/kestrel_pages/RouteFixture.h"

#include <filesystem>

namespace kestrel::testing {
namespace {

using ui::mb::No;
using ui::mb::Yes;

const std::string kRebootWarning =
    "Warning! The configuration changes are about to be sent to the printer.\r\nAfterwards, "
    "the printer will be rebooted, cancelling all pending print jobs.\r\nDo you want to "
    "continue?";
const int kWarningFlags = ui::mb::YesNo | ui::mb::Exclamation;

class FinishDialogTest : public RouteFixture {
  protected:
    FinishDialogTest() { portsFile("LPT1:\r\n"); }
    FinishDialog& page() { return pages.get<kestrel::FinishDialog>(); }
    Dialog& dialog() { return pages.get<kestrel::Dialog>(); }
    WiredDlg& wired() { return pages.get<kestrel::WiredDlg>(); }

    // Port page, question page (TCP/IP box only) and the TCP/IP page with its defaults,
    // then the baseline; `change` runs on the TCP/IP page before its Next.
    void arrive(const std::function<void()>& change = {}) {
        show(pages.get<kestrel::PortSelect>());
        h.run([&] { pages.get<kestrel::PortSelect>().Hide(); });
        question({0});
        show(wired());
        h.run([&] { core.RecordInitialSettings(); });
        if (change)
            change();
        h.click(wired().Next);
        ASSERT_EQ("FinishDialog", h.visibleForm());
    }
    void changeSomething() { h.click(wired().BootP); }

    // The user fills the save dialog and presses OK (or Cancel) once it is open.
    void saveLater(const std::string& path) {
        h.later(100, [this, path] {
            EXPECT_TRUE(dialog().visible());
            EXPECT_EQ("Save Wizard Settings", dialog().caption());
            h.setText(dialog().FileName, path);
            h.boxes.expectContaining("Notice", "Settings successfully saved");
            h.click(dialog().OKButton);
        });
    }
    void cancelLater() {
        h.later(100, [this] { h.click(dialog().CancelButton); });
    }
    bool timerOn() { return page().Timer1->enabled(); }
    bool progressShown() { return pages.get<kestrel::ProgressDlg>().visible(); }
};

TEST_F(FinishDialogTest, UnchangedSettingsChooseNoAndWarnAfterOneTick) {
    arrive();
    EXPECT_TRUE(page().Option2->checked());
    EXPECT_FALSE(page().Option1->checked());
    EXPECT_FALSE(core.ws.SetupCommands.empty());

    h.click(page().OKButton);
    EXPECT_EQ(finish::Done, core.ws.FinishAction);
    h.wait(499);
    EXPECT_TRUE(h.boxes.shown().empty());
    h.boxes.expect("Warning", kRebootWarning, No, kWarningFlags);
    h.wait(1);
    EXPECT_TRUE(h.boxes.allShown());
    EXPECT_EQ("FinishDialog", h.visibleForm());
    EXPECT_FALSE(timerOn());
    EXPECT_FALSE(progressShown());

    h.boxes.expect("Warning", kRebootWarning, Yes, kWarningFlags);
    h.click(page().OKButton);
    h.wait(500);
    EXPECT_TRUE(progressShown());
    EXPECT_FALSE(page().visible());
    EXPECT_TRUE(page().loaded());
}

TEST_F(FinishDialogTest, ChangedSettingsChooseYesAndACancelledSaveStays) {
    arrive([this] { changeSomething(); });
    EXPECT_TRUE(page().Option1->checked());
    cancelLater();
    h.click(page().OKButton);
    EXPECT_EQ(finish::Cancelled, core.ws.FinishAction);
    EXPECT_FALSE(dialog().loaded());
    EXPECT_FALSE(timerOn());
    h.wait(3000);
    EXPECT_EQ("FinishDialog", h.visibleForm());
    EXPECT_FALSE(core.ws.SettingsSaved);
}

TEST_F(FinishDialogTest, ChangedSettingsAreSavedBeforeTheWarning) {
    arrive([this] { changeSomething(); });
    const std::string path = folders.root + "/entries";
    saveLater(path);
    h.click(page().OKButton);
    EXPECT_TRUE(core.ws.SettingsSaved);
    EXPECT_TRUE(std::filesystem::exists(path + ".ksf"));
    EXPECT_TRUE(timerOn());
    h.boxes.expect("Warning", kRebootWarning, Yes, kWarningFlags);
    h.wait(500);
    EXPECT_TRUE(progressShown());
}

TEST_F(FinishDialogTest, FileRouteHandsOverWithoutTheRebootWarning) {
    show(pages.get<kestrel::PortSelect>());
    h.click(pages.get<kestrel::PortSelect>().PortFile);
    h.setText(pages.get<kestrel::PortSelect>().FileName, folders.root + "/cmds.txt");
    arrive();
    h.click(page().OKButton);
    h.wait(500);
    EXPECT_TRUE(progressShown());
    EXPECT_FALSE(page().visible());
}

TEST_F(FinishDialogTest, SaveAndExitEndsWithoutSendingOrAskingAgain) {
    arrive([this] { changeSomething(); });
    saveLater(folders.root + "/entries.ksf");
    h.click(page().SaveExit);
    EXPECT_EQ("Save Wizard Settings", dialog().caption());
    h.wait(1000);
    EXPECT_TRUE(h.ended());
    EXPECT_TRUE(std::filesystem::exists(folders.root + "/entries.ksf"));
    EXPECT_FALSE(progressShown());
}

TEST_F(FinishDialogTest, ACancelledSaveAndExitLapses) {
    arrive([this] { changeSomething(); });
    cancelLater();
    h.click(page().SaveExit);
    EXPECT_TRUE(page().SaveExitChosen);
    h.wait(1000);
    EXPECT_EQ("FinishDialog", h.visibleForm());
    EXPECT_FALSE(page().SaveExitChosen);
    EXPECT_FALSE(timerOn());

    // A later Finish sends instead of leaving.
    h.click(page().Option2);
    h.click(page().OKButton);
    h.boxes.expect("Warning", kRebootWarning, No);
    h.wait(500);
    EXPECT_FALSE(h.ended());
}

TEST_F(FinishDialogTest, BackUnloadsAndTheNextArrivalRebuilds) {
    arrive();
    const std::string before = core.ws.SetupCommands;
    EXPECT_TRUE(page().Option2->checked());
    h.click(page().Back);
    EXPECT_FALSE(page().loaded());
    EXPECT_EQ("WiredDlg", h.visibleForm());
    changeSomething();
    h.click(wired().Next);
    EXPECT_EQ("FinishDialog", h.visibleForm());
    EXPECT_TRUE(page().Option1->checked());
    EXPECT_NE(before, core.ws.SetupCommands);
    EXPECT_EQ(&wired(), page().PrevForm);
}

TEST_F(FinishDialogTest, ExitAsksAndCloseBoxLeaves) {
    arrive();
    h.boxes.expect("Caution Exiting Wizard", kExitQuestion, No);
    h.click(page().CancelButton);
    EXPECT_EQ("FinishDialog", h.visibleForm());
    h.close(page()); // settings unchanged: no save question
    EXPECT_TRUE(h.ended());
}

} // namespace
} // namespace kestrel::testing
