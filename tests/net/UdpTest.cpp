#include "platform/net/Udp.h"
#include "tests/support/FakeUdp.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <chrono>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

// A loopback peer that answers each datagram with a prefix and the datagram.
class EchoPeer {
  public:
    EchoPeer() {
        fd_ = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a);
        socklen_t len = sizeof a;
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &len);
        port_ = ntohs(a.sin_port);
    }
    ~EchoPeer() { ::close(fd_); }
    std::uint16_t port() const { return port_; }

    // Answers one datagram (waiting at most a second); returns what came.
    std::string answerOne(const std::string& prefix) {
        pollfd p{fd_, POLLIN, 0};
        if (::poll(&p, 1, 1000) != 1)
            return "<nothing>";
        char buf[2048];
        sockaddr_in from{};
        socklen_t len = sizeof from;
        ssize_t n = ::recvfrom(fd_, buf, sizeof buf, 0, reinterpret_cast<sockaddr*>(&from), &len);
        std::string got(buf, static_cast<std::size_t>(n));
        std::string reply = prefix + got;
        ::sendto(fd_, reply.data(), reply.size(), 0, reinterpret_cast<sockaddr*>(&from), len);
        return got;
    }

  private:
    int fd_ = -1;
    std::uint16_t port_ = 0;
};

std::optional<net::Datagram> awaitDatagram(net::UdpSocket& s) {
    for (int i = 0; i < 1000; ++i) {
        if (auto d = s.receive())
            return d;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return std::nullopt;
}

} // namespace

TEST(RealUdp, SendsAndTakesTheReplyWithoutBlocking) {
    EchoPeer peer;
    net::RealUdpNetwork network;
    auto s = network.createUdpSocket();
    EXPECT_FALSE(s->receive().has_value()); // nothing sent yet: no socket, no wait

    std::string request(256, '\0');
    request[0] = 0x30;
    ASSERT_TRUE(s->sendTo("127.0.0.1", peer.port(), request)) << s->errorText();
    EXPECT_EQ(peer.answerOne("re:"), request); // all 256 bytes in one datagram
    auto d = awaitDatagram(*s);
    ASSERT_TRUE(d.has_value());
    EXPECT_EQ(d->bytes, "re:" + request);
    EXPECT_EQ(d->fromHost, "127.0.0.1");
    EXPECT_EQ(d->fromPort, peer.port());
    EXPECT_FALSE(s->receive().has_value());

    // The data-arrival event: every waiting datagram, in order.
    ASSERT_TRUE(s->sendTo("127.0.0.1", peer.port(), "a"));
    peer.answerOne("1");
    ASSERT_TRUE(s->sendTo("127.0.0.1", peer.port(), "b"));
    peer.answerOne("2");
    std::vector<std::string> arrived;
    s->onDataArrival = [&](const net::Datagram& dg) { arrived.push_back(dg.bytes); };
    for (int i = 0; i < 1000 && arrived.size() < 2; ++i) {
        s->pollEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_EQ(arrived, (std::vector<std::string>{"1a", "2b"}));
}

TEST(RealUdp, FailuresAreReportedNotThrown) {
    net::RealUdpNetwork network;
    auto s = network.createUdpSocket();
    EXPECT_FALSE(s->sendTo("", 161, "x"));
    EXPECT_NE(s->errorText(), "");
    // Nobody listens: the send still goes out and no reply ever comes.
    EchoPeer silent;
    std::uint16_t port = silent.port();
    ASSERT_TRUE(s->sendTo("127.0.0.1", port, "x")) << s->errorText();
    s->close();
    EXPECT_FALSE(s->receive().has_value());
}

TEST(FakeUdp, ScriptedRepliesArriveOnTheClock) {
    ui::VirtualClock clock;
    net::FakeUdpNetwork network(&clock);
    network.setResponder(
        [](const net::FakeUdpNetwork::Sent& s) -> std::optional<net::FakeUdpNetwork::Reply> {
            if (s.host == "10.0.0.99")
                return std::nullopt; // silent
            return net::FakeUdpNetwork::Reply{"re:" + s.bytes, 2000, "", 0};
        });
    auto s = network.createUdpSocket();
    ASSERT_TRUE(s->sendTo("10.0.0.5", 161, "q1"));
    ASSERT_TRUE(s->sendTo("10.0.0.99", 161, "q2"));
    ASSERT_EQ(network.sent().size(), 2u);
    EXPECT_EQ(network.sent()[0].bytes, "q1");
    EXPECT_EQ(network.sent()[1].host, "10.0.0.99");

    EXPECT_FALSE(s->receive().has_value());
    clock.advanceTo(1999);
    EXPECT_EQ(s->pollEvents(), 0);
    clock.advanceTo(2000);
    auto d = s->receive();
    ASSERT_TRUE(d.has_value());
    EXPECT_EQ(d->bytes, "re:q1");
    EXPECT_EQ(d->fromHost, "10.0.0.5");
    EXPECT_EQ(d->fromPort, 161);
    clock.advanceTo(10000);
    EXPECT_FALSE(s->receive().has_value());
}

TEST(FakeUdp, InjectedDatagramsFailuresAndClose) {
    net::FakeUdpNetwork network;
    auto s = network.createUdpSocket();
    std::vector<std::string> arrived;
    s->onDataArrival = [&](const net::Datagram& d) { arrived.push_back(d.bytes); };
    network.deliver("\x01");
    network.deliver("late");
    EXPECT_EQ(s->pollEvents(), 2);
    EXPECT_EQ(arrived, (std::vector<std::string>{"\x01", "late"}));

    network.failSends("network is unreachable");
    EXPECT_FALSE(s->sendTo("10.0.0.5", 161, "x"));
    EXPECT_EQ(s->errorText(), "network is unreachable");
    EXPECT_TRUE(network.sent().empty());
    network.failSends("");

    network.setResponder([](const net::FakeUdpNetwork::Sent&) {
        return std::optional<net::FakeUdpNetwork::Reply>(net::FakeUdpNetwork::Reply{"r", 0, "", 0});
    });
    ASSERT_TRUE(s->sendTo("10.0.0.5", 161, "x"));
    s->close(); // replies to a closed socket are lost
    EXPECT_FALSE(s->receive().has_value());
}
