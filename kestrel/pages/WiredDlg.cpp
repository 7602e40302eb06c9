#include "kestrel/pages/WiredDlg.h"

#include "kestrel/core/Core.h"
#include "kestrel/pages/FieldChecks.h"
#include "kestrel/pages/KeyChecks.h"
#include "kestrel/pages/Pages.h"

namespace kestrel {

void WiredDlg::Build() {
    setCaption("Configure Network Settings");
    label("Label1", "IP Address Assignment").asHeading();
    label("Label6", "Please specify the network interface adapter to be configured.", 1);
    frame("Frame1", "");
    option(NicOption[0], "&Wired").in("Frame1");
    option(NicOption[1], "Wireles&s").in("Frame1").beside();
    label("Label6", "Please specify how the IP Address will be assigned.", 0);
    option(useAutoIP, "&Automatic IP Address Assignment")
        .setToolTip(
            "Select this option if your network uses the BootP protocol to assign IP address.");
    checkBox(BootP, "Enable BootP");
    label(Label5[0], "Use the BootP protocol for network  address assignment").beside();
    checkBox(DHCP, "Enable DHCP");
    label(Label5[1], "Use the DHCP server for network address assignment").beside();
    option(useStaticIP, "&Manual IP Address Assignment")
        .setToolTip("Select this option if your want to manually assign an IP address.");
    label(Label2[0], "IP Address:");
    textBox(IPAddr).setToolTip("Enter the IP address for the printer.").beside().charsWide(15);
    label(Label2[1], "Subnet Mask:");
    textBox(SubMask).setToolTip("Enter the subnet mask for the printer.").beside().charsWide(15);
    label(Label2[2], "Gateway:");
    textBox(Gateway)
        .setToolTip("Enter the IP address of the gateway for the printer.")
        .beside()
        .charsWide(15);
    navigationRow();

    useAutoIP->onClick = [this] { useAutoIP_Click(); };
    useStaticIP->onClick = [this] { useStaticIP_Click(); };
}

void WiredDlg::Form_Load() {
    SetDefaultState();
}

void WiredDlg::SetDefaultState() {
    for (int i = 0; i < 3; ++i)
        Label2[i]->setEnabled(false);
    NicOption[0]->setValue(1);
    NicOption[1]->setValue(0);
    useAutoIP->setValue(1);
    useAutoIP->setEnabled(true);
    BootP->setEnabled(true);
    DHCP->setEnabled(true);
    DHCP->setValue(1);
    BootP->setValue(0);
    useStaticIP->setValue(0);
    for (const ui::ControlRef& field : {IPAddr, SubMask, Gateway})
        enableField(*field, false);
}

void WiredDlg::applyAddressPattern(bool staticAddress) {
    enableField(*IPAddr, *Label2[0], staticAddress);
    enableField(*SubMask, *Label2[1], staticAddress);
    enableField(*Gateway, *Label2[2], staticAddress);
    BootP->setEnabled(!staticAddress);
    DHCP->setEnabled(!staticAddress);
    Label5[0]->setEnabled(!staticAddress);
    Label5[1]->setEnabled(!staticAddress);
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
    ui::Control* failed = !ValidIPAddress(IPAddr->text(), "IP Address")         ? &*IPAddr
                          : !ValidIPAddress(Gateway->text(), "Gateway Address") ? &*Gateway
                          : !ValidSubMask(SubMask->text())                      ? &*SubMask
                                                                                : nullptr;
    // The checks above read only each part's leading number, so a line break after it
    // would pass and add its own line to the printer's command text.
    if (!failed) {
        std::string notice = UnsendableNotice({IPAddr->text(), SubMask->text(), Gateway->text()});
        if (!notice.empty()) {
            core().ShowNotice(notice);
            failed = firstUnsendable({IPAddr, SubMask, Gateway});
        }
    }
    if (failed)
        failed->setFocus();
    return !failed;
}

void WiredDlg::Next_Click() {
    if (useStaticIP->checked() && !ValidateStaticIP())
        return;
    Hide();
    auto& question = pages().get<QuestionDlg>();
    bool networkOptions = false;
    for (int i = 1; i <= 5; ++i)
        networkOptions = networkOptions || question.Check1[i]->value() == 1;
    if (networkOptions) {
        auto& next = pages().get<NetworkDlg>();
        showNext(next);
        next.InitForm();
    } else if (question.Check1[6]->value() == 1) {
        showNext(pages().get<WirelessQuestionDlg>());
    } else {
        showNext(pages().get<FinishDialog>());
    }
}

void WiredDlg::Prev_Click() {
    pages().get<QuestionDlg>().Show();
    Hide();
}

} // namespace kestrel
