#include "emulator/model/usb_adapter.h"

#include "emulator/model/line_speed.h"

namespace varnel {

std::vector<std::vector<std::uint8_t>> UsbAdapterModel::arrive(const std::uint8_t* data, std::size_t n,
                                                               Clock::time_point now) {
    std::vector<std::vector<std::uint8_t>> full;
    for (std::size_t i = 0; i < n; ++i) {
        if (held_.empty()) first_ = now;
        held_.push_back(data[i]);
        if (held_.size() == kPacketBytes) {
            full.push_back(std::move(held_));
            held_.clear();
        }
    }
    return full;
}

std::optional<std::vector<std::uint8_t>> UsbAdapterModel::due(Clock::time_point now) {
    if (held_.empty() || now < first_ + latency_) return std::nullopt;
    std::vector<std::uint8_t> packet;
    packet.swap(held_);
    return packet;
}

std::optional<UsbAdapterModel::Clock::time_point> UsbAdapterModel::deadline() const {
    if (held_.empty()) return std::nullopt;
    return first_ + latency_;
}

std::uint64_t UsbAdapterModel::holdMicros(std::uint32_t n, std::uint32_t speed, std::chrono::milliseconds latency) {
    const std::uint32_t last = n % kPacketBytes;
    if (last == 0 || speed == 0) return 0;
    const std::uint64_t timer = static_cast<std::uint64_t>(latency.count()) * 1000u;
    const std::uint64_t following = wireTimeMicros(last - 1, speed);
    return timer > following ? timer - following : 0;
}

}  // namespace varnel
