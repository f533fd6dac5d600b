#pragma once

namespace varnel::link_messages {

// What the link tells the user; "%04x" takes a byte address.
inline constexpr const char* kErrorReceiving = "Error receiving data from device";
inline constexpr const char* kUnableToErase = "Unable to erase block at 0x%04x";
inline constexpr const char* kUnableToProgram = "Unable to program block at 0x%04x";
inline constexpr const char* kUnableToVerify = "Unable to verify block at 0x%04x";
inline constexpr const char* kVerifyError = "Verify error at block 0x%04x";
// Shown by the callers of connect for the results they own.
inline constexpr const char* kCommunicationsError = "Communications error\n(BL Ver %02x)";
inline constexpr const char* kWrongTarget = "Wrong target device type!";
// The second line under it: the chip the settings held are for, then the
// chip of the tracker that answered.
inline constexpr const char* kWrongTargetChips = "The settings are for %s; this tracker is %s.";
inline constexpr const char* kConfigWriteFailed = "Configuration write failed";

}  // namespace varnel::link_messages
