#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <string>

#include "serial/serial_port.h"
#include "emulator/model/device_model.h"

namespace varnel {

// A serial port whose far end is an emulated tracker in the same process:
// what the host writes goes straight to the device model at the port's
// speed, what the model answers is read with the port's time-out table.
// The page offers it as "Emulated tracker" (nothing plugged in), and tests
// can use it without a pseudo-terminal. `modelFor` gives the tracker a port
// name stands for (nullptr: no such device, the open fails).
class ModelPort : public SerialPort {
public:
    using ModelFor = std::function<DeviceModel*(const std::string& name)>;
    explicit ModelPort(ModelFor modelFor) : modelFor_(std::move(modelFor)) {}

    int openPort(const std::string& name, const std::string& speed, UserInterface& ui) override;
    int closePort() override;
    bool isOpen() const override { return model_ != nullptr; }
    int writeBytes(const std::uint8_t* data, int n) override;
    int readBytes(std::uint8_t* buffer, int n) override;
    int flushPort(int discardInput) override;

    std::uint32_t speed() const { return speed_; }

private:
    // The device's answers so far, as the host's UART hears them.
    void collect();

    ModelFor modelFor_;
    DeviceModel* model_ = nullptr;
    std::uint32_t speed_ = 0;
    std::deque<std::uint8_t> input_;
};

}  // namespace varnel
