#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace net {

// One datagram that arrived, with the address it came from.
struct Datagram {
    std::string bytes;
    std::string fromHost; // numeric address text
    std::uint16_t fromPort = 0;
};

// A datagram socket like the socket control in UDP mode: no local port of its own (the
// system picks one on the first send), the remote host and port given with every send, and
// replies coming back to the socket that sent the request. Nothing here blocks: arrivals
// are picked up by polling, from the event loop or from a wait that lets events run.
class UdpSocket {
  public:
    virtual ~UdpSocket() = default;

    // Sends one datagram; returns at once. False on failure (unknown host, no network, ...)
    // with errorText() telling why.
    virtual bool sendTo(const std::string& host, std::uint16_t port, const std::string& bytes) = 0;

    // Takes the next datagram that has arrived, without waiting; nothing when none has.
    virtual std::optional<Datagram> receive() = 0;

    // Closes the socket; a later send opens a new one (with a new local port).
    virtual void close() = 0;

    // Text of the last failure ("" when none).
    virtual std::string errorText() const = 0;

    // The data-arrival event: pollEvents() hands every datagram that has arrived to this
    // handler, in order, and returns how many it handed over. A page calls it from its wait
    // loop (next to ui::App::DoEvents) or from a timer.
    std::function<void(const Datagram&)> onDataArrival;
    int pollEvents();
};

// Makes datagram sockets; the programs get the real one, tests a fake or the real one against
// a loopback peer.
class UdpNetwork {
  public:
    virtual ~UdpNetwork() = default;
    virtual std::unique_ptr<UdpSocket> createUdpSocket() = 0;
};

// POSIX datagram sockets (IPv4 and IPv6; host names are resolved on send).
class RealUdpNetwork : public UdpNetwork {
  public:
    std::unique_ptr<UdpSocket> createUdpSocket() override;
};

} // namespace net
