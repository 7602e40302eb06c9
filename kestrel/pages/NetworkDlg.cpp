#include "kestrel/pages/NetworkDlg.h"

#include "kestrel/core/Core.h"
#include "kestrel/pages/KeyChecks.h"
#include "kestrel/pages/Pages.h"

namespace kestrel {

namespace {

constexpr int kPingRow = 5;

std::vector<std::string> keepAliveItems() {
    std::vector<std::string> items{"Disable (0 min)"};
    for (int m = 2; m <= 10; ++m)
        items.push_back(std::to_string(m) + " min");
    return items;
}

struct Row {
    const char* label;
    const char* tip;
    const char* help;
};

const Row kRows[6] = {
    {},
    {"Ethernet Operating Speed:", "This option allows you to set the maximum transmission speed.",
     "HelpSpeed"},
    {"Keep Alive Timer:", "Specifies the periodic time between Keep Alive packets.", "HelpTimer"},
    {"Job Control Mode:", "Specifies how job data are handled between the NIC and printer.",
     "HelpJob"},
    {"NetBIOS Protocol:", "Specifies whether the NIC will respond to the NetBIOS protocol.",
     "HelpNetBios"},
    {"Periodic PING:", "Configures the periodic PING operation.", "HelpPing"},
};

const char* const kHelpTexts[6] = {
    "",
    "This option allows you to set the maximum transmission speed, along with the duplex mode, "
    "of the network interface card.",
    "This option allows you to set the time that the Keep Alive Timer will run.\r\n"
    "When the Keep Alive Timer is enabled, the TCP connection will remain connected even after "
    "the print job has terminated.",
    "This option allows you to set the synchronization between the NIC and the printer for "
    "print job received.\r\n"
    "The NIC can either indicate the job is complete when it receives the data (standard),\r\n"
    "or wait for the entire job is printed before indicating the job is complete (enhanced).",
    "This option allows you to specify whether the NIC will respond to the NetBIOS protocol.",
    "This option allows you to configure the periodic PING function.",
};

} // namespace

void NetworkDlg::Build() {
    setCaption("Configure Network Settings");
    label("Label1", "Network Settings").asHeading();
    label("Label6", "Please configure the selected settings for your network.");

    const std::vector<std::string> lists[6] = {
        {},
        {"Auto Select", "10 Half Duplex", "10 Full Duplex", "100 Half Duplex", "100 Full Duplex"},
        keepAliveItems(),
        {"Standard", "Enhanced", "Fast Standard", "Off"},
        {"Enable", "Disable"},
        {"Enable", "Disable"},
    };
    for (int i = 1; i <= 5; ++i) {
        label(Label2[i], kRows[i].label).setToolTip(kRows[i].tip);
        auto& list = combo(Combo1[i], ui::ComboStyle::DropDownList, lists[i]);
        list.beside().setToolTip(kRows[i].tip);
        list.onDropDown = [this, i] { Combo1_DropDown(i); };
        auto& help = button(kRows[i].help, "What is this?");
        help.beside().setToolTip("Shows a brief description of this option.");
        help.onClick = [this, i] { core().ShowNotice(kHelpTexts[i]); };
    }
    label(Label3[0], "Number of packets:").setToolTip("Select the number of PING packet to send.");
    textBox(Packet)
        .beside()
        .setToolTip("Specifies the number of PING packets to send")
        .setText("1");
    label(Label3[1], "Time Period (min):")
        .setToolTip("Specifies the wait period between PING packets.");
    textBox(Period).beside().setToolTip("Specifies the time between PING packets").setText("5");

    navigationRow();
    timer(Timer1).onTimer = [this] { Timer1_Timer(); };
}

void NetworkDlg::Form_Load() {
    Timer1->setEnabled(false);
    InitForm(); // before the lists are filled, as on the first creation
    LoadComboBoxes();
}

void NetworkDlg::setPingFields(bool on) {
    enableField(*Packet, *Label3[0], on);
    enableField(*Period, *Label3[1], on);
}

void NetworkDlg::InitForm() {
    QuestionDlg& question = pages().get<QuestionDlg>();
    for (int i = 1; i <= 5; ++i) {
        bool on = question.Check1[i]->value() == 1;
        Label2[i]->setEnabled(on);
        Combo1[i]->setEnabled(on);
        if (i == kPingRow) {
            setPingFields(on);
            if (on)
                UpdatePingFields();
        }
    }
}

void NetworkDlg::UpdatePingFields() {
    setPingFields(Combo1[kPingRow]->text() != "Disable");
}

void NetworkDlg::LoadComboBoxes() {
    Combo1[1]->setListIndex(0);
    Combo1[2]->setListIndex(2); // 3 minutes
    Combo1[3]->setListIndex(0);
    Combo1[4]->setListIndex(0);
    Combo1[5]->setListIndex(0);
}

void NetworkDlg::Combo1_DropDown(int index) {
    if (index != kPingRow)
        return;
    startTimer(*Timer1, 100);
}

void NetworkDlg::Timer1_Timer() {
    UpdatePingFields();
}

void NetworkDlg::Next_Click() {
    // Checked whenever the list shows "Enable", even with the row disabled.
    if (Combo1[kPingRow]->text() == "Enable") {
        std::string notice = PingNotice(Packet->text(), Period->text());
        if (!notice.empty()) {
            core().ShowProgramError(notice, false, "");
            const bool packetFails = !PingNotice(Packet->text(), "1").empty();
            (packetFails ? Packet : Period)->setFocus();
            return;
        }
    }
    // Texts the core will send as typed.
    if (pages().get<QuestionDlg>().Check1[kPingRow]->value() == 1 &&
        Combo1[kPingRow]->listIndex() == 0) {
        std::string notice = UnsendableNotice({Packet->text(), Period->text()});
        if (!notice.empty()) {
            core().ShowNotice(notice);
            firstUnsendable({Packet, Period})->setFocus();
            return;
        }
    }
    Hide();
    Timer1->setEnabled(false);
    if (pages().get<QuestionDlg>().Check1[6]->value() == 1) {
        showNext(pages().get<WirelessQuestionDlg>());
    } else {
        showNext(pages().get<FinishDialog>());
    }
}

void NetworkDlg::Prev_Click() {
    ui::Form* back = PrevForm ? PrevForm : &pages().get<QuestionDlg>();
    Hide();
    back->Show();
}

void NetworkDlg::Cancel_Click() {
    Timer1->setEnabled(false);
    core().ConfirmExit();
}

} // namespace kestrel
