#include "osprey/pages/Dialog.h"

#include "osprey/core/Core.h"
#include "osprey/pages/FinishDialog.h"
#include "osprey/pages/LoadDlg.h"
#include "osprey/pages/Operation.h"
#include "osprey/pages/Pages.h"
#include "osprey/pages/PrinterSetup.h"
#include "wizard/FileBrowse.h"

namespace osprey {

namespace {
const char* const kExtension = ".osp";
} // namespace

Dialog::Dialog(Core& core, OspreyPages& pages)
    : SettingsDialog({"Wizard Settings (*.osp)|*.osp|All Files (*.*)|*.*", kExtension,
                      wizard::LeadingBlanks::Keep},
                     core, pages, kName) {}

void Dialog::Form_Load() {
    if (saving())
        pages().get<PrinterSetup>().Hide();
    else
        pages().get<Operation>().Hide();
    showMode(saving());
}

void Dialog::saveOrLoad(std::string name) {
    WizardState& ws = core().ws;
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
        pages().get<FinishDialog>().Show();
        return;
    }

    // Load: a freshly loaded media page, so its lists hold only their built-in entries.
    Operation& media = pages().get<Operation>();
    media.Unload();
    media.load();
    core().LoadSavedSettings(name);
    ws.SettingsChanged = false;
    if (core().NamedFileExists(name)) {
        media.Show();
    } else {
        media.Unload();
        pages().get<LoadDlg>().Show();
    }
    Unload();
}

void Dialog::CancelButton_Click() {
    Unload();
    if (Mode == kSaveOnExit)
        core().ExitWizard();
    else if (Mode == kSave)
        pages().get<FinishDialog>().Show();
    else
        pages().get<Operation>().Show();
}

} // namespace osprey
