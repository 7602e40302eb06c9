#include "kestrel/pages/Dialog.h"
#include "kestrel/pages/LoadDlg.h"
#include "tests/kestrel_pages/KestrelFixture.h"

#include <filesystem>

namespace kestrel_test {
namespace {

using kestrel::Dialog;
using ui::mb::No;

const std::string kBadName = "Invalid file name. Please enter a valid file name.";
const std::string kMismatch =
    "Inputs for the password does not match, please re-enter the password again.";
const std::string kNotFound = "File not found. Please select another file.";

class DialogTest : public KestrelFixture {
  protected:
    DialogTest() { start(" GO"); }

    Dialog& dialog() { return pages.get<kestrel::Dialog>(); }

    void open(int mode) {
        h.run([&] {
            dialog().Mode = mode;
            dialog().Show();
        });
    }
    void fill(const std::string& name, const std::string& password, const std::string& confirm) {
        h.setText(dialog().FileName, name);
        h.setText(dialog().Password, password);
        if (dialog().ConfirmTxt->visible())
            h.setText(dialog().ConfirmTxt, confirm);
        else
            dialog().ConfirmTxt->setText(confirm); // hidden, but not empty
    }
    void expectStillOpen() {
        EXPECT_TRUE(dialog().visible());
        EXPECT_EQ(core.ws.FinishAction, kestrel::finish::Open);
        EXPECT_FALSE(core.ws.DialogClosed);
    }
    // A settings file saved from the pages as they are.
    void saveFile(const std::string& name, const std::string& password) {
        h.boxes.expectContaining("Notice", "Settings successfully saved in");
        h.run([&] { core.SaveSettings(path(name), password); });
        ASSERT_TRUE(h.boxes.allShown());
    }
};

TEST_F(DialogTest, TextsFollowTheModeAndOnlyOneMeansSave) {
    const struct {
        int mode;
        std::string title;
        std::string subtitle;
    } cases[] = {
        {1, "Save Wizard Settings", "Please select a file to hold the wizard settings"},
        {0, "Load Wizard Settings",
         "Please select the file that contains previously saved wizard settings"},
        {2, "Load Wizard Settings",
         "Please select the file that contains previously saved wizard settings"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode);
        open(c.mode);
        EXPECT_EQ(dialog().caption(), c.title);
        EXPECT_EQ(dialog().Title->caption(), c.title);
        EXPECT_EQ(dialog().Subtitle->caption(), c.subtitle);
        h.click(dialog().CancelButton);
    }
}

// Each refusal keeps the dialog open with the focus on the field its message is about.
TEST_F(DialogTest, OkChecksStopAtTheFirstFailure) {
    saveFile("secret.ksf", "Pass");
    write("other.ksf", "not a settings file");
    struct Case {
        const char* what;
        int mode;
        std::string name, password, confirm;
        bool show;
        std::string notice;
        ui::ControlRef Dialog::*focus;
    };
    const std::string badPassword =
        "Error Invalid Password.\r\nUnable to load the saved settings\r\n";
    const std::string otherFile = "Error Reading File\r\nIncompatible File Type Detected\r\n"
                                  "Unable to load the saved settings\r\n";
    const Case cases[] = {
        {"empty name", 0, "", "pw", "pw", false, kBadName, &Dialog::FileName},
        {"one blank", 0, " ", "pw", "pw", false, kBadName, &Dialog::FileName},
        {"a folder", 1, "sub/", "pw", "pw", false, kBadName, &Dialog::FileName},
        {"no Windows-1252 form", 1, "\xD0\x96urnal", "pw", "pw", false, kBadName,
         &Dialog::FileName},
        {"name before password", 0, "", "pw", "PW", false, kBadName, &Dialog::FileName},
        {"case differs", 0, "x.ksf", "pw", "PW", false, kMismatch, &Dialog::ConfirmTxt},
        {"no confirmation", 1, "x.ksf", "pw", "", false, kMismatch, &Dialog::ConfirmTxt},
        {"two blanks pass", 0, "  ", "", "", false, kNotFound, &Dialog::FileName},
        {"hidden confirmation ignored", 0, "missing.ksf", "pw", "other", true, kNotFound,
         &Dialog::FileName},
        {"not a settings file", 0, "other.ksf", "", "", false, otherFile, &Dialog::FileName},
        {"wrong password", 0, "secret.ksf", "pass", "pass", false, badPassword, &Dialog::Password},
        {"wrong password shown", 0, "secret.ksf", "pass", "", true, badPassword, &Dialog::Password},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        core.ws.DialogClosed = false; // the callers clear it, not the dialog
        open(c.mode);
        if (c.show)
            h.click(dialog().ShowCheck);
        fill(c.name, c.password, c.confirm);
        h.boxes.expect("Notice", c.notice, ui::mb::Ok, ui::mb::OkOnly | ui::mb::Information);
        h.click(dialog().OKButton);
        EXPECT_TRUE(h.boxes.allShown());
        expectStillOpen();
        EXPECT_EQ(dialog().FileName->text(), c.name) << "fields are kept";
        const ui::Control* focused = dialog().focused();
        EXPECT_EQ(focused ? focused->fullName() : "", (dialog().*c.focus)->fullName());
        EXPECT_FALSE(core.ws.SettingsSaved);
        h.click(dialog().CancelButton);
        h.boxes.clear();
    }
}

TEST_F(DialogTest, SaveAddsTheExtensionOnlyWhenTheNameHasNoDot) {
    std::filesystem::create_directory(path("my.dir"));
    const struct {
        std::string typed, written;
    } cases[] = {{"mysettings", "mysettings.ksf"},
                 {"other.cfg", "other.cfg"},
                 {"my.dir/plain", "my.dir/plain"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        core.ws.SettingsSaved = false;
        open(Dialog::kSave);
        fill(c.typed, "pw", "pw");
        std::string shown;
        h.boxes.expect("Notice", "Settings successfully saved in " + c.written + "\r\n")
            .during([&] { shown = dialog().FileName->text(); });
        h.click(dialog().OKButton);
        EXPECT_EQ(shown, c.written);
        EXPECT_TRUE(exists(c.written));
        EXPECT_TRUE(core.ws.SettingsSaved);
        EXPECT_EQ(core.ws.FinishAction, kestrel::finish::Done);
        EXPECT_TRUE(core.ws.DialogClosed);
        EXPECT_FALSE(dialog().loaded());
    }
}

TEST_F(DialogTest, RefusedOverwriteKeepsTheDialogAndTheOldFile) {
    write("old.ksf", "old bytes");
    open(Dialog::kSave);
    fill("old.ksf", "", "");
    h.boxes.expect("File Exist Error",
                   "Warning! Selected file currently exists\r\nDo you want to overwrite the file?",
                   No);
    h.click(dialog().OKButton);
    expectStillOpen();
    EXPECT_FALSE(core.ws.SettingsSaved);
    EXPECT_EQ(read("old.ksf"), "old bytes");
}

TEST_F(DialogTest, LoadTakesTheNameAsTypedAndThePasswordOfTheDialog) {
    saveFile("secret.ksf", "Pass");
    open(Dialog::kLoad);
    fill("secret", "Pass", "Pass");
    h.boxes.expect("Notice", kNotFound);
    h.click(dialog().OKButton);
    expectStillOpen();

    fill("secret.ksf", "pass", "pass");
    h.boxes.expectContaining("Notice", "Error Invalid Password.");
    h.click(dialog().OKButton);
    expectStillOpen();

    fill("secret.ksf", "Pass", "Pass");
    h.click(dialog().OKButton);
    EXPECT_TRUE(h.boxes.allShown());
    EXPECT_FALSE(dialog().loaded());
    EXPECT_EQ(core.ws.FinishAction, kestrel::finish::Done);
    EXPECT_TRUE(core.ws.DialogClosed);
    EXPECT_FALSE(core.ws.SettingsSaved) << "a load is not a save";
}

TEST_F(DialogTest, ShowPasswordUnmasksAndHidesTheConfirmation) {
    open(Dialog::kSave);
    ui::Control& pw = *dialog().Password;
    EXPECT_EQ(pw.passwordChar(), "*");
    EXPECT_EQ(dialog().ConfirmTxt->passwordChar(), "*");
    h.click(dialog().ShowCheck);
    EXPECT_EQ(pw.passwordChar(), "");
    EXPECT_FALSE(dialog().ConfirmTxt->visible());
    EXPECT_FALSE(dialog().ConfirmLabel->visible());
    h.click(dialog().ShowCheck);
    EXPECT_EQ(pw.passwordChar(), "*");
    EXPECT_TRUE(dialog().ConfirmTxt->visible());
    EXPECT_TRUE(dialog().ConfirmLabel->visible());
}

TEST_F(DialogTest, CloseBoxActsAsCancelAndEachOpeningStartsAfresh) {
    for (bool closeBox : {false, true}) {
        SCOPED_TRACE(closeBox ? "close box" : "Cancel");
        open(Dialog::kLoad);
        EXPECT_EQ(dialog().FileName->text(), "");
        EXPECT_EQ(dialog().Password->passwordChar(), "*");
        EXPECT_EQ(core.ws.FinishAction, kestrel::finish::Open);
        fill("some.ksf", "a", "b");
        h.click(dialog().ShowCheck);
        core.ws.DialogClosed = false;
        if (closeBox)
            h.close(dialog());
        else
            h.click(dialog().CancelButton);
        EXPECT_FALSE(h.ended()) << "the close box is not the wizard's exit";
        EXPECT_FALSE(dialog().loaded());
        EXPECT_EQ(core.ws.FinishAction, kestrel::finish::Cancelled);
        EXPECT_TRUE(core.ws.DialogClosed);
        EXPECT_TRUE(h.boxes.shown().empty());
    }
}

TEST_F(DialogTest, BrowseFillsTheNameAndCancelLeavesIt) {
    open(Dialog::kLoad);
    h.setText(dialog().FileName, "typed.ksf");
    h.browser.answer(std::nullopt).answer(std::string("  /data/net\0junk", 16));
    h.click(dialog().Browse);
    EXPECT_EQ(dialog().FileName->text(), "typed.ksf");
    h.click(dialog().Browse);
    EXPECT_EQ(dialog().FileName->text(), "/data/net.ksf");

    ASSERT_EQ(h.browser.requests().size(), 2u);
    const ui::FileBrowseRequest& r = h.browser.requests()[0];
    EXPECT_EQ(r.title, "File Browser");
    EXPECT_EQ(r.filter, "Kestrel Settings (*.ksf)|*.ksf|All Files (*.*)|*.*");
    EXPECT_EQ(r.initialDir, folder.path.string());
    EXPECT_FALSE(r.fileMustExist);
    EXPECT_FALSE(r.forSave);
}

TEST_F(DialogTest, OkAfterTheExitSaveEndsTheProgramAtOnce) {
    core.ws.ExitAfterSave = true;
    open(Dialog::kSave);
    fill("last", "", "");
    h.boxes.expectContaining("Notice", "Settings successfully saved in last.ksf");
    h.click(dialog().OKButton);
    EXPECT_TRUE(h.ended());
    EXPECT_TRUE(exists("last.ksf"));
    EXPECT_TRUE(pages.get<kestrel::LoadDlg>().loaded()) << "ends with no unloading";
}

} // namespace
} // namespace kestrel_test
