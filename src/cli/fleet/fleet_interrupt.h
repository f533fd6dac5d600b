#pragma once

#include <atomic>

namespace varnel::cli {

// While one lives, Ctrl-C does not end the program: it sets the flag, and
// every unit's link stops at its next block boundary. The handler it had
// before comes back when it goes.
class InterruptWatch {
public:
    InterruptWatch();
    ~InterruptWatch();
    InterruptWatch(const InterruptWatch&) = delete;
    InterruptWatch& operator=(const InterruptWatch&) = delete;
    const std::atomic<bool>& flag() const;
};

}  // namespace varnel::cli
