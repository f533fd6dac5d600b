#pragma once

namespace varnel::weather_message {

// The window's title; an offline run adds the file it edits.
inline constexpr const char* kWindowTitle = "Varnel weather station";

// What the weather-station dialog says when a value does not pass, beside
// the texts it shares with the main dialog (tracker_messages.h).
inline constexpr const char* kTxDelay = "Transmit delay must be in the range of 0 to 1023";
inline constexpr const char* kStatusInterval = "Status text interval must be in the range of 0 to 255";
inline constexpr const char* kMinimumInterval = "Minimum interval must be in the range of 0 to 65535";
inline constexpr const char* kDirectionThreshold = "Direction threshold must be in the range of 1 to 180";
inline constexpr const char* kSpeedThreshold = "Speed threshold must be in the range of 0 to 255";
inline constexpr const char* kMinimumSpeed = "Minimum speed must be in the range of 0 to 255";

// The wind vane offset beside its slider: position x 22.5 degrees.
inline constexpr const char* kWindVaneFormat = "%3.2f\xC2\xB0";

}  // namespace varnel::weather_message
