#include "web/page_serial_port.h"

#include "serial/web_serial_port.h"

namespace varnel::web {

int PageSerialPort::openPort(const std::string& name, const std::string& speed, UserInterface& ui) {
    SerialPort& port = WebSerialPort::opens(name) ? *serial_ : *emulated_;
    const int result = port.openPort(name, speed, ui);
    if (result == 1) open_ = &port;
    return result;
}

int PageSerialPort::closePort() {
    if (!open_) return -1;
    SerialPort* port = open_;
    open_ = nullptr;
    return port->closePort();
}

}  // namespace varnel::web
