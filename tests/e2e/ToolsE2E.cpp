// The real programs against the private scheduler: Wren, rundll32, and the launcher Plover
// running the wizard's printer-creation batch file.
#include "tests/e2e/PrivateCups.h"

#include "platform/spooler/cups/CupsSpooler.h"
#include "platform/spooler/cups/PortNames.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

namespace {

using namespace e2e;
using namespace spooler;
namespace fs = std::filesystem;

const std::string kEntry = "printui.dll,PrintUIEntry";

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class ToolsE2E : public PrivateCupsTest {
  protected:
    RunResult rundll32(std::vector<std::string> args, const std::string& folder = "") {
        args.insert(args.begin(), RUNDLL32_PATH);
        return runProgram(args, folder);
    }
    std::unique_ptr<Spooler> spooler = makeCupsSpooler();
};

TEST_F(ToolsE2E, WrenListsTheFakeDevicesInPortsTxt) {
    cups->addDevice(Scheme::Parallel, "lp0");
    std::string usb = portnames::preferredPortName(cups->addDevice(Scheme::Usb, "W1")).value();
    std::string folder = makeFolder("wren");
    std::ofstream(fs::path(folder) / "ports.txt") << "stale\r\n";

    auto run = runProgram({WREN_PATH}, folder);

    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(readFile(fs::path(folder) / "ports.txt"), "LPT1:\r\n" + usb + "\r\n");
    EXPECT_NE(run.output.find("LPT1:\n" + usb + "\n"), std::string::npos) << run.output;
}

TEST_F(ToolsE2E, WrenWithoutASchedulerLeavesAnEmptyFileAtOnce) {
    std::string folder = makeFolder("wren-none");
    auto start = std::chrono::steady_clock::now();
    auto run = runProgram({WREN_PATH}, folder, 10000, {"CUPS_SERVER=" + cups->root() + "/none"});
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_TRUE(fs::exists(fs::path(folder) / "ports.txt"));
    EXPECT_EQ(readFile(fs::path(folder) / "ports.txt"), "");
    EXPECT_NE(run.output.find("EnumPorts() failed"), std::string::npos) << run.output;
}

TEST_F(ToolsE2E, Rundll32AddsDumpsAndDeletesThePrinter) {
    cups->addDevice(Scheme::Parallel, "lp0");
    std::string folder = makeFolder("rundll32");
    std::string dump = folder + "/kestrel.txt";

    auto add = rundll32({kEntry, "/q", "/u", "/if", "/b", "Kestrel", "/f",
                         "%windir%\\inf\\ntprint.inf", "/r", "LPT1:", "/m", "Generic / Text Only"});
    ASSERT_EQ(add.exitCode, 0) << add.output;
    auto info = spooler->printerInfo("Kestrel");
    ASSERT_TRUE(info.ok());
    EXPECT_EQ(info.value->port, "LPT1:");
    EXPECT_EQ(info.value->driver, "Generic / Text Only");

    auto dumped = rundll32({kEntry, "/q", "/f", dump, "/Xg", "/n", "Kestrel"});
    EXPECT_EQ(dumped.exitCode, 0) << dumped.output;
    EXPECT_EQ(readFile(dump), "Name=Kestrel\r\nDriver=Generic / Text Only\r\nPort=LPT1:\r\n"
                              "Status=0\r\n");
    fs::remove(dump);

    auto deleted = rundll32({kEntry, "/q", "/dl", "/n", "Kestrel"});
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
