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
    navigationRow();
}

void LoadDlg::Next_Click() {
    Operation& media = pages().get<Operation>();
    media.Show();
    Hide();
    if (StartNew->checked()) {
        // Both settings pages start again from their defaults.
        media.Unload();
        pages().get<PrinterSetup>().Unload();
        media.Show();
    } else if (Load->checked()) {
        media.Hide();
        media.Load_Click();
    }
}

void LoadDlg::Prev_Click() {
    pages().get<Selection>().Show();
    Hide();
}

} // namespace osprey
