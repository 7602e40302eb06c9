#include "FakePages.h"

#include "kestrel/core/Core.h"
#include "kestrel/core/JobFrame.h"
#include "kestrel/core/SettingsFile.h"
#include "platform/sys/Encoding.h"
#include "platform/sys/Log.h"
#include "platform/sys/Strings.h"
#include "platform/sys/System.h"
#include "tests/fixtures/TempFolder.h"
#include "tests/support/FakeProcessRunner.h"
#include "tests/support/Harness.h"
#include "tests/support/MemorySpooler.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

namespace kestrel {
namespace {

namespace fs = std::filesystem;
using testing::FakePage;
using testing::FakePages;
using testing::FakeTcp;
namespace mb = ui::mb;

using test_fixtures::readAll;
using test_fixtures::writeAll;

// The PC, with appends to files that fail while another writer holds them.
class FlakySystem : public sys::RealSystem {
  public:
    using sys::RealSystem::RealSystem;
    int appendFailures = 0;
    int appendCalls = 0;
    bool folderUnknown = false; // /proc/self/exe could not be read
    std::string programFolder() override {
        return folderUnknown ? "" : sys::RealSystem::programFolder();
    }
    sys::IoResult appendFile(const std::string& path, const std::string& bytes) override {
        ++appendCalls;
        if (appendFailures > 0) {
            --appendFailures;
            return {false, EACCES};
        }
        return sys::RealSystem::appendFile(path, bytes);
    }
};

class CoreTest : public ::testing::Test {
  protected:
    CoreTest()
        : system(dir.path.string()), processes(h.clock),
          core(CoreServices{h.app, system, processes, spool, network}), pages(h.app) {
        core.setPages(pages);
        system.setTimeSource([] { return sys::LocalTime{2026, 12, 7, 15, 5, 0}; });
        system.setMonthNames(sys::englishMonthNames());
    }

    // Runs code as an event; true when it returned (false when the program ended in it).
    bool run(const std::function<void()>& f) { return h.returns(f); }
    std::string file(const std::string& name) const { return (dir.path / name).string(); }
    // In the page set's order, which the exit routines unload them in.
    std::vector<std::string> pageNames() const {
        std::vector<std::string> names;
        for (const ui::Form* page : pages.all())
            names.push_back(page->name());
        return names;
    }
    // No keeps the file byte for byte, Yes replaces it whole, and the file loads.
    void saveOverAnExistingFile(const std::string& path);

