#include "platform/spooler/cups/Deadline.h"

#include <algorithm>

namespace spooler::ipp {

namespace {

// How often a wait in slices asks whether to go on.
constexpr double kSliceSeconds = 0.2;
// libcups ignores a timeout of 0, and a wait of 0 ms polls without waiting.
constexpr double kShortestSeconds = 0.001;

} // namespace

double Deadline::leftSeconds() const {
    return std::chrono::duration<double>(at_ - Clock::now()).count();
}

int Deadline::leftMs() const {
    return static_cast<int>(std::max(0.0, leftSeconds() * 1000));
}

void Deadline::bind(http_t* http, Waits waits) const {
    const double left = leftSeconds();
    const double slice = waits == Waits::InSlices ? std::min(kSliceSeconds, left) : left;
    httpSetTimeout(http, std::max(slice, kShortestSeconds), stillWaiting,
                   const_cast<Deadline*>(this));
}

int Deadline::stillWaiting(http_t* http, void* self) {
    const auto* deadline = static_cast<const Deadline*>(self);
    if (deadline->passed()) {
        return 0;
    }
    // The loops that asked read the slice again before their next wait: it ends at the
    // deadline at the latest.
    deadline->bind(http, Waits::InSlices);
    return 1;
}

} // namespace spooler::ipp
