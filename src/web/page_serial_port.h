#pragma once

#include <memory>

#include "serial/serial_port.h"

namespace varnel::web {

// The page's one serial port: each open goes to the backend that knows the
// name (a granted port over Web Serial, else an emulated tracker), and
// everything until the close goes to that one. Each backend hands the
// interface its own turns, so both get the wait handler before they come here.
class PageSerialPort : public SerialPort {
public:
    PageSerialPort(std::unique_ptr<SerialPort> serial, std::unique_ptr<SerialPort> emulated)
        : serial_(std::move(serial)), emulated_(std::move(emulated)) {}

    int openPort(const std::string& name, const std::string& speed, UserInterface& ui) override;
    int closePort() override;
    bool isOpen() const override { return open_ && open_->isOpen(); }
    int writeBytes(const std::uint8_t* data, int n) override { return open_ ? open_->writeBytes(data, n) : -1; }
    int readBytes(std::uint8_t* buffer, int n) override { return open_ ? open_->readBytes(buffer, n) : -1; }
    int flushPort(int discardInput) override { return open_ ? open_->flushPort(discardInput) : 0; }
    int takeLineErrors() override { return open_ ? open_->takeLineErrors() : 0; }

private:
    std::unique_ptr<SerialPort> serial_;
    std::unique_ptr<SerialPort> emulated_;
    SerialPort* open_ = nullptr;
};

}  // namespace varnel::web
