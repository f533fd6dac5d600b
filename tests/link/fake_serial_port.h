#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "core/user_interface.h"
#include "serial/serial_port.h"
#include "serial/serial_timing.h"
#include "link/link_clock.h"

namespace varnel::test {

// Time that passes only when the simulated port waits.
class FakeClock : public LinkClock {
public:
    std::int64_t now = 0;
    std::int64_t nowMs() override { return now; }
    void sleepMs(int ms) override { now += ms; }
};

// An in-memory port: what the code writes is recorded and handed to a
// responder standing in for the device, which queues the bytes to be read.
// Reads that come up short cost simulated time as the real time-outs would.
class FakeSerialPort : public SerialPort {
public:
    explicit FakeSerialPort(FakeClock& clock) : clock_(clock) {}

    struct Open {
        std::string name, speed;
    };

    std::function<void(FakeSerialPort&, const std::vector<std::uint8_t>&)> onWrite;
    std::function<void(FakeSerialPort&)> onOpen;
    std::deque<std::uint8_t> input;
    std::vector<std::uint8_t> written;
    std::vector<std::vector<std::uint8_t>> writes;
    std::vector<Open> opens;
    std::string speed;
    int reads = 0;
    bool failReads = false;
    bool failOpenAtSpeed = false;
    std::string failSpeed;

    void queue(std::initializer_list<std::uint8_t> bytes) { input.insert(input.end(), bytes); }
    void queue(const std::vector<std::uint8_t>& bytes) { input.insert(input.end(), bytes.begin(), bytes.end()); }

    int openPort(const std::string& name, const std::string& s, UserInterface& ui) override {
        opens.push_back({name, s});
        if (failOpenAtSpeed && s == failSpeed) {
            ui.message("Can't open serial port");
            return -1;
        }
        open_ = true;
        speed = s.empty() ? "9600" : s;
        if (onOpen) onOpen(*this);
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
        std::vector<std::uint8_t> w(data, data + n);
        written.insert(written.end(), w.begin(), w.end());
        writes.push_back(w);
        if (onWrite) onWrite(*this, w);
        return n;
    }
    int readBytes(std::uint8_t* buffer, int n) override {
        ++reads;
        if (!open_ || failReads) return -1;
        int got = 0;
        while (got < n && !input.empty()) {
            buffer[got++] = input.front();
            input.pop_front();
        }
        if (got < n) clock_.now += got == 0 ? serial_timing::readTotalMs(n) : serial_timing::kReadIntervalMs;
        return got;
    }
    int flushPort(int discardInput) override {
        if (discardInput) input.clear();
        return 0;
    }

private:
    FakeClock& clock_;
    bool open_ = false;
};

}  // namespace varnel::test
