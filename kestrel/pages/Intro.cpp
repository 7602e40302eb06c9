#include "kestrel/pages/Intro.h"

#include "kestrel/core/Core.h"
#include "kestrel/pages/Pages.h"

namespace kestrel {

void WelcomePage::Build() {
    setCaption("Welcome");
    label("Label1", design_.heading).asHeading();
    label("Label3", "This wizard will guide you through the process of configuring the basic "
                    "settings of your printer's network interface card (NIC). Please refer to "
                    "the user manual for additional information.");
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
    // Minimise the CD menu while the wizard runs; the exit routine restores it.
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
    core().ConfirmExit();
}

void WelcomePage::Next_Click() {
    // The welcome page stays loaded behind; the start-new-or-load page's Next unloads it.
    pages().getLoadDlg().Show();
}

void WelcomePage::Form_QueryUnload(int& cancel, int unloadMode) {
    (void)cancel;
    if (unloadMode == ui::kUnloadUser)
        core().ExitWizard();
}

Intro::Intro(Core& core, KestrelPages& pages)
    : WelcomePage(core, pages, "Intro",
                  {"Welcome to the Corvane Kestrel",
                   "For more complete control over your network printers, please use Corlink "
                   "Enterprise.",
                   "Click the Next button to  continue.", "corvane-logo"}) {}

ui::Form& Intro::aboutBox() {
    return pages().getfrmAbout();
}

} // namespace kestrel
