#pragma once

#include <string>

#include "serial/serial_port.h"

namespace varnel {

// SerialPort on a Windows COM port, through the Win32 communications calls
// themselves: an exclusive CreateFile, the device control block for the
// line, COMMTIMEOUTS for the read and write time-outs, PurgeComm, and
// EscapeCommFunction for DTR. Reads and writes are synchronous, cut into
// slices when a wait handler is set.
class Win32SerialPort : public SerialPort {
public:
    Win32SerialPort() = default;
    ~Win32SerialPort() override;
    Win32SerialPort(const Win32SerialPort&) = delete;
    Win32SerialPort& operator=(const Win32SerialPort&) = delete;

    int openPort(const std::string& name, const std::string& speed, UserInterface& ui) override;
    int closePort() override;
    bool isOpen() const override { return handle_ != nullptr; }

    int writeBytes(const std::uint8_t* data, int n) override;
    int readBytes(std::uint8_t* buffer, int n) override;
    int flushPort(int discardInput) override;
    int takeLineErrors() override;

    // The path last opened (after slot resolution) and the line speed set.
    const std::string& devicePath() const { return path_; }
    unsigned long baudRate() const { return baud_; }

private:
    void release();
    // Sets the read fields of COMMTIMEOUTS for one wait of waitMs (0: none).
    bool setReadWait(int waitMs);

    void* handle_ = nullptr;  // the HANDLE; null while closed
    std::string path_;
    unsigned long baud_ = 0;
    int readWaitMs_ = -1;  // the read wait COMMTIMEOUTS holds; -1: the driver's own
};

}  // namespace varnel
