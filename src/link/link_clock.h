#pragma once

#include <cstdint>

namespace varnel {

// Where the link reads the time and sleeps; tests substitute a clock that
// the simulated port advances, so time-outs cost no real time.
class LinkClock {
public:
    virtual ~LinkClock() = default;
    virtual std::int64_t nowMs() = 0;
    virtual void sleepMs(int ms) = 0;
};

// The steady clock of the machine.
class SystemLinkClock : public LinkClock {
public:
    std::int64_t nowMs() override;
    void sleepMs(int ms) override;
};

}  // namespace varnel