    test_fixtures::TempFolder dir{"kcore"};
    testing_support::Harness h;
    FlakySystem system;
    proc::FakeProcessRunner processes;
    spooler::MemorySpooler spool;
    testing::FakeNetwork network;
    Core core;
    FakePages pages;
};

// ---------------------------------------------------------------- start-up and log

struct MainCase {
    const char* commandLine;
    bool log, cd, go;
    const char* cdArg;
    const char* firstPage;
};

class MainSwitches : public CoreTest, public ::testing::WithParamInterface<MainCase> {};

TEST_P(MainSwitches, SubstringsOfTheUpperCasedLine) {
    const MainCase& c = GetParam();
    ASSERT_TRUE(run([&] { core.Main(c.commandLine); }));
    EXPECT_EQ(core.ws.LogEnabled, c.log);
    EXPECT_EQ(core.ws.CdMenuMode, c.cd);
    EXPECT_EQ(core.ws.GoMode, c.go);
    EXPECT_EQ(core.ws.CdMenuArg, c.cdArg);
    EXPECT_EQ(core.ws.CdMenuProgram, "Dunlin.exe");
    EXPECT_EQ(h.visibleForm(), c.firstPage);
    EXPECT_EQ(fs::exists(dir.path / "Log.txt"), c.log);
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, MainSwitches,
    ::testing::Values(MainCase{" GO /VERYSILENT", false, false, true, "", "LoadDlg"},
                      MainCase{"", false, false, false, "", "Intro"},
                      MainCase{"log", true, false, false, "", "Intro"},
                      MainCase{"LOG CD X:", true, true, false, "G CD X:", "Intro"},
                      MainCase{"CD X:", false, true, false, " X:", "Intro"},
                      MainCase{"cd", false, true, false, "", "Intro"},
                      MainCase{"category", false, false, true, "", "LoadDlg"}));

TEST_F(CoreTest, LogLinesCarryTheTimeAndAreAppended) {
    ASSERT_TRUE(run([&] { core.Main("LOG CD X:"); }));
    EXPECT_EQ(readAll(dir.path / "Log.txt"), "Dec 07,2026 15:05:00 - Entering Debug Mode\r\n"
                                             "Dec 07,2026 15:05:00 - Dunlin CD Menu Enabled\r\n");
    core.ws.LogEnabled = false;
    core.WriteLog("not written");
    EXPECT_EQ(readAll(dir.path / "Log.txt").find("not written"), std::string::npos);
}

TEST_F(CoreTest, BusyLogIsRetriedThenDropped) {
    core.ws.LogEnabled = true;
    system.appendFailures = 2;
    ASSERT_TRUE(run([&] { core.WriteLog("third try"); }));
    EXPECT_EQ(h.app.now(), 1000); // two pauses of 500 ms
    EXPECT_NE(readAll(dir.path / "Log.txt").find(" - third try\r\n"), std::string::npos);

    system.appendFailures = 100; // a log that stays locked cannot hold the wizard up
    system.appendCalls = 0;
    ASSERT_TRUE(run([&] { core.WriteLog("lost"); }));
    EXPECT_EQ(system.appendCalls, 3);
    EXPECT_EQ(h.app.now(), 2000);
    EXPECT_EQ(readAll(dir.path / "Log.txt").find("lost"), std::string::npos);
}

TEST_F(CoreTest, NoLogWithoutTheProgramsFolder) {
    // The current folder may be anyone's: the log never goes there instead.
    test_fixtures::TempFolder here{"kcore-cwd", test_fixtures::TempFolder::Enter::Yes};
    system.folderUnknown = true;
    ASSERT_TRUE(run([&] { core.Main("LOG"); }));
    EXPECT_TRUE(fs::is_empty(here.path));
    EXPECT_FALSE(fs::exists(dir.path / "Log.txt"));
}

TEST_F(CoreTest, FileExistsNeedsAnOrdinaryFile) {
    writeAll(dir.path / "a.ksf", "x");
    EXPECT_TRUE(core.FileExists(file("a.ksf")));
    EXPECT_TRUE(core.FileExists(file("*.ksf")));
    EXPECT_FALSE(core.FileExists(""));
    EXPECT_FALSE(core.FileExists(dir.path.string() + "/"));
    EXPECT_FALSE(core.FileExists(dir.path.string()));
    EXPECT_FALSE(core.FileExists(file("b.ksf")));
}

// ---------------------------------------------------------------- messages

TEST_F(CoreTest, MessageBoxesTextsTitlesAndFlags) {
    h.boxes.expect("Notice", "Help text", mb::Ok, mb::OkOnly | mb::Information);
    h.boxes.expect("Program Error", "Bad", mb::Ok, mb::Critical);
    h.boxes.expect("Own", "Bad", mb::Ok, mb::Critical);
    h.boxes.expect("Error", "Sure?", mb::Yes, mb::YesNo | mb::Critical);
    h.boxes.expect("Warning", "Sure?", mb::No, mb::YesNo | mb::Exclamation);
    h.boxes.expect("File Exist Error",
                   "Warning! Selected file currently exists\r\nDo you want to overwrite the file?",
                   mb::No, mb::YesNo | mb::Exclamation | mb::DefaultButton2);
    h.boxes.expect("Process Successful", "Kestrel Request Successfully Sent", mb::Ok,
                   mb::Information);
    h.boxes.expect("Printer Error",
                   "ERROR!  Unable to Update Printer Settings.\r\n"
                   "An unexpected error occurred during printer configuration.\r\n"
                   "Please see the printer for the error condition.\r\n"
                   "\r\n"
                   "Operation cannot continue. The wizard will exit.",
                   mb::Ok, mb::Critical);
    h.boxes.expect("Printer Error",
                   "ERROR!  Unable to Update Printer Settings.\r\n"
                   "An unexpected error occurred during printer configuration.\r\n"
                   "Printer Front Panel Message:\r\n"
                   "PAPER OUT\r\n"
                   "\r\n"
                   "Operation cannot continue. The wizard will exit.",
                   mb::Ok, mb::Critical);
    ASSERT_TRUE(run([&] {
        core.ShowNotice("Help text");
        core.ShowProgramError("Bad", false, "");
        core.ShowProgramError("Bad", false, "Own");
        EXPECT_EQ(core.AskYesNo("Sure?", ""), mb::Yes);
        EXPECT_EQ(core.AskYesNo("Sure?", "Warning"), mb::No);
        EXPECT_FALSE(core.ConfirmOverwrite());
        core.ShowRequestSent();
        EXPECT_TRUE(core.ws.RequestSent);
        core.ShowPrinterUpdateError("");
        EXPECT_TRUE(core.ws.PrinterError);
        EXPECT_FALSE(core.ws.RequestSent);
        core.ShowPrinterUpdateError("PAPER OUT");
    }));
}

const char* const kExitText = "NIC setting is not complete. If you quit\r\n"
                              "the wizard now, the printer will not be updated.\r\n"
                              "Do you want to exit the wizard?";
const char* const kSaveText = "You are about to exit this wizard after making changes.\r\n"
                              "Once you exit, all of your settings will be lost.\r\n"
                              "Would you like to save your settings before you exit?";

TEST_F(CoreTest, ConfirmExitNoStays) {
    h.boxes.expect("Caution Exiting Wizard", kExitText, mb::No,
                   mb::YesNo | mb::Exclamation | mb::DefaultButton2);
    EXPECT_TRUE(run([&] { core.ConfirmExit(); }));
    EXPECT_FALSE(h.ended());
    EXPECT_FALSE(core.ending());
}

TEST_F(CoreTest, ConfirmExitYesUnchangedInCdModeRestoresMenuAndUnloadsInOrder) {
    ASSERT_TRUE(run([&] { core.Main("CD X:"); }));
    pages.loadAll();
    h.boxes.expect("Caution Exiting Wizard", kExitText, mb::Yes);
    EXPECT_FALSE(run([&] { core.ConfirmExit(); }));
    EXPECT_TRUE(h.ended());
    EXPECT_EQ(processes.startedHidden(), std::vector<std::string>{"Dunlin.exe max  X:"});
    EXPECT_EQ(pages.unloads, pageNames());
}

TEST_F(CoreTest, ConfirmExitAfterDeliveryAsksNothing) {
    core.ws.RequestSent = true;
    EXPECT_FALSE(run([&] { core.ConfirmExit(); }));
    EXPECT_TRUE(h.ended());
    EXPECT_TRUE(processes.startedHidden().empty());
}

TEST_F(CoreTest, ChangedSettingsNoToSaveEndsAndRestoresMenu) {
    ASSERT_TRUE(run([&] { core.Main("CD"); }));
    core.ws.InitialSettings[0] = "changed";
    h.boxes.expect("Leaving Wizard Without Saving Settings", kSaveText, mb::No,
                   mb::YesNo | mb::Question);
    EXPECT_FALSE(run([&] { core.ExitWizard(); }));
    EXPECT_TRUE(h.ended());
    EXPECT_EQ(processes.startedHidden(), std::vector<std::string>{"Dunlin.exe max "});
    EXPECT_TRUE(pages.dialogModes.empty());
}

TEST_F(CoreTest, ChangedSettingsYesWaitsForTheSaveDialogThenLeaves) {
    ASSERT_TRUE(run([&] { core.Main("CD"); }));
    pages.loadAll();
    core.ws.InitialSettings[0] = "changed";
    h.boxes.expect("Leaving Wizard Without Saving Settings", kSaveText, mb::Yes);
    core.ws.DialogClosed = true; // left over from an earlier opening
    h.later(3000, [&] {
        EXPECT_TRUE(pages.page("Dialog").visible());
        EXPECT_TRUE(core.ending());
        core.ws.FinishAction = finish::Done;
        pages.page("Dialog").Unload();
        core.ws.DialogClosed = true;
    });
    EXPECT_FALSE(run([&] { core.ExitWizard(); }));
    EXPECT_TRUE(h.ended());
    EXPECT_GE(h.app.now(), 3000);
    EXPECT_EQ(pages.dialogModes, std::vector<int>{1});
    EXPECT_TRUE(core.ws.ExitAfterSave);
    EXPECT_TRUE(processes.startedHidden().empty()); // the CD menu is not restored after a save
    EXPECT_EQ(pages.unloads, pageNames()); // the dialog by itself, then the core the others
}

TEST_F(CoreTest, SavedSettingsLeaveWithoutAsking) {
    core.ws.InitialSettings[0] = "changed";
    core.ws.SettingsSaved = true;
    EXPECT_FALSE(run([&] { core.ExitWizard(); }));
    EXPECT_TRUE(h.ended());
}

TEST_F(CoreTest, FatalErrorCleansUpOnlyARunningProgressPage) {
    h.boxes.expect("Program Error", "Broken\r\nThe wizard will exit.", mb::Ok, mb::Critical);
    EXPECT_FALSE(run([&] { core.ShowProgramError("Broken", true, ""); }));
    EXPECT_TRUE(h.ended());
    EXPECT_EQ(pages.cleanUps, 0);
    EXPECT_EQ(pages.page("ProgressDlg").loads, 0);
}

TEST_F(CoreTest, EndWizardFromADeepCallStopsEverything) {
    int after = 0;
    EXPECT_FALSE(run([&] {
        core.EndWizard();
        ++after;
    }));
    EXPECT_EQ(after, 0);
    EXPECT_TRUE(core.ending());
    EXPECT_THROW(pages.page("Intro").Show(), ui::ProgramEnded);
}

// ---------------------------------------------------------------- records

TEST_F(CoreTest, DefaultsBuildNoCommandsAndMatchTheBaseline) {
    ASSERT_TRUE(run([&] { core.RecordInitialSettings(); }));
    EXPECT_TRUE(core.SettingsDiffer()); // nothing read into CurrentSettings yet
    ASSERT_TRUE(run([&] { core.BuildSetupCommands(); }));
    EXPECT_EQ(core.ws.SetupCommands, "");
    EXPECT_FALSE(core.SettingsDiffer());
    EXPECT_EQ(core.ws.CurrentSettings[0], "1|0\r\n0|.\r\n0|.\r\n0|.\r\n0|.\r\n");
    EXPECT_EQ(core.ws.CurrentSettings[2], ""); // the IP address box is clear
    // Pages that only ticked boxes open were not created.
    EXPECT_EQ(pages.page("WiredDlg").loads, 0);
    EXPECT_EQ(pages.page("WPADlg").loads, 0);

    ASSERT_TRUE(run([&] {
        pages.questionDlg().Check1[3]->setValue(1);
        pages.questionDlg().Check1[3]->setValue(0);
        core.BuildSetupCommands();
    }));
    EXPECT_FALSE(core.SettingsDiffer());
}

TEST_F(CoreTest, CommandTextInPageOrder) {
    ASSERT_TRUE(run([&] {
        pages.questionDlg().Check1[0]->setValue(1);
        pages.questionDlg().Check1[3]->setValue(1);
        pages.questionDlg().Check1[6]->setValue(1);
        pages.wiredDlg().useStaticIP->setValue(1);
        pages.wiredDlg().IPAddr->setText("10.1.2.3");
        pages.wiredDlg().SubMask->setText("255.255.255.0");
        pages.wiredDlg().Gateway->setText("10.1.2.1");
        pages.networkDlg().Combo1[3]->setListIndex(1);
        pages.wirelessQuestionDlg().check[9]->setValue(1);
        pages.wirelessQuestionDlg().EncryptionCB->setValue(1);
        pages.wirelessDlg().CountryCode->setListIndex(8);
        core.BuildSetupCommands();
    }));
    EXPECT_EQ(core.ws.SetupCommands, "store tcpip 1 opts -bootp -dhcp \r\n"
                                     "store tcpip 1 addr 10.1.2.3\r\n"
                                     "store tcpip 1 mask 255.255.255.0\r\n"
                                     "store tcpip route add default1 10.1.2.1 1\r\n"
                                     "store pserver opts jobcontrol enhanced\r\n"
                                     "store ifc 2 wlan opts -intnl\r\n"
                                     "store ifc 2 wlan country DE\r\n"
                                     "store ifc 2 wlan auth open\r\n");
    EXPECT_EQ(core.ws.IfcNumber, 2);
    EXPECT_EQ(core.ws.CurrentSettings[6], "True|False|False|0|0");
    EXPECT_EQ(core.ws.CurrentSettings[7], "");

    // Clearing the IP address box keeps the last record 2.
    ASSERT_TRUE(run([&] {
        pages.questionDlg().Check1[0]->setValue(0);
        core.BuildSetupCommands();
    }));
    EXPECT_EQ(core.ws.CurrentSettings[2], "1\r\n0|10.1.2.3|255.255.255.0|10.1.2.1\r\n");
}

// ---------------------------------------------------------------- settings file

// Sets a little of everything on the pages.
void fillPages(CoreTest* t, FakePages& pages) {
    (void)t;
    pages.portSelect().PortTCP->setValue(1);
    pages.portSelect().IPAddr->setText("192.168.0.9");
    for (int k : {0, 1, 2, 5, 6})
        pages.questionDlg().Check1[k]->setValue(1);
    pages.wiredDlg().NicOption[1]->setValue(1);
    pages.wiredDlg().BootP->setValue(1);
    pages.wiredDlg().DHCP->setValue(0);
    pages.networkDlg().Combo1[1]->setListIndex(4);
    pages.networkDlg().Combo1[2]->setListIndex(9);
    pages.networkDlg().Packet->setText("12");
    for (int k : {0, 2, 6, 9})
        pages.wirelessQuestionDlg().check[k]->setValue(1);
    pages.wirelessQuestionDlg().EncryptionCB->setValue(1);
    pages.wirelessDlg().SSID->setText("Caf\xc3\xa9 net"); // é has a Windows-1252 form
    pages.wirelessDlg().Speed->setListIndex(12);
    pages.wirelessDlg().TxPower->setListIndex(40);
    pages.wirelessDlg().CountryCode->setListIndex(5);
    pages.wirelessDlg().Check2->setValue(1);
    pages.encryptQuestionDlg().click[1]->setValue(1);
    pages.wepDlg().EntryManual->setValue(1);
    pages.wepKeyDlg().KeySize->setListIndex(1);
    pages.wepKeyDlg().AuthMethod->setListIndex(1);
    pages.wepKeyDlg().DefaultKey->setListIndex(2);
    pages.wepKeyDlg().KeyText[1]->setText("0102030405");
    pages.wepKeyDlg().KeyText[3]->setText("A1A2A3A4A5");
}

TEST_F(CoreTest, SaveThenLoadGivesThePagesBack) {
    const std::string path = file("s.ksf");
    h.boxes.expect("Notice", "Settings successfully saved in " + path + "\r\n");
    bool saved = false;
    ASSERT_TRUE(run([&] {
        fillPages(this, pages);
        saved = core.SaveSettings(path, "Secret");
    }));
    ASSERT_TRUE(saved);
    const auto records = core.ws.CurrentSettings;
    const std::string commands = core.ws.SetupCommands;
    EXPECT_EQ(records[1], "1|1|1|0|0|1|1");

    // The file: the tag, the hex of the password, the hex of the records.
    const std::string bytes = readAll(path);
    std::array<std::string, 8> expected;
    for (int i = 0; i < 8; ++i)
        expected[i] = *sys::toWindows1252(records[i]);
    EXPECT_EQ(bytes, *encodeSettingsFile("Secret", expected));
    EXPECT_NE(bytes.find(sys::hexEncode("Caf\xe9")), std::string::npos);

    pages.unloadAll(); // every page back to its defaults
    core.ws.CurrentSettings = {};
    bool loaded = false;
    ASSERT_TRUE(run([&] { loaded = core.LoadSavedSettings(path, "Secret"); }));
    ASSERT_TRUE(loaded);
    EXPECT_EQ(core.ws.CurrentSettings, records);
    EXPECT_EQ(core.ws.InitialSettings, records);
    EXPECT_EQ(pages.wirelessDlg().SSID->text(), "Caf\xc3\xa9 net");

    ASSERT_TRUE(run([&] { core.BuildSetupCommands(); }));
    EXPECT_EQ(core.ws.CurrentSettings, records);
    EXPECT_EQ(core.ws.SetupCommands, commands);
    EXPECT_FALSE(core.SettingsDiffer());
}

TEST_F(CoreTest, SaveAsksBeforeOverwritingAndReplacesTheWholeFile) {
    for (const char* name : {"old.ksf", ".old.ksf"})
        ASSERT_NO_FATAL_FAILURE(saveOverAnExistingFile(file(name)));
}

void CoreTest::saveOverAnExistingFile(const std::string& path) {
    SCOPED_TRACE(path);
    const std::string old(5000, 'Z');
    writeAll(path, old);
    h.boxes.expect("File Exist Error",
                   "Warning! Selected file currently exists\r\nDo you want to overwrite the file?",
                   mb::No);
    bool saved = true;
    ASSERT_TRUE(run([&] { saved = core.SaveSettings(path, ""); }));
    EXPECT_FALSE(saved);
    EXPECT_EQ(readAll(path), old);

    h.boxes.expect("File Exist Error",
                   "Warning! Selected file currently exists\r\nDo you want to overwrite the file?",
                   mb::Yes);
    h.boxes.expect("Notice", "Settings successfully saved in " + path + "\r\n");
    ASSERT_TRUE(run([&] { saved = core.SaveSettings(path, ""); }));
    EXPECT_TRUE(saved);
    const std::string now = readAll(path);
    EXPECT_LT(now.size(), old.size());
    EXPECT_EQ(now.find('Z'), std::string::npos);
    bool loaded = false;
    ASSERT_TRUE(run([&] { loaded = core.LoadSavedSettings(path, ""); }));
    EXPECT_TRUE(loaded);
}

struct RefusedText {
    ui::ControlRef (*field)(PageSet&);
    const char* text;
    const char* noticeFragment;
};

class SaveRefuses : public CoreTest, public ::testing::WithParamInterface<RefusedText> {};

TEST_P(SaveRefuses, TextsAFileCannotCarryBack) {
    const RefusedText& c = GetParam();
    const std::string path = file("r.ksf");
    h.boxes.expectContaining("Notice", c.noticeFragment);
    bool saved = true;
    ASSERT_TRUE(run([&] {
        pages.portSelect().PortTCP->setValue(1);
        pages.questionDlg().Check1[5]->setValue(1);
        pages.wirelessQuestionDlg().check[0]->setValue(1);
        c.field(pages)->setText(c.text);
        saved = core.SaveSettings(path, "");
    }));
    EXPECT_FALSE(saved);
    EXPECT_FALSE(fs::exists(path));
}

INSTANTIATE_TEST_SUITE_P(
    Texts, SaveRefuses,
    ::testing::Values(RefusedText{[](PageSet& p) { return p.networkDlg().Packet; }, "1|2",
                                  "\"|\" or a line break"},
                      RefusedText{[](PageSet& p) { return p.portSelect().IPAddr; },
                                  "1.2.3.4\r\nsave", "a line break"},
                      RefusedText{[](PageSet& p) { return p.portSelect().IPAddr; }, "1.2.3.4\nsave",
                                  "a line break"},
                      RefusedText{[](PageSet& p) { return p.wirelessDlg().SSID; }, "\xe2\x9c\x93",
                                  "cannot hold"}));

TEST_F(CoreTest, SaveRefusesAnOversizedRecord) {
    const std::string path = file("big.ksf");
    h.boxes.expectContaining("Notice", "too long");
    bool saved = true;
    ASSERT_TRUE(run([&] {
        pages.wirelessQuestionDlg().check[0]->setValue(1);
        pages.wirelessDlg().SSID->setText(std::string(32767, 's'));
        saved = core.SaveSettings(path, "");
    }));
    EXPECT_FALSE(saved);
    EXPECT_FALSE(fs::exists(path));
}

TEST_F(CoreTest, FailedSaveAtAnyStepKeepsTheEarlierFile) {
    const std::string path = file("s.ksf");
    writeAll(path, "earlier");
    for (sys::WriteStep failing : sys::kWriteSteps) {
        system.setWriteFault([&](sys::WriteStep s) { return s == failing ? ENOSPC : 0; });
        h.boxes.expectContaining("File Exist Error", "overwrite", mb::Yes)
            .expectContaining("Notice", "Unable to save the settings in " + path);
        bool saved = true;
        ASSERT_TRUE(run([&] { saved = core.SaveSettings(path, "pw"); }));
        EXPECT_FALSE(saved);
        EXPECT_EQ(readAll(path), "earlier") << static_cast<int>(failing);
    }
    EXPECT_TRUE(h.boxes.allShown());
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path), fs::directory_iterator()), 1);
}

