#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "serial/port_resolver.h"

// What a Linux machine's /dev and sysfs say of its serial ports and USB
// adapters, read under a root that stands for / (the real one, or a
// made-up tree in a test).

namespace varnel {

// A serial device node and the hardware behind it.
struct LinuxSerialTty {
    std::string name;          // "ttyUSB0"
    std::string path;          // "/dev/ttyUSB0", as the user opens it
    std::string deviceNumber;  // "188:0": major:minor, the key of udev's database
    bool usb = false;          // the fields below only for a USB device
    unsigned vendor = 0;
    unsigned product = 0;
    std::string productName;            // the device's own name for itself ("FT232R USB UART")
    std::string driver;                 // the USB interface's driver ("ftdi_sio", "ch341", "cdc_acm")
    std::string usbDevice;              // sysfs's name of the USB device ("1-1.4")
    std::optional<int> latencyTimerMs;  // FTDI adapters: how long a short reply is held
};

// A USB device that is, or looks like, a serial adapter: a chip of the
// table, or one with a CDC communications interface (the JM boards' own USB
// port), with the ttys its interfaces have and the drivers bound to them.
struct LinuxUsbAdapter {
    std::string usbDevice;  // "1-1.4"
    unsigned vendor = 0;
    unsigned product = 0;
    std::string productName;
    std::vector<std::string> ttys;     // "ttyUSB0"
    std::vector<std::string> drivers;  // one per interface, "" where none is bound
};

// Every serial tty present, in slot order: USB adapters, USB modems (CDC
// ACM), then on-board UARTs with hardware behind them.
std::vector<LinuxSerialTty> linuxSerialTtys(const std::filesystem::path& root);

std::vector<LinuxUsbAdapter> linuxUsbAdapters(const std::filesystem::path& root);

// The port list (listSerialPorts on Linux): each tty described by its
// /dev/serial/by-id name where there is one, with its USB vendor:product.
std::vector<PortDescription> linuxSerialPorts(const std::filesystem::path& root);

// The first line of a file under the root, "" when there is none.
std::string readLinuxFile(const std::filesystem::path& root, const std::string& path);

}  // namespace varnel
