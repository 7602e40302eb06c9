#include "kestrel/pages/PortSelect.h"

#include "kestrel/core/Core.h"
#include "kestrel/pages/FieldChecks.h"
#include "kestrel/pages/Pages.h"
#include "kestrel/pages/PortLists.h"
#include "platform/sys/System.h"
#include "wizard/FileBrowse.h"

#include <vector>

namespace kestrel {

using ui::ComboStyle;

void PortSelect::Build() {
    setCaption("Printer Port Selection");
    label("Label1", "Printer Port Selection").asHeading();
    label("SelectionLabel", "Select the communication port that the printer is attached to.");
    label("Label2", "Specify the port used to communicate with the printer .", 0);

    option(PortLPT, "&Parallel Print Port")
        .setToolTip(
            "Select this option if your printer is attached via the parallel (printer) port");
    combo(LPTCombo, ComboStyle::DropDownList, {})
        .setToolTip("Select the correct LPT port from the drop down list")
        .beside();
    option(PortCOM, "&Serial Port")
        .setToolTip("Select this option if your printer is attached via the serial or "
                    "communcations port");
    combo(ComCombo, ComboStyle::DropDownList, {})
        .setToolTip("Select the correct COM port from the drop down list")
        .beside();
    option(PortUSB, "&USB")
        .setToolTip("Select this option if your printer is attached using a USB cable.");
    combo(USBCombo, ComboStyle::DropDownList, {})
        .setToolTip("Selec the correct USB port from the drop down list")
        .beside();
    label(USB_ErrLbl,
          "Your computer does not have a USB port driver installed for your printer.  To use "
          "the USB port, you must physically attach the printer to the computer's USB port and "
          "follow the New Hardward Found wizard to get the USB driver installed.");
    option(PortTCP, "&TCP/IP")
        .setToolTip("Select this option if the printer has a valid IP address and is attached "
                    "to the network.");
    label(IPAddrLabel, "IP Address:");
    textBox(IPAddr).setToolTip("Enter the IP address of the printer.").beside().charsWide(15);
    option(PortFile, "&File")
        .setToolTip("Send configuration commands to a file for future download");
    label(FileLabel, "Full Path and File  Name:");
    textBox(FileName).beside().charsWide(40); // a path
    button(Browse, "Browse").beside();
    label(FileDescLabel,
          "Configuration commands are saved in this file instead of being sent to the printer. "
          "All data, including sensitive information such as passwords, are stored in this "
          "clear (unencrypted) text file.");
    navigationRow();

    PortLPT->onClick = [this] { PortLPT_Click(); };
    PortCOM->onClick = [this] { PortCOM_Click(); };
    PortUSB->onClick = [this] { PortUSB_Click(); };
    PortTCP->onClick = [this] { PortTCP_Click(); };
    PortFile->onClick = [this] { PortFile_Click(); };
    IPAddr->onKeyPress = [this](int& key) { IPAddr_KeyPress(key); };
    FileName->onKeyPress = [this](int& key) { FileName_KeyPress(key); };
    Browse->onClick = [this] { Browse_Click(); };
}

void PortSelect::Form_Load() {
    Load_Combo();
    SetPortControls();
    FileName->setText("");
}

void PortSelect::Load_Combo() {
    auto& table = core().ws.PortTable;
    int n = core().printPath().GetPorts(table);
    core().WriteLog("NumPorts=GetPorts()=[" + std::to_string(n) + "]");

    std::vector<std::string> names;
    for (int i = 0; i < n; ++i) {
        const std::string& name = table.names[i];
        if (isSafePortName(name)) {
            core().WriteLog("   " + name);
            names.push_back(name);
        } else {
            // It would break the quoted printer set-up line; never offer it.
            core().WriteLog("   (port name skipped: unsafe characters)");
        }
    }
    PortLists lists = sortPorts(names);

    if (n == 0) {
        core().ShowProgramError(
            "Unable to get list of available local ports.\r\nUsing default port settings.", false,
            "Program Error");
        lists.lpt.push_back("LPT1:");
    }

    auto& lpt = *LPTCombo;
    auto& com = *ComCombo;
    auto& usb = *USBCombo;
    lpt.setItems(lists.lpt);
    com.setItems(lists.com);
    usb.setItems(lists.usb);

    if (lpt.listCount() > 0) {
        lpt.setListIndex(0);
    } else {
        PortLPT->setVisible(false);
        lpt.setVisible(false);
    }
    if (com.listCount() > 0) {
        com.setListIndex(0);
    } else {
        PortCOM->setVisible(false);
        com.setVisible(false);
    }
    if (usb.listCount() > 0) {
        usb.setListIndex(0);
        USB_ErrLbl->setVisible(false);
    } else {
        PortUSB->setVisible(false);
        usb.setVisible(false);
        USB_ErrLbl->setVisible(true);
    }
    core().WriteLog("exit Load_Combo");
}

void PortSelect::SetPortControls() {
    if (LPTCombo->listCount() > 0)
        PortLPT->setValue(1);
    else if (ComCombo->listCount() > 0)
        PortCOM->setValue(1);
    else if (USBCombo->listCount() > 0)
        PortUSB->setValue(1);
    else
        PortTCP->setValue(1);
}

void PortSelect::applyRoute(Route route) {
    LPTCombo->setEnabled(route == Route::LPT);
    ComCombo->setEnabled(route == Route::COM);
    USBCombo->setEnabled(route == Route::USB);
    enableField(*IPAddr, *IPAddrLabel, route == Route::TCP);
    bool file = route == Route::File;
    enableField(*FileName, *FileLabel, file);
    FileDescLabel->setEnabled(file);
    Browse->setEnabled(file);
    if (file)
        FileName->setText("");
}

void PortSelect::PortLPT_Click() {
    applyRoute(Route::LPT);
}
void PortSelect::PortCOM_Click() {
    applyRoute(Route::COM);
}
void PortSelect::PortUSB_Click() {
    applyRoute(Route::USB);
}
void PortSelect::PortTCP_Click() {
    applyRoute(Route::TCP);
}
void PortSelect::PortFile_Click() {
    applyRoute(Route::File);
}

void PortSelect::IPAddr_KeyPress(int& keyAscii) {
    if (keyAscii == 13) {
        keyAscii = 0;
        Next_Click();
    }
}

void PortSelect::FileName_KeyPress(int& keyAscii) {
    if (keyAscii == 13) {
        keyAscii = 0;
        Next_Click();
    }
}

void PortSelect::Browse_Click() {
    wizard::browseInto(
        app(), FileName, programFolder(),
        {"Text file (*.txt)|*.txt|All Files (*.*)|*.*", ".txt", wizard::LeadingBlanks::Drop});
}

bool PortSelect::ValidateIPAddress() {
    if (auto error = portAddressError(IPAddr->text())) {
        core().ShowProgramError(*error, false, "Program Error");
        return false;
    }
    return true;
}

bool PortSelect::HasNoBadChars(const std::string& name) {
    return hasNoBadChars(name);
}

bool PortSelect::ValidateFileName() {
    const std::string name = FileName->text();
    if (name.empty()) {
        core().ShowProgramError("File name cannot be empty when the File port option is "
                                "selected.\r\nPlease enter a valid path and file name",
                                false, "Program Error");
        return false;
    }
    if (!HasNoBadChars(name)) {
        core().ShowProgramError(
            "Invalid path and filename selected.\r\nPlease enter a valid path and file name", false,
            "Program Error");
        return false;
    }
    if (core().NamedFileExists(name) && !core().ConfirmOverwrite())
        return false;
    if (name.find('.') == std::string::npos &&
        core().AskYesNo("File does not have an extension. Do you want to continue?", "Warning") ==
            ui::mb::No)
        return false;
    return true;
}

void PortSelect::Next_Click() {
    // After a failed check the focus goes to the field the message is about.
    if (PortTCP->checked() && !ValidateIPAddress()) {
        IPAddr->setFocus();
        return;
    }
    if (PortFile->checked()) {
        if (!ValidateFileName() ||
            core().AskYesNo("All configuration data, including sensitive password data, will be "
                            "stored in a text file unencrypted.\r\nDo you want to continue?",
                            "Warning") == ui::mb::No) {
            FileName->setFocus();
            return;
        }
    }
    Hide();
    pages().get<QuestionDlg>().Show();
}

void PortSelect::Prev_Click() {
    pages().get<LoadDlg>().Show();
    Hide();
}

} // namespace kestrel
