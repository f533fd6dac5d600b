#pragma once

#include <cstdint>
#include <optional>

namespace varnel {

// Faults and quirks the emulated tracker can be told to show, for testing
// the host's failure and retry paths.
struct FaultPlan {
    bool silent = false;                          // hears nothing, says nothing
    std::optional<std::uint32_t> nakEraseAt;      // refuse the erase of the block holding this address
    std::optional<std::uint32_t> nakWriteAt;      // refuse a write ('W' or 'V') covering this address
    std::optional<std::uint32_t> corruptReadAt;   // read-back of this address comes back inverted
    std::optional<std::uint64_t> hangupAfter;     // unplug after this many received bytes
    // A bootloader still busy announcing answers the first N 'I' after each
    // handshake with 0xFC instead of its identification record.
    std::uint32_t announceRepeats = 0;
    // One announce sent just before the host's answer was heard reaches the
    // host this many ms after the handshake (a busy host or a slow adapter),
    // or at the latest just ahead of the next thing the device sends.
    std::optional<std::uint32_t> lateAnnounceMs;
};

}  // namespace varnel
