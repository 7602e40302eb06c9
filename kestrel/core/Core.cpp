#include "kestrel/core/Core.h"

#include "kestrel/core/Frame.h"
#include "kestrel/core/Records.h"
#include "kestrel/core/Restore.h"
#include "kestrel/core/SettingsFile.h"
#include "platform/net/Tcp.h"
#include "platform/process/Processes.h"
#include "platform/spooler/Spooler.h"
#include "platform/sys/Log.h"
#include "platform/sys/Strings.h"
#include "platform/sys/System.h"
#include "platform/sys/Utf8.h"
#include "platform/sys/Windows1252.h"
#include "platform/ui/App.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/Form.h"

#include <stdexcept>

namespace kestrel {

namespace {

// The pages in the order the exit routines unload them (the save/load dialog aside).
const char* const kUnloadOrder[] = {
    "EncryptQuestionDlg",
    "FinishDialog",
    "frmAbout",
    "HaldenAbout",
    "HaldenIntro",
    "Intro",
    "NetworkDlg",
    "LEAPDlg",
    "LoadDlg",
    "PortSelect",
    "ProgressDlg",
    "QuestionDlg",
    "WEPDlg",
    "WEPkeyDlg",
    "WEPphraseDlg",
    "WiredDlg",
    "WirelessDlg",
    "WirelessQuestionDlg",
    "WPADlg",
};

const char* const kDamagedFile = "Error Reading File\r\n"
                                 "The settings file is damaged or incomplete.\r\n"
                                 "Unable to load the saved settings\r\n";

} // namespace

Core::Core(const CoreServices& services)
    : app_(&services.app), sys_(&services.system), processes_(&services.processes),
      spooler_(&services.spooler), network_(&services.network) {
    printPath_ = std::make_unique<printpath::PrintPath>(printpath::PrintPathServices{
        services.spooler, services.processes, services.system, services.app, *this});
}

Core::~Core() = default;

PageSet& Core::pages() const {
    if (!pages_)
        throw std::logic_error("the core has no pages yet");
    return *pages_;
}

// ---------------------------------------------------------------- start-up and log

void Core::Main(const std::string& commandLine) {
    ws.SettingsSaved = false;
    ws.PrinterError = false;
    ws.PartnerEdition = false;
    ws.GoMode = false;
    ws.LogEnabled = false;
    ws.CdMenuMode = false;
    ws.CdMenuProgram = "Dunlin.exe";
    ws.PrinterName = "";

    const std::string upper = sys::upperAscii(commandLine);
    if (upper.find("LOG") != std::string::npos) {
        ws.LogEnabled = true;
        WriteLog("Entering Debug Mode");
    }
    if (upper.find("CD") != std::string::npos) {
        ws.CdMenuMode = true;
        ws.CdMenuArg = commandLine.size() > 2 ? commandLine.substr(2) : std::string();
        WriteLog("Dunlin CD Menu Enabled");
    }
    if (upper.find("GO") != std::string::npos) {
        ws.GoMode = true;
        pages().form("LoadDlg").Show();
        return;
    }
    ui::Form& welcome = pages().form(ws.PartnerEdition ? "HaldenIntro" : "Intro");
    welcome.Show();
    welcome.setFocus();
}

void Core::WriteLog(const std::string& message) {
    if (!ws.LogEnabled)
        return;
    sys::writeWizardLog(sys(), "Log.txt", message, [this](int ms) { app().Sleep(ms); });
}

bool Core::FileExists(const std::string& path) {
    return sys::typedFileExists(sys(), path);
}

bool Core::NamedFileExists(const std::string& path) {
    return sys::typedNamedFileExists(sys(), path);
}

std::string Core::GetCopyright() {
    return "Copyright (C) 2003-2025. All rights reserved.";
}

// ---------------------------------------------------------------- messages and exit

int Core::MsgBox(const std::string& text, int flags, const std::string& title) {
    return app().MsgBox(text, flags, title);
}

void Core::ShowNotice(const std::string& text) {
    MsgBox(text, ui::mb::OkOnly | ui::mb::Information, "Notice");
}

void Core::ShowProgramError(const std::string& text, bool exitFlag, const std::string& title) {
    std::string t = text;
    if (exitFlag)
        t += "\r\nThe wizard will exit.";
    MsgBox(t, ui::mb::OkOnly | ui::mb::Critical, title.empty() ? "Program Error" : title);
    if (!exitFlag)
        return;
    exiting_ = true;
    // Only a progress page that runs has anything to clean up; never create it here.
    if (pages().form("ProgressDlg").loaded())
        pages().progressCleanUp();
    ExitWizard();
}

int Core::AskYesNo(const std::string& text, const std::string& title) {
    const bool titled = !title.empty();
    return MsgBox(text, ui::mb::YesNo | (titled ? ui::mb::Exclamation : ui::mb::Critical),
                  titled ? title : "Error");
}

bool Core::ConfirmOverwrite() {
    return MsgBox("Warning! Selected file currently exists\r\nDo you want to overwrite the file?",
                  ui::mb::YesNo | ui::mb::Exclamation | ui::mb::DefaultButton2,
                  "File Exist Error") == ui::mb::Yes;
}

void Core::ConfirmExit() {
    if (ws.RequestSent)
        ExitWizard();
    const int answer = MsgBox("NIC setting is not complete. If you quit\r\n"
                              "the wizard now, the printer will not be updated.\r\n"
                              "Do you want to exit the wizard?",
                              ui::mb::YesNo | ui::mb::Exclamation | ui::mb::DefaultButton2,
                              "Caution Exiting Wizard");
    if (answer == ui::mb::Yes)
        ExitWizard();
}

bool Core::AskSaveBeforeExit() {
    const int answer =
        MsgBox("You are about to exit this wizard after making changes.\r\n"
               "Once you exit, all of your settings will be lost.\r\n"
               "Would you like to save your settings before you exit?",
               ui::mb::YesNo | ui::mb::Question, "Leaving Wizard Without Saving Settings");
    if (answer != ui::mb::Yes) {
        cdMenuMax();
        EndWizard();
    }
    pages().setDialogMode(1);
    ws.DialogClosed = false;
    ui::Form& dialog = pages().form("Dialog");
    dialog.Show();
    // The dialog unloads itself on OK and Cancel; a dialog gone without telling must not
    // keep us waiting for ever.
    while (!ws.DialogClosed && dialog.loaded()) {
        app().DoEvents();
        if (!ws.DialogClosed)
            app().Sleep(10);
    }
    return true;
}

void Core::ShowRequestSent() {
    MsgBox("Kestrel Request Successfully Sent", ui::mb::OkOnly | ui::mb::Information,
           "Process Successful");
    ws.RequestSent = true;
}

void Core::ShowPrinterUpdateError(const std::string& frontPanel) {
    ws.PrinterError = true;
    MsgBox(printpath::printerUpdateErrorText(frontPanel), ui::mb::OkOnly | ui::mb::Critical,
           "Printer Error");
    ws.RequestSent = false;
}

void Core::cdMenuMax() {
    if (ws.CdMenuMode)
        processes().startHidden(ws.CdMenuProgram + " max " + ws.CdMenuArg);
}

void Core::unloadPages(bool withDialog) {
    if (withDialog)
        pages().form("Dialog").Unload();
    for (const char* name : kUnloadOrder)
        pages().form(name).Unload();
}

void Core::ExitWizard() {
    exiting_ = true;
    if (SettingsDiffer() && !ws.SettingsSaved && AskSaveBeforeExit()) {
        ws.ExitAfterSave = true;
        unloadPages(false);
        // No window is left: the program ends here, without restoring the CD menu.
        app().End();
    }
    cdMenuMax();
    EndWizard();
}

void Core::EndWizard() {
    exiting_ = true;
    if (!app().ended())
        unloadPages(true);
    app().End();
}

bool Core::ending() const {
    return exiting_ || app().ended();
}

// ---------------------------------------------------------------- readers

namespace {

void store(WizardState& ws, bool initial, int index, const std::string& record) {
    (initial ? ws.InitialSettings : ws.CurrentSettings)[static_cast<std::size_t>(index)] = record;
}

} // namespace

std::string Core::ReadPortSettings(bool Initial) {
    ui::Form& p = pages().form("PortSelect");
    PortValues v;
    v.lpt = p.ctl("PortLPT").checked();
    v.com = p.ctl("PortCOM").checked();
    v.usb = p.ctl("PortUSB").checked();
    v.tcp = p.ctl("PortTCP").checked();
    v.file = p.ctl("PortFile").checked();
    v.lptIndex = p.ctl("LPTCombo").listIndex();
    v.comIndex = p.ctl("ComCombo").listIndex();
    v.usbIndex = p.ctl("USBCombo").listIndex();
    v.ipAddr = p.ctl("IPAddr").text();
    v.fileName = p.ctl("FileName").text();
    std::string r = portRecord(v);
    store(ws, Initial, rec::Port, r);
    return r;
}

std::string Core::ReadQuestionSettings(bool Initial) {
    ui::Form& q = pages().form("QuestionDlg");
    std::array<int, 7> check{};
    for (int k = 0; k < 7; ++k)
        check[k] = q.ctl("Check1", k).value();
    store(ws, Initial, rec::Question, questionRecord(check));
    return {};
}

std::string Core::ReadWiredSettings(bool Initial) {
    if (pages().form("QuestionDlg").ctl("Check1", 0).value() == 0)
        return {};
    ui::Form& w = pages().form("WiredDlg");
    WiredValues v;
    v.wired = w.ctl("NicOption", 0).checked();
    v.autoIP = w.ctl("useAutoIP").checked();
    v.bootP = w.ctl("BootP").value();
    v.dhcp = w.ctl("DHCP").value();
    v.ipAddr = w.ctl("IPAddr").text();
    v.subMask = w.ctl("SubMask").text();
    v.gateway = w.ctl("Gateway").text();
    ws.IfcNumber = static_cast<std::int16_t>(wiredIfcNumber(v));
    store(ws, Initial, rec::Wired, wiredRecord(v));
    return wiredCommands(v, ws.IfcNumber);
}

std::string Core::ReadNetworkSettings(bool Initial) {
    ui::Form& q = pages().form("QuestionDlg");
    NetworkValues v;
    for (int i = 1; i <= 5; ++i) {
        v.check[i] = q.ctl("Check1", i).value();
        if (v.check[i] != 1)
            continue;
        ui::Form& n = pages().form("NetworkDlg");
        v.combo[i] = n.ctl("Combo1", i).listIndex();
        if (i == 5) {
            v.packet = n.ctl("Packet").text();
            v.period = n.ctl("Period").text();
        }
    }
    store(ws, Initial, rec::Network, networkRecord(v));
    return networkCommands(v);
}

std::string Core::ReadWirelessQuestionSettings(bool Initial) {
    ui::Form& q = pages().form("WirelessQuestionDlg");
    std::array<int, 10> check{};
    for (int k = 0; k < 10; ++k)
        check[k] = q.ctl("check", k).value();
    store(ws, Initial, rec::WirelessQuestion,
          wirelessQuestionRecord(check, q.ctl("EncryptionCB").value()));
    return {};
}

std::string Core::ReadWirelessSettings(bool Initial) {
    static const char* controls[] = {"SSID",     "OpMode",  "Speed",     "Channel", "Antenna",
                                     "Preamble", "TxPower", "PowerMgmt", "Devices", "CountryCode"};
    ui::Form& q = pages().form("WirelessQuestionDlg");
    WirelessValues v;
    for (int i = 0; i < 10; ++i) {
        v.check[i] = q.ctl("check", i).value();
        if (v.check[i] != 1)
            continue;
        ws.IfcNumber = 2;
        ui::Form& w = pages().form("WirelessDlg");
        if (i == 0)
            v.ssid = w.ctl("SSID").text();
        else
            v.index[i] = w.ctl(controls[i]).listIndex();
        if (i == 9)
            v.international = w.ctl("Check2").value();
    }
    store(ws, Initial, rec::Wireless, wirelessRecord(v));
    return wirelessCommands(v, ws.IfcNumber);
}

std::string Core::ReadEncryptQuestionSettings(bool Initial) {
    ui::Form& e = pages().form("EncryptQuestionDlg");
    EncryptQuestionValues v;
    for (int k = 0; k < 3; ++k)
        v.click[k] = e.ctl("click", k).checked();
    v.wpa = e.ctl("WPA").value();
    v.eap = e.ctl("EAP").value();
    store(ws, Initial, rec::EncryptQuestion, encryptQuestionRecord(v));
    return {};
}

std::string Core::ReadSecuritySettings(bool Initial) {
    SecurityValues v;
    v.encryption = pages().form("WirelessQuestionDlg").ctl("EncryptionCB").value();
    if (v.encryption != 1) {
        store(ws, Initial, rec::Security, "");
        return {};
    }
    ws.IfcNumber = 2;
    ui::Form& e = pages().form("EncryptQuestionDlg");
    for (int k = 0; k < 3; ++k)
        v.choice.click[k] = e.ctl("click", k).checked();
    v.choice.wpa = e.ctl("WPA").value();
    v.choice.eap = e.ctl("EAP").value();
    const int method = chosenMethod(v.choice);
    if (method == 1) {
        v.wep.phrase = pages().form("WEPDlg").ctl("Phrase").checked();
        ui::Form& k = pages().form(v.wep.phrase ? "WEPphraseDlg" : "WEPkeyDlg");
        if (!v.wep.phrase)
            v.wep.keySize = k.ctl("KeySize").listIndex();
        v.wep.authMethod = k.ctl("AuthMethod").listIndex();
        v.wep.defaultKey = k.ctl("DefaultKey").listIndex();
        for (int i = 0; i < 4; ++i)
            v.wep.keys[i] = k.ctl("KeyText", i).text();
    } else if (method == 2) {
        if (v.choice.wpa == 1) {
            ui::Form& w = pages().form("WPADlg");
            v.wpa.passPhrase = w.ctl("PassPhrase").text();
            v.wpa.encryptMethod = w.ctl("EncryptMethod").listIndex();
            v.wpa.wpaMode = w.ctl("WPAMode").listIndex();
        }
        if (v.choice.eap == 1) {
            ui::Form& l = pages().form("LEAPDlg");
            v.eap.userName = l.ctl("UserName").text();
            v.eap.password = l.ctl("Password").text();
            v.eap.type = l.ctl("Combo1").listIndex();
        }
    }
    store(ws, Initial, rec::Security, securityRecord(v));
    return securityCommands(v, ws.IfcNumber);
}

void Core::RecordInitialSettings() {
    ReadPortSettings(true);
    ReadQuestionSettings(true);
    ReadWiredSettings(true);
    ReadNetworkSettings(true);
    ReadWirelessQuestionSettings(true);
    ReadWirelessSettings(true);
    ReadEncryptQuestionSettings(true);
    ReadSecuritySettings(true);
}

bool Core::SettingsDiffer() const {
    for (int i = 0; i < rec::Count; ++i)
        if (ws.CurrentSettings[static_cast<std::size_t>(i)] !=
            ws.InitialSettings[static_cast<std::size_t>(i)])
            return true;
    return false;
}

void Core::BuildSetupCommands() {
    ReadPortSettings(false);
    ws.SetupCommands.clear();
    ws.SetupCommands += ReadQuestionSettings(false);
    ws.SetupCommands += ReadWiredSettings(false);
    ws.SetupCommands += ReadNetworkSettings(false);
    ws.SetupCommands += ReadWirelessQuestionSettings(false);
    ws.SetupCommands += ReadWirelessSettings(false);
    ws.SetupCommands += ReadEncryptQuestionSettings(false);
    ws.SetupCommands += ReadSecuritySettings(false);
}

// ---------------------------------------------------------------- delivery

bool Core::SendSetupCmd(const std::string& commands, net::TcpClient* pwSocket) {
    if (ending())
        return false;
    const std::string job = nicSetupJob(commands);
    ui::Form& port = pages().form("PortSelect");

    auto unsendable = [this] {
        ShowProgramError("The settings hold a character that cannot be sent to the printer.", false,
                         "");
        ws.PrinterError = true;
        return false;
    };

    if (port.ctl("PortTCP").checked()) {
        if (!pwSocket || pwSocket->state() != net::state::Connected) {
            ui::Form& progress = pages().form("ProgressDlg");
            progress.ctl("Timer1").setEnabled(false);
            ws.PrinterError = true;
            ui::Control& status = progress.ctl("StatusLog");
            status.setText(status.text() + "\r\nProcess Failed");
            ShowProgramError("Unable to communicate with printer. It maybe offline", true,
                             "Communication Error");
            return false; // not reached: the error leaves the wizard
        }
        auto bytes = sys::toWindows1252(job);
        if (!bytes)
            return unsendable();
        if (!pwSocket->send(*bytes)) {
            WriteLog("...SendSetupCmd: send failed: " + pwSocket->errorText());
            ws.PrinterError = true;
            return false;
        }
        return true;
    }

    if (port.ctl("PortFile").checked()) {
        const std::string path = port.ctl("FileName").text();
        auto bytes = sys::toWindows1252(job + "\r\n");
        if (!bytes)
            return unsendable();
        if (!sys().writeFile(path, *bytes).ok) {
            ShowProgramError("Unable to write the settings to the file\r\n" + path, false,
                             "File Error");
            ws.PrinterError = true;
            return false;
        }
        return true;
    }

    if (port.ctl("PortLPT").checked() || port.ctl("PortCOM").checked() ||
        port.ctl("PortUSB").checked()) {
        // The job goes to the temporary printer or nowhere.
        if (spooler().currentPrinter() != kTempPrinterName) {
            WriteLog("...SendSetupCmd: printer " + std::string(kTempPrinterName) +
                     " is not current; nothing sent");
            ws.PrinterError = true;
            return false;
        }
        if (!printPath().SendToPrinter(job)) {
            ws.PrinterError = true;
            return false;
        }
        return true;
    }
    return false;
}

// ---------------------------------------------------------------- settings file

std::string Core::StrToHex(const std::string& text) {
    std::string hex;
    char32_t code;
    for (std::size_t i = 0, n = 0; i < text.size(); i += n) {
        n = sys::charAt(text, i, code);
        if (auto b = sys::toWindows1252(text.substr(i, n)))
            hex += sys::hexEncode(*b);
        app().DoEvents();
    }
    return hex;
}

std::string Core::HexToStr(const std::string& hex) {
    return sys::fromWindows1252(sys::hexDecode(hex));
}

bool Core::SaveSettings(const std::string& path, const std::string& password) {
    BuildSetupCommands();

    // Refuse what a settings file could not give back unchanged; nothing is written then.
    if (const RestorePlan plan = restorePlan(ws.CurrentSettings); !plan.valid || !plan.exact) {
        ShowNotice("Unable to save the settings.\r\n"
                   "A text entered in the wizard holds a \"|\" or a line break,\r\n"
                   "which a settings file cannot hold. Please change it and save again.");
        return false;
    }
    std::size_t longest = 0;
    bool encodable = true;
    auto check = [&](const std::string& text) {
        auto b = sys::toWindows1252(text);
        if (!b)
            encodable = false;
        else
            longest = std::max(longest, b->size());
    };
    check(password);
    for (int i = 0; i < rec::Count; ++i)
        check(ws.CurrentSettings[static_cast<std::size_t>(i)]);
    if (!encodable) {
        ShowNotice("Unable to save the settings.\r\n"
                   "A text entered in the wizard holds a character that a settings file\r\n"
                   "cannot hold. Please change it and save again.");
        return false;
    }
    if (longest * 2 > kMaxRecordBytes) {
        ShowNotice("Unable to save the settings.\r\n"
                   "A text entered in the wizard is too long for a settings file.");
        return false;
    }

    if (NamedFileExists(path) && !ConfirmOverwrite())
        return false;

    std::array<std::string, 8> hex;
    const std::string passwordHex = StrToHex(password);
    for (int i = 0; i < rec::Count; ++i)
        hex[static_cast<std::size_t>(i)] =
            StrToHex(ws.CurrentSettings[static_cast<std::size_t>(i)]);
    auto bytes = settingsFileFromHex(passwordHex, hex);
    if (!bytes || !sys().writeFile(path, *bytes).ok) {
        ShowNotice("Unable to save the settings in " + path + "\r\n" +
                   "Please check the file name and try again.\r\n");
        return false;
    }
    ShowNotice("Settings successfully saved in " + path + "\r\n");
    return true;
}

bool Core::LoadSavedSettings(const std::string& path, const std::string& password) {
    if (!NamedFileExists(path)) {
        ShowNotice("File not found. Please select another file.");
        return false;
    }
    auto bytes = sys().readFile(path);
    if (!bytes) {
        ShowNotice(kDamagedFile);
        return false;
    }
    RecordCursor cursor(*bytes);
    // A file whose first record is not a text beginning with the tag (an empty file, any
    // other kind of file) is not a settings file at all.
    auto tag = cursor.nextText();
    if (!tag)
        WriteLog("...LoadSavedSettings: " + cursor.error());
    if (!tag || tag->compare(0, 4, kSettingsTag) != 0) {
        ShowNotice("Error Reading File\r\n"
                   "Incompatible File Type Detected\r\n"
                   "Unable to load the saved settings\r\n");
        return false;
    }
    auto passwordHex = cursor.nextText();
    if (!passwordHex || !sys::isHexText(*passwordHex)) {
        WriteLog("...LoadSavedSettings: password record damaged " + cursor.error());
        ShowNotice(kDamagedFile);
        return false;
    }
    if (HexToStr(*passwordHex) != password) {
        ShowNotice("Error Invalid Password.\r\n"
                   "Unable to load the saved settings\r\n");
        return false;
    }
    std::array<std::string, 9> records;
    for (int i = 0; i < rec::Count; ++i) {
        auto hex = cursor.nextText();
        if (!hex || !sys::isHexText(*hex)) {
            WriteLog("...LoadSavedSettings: record " + std::to_string(i) + " damaged " +
                     cursor.error());
            ShowNotice(kDamagedFile);
            return false;
        }
        records[static_cast<std::size_t>(i)] = HexToStr(*hex);
    }
    RestorePlan plan = restorePlan(records);
    if (!plan.valid) {
        WriteLog("...LoadSavedSettings: " + plan.problem);
        ShowNotice(kDamagedFile);
        return false;
    }

    for (int i = 0; i < rec::Count; ++i) {
        ws.CurrentSettings[static_cast<std::size_t>(i)] = records[static_cast<std::size_t>(i)];
        ws.InitialSettings[static_cast<std::size_t>(i)] = records[static_cast<std::size_t>(i)];
    }
    if (!RestoreSettings())
        ShowNotice("Some of the saved settings do not fit the choices this wizard offers now\r\n"
                   "(such as a port that is no longer present) and were left as they were.\r\n"
                   "Please check the settings on each page.");
    return true;
}

bool Core::applyRestoreOp(const RestoreOp& op) {
    ui::Control* c = pages().form(op.form).find(op.control, op.index);
    if (!c)
        return false;
    switch (op.kind) {
    case RestoreOp::Kind::Text:
        c->setText(op.text);
        return true;
    case RestoreOp::Kind::ListIndex:
        return c->setListIndex(op.number);
    case RestoreOp::Kind::Value:
        c->setValue(op.number);
        return true;
    case RestoreOp::Kind::Choose:
        c->setValue(1);
        return true;
    }
    return false;
}

bool Core::RestoreSettings() {
    RestorePlan plan = restorePlan(ws.CurrentSettings);
    if (!plan.valid)
        return false;
    bool complete = true;
    for (const RestoreOp& op : plan.ops)
        if (!applyRestoreOp(op)) {
            WriteLog("...RestoreSettings: " + op.form + "." + op.control +
                     (op.index >= 0 ? "(" + std::to_string(op.index) + ")" : "") +
                     " left as it was");
            complete = false;
        }
    return complete;
}

} // namespace kestrel
