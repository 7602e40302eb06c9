#include "CoreFakePages.h"

#include "osprey/core/Commands.h"
#include "osprey/core/Core.h"
#include "osprey/core/SettingsFile.h"
#include "platform/registry/MemoryRegistry.h"
#include "platform/sys/Log.h"
#include "platform/sys/System.h"
#include "tests/fixtures/TempFolder.h"
#include "tests/support/FakeProcessRunner.h"
#include "tests/support/FakeUdp.h"
#include "tests/support/Harness.h"
#include "tests/support/MemorySpooler.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

namespace osprey {
namespace {

namespace fs = std::filesystem;
using testing::FakePages;
namespace mb = ui::mb;

using test_fixtures::readAll;
using test_fixtures::writeAll;

std::string n16(std::int16_t v) {
    auto u = static_cast<std::uint16_t>(v);
    return {'\x02', '\x00', static_cast<char>(u & 0xFF), static_cast<char>(u >> 8)};
}

std::string text(const std::string& bytes) {
    return std::string{'\x08', '\x00', static_cast<char>(bytes.size()), '\x00'} + bytes;
}

// The PC, with file writes that can be made to fail.
class TestSystem : public sys::RealSystem {
  public:
    using sys::RealSystem::RealSystem;
    int writeError = 0;
    sys::IoResult writeFile(const std::string& path, const std::string& bytes) override {
        if (writeError != 0)
            return {false, writeError};
        return sys::RealSystem::writeFile(path, bytes);
    }
};

class CoreTest : public ::testing::Test {
  protected:
    CoreTest()
        : system(dir.path.string()), processes(h.clock),
          core(CoreServices{h.app, system, processes, spool, udp, registry}), pages(h.app) {
        core.setPages(pages);
        system.setTimeSource([] { return sys::LocalTime{2026, 3, 9, 8, 4, 5}; });
        system.setMonthNames(sys::englishMonthNames());
        spool.install({"Label", "Corvane V6204R", "LPT1:", 0});
        spool.setCurrentPrinter("Label");
        core.ws.SelectedPrinter = "Label";
        fillTables();
    }

    // What the pages' list loaders put into the core (4-inch printer, no model option).
    void fillTables() {
        WizardState& ws = core.ws;
        ws.PrinterWidth = 4;
        ws.MediaTypeCmds = mediaTypeCommands();
        ws.OrientationCmds = orientationCommands();
        ws.DispenseCmds = dispenseCommands(false);
        ws.SpeedCmds = speedCommands();
        ws.GapCmds = gapCommands();
        ws.EmulationCmds = emulationCommands(false);
        ws.LabelLengthKVT.assign(kBuiltInLabelLengths.begin(), kBuiltInLabelLengths.end());
        ws.LabelWidthKVT.assign(kBuiltInLabelWidths.begin(), kBuiltInLabelWidths.end());
        ws.LabelLengthKVT.resize(8);
        ws.LabelWidthKVT.resize(8);
        ws.nLabelLength = ws.orgLabelLength = 6;
        ws.nLabelWidth = ws.orgLabelWidth = 4;
    }

    // Runs code as an event; true when it returned (false when the program ended in it).
    bool run(const std::function<void()>& f) { return h.returns(f); }
    std::string file(const std::string& name) const { return (dir.path / name).string(); }
    std::vector<std::string> documents() const {
        std::vector<std::string> out;
        for (const auto& d : spool.documents()) {
            EXPECT_EQ(d.name, "Osprey Command");
            out.push_back(d.bytes);
        }
        return out;
    }