// A "|" in a text that ends its line comes back whole; the record format leaves it as typed.
TEST_F(CoreTest, BarsInTextsThatEndTheirLinesRoundTrip) {
    const std::string path = file("bars.ksf");
    h.boxes.expectContaining("Notice", "successfully saved");
    ASSERT_TRUE(run([&] {
        pages.portSelect().PortFile->setValue(1);
        pages.portSelect().FileName->setText("out|1|.txt");
        pages.wirelessQuestionDlg().check[0]->setValue(1);
        pages.wirelessDlg().SSID->setText("|a||b|");
        ASSERT_TRUE(core.SaveSettings(path, ""));
    }));
    const auto records = core.ws.CurrentSettings;
    pages.unloadAll();
    bool loaded = false;
    ASSERT_TRUE(run([&] { loaded = core.LoadSavedSettings(path, ""); }));
    ASSERT_TRUE(loaded);
    EXPECT_EQ(pages.portSelect().FileName->text(), "out|1|.txt");
    EXPECT_EQ(pages.wirelessDlg().SSID->text(), "|a||b|");
    ASSERT_TRUE(run([&] { core.BuildSetupCommands(); }));
    EXPECT_EQ(core.ws.CurrentSettings, records);
}

TEST_F(CoreTest, FailedSaveWriteIsReported) {
    const std::string path = file("missing/folder.ksf");
    h.boxes.expectContaining("Notice", "Unable to save the settings in " + path);
    bool saved = true;
    ASSERT_TRUE(run([&] { saved = core.SaveSettings(path, ""); }));
    EXPECT_FALSE(saved);
    EXPECT_FALSE(core.ws.SettingsSaved);
}

