// The real programs against the private scheduler: Wren, rundll32, and the launcher Plover
// running the wizard's printer-creation batch file.
#include "tests/e2e/PrivateCups.h"

#include "platform/spooler/cups/CupsSpooler.h"
#include "platform/spooler/cups/PortNameRule.h"
#include "tests/fixtures/LoopbackPrinter.h"
#include "tests/fixtures/TempFolder.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <thread>

namespace {

using namespace e2e;
using namespace spooler;
namespace fs = std::filesystem;

const std::string kEntry = "printui.dll,PrintUIEntry";
const std::vector<std::string> kAddKestrel{kEntry, "/q",      "/u", "/if",
                                           "/b",   "Kestrel", "/f", "%windir%\\inf\\ntprint.inf",
                                           "/r",   "LPT1:",   "/m", "Generic / Text Only"};
const std::vector<std::string> kDeleteKestrel{kEntry, "/q", "/dl", "/n", "Kestrel"};

// The set-up commands are tried as a member of the scheduler's system group and as a plain
// user, whom the scheduler is started with.
const bool kUsersWanted = (PrivateCups::wantTestUsers(), true);

bool says(const RunResult& run, const std::string& words) {
    return run.output.find(words) != std::string::npos;
}

using test_fixtures::readAll;

class ToolsE2E : public PrivateCupsTest {
  protected:
    RunResult rundll32(std::vector<std::string> args, const std::string& folder = "",
                       const TestUser* user = nullptr) {
        args.insert(args.begin(), RUNDLL32_PATH);
        return runProgram(args, folder, 30000, {}, user);
    }

    // Adding, listing and deleting as someone of the system group: all succeed.
    void administerAs(const TestUser* user) {
        cups->addDevice(Scheme::Parallel, "lp0");
        auto add = rundll32(kAddKestrel, "", user);
        EXPECT_EQ(add.exitCode, 0) << add.output << cups->errorLog();
        EXPECT_TRUE(spooler->printerInfo("Kestrel").ok());
        std::string folder = makeFolder("wren-admin", user);
        auto wren = runProgram({WREN_PATH}, folder, 30000, {}, user);
        EXPECT_EQ(readAll(fs::path(folder) / "ports.txt"), "LPT1:\r\n") << wren.output;
        auto del = rundll32(kDeleteKestrel, "", user);
        EXPECT_EQ(del.exitCode, 0) << del.output;
        EXPECT_FALSE(spooler->printerInfo("Kestrel").ok());
    }

    std::unique_ptr<Spooler> spooler = makeCupsSpooler();
};

// Root and members of the system group pass on their local credentials (nothing asks for a
// password); anyone else is refused at once.
TEST_F(ToolsE2E, SetUpCommandsSucceedForTheSystemGroupAndAreRefusedToOthers) {
    administerAs(nullptr);
    if (!cups->systemGroupMember() || !cups->plainUser()) {
        GTEST_SKIP() << "root passed; no test users for the rest: " << cups->usersFailure();
    }
    for (const char* program : {WREN_PATH, RUNDLL32_PATH}) {
        if (std::string why = cups->shareWithTestUsers(program); !why.empty()) {
            GTEST_SKIP() << "root passed; the test users cannot start the programs: " << why;
        }
    }
    administerAs(&*cups->systemGroupMember());

    const TestUser* plain = &*cups->plainUser();
    cups->addDevice(Scheme::Parallel, "lp0");
    std::string folder = makeFolder("wren-plain", plain);
    const struct {
        const char* what;
        std::function<RunResult()> run;
    } refused[] = {
        {"add", [&] { return rundll32(kAddKestrel, "", plain); }},
        {"delete",
         [&] {
             EXPECT_EQ(spooler->addPrinter("Kestrel", kGenericTextDriver, "LPT1:"), 0);
             return rundll32(kDeleteKestrel, "", plain);
         }},
        {"list", [&] { return runProgram({WREN_PATH}, folder, 30000, {}, plain); }},
    };
    for (const auto& r : refused) {
        auto start = std::chrono::steady_clock::now();
        RunResult run = r.run();
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3)) << r.what;
        EXPECT_TRUE(says(run, "access denied")) << r.what << ": " << run.output;
    }
    EXPECT_TRUE(spooler->printerInfo("Kestrel").ok()) << "the plain user deleted nothing";
    EXPECT_EQ(readAll(fs::path(folder) / "ports.txt"), "");
}

