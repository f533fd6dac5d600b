#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "core/user_interface.h"
#include "device/serial_port.h"
#include "emulator/device_model.h"
#include "link/link_clock.h"

namespace varnel::test {

// What the line does to the bytes crossing it. Noise flips each of the ten
// bits of a character (start, eight data, stop) with probability `ber`: a
// data bit gives a wrong byte and nothing else, a stop bit a framing error
// on a right byte, a start bit a wrong byte and a framing error. A single
// fault strikes the n-th byte (counted from 1) of its direction once.
struct LineFaults {
    double ber = 0;
    bool toDevice = true, toHost = true;
    std::uint32_t seed = 1;

    enum class Single { None, DropToHost, DuplicateToHost, JunkBeforeReply, FlipToHost, FlipToDevice, DropToDevice };
    Single single = Single::None;
    std::uint64_t atByte = 0;
    std::uint8_t flipMask = 0x01;
};

// A serial line in the test's own time between the host's link and the
// emulated tracker: each character takes its wire time at the line speed,
// the device works on virtual time, and reads end as the port's time-outs
// say (all n bytes, a 100 ms gap, or 500 + 2n ms in all). Nothing sleeps,
// so thousands of operations fit in a test.
class VirtualLine : public SerialPort {
public:
    using Clock = DeviceModel::Clock;

    VirtualLine(DeviceModel& device, LineFaults faults)
        : device_(device), faults_(faults), random_(faults.seed) {}

    std::int64_t nowUs() const { return now_; }
    void advance(std::int64_t us) {
        now_ += us;
        pull();
    }
    std::uint64_t lineErrors() const { return lineErrorsTotal_; }
    std::uint64_t bitsFlipped() const { return flips_; }

    int openPort(const std::string&, const std::string& speed, UserInterface&) override {
        baud_ = speed.empty() ? 9600 : static_cast<std::uint32_t>(std::stoul(speed));
        open_ = true;
        arrivals_.clear();
        return 1;
    }
    int closePort() override {
        const bool was = open_;
        open_ = false;
        return was ? 0 : -1;
    }
    bool isOpen() const override { return open_; }

    int writeBytes(const std::uint8_t* data, int n) override {
        if (!open_) return -1;
        for (int i = 0; i < n; ++i) {
            now_ += charUs(baud_);
            pull();
            ++sentToDevice_;
            if (faults_.single == LineFaults::Single::DropToDevice && sentToDevice_ == faults_.atByte)
                continue;
            std::uint8_t b = data[i];
            if (faults_.single == LineFaults::Single::FlipToDevice && sentToDevice_ == faults_.atByte)
                b ^= faults_.flipMask;
            bool framing = false;
            if (faults_.toDevice) noisy(b, framing);
            device_.receive(&b, 1, baud_, at(now_));
        }
        pull();
        return n;
    }

    int readBytes(std::uint8_t* buffer, int n) override {
        if (!open_) return -1;
        const std::int64_t start = now_;
        std::int64_t last = -1;
        int got = 0;
        for (;;) {
            pull();
            if (!arrivals_.empty() && arrivals_.front().at <= now_) {
                buffer[got++] = arrivals_.front().byte;
                lineErrors_ += arrivals_.front().framing ? 1 : 0;
                arrivals_.pop_front();
                last = now_;
                if (got == n) return got;
                continue;
            }
            std::int64_t limit = start + (500 + 2 * static_cast<std::int64_t>(n)) * 1000;
            if (last >= 0) limit = std::min(limit, last + 100 * 1000);
            std::int64_t next = limit;
            if (!arrivals_.empty()) next = std::min(next, arrivals_.front().at);
            if (const auto d = device_.nextDeadline()) next = std::min(next, std::max(now_ + 1, us(*d)));
            if (next >= limit && (arrivals_.empty() || arrivals_.front().at > limit)) {
                now_ = std::max(now_, limit);
                pull();
                return got;
            }
            now_ = std::max(now_, next);
        }
    }

    int flushPort(int discardInput) override {
        pull();
        if (discardInput)
            while (!arrivals_.empty() && arrivals_.front().at <= now_) arrivals_.pop_front();
        return 0;
    }

    int takeLineErrors() override {
        const int e = lineErrors_;
        lineErrorsTotal_ += static_cast<std::uint64_t>(e);
        lineErrors_ = 0;
        return e;
    }

private:
    struct Arrival {
        std::int64_t at;
        std::uint8_t byte;
        bool framing;
    };

    static std::int64_t charUs(std::uint32_t baud) { return 10'000'000 / std::max<std::uint32_t>(baud, 1); }
    static Clock::time_point at(std::int64_t us) { return Clock::time_point{} + std::chrono::microseconds(us); }
    static std::int64_t us(Clock::time_point t) {
        return std::chrono::duration_cast<std::chrono::microseconds>(t.time_since_epoch()).count();
    }

    void noisy(std::uint8_t& b, bool& framing) {
        if (faults_.ber <= 0) return;
        for (int bit = 0; bit < 10; ++bit) {
            if (std::uniform_real_distribution<double>(0, 1)(random_) >= faults_.ber) continue;
            ++flips_;
            if (bit == 0) {  // the start bit: the receiver frames the character wrongly
                b = static_cast<std::uint8_t>((b << 1) | 1);
                framing = true;
            } else if (bit == 9) {
                framing = true;
            } else {
                b ^= static_cast<std::uint8_t>(1u << (bit - 1));
            }
        }
    }

    // Lets the device run up to now and puts what it said on the line.
    void pull() {
        device_.tick(at(now_));
        for (auto& chunk : device_.takeOutput()) {
            std::int64_t t = std::max(now_ + static_cast<std::int64_t>(chunk.busyMicros), lastArrival_);
            // At another speed than the host listens at, the bytes are lost.
            const bool heard = chunk.speed == 0 || chunk.speed == baud_;
            for (std::uint8_t b : chunk.bytes) {
                t += charUs(chunk.speed ? chunk.speed : baud_);
                if (!heard) continue;
                ++sentToHost_;
                const bool strike = faults_.atByte == sentToHost_;
                using S = LineFaults::Single;
                if (strike && faults_.single == S::DropToHost) continue;
                if (strike && faults_.single == S::JunkBeforeReply) {
                    arrivals_.push_back({t, 0x00, false});
                    t += charUs(baud_);
                }
                if (strike && faults_.single == S::FlipToHost) b ^= faults_.flipMask;
                bool framing = false;
                if (faults_.toHost) noisy(b, framing);
                arrivals_.push_back({t, b, framing});
                if (strike && faults_.single == S::DuplicateToHost) arrivals_.push_back({t + charUs(baud_), b, false});
            }
            lastArrival_ = t;
        }
    }

    DeviceModel& device_;
    LineFaults faults_;
    std::mt19937 random_;
    std::int64_t now_ = 0;
    std::int64_t lastArrival_ = 0;
    std::uint32_t baud_ = 9600;
    bool open_ = false;
    std::deque<Arrival> arrivals_;
    std::uint64_t sentToDevice_ = 0, sentToHost_ = 0;
    int lineErrors_ = 0;
    std::uint64_t lineErrorsTotal_ = 0;
    std::uint64_t flips_ = 0;
};

// The link's clock on the line's time.
class VirtualLineClock : public LinkClock {
public:
    explicit VirtualLineClock(VirtualLine& line) : line_(line) {}
    std::int64_t nowMs() override { return line_.nowUs() / 1000; }
    void sleepMs(int ms) override { line_.advance(static_cast<std::int64_t>(ms) * 1000); }

private:
    VirtualLine& line_;
};

}  // namespace varnel::test