    test_fixtures::TempFolder dir{"ocore"};
    testing_support::Harness h;
    TestSystem system;
    proc::FakeProcessRunner processes;
    spooler::MemorySpooler spool;
    net::FakeUdpNetwork udp;
    registry::MemoryRegistry registry;
    Core core;
    FakePages pages;
};

// ---------------------------------------------------------------- start-up and log

struct MainCase {
    const char* commandLine;
    bool log, kvt, cd;
    const char* cdArg;
    const char* logTxt;    // lines of Log.txt (without the time)
    const char* kvtLogTxt; // lines of KVTLog.txt
};

class MainSwitches : public CoreTest, public ::testing::WithParamInterface<MainCase> {};

std::string withoutTimes(const std::string& log) {
    std::string out;
    std::size_t at = 0;
    while (at < log.size()) {
        std::size_t end = log.find("\r\n", at);
        std::string line = log.substr(at, end - at);
        out += line.substr(line.find(" - ") + 3) + "|";
        at = end + 2;
    }
    return out;
}

TEST_P(MainSwitches, SubstringsOfTheUpperCasedLine) {
    const MainCase& c = GetParam();
    ASSERT_TRUE(run([&] { core.Main(c.commandLine); }));
    EXPECT_EQ(core.ws.LogEnabled, c.log);
    EXPECT_EQ(core.ws.KvtLogEnabled, c.kvt);
    EXPECT_EQ(core.ws.CdMenuMode, c.cd);
    EXPECT_EQ(core.ws.CdMenuArg, c.cdArg);
    EXPECT_EQ(core.ws.CdMenuProgram, "Dunlin.exe");
    EXPECT_EQ(h.visibleForm(), "Intro");
    EXPECT_EQ(withoutTimes(readAll(dir.path / "Log.txt")), c.logTxt);
    EXPECT_EQ(withoutTimes(readAll(dir.path / "KVTLog.txt")), c.kvtLogTxt);
    EXPECT_TRUE(processes.startedHidden().empty());
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, MainSwitches,
    ::testing::Values(MainCase{"", false, false, false, "", "", ""},
                      MainCase{"LoG", true, false, false, "", "Entering Debug Mode|", ""},
                      MainCase{"blogger", true, false, false, "", "Entering Debug Mode|", ""},
                      MainCase{"kvt log", false, true, false, "", "Entering Debug Mode|",
                               "Entering KVT Debug Mode|"},
                      MainCase{"LOG KVT", false, true, false, "", "Entering Debug Mode|",
                               "Entering KVT Debug Mode|"},
                      MainCase{"/CD menu", false, false, true, "D menu", "", ""},
                      MainCase{"abcd", false, false, true, "cd", "", ""},
                      MainCase{"log cd", true, false, true, "g cd",
                               "Entering Debug Mode|Dunlin CD Menu Enabled|", ""}));

TEST_F(CoreTest, LogLineFormat) {
    core.ws.LogEnabled = true;
    core.WriteLog("hello");
    EXPECT_EQ(readAll(dir.path / "Log.txt"), "Mar 09,2026 08:04:05 - hello\r\n");
    core.ws.LogEnabled = false;
    core.WriteLog("dropped");
    EXPECT_EQ(readAll(dir.path / "Log.txt"), "Mar 09,2026 08:04:05 - hello\r\n");
}

TEST_F(CoreTest, FileExists) {
    writeAll(dir.path / "a.osp", "x");
    EXPECT_TRUE(core.FileExists(file("a.osp")));
    EXPECT_TRUE(core.FileExists(file("*.osp")));
    EXPECT_FALSE(core.FileExists(""));
    EXPECT_FALSE(core.FileExists(dir.path.string() + "/"));
    EXPECT_FALSE(core.FileExists(dir.path.string() + "\\"));
    EXPECT_FALSE(core.FileExists(file("b.osp")));
}

// ---------------------------------------------------------------- messages

TEST_F(CoreTest, MessageBoxes) {
    h.boxes.expect("Notice", "hi", mb::Ok, mb::OkOnly | mb::Information)
        .expect("Process Successful", "Printer Setup Request Successfully Sent", mb::Ok,
                mb::Information)
        .expect("File Exist Error",
                "Warning! Selected file currently exists\r\nDo you want to overwrite the file?",
                mb::Yes, mb::YesNo | mb::Exclamation | mb::DefaultButton2)
        .expect("File Exist Error", "Go on?", mb::No,
                mb::YesNo | mb::Exclamation | mb::DefaultButton2)
        .expect("Printer Error", "Bad\r\n", mb::Ok, mb::Critical);
    ASSERT_TRUE(run([&] {
        core.ShowNotice("hi");
        core.ShowRequestSent();
        EXPECT_TRUE(core.ws.RequestSent);
        EXPECT_TRUE(core.ConfirmOverwrite());
        EXPECT_FALSE(core.AskFileQuestion("Go on?"));
        core.ShowPrinterError("Bad", false);
    }));
}

TEST_F(CoreTest, PrinterUpdateErrorWithAndWithoutPanelText) {
    const std::string head = "ERROR!  Unable to Update Printer Settings.\r\n"
                             "An unexpected error occurred during printer configuration.\r\n";
    const std::string tail = "\r\nOperation cannot continue. The wizard will exit.";
    core.ws.RequestSent = true;
    bool sentDuringBox = false;
    h.boxes
        .expect("Printer Error",
                head + "Printer Front Panel Message:\r\n\tPAPER OUT\r\n\tLOAD MEDIA\r\n" + tail,
                mb::Ok, mb::Critical)
        .during([&] { sentDuringBox = core.ws.RequestSent; })
        .expect("Printer Error",
                head + "Please see the printer for the error condition.\r\n" + tail);
    ASSERT_TRUE(run([&] {
        core.ShowPrinterUpdateError("\tPAPER OUT\r\n\tLOAD MEDIA");
        EXPECT_TRUE(core.ws.PrinterError);
        EXPECT_FALSE(core.ws.RequestSent);
        core.ShowPrinterUpdateError("");
    }));
    EXPECT_TRUE(sentDuringBox); // cleared only after the box
}

// ---------------------------------------------------------------- exit

TEST_F(CoreTest, AllIgnoredEndsWithoutQuestionAndUnloadsInOrder) {
    pages.page("Intro").Show();
    pages.page("Dialog").load();
    EXPECT_FALSE(run([&] { core.ExitWizard(); }));
    EXPECT_TRUE(h.ended());
    EXPECT_FALSE(core.ws.SettingsChanged);
    EXPECT_FALSE(core.ws.MediaChanged);
    // The changed test loaded both settings pages; pages never loaded stay so.
    EXPECT_EQ(pages.unloads,
              (std::vector<std::string>{"Dialog", "Intro", "Operation", "PrinterSetup"}));
}

TEST_F(CoreTest, SaveQuestionNoRestoresTheCdMenuOnceAndEnds) {
    core.ws.CdMenuMode = true;
    core.ws.CdMenuProgram = "Dunlin.exe";
    core.ws.CdMenuArg = "D menu";
    pages.printerSetup().GapCB->setValue(0);
    h.boxes.expect("Leaving Wizard Without Saving Settings",
                   "You are about to exit this wizard after making changes.\r\n"
                   "Once you exit, all of your settings will be lost.\r\n"
                   "Would you like to save your settings before you exit?",
                   mb::No, mb::YesNo | mb::Question);
    EXPECT_FALSE(run([&] { core.ExitWizard(); }));
    EXPECT_TRUE(h.ended());
    EXPECT_TRUE(core.ws.MediaChanged);
    EXPECT_TRUE(core.ws.ExitAsked);
    EXPECT_EQ(processes.startedHidden(), std::vector<std::string>{"Dunlin.exe max D menu"});
}

TEST_F(CoreTest, SaveQuestionYesOpensTheDialogAndTheNextExitEnds) {
    pages.operation().OrientationCB->setValue(0);
    h.boxes.expectContaining("Leaving Wizard Without Saving Settings", "save your settings",
                             mb::Yes);
    ASSERT_TRUE(run([&] { core.ExitWizard(); }));
    EXPECT_FALSE(h.ended());
    EXPECT_EQ(pages.dialogMode, 2);
    EXPECT_TRUE(pages.page("Dialog").visible());
    EXPECT_FALSE(core.ws.MediaChanged);
    // The dialog's Cancel calls the exit routine again: no second question.
    EXPECT_FALSE(run([&] { core.ExitWizard(); }));
    EXPECT_TRUE(h.ended());
}

TEST_F(CoreTest, ConfirmExitNoShowsThePageAgain) {
    auto& page = pages.page("Selection");
    h.boxes.expect("Caution Exiting Wizard",
                   "Printer setting is not complete. If you quit\r\n"
                   "the wizard now, the printer will not be updated.\r\n"
                   "Do you want to exit the wizard?",
                   mb::No, mb::YesNo | mb::Exclamation | mb::DefaultButton2);
    ASSERT_TRUE(run([&] { core.ConfirmExit(page); }));
    EXPECT_EQ(core.ws.ExitAnswer, kAnswerNo);
    EXPECT_TRUE(page.visible());
    EXPECT_FALSE(h.ended());

    h.boxes.expectContaining("Caution Exiting Wizard", "Do you want", mb::Yes);
    EXPECT_FALSE(run([&] { core.ConfirmExit(page); }));
    EXPECT_EQ(core.ws.ExitAnswer, kAnswerYes);
    EXPECT_TRUE(h.ended());
}

TEST_F(CoreTest, ConfirmExitAfterTheRequestLeavesAtOnce) {
    core.ws.RequestSent = true;
    EXPECT_FALSE(run([&] { core.ConfirmExit(pages.page("ProgressDlg")); }));
    EXPECT_TRUE(h.ended());
}

TEST_F(CoreTest, FatalPrinterErrorLeaves) {
    h.boxes.expect("Printer Error", "Gone\r\nThe wizard will exit.", mb::Ok, mb::Critical);
    EXPECT_FALSE(run([&] { core.ShowPrinterError("Gone", true); }));
    EXPECT_TRUE(h.ended());
}

// ---------------------------------------------------------------- jobs and print path

TEST_F(CoreTest, SettingsJobGoesToTheCurrentPrinter) {
    pages.operation().MediaTypeCB->setValue(0);
    pages.printerSetup().GapCB->setValue(0);
    pages.printerSetup().VertCB->setValue(0);
    pages.printerSetup().VertShiftHScroll->setValue(-7);
    EXPECT_EQ(core.SendCfgCmd(), Core::CfgSend::Sent);
    EXPECT_EQ(documents(), std::vector<std::string>{
                               "!KVT_SETUP\r\nENGINE-MODE;X\r\nENGINE-IMAGE_SHFT_V;-70\r\n"
                               "KVT_END\r\n!KVT_SETUP\r\nWINMODE-BEGIN\r\nKVT_END\r\n"
                               "~PAPER;LABELS 2\r\n!KVT_SETUP\r\nWINMODE-END\r\nKVT_END\r\n"});
}

TEST_F(CoreTest, JobsGoToTheChosenPrinterOrNowhere) {
    spool.install({"Other", "Corvane V6204R", "LPT2:", 0});
    spool.setCurrentPrinter("Other");
    EXPECT_FALSE(core.SendCalibrateCmd());
    EXPECT_TRUE(spool.documents().empty());
}

TEST_F(CoreTest, SettingsJobWithNothingOrAnInvalidEntrySendsNothing) {
    pages.printerSetup().EmulationCB->setValue(0);
    EXPECT_EQ(core.SendCfgCmd(), Core::CfgSend::Nothing);
    // A setting the user asked for that cannot be sent is a failure, not "nothing to send".
    pages.operation().DispenseCB->setValue(0);
    pages.operation().OrientationCB->setValue(0);
    pages.operation().OrientationCombo->setListIndex(-1);
    EXPECT_EQ(core.SendCfgCmd(), Core::CfgSend::Failed);
    EXPECT_TRUE(spool.documents().empty());
}

TEST_F(CoreTest, StepJobsAndTheEmulationSwitch) {
    pages.printerSetup().EmulationCombo->setListIndex(3); // NQL
    EXPECT_TRUE(core.SendEmuCmd(4));
    EXPECT_TRUE(core.LoadCfgCmd(4));
    EXPECT_TRUE(core.SendCalibrateCmd());
    EXPECT_TRUE(core.SendSaveCfgCmd(4));
    EXPECT_TRUE(core.SendSetPowerUpCmd(0));
    EXPECT_TRUE(core.SendNullCmd());
    EXPECT_EQ(documents(),
              (std::vector<std::string>{*emuJob(4, emulationSwitchLine(5)), loadCfgJob(4),
                                        calibrateJob(), saveCfgJob(4), powerUpJob(0), nullJob()}));
}

// A job the spooler did not take whole is reported, so the run cannot count it as taken.
TEST_F(CoreTest, BuildersReportAJobThatDidNotGoOutWhole) {
    using Stage = spooler::MemorySpooler::WriteStage;
    spool.failWriteAt(Stage::Write, spooler::err::AccessDenied, 3);
    EXPECT_FALSE(core.SendCalibrateCmd());
    spool.failWriteAt(Stage::End, spooler::err::AccessDenied);
    EXPECT_FALSE(core.SendSaveCfgCmd(1));
    pages.operation().MediaTypeCB->setValue(0);
    spool.failWriteAt(Stage::Start, spooler::err::AccessDenied);
    EXPECT_EQ(core.SendCfgCmd(), Core::CfgSend::Failed);
    pages.printerSetup().EmulationCombo->setListIndex(0);
    core.ws.EmulationCmds[0].clear(); // an entry without a switch line: nothing goes out
    EXPECT_FALSE(core.SendEmuCmd(1));
    EXPECT_EQ(core.SendCfgCmd(), Core::CfgSend::Sent);
}

TEST_F(CoreTest, KvtLogHoldsJobDumpsButNoPrintPathLines) {
    core.ws.KvtLogEnabled = true;
    core.SendSaveCfgCmd(2);
    core.SendNullCmd();
    std::string a, b;
    core.CheckPrinter(a, b);
    core.PurgePrintQueue();
    EXPECT_EQ(readAll(dir.path / "KVTLog.txt"),
              "Mar 09,2026 08:04:05 - KVTOutput [SendSaveCfgCmd]: \r\n"
              "!KVT_SETUP\r\nCONFIG-SAVE;2\r\nKVT_END\r\n\r\n"
              "Mar 09,2026 08:04:05 - KVTOutput [end] \r\n\r\n");
    EXPECT_FALSE(fs::exists(dir.path / "Log.txt"));
}

TEST_F(CoreTest, LogSwitchWritesPrintPathLinesAndDumps) {
    core.ws.LogEnabled = true;
    core.SendCalibrateCmd();
    std::string a, b;
    EXPECT_EQ(core.CheckPrinter(a, b), "Printer info retrieved");
    const std::string log = readAll(dir.path / "Log.txt");
    EXPECT_NE(log.find("KVTOutput [SendCalibrateCmd]: \r\n!KVT_SETUP"), std::string::npos);
    EXPECT_NE(log.find(" - ...CheckPrinter\r\n"), std::string::npos);
    EXPECT_EQ(log.find("sending job to printer"), std::string::npos);
}

// ---------------------------------------------------------------- settings file

class SettingsFileCore : public CoreTest {
  protected:
    void changeSomeSettings() {
        pages.operation().MediaTypeCB->setValue(0);
        pages.operation().MediaTypeCombo->setListIndex(0);
        pages.operation().DispenseCB->setValue(0);
        pages.operation().DispenseCombo->setListIndex(3);
        pages.printerSetup().HorzCB->setValue(0);
        pages.printerSetup().HorzShiftHScroll->setValue(-35);
        pages.printerSetup().EmulationCombo->setListIndex(6);
    }
    void addCustomLength(const std::string& value, const std::string& entry) {
        pages.operation().LabelLengthCombo->addItem(entry);
        core.ws.nLabelLength = static_cast<std::int16_t>(core.ws.nLabelLength + 1);
        core.ws.LabelLengthKVT.resize(static_cast<std::size_t>(core.ws.nLabelLength) + 1);
        core.ws.LabelLengthKVT[static_cast<std::size_t>(core.ws.nLabelLength)] = value;
    }
    bool save(const std::string& path) {
        bool result = false;
        EXPECT_TRUE(run([&] { result = core.SaveSettings(path) == Core::SaveResult::Saved; }));
        return result;
    }
    bool load(const std::string& path) {
        bool result = false;
        EXPECT_TRUE(run([&] { result = core.LoadSavedSettings(path); }));
        return result;
    }
    // The settings pages as freshly loaded.
    void reloadPages() {
        pages.page("Operation").Unload();
        pages.page("PrinterSetup").Unload();
        fillTables();
    }
};

TEST_F(SettingsFileCore, SavedFileIsByteExact) {
    changeSomeSettings();
    addCustomLength("02400", "2.4\" (61.0mm)");
    addCustomLength("09900", "99.0\" (2514.6mm)");
    core.ws.SettingsChanged = true;
    h.boxes.expect("Notice", "Settings successfully saved in " + file("a.osp") + "\r\n");
    EXPECT_TRUE(save(file("a.osp")));
    EXPECT_FALSE(core.ws.SettingsChanged);
    EXPECT_EQ(readAll(dir.path / "a.osp"),
              text("V2.0") + n16(4) + n16(0) + n16(0) + n16(1) + n16(2) + n16(0) + text("02400") +
                  text("2.4\" (61.0mm)") + text("09900") + text("99.0\" (2514.6mm)") + n16(5) +
                  n16(4) + n16(1) + n16(0) + n16(0) + n16(3) + n16(1) + n16(3) + n16(1) + n16(1) +
                  n16(0) + n16(-35) + n16(1) + n16(0) + n16(1) + n16(6));
}

TEST_F(SettingsFileCore, SaveReplacesTheWholeFile) {
    writeAll(dir.path / "a.osp", std::string(500, 'x'));
    h.boxes.expectContaining("File Exist Error", "overwrite", mb::Yes)
        .expectContaining("Notice", "successfully saved");
    EXPECT_TRUE(save(file("a.osp")));
    EXPECT_EQ(fs::file_size(dir.path / "a.osp"), 96u);
}

TEST_F(SettingsFileCore, OverwriteDeclinedLeavesTheFile) {
    writeAll(dir.path / ".a.osp", "keep"); // hidden: the user named it all the same
    core.ws.SettingsChanged = true;
    h.boxes.expectContaining("File Exist Error", "overwrite", mb::No);
    EXPECT_FALSE(save(file(".a.osp")));
    EXPECT_EQ(readAll(dir.path / ".a.osp"), "keep");
    EXPECT_TRUE(core.ws.SettingsChanged);
}

TEST_F(SettingsFileCore, FailedWriteIsReportedAndNotCountedAsSaved) {
    system.writeError = EACCES;
    core.ws.SettingsChanged = true;
    h.boxes.expect("Printer Error",
                   "Unexpected error occurred: [ErrCode:70]\r\nUnable to save settings\r\n", mb::Ok,
                   mb::Critical);
    EXPECT_FALSE(save(file("a.osp")));
    EXPECT_TRUE(core.ws.SettingsChanged);
    EXPECT_FALSE(fs::exists(dir.path / "a.osp"));
}

TEST_F(SettingsFileCore, FailedSaveAtAnyStepKeepsTheEarlierFile) {
    writeAll(dir.path / "a.osp", "earlier");
    core.ws.SettingsChanged = true;
    for (sys::WriteStep failing : sys::kWriteSteps) {
        system.setWriteFault([&](sys::WriteStep s) { return s == failing ? ENOSPC : 0; });
        h.boxes.expectContaining("File Exist Error", "overwrite", mb::Yes)
            .expectContaining("Printer Error", "[ErrCode:61]");
        EXPECT_FALSE(save(file("a.osp")));
        EXPECT_EQ(readAll(dir.path / "a.osp"), "earlier") << static_cast<int>(failing);
    }
    EXPECT_TRUE(core.ws.SettingsChanged);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path), fs::directory_iterator()), 1);
}

