#pragma once

#include <cstdint>
#include <string_view>

#include "config/device_target.h"
#include "device/device_info.h"

namespace varnel {

// What one emulated tracker board is: the chip's bootloader identity and the
// few physical facts the firmware and bootloader act on.
struct EmulatedChip {
    std::string_view chipName;  // key into the host's target table
    TargetKind kind = KindNone;
    DeviceInfo info;  // the identification record sent for 'I'
    std::uint8_t bootloaderVersion = 0;
    std::uint32_t firmwareSpeed = 4800;  // the line speed the running firmware listens at
    // The JM128 bootloader counts addresses in 4-byte units.
    unsigned addressShift = 0;
    // JM128: the low firmware area cannot be programmed in place while the
    // bootloader runs; it goes to a staging copy 0x10000 higher and is taken
    // over by 'U'. Zero size: the chip has no staging.
    std::uint32_t stagedBase = 0;
    std::uint32_t stagedSize = 0;
    std::uint32_t stagingOffset = 0;
    // Sensor readings at rest: 12.0 V supply, 25 degrees Celsius.
    std::uint8_t voltageRaw = 0;
    std::uint8_t temperatureRaw = 0;
    bool hasReceiveLevel = false;  // JM60 boards sample the receiver's audio
    bool hasUsb = false;           // the JM boards can talk over their own USB port (CDC)

    // First byte address past the programmable area.
    std::uint32_t validEndBytes() const { return std::uint32_t{info.validEnd} << addressShift; }
};

// The raw sensor bytes this board reports for a supply voltage and a
// temperature in degrees Celsius (clamped to what one byte holds).
std::uint8_t voltageRawFor(const EmulatedChip& chip, double volts);
std::uint8_t temperatureRawFor(const EmulatedChip& chip, double celsius);

// The board for a chip name ("KX8", "AP64", ...), or nullptr.
const EmulatedChip* findEmulatedChip(std::string_view chipName);

// All seven chips, in the order of the host's target table.
const EmulatedChip* emulatedChips(std::size_t& count);

}  // namespace varnel
