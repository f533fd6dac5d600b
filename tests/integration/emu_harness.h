#pragma once

// The emulated tracker for integration tests: an EmulatorRunner started on
// its own pseudo-terminal, plus a plain termios port for tests that talk to
// it byte by byte without the host's link code.

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "emulator/emulator_runner.h"

namespace varnel::test {

class EmulatorHarness : public EmulatorRunner {
public:
    explicit EmulatorHarness(const std::string& chip = "AP64", bool inBootloader = false)
        : EmulatorRunner(makeOptions(chip, inBootloader)) {
        start();
    }
    explicit EmulatorHarness(const EmulatorOptions& options) : EmulatorRunner(options) { start(); }

private:
    static EmulatorOptions makeOptions(const std::string& chip, bool inBootloader) {
        EmulatorOptions o;
        o.chip = chip;
        o.startInBootloader = inBootloader;
        return o;
    }
};

// A raw 8N1 port on the emulator's pty, as simple as a test needs.
class HostPort {
public:
    HostPort(const std::string& path, speed_t speed) {
        fd_ = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (fd_ < 0) return;
        termios t{};
        tcgetattr(fd_, &t);
        cfmakeraw(&t);
        cfsetispeed(&t, speed);
        cfsetospeed(&t, speed);
        tcsetattr(fd_, TCSANOW, &t);
        tcflush(fd_, TCIFLUSH);
    }
    ~HostPort() { close(); }
    HostPort(const HostPort&) = delete;
    HostPort& operator=(const HostPort&) = delete;

    bool isOpen() const { return fd_ >= 0; }
    void close() {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
    }
    void flushInput() { tcflush(fd_, TCIFLUSH); }

    bool write(const std::vector<std::uint8_t>& bytes) {
        return ::write(fd_, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
    }

    // Reads until n bytes came or timeout passed; returns what came.
    std::vector<std::uint8_t> read(std::size_t n, std::chrono::milliseconds timeout) {
        std::vector<std::uint8_t> got;
        const auto end = std::chrono::steady_clock::now() + timeout;
        while (got.size() < n) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
            if (left.count() <= 0) break;
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, static_cast<int>(left.count())) <= 0) continue;
            std::uint8_t buf[512];
            const ssize_t r = ::read(fd_, buf, std::min(sizeof buf, n - got.size()));
            if (r <= 0) break;
            got.insert(got.end(), buf, buf + r);
        }
        return got;
    }

    // Waits for one specific byte, ignoring others.
    bool waitFor(std::uint8_t wanted, std::chrono::milliseconds timeout) {
        const auto end = std::chrono::steady_clock::now() + timeout;
        while (std::chrono::steady_clock::now() < end) {
            auto b =
                read(1, std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now()));
            if (!b.empty() && b[0] == wanted) return true;
        }
        return false;
    }

private:
    int fd_ = -1;
};

}  // namespace varnel::test
