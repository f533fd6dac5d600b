#include "link/serial_port.h"

namespace varnel {

int SerialPort::sendByte(std::uint8_t b) {
    return writeBytes(&b, 1) == 1 ? 0 : -1;
}

int SerialPort::exchangeByte(std::uint8_t b) {
    flushPort(1);
    if (writeBytes(&b, 1) != 1) return 0xFF;
    return receiveByte();
}

int SerialPort::receiveByte() {
    std::uint8_t b = 0;
    return readBytes(&b, 1) == 1 ? b : 0xFF;
}

}  // namespace varnel