// Bytes that Windows-1252 leaves without a character still come back as they were.
TEST_F(SettingsFileCore, UnassignedBytesInALoadedFileAreSavedBackUnchanged) {
    const std::string bytes = text("V2.0") + n16(4) + n16(1) + n16(0) + n16(0) + n16(1) + n16(0) +
                              text("02400") + text("2.4\x81\x8D\x8F\x90\x9D\xB5") + n16(7) +
                              n16(4) + n16(1) + n16(0) + n16(1) + n16(1) + n16(1) + n16(0) +
                              n16(1) + n16(0) + n16(1) + n16(0) + n16(1) + n16(0) + n16(1) + n16(0);
    writeAll(dir.path / "in.osp", bytes);
    ASSERT_TRUE(load(file("in.osp")));
    h.boxes.expectContaining("Notice", "successfully saved");
    ASSERT_TRUE(save(file("out.osp")));
    EXPECT_EQ(readAll(dir.path / "out.osp"), bytes);
}

// The size tables' last index is a 16-bit number: custom sizes that would pass it are
// refused before anything changes (4-inch printer: 6 built-in lengths, 4 widths after 0).
TEST_F(SettingsFileCore, CustomSizesUpToTheLargestTableIndex) {
    struct Row {
        int lengths, widths;
        bool loads;
    } rows[] = {{32761, 0, true}, {32762, 0, false}, {0, 32763, true}, {0, 32764, false}};
    for (const Row& r : rows) {
        std::string bytes = text("V2.0") + n16(4) + n16(0) + n16(0) + n16(0) +
                            n16(static_cast<std::int16_t>(r.lengths)) +
                            n16(static_cast<std::int16_t>(r.widths));
        for (int i = 0; i < r.lengths + r.widths; ++i)
            bytes += text("02400") + text("2.4\" (61.0mm)");
        bytes += n16(32767) + n16(32767) + n16(0) + n16(2) + n16(1) + n16(1) + n16(1) + n16(3) +
                 n16(1) + n16(1) + n16(1) + n16(0) + n16(1) + n16(0) + n16(1) + n16(0);
        writeAll(dir.path / "many.osp", bytes);
        reloadPages();
        if (!r.loads)
            h.boxes.expect("Printer Error",
                           "File corrupted [ErrCode:6]\r\nUnable to load settings\r\n", mb::Ok,
                           mb::Critical);
        EXPECT_EQ(load(file("many.osp")), r.loads) << r.lengths << " " << r.widths;
        EXPECT_TRUE(h.boxes.allShown());
        const int lengths = r.loads ? 7 + r.lengths : 7, widths = r.loads ? 5 + r.widths : 5;
        EXPECT_EQ(pages.operation().LabelLengthCombo->listCount(), lengths);
        EXPECT_EQ(pages.operation().LabelLengthCombo->listIndex(), r.loads ? lengths - 1 : 5);
        EXPECT_EQ(pages.operation().LabelWidthCombo->listCount(), widths);
        EXPECT_EQ(core.ws.nLabelLength, lengths - 1);
        EXPECT_EQ(core.ws.nLabelWidth, widths - 1);
        EXPECT_EQ(pages.operation().MediaTypeCB->value(), r.loads ? 0 : 1);
    }
}

