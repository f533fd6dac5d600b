#pragma once

#include <memory>

#include "serial/serial_port.h"

namespace varnel {

// The serial port of the platform the program was built for: the termios
// backend on Linux and macOS, the Win32 one on Windows.
std::unique_ptr<SerialPort> makeSystemSerialPort();

}  // namespace varnel
