#include "kestrel/pages/frmAbout.h"

#include "kestrel/core/Core.h"
#include "printpath/PrintPath.h"

namespace kestrel {

void AboutBox::Build() {
    image("picIcon", icon_);
    label(lblTitle, "Product Name").beside();
    label(lblVersion, "");
    label("lblDescription", "This application will help guide you through the process of "
                            "configuring your printer's network interface card (NIC)");
    add(ui::ControlKind::Line, "Line1", 0);
    add(ui::ControlKind::Line, "Line1", 1);
    label(lblCopyright, "");
    button(cmdOK, "OK").setDefault(true).setCancel(true).onClick = [this] { cmdOK_Click(); };
}

void AboutBox::Form_Load() {
    const std::string title = core().ProgramTitle();
    setCaption("About " + title);
    lblVersion->setCaption("Version " + printpath::VersionText());
    lblTitle->setCaption(title);
    lblCopyright->setCaption(core().GetCopyright());
}

void AboutBox::cmdOK_Click() {
    Unload();
}

void AboutBox::Form_QueryUnload(int& cancel, int unloadMode) {
    (void)cancel;
    if (unloadMode == ui::kUnloadUser)
        core().ExitWizard();
}

} // namespace kestrel
