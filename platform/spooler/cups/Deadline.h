#pragma once
#include <cups/http.h>

#include <chrono>

namespace spooler::ipp {

// The end of one user action's time with the scheduler, and the connections whose waits end
// there, never before.
//
// libcups waits on a connection in slices of its timeout (httpSetTimeout). Reading a status
// line or header, the next piece of a body and writing ask the connection's callback after
// every empty slice whether to go on. One wait does not: the wait for the next piece of an
// IPP answer inside ippRead gives up after a single slice, whatever the callback would say,
// and drops an answer the scheduler is still sending (a device listing ends only when the
// slowest backend has). Hence two ways to bind a connection:
//  - InSlices: short slices, the callback goes on until the deadline, the last slice ends
//    there. For requests whose answer is read whole before it is parsed (Exchange.h).
//  - ToDeadline: one slice that lasts until the deadline. For the calls that read their
//    answer inside libcups; bind again right before each such call.
class Deadline {
  public:
    using Clock = std::chrono::steady_clock;
    enum class Waits { InSlices, ToDeadline };

    void startIn(std::chrono::milliseconds span) { at_ = Clock::now() + span; }
    double leftSeconds() const;
    bool passed() const { return leftSeconds() <= 0; }
    // The time left in whole milliseconds (0 once passed).
    int leftMs() const;

    void bind(http_t* http, Waits waits) const;

  private:
    static int stillWaiting(http_t* http, void* self);

    Clock::time_point at_{};
};

} // namespace spooler::ipp