TEST_F(ToolsE2E, WrenListsTheFakeDevicesInPortsTxt) {
    cups->addDevice(Scheme::Parallel, "lp0");
    std::string usb = portnames::preferredPortName(cups->addDevice(Scheme::Usb, "W1")).value();
    std::string folder = makeFolder("wren");
    std::ofstream(fs::path(folder) / "ports.txt") << "stale\r\n";

    auto run = runProgram({WREN_PATH}, folder);

    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(readAll(fs::path(folder) / "ports.txt"), "LPT1:\r\n" + usb + "\r\n");
    EXPECT_NE(run.output.find("LPT1:\n" + usb + "\n"), std::string::npos) << run.output;
}

TEST_F(ToolsE2E, WrenWithoutASchedulerLeavesAnEmptyFileAtOnce) {
    std::string folder = makeFolder("wren-none");
    auto start = std::chrono::steady_clock::now();
    auto run = runProgram({WREN_PATH}, folder, 10000, {"CUPS_SERVER=" + cups->root() + "/none"});
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_TRUE(fs::exists(fs::path(folder) / "ports.txt"));
    EXPECT_EQ(readAll(fs::path(folder) / "ports.txt"), "");
    EXPECT_TRUE(says(run, "EnumPorts() failed\n")) << run.output;
    EXPECT_TRUE(says(run, "(no scheduler is running)")) << run.output;
}

// Against a hung scheduler a program's one action gives up within 5 s and says why.
TEST_F(ToolsE2E, WrenAndRundll32GiveUpSoonOnAStoppedScheduler) {
    cups->addDevice(Scheme::Parallel, "lp0");
    ASSERT_EQ(spooler->addPrinter("Kestrel", kGenericTextDriver, "LPT1:"), 0);
    std::string folder = makeFolder("wren-stopped");
    SuspendedScheduler stopped(*cups);
    const std::function<RunResult()> steps[] = {
        [&] { return runProgram({WREN_PATH}, folder); },
        [&] { return rundll32(kDeleteKestrel); },
    };
    for (const auto& step : steps) {
        auto start = std::chrono::steady_clock::now();
        RunResult run = step();
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
        EXPECT_TRUE(says(run, "did not answer in time")) << run.output;
    }
}

// Backends that take as long as real ones do to end their listing (probing a port, asking a
// printer for its ID): the scheduler answers once the slowest has ended, within the
// listing's 3 seconds, and every program waits for the whole answer.
class SlowListingE2E : public ToolsE2E, public ::testing::WithParamInterface<int> {};

TEST_P(SlowListingE2E, WrenListsEveryPortAndRundll32AddsAPrinter) {
    cups->addDevice(Scheme::Parallel, "lp0");
    cups->addDevice(Scheme::Serial, "ttyS0");
    std::string usb = portnames::preferredPortName(cups->addDevice(Scheme::Usb, "S1")).value();
    cups->setListingDelay(GetParam());
    std::string folder = makeFolder("wren-slow");

    auto wren = runProgram({WREN_PATH}, folder);
    auto add = rundll32(kAddKestrel);

    EXPECT_EQ(readAll(fs::path(folder) / "ports.txt"), "LPT1:\r\nCOM1:\r\n" + usb + "\r\n")
        << wren.output;
    ASSERT_EQ(add.exitCode, 0) << add.output;
    // The printer's report names its port within the listing too.
    auto info = spooler->printerInfo("Kestrel");
    ASSERT_TRUE(info.ok()) << info.error;
    EXPECT_EQ(info.value->port, "LPT1:");
}

INSTANTIATE_TEST_SUITE_P(EndingAfter, SlowListingE2E, ::testing::Values(300, 1000, 2500),
                         [](const auto& info) { return std::to_string(info.param) + "ms"; });

