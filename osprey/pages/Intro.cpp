#include "osprey/pages/Intro.h"

#include "osprey/core/Core.h"
#include "osprey/pages/Pages.h"
#include "osprey/pages/SelectDlg.h"
#include "osprey/pages/frmAbout.h"

namespace osprey {

void WelcomePage::Build() {
    setCaption("Welcome");
    label("Label1", design_.heading).asHeading();
    label("Label3", "This wizard will guide you through the process of configuring the basic "
                    "settings of your printer and its network interface card (NIC). Please refer "
                    "to the user manual for assistance in configuring the other printer "
                    "settings.");
    label("Label4", design_.hint);
    label("Label2", design_.clickNext);
    image("Logo", design_.picture);
    line("Line1");
    line("Line2");
    button(About, "About").onClick = [this] { About_Click(); };
    button(Exit, "Exit").beside().setCancel(true).onClick = [this] { Exit_Click(); };
    button(Next, "Next >").beside().setDefault(true).onClick = [this] { Next_Click(); };
}

void WelcomePage::Form_Load() {
    // Minimise the CD menu while the wizard runs; the exit routine restores it. A failed
    // start is not reported.
    const WizardState& ws = core().ws;
    if (ws.CdMenuMode)
        core().processes().startHidden(ws.CdMenuProgram + " min " + ws.CdMenuArg);
}

void WelcomePage::About_Click() {
    // Each showing builds the box afresh, so its load handler runs every time.
    ui::Form& box = aboutBox();
    box.ShowModal();
    box.Unload();
}

void WelcomePage::Exit_Click() {
    core().ConfirmExit(*this);
}

void WelcomePage::Next_Click() {
    pages().getSelectDlg().Show();
    // The partner page stays behind the choice page, whose Next unloads both.
    if (design_.hideOnNext)
        Hide();
}

void WelcomePage::Form_QueryUnload(int& cancel, int unloadMode) {
    (void)cancel;
    if (unloadMode == ui::kUnloadUser)
        core().ExitWizard();
}

Intro::Intro(Core& core, OspreyPages& pages)
    : WelcomePage(core, pages, "Intro",
                  {"Welcome to the Corvane Osprey",
                   "For more complete control over your network printers, please use Corlink "
                   "Enterprise.",
                   "Click the Next button to continue.", "corvane-logo", true}) {}

ui::Form& Intro::aboutBox() {
    return pages().getfrmAbout();
}

} // namespace osprey
