#pragma once
// Stand-in pages for core tests: each builds the controls the core reads and restores (the
// pages' own control structs), with the lists and defaults of the real pages, and records
// what the core does to it.
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

    ui::Control& list(const ui::ControlRef& c, int count, int selected = 0) {
        std::vector<std::string> items;
        for (int i = 0; i < count; ++i)
            items.push_back(c.name() + " " + std::to_string(i));
        ui::Control& list = combo(c, ui::ComboStyle::DropDownList, items);
        list.setListIndex(selected);
        return list;
    }
};

class FakePages : public PageSet, public testing_support::FakeFormSet<FakePage> {
  public:
    explicit FakePages(ui::App& app) : app_(app) {
        for (const char* name : {"Intro", "HaldenIntro", "frmAbout", "HaldenAbout", "LoadDlg",
                                 "Dialog", "FinishDialog"})
            add(app, name);
    }

    ui::Form& form(const std::string& name) override { return page(name); }
    std::vector<ui::Form*> all() const override { return forms(); }
    void setDialogMode(int mode) override { dialogModes.push_back(mode); }
    void progressCleanUp() override { ++cleanUps; }
    PortSelectControls& portSelect() override { return port_; }
    QuestionDlgControls& questionDlg() override { return question_; }
    WiredDlgControls& wiredDlg() override { return wired_; }
    NetworkDlgControls& networkDlg() override { return network_; }
    WirelessQuestionDlgControls& wirelessQuestionDlg() override { return wirelessQuestion_; }
    WirelessDlgControls& wirelessDlg() override { return wireless_; }
    EncryptQuestionDlgControls& encryptQuestionDlg() override { return encrypt_; }
    WEPDlgControls& wepDlg() override { return wep_; }
    WEPkeyDlgControls& wepKeyDlg() override { return wepKey_; }
    WepKeysControls& wepPhraseDlg() override { return wepPhrase_; }
    WPADlgControls& wpaDlg() override { return wpa_; }
    LEAPDlgControls& leapDlg() override { return leap_; }
    ProgressDlgControls& progressDlg() override { return progress_; }

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

  private:
    FakePage* make(const std::string& name, FakePage::BuildFn build) {
        add(app_, name, std::move(build));
        return &page(name);
    }

    ui::App& app_;
    // Each stand-in page with the struct of its controls, which its builder uses.
    PortSelectControls port_{make("PortSelect", [this](FakePage& p) {
        p.option(port_.PortLPT, "&Parallel Print Port").setValue(1);
        p.list(port_.LPTCombo, 2);
        p.option(port_.PortCOM, "&Serial Port");
        p.list(port_.ComCombo, 1);
        p.option(port_.PortUSB, "&USB");
        p.list(port_.USBCombo, 1);
        p.option(port_.PortTCP, "&TCP/IP");
        p.textBox(port_.IPAddr);
        p.option(port_.PortFile, "&File");
        p.textBox(port_.FileName);
    })};
    QuestionDlgControls question_{make("QuestionDlg", [this](FakePage& p) {
        for (int k = 0; k < 7; ++k)
            p.checkBox(question_.Check1[k], "");
    })};
    WiredDlgControls wired_{make("WiredDlg", [this](FakePage& p) {
        p.option(wired_.NicOption[0], "&Wired").in("Frame1").setValue(1);
        p.option(wired_.NicOption[1], "Wireles&s").in("Frame1");
        p.option(wired_.useAutoIP, "&Automatic IP Address Assignment").setValue(1);
        p.checkBox(wired_.BootP, "Enable BootP");
        p.checkBox(wired_.DHCP, "Enable DHCP").setValue(1);
        p.option(wired_.useStaticIP, "&Manual IP Address Assignment");
        p.textBox(wired_.IPAddr);
        p.textBox(wired_.SubMask);
        p.textBox(wired_.Gateway);
    })};
    NetworkDlgControls network_{make("NetworkDlg", [this](FakePage& p) {
        p.list(network_.Combo1[1], 5);
        p.list(network_.Combo1[2], 10, 2);
        p.list(network_.Combo1[3], 4);
        p.list(network_.Combo1[4], 2);
        p.list(network_.Combo1[5], 2);
        p.textBox(network_.Packet).setText("1");
        p.textBox(network_.Period).setText("5");
    })};
    WirelessQuestionDlgControls wirelessQuestion_{make("WirelessQuestionDlg", [this](FakePage& p) {
        for (int k = 0; k < 10; ++k)
            p.checkBox(wirelessQuestion_.check[k], "");
        p.checkBox(wirelessQuestion_.EncryptionCB, "");
    })};
    WirelessDlgControls wireless_{make("WirelessDlg", [this](FakePage& p) {
        p.textBox(wireless_.SSID);
        p.list(wireless_.OpMode, 3);
        p.list(wireless_.Speed, 13);
        p.list(wireless_.Channel, 15);
        p.list(wireless_.Antenna, 3);
        p.list(wireless_.Preamble, 3);
        p.list(wireless_.TxPower, 101, 100);
        p.list(wireless_.PowerMgmt, 2);
        p.list(wireless_.Devices, 7);
        p.list(wireless_.CountryCode, 12);
        p.checkBox(wireless_.Check2, "International Mode");
    })};
    EncryptQuestionDlgControls encrypt_{make("EncryptQuestionDlg", [this](FakePage& p) {
        p.option(encrypt_.click[0], "&No Authentication (Open)").setValue(1);
        p.option(encrypt_.click[1], "&WEP (Wired Equivalent Privacy)");
        p.option(encrypt_.click[2], "&Other Authentication Methods");
        p.checkBox(encrypt_.WPA, "WPA (Wi-Fi Protected Access)");
        p.checkBox(encrypt_.EAP, "EAP (Extensible Authentication Protocol)");
    })};
    WEPDlgControls wep_{make("WEPDlg", [this](FakePage& p) {
        p.option(wep_.Phrase, "&ASCII String").setValue(1);
        p.option(wep_.EntryManual, "&Encryption keys");
    })};
    WEPkeyDlgControls wepKey_{make("WEPkeyDlg", [this](FakePage& p) {
        p.list(wepKey_.KeySize, 2);
        p.list(wepKey_.AuthMethod, 2);
        p.list(wepKey_.DefaultKey, 5);
        for (int k = 0; k < 4; ++k)
            p.textBox(wepKey_.KeyText[k]);
    })};
    WepKeysControls wepPhrase_{make("WEPphraseDlg", [this](FakePage& p) {
        p.list(wepPhrase_.DefaultKey, 5);
        p.list(wepPhrase_.AuthMethod, 2);
        for (int k = 0; k < 4; ++k)
            p.textBox(wepPhrase_.KeyText[k]);
    })};
    WPADlgControls wpa_{make("WPADlg", [this](FakePage& p) {
        p.textBox(wpa_.PassPhrase);
        p.list(wpa_.EncryptMethod, 4);
        p.list(wpa_.WPAMode, 3);
    })};
    LEAPDlgControls leap_{make("LEAPDlg", [this](FakePage& p) {
        p.textBox(leap_.UserName);
        p.textBox(leap_.Password);
        p.list(leap_.Combo1, 4);
    })};
    ProgressDlgControls progress_{make("ProgressDlg", [this](FakePage& p) {
        p.timer(progress_.Timer1, 500, true);
        p.textBox(progress_.StatusLog).setText("Initializing ....");
    })};
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