// A file as the wizard writes it, from records given as text.
std::string ksf(const std::string& tag, const std::string& password,
                const std::array<std::string, 8>& records) {
    std::string out;
    appendTextRecord(out, tag);
    appendTextRecord(out, sys::hexEncode(password));
    for (const auto& r : records)
        appendTextRecord(out, sys::hexEncode(r));
    return out;
}

std::array<std::string, 8> goodRecords() {
    return {"0|.\r\n1|0\r\n0|.\r\n0|.\r\n0|.\r\n",
            "0|0|0|0|0|0|1",
            "",
            "0|.\r\n0|.\r\n0|.\r\n0|.\r\n0|.\r\n0|.\r\n",
            "1|0|0|0|0|0|0|0|0|0|0",
            "1|home\r\n0|.\r\n0|.\r\n0|.\r\n0|.\r\n0|.\r\n0|.\r\n0|.\r\n0|.\r\n0|.|.\r\n",
            "True|False|False|0|0",
            ""};
}

const char* const kDamaged = "Error Reading File\r\n"
                             "The settings file is damaged or incomplete.\r\n"
                             "Unable to load the saved settings\r\n";
const char* const kIncompatible = "Error Reading File\r\n"
                                  "Incompatible File Type Detected\r\n"
                                  "Unable to load the saved settings\r\n";
