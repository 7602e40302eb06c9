#pragma once
#include "platform/net/Udp.h"
#include "platform/ui/Clock.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace net {

// Datagram sockets for tests: every send is recorded, and a scripted responder decides what
// comes back and after how long (measured on the clock when one is given; without a clock
// every reply is there at once). Tests may also drop a datagram in at any moment.
class FakeUdpNetwork : public UdpNetwork {
  public:
    struct Sent {
        std::string host;
        std::uint16_t port = 0;
        std::string bytes;
        std::int64_t atMs = 0;
    };
    struct Reply {
        std::string bytes;
        std::int64_t delayMs = 0;
        // Empty / 0: the address the request went to.
        std::string fromHost;
        std::uint16_t fromPort = 0;
    };
    // Nothing: the peer stays silent.
    using Responder = std::function<std::optional<Reply>(const Sent&)>;

    explicit FakeUdpNetwork(const ui::Clock* clock = nullptr);
    ~FakeUdpNetwork() override;

    void setResponder(Responder responder);
    // Every later send fails with this text ("" sends normally again).
    void failSends(std::string errorText);
    // Queues a datagram on the most recently created socket, there at once.
    void deliver(std::string bytes, std::string fromHost = "127.0.0.1",
                 std::uint16_t fromPort = 161);

    const std::vector<Sent>& sent() const;
    std::unique_ptr<UdpSocket> createUdpSocket() override;

    struct State;

  private:
    std::shared_ptr<State> state_;
};

} // namespace net
