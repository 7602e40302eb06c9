// The settings of the core: the records and command text read from the pages, and the
// settings file.
#include "kestrel/core/Core.h"
#include "kestrel/core/Records.h"
#include "kestrel/core/Restore.h"
#include "kestrel/core/SettingsFile.h"
#include "platform/sys/Encoding.h"
#include "platform/sys/Strings.h"
#include "platform/sys/System.h"
#include "platform/ui/App.h"
#include "platform/ui/Form.h"

#include <algorithm>
#include <array>

namespace kestrel {

namespace {

const char* const kDamagedFile = "Error Reading File\r\n"
                                 "The settings file is damaged or incomplete.\r\n"
                                 "Unable to load the saved settings\r\n";

} // namespace

void Core::store(bool initial, int index, const std::string& record) {
    (initial ? ws.InitialSettings : ws.CurrentSettings)[static_cast<std::size_t>(index)] = record;
    if (!initial)
        readFromPages_[static_cast<std::size_t>(index)] = true;
}

std::string Core::ReadPortSettings(bool Initial) {
    PortSelectControls& p = pages().portSelect();
    PortValues v;
    v.lpt = p.PortLPT->checked();
    v.com = p.PortCOM->checked();
    v.usb = p.PortUSB->checked();
    v.tcp = p.PortTCP->checked();
    v.file = p.PortFile->checked();
    v.lptIndex = p.LPTCombo->listIndex();
    v.comIndex = p.ComCombo->listIndex();
    v.usbIndex = p.USBCombo->listIndex();
    v.ipAddr = p.IPAddr->text();
    v.fileName = p.FileName->text();
    std::string r = portRecord(v);
    store(Initial, rec::Port, r);
    return r;
}

std::string Core::ReadQuestionSettings(bool Initial) {
    QuestionDlgControls& q = pages().questionDlg();
    std::array<int, 7> check{};
    for (int k = 0; k < 7; ++k)
        check[k] = q.Check1[k]->value();
    store(Initial, rec::Question, questionRecord(check));
    return {};
}

std::string Core::ReadWiredSettings(bool Initial) {
    if (pages().questionDlg().Check1[0]->value() == 0)
        return {};
    WiredDlgControls& w = pages().wiredDlg();
    WiredValues v;
    v.wired = w.NicOption[0]->checked();
    v.autoIP = w.useAutoIP->checked();
    v.bootP = w.BootP->value();
    v.dhcp = w.DHCP->value();
    v.ipAddr = w.IPAddr->text();
    v.subMask = w.SubMask->text();
    v.gateway = w.Gateway->text();
    ws.IfcNumber = static_cast<std::int16_t>(wiredIfcNumber(v));
    store(Initial, rec::Wired, wiredRecord(v));
    return wiredCommands(v, ws.IfcNumber);
}

std::string Core::ReadNetworkSettings(bool Initial) {
    QuestionDlgControls& q = pages().questionDlg();
    NetworkValues v;
    for (int i = 1; i <= 5; ++i) {
        v.check[i] = q.Check1[i]->value();
        if (v.check[i] != 1)
            continue;
        NetworkDlgControls& n = pages().networkDlg();
        v.combo[i] = n.Combo1[i]->listIndex();
        if (i == 5) {
            v.packet = n.Packet->text();
            v.period = n.Period->text();
        }
    }
    store(Initial, rec::Network, networkRecord(v));
    return networkCommands(v);
}

std::string Core::ReadWirelessQuestionSettings(bool Initial) {
    WirelessQuestionDlgControls& q = pages().wirelessQuestionDlg();
    std::array<int, 10> check{};
    for (int k = 0; k < 10; ++k)
        check[k] = q.check[k]->value();
    store(Initial, rec::WirelessQuestion, wirelessQuestionRecord(check, q.EncryptionCB->value()));
    return {};
}

std::string Core::ReadWirelessSettings(bool Initial) {
    WirelessQuestionDlgControls& q = pages().wirelessQuestionDlg();
    WirelessValues v;
    for (int i = 0; i < 10; ++i) {
        v.check[i] = q.check[i]->value();
        if (v.check[i] != 1)
            continue;
        ws.IfcNumber = 2;
        WirelessDlgControls& w = pages().wirelessDlg();
        if (i == 0)
            v.ssid = w.SSID->text();
        else
            v.index[i] = w.row(i)->listIndex();
        if (i == 9)
            v.international = w.Check2->value();
    }
    store(Initial, rec::Wireless, wirelessRecord(v));
    return wirelessCommands(v, ws.IfcNumber);
}

namespace {

EncryptQuestionValues encryptQuestionValues(EncryptQuestionDlgControls& e) {
    EncryptQuestionValues v;
    for (int k = 0; k < 3; ++k)
        v.click[k] = e.click[k]->checked();
    v.wpa = e.WPA->value();
    v.eap = e.EAP->value();
    return v;
}

} // namespace

std::string Core::ReadEncryptQuestionSettings(bool Initial) {
    store(Initial, rec::EncryptQuestion,
          encryptQuestionRecord(encryptQuestionValues(pages().encryptQuestionDlg())));
    return {};
}

std::string Core::ReadSecuritySettings(bool Initial) {
    SecurityValues v;
    v.encryption = pages().wirelessQuestionDlg().EncryptionCB->value();
    if (v.encryption != 1) {
        store(Initial, rec::Security, "");
        return {};
    }
    ws.IfcNumber = 2;
    v.choice = encryptQuestionValues(pages().encryptQuestionDlg());
    const int method = chosenMethod(v.choice);
    if (method == 1) {
        v.wep.phrase = pages().wepDlg().Phrase->checked();
        WepKeysControls& k = v.wep.phrase ? pages().wepPhraseDlg() : pages().wepKeyDlg();
        if (!v.wep.phrase)
            v.wep.keySize = pages().wepKeyDlg().KeySize->listIndex();
        v.wep.authMethod = k.AuthMethod->listIndex();
        v.wep.defaultKey = k.DefaultKey->listIndex();
        for (int i = 0; i < 4; ++i)
            v.wep.keys[i] = k.KeyText[i]->text();
    } else if (method == 2) {
        if (v.choice.wpa == 1) {
            WPADlgControls& w = pages().wpaDlg();
            v.wpa.passPhrase = w.PassPhrase->text();
            v.wpa.encryptMethod = w.EncryptMethod->listIndex();
            v.wpa.wpaMode = w.WPAMode->listIndex();
        }
        if (v.choice.eap == 1) {
            LEAPDlgControls& l = pages().leapDlg();
            v.eap.userName = l.UserName->text();
            v.eap.password = l.Password->text();
            v.eap.type = l.Combo1->listIndex();
        }
    }
    store(Initial, rec::Security, securityRecord(v));
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
    readFromPages_.fill(false);
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
    // Only records just read from the pages hold what the user typed: one a reader left
    // alone (its page does not apply) is saved as it was loaded, and loads again the same.
    bool exact = true;
    for (int i = 0; i < rec::Count; ++i) {
        if (!readFromPages_[static_cast<std::size_t>(i)])
            continue;
        const RestorePlan plan =
            restorePlan(pages(), i, ws.CurrentSettings[static_cast<std::size_t>(i)]);
        exact = exact && plan.valid && plan.exact;
    }
    if (!exact) {
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
    return loadSettingsFile(path, password) == LoadResult::Loaded;
}

Core::LoadResult Core::loadSettingsFile(const std::string& path, const std::string& password) {
    if (!NamedFileExists(path)) {
        ShowNotice("File not found. Please select another file.");
        return LoadResult::Refused;
    }
    auto bytes = sys().readFile(path);
    if (!bytes) {
        ShowNotice(kDamagedFile);
        return LoadResult::Refused;
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
        return LoadResult::Refused;
    }
    auto passwordHex = cursor.nextText();
    if (!passwordHex || !sys::isHexText(*passwordHex)) {
        WriteLog("...LoadSavedSettings: password record damaged " + cursor.error());
        ShowNotice(kDamagedFile);
        return LoadResult::Refused;
    }
    if (HexToStr(*passwordHex) != password) {
        ShowNotice("Error Invalid Password.\r\n"
                   "Unable to load the saved settings\r\n");
        return LoadResult::WrongPassword;
    }
    std::array<std::string, 9> records;
    for (int i = 0; i < rec::Count; ++i) {
        auto hex = cursor.nextText();
        if (!hex || !sys::isHexText(*hex)) {
            WriteLog("...LoadSavedSettings: record " + std::to_string(i) + " damaged " +
                     cursor.error());
            ShowNotice(kDamagedFile);
            return LoadResult::Refused;
        }
        records[static_cast<std::size_t>(i)] = HexToStr(*hex);
    }
    RestorePlan plan = restorePlan(pages(), records);
    if (!plan.valid) {
        WriteLog("...LoadSavedSettings: " + plan.problem);
        ShowNotice(kDamagedFile);
        return LoadResult::Refused;
    }

    for (int i = 0; i < rec::Count; ++i) {
        ws.CurrentSettings[static_cast<std::size_t>(i)] = records[static_cast<std::size_t>(i)];
        ws.InitialSettings[static_cast<std::size_t>(i)] = records[static_cast<std::size_t>(i)];
    }
    if (!RestoreSettings())
        ShowNotice("Some of the saved settings do not fit the choices this wizard offers now\r\n"
                   "(such as a port that is no longer present) and were left as they were.\r\n"
                   "Please check the settings on each page.");
    return LoadResult::Loaded;
}

bool Core::applyRestoreOp(const RestoreOp& op) {
    ui::Control& c = *op.control;
    switch (op.kind) {
    case RestoreOp::Kind::Text:
        c.setText(op.text);
        return true;
    case RestoreOp::Kind::ListIndex:
        return c.setListIndex(op.number);
    case RestoreOp::Kind::Value:
        c.setValue(op.number);
        return true;
    case RestoreOp::Kind::Choose:
        c.setValue(1);
        return true;
    }
    return false;
}

bool Core::RestoreSettings() {
    RestorePlan plan = restorePlan(pages(), ws.CurrentSettings);
    if (!plan.valid)
        return false;
    bool complete = true;
    for (const RestoreOp& op : plan.ops)
        if (!applyRestoreOp(op)) {
            WriteLog("...RestoreSettings: " + op.control.form().name() + "." +
                     op.control->fullName() + " left as it was");
            complete = false;
        }
    return complete;
}

} // namespace kestrel
