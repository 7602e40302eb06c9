#pragma once
#include "platform/spooler/Spooler.h"

#include <cstdint>
#include <functional>
#include <memory>

namespace spooler {

// What the caller does while its call runs on the worker, again and again until the answer is
// there: a window program lets its events run, then sleeps `ms` on its clock.
using SpoolerIdle = std::function<void(std::int64_t ms)>;

// A spooler whose calls run on one thread of their own, beside the caller's window. The
// backend is made, called (in the order of the calls, actions included) and destroyed on that
// thread alone, as libcups keeps its server, password callback, last error and connections
// per thread. A caller waits for each answer, with `idle` running meanwhile: a call made from
// there (a timer, a handler) waits its turn behind the one under way. A wait that ends by an
// exception out of `idle` (the program ended) leaves its call to end unseen. beginAction and
// endAction only queue, so they never wait. Destroying the spooler never waits for a call
// that the backend is still in: that call ends on its own thread (within its limit), and the
// backend goes with it. `makeBackend` runs on the worker and gives a backend (never null).
std::unique_ptr<Spooler> makeWorkerSpooler(std::function<std::unique_ptr<Spooler>()> makeBackend,
                                           SpoolerIdle idle);

} // namespace spooler