// A scheduler that stops while it lists the devices: each program's one action gives up at
// its limit and says why.
TEST_F(ToolsE2E, AListingTheSchedulerStopsAnsweringFailsAtTheActionsLimit) {
    cups->addDevice(Scheme::Parallel, "lp0");
    cups->setListingDelay(2500);
    std::string folder = makeFolder("wren-stops");
    auto start = std::chrono::steady_clock::now();
    std::thread stopper([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(1000));
        cups->suspend();
    });
    auto listing = std::async(std::launch::async, [&] { return runProgram({WREN_PATH}, folder); });
    RunResult add = rundll32(kAddKestrel);
    RunResult list = listing.get();
    stopper.join();
    cups->resume();
    // The action's 4 s, with room for starting the programs on a busy machine: a second
    // action or no limit at all would take far longer.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(6500));
    for (const RunResult* run : {&list, &add}) {
        EXPECT_TRUE(says(*run, "did not answer in time")) << run->output;
    }
    EXPECT_EQ(readAll(fs::path(folder) / "ports.txt"), "");
}

// Two parallel devices whose paths end in 0 both claim LPT1:; the whole listing names them,
// and every program shows and writes the same names.
TEST_F(ToolsE2E, ClashingDevicesKeepOneNamingInEveryProgram) {
    cups->addDevice(Scheme::Parallel, "lp0");
    cups->addDevice(Scheme::Parallel, "xlp0");
    std::string folder = makeFolder("clash");

    auto wren = runProgram({WREN_PATH}, folder);
    EXPECT_EQ(readAll(fs::path(folder) / "ports.txt"), "LPT1:\r\nLPT2:\r\n") << wren.output;
    std::vector<std::string> add = kAddKestrel;
    add[9] = "LPT2:";
    auto added = rundll32(add);
    ASSERT_EQ(added.exitCode, 0) << added.output;
    auto info = spooler->printerInfo("Kestrel");
    ASSERT_TRUE(info.ok());
    EXPECT_EQ(info.value->port, "LPT2:");
    auto dumped = rundll32({kEntry, "/q", "/f", folder + "/kestrel.txt", "/Xg", "/n", "Kestrel"});
    EXPECT_TRUE(readAll(fs::path(folder) / "kestrel.txt").find("\r\nPort=LPT2:\r\n") !=
                std::string::npos)
        << dumped.output;
    // The queue is on the second device.
    ASSERT_TRUE(spooler->writeRawDocument("Kestrel", "Kestrel Command", "x").ended);
    EXPECT_TRUE(cups->waitReceived(Scheme::Parallel, "xlp0", 1));
    EXPECT_EQ(cups->received(Scheme::Parallel, "lp0"), "");
}

TEST_F(ToolsE2E, Rundll32AddsDumpsAndDeletesThePrinter) {
    cups->addDevice(Scheme::Parallel, "lp0");
    std::string folder = makeFolder("rundll32");
    std::string dump = folder + "/kestrel.txt";

    auto add = rundll32(kAddKestrel);
    ASSERT_EQ(add.exitCode, 0) << add.output;
    auto info = spooler->printerInfo("Kestrel");
    ASSERT_TRUE(info.ok());
    EXPECT_EQ(info.value->port, "LPT1:");
    EXPECT_EQ(info.value->driver, "Generic / Text Only");

    auto dumped = rundll32({kEntry, "/q", "/f", dump, "/Xg", "/n", "Kestrel"});
    EXPECT_EQ(dumped.exitCode, 0) << dumped.output;
    EXPECT_EQ(readAll(dump), "Name=Kestrel\r\nDriver=Generic / Text Only\r\nPort=LPT1:\r\n"
                             "Status=0\r\n");
    fs::remove(dump);

    auto deleted = rundll32(kDeleteKestrel);
    EXPECT_EQ(deleted.exitCode, 0) << deleted.output;
    EXPECT_FALSE(spooler->printerInfo("Kestrel").ok());

    auto gone = rundll32({kEntry, "/q", "/f", dump, "/Xg", "/n", "Kestrel"});
    EXPECT_NE(gone.exitCode, 0);
    EXPECT_FALSE(fs::exists(dump));
}

