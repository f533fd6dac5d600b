#pragma once

#include <string>
#include <vector>

#include "serial/serial_port.h"

namespace varnel::web {

// SerialPort over the browser's Web Serial API, on a port the user has
// granted the page ("serial:N", the page's number for it). The page's script
// (site/serial.js) keeps what the port delivers; every wait is a promise C++
// awaits, cut into slices that hand the interface its turn, so reads and
// writes keep the desktop backends' time-out table exactly. A speed change
// is a close and a reopen, as everywhere.
class WebSerialPort : public SerialPort {
public:
    WebSerialPort() = default;
    ~WebSerialPort() override;
    WebSerialPort(const WebSerialPort&) = delete;
    WebSerialPort& operator=(const WebSerialPort&) = delete;

    // True for the names this backend opens.
    static bool opens(const std::string& name);

    int openPort(const std::string& name, const std::string& speed, UserInterface& ui) override;
    int closePort() override;
    bool isOpen() const override { return number_ != 0; }
    int writeBytes(const std::uint8_t* data, int n) override;
    int readBytes(std::uint8_t* buffer, int n) override;
    int flushPort(int discardInput) override;
    // The framing, parity, break and overrun errors the browser reported on
    // the received side since the last call (each one ends its read stream;
    // the page's reader goes on on the next).
    int takeLineErrors() override;

private:
    int number_ = 0;
};

// The ports granted to the page (listSerialPorts lists them, as
// "Serial port N" with their USB ids).
namespace granted_ports {

// Waits once, at start, until the browser has said which ports were granted
// before, so none of them looks newly plugged in to the port watch.
void awaitKnown();
// False where the browser has no Web Serial.
bool canAdd();
// The browser's chooser: the path of the port granted, "" if none was.
std::string add();

}  // namespace granted_ports

}  // namespace varnel::web
