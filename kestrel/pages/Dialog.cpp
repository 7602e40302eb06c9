#include "kestrel/pages/Dialog.h"

#include "kestrel/core/Core.h"
#include "wizard/FileBrowse.h"

namespace kestrel {

namespace {
const char* const kExtension = ".ksf";
} // namespace

void Dialog::Build() {
    label(Title, "").asHeading();
    label(Subtitle, "");
    label("Label3", "Filename:");
    textBox(FileName).setToolTip("Path and name of settings file.").charsWide(48); // a path
    button(Browse, "Browse").beside().onClick = [this] { Browse_Click(); };
    label("Label1", "File Password:");
    textBox(Password).setToolTip("Password for file access.").setPasswordChar("*");
    label(ConfirmLabel, "Confirm:");
    textBox(ConfirmTxt).setToolTip("Re-type password for confirmation.").setPasswordChar("*");
    checkBox(ShowCheck, "Show Password")
        .setToolTip("Check to show the password as it is being entered.")
        .onClick = [this] { ShowCheck_Click(); };
    button(OKButton, "OK").setDefault(true).onClick = [this] { OKButton_Click(); };
    button(CancelButton, "Cancel").beside().setCancel(true).onClick = [this] {
        CancelButton_Click();
    };
}

void Dialog::Form_Load() {
    core().ws.FinishAction = finish::Open;
    Password->setPasswordChar("*");
    ConfirmLabel->setVisible(true);
    ConfirmTxt->setVisible(true);
    const bool save = Mode == kSave;
    const std::string title = save ? "Save Wizard Settings" : "Load Wizard Settings";
    setCaption(title);
    Title->setCaption(title);
    Subtitle->setCaption(
        save ? "Please select a file to hold the wizard settings"
             : "Please select the file that contains previously saved wizard settings");
}

void Dialog::ShowCheck_Click() {
    applyShowText(*Password, *ConfirmTxt, *ConfirmLabel, ShowCheck->value() == 1);
}

void Dialog::Browse_Click() {
    wizard::browseInto(app(), FileName,
                       {"Kestrel Settings (*.ksf)|*.ksf|All Files (*.*)|*.*",
                        core().sys().programFolder(), kExtension, wizard::LeadingBlanks::Drop});
}

void Dialog::OKButton_Click() {
    WizardState& ws = core().ws;
    std::string name = FileName->text();
    if (wizard::isInvalidFileName(name)) {
        core().ShowNotice("Invalid file name. Please enter a valid file name.");
        FileName->setFocus();
        return;
    }
    if (ShowCheck->value() != 1 && Password->text() != ConfirmTxt->text()) {
        core().ShowNotice(
            "Inputs for the password does not match, please re-enter the password again.");
        ConfirmTxt->setFocus();
        return;
    }
    bool done;
    if (Mode == kSave) {
        if (name.find('.') == std::string::npos) {
            name += kExtension;
            FileName->setText(name);
        }
        done = core().SaveSettings(name, Password->text());
        if (done)
            ws.SettingsSaved = true;
    } else {
        done = core().LoadSavedSettings(name, Password->text());
    }
    // The file routines have told the user why; the dialog stays open to correct it.
    if (!done) {
        if (loaded())
            FileName->setFocus();
        return;
    }
    ws.FinishAction = finish::Done;
    Unload();
    ws.DialogClosed = true;
    if (ws.ExitAfterSave)
        app().End();
}

void Dialog::CancelButton_Click() {
    WizardState& ws = core().ws;
    ws.FinishAction = finish::Cancelled;
    ws.DialogClosed = true;
    Unload();
}

void Dialog::Form_QueryUnload(int& cancel, int unloadMode) {
    // The close box is this dialog's Cancel, not the wizard's exit; Cancel unloads it.
    if (unloadMode == ui::kUnloadUser) {
        cancel = 1;
        CancelButton_Click();
    }
}

} // namespace kestrel
