// The settings records, the command text and the restore on the wizard's own pages.
#include "FakePages.h"

#include "kestrel/core/Core.h"
#include "kestrel/core/Restore.h"
#include "kestrel/pages/Pages.h"
#include "platform/sys/System.h"
#include "tests/support/FakeProcessRunner.h"
#include "tests/support/Harness.h"
#include "tests/support/MemorySpooler.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace kestrel {
namespace {

namespace fs = std::filesystem;

class RealPages : public ::testing::Test {
  protected:
    RealPages()
        : dir(makeDir()), system(dir.string()), processes(h.clock),
          core(CoreServices{h.app, system, processes, spool, network}), pages(h.app, core) {
        core.setPages(pages);
        oldCwd = fs::current_path();
        fs::current_path(dir);
        // Plover and every other program start and do nothing; Wren's list is already there.
        processes.onAnyOther({});
        std::ofstream(dir / "ports.txt", std::ios::binary)
            << "LPT1:\r\nLPT2:\r\nCOM1:\r\nUSB001\r\n";
    }
    ~RealPages() override {
        fs::current_path(oldCwd);
        fs::remove_all(dir);
    }
    static fs::path makeDir() {
        std::string tmpl = (fs::temp_directory_path() / "kcorepXXXXXX").string();
        return ::mkdtemp(tmpl.data());
    }

  public:
    ui::Control& ctl(const std::string& page, const std::string& name, int index = -1) {
        return pages.form(page).ctl(name, index);
    }

  protected:
    bool run(const std::function<void()>& f) { return h.returns(f); }
    std::string file(const std::string& name) const { return (dir / name).string(); }

