#pragma once
#include "platform/ui/Clock.h"

#include <chrono>
#include <cstdint>
#include <thread>

namespace e2e {

// Virtual time that passes ten times faster than real time: a wizard's fixed waits shrink,
// while the real processes and the scheduler still get real time.
class FastClock : public ui::Clock {
  public:
    std::int64_t nowMs() const override { return now_; }
    void sleepMs(std::int64_t ms) override {
        if (ms <= 0) {
            return;
        }
        std::this_thread::sleep_for(std::chrono::microseconds(ms * 100));
        now_ += ms;
    }

  private:
    std::int64_t now_ = 0;
};

} // namespace e2e