const char* const kBadPassword = "Error Invalid Password.\r\nUnable to load the saved settings\r\n";

struct LoadCase {
    const char* name;
    std::function<std::string()> bytes;
    const char* password;
    const char* notice; // nullptr: loads
};

class LoadFile : public CoreTest, public ::testing::WithParamInterface<LoadCase> {};

TEST_P(LoadFile, RefusedFilesChangeNothing) {
    const LoadCase& c = GetParam();
    const std::string path = file("in.ksf");
    writeAll(path, c.bytes());
    core.ws.CurrentSettings[0] = "before";
    core.ws.InitialSettings[0] = "baseline";
    if (c.notice)
        h.boxes.expect("Notice", c.notice, mb::Ok, mb::Information);
    bool loaded = false;
    ASSERT_TRUE(run([&] { loaded = core.LoadSavedSettings(path, c.password); }));
    EXPECT_EQ(loaded, c.notice == nullptr);
    if (c.notice) {
        EXPECT_EQ(core.ws.CurrentSettings[0], "before");
        EXPECT_EQ(core.ws.InitialSettings[0], "baseline");
        EXPECT_EQ(pages.page("PortSelect").loads, 0);
        EXPECT_EQ(pages.page("WirelessDlg").loads, 0);
    } else {
        EXPECT_EQ(core.ws.CurrentSettings[0], goodRecords()[0]);
        EXPECT_EQ(pages.wirelessDlg().SSID->text(), "home");
        EXPECT_EQ(pages.portSelect().PortCOM->value(), 1);
    }
}

