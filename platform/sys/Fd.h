#pragma once
#include <cerrno>
#include <unistd.h>
#include <utility>

namespace sys {

// An open file descriptor, closed when it goes.
class Fd {
  public:
    Fd() = default;
    explicit Fd(int fd) : fd_(fd) {}
    Fd(Fd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    Fd& operator=(Fd&& other) noexcept {
        if (this != &other) {
            reset();
            fd_ = std::exchange(other.fd_, -1);
        }
        return *this;
    }
    ~Fd() { reset(); }
    int get() const { return fd_; }
    explicit operator bool() const { return fd_ >= 0; }
    // Closes now; errno of a failed close, else 0.
    int close() {
        const int r = ::close(std::exchange(fd_, -1));
        return r == 0 ? 0 : errno;
    }

  private:
    void reset() {
        if (fd_ >= 0)
            ::close(std::exchange(fd_, -1));
    }
    int fd_ = -1;
};

} // namespace sys
