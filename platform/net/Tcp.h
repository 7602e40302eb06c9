#pragma once
#include <cstdint>
#include <memory>
#include <string>

namespace net {

// States of the socket control, with its numbers.
namespace state {
constexpr int Closed = 0;
constexpr int Open = 1;
constexpr int Listening = 2;
constexpr int ConnectionPending = 3;
constexpr int ResolvingHost = 4;
constexpr int HostResolved = 5;
constexpr int Connecting = 6;
constexpr int Connected = 7;
constexpr int Closing = 8;
constexpr int Error = 9;
} // namespace state

// A TCP client that connects in the background, like the socket control the wizard uses.
class TcpClient {
  public:
    virtual ~TcpClient() = default;
    // Starts connecting and returns at once (state Connecting, or Error when the host or
    // port is unusable).
    virtual void connect(const std::string& host, std::uint16_t port) = 0;
    // Current state; a pending connect is looked at without waiting.
    virtual int state() = 0;
    // Sends every byte (waiting as needed, bounded); false on any failure, state Error.
    virtual bool send(const std::string& bytes) = 0;
    // Closes once the sent data has gone out (bounded wait); state Closed.
    virtual void close() = 0;
    // Text of the last failure ("" when none).
    virtual std::string errorText() const = 0;
};

// Makes sockets; the programs get the real one, tests a fake or the real one against a
// loopback peer.
class Network {
  public:
    virtual ~Network() = default;
    virtual std::unique_ptr<TcpClient> createTcpClient() = 0;
};

// POSIX sockets.
class RealNetwork : public Network {
  public:
    // Bounds of the waits inside send and close.
    explicit RealNetwork(int sendTimeoutMs = 30000, int closeTimeoutMs = 5000)
        : sendTimeoutMs_(sendTimeoutMs), closeTimeoutMs_(closeTimeoutMs) {}
    std::unique_ptr<TcpClient> createTcpClient() override;

  private:
    int sendTimeoutMs_;
    int closeTimeoutMs_;
};

} // namespace net
