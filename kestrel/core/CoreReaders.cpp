// The settings readers of the core: each page's controls to its record and command text.
#include "kestrel/core/Core.h"
#include "kestrel/core/Records.h"
#include "platform/ui/Form.h"

#include <array>

namespace kestrel {

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

} // namespace kestrel
