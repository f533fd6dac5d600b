#pragma once

#include <array>

#include "forms/common/form_control.h"
#include "session/session.h"

namespace varnel {

class UserInterface;

// Control ids of the SmartBeaconing window (the numbers the layout was first
// drawn with).
namespace smart_beacon_id {
inline constexpr int kLowSpeed = 1049;
inline constexpr int kHighSpeed = 1050;
inline constexpr int kSlowInterval = 1051;
inline constexpr int kFastInterval = 1052;  // the main transmit interval, used at high speed
inline constexpr int kTurnAngle = 1055;
inline constexpr int kTurnInterval = 1056;
inline constexpr int kSpeedUnitLabel = 1062;
inline constexpr int kSlider = 1063;       // hidden, never stored
inline constexpr int kSliderLabel = 1064;  // echoes the slider's position
}  // namespace smart_beacon_id

namespace smart_beacon_message {
inline constexpr const char* kFastInterval = "Transmit interval must be in the range of 0 to 65535";
inline constexpr const char* kSlowInterval = "Low speed interval must be in the range of 0 to 65535";
inline constexpr const char* kHighSpeed = "High speed threshold out of range";
inline constexpr const char* kLowSpeed = "Low speed threshold out of range";
inline constexpr const char* kSpeedOrder = "Low speed threshold must be less than high speed threshold";
inline constexpr const char* kTurnAngle = "Turn angle must be between 0 and 180 degrees";
inline constexpr const char* kTurnInterval = "Minimum transmit interval must be in the range of 0 to 255";
inline constexpr const char* kKmh = "km/h";
inline constexpr const char* kMph = "MPH";
}  // namespace smart_beacon_message

// The six numbers of the SmartBeaconing algorithm in the current profile:
// between the low and the high speed the tracker moves from the slow to the
// fast interval, and a turn sharper than the angle sends a beacon at most
// once per turn interval.
struct SmartBeaconForm {
    FormControl lowSpeed;        // 1049
    FormControl highSpeed;       // 1050
    FormControl slowInterval;    // 1051
    FormControl fastInterval;    // 1052
    FormControl turnAngle;       // 1055
    FormControl turnInterval;    // 1056
    FormControl speedUnitLabel;  // 1062
    FormControl slider;          // 1063
    FormControl sliderLabel;     // 1064

    FormControl* control(int id);
    const FormControl* control(int id) const;
};

inline constexpr std::size_t kSmartBeaconControlCount = 9;
extern const std::array<ControlInfo<SmartBeaconForm>, kSmartBeaconControlCount> kSmartBeaconControls;

// Record -> form for the session's current profile, in the session's units.
void showSmartBeacon(const Session& session, SmartBeaconForm& form);

// Form -> current profile in the window's check order; each value that
// passes is stored at once and stays stored when a later one fails. 0, or -1
// after the failing value's message.
int checkAndStoreSmartBeacon(const SmartBeaconForm& form, Session& session, UserInterface& ui);

// The window's rule after a change: the slider's position shows in its label.
void smartBeaconControlChanged(SmartBeaconForm& form, int id);

}  // namespace varnel