TEST_F(SettingsFileCore, TypedSizeIsSavedWithoutEntry) {
    pages.operation().LabelWidthCombo->setListIndex(-1);
    h.boxes.expectContaining("Notice", "successfully saved");
    ASSERT_TRUE(save(file("a.osp")));
    EXPECT_EQ(readAll(dir.path / "a.osp").substr(36, 4), n16(-1));
}

TEST_F(SettingsFileCore, RoundTripRestoresControlsAndCustomSizes) {
    changeSomeSettings();
    addCustomLength("02400", "2.4\" (61.0mm)");
    pages.operation().LabelLengthCombo->setListIndex(7);
    h.boxes.expectContaining("Notice", "successfully saved");
    ASSERT_TRUE(save(file("a.osp")));

    reloadPages();
    ASSERT_TRUE(load(file("a.osp")));
    EXPECT_EQ(pages.operation().MediaTypeCB->value(), 0);
    EXPECT_EQ(pages.operation().MediaTypeCombo->listIndex(), 0);
    EXPECT_EQ(pages.operation().DispenseCombo->listIndex(), 3);
    EXPECT_EQ(pages.operation().LabelLengthCombo->listCount(), 8);
    EXPECT_EQ(pages.operation().LabelLengthCombo->list(7), "2.4\" (61.0mm)");
    EXPECT_EQ(pages.operation().LabelLengthCombo->listIndex(), 7);
    EXPECT_EQ(core.ws.nLabelLength, 7);
    EXPECT_EQ(core.ws.LabelLengthKVT.size(), 8u);
    EXPECT_EQ(core.ws.LabelLengthKVT[7], "02400");
    EXPECT_EQ(pages.printerSetup().HorzShiftHScroll->value(), -35);
    EXPECT_EQ(pages.printerSetup().EmulationCombo->listIndex(), 6);
}

