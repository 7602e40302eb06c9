#include "platform/net/Udp.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace net {

int UdpSocket::pollEvents() {
    int handed = 0;
    while (auto d = receive()) {
        ++handed;
        if (onDataArrival)
            onDataArrival(*d);
    }
    return handed;
}

namespace {

class PosixUdpSocket : public UdpSocket {
  public:
    ~PosixUdpSocket() override { close(); }

    bool sendTo(const std::string& host, std::uint16_t port, const std::string& bytes) override {
        error_.clear();
        addrinfo hints{};
        hints.ai_family = AF_UNSPEC;
        hints.ai_socktype = SOCK_DGRAM;
        addrinfo* list = nullptr;
        std::string service = std::to_string(port);
        int rc = ::getaddrinfo(host.c_str(), service.c_str(), &hints, &list);
        if (rc != 0 || !list) {
            error_ = "cannot resolve " + host + ": " + ::gai_strerror(rc);
            return false;
        }
        // One socket per address family; a send to the other family opens a new one.
        if (fd_ >= 0 && family_ != list->ai_family)
            close();
        if (fd_ < 0) {
            fd_ = ::socket(list->ai_family, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
            if (fd_ < 0) {
                error_ = std::strerror(errno);
                ::freeaddrinfo(list);
                return false;
            }
            family_ = list->ai_family;
        }
        ssize_t n;
        do {
            n = ::sendto(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL, list->ai_addr,
                         list->ai_addrlen);
        } while (n < 0 && errno == EINTR);
        int e = errno;
        ::freeaddrinfo(list);
        if (n < 0) {
            error_ = std::strerror(e);
            return false;
        }
        if (static_cast<std::size_t>(n) != bytes.size()) {
            error_ = "datagram sent in part";
            return false;
        }
        return true;
    }

    std::optional<Datagram> receive() override {
        if (fd_ < 0)
            return std::nullopt;
        std::vector<char> buf(65536);
        for (;;) {
            sockaddr_storage from{};
            socklen_t fromLen = sizeof from;
            ssize_t n = ::recvfrom(fd_, buf.data(), buf.size(), 0,
                                   reinterpret_cast<sockaddr*>(&from), &fromLen);
            if (n < 0) {
                // Nothing waiting; an error left by an earlier send (port unreachable)
                // is no datagram either.
                if (errno == EINTR)
                    continue;
                if (errno != EAGAIN && errno != EWOULDBLOCK)
                    error_ = std::strerror(errno);
                return std::nullopt;
            }
            Datagram d;
            d.bytes.assign(buf.data(), static_cast<std::size_t>(n));
            char text[INET6_ADDRSTRLEN] = {};
            if (from.ss_family == AF_INET) {
                auto* a = reinterpret_cast<sockaddr_in*>(&from);
                ::inet_ntop(AF_INET, &a->sin_addr, text, sizeof text);
                d.fromPort = ntohs(a->sin_port);
            } else if (from.ss_family == AF_INET6) {
                auto* a = reinterpret_cast<sockaddr_in6*>(&from);
                ::inet_ntop(AF_INET6, &a->sin6_addr, text, sizeof text);
                d.fromPort = ntohs(a->sin6_port);
            }
            d.fromHost = text;
            return d;
        }
    }

    void close() override {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = -1;
        family_ = AF_UNSPEC;
    }

    std::string errorText() const override { return error_; }

  private:
    int fd_ = -1;
    int family_ = AF_UNSPEC;
    std::string error_;
};

} // namespace

std::unique_ptr<UdpSocket> RealUdpNetwork::createUdpSocket() {
    return std::make_unique<PosixUdpSocket>();
}

} // namespace net
