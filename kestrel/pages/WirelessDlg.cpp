#include "kestrel/pages/WirelessDlg.h"

#include "kestrel/core/Core.h"
#include "kestrel/pages/KeyChecks.h"
#include "kestrel/pages/Pages.h"

namespace kestrel {

namespace {

const char* const kHelpTexts[10] = {
    "Specifies the name of the wireless network you are connecting to. "
    "The network name can be from 1 to 32 Ascii characters long.",
    "Specifies the operating mode of the wireless network.\r\n\r\n"
    "Normal: Specify a standard network configuration.\r\n"
    "Computer-to-Computer: Specifies an Adhoc or peer-to-peer network configuration.\r\n"
    "Pseudo IBSS: Specifies a proprietary adhoc network configuration.",
    "Specifies the minimum transmission speed. Specified in megabits per second",
    "Specifies the wireless channel used by your wireless network.",
    "Specifies which wireless antenna to use.",
    "Specifies the length of the preamble.\r\n\r\n"
    "Default:  Allows the card to use its own factory default setting.\r\n"
    "Long:  Specifies the use of a long preamble.\r\n"
    "Short: Specifies the use of a short preamble.\r\n"
    "Note:  Use default if you are unsure of the correct setting.",
    "Select the wireless transmission power. Specified as a percentage.",
    "Specifies if power management should be enabled.\r\n\r\n"
    "Off: Disables power-save mode.\r\n"
    "On:  Enables power-save mode.",
    "Specifies the mix of wireless devices connected to the network.\r\n\r\n"
    "802.11b Only: Specifies a network containing only 802.11b wireless devices.\r\n"
    "802.11b and 802.11g: Specifies a network containing both 802.11b and 802.11g wireless "
    "devices.",
    "When enabled, specifies that the wireless NIC adapts to international frequency "
    "requirements in Europe.",
};

const char* const kWarningTail = "\r\nThis may cause improper operation of the wireless NIC."
                                 "\r\n\r\nAre you sure you want to continue with these settings?";

std::vector<std::string> numbers(int from, int to) {
    std::vector<std::string> items;
    for (int n = from; n <= to; ++n)
        items.push_back(std::to_string(n));
    return items;
}

bool hasUSA(const std::string& text) {
    return text.find("USA") != std::string::npos;
}

} // namespace

void WirelessDlg::Build() {
    setCaption("Configure Wireless Network");
    label("Label1", "Wireless Network Settings").asHeading();
    label("Label6", "Please configure the selected settings for your wireless network.");

    const char* ssidTip = "Specifies the name of the wireless network you are connecting to";
    label(Label2[0], "Wireless network name (SSID):").setToolTip(ssidTip);
    textBox(SSID).beside().charsWide(32).setToolTip(ssidTip).setMaxLength(32);
    auto& reset = checkBox(Check1, "Reset SSID");
    reset.beside().setToolTip("When checked, the SSID name is reset.");
    reset.onClick = [this] { Check1_Click(); };

    struct Row {
        const char* label;
        const char* tip;
        std::vector<std::string> items;
    };
    std::vector<std::string> channels{"Default"};
    for (auto& n : numbers(1, 15))
        channels.push_back(n);
    const Row rows[10] = {
        {},
        {"Operating mode:",
         "Specifies the operating mode of the wireless network: Normal, Peer-to-peer, Pseudo "
         "IBBS.",
         {"Normal", "Computer-to-Computer", "Pseudo IBSS"}},
        {"Minimum transfer rate:",
         "Specifies the minimum transmission speed.",
         {"Auto-negotiate", "1 MPS", "2 MPS", "5.5 MPS", "6 MPS", "9 MPS", "11 MPS", "12 MPS",
          "18 MPS", "24 MPS", "36 MPS", "48 MPS", "54 MPS"}},
        {"Operating channel:", "Specifies the wireless channel used by your wireless network.",
         channels},
        {"Antenna:",
         "Specifies which wireless antenna to use.",
         {"Primary", "Diverse", "Auxiliary"}},
        {"Preamble:", "Specifies the length of the preamble.", {"Default", "Long", "Short"}},
        {"Transmission power (%):", "Select the wireless transmission power.", numbers(0, 100)},
        {"Power management:", "Specifies if power management should be enabled.", {"On", "Off"}},
        {"Devices mix profile:",
         "Specifies the mix of wireless devices (802.11b and/or 802.11g) connected to the "
         "network.",
         {"802.11b Only", "Mixed: 802.11b and 802.11g", "Mixed: 802.11b,g without 5.5, 11 Mbps",
          "802.11g Only", "Test: 802.11g Only", "802.11b only without 5.5, 11 Mbps",
          "Mixed: 802.11b,g with 5.5, 11 Mbps"}},
        {"Country Code:",
         "Specifies the country code the wireless NIC will use to communicate with the Access "
         "Point.",
         {"USA", "USA Indoor Operation", "Great Britain", "Great Britain Indoor Operation",
          "Netherlands", "Netherlands Indoor Operation", "France", "France Indoor Operation",
          "Germany", "Germany Indoor Operation", "Italy", "Italy Indoor Operation"}},
    };
    const ui::ControlRef* helps[10] = {&HelpSSID,    &HelpOpMode,   &HelpSpeed, &HelpChannel,
                                       &HelpAntenna, &HelpPreamble, &HelpTxPwr, &HelpPower,
                                       &HelpDevices, &HelpCountry};
    for (int i = 0; i < 10; ++i) {
        if (i > 0) {
            label(Label2[i], rows[i].label).setToolTip(rows[i].tip);
            auto& list = combo(row(i), ui::ComboStyle::DropDownList, rows[i].items);
            list.beside().setToolTip(rows[i].tip);
            if (i == 9) {
                list.onDropDown = [this] { CountryCode_DropDown(); };
                checkBox(Check2, "International Mode")
                    .beside()
                    .setToolTip("When checked, the wireless NIC adapts to international "
                                "frequency requirements in Europe.");
            }
        }
        auto& help = button(*helps[i], "What is this?");
        help.beside().atLastColumn().setToolTip("Shows a brief description of this option.");
        help.onClick = [this, i] { core().ShowNotice(kHelpTexts[i]); };
    }

    navigationRow();
    timer(Timer1).onTimer = [this] { Timer1_Timer(); };
}

void WirelessDlg::Form_Load() {
    Timer1->setEnabled(false);
    OpMode->setListIndex(0);
    Speed->setListIndex(0);
    Channel->setListIndex(0);
    Antenna->setListIndex(0);
    Preamble->setListIndex(0);
    TxPower->setListIndex(100);
    PowerMgmt->setListIndex(0);
    Devices->setListIndex(1);
    CountryCode->setListIndex(0);
    SetDefaultState();
}

void WirelessDlg::SetDefaultState() {
    WirelessQuestionDlg& question = pages().get<WirelessQuestionDlg>();
    for (int i = 0; i < 10; ++i) {
        bool on = question.check[i]->value() == 1;
        Label2[i]->setEnabled(on);
        if (i == 0) {
            // Follows the question box alone, also while Reset SSID is ticked.
            Check1->setEnabled(on);
            enableField(*SSID, on);
        } else {
            row(i)->setEnabled(on);
        }
        if (i == 9)
            Check2->setEnabled(on);
    }
}

void WirelessDlg::Check1_Click() {
    enableField(*SSID, Check1->value() == 0);
}

void WirelessDlg::CountryCode_DropDown() {
    CountryAtDropDown = CountryCode->text();
    startTimer(*Timer1, 10);
}

void WirelessDlg::Timer1_Timer() {
    CheckCountryChange();
}

void WirelessDlg::CheckCountryChange() {
    const std::string& country = CountryCode->text();
    auto& t = *Timer1;
    if (country != CountryAtDropDown) {
        Check2->setValue(hasUSA(country) ? 0 : 1);
        t.setEnabled(false);
    } else {
        t.setInterval(10);
    }
}

void WirelessDlg::Next_Click() {
    if (pages().get<WirelessQuestionDlg>().check[0]->value() == 1) {
        std::string notice = UnsendableNotice({SSID->text()});
        if (!notice.empty()) {
            core().ShowNotice(notice);
            SSID->setFocus();
            return;
        }
    }
    // A No keeps the user on the page, on the list the warning is about.
    const std::string country = CountryCode->text();
    const bool intnl = Check2->value() == 1;
    if ((!hasUSA(country) && !intnl &&
         core().AskYesNo(std::string("You selected an European country code but didn't enable "
                                     "International Mode.") +
                             kWarningTail,
                         "Warning") == ui::mb::No) ||
        (hasUSA(country) && intnl &&
         core().AskYesNo(
             std::string("You selected the USA country code but enable International Mode.") +
                 kWarningTail,
             "Warning") == ui::mb::No)) {
        CountryCode->setFocus();
        return;
    }
    const int devices = Devices->listIndex();
    if ((devices == 2 || devices == 5) && Speed->listIndex() > 2 &&
        core().AskYesNo(std::string("You selected a minimum transmission speed that is not "
                                    "compatible with your device mix setting.") +
                            kWarningTail,
                        "Warning") == ui::mb::No) {
        Speed->setFocus();
        return;
    }
    Hide();
    core().ReadWirelessSettings(false);
    if (pages().get<WirelessQuestionDlg>().EncryptionCB->value() == 1) {
        showNext(pages().get<EncryptQuestionDlg>());
    } else {
        showNext(pages().get<FinishDialog>());
    }
}

void WirelessDlg::Prev_Click() {
    pages().get<WirelessQuestionDlg>().Show();
    Hide();
}

} // namespace kestrel