TEST_F(SettingsFileCore, StoredLengthIndexPastTheListTakesTheLastEntry) {
    const std::string body = n16(1) + n16(1) + n16(1) + n16(0) + n16(0) + n16(9) + n16(4) + n16(1) +
                             n16(0) + n16(1) + n16(1) + n16(1) + n16(3) + n16(1) + n16(1) + n16(1) +
                             n16(0) + n16(1) + n16(0) + n16(1) + n16(0);
    writeAll(dir.path / "b.osp", text("V2.0") + n16(4) + body);
    ASSERT_TRUE(load(file("b.osp")));
    EXPECT_EQ(pages.operation().LabelLengthCombo->listIndex(), 6);
}

TEST_F(SettingsFileCore, WidthMismatchLoadsNothing) {
    h.boxes.expectContaining("Notice", "successfully saved");
    changeSomeSettings();
    ASSERT_TRUE(save(file("a.osp")));
    reloadPages();
    core.ws.PrinterWidth = 6;
    h.boxes.expect("Printer Error",
                   "Error Incompatible Printer Types. The settings are for a 4 inch printer.\r\n"
                   "The selected printer driver is for a 6 inch printer.\r\n"
                   "Saved settings not loaded.\r\n\r\n",
                   mb::Ok, mb::Critical);
    EXPECT_FALSE(load(file("a.osp")));
    EXPECT_EQ(pages.operation().MediaTypeCB->value(), 1);
}

