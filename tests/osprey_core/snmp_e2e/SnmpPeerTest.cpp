// The SNMP codec against a real SNMP v1 agent: net-snmp's snmpd, started here on loopback
// with a configuration of its own.
#include "osprey/core/Snmp.h"
#include "platform/net/Udp.h"
#include "tests/fixtures/TempFolder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <netinet/in.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

using namespace osprey;
using namespace std::string_literals;

namespace {

const char* kSysDescr = "Corvane label printer Corlink interface 5.0";
const char* kLine1 = "READY";
const char* kLine2 = "Media out";

std::string findSnmpd() {
    for (const char* p : {"/usr/sbin/snmpd", "/usr/local/sbin/snmpd"})
        if (::access(p, X_OK) == 0)
            return p;
    return {};
}

std::uint16_t freeUdpPort() {
    int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
    socklen_t len = sizeof a;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
    ::close(fd);
    return ntohs(a.sin_port);
}

class SnmpPeer : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        std::string snmpd = findSnmpd();
        if (snmpd.empty())
            return;
        const std::string folder = folder_.emplace("osprey-snmpd").path;
        port_ = freeUdpPort();
        std::string conf = folder + "/snmpd.conf";
        std::ofstream(conf) << "agentAddress udp:127.0.0.1:" << port_ << "\n"
                            << "rocommunity mirtex 127.0.0.1\n"
                            << "sysDescr " << kSysDescr << "\n"
                            << "override 1.3.6.1.2.1.43.16.5.1.2.1.1 octet_str \"" << kLine1
                            << "\"\n"
                            << "override 1.3.6.1.2.1.43.16.5.1.2.1.2 octet_str \"" << kLine2
                            << "\"\n";
        std::string log = folder + "/snmpd.log";
        std::string pidFile = folder + "/snmpd.pid";
        std::vector<std::string> args = {snmpd, "-f", "-C", "-c", conf, "-Lf", log, "-p", pidFile};
        std::vector<char*> argv;
        for (auto& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        // Its persistent state goes to our folder, not the machine's.
        std::vector<std::string> env = {"SNMP_PERSISTENT_DIR=" + folder + "/persist", "MIBS="};
        for (char** e = environ; *e; ++e)
            if (!std::string(*e).starts_with("SNMP_PERSISTENT_DIR=") &&
                !std::string(*e).starts_with("MIBS="))
                env.push_back(*e);
        std::vector<char*> envp;
        for (auto& e : env)
            envp.push_back(e.data());
        envp.push_back(nullptr);
        if (::posix_spawn(&pid_, snmpd.c_str(), nullptr, nullptr, argv.data(), envp.data()) != 0)
            pid_ = -1;
    }

    static void TearDownTestSuite() {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            int status = 0;
            ::waitpid(pid_, &status, 0);
            pid_ = -1;
        }
        folder_.reset();
    }

    void SetUp() override {
        if (findSnmpd().empty())
            GTEST_SKIP() << "snmpd is not installed";
        ASSERT_GT(pid_, 0) << "snmpd did not start";
        if (!ready_) {
            // The agent answers once it has read its configuration.
            for (int i = 0; i < 50 && !ready_; ++i)
                ready_ = ask("1.3.6.1.2.1.1.1.0", "mirtex", 100).has_value();
            ASSERT_TRUE(ready_) << "snmpd does not answer on port " << port_;
        }
    }

    // Sends the whole send buffer as the wizard does and waits for one reply.
    std::optional<std::string> ask(const std::string& oid, const std::string& community,
                                   int waitMs) {
        auto request = makeGetRequest(community, oid, kSnmpGetRequest);
        EXPECT_TRUE(request.has_value());
        if (!request || snmpEncode(*request, buffer_) == 0)
            return std::nullopt;
        auto socket = network_.createUdpSocket();
        std::string datagram(buffer_.begin(), buffer_.end());
        EXPECT_TRUE(socket->sendTo("127.0.0.1", port_, datagram)) << socket->errorText();
        auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
        while (std::chrono::steady_clock::now() < until) {
            if (auto d = socket->receive())
                return d->bytes;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return std::nullopt;
    }

    std::string text(const std::string& oid) {
        auto reply = ask(oid, "mirtex", 3000);
        EXPECT_TRUE(reply.has_value()) << oid;
        SnmpDecoded d = snmpDecode(reply.value_or(""));
        EXPECT_EQ(d.error, "") << oid;
        return d.text;
    }

    static inline std::optional<test_fixtures::TempFolder> folder_;
    static inline std::uint16_t port_ = 0;
    static inline pid_t pid_ = -1;
    static inline bool ready_ = false;
    net::RealUdpNetwork network_;
    SnmpSendBuffer buffer_{};
};

} // namespace

TEST_F(SnmpPeer, SystemDescriptionAndDisplayLines) {
    // A text value carries one character more: the zero behind the datagram.
    EXPECT_EQ(text("1.3.6.1.2.1.1.1.0"), kSysDescr + "\0"s);
    EXPECT_EQ(dropLastCharacter(text("1.3.6.1.2.1.43.16.5.1.2.1.1")), kLine1);
    EXPECT_EQ(dropLastCharacter(text("1.3.6.1.2.1.43.16.5.1.2.1.2")), kLine2);
}

TEST_F(SnmpPeer, OtherValueTypesAndErrors) {
    // sysObjectID: an object identifier value; sysUpTime: TimeTicks.
    EXPECT_EQ(text("1.3.6.1.2.1.1.2.0").rfind("1.3.6.1.4.1.", 0), 0u);
    std::string ticks = text("1.3.6.1.2.1.1.3.0");
    ASSERT_GE(ticks.size(), 3u);
    EXPECT_EQ(ticks.substr(ticks.size() - 2), "\r\n");
    EXPECT_EQ(ticks.find_first_not_of("0123456789"), ticks.size() - 2);
    // An object the agent lacks: noSuchName, with the request's NULL echoed.
    auto missing = ask("1.3.6.1.2.1.43.16.5.1.2.1.9", "mirtex", 3000);
    ASSERT_TRUE(missing.has_value());
    EXPECT_EQ(snmpDecode(*missing).errorStatus, 2u);
    EXPECT_EQ(snmpDecode(*missing).text, "Error status 2 (noSuchName)");
    // A wrong community gets no answer at all.
    EXPECT_FALSE(ask("1.3.6.1.2.1.1.1.0", "public", 300).has_value());
}