std::string withTail(std::string s, const std::string& tail) {
    return s + tail;
}

INSTANTIATE_TEST_SUITE_P(
    Files, LoadFile,
    ::testing::Values(
        LoadCase{"Good", [] { return ksf("V1.1", "pw", goodRecords()); }, "pw", nullptr},
        LoadCase{"LongerTag", [] { return ksf("V1.1b", "", goodRecords()); }, "", nullptr},
        LoadCase{"OldTail", [] { return withTail(ksf("V1.1", "", goodRecords()), "old keys"); }, "",
                 nullptr},
        LoadCase{"OlderTag", [] { return ksf("V1.0", "", goodRecords()); }, "", kIncompatible},
        LoadCase{"LowerTag", [] { return ksf("v1.1", "", goodRecords()); }, "", kIncompatible},
        LoadCase{"OtherWizard", [] { return std::string("\x08\x00\x04\x00V2.0", 8); }, "",
                 kIncompatible},
        LoadCase{"PasswordCase", [] { return ksf("V1.1", "Pw", goodRecords()); }, "pw",
                 kBadPassword},
        LoadCase{"PasswordGiven", [] { return ksf("V1.1", "", goodRecords()); }, "x", kBadPassword},
        LoadCase{"Empty", [] { return std::string(); }, "", kIncompatible},
        LoadCase{"TextFile", [] { return std::string("LPT1:\r\nCOM1:\r\n"); }, "", kIncompatible},
        LoadCase{"FirstRecordNotText", [] { return std::string("\x02\x00\x04\x00", 4); }, "",
                 kIncompatible},
        LoadCase{"TagCutShort", [] { return std::string("\x08\x00\x04\x00V1.", 7); }, "",
                 kIncompatible},
        LoadCase{"Short",
                 [] {
                     std::string f = ksf("V1.1", "", goodRecords());
                     return f.substr(0, f.size() - 10);
                 },
                 "", kDamaged},
        LoadCase{"OtherType",
                 [] {
                     std::string f = ksf("V1.1", "", goodRecords());
                     f[10] = 3; // type of the third record
                     return f;
                 },
                 "", kDamaged},
        LoadCase{"NotHex",
                 [] {
                     std::string f;
                     appendTextRecord(f, "V1.1");
                     appendTextRecord(f, "");
                     appendTextRecord(f, "ZZ");
                     return f;
                 },
                 "", kDamaged},
        LoadCase{"SurplusField",
                 [] {
                     auto r = goodRecords();
                     r[5] = "1|home\r\n1|0|1\r\n0|.\r\n0|.\r\n0|.\r\n0|.\r\n0|.\r\n0|.\r\n0|."
                            "\r\n0|.|.\r\n";
                     return ksf("V1.1", "", r);
                 },
                 "", nullptr},
        LoadCase{"LineInsideAText",
                 [] {
                     auto r = goodRecords();
                     r[0] = "0|.\r\n0|.\r\n0|.\r\n1|1.2.3.4\nsave\r\n0|.\r\n";
                     return ksf("V1.1", "", r);
                 },
                 "", kDamaged}),
    [](const ::testing::TestParamInfo<LoadCase>& i) { return std::string(i.param.name); });

