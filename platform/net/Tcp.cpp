#include "platform/net/Tcp.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace net {

namespace {

std::int64_t monotonicMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

class PosixTcpClient : public TcpClient {
  public:
    PosixTcpClient(int sendTimeoutMs, int closeTimeoutMs)
        : sendTimeoutMs_(sendTimeoutMs), closeTimeoutMs_(closeTimeoutMs) {}
    ~PosixTcpClient() override { drop(); }

    void connect(const std::string& host, std::uint16_t port) override {
        drop();
        error_.clear();
        addrinfo hints{};
        hints.ai_family = AF_UNSPEC;
        hints.ai_socktype = SOCK_STREAM;
        addrinfo* list = nullptr;
        std::string service = std::to_string(port);
        int rc = ::getaddrinfo(host.c_str(), service.c_str(), &hints, &list);
        if (rc != 0 || !list) {
            fail(std::string("cannot resolve ") + host + ": " + ::gai_strerror(rc));
            return;
        }
        // The first address only: the control connects to one address.
        fd_ = ::socket(list->ai_family, list->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC,
                       list->ai_protocol);
        if (fd_ < 0) {
            int e = errno;
            ::freeaddrinfo(list);
            fail(std::strerror(e));
            return;
        }
        rc = ::connect(fd_, list->ai_addr, list->ai_addrlen);
        int e = errno;
        ::freeaddrinfo(list);
        if (rc == 0) {
            state_ = state::Connected;
        } else if (e == EINPROGRESS) {
            state_ = state::Connecting;
        } else {
            fail(std::strerror(e));
        }
    }

    int state() override {
        if (state_ == state::Connecting)
            settle(0);
        return state_;
    }

    bool send(const std::string& bytes) override {
        if (state() != state::Connected) {
            if (error_.empty())
                error_ = "not connected";
            return false;
        }
        std::size_t done = 0;
        std::int64_t deadline = monotonicMs() + sendTimeoutMs_;
        while (done < bytes.size()) {
            ssize_t n = ::send(fd_, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
            if (n > 0) {
                done += static_cast<std::size_t>(n);
                continue;
            }
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
                std::int64_t left = deadline - monotonicMs();
                if (left <= 0) {
                    fail("send timed out");
                    return false;
                }
                pollfd p{fd_, POLLOUT, 0};
                ::poll(&p, 1, static_cast<int>(left));
                continue;
            }
            fail(std::strerror(errno));
            return false;
        }
        return true;
    }

    void close() override {
        if (fd_ < 0) {
            state_ = state::Closed;
            return;
        }
        if (state_ == state::Connected) {
            // Let what was sent reach the peer before the socket goes: stop sending, then
            // wait (bounded) until the peer has taken everything or closes its side.
            ::shutdown(fd_, SHUT_WR);
            std::int64_t deadline = monotonicMs() + closeTimeoutMs_;
            char sink[4096];
            for (;;) {
                int unsent = 0;
                if (::ioctl(fd_, TIOCOUTQ, &unsent) == 0 && unsent == 0)
                    break;
                std::int64_t left = deadline - monotonicMs();
                if (left <= 0)
                    break;
                pollfd p{fd_, POLLIN, 0};
                if (::poll(&p, 1, static_cast<int>(std::min<std::int64_t>(left, 20))) > 0) {
                    ssize_t n = ::recv(fd_, sink, sizeof sink, 0);
                    if (n == 0 || (n < 0 && errno != EAGAIN && errno != EINTR))
                        break;
                }
            }
        }
        drop();
        state_ = state::Closed;
    }

    std::string errorText() const override { return error_; }

  private:
    void settle(int waitMs) {
        pollfd p{fd_, POLLOUT, 0};
        int r = ::poll(&p, 1, waitMs);
        if (r <= 0)
            return;
        int soError = 0;
        socklen_t len = sizeof soError;
        if (::getsockopt(fd_, SOL_SOCKET, SO_ERROR, &soError, &len) != 0)
            soError = errno;
        if (soError == 0)
            state_ = state::Connected;
        else
            fail(std::strerror(soError));
    }

    void fail(const std::string& text) {
        error_ = text;
        state_ = state::Error;
    }

    void drop() {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = -1;
    }

    int sendTimeoutMs_;
    int closeTimeoutMs_;
    int fd_ = -1;
    int state_ = state::Closed;
    std::string error_;
};

} // namespace

std::unique_ptr<TcpClient> RealNetwork::createTcpClient() {
    return std::make_unique<PosixTcpClient>(sendTimeoutMs_, closeTimeoutMs_);
}

} // namespace net
