#include "link/serial_port.h"

#include <algorithm>

#include "core/user_interface.h"

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

int SerialPort::waitSlice(int leftMs) const {
    return waitUi_ ? std::min(leftMs, kWaitSliceMs) : leftMs;
}

void SerialPort::handOver() {
    if (!waitUi_ || handingOver_) return;
    handingOver_ = true;
    waitUi_->pump();
    handingOver_ = false;
}

}  // namespace varnel
