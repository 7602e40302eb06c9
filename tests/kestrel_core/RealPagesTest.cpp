// The settings records, the command text and the restore on the wizard's own pages.
#include "FakePages.h"

#include "kestrel/core/Core.h"
#include "kestrel/core/Restore.h"
#include "kestrel/core/SettingsFile.h"
#include "kestrel/pages/Pages.h"
#include "platform/sys/System.h"
#include "tests/fixtures/TempFolder.h"
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
        : system(folder.path), processes(h.clock),
          core(CoreServices{h.app, system, processes, spool, network}), pages(h.app, core) {
        core.setPages(pages);
        // Plover and every other program start and do nothing; Wren's list is already there.
        processes.onAnyOther({});
        std::ofstream(folder.path / "ports.txt", std::ios::binary)
            << "LPT1:\r\nLPT2:\r\nCOM1:\r\nUSB001\r\n";
    }

    bool run(const std::function<void()>& f) { return h.returns(f); }
    std::string file(const std::string& name) const { return (folder.path / name).string(); }

    // First, so that the current folder is the temporary one until every page has gone.
    test_fixtures::TempFolder folder{"kcorep", test_fixtures::TempFolder::Enter::Yes};
    testing_support::Harness h;
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
            pages.questionDlg().Check1[k]->setValue(1);
        for (int k = 0; k < 10; ++k)
            pages.wirelessQuestionDlg().check[k]->setValue(1);
        pages.wirelessQuestionDlg().EncryptionCB->setValue(1);
        for (int method : {1, 2}) {
            pages.encryptQuestionDlg().click[method]->setValue(1);
            pages.encryptQuestionDlg().WPA->setValue(1);
            pages.encryptQuestionDlg().EAP->setValue(1);
            for (const ui::ControlRef& wep : {pages.wepDlg().Phrase, pages.wepDlg().EntryManual}) {
                wep->setValue(1);
                pages.wepPhraseDlg().DefaultKey->setListIndex(1);
                pages.wepKeyDlg().DefaultKey->setListIndex(1);
                core.BuildSetupCommands();
                EXPECT_TRUE(restorePlan(pages, core.ws.CurrentSettings).exact);
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
    std::function<void(KestrelPages&)> fill;
};

class RoundTrips : public RealPages, public ::testing::WithParamInterface<RoundTrip> {};

TEST_P(RoundTrips, RecordRestoreRecord) {
    const std::string path = file("t.ksf");
    h.boxes.expect("Notice", "Settings successfully saved in " + path + "\r\n");
    ASSERT_TRUE(run([&] {
        core.RecordInitialSettings();
        GetParam().fill(pages);
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
                                [](KestrelPages& p) {
                                    p.portSelect().PortFile->setValue(1);
                                    p.portSelect().FileName->setText("/tmp/cmds.txt");
                                    p.questionDlg().Check1[0]->setValue(1);
                                    p.questionDlg().Check1[2]->setValue(1);
                                    p.questionDlg().Check1[5]->setValue(1);
                                    p.wiredDlg().useStaticIP->setValue(1);
                                    p.wiredDlg().IPAddr->setText("10.1.2.3");
                                    p.wiredDlg().SubMask->setText("255.255.255.0");
                                    p.wiredDlg().Gateway->setText("10.1.2.1");
                                    p.networkDlg().Combo1[2]->setListIndex(6);
                                    p.networkDlg().Combo1[5]->setListIndex(0);
                                    p.networkDlg().Packet->setText("4");
                                    p.networkDlg().Period->setText("9");
                                }},
                      RoundTrip{"WirelessWepKeysTcp",
                                [](KestrelPages& p) {
                                    p.portSelect().PortTCP->setValue(1);
                                    p.portSelect().IPAddr->setText("192.168.1.20");
                                    p.questionDlg().Check1[0]->setValue(1);
                                    p.questionDlg().Check1[6]->setValue(1);
                                    p.wiredDlg().NicOption[1]->setValue(1);
                                    p.wiredDlg().BootP->setValue(1);
                                    for (int k : {0, 1, 2, 3, 9})
                                        p.wirelessQuestionDlg().check[k]->setValue(1);
                                    p.wirelessQuestionDlg().EncryptionCB->setValue(1);
                                    p.wirelessDlg().SSID->setText("shop floor");
                                    p.wirelessDlg().OpMode->setListIndex(1);
                                    p.wirelessDlg().Speed->setListIndex(5);
                                    p.wirelessDlg().Channel->setListIndex(3);
                                    p.wirelessDlg().CountryCode->setListIndex(9);
                                    p.encryptQuestionDlg().click[1]->setValue(1);
                                    p.wepDlg().EntryManual->setValue(1);
                                    p.wepKeyDlg().AuthMethod->setListIndex(1);
                                    p.wepKeyDlg().DefaultKey->setListIndex(2);
                                    p.wepKeyDlg().KeyText[1]->setText("0102030405");
                                }},
                      RoundTrip{"WpaAndEap",
                                [](KestrelPages& p) {
                                    p.portSelect().PortCOM->setValue(1);
                                    p.questionDlg().Check1[6]->setValue(1);
                                    p.wirelessQuestionDlg().EncryptionCB->setValue(1);
                                    p.encryptQuestionDlg().click[2]->setValue(1);
                                    p.encryptQuestionDlg().WPA->setValue(1);
                                    p.encryptQuestionDlg().EAP->setValue(1);
                                    p.wpaDlg().PassPhrase->setText("a long pass phrase");
                                    p.wpaDlg().EncryptMethod->setListIndex(3);
                                    p.wpaDlg().WPAMode->setListIndex(1);
                                    p.leapDlg().UserName->setText("worker");
                                    p.leapDlg().Password->setText("s3cret");
                                    p.leapDlg().Combo1->setListIndex(1);
                                }},
                      RoundTrip{"WepPhraseNoDefaultKey",
                                [](KestrelPages& p) {
                                    p.portSelect().PortUSB->setValue(1);
                                    p.questionDlg().Check1[6]->setValue(1);
                                    p.wirelessQuestionDlg().EncryptionCB->setValue(1);
                                    p.encryptQuestionDlg().click[1]->setValue(1);
                                    p.wepPhraseDlg().DefaultKey->setListIndex(0);
                                    p.wepPhraseDlg().AuthMethod->setListIndex(1);
                                }}),
    [](const ::testing::TestParamInfo<RoundTrip>& i) { return std::string(i.param.name); });

TEST_F(RealPages, RestoreRunsTheClickHandlers) {
    core.ws.CurrentSettings = {};
    core.ws.CurrentSettings[0] = "0|.\r\n0|.\r\n0|.\r\n1|10.9.8.7\r\n0|.\r\n";
    core.ws.CurrentSettings[2] = "1\r\n1|0|1\r\n";
    core.ws.CurrentSettings[6] = "False|False|True|1|0";
    bool complete = false;
    ASSERT_TRUE(run([&] {
        pages.wiredDlg().useStaticIP->setValue(1);
        pages.wiredDlg().IPAddr->setText("1.1.1.1");
        complete = core.RestoreSettings();
    }));
    EXPECT_TRUE(complete);
    EXPECT_EQ(pages.portSelect().IPAddr->text(), "10.9.8.7");
    EXPECT_TRUE(pages.portSelect().IPAddr->enabled());
    EXPECT_FALSE(pages.portSelect().LPTCombo->enabled());
    EXPECT_EQ(pages.wiredDlg().useAutoIP->value(), 1);
    EXPECT_EQ(pages.wiredDlg().IPAddr->text(), "");
    EXPECT_FALSE(pages.wiredDlg().IPAddr->enabled());
    EXPECT_EQ(pages.wiredDlg().BootP->value(), 0);
    EXPECT_EQ(pages.wiredDlg().DHCP->value(), 1);
    EXPECT_TRUE(pages.encryptQuestionDlg().WPA->enabled());
    EXPECT_EQ(pages.encryptQuestionDlg().WPA->value(), 1);
}

TEST_F(RealPages, EapLineAloneLeavesTheWpaPage) {
    core.ws.CurrentSettings = {};
    core.ws.CurrentSettings[7] = "0|.\r\n0|.\r\n0|.\r\n1|1|u|p|2\r\n";
    ASSERT_TRUE(run([&] {
        pages.wpaDlg().PassPhrase->setText("kept");
        EXPECT_TRUE(core.RestoreSettings());
    }));
    EXPECT_EQ(pages.wpaDlg().PassPhrase->text(), "kept");
    EXPECT_EQ(pages.leapDlg().UserName->text(), "u");
    EXPECT_EQ(pages.leapDlg().Combo1->listIndex(), 2);
}

// A record that no reader rewrites (its page does not apply) stays as the file had it, in
// any shape the load takes; the save keeps it and the saved file loads the same again.
TEST_F(RealPages, AFileThatLoadedSavesAgain) {
    std::array<std::string, 8> records{};
    records[2] = "1"; // the wired record, unread while the wired box is clear
    const std::string in = file("in.ksf"), out = file("out.ksf");
    { std::ofstream(in, std::ios::binary) << *encodeSettingsFile("", records); }
    h.boxes.expect("Notice", "Settings successfully saved in " + out + "\r\n");
    ASSERT_TRUE(run([&] {
        core.RecordInitialSettings();
        ASSERT_TRUE(core.LoadSavedSettings(in, ""));
        ASSERT_TRUE(core.SaveSettings(out, ""));
        ASSERT_TRUE(core.LoadSavedSettings(out, ""));
    }));
    EXPECT_EQ(core.ws.CurrentSettings[2], "1");

    // What the user typed into a page that is read is still checked.
    h.boxes.expectContaining("Notice", "holds a \"|\"");
    ASSERT_TRUE(run([&] {
        pages.questionDlg().Check1[0]->setValue(1);
        pages.wiredDlg().useStaticIP->setValue(1);
        pages.wiredDlg().IPAddr->setText("10.0.0.1|2");
        EXPECT_FALSE(core.SaveSettings(file("typed.ksf"), ""));
    }));
}

} // namespace
} // namespace kestrel
