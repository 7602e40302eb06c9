#include "portlister/PortList.h"
#include "platform/sys/System.h"
#include "tests/fixtures/TempFolder.h"
#include "tests/support/MemorySpooler.h"

#include <gtest/gtest.h>
#include <sstream>

using Ports = spooler::Result<std::vector<std::string>>;

namespace {

using test_fixtures::TempFolder;

const std::string kDashes(28, '-');

TEST(ListPorts, ConsoleAndFileByteExact) {
    auto out = portlister::listPorts(Ports::success({"LPT1:", "COM1:", "USB001"}));
    EXPECT_EQ(out.console, "Ports: size: 115 bytes   3\n" + kDashes + "\nLPT1:\nCOM1:\nUSB001\n");
    EXPECT_EQ(out.file, "LPT1:\r\nCOM1:\r\nUSB001\r\n");
}

TEST(ListPorts, NoPorts) {
    auto out = portlister::listPorts(Ports::success({}));
    EXPECT_EQ(out.console, "Ports: size: 0 bytes   0\n" + kDashes + "\n");
    EXPECT_EQ(out.file, "");
}

TEST(ListPorts, FailedEnumerationKeepsTheConsoleAndNamesTheCause) {
    const std::pair<int, const char*> causes[] = {
        {spooler::err::ServiceUnavailable, "cannot be reached (no scheduler is running) (1722)"},
        {spooler::err::AccessDenied, "access denied (the printing system's administrators only)"},
        {spooler::err::Timeout, "did not answer in time (1460)"},
    };
    for (auto [error, words] : causes) {
        auto out = portlister::listPorts(Ports::failure(error));
        EXPECT_EQ(out.console, "Ports: size: 0 bytes   0\n" + kDashes + "\nEnumPorts() failed\n");
        EXPECT_EQ(out.file, "");
        EXPECT_TRUE(out.error.starts_with("Wren: cannot list the ports: ")) << out.error;
        EXPECT_NE(out.error.find(words), std::string::npos) << out.error;
        EXPECT_EQ(out.error.find('\n'), out.error.size() - 1) << "one line";
    }
    EXPECT_EQ(portlister::listPorts(Ports::success({"LPT1:"})).error, "");
}

TEST(ListPorts, ManyPortsAreAllListed) {
    std::vector<std::string> ports;
    std::string file;
    for (int i = 1; i <= 1000; ++i) {
        ports.push_back("COM" + std::to_string(i) + ":");
        file += ports.back() + "\r\n";
    }
    ASSERT_GT(portlister::reportedBytes(ports), 16384u);
    auto out = portlister::listPorts(Ports::success(ports));
    EXPECT_EQ(out.file, file);
    EXPECT_NE(out.console.find("   1000\n"), std::string::npos);
    EXPECT_TRUE(out.console.ends_with("COM1000:\n"));
}

TEST(RunWren, WritesPortsTxtAndReplacesEarlierList) {
    TempFolder folder("wren", TempFolder::Enter::Yes);
    sys::RealSystem system("/nowhere");
    spooler::MemorySpooler spool;
    spool.setPorts({"LPT1:", "LPT2:"});
    std::ostringstream console, errors;
    EXPECT_EQ(portlister::runWren(spool, system, console, errors), 0);
    EXPECT_EQ(system.readFile("ports.txt"), "LPT1:\r\nLPT2:\r\n");

    spool.setPorts({"USB001"});
    portlister::runWren(spool, system, console, errors);
    EXPECT_EQ(system.readFile("ports.txt"), "USB001\r\n");

    spool.failNext(spooler::MemorySpooler::Call::Ports, 1722);
    std::ostringstream failed;
    portlister::runWren(spool, system, failed, errors);
    EXPECT_EQ(system.readFile("ports.txt"), ""); // emptied, never stale
    EXPECT_TRUE(failed.str().ends_with("EnumPorts() failed\n"));
    EXPECT_TRUE(errors.str().starts_with("Wren: cannot list the ports: ")) << errors.str();
}

TEST(RunWren, UnwritableFolderStillListsAndSaysSo) {
    TempFolder folder("wren-ro", TempFolder::Enter::Yes);
    sys::RealSystem system("/nowhere");
    spooler::MemorySpooler spool;
    spool.setPorts({"LPT1:"});
    std::filesystem::create_directory("ports.txt"); // a folder where the file should go
    std::ostringstream console, errors;
    EXPECT_EQ(portlister::runWren(spool, system, console, errors), 0);
    EXPECT_TRUE(console.str().ends_with("LPT1:\n"));
    EXPECT_TRUE(errors.str().starts_with("Cannot write ports.txt"));
}

} // namespace
