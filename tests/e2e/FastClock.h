#pragma once
#include "platform/ui/Clock.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <thread>

namespace e2e {

// Virtual time that passes ten times faster than real time: a wizard's fixed waits shrink,
// while the real processes and the scheduler still get real time. With `settled` set, time
// stands still while it says that real work is under way (a job still on its way to a
// device), so that on a busy machine a wizard's wait never runs out before the work is
// done; after a generous real time it gives up holding, and the test sees what follows.
class FastClock : public ui::Clock {
  public:
    std::function<bool()> settled;

    std::int64_t nowMs() const override { return now_; }
    void sleepMs(std::int64_t ms) override {
        if (ms <= 0) {
            return;
        }
        // Asking costs real time; once per quarter of a virtual second is often enough
        // against waits of seconds.
        if (now_ >= nextCheck_) {
            hold();
            nextCheck_ = now_ + 250;
        }
        std::this_thread::sleep_for(std::chrono::microseconds(ms * 100));
        now_ += ms;
    }

  private:
    void hold() {
        if (!settled || gaveUp_) {
            return;
        }
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (!settled()) {
            if (std::chrono::steady_clock::now() > deadline) {
                gaveUp_ = true;
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }

    std::int64_t now_ = 0;
    std::int64_t nextCheck_ = 0;
    bool gaveUp_ = false;
};

} // namespace e2e
