#include "serial/serial_port.h"

#include <algorithm>

#include "core/user_interface.h"
#include "serial/serial_timing.h"

namespace varnel {

int SerialPort::sendByte(std::uint8_t b) { return writeBytes(&b, 1) == 1 ? 0 : -1; }

int SerialPort::exchangeByte(std::uint8_t b) {
    flushPort(1);
    if (writeBytes(&b, 1) != 1) return 0xFF;
    return receiveByte();
}

int SerialPort::receiveByte() {
    std::uint8_t b = 0;
    return readBytes(&b, 1) == 1 ? b : 0xFF;
}

int SerialPort::waitSlice(int leftMs) const { return waitUi_ ? std::min(leftMs, kWaitSliceMs) : leftMs; }

void SerialPort::handOver() {
    if (!waitUi_ || handingOver_) return;
    handingOver_ = true;
    waitUi_->pump();
    handingOver_ = false;
}

bool parsePortSpeed(const std::string& text, unsigned long& baud) {
    const std::string t = text.empty() ? std::string(serial_timing::kDefaultSpeed) : text;
    // Nine digits cannot overflow, and no line runs faster.
    if (t.size() > 9) return false;
    unsigned long v = 0;
    for (char c : t) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + static_cast<unsigned long>(c - '0');
    }
    baud = v;
    return true;
}

}  // namespace varnel
