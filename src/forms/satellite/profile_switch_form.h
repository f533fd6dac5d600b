#pragma once

#include <array>

#include "forms/common/form_control.h"
#include "session/session.h"

namespace varnel {

class UserInterface;

// Control ids of the profile-switching window: the left group edits the
// conditions profile 1 switches to profile 2 under, the right group those
// profile 2 switches back under.
namespace profile_switch_id {
struct Side {
    int any, all;
    int altitudeEnabled, altitudeCompare, altitude, altitudeUnit;
    int speedEnabled, speedCompare, speed, speedUnit;
    int temperatureEnabled, temperatureCompare, temperature, temperatureUnit;
    int voltageEnabled, voltageCompare, voltage;
    int adcEnabled, adcCompare, adc;
    int jumperEnabled, jumperOn, jumperOff;
    int gpsFixEnabled, gpsFixValid, gpsFixInvalid;
    int transmitOnSwitch;
};
inline constexpr Side kLeft = {
    1081, 1082, 1025, 1024, 1023, 1059, 1026, 1033, 1034, 1060, 1027, 1035, 1036, 1061,
    1028, 1037, 1038, 1029, 1039, 1040, 1030, 1031, 1032, 1134, 1135, 1136, 1101,
};
inline constexpr Side kRight = {
    1083, 1084, 1041, 1042, 1043, 1062, 1044, 1045, 1046, 1063, 1047, 1048, 1049, 1064,
    1050, 1051, 1052, 1053, 1054, 1055, 1056, 1057, 1058, 1137, 1138, 1139, 1102,
};
inline constexpr const Side& side(int profile) { return profile == 0 ? kLeft : kRight; }
}  // namespace profile_switch_id

namespace profile_switch_message {
inline constexpr const char* kAltitude = "Altitude comparison out of range";
inline constexpr const char* kSpeed = "Speed comparison out of range";
inline constexpr const char* kTemperature = "Temperature comparison out of range";
inline constexpr const char* kVoltage = "Voltage comparison out of range";
inline constexpr const char* kAdc = "ADC input must be in the range of 0 to 255";
inline constexpr const char* kAbove = ">";
inline constexpr const char* kAtMost = "<=";
}  // namespace profile_switch_message

// Both profiles' switching conditions side by side, whichever profile the
// main dialog shows.
struct ProfileSwitchForm {
    // profile 1 (switching to profile 2)
    FormControl leftAny, leftAll, leftAltitudeEnabled, leftAltitudeCompare, leftAltitude, leftAltitudeUnit;
    FormControl leftSpeedEnabled, leftSpeedCompare, leftSpeed, leftSpeedUnit, leftTemperatureEnabled,
        leftTemperatureCompare, leftTemperature, leftTemperatureUnit;
    FormControl leftVoltageEnabled, leftVoltageCompare, leftVoltage, leftAdcEnabled, leftAdcCompare, leftAdc;
    FormControl leftJumperEnabled, leftJumperOn, leftJumperOff, leftGpsFixEnabled, leftGpsFixValid, leftGpsFixInvalid,
        leftTransmitOnSwitch;
    // profile 2 (switching back to profile 1)
    FormControl rightAny, rightAll, rightAltitudeEnabled, rightAltitudeCompare, rightAltitude, rightAltitudeUnit;
    FormControl rightSpeedEnabled, rightSpeedCompare, rightSpeed, rightSpeedUnit, rightTemperatureEnabled,
        rightTemperatureCompare, rightTemperature, rightTemperatureUnit;
    FormControl rightVoltageEnabled, rightVoltageCompare, rightVoltage, rightAdcEnabled, rightAdcCompare, rightAdc;
    FormControl rightJumperEnabled, rightJumperOn, rightJumperOff, rightGpsFixEnabled, rightGpsFixValid,
        rightGpsFixInvalid, rightTransmitOnSwitch;

    FormControl* control(int id);
    const FormControl* control(int id) const;
};

inline constexpr std::size_t kProfileSwitchControlCount = 54;
extern const std::array<ControlInfo<ProfileSwitchForm>, kProfileSwitchControlCount> kProfileSwitchControls;

void showProfileSwitch(const Session& session, ProfileSwitchForm& form);

// Stores profile 1 from the left group, then profile 2 from the right,
// each value as it passes; a threshold that does not fit its field stops
// with its message (what passed before stays stored). Then the transmit
// options of both. 0, or -1 after the message.
int checkAndStoreProfileSwitch(const ProfileSwitchForm& form, Session& session, UserInterface& ui);

// A click on a comparison button flips it between ">" and "<=".
void profileSwitchControlChanged(ProfileSwitchForm& form, int id);

}  // namespace varnel
