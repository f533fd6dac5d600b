#pragma once

#include <array>

#include "forms/common/form_control.h"
#include "session/session.h"

namespace varnel {

class UserInterface;

// Control ids of the weather-station dialog, the resource ids its layout was
// first drawn with. Several share their number and meaning with the main
// dialog's (callsign 1011, path 1017, ...).
namespace weather_id {
inline constexpr int kCallsign = 1011;
inline constexpr int kPath = 1017;
inline constexpr int kTransmitInterval = 1019;
inline constexpr int kTempOffset = 1044;
inline constexpr int kComment = 1045;
inline constexpr int kQuietTime = 1127;
inline constexpr int kPowerDelay = 1103;
inline constexpr int kPowerControl = 1104;
inline constexpr int kStatusEvery = 1105;
inline constexpr int kBaud1200 = 1234;
inline constexpr int kBaud300 = 1235;
inline constexpr int kLatHemisphere = 1094;
inline constexpr int kLatDegrees = 1096;
inline constexpr int kLatMinutes = 1097;
inline constexpr int kLonHemisphere = 1095;
inline constexpr int kLonDegrees = 1098;
inline constexpr int kLonMinutes = 1099;
inline constexpr int kWindVane = 1106;
inline constexpr int kWindVaneLabel = 1107;
inline constexpr int kWindChanges = 1122;
inline constexpr int kDirectionThreshold = 1123;
inline constexpr int kSpeedThreshold = 1124;
inline constexpr int kMinimumSpeed = 1125;
inline constexpr int kMinimumInterval = 1126;
inline constexpr int kAudioLevel = 1197;
inline constexpr int kTxDelay = 1018;
inline constexpr int kLowVoltageEnabled = 1130;
inline constexpr int kLowVoltage = 1131;
inline constexpr int kSoftwareCarrierDetect = 1192;
inline constexpr int kDiagnosticsButton = 1217;
inline constexpr int kFirmwareFileButton = 1077;
inline constexpr int kFirmwareNetworkButton = 1086;
inline constexpr int kSaveButton = 1137;
inline constexpr int kLoadButton = 1138;
inline constexpr int kBackupsButton = 1400;
inline constexpr int kWriteButton = 1;
inline constexpr int kExitButton = 2;
}  // namespace weather_id

// Everything the weather-station dialog's controls hold, one member per
// control (the comment gives its id).
struct WeatherForm {
    WeatherForm();  // the controls as the dialog layout creates them

    FormControl callsign;               // 1011
    FormControl path;                   // 1017
    FormControl transmitInterval;       // 1019
    FormControl tempOffset;             // 1044, always degrees Celsius
    FormControl comment;                // 1045
    FormControl quietTime;              // 1127
    FormControl powerDelay;             // 1103
    FormControl powerControl;           // 1104
    FormControl statusEvery;            // 1105
    FormControl baud1200;               // 1234
    FormControl baud300;                // 1235
    FormControl latHemisphere;          // 1094: "N" or "S"
    FormControl latDegrees;             // 1096
    FormControl latMinutes;             // 1097
    FormControl lonHemisphere;          // 1095: "E" or "W"
    FormControl lonDegrees;             // 1098
    FormControl lonMinutes;             // 1099
    FormControl windVane;               // 1106: slider 0-15
    FormControl windVaneLabel;          // 1107: the vane offset in degrees
    FormControl windChanges;            // 1122
    FormControl directionThreshold;     // 1123
    FormControl speedThreshold;         // 1124
    FormControl minimumSpeed;           // 1125
    FormControl minimumInterval;        // 1126
    FormControl audioLevel;             // 1197: slider 0-255
    FormControl txDelay;                // 1018
    FormControl lowVoltageEnabled;      // 1130
    FormControl lowVoltage;             // 1131
    FormControl softwareCarrierDetect;  // 1192
    FormControl diagnosticsButton;      // 1217
    FormControl firmwareFileButton;     // 1077
    FormControl firmwareNetworkButton;  // 1086
    FormControl saveButton;             // 1137
    FormControl loadButton;             // 1138
    FormControl backupsButton;          // 1400
    FormControl writeButton;            // 1: "Write" or "Connect"
    FormControl exitButton;             // 2

    // The hemispheres the N/S and E/W buttons stand for.
    bool south = false;
    bool west = true;

    FormControl* control(int id);
    const FormControl* control(int id) const;
};

inline constexpr std::size_t kWeatherControlCount = 37;
extern const std::array<ControlInfo<WeatherForm>, kWeatherControlCount> kWeatherControls;

// Opens the dialog on the session: the buttons that need a connection, the
// diagnostics button (AP64 and JL16 boards, connected), the low-voltage
// boxes (chips with a known divider), then shows the record in the
// profile-1 slot. The weather firmware works in Celsius, so this also
// switches the session to metric for the rest of the run.
void startWeatherForm(WeatherForm& form, Session& session);

// Record -> form. Never fails, never writes.
void showWeatherRecord(const Session& session, WeatherForm& form);

// Form -> record, field by field; stores each value as it passes and stops at
// the first failure with its message. 0, or -1 after the message.
int storeWeatherRecord(const WeatherForm& form, Session& session, UserInterface& ui);

// What follows a click or a slider move: the hemisphere buttons toggle, the
// wind vane label follows its slider.
void weatherControlChanged(WeatherForm& form, int id);

}  // namespace varnel