// Bytes that Windows-1252 leaves without a character still come back as they were.
TEST_F(CoreTest, UnassignedBytesInALoadedFileAreSavedBackUnchanged) {
    auto r = goodRecords();
    r[5] = "1|\x81\x8D\x8F\x90\x9D\xE9\r\n0|.\r\n0|.\r\n0|.\r\n0|.\r\n0|.\r\n0|.\r\n0|.\r\n0|."
           "\r\n0|.|.\r\n";
    const std::string bytes = ksf("V1.1", "\x90", r);
    writeAll(file("in.ksf"), bytes);
    h.boxes.expectContaining("Notice", "successfully saved");
    ASSERT_TRUE(run([&] {
        ASSERT_TRUE(core.LoadSavedSettings(file("in.ksf"), "\xC2\x90"));
        ASSERT_TRUE(core.SaveSettings(file("out.ksf"), "\xC2\x90"));
    }));
    EXPECT_EQ(readAll(file("out.ksf")), bytes);
}

TEST_F(CoreTest, MissingFileIsReported) {
    h.boxes.expect("Notice", "File not found. Please select another file.");
    bool loaded = true;
    ASSERT_TRUE(run([&] { loaded = core.LoadSavedSettings(file("none.ksf"), ""); }));
    EXPECT_FALSE(loaded);
}

TEST_F(CoreTest, IndexBeyondAListLeavesItAndTellsTheUser) {
    auto r = goodRecords();
    r[0] = "0|.\r\n0|.\r\n1|5\r\n0|.\r\n0|.\r\n"; // one USB port now, five before
    r[3] = "0|.\r\n1|7\r\n0|.\r\n0|.\r\n0|.\r\n0|.\r\n";
    writeAll(file("p.ksf"), ksf("V1.1", "", r));
    h.boxes.expectContaining("Notice", "Some of the saved settings do not fit");
    bool loaded = false;
    ASSERT_TRUE(run([&] { loaded = core.LoadSavedSettings(file("p.ksf"), ""); }));
    EXPECT_TRUE(loaded);
    EXPECT_EQ(pages.portSelect().PortUSB->value(), 1);
    EXPECT_EQ(pages.portSelect().USBCombo->listIndex(), 0);
    EXPECT_EQ(pages.networkDlg().Combo1[1]->listIndex(), 0);
    EXPECT_EQ(pages.wirelessDlg().SSID->text(), "home"); // the rest is restored
}

// ---------------------------------------------------------------- delivery

class Delivery : public CoreTest {
  protected:
    void route(const ui::ControlRef& option) {
        ASSERT_TRUE(run([&] { option->setValue(1); }));
    }
    bool send(net::TcpClient* socket = nullptr) {
        bool ok = false;
        run([&] { ok = core.SendSetupCmd("save\r\n", socket); });
        return ok;
    }
    const std::string job = nicSetupJob("save\r\n");
};

