#pragma once

namespace varnel::tracker_message {

// The window's title; an offline run adds the file it edits.
inline constexpr const char* kWindowTitle = "Varnel tracker configuration";

// What the main tracker dialog says when a value does not pass, in the order
// the values are checked.
inline constexpr const char* kInvalidCallsign = "Invalid callsign";
inline constexpr const char* kCarrierMultiplier = "Invalid carrier multiplier";
inline constexpr const char* kInvalidPath = "Invalid path setting";
inline constexpr const char* kPathTooLong = "Path too long";
inline constexpr const char* kTxDelayBytes = "Transmit delay must be in the range of 0 to 255";
inline constexpr const char* kTxDelayMs = "Transmit delay must be in the range of 0 to 1683";
inline constexpr const char* kPowerDelay = "Power delay must be in the range of 0 to 255";
inline constexpr const char* kQuietTime = "Quiet time must be in the range of 0 to 255";
inline constexpr const char* kTimeslot = "Timeslot must be in the range of 0 to 3600";
inline constexpr const char* kBeaconInterval = "Transmit interval must be in the range of 0 to 65535";
inline constexpr const char* kStatusInterval = "Status interval must be in the range of 1 to 15";
inline constexpr const char* kWaypointRange = "Waypoint range limit must be less than 255 miles / 410 kilometers";
inline constexpr const char* kPortAMode = "Select a serial port A mode";
inline constexpr const char* kPortBMode = "Select a serial port B mode";
inline constexpr const char* kPortASpeed = "Select a serial port A speed";
inline constexpr const char* kPortBSpeed = "Select a serial port B speed";
inline constexpr const char* kSkipCount = "Skip setting must be less than 255";
inline constexpr const char* kRearmDelay = "Rearm delay must be in the range of 0 to 255";
inline constexpr const char* kTelemetryInterval = "Telemetry interval must be in the range of 0 to 15";
inline constexpr const char* kTempOffset = "Temperature offset must be between -128 and 128 C";
inline constexpr const char* kInvalidLatitude = "Invalid latitude";
inline constexpr const char* kInvalidLongitude = "Invalid longitude";
// "%.2f" is the highest threshold the chip can store (255 units).
inline constexpr const char* kLowVoltageFormat = "Minimum voltage must be in the range of 0 to %.2f";

// Captions and labels the dialog changes.
inline constexpr const char* kWrite = "Write";
inline constexpr const char* kConnect = "Connect";
inline constexpr const char* kCopyFromProfile1 = "Copy from Profile 1";
inline constexpr const char* kCopyFromProfile2 = "Copy from Profile 2";
inline constexpr const char* kProfile1 = "Profile 1";
inline constexpr const char* kProfile2 = "Profile 2";
inline constexpr const char* kCarrierHzFormat = "x 31.25 = %0.2f Hz";
inline constexpr const char* kCarrierHzInitial = "x 31.25 = 500 Hz";
inline constexpr const char* kDegreesC = "\xC2\xB0"
                                         "C";
inline constexpr const char* kDegreesF = "\xC2\xB0"
                                         "F";
inline constexpr const char* kKm = "Km";
inline constexpr const char* kMiles = "Miles";
inline constexpr const char* kMilliseconds = "mSec";
inline constexpr const char* kBytes = "bytes";
inline constexpr const char* kUsbKiss = "USB KISS";
inline constexpr const char* kExportEntry = "Export firmware to .BIN";
inline constexpr const char* kKeyEchoFormat = "%x %x";

}  // namespace varnel::tracker_message
