#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "config/device_target.h"

namespace varnel {

// Byte offsets of one 191-byte tracker profile (families 0 and 2), as the
// firmware reads it straight from flash. Every 16-bit field is big-endian.
// KX8 keeps only bytes 0-124 on the device and JL16/AW32 bytes 0-188; fields
// beyond that live in the working copy only on those chips.
namespace profile_layout {

inline constexpr std::size_t kSize = 191;

inline constexpr std::size_t kTxDelay = 0;         // u8: 6.6 ms steps (family 2: byte count)
inline constexpr std::size_t kBeaconInterval = 1;  // u16: seconds
inline constexpr std::size_t kReportFlags = 3;     // u8, bits below
inline constexpr std::size_t kOptionFlags = 4;     // u8, bits below
inline constexpr std::size_t kSourceAddress = 5;   // 7-byte AX.25 address field
inline constexpr std::size_t kSourceAddressSize = 7;
inline constexpr std::size_t kSourceSsid = 11;  // SSID byte of the source address
inline constexpr std::size_t kPathLength = 12;  // u8: 0, 7, 14, 21 (family 2: textHeader length)
inline constexpr std::size_t kPath = 13;        // up to three 7-byte address fields
inline constexpr std::size_t kPathSize = 21;
inline constexpr std::size_t kTextHeader = 13;  // family 2: "%s>APRS:" and a NUL
inline constexpr std::size_t kTextHeaderSize = 16;
inline constexpr std::size_t kCarrierWord = 30;        // u16, family 2
inline constexpr std::size_t kCarrierMultiplier = 32;  // u8, family 2: x 31.25 Hz
inline constexpr std::size_t kSymbolTable = 34;        // char
inline constexpr std::size_t kSymbolCode = 35;         // char
inline constexpr std::size_t kSlowInterval = 36;       // u16: seconds
inline constexpr std::size_t kTimeslot = 38;           // u16: bits 0-14 seconds, bit 15 KX8 300 baud
inline constexpr std::size_t kLowSpeed = 40;           // u8: speed units
inline constexpr std::size_t kHighSpeed = 41;          // u8: speed units
inline constexpr std::size_t kAudioLevel = 42;         // u8
inline constexpr std::size_t kTurnAngle = 43;          // u8: degrees
inline constexpr std::size_t kTurnInterval = 44;       // u8: seconds
inline constexpr std::size_t kTempOffset = 45;         // i8: degrees Celsius
inline constexpr std::size_t kTextLength = 46;         // u8

// Conditions for switching to the other profile.
inline constexpr std::size_t kSwitchSpeed = 47;        // u8
inline constexpr std::size_t kSwitchAltitude = 48;     // u16
inline constexpr std::size_t kSwitchAdc = 50;          // u8
inline constexpr std::size_t kSwitchVoltage = 51;      // u8
inline constexpr std::size_t kSwitchTemperature = 52;  // u8
inline constexpr std::size_t kSwitchEnable = 53;       // u8
inline constexpr std::size_t kSwitchCompare = 54;      // u8

inline constexpr std::size_t kPowerOnDelay = 55;  // u8: seconds
inline constexpr std::size_t kEveryCounts = 56;   // u8: low nibble status, high nibble telemetry
inline constexpr std::size_t kIoFlags = 57;       // u8, bits below
inline constexpr std::size_t kCounterRearm = 58;  // u8
inline constexpr std::size_t kQuietTime = 59;     // u8
inline constexpr std::size_t kLowVoltage = 60;    // u8: volts x scale of the kind
inline constexpr std::size_t kText = 61;          // NUL-terminated, 61 characters and the NUL
inline constexpr std::size_t kTextSize = 62;

// KX8 squeezes the fixed position into the end of its 125 bytes, sharing
// bytes 108-124 with the text; the other chips keep it at 132/140.
inline constexpr std::size_t kFixedLatitudeKX8 = 108;
inline constexpr std::size_t kFixedLongitudeKX8 = 116;
inline constexpr std::size_t kFixedLatitude = 132;
inline constexpr std::size_t kFixedLongitude = 140;
inline constexpr std::size_t kLatitudeSize = 8;   // DDMM.mmH
inline constexpr std::size_t kLongitudeSize = 9;  // DDDMM.mmH

inline constexpr std::size_t kDigiAliasBits = 125;  // u8: one bit per digipeater alias
inline constexpr std::size_t kFeatureFlags = 126;   // u8, bits below
inline constexpr std::size_t kDigiDupeTime = 127;   // u8: duplicate-check seconds
inline constexpr std::size_t kMiscFlags = 130;      // u8, bits below
inline constexpr std::size_t kPortASpeed = 149;     // u8: port A speed code
inline constexpr std::size_t kPortBSpeed = 150;     // u8: port B speed code
inline constexpr std::size_t kWaypointRange = 151;  // u8: statute miles, 0 = no limit
inline constexpr std::size_t kPortAMode = 152;      // u8: mode code
inline constexpr std::size_t kPortBMode = 153;      // u8: mode code
inline constexpr std::size_t kBaud300 = 154;        // u8: all chips but KX8, 1 = 300 baud
inline constexpr std::size_t kSkipCount = 156;      // u8
inline constexpr std::size_t kChannelSelect = 157;  // u8: low nibble primary, high secondary
inline constexpr std::size_t kChannelEvery = 158;   // u8
inline constexpr std::size_t kSlotFlags = 159;      // u8, bits below
inline constexpr std::size_t kRadioFlags = 160;     // u8, bits below

// reportFlags
inline constexpr std::uint8_t kReportSmartBeaconing = 0x80;
inline constexpr std::uint8_t kReportAltitude = 0x40;
inline constexpr std::uint8_t kReportCourseSpeed = 0x20;
inline constexpr std::uint8_t kReportGpsTimestamp = 0x10;
inline constexpr std::uint8_t kReportSignalQuality = 0x08;
inline constexpr std::uint8_t kReportPttInput = 0x04;  // burst after voice
inline constexpr std::uint8_t kReportTimeslot = 0x02;
inline constexpr std::uint8_t kReportCompressed = 0x01;  // Base91 positions

// optionFlags
inline constexpr std::uint8_t kOptionTemperature = 0x80;
inline constexpr std::uint8_t kOptionVoltage = 0x40;
inline constexpr std::uint8_t kOptionSwitchAll = 0x20;  // all switch conditions must hold
inline constexpr std::uint8_t kOptionFixedPosition = 0x10;
inline constexpr std::uint8_t kOptionSwitchTransmit = 0x08;  // transmit when switching profile
inline constexpr std::uint8_t kOptionPowerControl = 0x04;
inline constexpr std::uint8_t kOptionPtb2On = 0x02;
inline constexpr std::uint8_t kOptionTimestampHms = 0x01;  // clear: DHM

// Source address SSID byte
inline constexpr std::uint8_t kSsidAlwaysSet = 0x80;
inline constexpr std::uint8_t kSsidLastAddress = 0x01;  // set when the path is empty

// ioFlags
inline constexpr std::uint8_t kIoCounterInput = 0x80;
inline constexpr std::uint8_t kIoCounterReset = 0x40;
inline constexpr std::uint8_t kIoCarrierActiveLow = 0x20;
inline constexpr std::uint8_t kIoSharedPtt = 0x10;
inline constexpr std::uint8_t kIoTransmitWithoutFix = 0x08;
inline constexpr std::uint8_t kIoTelemetryAfterPosition = 0x04;
inline constexpr std::uint8_t kIoDao = 0x02;
// Bit 0 means different things by chip: the power control output's
// active-low choice on KX8 and JL16/AW32, custom waypoint symbols elsewhere.
inline constexpr std::uint8_t kIoPowerActiveLow = 0x01;
inline constexpr std::uint8_t kIoCustomWaypointSymbols = 0x01;

// featureFlags
inline constexpr std::uint8_t kFeatureWaypointNameMask = 0x03;  // index 0-3: 6-9 characters
inline constexpr std::uint8_t kFeatureGenerateWaypoints = 0x08;
inline constexpr std::uint8_t kFeatureSoftCarrierDetect = 0x20;
inline constexpr std::uint8_t kFeatureDigipeating = 0x40;
inline constexpr std::uint8_t kFeatureScriptEnabled = 0x80;

// miscFlags
inline constexpr std::uint8_t kMiscFahrenheit = 0x20;
inline constexpr std::uint8_t kMiscAutoBaud = 0x10;
inline constexpr std::uint8_t kMiscSaveLastPosition = 0x02;
inline constexpr std::uint8_t kMiscExternalSquelch = 0x01;

// slotFlags
inline constexpr std::uint8_t kSlotAlternatePath = 0x80;
inline constexpr std::uint8_t kSlotHalfSecond = 0x40;

// radioFlags
inline constexpr std::uint8_t kRadioChoice1 = 0x80;  // three-way setting of the diagnostics dialog
inline constexpr std::uint8_t kRadioChoice2 = 0x40;
inline constexpr std::uint8_t kRadioUsbKiss = 0x01;

// timeslot word
inline constexpr std::uint16_t kTimeslotSecondsMask = 0x7FFF;
inline constexpr std::uint16_t kTimeslotKX8Baud300 = 0x8000;

inline constexpr std::size_t fixedLatitudeOffset(TargetKind kind) {
    return kind == KindKX8 ? kFixedLatitudeKX8 : kFixedLatitude;
}
inline constexpr std::size_t fixedLongitudeOffset(TargetKind kind) {
    return kind == KindKX8 ? kFixedLongitudeKX8 : kFixedLongitude;
}

}  // namespace profile_layout

// The two serial ports of the tracker take different codes for the same
// speed. Rows in the order the speed lists show them.
struct SerialSpeedCode {
    std::string_view speed;
    std::uint8_t portA;
    std::uint8_t portB;
};

inline constexpr std::array<SerialSpeedCode, 8> kSerialSpeedCodes{{
    {"1200", 0x15, 0x17},
    {"2400", 0x14, 0x16},
    {"4800", 0x13, 0x15},
    {"9600", 0x12, 0x14},
    {"19200", 0x11, 0x13},
    {"38400", 0x10, 0x12},
    {"57600", 0x01, 0x03},
    {"115200", 0x00, 0x02},
}};

// Serial port modes; "Flow" exists on port B only.
struct SerialModeCode {
    std::uint8_t code;
    std::string_view name;
};

inline constexpr std::uint8_t kModeAuto = 0;
inline constexpr std::uint8_t kModeGarmin = 1;
inline constexpr std::uint8_t kModeKiss = 2;
inline constexpr std::uint8_t kModeWs2300 = 3;
inline constexpr std::uint8_t kModeFlow = 4;
inline constexpr std::uint8_t kModeText = 5;
inline constexpr std::uint8_t kModeDavis = 6;

inline constexpr std::array<SerialModeCode, 7> kSerialModeCodes{{
    {kModeAuto, "Auto"},
    {kModeGarmin, "Garmin"},
    {kModeKiss, "KISS"},
    {kModeWs2300, "WS2300"},
    {kModeFlow, "Flow"},
    {kModeText, "Text"},
    {kModeDavis, "Davis"},
}};

// Row index of a port's speed code in kSerialSpeedCodes, or -1 when no row
// carries it.
inline constexpr int speedRowForPortA(std::uint8_t code) {
    for (std::size_t i = 0; i < kSerialSpeedCodes.size(); ++i)
        if (kSerialSpeedCodes[i].portA == code) return static_cast<int>(i);
    return -1;
}
inline constexpr int speedRowForPortB(std::uint8_t code) {
    for (std::size_t i = 0; i < kSerialSpeedCodes.size(); ++i)
        if (kSerialSpeedCodes[i].portB == code) return static_cast<int>(i);
    return -1;
}

// The name of a mode code, or an empty view for a code no mode carries.
inline constexpr std::string_view serialModeName(std::uint8_t code) {
    for (const auto& mode : kSerialModeCodes)
        if (mode.code == code) return mode.name;
    return {};
}

}  // namespace varnel
