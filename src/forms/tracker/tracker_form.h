#pragma once

#include "forms/common/form_control.h"
#include "forms/tracker/tracker_control_ids.h"
#include "session/session.h"

namespace varnel {

class UserInterface;

// Everything the main tracker dialog's controls hold, one member per control
// (the comment gives its id). The Qt dialog binds widgets to these members
// through kTrackerControls; the command line drives the same form.
struct TrackerForm {
    TrackerForm();  // the controls as the dialog layout creates them

    // top
    FormControl tabs;               // 1009: position 0 or 1
    FormControl buildLabel;         // 1108
    FormControl callsign;           // 1011
    FormControl baud1200;           // 1234
    FormControl baud300;            // 1235
    FormControl path;               // 1017
    FormControl alternatePath;      // 1278
    FormControl carrierLabel;       // 1142
    FormControl carrierHzLabel;     // 1143
    FormControl carrierMultiplier;  // 1144
    FormControl pathLabel;          // 1145
    FormControl symbolList;         // 1383
    FormControl symbolTable;        // 1020
    FormControl symbolCode;         // 1021
    FormControl tempCalibration;    // 1044
    FormControl tempUnitLabel;      // 1058
    FormControl quietTime;          // 1127
    FormControl text;               // 1045
    FormControl moreTextsButton;    // 1279
    FormControl commentRadio;       // 1113
    FormControl statusRadio;        // 1114
    FormControl statusEvery;        // 1105

    // transmit control
    FormControl beaconInterval;        // 1019
    FormControl skipLabel;             // 1371
    FormControl skipCount;             // 1373
    FormControl skipUnitLabel;         // 1372
    FormControl smartBeaconing;        // 1048
    FormControl smartBeaconingButton;  // 1117
    FormControl pttInput;              // 1111
    FormControl timeslotEnabled;       // 1109
    FormControl timeslot;              // 1110

    // position
    FormControl gpsRadio;       // 1092
    FormControl fixedRadio;     // 1093
    FormControl savePosition;   // 1366
    FormControl latHemisphere;  // 1094: "N" or "S"
    FormControl latDegrees;     // 1096
    FormControl latMinutes;     // 1097
    FormControl lonHemisphere;  // 1095: "E" or "W"
    FormControl lonDegrees;     // 1098
    FormControl lonMinutes;     // 1099
    FormControl noFixRequired;  // 1132

    // counter
    FormControl counterEnabled;  // 1118
    FormControl counterReset;    // 1119
    FormControl counterRearm;    // 1120

    // waypoint output
    FormControl waypointGroup;       // 1236
    FormControl waypoints;           // 1201
    FormControl waypointNameLength;  // 1227
    FormControl waypointCharsLabel;  // 1237
    FormControl customSymbols;       // 1140
    FormControl rangeEnabled;        // 1293
    FormControl range;               // 1290
    FormControl rangeLabel;          // 1291
    FormControl rangeUnitLabel;      // 1292

    // power control
    FormControl powerControl;    // 1104
    FormControl powerActiveLow;  // 1199
    FormControl powerOnDelay;    // 1103

    // report options
    FormControl reportAltitude;     // 1012
    FormControl dao;                // 1198
    FormControl courseSpeed;        // 1078
    FormControl timestamp;          // 1013
    FormControl timestampDhm;       // 1195
    FormControl timestampHms;       // 1196
    FormControl signalQuality;      // 1014
    FormControl reportTemperature;  // 1015
    FormControl fahrenheit;         // 1368
    FormControl reportVoltage;      // 1016
    FormControl compressed;         // 1102
    FormControl telemetry;          // 1133
    FormControl telemetryEvery;     // 1200

    // serial ports
    FormControl serialGroup;  // 1370
    FormControl speedLabel;   // 1288
    FormControl modeLabel;    // 1289
    FormControl portALabel;   // 1238
    FormControl portBLabel;   // 1239
    FormControl portASpeed;   // 1285
    FormControl portAMode;    // 1208
    FormControl portBSpeed;   // 1287
    FormControl portBMode;    // 1209
    FormControl autoBaud;     // 1367
    FormControl usbKiss;      // 1384

    // radio interface
    FormControl audioLevel;             // 1197: slider 0-255
    FormControl txDelay;                // 1018
    FormControl txDelayUnitLabel;       // 1141
    FormControl freqButton;             // 1248
    FormControl lowVoltageEnabled;      // 1130
    FormControl lowVoltage;             // 1131
    FormControl invertCarrierDetect;    // 1121
    FormControl softwareCarrierDetect;  // 1192
    FormControl sharedPtt;              // 1128
    FormControl externalSquelch;        // 1369
    FormControl ptb2Output;             // 1116

    // buttons
    FormControl writeButton;            // 1: "Write" or "Connect"
    FormControl exitButton;             // 2
    FormControl diagnosticsButton;      // 1217
    FormControl profileSwitchButton;    // 1203
    FormControl digipeaterButton;       // 1147
    FormControl accessListButton;       // 1374
    FormControl scriptButton;           // 1295
    FormControl metricRadio;            // 1053
    FormControl imperialRadio;          // 1054
    FormControl copyButton;             // 1085
    FormControl saveButton;             // 1137
    FormControl loadButton;             // 1138
    FormControl backupsButton;          // 1400
    FormControl firmwareFileButton;     // 1077
    FormControl firmwareNetworkButton;  // 1086

    // The hemisphere the N/S and E/W buttons stand for; they survive a
    // GPS-mode profile being shown, like the position texts.
    bool south = false;
    bool west = true;

    // The window menu offers "Export firmware to .BIN" (chips with a 512-byte
    // settings area).
    bool exportEntry = false;

    // The control with this id, or nullptr for an id the dialog does not have.
    FormControl* control(int id);
    const FormControl* control(int id) const;
};

// Sets up the form for the session's target: lists, typing-independent start
// states, the rules that depend on kind, family, feature mask and the
// connection, then shows `firstProfile` (0 or 1; the dialog starts on 0).
void startTrackerForm(TrackerForm& form, Session& session, int firstProfile = 0);

// Record -> form for the current profile. Never fails, never writes.
void showProfile(const Session& session, TrackerForm& form);

// Form -> current profile, field by field; stores each value as it passes and
// stops at the first failure with its message. 0, or -1 after the message.
int checkAndStore(const TrackerForm& form, Session& session, UserInterface& ui);

// --- commands of the dialog ----------------------------------------------

// The form-only rules that follow a change of the control `id` (a click, a
// choice or an edit): enabling, hemisphere toggles, the symbol list, the live
// carrier label. Call after copying the changed widget into the form.
void trackerControlChanged(TrackerForm& form, int changed);

// Tab change: check and store first; refused (false) when that fails.
bool changeTrackerTab(TrackerForm& form, Session& session, UserInterface& ui, int tab);

// Makes profile 0 or 1 current without checking (after a successful check),
// updates the copy button and shows the profile.
void selectTrackerProfile(TrackerForm& form, Session& session, int profile);

// Unit change to metric or imperial: check and store, then switch and show.
// False when the check failed; the display then stays in the old units. The
// caller records the chosen units in the settings either way.
bool changeTrackerUnits(TrackerForm& form, Session& session, UserInterface& ui, bool metric);

// Copies the other profile over the current one (unsaved edits are lost).
void copyOtherProfile(TrackerForm& form, Session& session);

}  // namespace varnel
