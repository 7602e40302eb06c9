#include "kestrel/pages/Dialog.h"

#include "kestrel/core/Core.h"
#include "wizard/FileBrowse.h"

namespace kestrel {

namespace {
const char* const kExtension = ".ksf";
} // namespace

Dialog::Dialog(Core& core, KestrelPages& pages)
    : SettingsDialog({"Kestrel Settings (*.ksf)|*.ksf|All Files (*.*)|*.*", kExtension,
                      wizard::LeadingBlanks::Drop},
                     core, pages, kName) {}

void Dialog::Build() {
    buildFileRow().setToolTip("Path and name of settings file.");
    label("Label1", "File Password:");
    textBox(Password).setToolTip("Password for file access.").setPasswordChar("*");
    label(ConfirmLabel, "Confirm:");
    textBox(ConfirmTxt).setToolTip("Re-type password for confirmation.").setPasswordChar("*");
    checkBox(ShowCheck, "Show Password")
        .setToolTip("Check to show the password as it is being entered.")
        .onClick = [this] { ShowCheck_Click(); };
    buildButtons();
}

void Dialog::Form_Load() {
    core().ws.FinishAction = finish::Open;
    Password->setPasswordChar("*");
    ConfirmLabel->setVisible(true);
    ConfirmTxt->setVisible(true);
    showMode(Mode == kSave);
}

void Dialog::ShowCheck_Click() {
    applyShowText(*Password, *ConfirmTxt, *ConfirmLabel, ShowCheck->value() == 1);
}

void Dialog::saveOrLoad(std::string name) {
    WizardState& ws = core().ws;
    if (ShowCheck->value() != 1 && Password->text() != ConfirmTxt->text()) {
        core().ShowNotice(
            "Inputs for the password does not match, please re-enter the password again.");
        ConfirmTxt->setFocus();
        return;
    }
    bool done;
    bool wrongPassword = false;
    if (Mode == kSave) {
        if (name.find('.') == std::string::npos) {
            name += kExtension;
            FileName->setText(name);
        }
        done = core().SaveSettings(name, Password->text());
        if (done)
            ws.SettingsSaved = true;
    } else {
        const Core::LoadResult result = core().loadSettingsFile(name, Password->text());
        done = result == Core::LoadResult::Loaded;
        wrongPassword = result == Core::LoadResult::WrongPassword;
    }
    // The file routines have told the user why; the dialog stays open to correct it, the
    // focus on the field the message is about.
    if (!done) {
        if (loaded())
            (wrongPassword ? Password : FileName)->setFocus();
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

} // namespace kestrel
