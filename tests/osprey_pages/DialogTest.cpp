#include "tests/osprey_pages/OspreyFixture.h"

namespace osprey_test {
namespace {

using ui::mb::No;
using ui::mb::Yes;

class DialogTest : public OspreyFixture {
  protected:
    osprey::Dialog& dialog() { return pages.get<osprey::Dialog>(); }
    // The dialog in load mode, reached as the user does.
    void toLoadDialog() {
        toLoadDlg();
        h.click(pages.get<osprey::LoadDlg>().Load);
        h.click(pages.get<osprey::LoadDlg>().Next);
        ASSERT_EQ(h.visibleForm(), "Dialog");
    }
    // The dialog in a save mode over the printer setup page.
    void toSaveDialog(int mode) {
        toLoadDlg();
        h.click(pages.get<osprey::LoadDlg>().Next);
        h.run([&] {
            pages.get<osprey::Operation>().Hide();
            pages.get<osprey::PrinterSetup>().Show();
            dialog().Mode = mode;
            dialog().Show();
        });
        ASSERT_EQ(h.visibleForm(), "Dialog");
    }
    void saveAs(const std::string& name) {
        h.setText(dialog().FileName, name);
        h.click(dialog().OKButton);
    }
};

TEST_F(DialogTest, BrowseFillsTheNameAndCancelKeepsIt) {
    toLoadDialog();
    h.browser.answer(std::string("/data/labels"));
    h.click(dialog().Browse);
    EXPECT_EQ(dialog().FileName->text(), "/data/labels.osp");
    ASSERT_EQ(h.browser.requests().size(), 1u);
    const auto& r = h.browser.requests()[0];
    EXPECT_EQ(r.title, "File Browser");
    EXPECT_EQ(r.filter, "Wizard Settings (*.osp)|*.osp|All Files (*.*)|*.*");
    EXPECT_EQ(r.initialDir, folder.path.string());

    h.browser.answer(std::nullopt);
    h.click(dialog().Browse);
    EXPECT_EQ(dialog().FileName->text(), "/data/labels.osp");
}

TEST_F(DialogTest, InvalidNamesAreRefusedAndTheDialogStays) {
    toSaveDialog(osprey::Dialog::kSave);
    for (const char* bad : {"", " ", "sub/"}) {
        h.boxes.expect("Notice", "Invalid file name. Please enter a valid file name.");
        saveAs(bad);
        EXPECT_EQ(h.visibleForm(), "Dialog");
        EXPECT_EQ(dialog().FileName->text(), bad);
    }
    EXPECT_TRUE(h.boxes.allShown());
}

TEST_F(DialogTest, SaveAddsTheExtensionAndGoesOnToTheFinishPage) {
    toSaveDialog(osprey::Dialog::kSave);
    h.boxes.expect("Notice", "Settings successfully saved in settings.osp\r\n");
    saveAs("settings");
    EXPECT_TRUE(h.boxes.allShown());
    EXPECT_TRUE(read("settings.osp").has_value());
    EXPECT_EQ(read("settings.osp")->size(), 96u);
    EXPECT_EQ(h.visibleForm(), "FinishDialog");
    EXPECT_FALSE(dialog().loaded());
    EXPECT_TRUE(core.ws.ExitAsked);
    EXPECT_FALSE(core.ws.SettingsChanged);
}

TEST_F(DialogTest, OverwriteDeclinedStaysAndLeavingDoesNotAskAgain) {
    write("kept.osp", "old");
    toSaveDialog(osprey::Dialog::kSave);
    h.run([&] { pages.get<osprey::PrinterSetup>().GapCB->setValue(0); }); // a setting to send
    h.boxes.expect("File Exist Error",
                   "Warning! Selected file currently exists\r\nDo you want to overwrite the file?",
                   No);
    saveAs("kept.osp");
    EXPECT_EQ(h.visibleForm(), "Dialog");
    EXPECT_EQ(read("kept.osp"), "old");

    // No save question on the way out: the close box ends the program at once.
    h.click(dialog().CancelButton);
    h.close(pages.get<osprey::FinishDialog>());
    EXPECT_TRUE(h.boxes.allShown());
    EXPECT_TRUE(h.ended());
}

TEST_F(DialogTest, FailedSaveKeepsTheOldFileAndLeavingAsksAgain) {
    write("kept.osp", "old");
    toSaveDialog(osprey::Dialog::kSave);
    // As the save question left it.
    core.ws.ExitAsked = true;
    h.run([&] { pages.get<osprey::PrinterSetup>().GapCB->setValue(0); }); // a setting to send
    system.setWriteFault([](sys::WriteStep s) { return s == sys::WriteStep::Write ? ENOSPC : 0; });
    h.boxes.expectContaining("File Exist Error", "overwrite", Yes)
        .expectContaining("Printer Error", "[ErrCode:61]\r\nUnable to save settings");
    saveAs("kept.osp");
    EXPECT_EQ(h.visibleForm(), "Dialog");
    EXPECT_EQ(read("kept.osp"), "old");

    h.click(dialog().CancelButton);
    h.boxes.expectContaining("Leaving Wizard Without Saving Settings", "Would you like to save",
                             No);
    h.close(pages.get<osprey::FinishDialog>());
    EXPECT_TRUE(h.boxes.allShown());
    EXPECT_TRUE(h.ended());
}

TEST_F(DialogTest, CancelLeadsOnByMode) {
    toLoadDialog();
    h.click(dialog().CancelButton);
    EXPECT_EQ(h.visibleForm(), "Operation");
    EXPECT_FALSE(dialog().loaded());

    h.run([&] {
        pages.get<osprey::Operation>().Hide();
        dialog().Mode = osprey::Dialog::kSave;
        dialog().Show();
    });
    h.close(dialog()); // the close box is Cancel
    EXPECT_FALSE(h.ended());
    EXPECT_EQ(h.visibleForm(), "FinishDialog");
}

TEST_F(DialogTest, SaveOnExitCancelEndsWithoutSaving) {
    toSaveDialog(osprey::Dialog::kSaveOnExit);
    core.ws.ExitAsked = true; // as the save question left it
    h.setText(dialog().FileName, "unsaved");
    h.close(dialog());
    EXPECT_TRUE(h.ended());
    EXPECT_FALSE(read("unsaved.osp").has_value());
}

TEST_F(DialogTest, SaveOnExitSavesAndEnds) {
    toSaveDialog(osprey::Dialog::kSaveOnExit);
    core.ws.ExitAsked = true;
    std::vector<std::string> before = watch.shown;
    h.boxes.expectContaining("Notice", "Settings successfully saved in");
    saveAs("onexit");
    EXPECT_TRUE(h.ended());
    EXPECT_TRUE(read("onexit.osp").has_value());
    std::vector<std::string> after(watch.shown.begin() + before.size(), watch.shown.end());
    EXPECT_TRUE(std::find(after.begin(), after.end(), "FinishDialog") == after.end())
        << "the finish page is not brought up on the way out";
}

TEST_F(DialogTest, CloseBoxQuestionYesOpensTheSaveOnExitDialog) {
    toLoadDlg();
    h.click(pages.get<osprey::LoadDlg>().Next);
    h.click(pages.get<osprey::Operation>().MediaTypeCB); // clear an Ignore box
    h.boxes.expectContaining("Leaving Wizard Without Saving Settings", "Would you like to save",
                             Yes);
    h.close(pages.get<osprey::Operation>());
    EXPECT_FALSE(h.ended());
    EXPECT_EQ(dialog().Mode, osprey::Dialog::kSaveOnExit);
    EXPECT_TRUE(dialog().visible());
    // The save reads the media page: it must still hold the user's values.
    ASSERT_TRUE(pages.get<osprey::Operation>().loaded());
    EXPECT_EQ(pages.get<osprey::Operation>().MediaTypeCB->value(), 0);
    h.boxes.expectContaining("Notice", "Settings successfully saved in");
    saveAs("exit");
    EXPECT_TRUE(h.ended());
    EXPECT_TRUE(read("exit.osp").has_value());
}

TEST_F(DialogTest, LoadRestoresIntoAFreshMediaPage) {
    // Save the settings with one box cleared, then load them back in a new visit.
    toSaveDialog(osprey::Dialog::kSave);
    h.click(dialog().CancelButton);
    h.run([&] {
        pages.get<osprey::FinishDialog>().Hide();
        pages.get<osprey::Operation>().MediaTypeCB->setValue(0);
        dialog().Mode = osprey::Dialog::kSave;
        dialog().Show();
    });
    h.boxes.expectContaining("Notice", "Settings successfully saved in");
    saveAs("media");
    h.run([&] {
        pages.get<osprey::FinishDialog>().Hide();
        pages.get<osprey::Operation>().Unload();
        pages.get<osprey::LoadDlg>().Show();
    });
    ASSERT_EQ(pages.get<osprey::Operation>().MediaTypeCB->value(), 1);
    h.run([&] { pages.get<osprey::Operation>().Unload(); });

    h.click(pages.get<osprey::LoadDlg>().Load);
    h.click(pages.get<osprey::LoadDlg>().Next);
    core.ws.SettingsChanged = true;
    saveAs("media.osp");
    EXPECT_EQ(h.visibleForm(), "Operation");
    EXPECT_EQ(pages.get<osprey::Operation>().MediaTypeCB->value(), 0);
    EXPECT_FALSE(core.ws.SettingsChanged);
    EXPECT_FALSE(dialog().loaded());
}

TEST_F(DialogTest, LoadOfAMissingFileReturnsToTheStartPage) {
    toLoadDialog();
    h.boxes.expect("Notice", "File not found. Please select another file.");
    saveAs("nothing.osp");
    EXPECT_TRUE(h.boxes.allShown());
    EXPECT_EQ(h.visibleForm(), "LoadDlg");
    EXPECT_FALSE(pages.get<osprey::Operation>().loaded());
    EXPECT_FALSE(dialog().loaded());
}

} // namespace
} // namespace osprey_test
