#pragma once
// Stand-in pages for core tests: each declares the controls the core reads and restores,
// with the lists and defaults of the real pages, and records what the core does to it.
#include "kestrel/core/PageSet.h"
#include "platform/net/Tcp.h"
#include "platform/ui/Form.h"
#include "tests/support/FakeForms.h"

#include <memory>
#include <string>
#include <vector>

namespace kestrel::testing {

class FakePage : public testing_support::FakeForm<FakePage> {
  public:
    using FakeForm::FakeForm;

    ui::Control& list(const std::string& name, int count, int index = -1, int selected = 0) {
        std::vector<std::string> items;
        for (int i = 0; i < count; ++i)
            items.push_back(name + " " + std::to_string(i));
        ui::Control& c = combo(name, ui::ComboStyle::DropDownList, items, index);
        c.setListIndex(selected);
        return c;
    }
};

class FakePages : public PageSet, public testing_support::FakeFormSet<FakePage> {
  public:
    explicit FakePages(ui::App& app) {
        add(app, "Intro");
        add(app, "HaldenIntro");
        add(app, "frmAbout");
        add(app, "HaldenAbout");
        add(app, "LoadDlg");
        add(app, "Dialog");
        add(app, "PortSelect", [](FakePage& p) {
            p.option("PortLPT", "&Parallel Print Port").setValue(1);
            p.list("LPTCombo", 2);
            p.option("PortCOM", "&Serial Port");
            p.list("ComCombo", 1);
            p.option("PortUSB", "&USB");
            p.list("USBCombo", 1);
            p.option("PortTCP", "&TCP/IP");
            p.textBox("IPAddr");
            p.option("PortFile", "&File");
            p.textBox("FileName");
        });
        add(app, "QuestionDlg", [](FakePage& p) {
            for (int k = 0; k < 7; ++k)
                p.checkBox("Check1", "", k);
        });
        add(app, "WiredDlg", [](FakePage& p) {
            p.option("NicOption", "&Wired", 0).in("Frame1").setValue(1);
            p.option("NicOption", "Wireles&s", 1).in("Frame1");
            p.option("useAutoIP", "&Automatic IP Address Assignment").setValue(1);
            p.checkBox("BootP", "Enable BootP");
            p.checkBox("DHCP", "Enable DHCP").setValue(1);
            p.option("useStaticIP", "&Manual IP Address Assignment");
            p.textBox("IPAddr");
            p.textBox("SubMask");
            p.textBox("Gateway");
        });
        add(app, "NetworkDlg", [](FakePage& p) {
            p.list("Combo1", 5, 1);
            p.list("Combo1", 10, 2, 2);
            p.list("Combo1", 4, 3);
            p.list("Combo1", 2, 4);
            p.list("Combo1", 2, 5);
            p.textBox("Packet").setText("1");
            p.textBox("Period").setText("5");
        });
        add(app, "WirelessQuestionDlg", [](FakePage& p) {
            for (int k = 0; k < 10; ++k)
                p.checkBox("check", "", k);
            p.checkBox("EncryptionCB", "");
        });
        add(app, "WirelessDlg", [](FakePage& p) {
            p.textBox("SSID");
            p.list("OpMode", 3);
            p.list("Speed", 13);
            p.list("Channel", 15);
            p.list("Antenna", 3);
            p.list("Preamble", 3);
            p.list("TxPower", 101, -1, 100);
            p.list("PowerMgmt", 2);
            p.list("Devices", 7);
            p.list("CountryCode", 12);
            p.checkBox("Check2", "International Mode");
        });
        add(app, "EncryptQuestionDlg", [](FakePage& p) {
            p.option("click", "&No Authentication (Open)", 0).setValue(1);
            p.option("click", "&WEP (Wired Equivalent Privacy)", 1);
            p.option("click", "&Other Authentication Methods", 2);
            p.checkBox("WPA", "WPA (Wi-Fi Protected Access)");
            p.checkBox("EAP", "EAP (Extensible Authentication Protocol)");
        });
        add(app, "WEPDlg", [](FakePage& p) {
            p.option("Phrase", "&ASCII String").setValue(1);
            p.option("EntryManual", "&Encryption keys");
        });
        add(app, "WEPkeyDlg", [](FakePage& p) {
            p.list("KeySize", 2);
            p.list("AuthMethod", 2);
            p.list("DefaultKey", 5);
            for (int k = 0; k < 4; ++k)
                p.textBox("KeyText", k);
        });
        add(app, "WEPphraseDlg", [](FakePage& p) {
            p.list("DefaultKey", 5);
            p.list("AuthMethod", 2);
            for (int k = 0; k < 4; ++k)
                p.textBox("KeyText", k);
        });
        add(app, "WPADlg", [](FakePage& p) {
            p.textBox("PassPhrase");
            p.list("EncryptMethod", 4);
            p.list("WPAMode", 3);
        });
        add(app, "LEAPDlg", [](FakePage& p) {
            p.textBox("UserName");
            p.textBox("Password");
            p.list("Combo1", 4);
        });
        add(app, "FinishDialog");
        add(app, "ProgressDlg", [](FakePage& p) {
            p.timer("Timer1", 500, true);
            p.textBox("StatusLog").setText("Initializing ....");
        });
    }

    ui::Form& form(const std::string& name) override { return page(name); }
    void setDialogMode(int mode) override { dialogModes.push_back(mode); }
    void progressCleanUp() override { ++cleanUps; }

    void loadAll() {
        for (auto& [name, p] : pages_)
            p->load();
    }
    void unloadAll() {
        for (auto& [name, p] : pages_)
            p->Unload();
        unloads.clear();
    }

    std::vector<int> dialogModes;
    int cleanUps = 0;
};

// A socket that records what it is sent.
class FakeTcp : public net::TcpClient {
  public:
    int stateValue = net::state::Connected;
    bool sendWorks = true;
    std::string sent;
    int closes = 0;

    void connect(const std::string&, std::uint16_t) override {}
    int state() override { return stateValue; }
    bool send(const std::string& bytes) override {
        if (!sendWorks) {
            stateValue = net::state::Error;
            return false;
        }
        sent += bytes;
        return true;
    }
    void close() override {
        ++closes;
        stateValue = net::state::Closed;
    }
    std::string errorText() const override { return sendWorks ? "" : "connection reset"; }
};

class FakeNetwork : public net::Network {
  public:
    std::unique_ptr<net::TcpClient> createTcpClient() override {
        return std::make_unique<FakeTcp>();
    }
};

} // namespace kestrel::testing
