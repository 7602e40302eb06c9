#include "platform/net/Tcp.h"
#include "tests/fixtures/LoopbackPrinter.h"

#include <chrono>
#include <gtest/gtest.h>
#include <thread>

namespace {

// Polls the state as the wizard's timer would, in real time, bounded.
int settle(net::TcpClient& client, int ms = 3000) {
    for (int i = 0; i < ms / 5; ++i) {
        int s = client.state();
        if (s != net::state::Connecting)
            return s;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return client.state();
}

TEST(TcpClient, SendsEveryByteToThePrinterAndCloses) {
    fixtures::LoopbackPrinter printer;
    net::RealNetwork network;
    auto client = network.createTcpClient();
    EXPECT_EQ(client->state(), net::state::Closed);
    client->connect("127.0.0.1", printer.port());
    EXPECT_EQ(settle(*client), net::state::Connected);

    std::string job = "!KVT_SETUP\r\nNIC_SETUP\r\n";
    for (int i = 0; i < 20000; ++i)
        job += "store ifc 2 wlan ssid n" + std::to_string(i) + "\r\n";
    job += std::string("\0\xFF", 2) + "KVT_END\r\n";
    EXPECT_TRUE(client->send(job));
    client->close();
    EXPECT_EQ(client->state(), net::state::Closed);
    ASSERT_TRUE(printer.waitForClosed(1, 5000));
    EXPECT_EQ(printer.received(), job);
    EXPECT_EQ(printer.connectionCount(), 1);
}

TEST(TcpClient, RefusedConnectionEndsInError) {
    std::uint16_t port = fixtures::LoopbackPrinter::unusedPort();
    net::RealNetwork network;
    auto client = network.createTcpClient();
    client->connect("127.0.0.1", port);
    EXPECT_EQ(settle(*client), net::state::Error);
    EXPECT_FALSE(client->send("x"));
    EXPECT_FALSE(client->errorText().empty());
    client->close();
    EXPECT_EQ(client->state(), net::state::Closed);
}

TEST(TcpClient, UnresolvableHostIsAnError) {
    net::RealNetwork network;
    auto client = network.createTcpClient();
    client->connect("not a host name", 9100);
    EXPECT_EQ(client->state(), net::state::Error);
}

TEST(TcpClient, SendWithoutConnectionFails) {
    net::RealNetwork network;
    auto client = network.createTcpClient();
    EXPECT_FALSE(client->send("x"));
    client->close();
    client->close();
    EXPECT_EQ(client->state(), net::state::Closed);
}

TEST(TcpClient, ReconnectAfterClose) {
    fixtures::LoopbackPrinter printer;
    net::RealNetwork network;
    auto client = network.createTcpClient();
    for (const char* text : {"first", "second"}) {
        client->connect("127.0.0.1", printer.port());
        ASSERT_EQ(settle(*client), net::state::Connected);
        EXPECT_TRUE(client->send(text));
        client->close();
    }
    ASSERT_TRUE(printer.waitForClosed(2, 5000));
    EXPECT_EQ(printer.connections(), (std::vector<std::string>{"first", "second"}));
}

} // namespace