TEST_F(ToolsE2E, Rundll32KeepsAPrinterWhoseJobStays) {
    cups->addDevice(Scheme::Parallel, "lp0");
    cups->setRefusing(Scheme::Parallel, "lp0", true);
    ASSERT_EQ(spooler->addPrinter("Kestrel", kGenericTextDriver, "LPT1:"), 0);
    ASSERT_TRUE(spooler->writeRawDocument("Kestrel", "Kestrel Command", "job").ended);

    auto deleted = rundll32({kEntry, "/q", "/dl", "/n", "Kestrel"});
    EXPECT_EQ(deleted.exitCode, 1);
    EXPECT_NE(deleted.output.find("still has jobs"), std::string::npos) << deleted.output;
    EXPECT_TRUE(spooler->printerInfo("Kestrel").ok());
}

TEST_F(ToolsE2E, Rundll32RejectsUnknownForms) {
    auto run = rundll32({kEntry, "/q", "/ga", "/n", "Kestrel"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.output.find("unknown option \"/ga\""), std::string::npos) << run.output;
    auto other = rundll32({"shell32.dll,Control_RunDLL"});
    EXPECT_EQ(other.exitCode, 2);
}

// A port whose device the scheduler refuses (its kind of device is missing) says so.
TEST_F(ToolsE2E, Rundll32SaysThatThePortsDeviceWasRefused) {
    const fs::path serial = fs::path(cups->root()) / "bin/backend/serial";
    fs::rename(serial, serial.string() + ".away");
    std::vector<std::string> add = kAddKestrel;
    add[9] = "COM1:";
    auto run = rundll32(add);
    fs::rename(serial.string() + ".away", serial);
    EXPECT_TRUE(says(run, "refused the port's device (1200)")) << run.output << cups->errorLog();
}

// An HTTP error instead of IPP is no scheduler: a failure with its cause, not an empty list.
TEST(ToolsAgainstAnotherServer, WrenAndRundll32NameTheCause) {
    fixtures::LoopbackPrinter server;
    server.answerWith("HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n\r\n");
    const std::vector<std::string> env{"CUPS_SERVER=127.0.0.1:" + std::to_string(server.port())};
    std::string folder = makeFolder("wren-404");
    auto wren = runProgram({WREN_PATH}, folder, 10000, env);
    EXPECT_EQ(wren.exitCode, 0) << "as with no scheduler";
    EXPECT_EQ(readAll(fs::path(folder) / "ports.txt"), "");
    EXPECT_TRUE(says(wren, "EnumPorts() failed\n") && says(wren, "not a print scheduler (58)"))
        << wren.output;
    auto del = runProgram({RUNDLL32_PATH, kEntry, "/q", "/dl", "/n", "Kestrel"}, "", 10000, env);
    EXPECT_TRUE(del.exitCode == 1 && says(del, "not a print scheduler")) << del.output;
}

// The wizard's printer-creation route: its one-line batch file, run by the launcher.
TEST_F(ToolsE2E, PloverRunsTheBatchFileThatCreatesTheTemporaryPrinter) {
    cups->addDevice(Scheme::Usb, "B1");
    std::string usb = portnames::preferredPortName("usb://Fake/Printer?serial=B1").value();
    std::string folder = makeFolder("plover");
    std::ofstream(fs::path(folder) / "kestrel.bat", std::ios::binary)
        << "rundll32 printui.dll,PrintUIEntry /q /u /if /b \"Kestrel\" /f "
           "%windir%\\inf\\ntprint.inf /r \""
        << usb << "\" /m \"Generic / Text Only\"\r\n";

    auto run = runProgram({PLOVER_PATH, "kestrel.bat"}, folder);

    EXPECT_EQ(run.exitCode, 0) << run.output;
    auto info = spooler->printerInfo("Kestrel");
    ASSERT_TRUE(info.ok()) << run.output;
    EXPECT_EQ(info.value->port, usb);
    EXPECT_EQ(info.value->driver, kGenericTextDriver);
}

} // namespace
