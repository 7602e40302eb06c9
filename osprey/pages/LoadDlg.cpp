#include "osprey/pages/LoadDlg.h"

#include "osprey/core/Core.h"
#include "osprey/pages/Operation.h"
#include "osprey/pages/Pages.h"
#include "osprey/pages/PrinterSetup.h"
#include "osprey/pages/Selection.h"

namespace osprey {

void LoadDlg::Build() {
    setCaption("Load Wizard Settings");
    label("Label1", "Load Osprey Settings ").asHeading();
    label("Label6", "Please specify if you would like to retrieve the wizard settings you made in "
                    "a previous session or start new.");
    option(StartNew, "&Start New").setValue(1);
    label("Label2", "Use the default settings.");
    option(Load, "&Load Previously Saved Wizard Settings ");
    label("Label3", "Use the wizard settings you previously saved to a file.");
    button(Prev, "< Back").asBack().onClick = [this] { Prev_Click(); };
    button(Next, "Next >").beside().setDefault(true).onClick = [this] { Next_Click(); };
    button(Cancel, "Cancel").beside().setCancel(true).onClick = [this] { Cancel_Click(); };
}

void LoadDlg::Next_Click() {
    Operation& media = pages().getOperation();
    media.Show();
    Hide();
    if (StartNew->checked()) {
        // Both settings pages start again from their defaults.
        media.Unload();
        pages().getPrinterSetup().Unload();
        media.Show();
    } else if (Load->checked()) {
        media.Hide();
        media.Load_Click();
    }
}

void LoadDlg::Prev_Click() {
    pages().getSelection().Show();
    Hide();
}

void LoadDlg::Cancel_Click() {
    core().ConfirmExit(*this);
}

void LoadDlg::Form_QueryUnload(int& cancel, int unloadMode) {
    (void)cancel;
    if (unloadMode == ui::kUnloadUser)
        core().ExitWizard();
}

} // namespace osprey
