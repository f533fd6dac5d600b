#include "serial/usb_serial_chips.h"

#include <cstdio>

namespace varnel {

namespace {

constexpr const char* kFtdiDriver =
    "FTDI's VCP driver (ftdichip.com, Drivers, VCP Drivers); Windows Update usually installs it by itself";
constexpr const char* kWchDriver = "WCH's CH341SER driver (wch-ic.com, Downloads, CH341SER.EXE)";
constexpr const char* kSiliconLabsDriver =
    "Silicon Labs' CP210x USB to UART Bridge VCP driver (silabs.com, Software, CP210x VCP Drivers)";
constexpr const char* kProlificDriver =
    "Prolific's PL2303 driver (prolific.com.tw); its newer drivers refuse old and copied PL2303 chips "
    "(Device Manager then shows code 10), which need an older driver or another adapter";

// brltty's udev rules claim the generic CH340 and CP210x ids, which some
// braille displays use too; it leaves FTDI and Prolific adapters alone.
constexpr UsbSerialChip kChips[] = {
    {0x0403, 0x6001, "FTDI FT232R", "ftdi_sio", kFtdiDriver, false},
    {0x0403, 0x6010, "FTDI FT2232", "ftdi_sio", kFtdiDriver, false},
    {0x0403, 0x6011, "FTDI FT4232", "ftdi_sio", kFtdiDriver, false},
    {0x0403, 0x6014, "FTDI FT232H", "ftdi_sio", kFtdiDriver, false},
    {0x0403, 0x6015, "FTDI FT231X", "ftdi_sio", kFtdiDriver, false},
    {0x0403, 0, "FTDI", "ftdi_sio", kFtdiDriver, false},
    {0x1a86, 0x7523, "CH340", "ch341", kWchDriver, true},
    {0x1a86, 0x5523, "CH341", "ch341", kWchDriver, false},
    {0x1a86, 0x55d4, "CH9102", "cdc_acm", kWchDriver, false},
    {0x1a86, 0, "CH34x", "ch341", kWchDriver, false},
    {0x10c4, 0xea60, "CP210x", "cp210x", kSiliconLabsDriver, true},
    {0x10c4, 0xea70, "CP2105", "cp210x", kSiliconLabsDriver, false},
    {0x10c4, 0xea71, "CP2108", "cp210x", kSiliconLabsDriver, false},
    {0x067b, 0x2303, "PL2303", "pl2303", kProlificDriver, false},
    {0x067b, 0x23a3, "PL2303GC", "pl2303", kProlificDriver, false},
    {0x067b, 0, "PL2303", "pl2303", kProlificDriver, false},
};

}  // namespace

const UsbSerialChip* findUsbSerialChip(unsigned vendor, unsigned product) {
    const UsbSerialChip* catchAll = nullptr;
    for (const UsbSerialChip& chip : kChips) {
        if (chip.vendor != vendor) continue;
        if (chip.product == product) return &chip;
        if (chip.product == 0 && !catchAll) catchAll = &chip;
    }
    return catchAll;
}

std::string usbIdText(unsigned vendor, unsigned product) {
    char text[16];
    std::snprintf(text, sizeof text, "%04x:%04x", vendor & 0xFFFFu, product & 0xFFFFu);
    return text;
}

std::string usbChipText(unsigned vendor, unsigned product) {
    const UsbSerialChip* chip = findUsbSerialChip(vendor, product);
    return chip ? std::string(chip->name) + " (" + usbIdText(vendor, product) + ")"
                : "USB device " + usbIdText(vendor, product);
}

}  // namespace varnel
