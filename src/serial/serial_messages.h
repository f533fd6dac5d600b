#pragma once

namespace varnel::serial_messages {

// What the port layer tells the user when a port cannot be set up.
inline constexpr const char* kCantOpen = "Can't open serial port";
inline constexpr const char* kInvalidSpeed = "Invalid port speed specified";
inline constexpr const char* kUnableToAccess = "Unable to access serial port";
// These two go to standard error, with the device path in place of %s.
inline constexpr const char* kCantSetTimeouts = "Can't set serial port timeouts (%s)\n";
inline constexpr const char* kCantSetWaitmask = "Can't set serial port waitmask (%s)\n";

}  // namespace varnel::serial_messages
