#include "cli/fleet/fleet_interrupt.h"

#include <csignal>

namespace varnel::cli {

namespace {

// The one flag of the process, and the only one the program has: a signal
// handler is given no argument, so what it sets must be reachable without
// one. A lock-free atomic is safe to set from a handler and to read from
// every unit's thread; nothing else is shared between the units.
std::atomic<bool> interrupted{false};
static_assert(std::atomic<bool>::is_always_lock_free);

extern "C" void onInterrupt(int /*signal*/) { interrupted.store(true); }

using Handler = void (*)(int);
Handler previous = SIG_DFL;

}  // namespace

InterruptWatch::InterruptWatch() {
    interrupted.store(false);
    previous = std::signal(SIGINT, onInterrupt);
}

InterruptWatch::~InterruptWatch() { std::signal(SIGINT, previous == SIG_ERR ? SIG_DFL : previous); }

const std::atomic<bool>& InterruptWatch::flag() const { return interrupted; }

}  // namespace varnel::cli
