#include "kestrel/pages/WirelessQuestionDlg.h"

#include "kestrel/core/Core.h"
#include "kestrel/pages/Pages.h"

namespace kestrel {

namespace {

struct Box {
    const char* caption;
    const char* tip;
    const char* help;
    const char* helpText;
};

const Box kBoxes[11] = {
    {"Set the name of your wireless network (SSID)",
     "Specifies the name of the wireless network you are connecting to.", "HelpSSID",
     "Specifies the name of the wireless network you are connecting to.\r\n"
     "The network name can be from 1 to 32 Ascii characters long."},
    {"Set the operating mode of your wireless adapter",
     "Specifies the operating mode of the wireless network.", "HelpOpMode",
     "Specifies the operating mode of the wireless network.\r\n\r\n"
     "Normal: Specify a standard network configuration.\r\n"
     "Computer-to-Computer: Specifies an Adhoc or peer-to-peer network configuration.\r\n"
     "Pseudo IBSS: Specifies a proprietary adhoc network configuration."},
    {"Set the minimum transfer rate of your wireless adapter",
     "Specifies the minimum transmission speed.", "HelpSpeed",
     "Specifies the minimum transmission speed. Specified in megabits per second"},
    {"Set the wireless operating channel ", "Specifies the wireless channel to use.", "HelpChannel",
     "Specifies the wireless channel to use."},
    {"Set the antenna diversity of your wireless adapter",
     "Specifies which wireless antenna to use.", "HelpAntenna",
     "Specifies which wireless antenna to use."},
    {"Set the wireless preamble length", "Specifies the length of the preamble.", "HelpPreamble",
     "Specifies the length of the preamble.\r\n\r\n"
     "Default:  Allows the card to use its own factory default setting.\r\n"
     "Long:  Specifies the use of a long preamble.\r\n"
     "Short: Specifies the use of a short preamble.\r\n"
     "Note:  Use default if you are unsure of the correct setting."},
    {"Set the wireless transmission power level", "Select the wireless transmission power.",
     "HelpTxPwr", "Select the wireless transmission power. Specified as a percentage."},
    {"Set the power management setting of your wireless adapter",
     "Specifies if power management should be enabled.", "HelpPower",
     "Specifies if power management should be enabled.\r\n\r\n"
     "Off: Disables power-save mode.\r\n"
     "On:  Enables power-save mode."},
    {"Set the wireless devices mix on your wireless network",
     "Specifies whether both 802.11b and 802.11g devices will be connected to the network.",
     "HelpDevices",
     "Specifies the mix of wireless devices connected to the network.\r\n\r\n"
     "802.11b Only: Specifies a network containing only 802.11b wireless devices.\r\n"
     "802.11b and 802.11g: Specifies a network containing both 802.11b and 802.11g wireless "
     "devices."},
    {"Set the country code or international mode of the wireless adapter",
     "Specifies whether the international mode should be enabled or disabled.", "HelpCCode",
     "When enabled, specifies that the wireless NIC adapts to international frequency "
     "requirements in Europe."},
    {"Set the encryption/authentication settings of your wireless adapter",
     "Specifies whether the wireless network uses authentication/encryption to control access.",
     "HelpEncrpyt",
     "Specifies whether the wireless network uses encryption to control access.\r\n\r\n"
     "Uncheck this box if the wireless network does not use encryption (open network).\r\n"
     "Check this box if encryption is used on the wireless network."},
};

} // namespace

void WirelessQuestionDlg::Build() {
    setCaption("Configure Wireless Network");
    label("Label1", "Wireless Network Settings").asHeading();
    label("Label6", "Please select the wireless setting you wish to configure:");
    for (int i = 0; i <= 10; ++i) {
        const Box& b = kBoxes[i];
        checkBox(i < 10 ? check[i] : EncryptionCB, b.caption).setToolTip(b.tip);
        auto& help = button(b.help, "What is this?");
        help.beside().setToolTip("Shows a brief description of this option.");
        help.onClick = [this, i] { core().ShowNotice(kBoxes[i].helpText); };
    }
    navigationRow();
}

void WirelessQuestionDlg::Next_Click() {
    Hide();
    bool any = false;
    for (int i = 0; i <= 9 && !any; ++i)
        any = check[i]->value() == 1;
    if (any) {
        WirelessDlg& next = pages().get<WirelessDlg>();
        next.Show();
        next.SetDefaultState();
    } else if (EncryptionCB->value() == 1) {
        showNext(pages().get<EncryptQuestionDlg>());
    } else {
        Show();
        core().ShowProgramError("You need to select one of the check boxes to continue.\r\n\r\n"
                                "If you don't wish to change any of the available settings,\r\n"
                                "press the Cancel button to exit.",
                                false, "Selection Error");
    }
}

void WirelessQuestionDlg::Prev_Click() {
    ui::Form* back = PrevForm ? PrevForm : &pages().get<QuestionDlg>();
    Hide();
    back->Show();
}

} // namespace kestrel
