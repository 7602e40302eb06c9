#pragma once
#include "platform/ui/App.h"
#include "platform/ui/Form.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace testing_support {

// The window's event loop as a user meets it: a timer on a form of its own (never shown) that
// ticks every `intervalMs` of the program's clock while events run, and notes when.
class TickProbe : public ui::Form {
  public:
    explicit TickProbe(ui::App& app, int intervalMs = 100)
        : ui::Form(app, "TickProbe"), intervalMs_(intervalMs) {}

    // The timer runs from now on.
    void start() {
        startedAt_ = app().now();
        load();
    }
    const std::vector<std::int64_t>& ticks() const { return ticks_; }
    // The longest time without a tick, from the start to `untilMs`: a window whose events
    // keep running stays near the interval, one that froze shows how long it did.
    std::int64_t longestGap(std::int64_t untilMs) const {
        std::int64_t longest = 0;
        std::int64_t last = startedAt_;
        for (std::int64_t t : ticks_) {
            longest = std::max(longest, t - last);
            last = t;
        }
        return std::max(longest, untilMs - last);
    }

  protected:
    void Build() override {
        timer("Tick", intervalMs_, true).onTimer = [this] { ticks_.push_back(app().now()); };
    }

  private:
    int intervalMs_;
    std::int64_t startedAt_ = 0;
    std::vector<std::int64_t> ticks_;
};

} // namespace testing_support