TEST_F(Delivery, FileRouteWritesTheJobAndOneMoreLineEnd) {
    route(pages.portSelect().PortFile);
    const std::string path = file("job.txt");
    writeAll(path, std::string(500, 'x'));
    pages.portSelect().FileName->setText(path);
    EXPECT_TRUE(send());
    EXPECT_EQ(readAll(path),
              "!KVT_SETUP\r\nNIC_SETUP\r\nsave\r\n\r\nreboot\r\nEND_NIC_SETUP\r\nKVT_END\r\n\r\n");
    EXPECT_FALSE(core.ws.PrinterError);
}

TEST_F(Delivery, FileThatCannotBeWrittenIsAFailure) {
    route(pages.portSelect().PortFile);
    const std::string path = file("no/such/job.txt");
    pages.portSelect().FileName->setText(path);
    h.boxes.expect("File Error", "Unable to write the settings to the file\r\n" + path, mb::Ok,
                   mb::Critical);
    EXPECT_FALSE(send());
    EXPECT_TRUE(core.ws.PrinterError);
}

TEST_F(Delivery, FileWriteFailingAtAnyStepKeepsTheEarlierFile) {
    route(pages.portSelect().PortFile);
    const std::string path = file("job.txt");
    writeAll(path, "earlier job");
    pages.portSelect().FileName->setText(path);
    for (sys::WriteStep failing : sys::kWriteSteps) {
        system.setWriteFault([&](sys::WriteStep s) { return s == failing ? EFBIG : 0; });
        h.boxes.expect("File Error", "Unable to write the settings to the file\r\n" + path, mb::Ok,
                       mb::Critical);
        EXPECT_FALSE(send());
        EXPECT_EQ(readAll(path), "earlier job") << static_cast<int>(failing);
    }
}

TEST_F(Delivery, TcpRouteSendsTheWholeJob) {
    route(pages.portSelect().PortTCP);
    FakeTcp socket;
    EXPECT_TRUE(send(&socket));
    EXPECT_EQ(socket.sent, job);
    EXPECT_EQ(socket.closes, 0); // the progress page closes it in its clean-up
}

TEST_F(Delivery, TcpSendErrorTakesTheFailurePath) {
    route(pages.portSelect().PortTCP);
    FakeTcp socket;
    socket.sendWorks = false;
    EXPECT_FALSE(send(&socket));
    EXPECT_TRUE(core.ws.PrinterError);
    EXPECT_FALSE(h.ended());
}

TEST_F(Delivery, TcpWithoutConnectionIsFatal) {
    route(pages.portSelect().PortTCP);
    pages.page("ProgressDlg").load();
    FakeTcp socket;
    socket.stateValue = net::state::Connecting;
    h.boxes.expect("Communication Error",
                   "Unable to communicate with printer. It maybe offline\r\nThe wizard will exit.",
                   mb::Ok, mb::Critical);
    h.boxes.during([&] {
        EXPECT_FALSE(pages.progressDlg().Timer1->enabled());
        EXPECT_EQ(pages.progressDlg().StatusLog->text(), "Initializing ....\r\nProcess Failed");
        EXPECT_EQ(pages.cleanUps, 0);
    });
    EXPECT_FALSE(send(&socket));
    EXPECT_TRUE(h.ended());
    EXPECT_TRUE(socket.sent.empty());
    EXPECT_TRUE(core.ws.PrinterError);
    EXPECT_EQ(pages.cleanUps, 1);
}

TEST_F(Delivery, LocalPortWritesOneDocumentOnTheTemporaryPrinter) {
    spool.install(spooler::PrinterInfo{"Kestrel", "Generic / Text Only", "LPT1:", 0});
    spool.setCurrentPrinter("Kestrel");
    EXPECT_TRUE(send());
    ASSERT_EQ(spool.documents().size(), 1u);
    EXPECT_EQ(spool.documents()[0].printer, "Kestrel");
    EXPECT_EQ(spool.documents()[0].name, "Kestrel Command");
    EXPECT_EQ(spool.documents()[0].bytes, job);
}

TEST_F(Delivery, LocalPortSendsNothingToAnotherPrinter) {
    spool.install(spooler::PrinterInfo{"Office", "Laser", "LPT1:", 0});
    spool.setCurrentPrinter("Office");
    EXPECT_FALSE(send());
    EXPECT_TRUE(spool.documents().empty());
    EXPECT_TRUE(core.ws.PrinterError);
}

TEST_F(Delivery, LocalPortJobCutShortIsAFailure) {
    spool.install(spooler::PrinterInfo{"Kestrel", "Generic / Text Only", "LPT1:", 0});
    spool.setCurrentPrinter("Kestrel");
    spool.failWriteAt(spooler::MemorySpooler::WriteStage::Write, spooler::err::AccessDenied, 10);
    EXPECT_FALSE(send());
    EXPECT_TRUE(core.ws.PrinterError);
}

TEST_F(Delivery, NothingIsSentOnceTheProgramEnds) {
    route(pages.portSelect().PortTCP);
    FakeTcp socket;
    run([&] { core.EndWizard(); });
    EXPECT_FALSE(core.SendSetupCmd("save\r\n", &socket));
    EXPECT_TRUE(socket.sent.empty());
}

} // namespace
} // namespace kestrel
