#include "osprey/pages/Intro.h"

#include "osprey/core/Core.h"
#include "osprey/pages/Pages.h"
#include "osprey/pages/SelectDlg.h"
#include "osprey/pages/frmAbout.h"

namespace osprey {

WelcomePage::WelcomePage(Core& core, OspreyPages& pages, const std::string& name,
                         wizard::WelcomeDesign design, bool hideOnNext)
    : wizard::WelcomePage<Page>(
          "This wizard will guide you through the process of configuring the basic settings of "
          "your printer and its network interface card (NIC). Please refer to the user manual "
          "for assistance in configuring the other printer settings.",
          std::move(design), core, pages, name),
      hideOnNext_(hideOnNext) {}

void WelcomePage::Form_Load() {
    // Minimise the CD menu while the wizard runs; the exit routine restores it. A failed
    // start is not reported.
    const WizardState& ws = core().ws;
    if (ws.CdMenuMode)
        core().processes().startHidden(ws.CdMenuProgram + " min " + ws.CdMenuArg);
}

void WelcomePage::Next_Click() {
    pages().get<SelectDlg>().Show();
    // The partner page stays behind the choice page, whose Next unloads both.
    if (hideOnNext_)
        Hide();
}

Intro::Intro(Core& core, OspreyPages& pages)
    : WelcomePage(core, pages, kName,
                  {"Welcome to the Corvane Osprey",
                   "For more complete control over your network printers, please use Corlink "
                   "Enterprise.",
                   "Click the Next button to continue.", "corvane-logo"},
                  true) {}

ui::Form& Intro::aboutBox() {
    return pages().get<frmAbout>();
}

} // namespace osprey
