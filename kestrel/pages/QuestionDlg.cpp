#include "kestrel/pages/QuestionDlg.h"

#include "kestrel/core/Core.h"
#include "kestrel/pages/Pages.h"

namespace kestrel {

namespace {

const char* const kHelpCaption = "What is this?";
const char* const kHelpTip = "Shows a brief description of this option.";

struct Box {
    const char* caption;
    const char* toolTip;
};

const Box kBoxTable[QuestionDlg::kBoxes] = {
    {"Assign an IP Address to your network adapter, or specify how the IP Address is assigned.",
     "Select this option if you want to either specify a unique IP Address for the network "
     "adapter or specify how the IP Addess gets assigned."},
    {"Specify the Ethernet transmission speed",
     "Select this option if you want to specify the maximum transmission speed."},
    {"Specify the Keep Alive Timer setting",
     "Select this option if you want to configure the keep alive timer."},
    {"Specify the Job Control mode",
     "Select this option if you want to configure the job control mode."},
    {"Enable or disable the NetBIOS protocol",
     "Select this option if you want to enable or disable NetBIOS support."},
    {"Enable or disable periodic ping ",
     "Select this option if you want to enable or disable periodic PING support."},
    {"Configure the wireless adapter settings.",
     "Select this option if you want to configure your wireless adapter."},
};

} // namespace

void QuestionDlg::Build() {
    setCaption("Configure Network");
    label("Label1", "Network Settings").asHeading();
    label("Label6", "Please select the settings you wish to configure:");

    auto box = [this](int i) -> ui::Control& {
        ui::Control& c = checkBox(Check1[i], kBoxTable[i].caption);
        c.setToolTip(kBoxTable[i].toolTip);
        return c;
    };
    auto help = [this](const char* name, int index) -> ui::Control& {
        ui::Control& b = button(name, kHelpCaption, index);
        b.setToolTip(kHelpTip).beside();
        return b;
    };
    box(0);
    help("HelpIP", 1).onClick = [this] { HelpIP_Click(1); };
    box(1);
    help("HelpSpeed", -1).onClick = [this] { HelpSpeed_Click(); };
    box(2);
    help("HelpTimer", -1).onClick = [this] { HelpTimer_Click(); };
    box(3);
    help("HelpJob", -1).onClick = [this] { HelpJob_Click(); };
    box(4);
    help("HelpNetBios", -1).onClick = [this] { HelpNetBios_Click(); };
    box(5);
    help("HelpPing", -1).onClick = [this] { HelpPing_Click(); };
    box(6);
    help("HelpWireless", 2).onClick = [this] { HelpWireless_Click(2); };

    navigationRow();
}

void QuestionDlg::Next_Click() {
    Hide();
    int first = -1;
    for (int i = 0; i < kBoxes && first < 0; ++i)
        if (Check1[i]->value() == 1)
            first = i;

    if (first == 0) {
        pages().get<WiredDlg>().Show();
    } else if (first == kWirelessBox) {
        showNext(pages().get<WirelessQuestionDlg>());
    } else if (first > 0) {
        NetworkDlg& next = pages().get<NetworkDlg>();
        showNext(next);
        next.InitForm();
    } else {
        Show();
        core().ShowProgramError("You need to select one of the check boxes to continue.\r\n"
                                "\r\n"
                                "If you don't wish to change any of the available settings,\r\n"
                                "press the Cancel button to exit.",
                                false, "Selection Error");
    }
}

void QuestionDlg::Prev_Click() {
    pages().get<PortSelect>().Show();
    Hide();
}

void QuestionDlg::HelpIP_Click(int index) {
    (void)index;
    core().ShowNotice("Allows you to either specify a unique IP Address for the network adapter "
                      "or determine how the IP Addess gets assigned. IP Address can be obtained "
                      "through one of the following methods: RARP, BootP, DHCP, or manually "
                      "assigned.");
}

void QuestionDlg::HelpSpeed_Click() {
    core().ShowNotice("This option allows you to set the maximum transmission speed, along with "
                      "the duplex mode, of the network interface card.");
}

void QuestionDlg::HelpTimer_Click() {
    core().ShowNotice("This option allows you to set the time that the Keep Alive Timer will "
                      "run. When the Keep Alive Timer is enabled, the TCP connection will remain "
                      "connected even after the print job has terminated.");
}

void QuestionDlg::HelpJob_Click() {
    core().ShowNotice("This option allows you to set the synchronization between the NIC and "
                      "the printer for print job received. The NIC can either indicate the job "
                      "is complete when it receives the data (standard), or wait for the entire "
                      "job is printed before indicating the job is complete (enhanced).");
}

void QuestionDlg::HelpNetBios_Click() {
    core().ShowNotice("This option allows you to specify whether the NIC will respond to the "
                      "NetBIOS protocol.");
}

void QuestionDlg::HelpPing_Click() {
    core().ShowNotice("This option allows you to configure the periodic PING function.");
}

void QuestionDlg::HelpWireless_Click(int index) {
    (void)index;
    core().ShowNotice("If you want to configure your wireless adapter, you need to select this "
                      "option.\r\n"
                      "Some of the wireless settings you can configure include:\r\n"
                      "\r\n"
                      "Wireless network name (SSID).\r\n"
                      "Encryption/authentication settings for the wireless network.\r\n"
                      "Wireless transmission channel, power, and speed.\r\n"
                      "The mix of wireless devices operating on your wireless network.\r\n"
                      "Other wireless settings such as operating mode, antenna, power "
                      "management and preamble.");
}

} // namespace kestrel
