#pragma once

namespace varnel {

// Control ids of the main tracker dialog. The numbers are the resource ids the
// dialog layout was first drawn with; the command line, the Qt view and the
// form all address a control by them, so one search finds every use.
namespace tracker_id {

// top
inline constexpr int kTabs = 1009;
inline constexpr int kBuildLabel = 1108;
inline constexpr int kCallsign = 1011;
inline constexpr int kBaud1200 = 1234;
inline constexpr int kBaud300 = 1235;
inline constexpr int kPath = 1017;
inline constexpr int kAlternatePath = 1278;
inline constexpr int kCarrierLabel = 1142;
inline constexpr int kCarrierHzLabel = 1143;
inline constexpr int kCarrierMultiplier = 1144;
inline constexpr int kPathLabel = 1145;
inline constexpr int kSymbolList = 1383;
inline constexpr int kSymbolTable = 1020;
inline constexpr int kSymbolCode = 1021;
inline constexpr int kTempCalibration = 1044;
inline constexpr int kTempUnitLabel = 1058;
inline constexpr int kQuietTime = 1127;
inline constexpr int kText = 1045;
inline constexpr int kMoreTextsButton = 1279;
inline constexpr int kCommentRadio = 1113;
inline constexpr int kStatusRadio = 1114;
inline constexpr int kStatusEvery = 1105;

// transmit control
inline constexpr int kBeaconInterval = 1019;
inline constexpr int kSkipLabel = 1371;
inline constexpr int kSkipCount = 1373;
inline constexpr int kSkipUnitLabel = 1372;
inline constexpr int kSmartBeaconing = 1048;
inline constexpr int kSmartBeaconingButton = 1117;
inline constexpr int kPttInput = 1111;
inline constexpr int kTimeslotEnabled = 1109;
inline constexpr int kTimeslot = 1110;

// position
inline constexpr int kGpsRadio = 1092;
inline constexpr int kFixedRadio = 1093;
inline constexpr int kSavePosition = 1366;
inline constexpr int kLatHemisphere = 1094;
inline constexpr int kLatDegrees = 1096;
inline constexpr int kLatMinutes = 1097;
inline constexpr int kLonHemisphere = 1095;
inline constexpr int kLonDegrees = 1098;
inline constexpr int kLonMinutes = 1099;
inline constexpr int kNoFixRequired = 1132;

// counter
inline constexpr int kCounterEnabled = 1118;
inline constexpr int kCounterReset = 1119;
inline constexpr int kCounterRearm = 1120;

// waypoint output
inline constexpr int kWaypointGroup = 1236;
inline constexpr int kWaypoints = 1201;
inline constexpr int kWaypointNameLength = 1227;
inline constexpr int kWaypointCharsLabel = 1237;
inline constexpr int kCustomSymbols = 1140;
inline constexpr int kRangeEnabled = 1293;
inline constexpr int kRange = 1290;
inline constexpr int kRangeLabel = 1291;
inline constexpr int kRangeUnitLabel = 1292;

// power control
inline constexpr int kPowerControl = 1104;
inline constexpr int kPowerActiveLow = 1199;
inline constexpr int kPowerOnDelay = 1103;

// report options
inline constexpr int kReportAltitude = 1012;
inline constexpr int kDao = 1198;
inline constexpr int kCourseSpeed = 1078;
inline constexpr int kTimestamp = 1013;
inline constexpr int kTimestampDhm = 1195;
inline constexpr int kTimestampHms = 1196;
inline constexpr int kSignalQuality = 1014;
inline constexpr int kReportTemperature = 1015;
inline constexpr int kFahrenheit = 1368;
inline constexpr int kReportVoltage = 1016;
inline constexpr int kCompressed = 1102;
inline constexpr int kTelemetry = 1133;
inline constexpr int kTelemetryEvery = 1200;

// serial ports
inline constexpr int kSerialGroup = 1370;
inline constexpr int kSpeedLabel = 1288;
inline constexpr int kModeLabel = 1289;
inline constexpr int kPortALabel = 1238;
inline constexpr int kPortBLabel = 1239;
inline constexpr int kPortASpeed = 1285;
inline constexpr int kPortAMode = 1208;
inline constexpr int kPortBSpeed = 1287;
inline constexpr int kPortBMode = 1209;
inline constexpr int kAutoBaud = 1367;
inline constexpr int kUsbKiss = 1384;

// radio interface
inline constexpr int kAudioLevel = 1197;
inline constexpr int kTxDelay = 1018;
inline constexpr int kTxDelayUnitLabel = 1141;
inline constexpr int kFreqButton = 1248;
inline constexpr int kLowVoltageEnabled = 1130;
inline constexpr int kLowVoltage = 1131;
inline constexpr int kInvertCarrierDetect = 1121;
inline constexpr int kSoftwareCarrierDetect = 1192;
inline constexpr int kSharedPtt = 1128;
inline constexpr int kExternalSquelch = 1369;
inline constexpr int kPtb2Output = 1116;

// buttons
inline constexpr int kWriteButton = 1;
inline constexpr int kExitButton = 2;
inline constexpr int kDiagnosticsButton = 1217;
inline constexpr int kProfileSwitchButton = 1203;
inline constexpr int kDigipeaterButton = 1147;
inline constexpr int kAccessListButton = 1374;
inline constexpr int kScriptButton = 1295;
inline constexpr int kMetricRadio = 1053;
inline constexpr int kImperialRadio = 1054;
inline constexpr int kCopyButton = 1085;
inline constexpr int kSaveButton = 1137;
inline constexpr int kLoadButton = 1138;
inline constexpr int kBackupsButton = 1400;
inline constexpr int kFirmwareFileButton = 1077;
inline constexpr int kFirmwareNetworkButton = 1086;

// Commands without a control of their own.
inline constexpr int kCommandAbout = 16;
inline constexpr int kCommandExport = 0x9900;
inline constexpr int kCommandExportButton = 1193;

}  // namespace tracker_id
}  // namespace varnel
