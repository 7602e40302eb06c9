#include "kestrel/pages/WiredDlg.h"

#include "kestrel/core/Core.h"
#include "kestrel/pages/FieldChecks.h"
#include "kestrel/pages/FinishDialog.h"
#include "kestrel/pages/KeyChecks.h"
#include "kestrel/pages/NetworkDlg.h"
#include "kestrel/pages/Pages.h"
#include "kestrel/pages/WirelessQuestionDlg.h"

namespace kestrel {

void WiredDlg::Build() {
    setCaption("Configure Network Settings");
    label("Label1", "IP Address Assignment").asHeading();
    label("Label6", "Please specify the network interface adapter to be configured.", 1);
    frame("Frame1", "");
    option("NicOption", "&Wired", 0).in("Frame1");
    option("NicOption", "Wireles&s", 1).in("Frame1").beside();
    label("Label6", "Please specify how the IP Address will be assigned.", 0);
    option("useAutoIP", "&Automatic IP Address Assignment")
        .setToolTip(
            "Select this option if your network uses the BootP protocol to assign IP address.");
    checkBox("BootP", "Enable BootP");
    label("Label5", "Use the BootP protocol for network  address assignment", 0).beside();
    checkBox("DHCP", "Enable DHCP");
    label("Label5", "Use the DHCP server for network address assignment", 1).beside();
    option("useStaticIP", "&Manual IP Address Assignment")
        .setToolTip("Select this option if your want to manually assign an IP address.");
    label("Label2", "IP Address:", 0);
    textBox("IPAddr").setToolTip("Enter the IP address for the printer.").beside().charsWide(15);
    label("Label2", "Subnet Mask:", 1);
    textBox("SubMask").setToolTip("Enter the subnet mask for the printer.").beside().charsWide(15);
    label("Label2", "Gateway:", 2);
    textBox("Gateway")
        .setToolTip("Enter the IP address of the gateway for the printer.")
        .beside()
        .charsWide(15);
    navigationRow([this] { Prev_Click(); }, [this] { Next_Click(); }, [this] { Cancel_Click(); });

    ctl("useAutoIP").onClick = [this] { useAutoIP_Click(); };
    ctl("useStaticIP").onClick = [this] { useStaticIP_Click(); };
}

void WiredDlg::Form_Load() {
    SetDefaultState();
}

void WiredDlg::Form_QueryUnload(int& cancel, int unloadMode) {
    (void)cancel;
    if (unloadMode == ui::kUnloadUser)
        core().ExitWizard();
}

void WiredDlg::SetDefaultState() {
    for (int i = 0; i < 3; ++i)
        ctl("Label2", i).setEnabled(false);
    ctl("NicOption", 0).setValue(1);
    ctl("NicOption", 1).setValue(0);
    ctl("useAutoIP").setValue(1);
    ctl("useAutoIP").setEnabled(true);
    ctl("BootP").setEnabled(true);
    ctl("DHCP").setEnabled(true);
    ctl("DHCP").setValue(1);
    ctl("BootP").setValue(0);
    ctl("useStaticIP").setValue(0);
    for (const char* name : {"IPAddr", "SubMask", "Gateway"})
        enableField(ctl(name), nullptr, false);
}

void WiredDlg::applyAddressPattern(bool staticAddress) {
    enableField(ctl("IPAddr"), &ctl("Label2", 0), staticAddress);
    enableField(ctl("SubMask"), &ctl("Label2", 1), staticAddress);
    enableField(ctl("Gateway"), &ctl("Label2", 2), staticAddress);
    ctl("BootP").setEnabled(!staticAddress);
    ctl("DHCP").setEnabled(!staticAddress);
    ctl("Label5", 0).setEnabled(!staticAddress);
    ctl("Label5", 1).setEnabled(!staticAddress);
}

void WiredDlg::useAutoIP_Click() {
    applyAddressPattern(false);
}
void WiredDlg::useStaticIP_Click() {
    applyAddressPattern(true);
}

bool WiredDlg::ValidIPAddress(const std::string& text, const std::string& name) {
    if (auto error = staticAddressError(text, name)) {
        core().ShowProgramError(*error, false, "");
        return false;
    }
    return true;
}

bool WiredDlg::ValidSubMask(const std::string& text) {
    if (auto error = subMaskError(text)) {
        core().ShowProgramError(*error, false, "");
        return false;
    }
    return true;
}

bool WiredDlg::ValidateStaticIP() {
    // The field a failed check is about takes the focus.
    ui::Control* failed = !ValidIPAddress(ctl("IPAddr").text(), "IP Address") ? &ctl("IPAddr")
                          : !ValidIPAddress(ctl("Gateway").text(), "Gateway Address")
                              ? &ctl("Gateway")
                          : !ValidSubMask(ctl("SubMask").text()) ? &ctl("SubMask")
                                                                 : nullptr;
    // The checks above read only each part's leading number, so a line break after it
    // would pass and add its own line to the printer's command text.
    if (!failed) {
        std::string notice =
            UnsendableNotice({ctl("IPAddr").text(), ctl("SubMask").text(), ctl("Gateway").text()});
        if (!notice.empty()) {
            core().ShowNotice(notice);
            failed = firstUnsendable({&ctl("IPAddr"), &ctl("SubMask"), &ctl("Gateway")});
        }
    }
    if (failed)
        failed->setFocus();
    return !failed;
}

void WiredDlg::Next_Click() {
    if (ctl("useStaticIP").checked() && !ValidateStaticIP())
        return;
    Hide();
    auto& question = pages().form("QuestionDlg");
    bool networkOptions = false;
    for (int i = 1; i <= 5; ++i)
        networkOptions = networkOptions || question.ctl("Check1", i).value() == 1;
    if (networkOptions) {
        auto& next = pages().getNetworkDlg();
        showNext(next);
        next.InitForm();
    } else if (question.ctl("Check1", 6).value() == 1) {
        showNext(pages().getWirelessQuestionDlg());
    } else {
        showNext(pages().getFinishDialog());
    }
}

void WiredDlg::Prev_Click() {
    pages().form("QuestionDlg").Show();
    Hide();
}

void WiredDlg::Cancel_Click() {
    core().ConfirmExit();
}

} // namespace kestrel
