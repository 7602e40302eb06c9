#include "osprey/pages/Dialog.h"

#include "osprey/core/Core.h"
#include "osprey/pages/FinishDialog.h"
#include "osprey/pages/LoadDlg.h"
#include "osprey/pages/Operation.h"
#include "osprey/pages/Pages.h"
#include "osprey/pages/PrinterSetup.h"
#include "platform/sys/System.h"
#include "wizard/FileBrowse.h"

namespace osprey {

namespace {
const char* const kExtension = ".osp";
} // namespace

void Dialog::Build() {
    label(Title, "").asHeading();
    label(Subtitle, "");
    label("Label3", "Filename:");
    textBox(FileName).charsWide(48); // room for a path
    button(Browse, "Browse").beside().onClick = [this] { Browse_Click(); };
    button(OKButton, "OK").setDefault(true).onClick = [this] { OKButton_Click(); };
    button(CancelButton, "Cancel").beside().setCancel(true).onClick = [this] {
        CancelButton_Click();
    };
}

void Dialog::Form_Load() {
    std::string title;
    if (saving()) {
        pages().getPrinterSetup().Hide();
        title = "Save Wizard Settings";
        Subtitle->setCaption("Please select a file to hold the wizard settings");
    } else {
        pages().getOperation().Hide();
        title = "Load Wizard Settings";
        Subtitle->setCaption(
            "Please select the file that contains previously saved wizard settings");
    }
    setCaption(title);
    Title->setCaption(title);
}

void Dialog::Browse_Click() {
    wizard::browseInto(app(), FileName,
                       {"Wizard Settings (*.osp)|*.osp|All Files (*.*)|*.*",
                        core().sys().programFolder(), kExtension, wizard::LeadingBlanks::Keep});
}

void Dialog::OKButton_Click() {
    WizardState& ws = core().ws;
    std::string name = FileName->text();
    if (wizard::isInvalidFileName(name)) {
        core().ShowNotice("Invalid file name. Please enter a valid file name.");
        FileName->setFocus();
        return;
    }
    if (saving()) {
        if (name.find('.') == std::string::npos) {
            name += kExtension;
            FileName->setText(name);
        }
        const Core::SaveResult saved = core().SaveSettings(name);
        if (saved == Core::SaveResult::Failed) {
            // Nothing was saved: leaving later must offer to save again.
            ws.ExitAsked = false;
            FileName->setFocus();
            return; // the user picks another name or cancels
        }
        ws.SettingsChanged = false;
        ws.ExitAsked = true;
        if (saved == Core::SaveResult::Declined) {
            FileName->setFocus();
            return; // the user picks another name or cancels
        }
        Unload();
        if (Mode == kSaveOnExit) {
            // Saved on the way out: the exit routine now ends the program, so the finish
            // page is not brought up in passing.
            core().ExitWizard();
            return;
        }
        pages().getFinishDialog().Show();
        return;
    }

    // Load: a freshly loaded media page, so its lists hold only their built-in entries.
    Operation& media = pages().getOperation();
    media.Unload();
    media.load();
    core().LoadSavedSettings(name);
    ws.SettingsChanged = false;
    if (core().NamedFileExists(name)) {
        media.Show();
    } else {
        media.Unload();
        pages().getLoadDlg().Show();
    }
    Unload();
}

void Dialog::CancelButton_Click() {
    Unload();
    if (Mode == kSaveOnExit)
        core().ExitWizard();
    else if (Mode == kSave)
        pages().getFinishDialog().Show();
    else
        pages().getOperation().Show();
}

void Dialog::Form_QueryUnload(int& cancel, int unloadMode) {
    // The close box is this dialog's Cancel, not the wizard's exit; Cancel unloads it.
    if (unloadMode == ui::kUnloadUser) {
        cancel = 1;
        CancelButton_Click();
    }
}

} // namespace osprey
