#pragma once
#include <cstdint>

namespace ui {

// Milliseconds on a monotonic clock. Real in the programs, virtual in tests, so that a
// fifteen-second wait costs no real time in a test.
class Clock {
  public:
    virtual ~Clock() = default;
    virtual std::int64_t nowMs() const = 0;
    virtual void sleepMs(std::int64_t ms) = 0;
};

class RealClock : public Clock {
  public:
    std::int64_t nowMs() const override;
    void sleepMs(std::int64_t ms) override;
};

// Time moves only when someone sleeps or advances it.
class VirtualClock : public Clock {
  public:
    std::int64_t nowMs() const override { return now_; }
    void sleepMs(std::int64_t ms) override {
        if (ms > 0)
            now_ += ms;
    }
    void advanceTo(std::int64_t t) {
        if (t > now_)
            now_ = t;
    }

  private:
    std::int64_t now_ = 0;
};

} // namespace ui
