#include "link/link_clock.h"

#include <chrono>
#include <thread>

namespace varnel {

std::int64_t SystemLinkClock::nowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void SystemLinkClock::sleepMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

}  // namespace varnel
