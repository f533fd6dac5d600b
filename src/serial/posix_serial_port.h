#pragma once

#include <memory>
#include <optional>
#include <string>

#include "serial/serial_port.h"

namespace varnel {

// SerialPort on a POSIX tty (Linux, macOS): termios for the line, poll on a
// non-blocking descriptor for the time-outs, TIOCEXCL plus an advisory flock
// for the exclusive open; on Linux the driver's low-latency mode while open.
class PosixSerialPort : public SerialPort {
public:
    PosixSerialPort() = default;
    ~PosixSerialPort() override;
    PosixSerialPort(const PosixSerialPort&) = delete;
    PosixSerialPort& operator=(const PosixSerialPort&) = delete;

    int openPort(const std::string& name, const std::string& speed, UserInterface& ui) override;
    int closePort() override;
    bool isOpen() const override { return fd_ >= 0; }

    int writeBytes(const std::uint8_t* data, int n) override;
    int readBytes(std::uint8_t* buffer, int n) override;
    int flushPort(int discardInput) override;
    int takeLineErrors() override;

    // The path last opened (after slot resolution) and the line speed set.
    const std::string& devicePath() const { return path_; }
    unsigned long baudRate() const { return baud_; }

private:
    void release();
    void requestLowLatency();
    void restoreLatency();
    // The driver's error counters (Linux TIOCGICOUNT) summed; nothing when it
    // keeps none.
    std::optional<long> lineErrorCount() const;

    int fd_ = -1;
    std::optional<int> savedSerialFlags_;  // the driver's flags before our low-latency request
    std::string path_;
    unsigned long baud_ = 0;
    long lineErrorsSeen_ = 0;  // the counters' sum at the last look
};

}  // namespace varnel