    testing_support::Harness h;
    fs::path dir;
    fs::path oldCwd;
    sys::RealSystem system;
    proc::FakeProcessRunner processes;
    spooler::MemorySpooler spool;
    testing::FakeNetwork network;
    Core core;
    KestrelPages pages;
};

TEST_F(RealPages, EveryControlTheCoreUsesExists) {
    ASSERT_TRUE(run([&] {
        core.RecordInitialSettings();
        // Tick everything so that every reader reads every page it can.
        for (int k = 0; k < 7; ++k)
            ctl("QuestionDlg", "Check1", k).setValue(1);
        for (int k = 0; k < 10; ++k)
            ctl("WirelessQuestionDlg", "check", k).setValue(1);
        ctl("WirelessQuestionDlg", "EncryptionCB").setValue(1);
        for (int method : {1, 2}) {
            ctl("EncryptQuestionDlg", "click", method).setValue(1);
            ctl("EncryptQuestionDlg", "WPA").setValue(1);
            ctl("EncryptQuestionDlg", "EAP").setValue(1);
            for (const char* wep : {"Phrase", "EntryManual"}) {
                ctl("WEPDlg", wep).setValue(1);
                ctl("WEPphraseDlg", "DefaultKey").setListIndex(1);
                ctl("WEPkeyDlg", "DefaultKey").setListIndex(1);
                core.BuildSetupCommands();
                EXPECT_TRUE(restorePlan(core.ws.CurrentSettings).exact);
            }
        }
    }));
}

TEST_F(RealPages, DefaultsMatchTheBaseline) {
    ASSERT_TRUE(run([&] {
        core.RecordInitialSettings();
        core.BuildSetupCommands();
    }));
    EXPECT_FALSE(core.SettingsDiffer());
    EXPECT_EQ(core.ws.CurrentSettings[0], "1|0\r\n0|.\r\n0|.\r\n0|.\r\n0|.\r\n");
    EXPECT_EQ(core.ws.CurrentSettings[6], "True|False|False|0|0");
}

// Records as a full run of the wizard could leave them, one set per road.
struct RoundTrip {
    const char* name;
    std::function<void(RealPages&)> fill;
};

class RoundTrips : public RealPages, public ::testing::WithParamInterface<RoundTrip> {};

TEST_P(RoundTrips, RecordRestoreRecord) {
    const std::string path = file("t.ksf");
    h.boxes.expect("Notice", "Settings successfully saved in " + path + "\r\n");
    ASSERT_TRUE(run([&] {
        core.RecordInitialSettings();
        GetParam().fill(*this);
        ASSERT_TRUE(core.SaveSettings(path, "pw"));
    }));
    const auto records = core.ws.CurrentSettings;
    const std::string commands = core.ws.SetupCommands;

    // A new run: fresh pages with their defaults, then the file.
    for (ui::Form* f : pages.all())
        f->Unload();
    core.ws = WizardState{};
    ASSERT_TRUE(run([&] {
        core.RecordInitialSettings();
        ASSERT_TRUE(core.LoadSavedSettings(path, "pw"));
        core.BuildSetupCommands();
    }));
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(core.ws.CurrentSettings[i], records[i]) << "record " << i;
    EXPECT_EQ(core.ws.SetupCommands, commands);
    EXPECT_FALSE(core.SettingsDiffer());
}

INSTANTIATE_TEST_SUITE_P(
    Roads, RoundTrips,
    ::testing::Values(RoundTrip{"WiredStaticFile",
                                [](RealPages& t) {
                                    t.ctl("PortSelect", "PortFile").setValue(1);
                                    t.ctl("PortSelect", "FileName").setText("/tmp/cmds.txt");
                                    t.ctl("QuestionDlg", "Check1", 0).setValue(1);
                                    t.ctl("QuestionDlg", "Check1", 2).setValue(1);
                                    t.ctl("QuestionDlg", "Check1", 5).setValue(1);
                                    t.ctl("WiredDlg", "useStaticIP").setValue(1);
                                    t.ctl("WiredDlg", "IPAddr").setText("10.1.2.3");
                                    t.ctl("WiredDlg", "SubMask").setText("255.255.255.0");
                                    t.ctl("WiredDlg", "Gateway").setText("10.1.2.1");
                                    t.ctl("NetworkDlg", "Combo1", 2).setListIndex(6);
                                    t.ctl("NetworkDlg", "Combo1", 5).setListIndex(0);
                                    t.ctl("NetworkDlg", "Packet").setText("4");
                                    t.ctl("NetworkDlg", "Period").setText("9");
                                }},
                      RoundTrip{"WirelessWepKeysTcp",
                                [](RealPages& t) {
                                    t.ctl("PortSelect", "PortTCP").setValue(1);
                                    t.ctl("PortSelect", "IPAddr").setText("192.168.1.20");
                                    t.ctl("QuestionDlg", "Check1", 0).setValue(1);
                                    t.ctl("QuestionDlg", "Check1", 6).setValue(1);
                                    t.ctl("WiredDlg", "NicOption", 1).setValue(1);
                                    t.ctl("WiredDlg", "BootP").setValue(1);
                                    for (int k : {0, 1, 2, 3, 9})
                                        t.ctl("WirelessQuestionDlg", "check", k).setValue(1);
                                    t.ctl("WirelessQuestionDlg", "EncryptionCB").setValue(1);
                                    t.ctl("WirelessDlg", "SSID").setText("shop floor");
                                    t.ctl("WirelessDlg", "OpMode").setListIndex(1);
                                    t.ctl("WirelessDlg", "Speed").setListIndex(5);
                                    t.ctl("WirelessDlg", "Channel").setListIndex(3);
                                    t.ctl("WirelessDlg", "CountryCode").setListIndex(9);
                                    t.ctl("EncryptQuestionDlg", "click", 1).setValue(1);
                                    t.ctl("WEPDlg", "EntryManual").setValue(1);
                                    t.ctl("WEPkeyDlg", "AuthMethod").setListIndex(1);
                                    t.ctl("WEPkeyDlg", "DefaultKey").setListIndex(2);
                                    t.ctl("WEPkeyDlg", "KeyText", 1).setText("0102030405");
                                }},
                      RoundTrip{"WpaAndEap",
                                [](RealPages& t) {
                                    t.ctl("PortSelect", "PortCOM").setValue(1);
                                    t.ctl("QuestionDlg", "Check1", 6).setValue(1);
                                    t.ctl("WirelessQuestionDlg", "EncryptionCB").setValue(1);
                                    t.ctl("EncryptQuestionDlg", "click", 2).setValue(1);
                                    t.ctl("EncryptQuestionDlg", "WPA").setValue(1);
                                    t.ctl("EncryptQuestionDlg", "EAP").setValue(1);
                                    t.ctl("WPADlg", "PassPhrase").setText("a long pass phrase");
                                    t.ctl("WPADlg", "EncryptMethod").setListIndex(3);
                                    t.ctl("WPADlg", "WPAMode").setListIndex(1);
                                    t.ctl("LEAPDlg", "UserName").setText("worker");
                                    t.ctl("LEAPDlg", "Password").setText("s3cret");
                                    t.ctl("LEAPDlg", "Combo1").setListIndex(1);
                                }},
                      RoundTrip{"WepPhraseNoDefaultKey",
                                [](RealPages& t) {
                                    t.ctl("PortSelect", "PortUSB").setValue(1);
                                    t.ctl("QuestionDlg", "Check1", 6).setValue(1);
                                    t.ctl("WirelessQuestionDlg", "EncryptionCB").setValue(1);
                                    t.ctl("EncryptQuestionDlg", "click", 1).setValue(1);
                                    t.ctl("WEPphraseDlg", "DefaultKey").setListIndex(0);
                                    t.ctl("WEPphraseDlg", "AuthMethod").setListIndex(1);
                                }}),
    [](const ::testing::TestParamInfo<RoundTrip>& i) { return std::string(i.param.name); });

TEST_F(RealPages, RestoreRunsTheClickHandlers) {
    core.ws.CurrentSettings = {};
    core.ws.CurrentSettings[0] = "0|.\r\n0|.\r\n0|.\r\n1|10.9.8.7\r\n0|.\r\n";
    core.ws.CurrentSettings[2] = "1\r\n1|0|1\r\n";
    core.ws.CurrentSettings[6] = "False|False|True|1|0";
    bool complete = false;
    ASSERT_TRUE(run([&] {
        ctl("WiredDlg", "useStaticIP").setValue(1);
        ctl("WiredDlg", "IPAddr").setText("1.1.1.1");
        complete = core.RestoreSettings();
    }));
    EXPECT_TRUE(complete);
    EXPECT_EQ(ctl("PortSelect", "IPAddr").text(), "10.9.8.7");
    EXPECT_TRUE(ctl("PortSelect", "IPAddr").enabled());
    EXPECT_FALSE(ctl("PortSelect", "LPTCombo").enabled());
    EXPECT_EQ(ctl("WiredDlg", "useAutoIP").value(), 1);
    EXPECT_EQ(ctl("WiredDlg", "IPAddr").text(), "");
    EXPECT_FALSE(ctl("WiredDlg", "IPAddr").enabled());
    EXPECT_EQ(ctl("WiredDlg", "BootP").value(), 0);
    EXPECT_EQ(ctl("WiredDlg", "DHCP").value(), 1);
    EXPECT_TRUE(ctl("EncryptQuestionDlg", "WPA").enabled());
    EXPECT_EQ(ctl("EncryptQuestionDlg", "WPA").value(), 1);
}

TEST_F(RealPages, EapLineAloneLeavesTheWpaPage) {
    core.ws.CurrentSettings = {};
    core.ws.CurrentSettings[7] = "0|.\r\n0|.\r\n0|.\r\n1|1|u|p|2\r\n";
    ASSERT_TRUE(run([&] {
        ctl("WPADlg", "PassPhrase").setText("kept");
        EXPECT_TRUE(core.RestoreSettings());
    }));
    EXPECT_EQ(ctl("WPADlg", "PassPhrase").text(), "kept");
    EXPECT_EQ(ctl("LEAPDlg", "UserName").text(), "u");
    EXPECT_EQ(ctl("LEAPDlg", "Combo1").listIndex(), 2);
}

} // namespace
} // namespace kestrel