TEST_F(SettingsFileCore, ForeignVersionAsksAndReadsOnWithoutWidth) {
    const std::string body = n16(0) + n16(0) + n16(1) + n16(0) + n16(0) + n16(5) + n16(4) + n16(1) +
                             n16(0) + n16(1) + n16(1) + n16(1) + n16(3) + n16(1) + n16(1) + n16(1) +
                             n16(0) + n16(1) + n16(0) + n16(1) + n16(0);
    writeAll(dir.path / "old.osp", text("V1.5") + body);
    const std::string question = "Error Incompatible File Type Detected (V1.5) need V2.0\r\n"
                                 "All settings may not be restored\r\nDo you want to continue?";
    h.boxes.expect("File Exist Error", question, mb::No);
    EXPECT_FALSE(load(file("old.osp")));
    EXPECT_EQ(pages.operation().MediaTypeCB->value(), 1);
    h.boxes.expect("File Exist Error", question, mb::Yes);
    EXPECT_TRUE(load(file("old.osp")));
    EXPECT_EQ(pages.operation().MediaTypeCB->value(), 0); // the record after the version
}

TEST_F(SettingsFileCore, MissingFile) {
    h.boxes.expect("Notice", "File not found. Please select another file.");
    EXPECT_FALSE(load(file("none.osp")));
}

