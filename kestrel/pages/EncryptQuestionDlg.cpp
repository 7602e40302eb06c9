#include "kestrel/pages/EncryptQuestionDlg.h"

#include "kestrel/core/Core.h"
#include "kestrel/pages/Pages.h"

namespace kestrel {

namespace {

const char* const kHelpOpen = "The wireless network is available (open) to all wireless devices."
                              "\r\nAccess to the wireless network is not protected.";
const char* const kHelpWEP =
    "WEP is a basic encryption method for wireless devices.\r\n"
    "It is not as secure as the other authentication methods.\r\n"
    "It uses an encrypted share key for authentication.\r\n"
    "Key sizes used for WEP encryption are: 40/64 bits (10 hex digits) or 104/128 bits (26 hex "
    "digits).";
const char* const kHelpWPA =
    "WPA (Wi-Fi Protected Access) has two modes of operation: Enterprise and Personal.\r\n"
    "Enterprise mode uses a 802.1x authentication server that distributes the access keys.\r\n"
    "Personal mode uses a shared encryption key for authentication.\r\n"
    "Every allowed computer is given the same passphrase.\r\n"
    "Security depends on the strength and secrecy of the passphase.\r\n"
    "Three encryption methods are supported: TKIP, AES, and TKIP+AES.";
const char* const kHelpLeap =
    "EAP (Extensive Authentication Protocol) is an authentication method that has a number of "
    "variants,\r\n"
    "including PEAP (Protected EAP), LEAP (Lightweight EAP), and EAP-TTLS (Tunneled TLS).";

} // namespace

void EncryptQuestionDlg::Build() {
    setCaption("Configure Wireless Network");
    label("Label1", "Wireless Network Authentication Setting").asHeading();
    label("Label6",
          "Please select the wireless authentication method used on your wireless network");

    const char* captions[3] = {"&No Authentication (Open)", "&WEP (Wired Equivalent Privacy)",
                               "&Other Authentication Methods"};
    const char* tips[3] = {("The wireless network is available (open) to all wireless devices. "
                            "Access to the wireless network is not protected."),
                           "Select WEP configuration option.",
                           "Select WPA or EAP configuration option."};
    for (int i = 0; i < 3; ++i) {
        auto& opt = option(click[i], captions[i]);
        opt.setToolTip(tips[i]);
        opt.onClick = [this, i] { click_Click(i); };
        if (i == 0 || i == 1) {
            auto& help = button(i == 0 ? "HelpOpen" : "HelpWEP", "What is this?");
            help.beside().setToolTip("Shows a brief description of this option.");
            const char* text = i == 0 ? kHelpOpen : kHelpWEP;
            help.onClick = [this, text] { core().ShowNotice(text); };
        }
    }
    // The two methods belong to the third option.
    checkBox(WPA, "WPA (Wi-Fi Protected Access)").indentedUnderOption();
    auto& helpWpa = button("HelpWPA", "What is this?");
    helpWpa.beside().setToolTip("Shows a brief description of this option.");
    helpWpa.onClick = [this] { core().ShowNotice(kHelpWPA); };
    checkBox(EAP, "EAP (Extensible Authentication Protocol)").indentedUnderOption();
    auto& helpLeap = button("HelpLeap", "What is this?");
    helpLeap.beside().setToolTip("Shows a brief description of this option.");
    helpLeap.onClick = [this] { core().ShowNotice(kHelpLeap); };

    navigationRow();
}

void EncryptQuestionDlg::Form_Load() {
    click[0]->setValue(1);
    WPA->setEnabled(false);
    EAP->setEnabled(false);
}

void EncryptQuestionDlg::click_Click(int index) {
    // The boxes keep their values while disabled.
    WPA->setEnabled(index == 2);
    EAP->setEnabled(index == 2);
}

void EncryptQuestionDlg::Next_Click() {
    Hide();
    core().ReadEncryptQuestionSettings(false);
    if (click[0]->value()) {
        showNext(pages().get<FinishDialog>());
    } else if (click[1]->value()) {
        pages().get<WEPDlg>().Show();
    } else if (click[2]->value()) {
        if (WPA->value() == 1) {
            pages().get<WPADlg>().Show();
        } else if (EAP->value() == 1) {
            showNext(pages().get<LEAPDlg>());
        } else {
            Show();
            core().ShowNotice("You need to select at least one authentication method: WPA or EAP");
            WPA->setFocus();
        }
    } else {
        // A loaded file may set none of the options: stay and let the user choose one.
        Show();
        core().ShowNotice(
            "Please select the wireless authentication method used on your wireless network");
    }
}

void EncryptQuestionDlg::Prev_Click() {
    ui::Form* back = PrevForm ? PrevForm : &pages().get<WirelessQuestionDlg>();
    back->Show();
    Hide();
}

} // namespace kestrel
