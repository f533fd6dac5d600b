#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <vector>

namespace varnel {

// A USB-serial adapter between the tracker's UART and the host. What the
// UART receives gathers in the adapter's buffer and travels to the host as
// one USB packet when kPacketBytes have gathered, or when the latency timer
// runs out after the packet's first byte. A short reply therefore reaches the
// host only after the timer, however fast the line is.
class UsbAdapterModel {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::size_t kPacketBytes = 62;  // 64 less the two status bytes

    explicit UsbAdapterModel(std::chrono::milliseconds latency) : latency_(latency) {}

    // Bytes from the UART at `now`; returns the packets that filled up.
    std::vector<std::vector<std::uint8_t>> arrive(const std::uint8_t* data, std::size_t n, Clock::time_point now);
    // The held packet once its timer has run out.
    std::optional<std::vector<std::uint8_t>> due(Clock::time_point now);
    // When the held packet's timer runs out (nothing when none is held).
    std::optional<Clock::time_point> deadline() const;
    // Room left in the packet being gathered.
    std::size_t room() const { return kPacketBytes - held_.size(); }

    // The least time this adapter adds to a reply of n bytes that crosses
    // the line at `speed`: its last packet, unless it fills up, waits for the
    // timer, less the wire time of its bytes after the first.
    static std::uint64_t holdMicros(std::uint32_t n, std::uint32_t speed, std::chrono::milliseconds latency);

private:
    std::chrono::milliseconds latency_;
    std::vector<std::uint8_t> held_;
    Clock::time_point first_{};
};

}  // namespace varnel
