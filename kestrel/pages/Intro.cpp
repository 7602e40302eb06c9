#include "kestrel/pages/Intro.h"

#include "kestrel/core/Core.h"
#include "kestrel/pages/Pages.h"

namespace kestrel {

WelcomePage::WelcomePage(Core& core, KestrelPages& pages, const std::string& name,
                         wizard::WelcomeDesign design)
    : wizard::WelcomePage<Page>(
          "This wizard will guide you through the process of configuring the basic settings of "
          "your printer's network interface card (NIC). Please refer to the user manual for "
          "additional information.",
          std::move(design), core, pages, name) {}

void WelcomePage::Form_Load() {
    // Minimise the CD menu while the wizard runs; the exit routine restores it.
    const WizardState& ws = core().ws;
    if (ws.CdMenuMode)
        core().processes().startHidden(ws.CdMenuProgram + " min " + ws.CdMenuArg);
}

void WelcomePage::Next_Click() {
    // The welcome page stays loaded behind; the start-new-or-load page's Next unloads it.
    pages().get<LoadDlg>().Show();
}

Intro::Intro(Core& core, KestrelPages& pages)
    : WelcomePage(core, pages, kName,
                  {"Welcome to the Corvane Kestrel",
                   "For more complete control over your network printers, please use Corlink "
                   "Enterprise.",
                   "Click the Next button to  continue.", "corvane-logo"}) {}

ui::Form& Intro::aboutBox() {
    return pages().get<frmAbout>();
}

} // namespace kestrel