// A damaged file changes no control: the whole file is checked first.
struct DamagedCase {
    const char* name;
    std::string bytes;
    int error;
};

class DamagedFile : public SettingsFileCore, public ::testing::WithParamInterface<DamagedCase> {};

std::string goodHead() {
    return text("V2.0") + n16(4) + n16(0) + n16(0) + n16(0) + n16(1) + n16(0);
}
std::string goodTail() {
    return n16(5) + n16(4) + n16(0) + n16(2) + n16(1) + n16(1) + n16(1) + n16(3) + n16(1) + n16(1) +
           n16(1) + n16(0) + n16(1) + n16(0) + n16(1) + n16(0);
}

TEST_P(DamagedFile, ChangesNothing) {
    writeAll(dir.path / "bad.osp", GetParam().bytes);
    h.boxes.expect("Printer Error",
                   "File corrupted [ErrCode:" + std::to_string(GetParam().error) +
                       "]\r\nUnable to load settings\r\n",
                   mb::Ok, mb::Critical);
    EXPECT_FALSE(load(file("bad.osp")));
    EXPECT_EQ(pages.operation().MediaTypeCB->value(), 1);
    EXPECT_EQ(pages.operation().MediaSizeCB->value(), 1);
    EXPECT_EQ(pages.operation().LabelLengthCombo->listCount(), 7);
    EXPECT_EQ(core.ws.nLabelLength, 6);
    EXPECT_EQ(pages.operation().OrientationCB->value(), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Files, DamagedFile,
    ::testing::Values(DamagedCase{"Empty", "", fileerr::PastEnd},
                      DamagedCase{"EndsEarly", goodHead() + text("02400") + text("2.4") + n16(5),
                                  fileerr::PastEnd},
                      DamagedCase{"SizeValueCarriesACommand",
                                  goodHead() + text("1\r\nCONFIG-SAVE;1") + text("x") + goodTail(),
                                  fileerr::InvalidValue},
                      DamagedCase{"OrientationPastTheList",
                                  goodHead() + text("02400") + text("2.4") + n16(5) + n16(4) +
                                      n16(0) + n16(9) + goodTail().substr(16),
                                  fileerr::InvalidValue},
                      DamagedCase{"TextWhereANumberGoes",
                                  text("V2.0") + n16(4) + text("zero") + goodTail(),
                                  fileerr::TypeMismatch}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace osprey
