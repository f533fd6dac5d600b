#pragma once

#include <string>

namespace varnel {

// The USB-serial chips trackers are met behind, by USB vendor and product:
// what users call them, the Linux driver that gives them a tty, and where a
// Windows driver comes from.
struct UsbSerialChip {
    unsigned vendor = 0;
    unsigned product = 0;            // 0: any product of the vendor
    const char* name = "";           // "CH340"
    const char* linuxModule = "";    // the kernel module that drives it ("ch341")
    const char* windowsDriver = "";  // where its Windows driver comes from
    bool brlttyClaims = false;       // brltty's udev rules take it for a braille display
};

// The chip of a USB device, or nullptr for one that is no serial adapter we
// know. An exact vendor:product match comes before the vendor's catch-all.
const UsbSerialChip* findUsbSerialChip(unsigned vendor, unsigned product);

// "0403:6001", as lsusb and sysfs write it.
std::string usbIdText(unsigned vendor, unsigned product);

// The chip's name with its id: "CH340 (1a86:7523)"; "USB device 1234:5678"
// for one not in the table.
std::string usbChipText(unsigned vendor, unsigned product);

}  // namespace varnel
