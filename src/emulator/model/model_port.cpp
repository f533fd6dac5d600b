#include "emulator/model/model_port.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "core/user_interface.h"
#include "serial/serial_timing.h"
#include "serial/serial_messages.h"

namespace varnel {

namespace {

using Clock = DeviceModel::Clock;

// Rounded up: a wait never ends before its deadline.
int msUntil(Clock::time_point t) {
    const auto left = std::chrono::duration_cast<std::chrono::microseconds>(t - Clock::now()).count();
    return left > 0 ? static_cast<int>((left + 999) / 1000) : 0;
}

}  // namespace

int ModelPort::openPort(const std::string& name, const std::string& speed, UserInterface& ui) {
    DeviceModel* model = modelFor_(name);
    if (!model) {
        ui.message(serial_messages::kCantOpen);
        return -1;
    }
    unsigned long baud = 0;
    if (!parsePortSpeed(speed, baud)) {
        ui.message(serial_messages::kInvalidSpeed);
        return -1;
    }
    model_ = model;
    speed_ = static_cast<std::uint32_t>(baud);
    // Opening purges input, as the system ports do.
    model_->tick(Clock::now());
    (void)model_->takeOutput();
    input_.clear();
    return 1;
}

int ModelPort::closePort() {
    if (!model_) return -1;
    model_ = nullptr;
    input_.clear();
    return 0;
}

int ModelPort::writeBytes(const std::uint8_t* data, int n) {
    if (!model_ || handingOver()) return -1;
    if (n <= 0) return 0;
    model_->receive(data, static_cast<std::size_t>(n), speed_, Clock::now());
    return n;
}

void ModelPort::collect() {
    model_->tick(Clock::now());
    for (OutputChunk& chunk : model_->takeOutput()) {
        // Bytes sent at another speed reach the host's UART as noise it
        // does not frame; a USB tracker's speeds mean nothing.
        if (chunk.speed != 0 && chunk.speed != speed_ && !model_->usbCdc()) continue;
        input_.insert(input_.end(), chunk.bytes.begin(), chunk.bytes.end());
    }
}

int ModelPort::readBytes(std::uint8_t* buffer, int n) {
    if (!model_ || handingOver()) return -1;
    if (n <= 0) return 0;
    const auto total = Clock::now() + std::chrono::milliseconds(serial_timing::readTotalMs(n));
    Clock::time_point gapEnd{};
    int got = 0;
    for (;;) {
        collect();
        const int had = got;
        while (got < n && !input_.empty()) {
            buffer[got++] = input_.front();
            input_.pop_front();
        }
        if (got == n) break;
        if (got > had) gapEnd = Clock::now() + std::chrono::milliseconds(serial_timing::kReadIntervalMs);
        int left = msUntil(total);
        if (got > 0) left = std::min(left, msUntil(gapEnd));
        if (left == 0) break;
        // The model answers when ticked: wait a slice (giving the interface
        // its turn) and look again.
        std::this_thread::sleep_for(std::chrono::milliseconds(std::min(left, 1)));
        handOver();
    }
    return got;
}

int ModelPort::flushPort(int discardInput) {
    if (!model_) return 0;
    if (discardInput) {
        collect();
        input_.clear();
    }
    return 0;
}

}  // namespace varnel
