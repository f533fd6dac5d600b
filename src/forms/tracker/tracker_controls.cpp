#include "forms/tracker/tracker_controls.h"

namespace varnel {

namespace id = tracker_id;
using T = ControlType;
using F = TrackerForm;

// Typing limits are the dialog's edit limits; the check-and-store step reads
// numbers as the user could type them, so these also bound what the command
// line accepts.
// One control a line, as the window lists them.
// clang-format off
const std::array<TrackerControlInfo, kTrackerControlCount> kTrackerControls{{
    // top
    {id::kTabs, "tabs", T::Tab, &F::tabs, 0, "", "Profile"},
    {id::kBuildLabel, "buildLabel", T::Label, &F::buildLabel, 0, ""},
    {id::kCallsign, "callsign", T::Edit, &F::callsign, 9, "Station callsign and optional SSID (e.g., W1AW-5)"},
    {id::kBaud1200, "baud1200", T::Radio, &F::baud1200, 0, ""},
    {id::kBaud300, "baud300", T::Radio, &F::baud300, 0, ""},
    {id::kPath, "path", T::Edit, &F::path, 29, "Digipeater path (e.g., WIDE2-1,WIDE2-2)"},
    {id::kAlternatePath, "alternatePath", T::Check, &F::alternatePath, 0, ""},
    {id::kCarrierLabel, "carrierLabel", T::Label, &F::carrierLabel, 0, ""},
    {id::kCarrierHzLabel, "carrierHzLabel", T::Label, &F::carrierHzLabel, 0, ""},
    {id::kCarrierMultiplier, "carrierMultiplier", T::Edit, &F::carrierMultiplier, 3, "Carrier frequency multiplier", "Carrier multiplier"},
    {id::kPathLabel, "pathLabel", T::Label, &F::pathLabel, 0, ""},
    {id::kSymbolList, "symbolList", T::List, &F::symbolList, 0, ""},
    {id::kSymbolTable, "symbolTable", T::Edit, &F::symbolTable, 1, "APRS symbol table or overlay", "Symbol table"},
    {id::kSymbolCode, "symbolCode", T::Edit, &F::symbolCode, 1, "APRS symbol code", "Symbol code"},
    {id::kTempCalibration, "tempCalibration", T::Edit, &F::tempCalibration, 4, "Temperature sensor calibration constant", "Temp. calibration"},
    {id::kTempUnitLabel, "tempUnitLabel", T::Label, &F::tempUnitLabel, 0, ""},
    {id::kQuietTime, "quietTime", T::Edit, &F::quietTime, 0, "Time channel must be quiet before transmission (0 disables carrier detect)"},
    {id::kText, "text", T::Edit, &F::text, 60, "Status or comment text to transmit", "Comment or status text"},
    {id::kMoreTextsButton, "moreTextsButton", T::Button, &F::moreTextsButton, 0, ""},
    {id::kCommentRadio, "commentRadio", T::Radio, &F::commentRadio, 0, ""},
    {id::kStatusRadio, "statusRadio", T::Radio, &F::statusRadio, 0, ""},
    {id::kStatusEvery, "statusEvery", T::Edit, &F::statusEvery, 0, "Transmit status text only every n transmissions", "Status every n transmissions"},

    // transmit control
    {id::kBeaconInterval, "beaconInterval", T::Edit, &F::beaconInterval, 5, "Transmission interval in seconds"},
    {id::kSkipLabel, "skipLabel", T::Label, &F::skipLabel, 0, ""},
    {id::kSkipCount, "skipCount", T::Edit, &F::skipCount, 0, "Skip n transmissions if we hear our own packet digipeated"},
    {id::kSkipUnitLabel, "skipUnitLabel", T::Label, &F::skipUnitLabel, 0, ""},
    {id::kSmartBeaconing, "smartBeaconing", T::Check, &F::smartBeaconing, 0, "Enable SmartBeaconing for adaptive transmission rates"},
    {id::kSmartBeaconingButton, "smartBeaconingButton", T::Button, &F::smartBeaconingButton, 0, "SmartBeaconing configuration"},
    {id::kPttInput, "pttInput", T::Check, &F::pttInput, 0, "Enable PTT input for burst-after-voice operation"},
    {id::kTimeslotEnabled, "timeslotEnabled", T::Check, &F::timeslotEnabled, 0, "Transmit only in specified timeslot (in seconds from start of hour)"},
    {id::kTimeslot, "timeslot", T::Edit, &F::timeslot, 7, "Timeslot start, in seconds from start of hour", "Timeslot start"},

    // position
    {id::kGpsRadio, "gpsRadio", T::Radio, &F::gpsRadio, 0, ""},
    {id::kFixedRadio, "fixedRadio", T::Radio, &F::fixedRadio, 0, ""},
    {id::kSavePosition, "savePosition", T::Check, &F::savePosition, 0, "Automatically save last position and switch to fixed mode if GPS fix lost"},
    {id::kLatHemisphere, "latHemisphere", T::Button, &F::latHemisphere, 0, "(N)orth or (S)outh", "Latitude hemisphere"},
    {id::kLatDegrees, "latDegrees", T::Edit, &F::latDegrees, 2, "Latitude (degrees)", "Latitude degrees"},
    {id::kLatMinutes, "latMinutes", T::Edit, &F::latMinutes, 5, "Latitude (decimal minutes)", "Latitude minutes"},
    {id::kLonHemisphere, "lonHemisphere", T::Button, &F::lonHemisphere, 0, "(E)ast or (W)est", "Longitude hemisphere"},
    {id::kLonDegrees, "lonDegrees", T::Edit, &F::lonDegrees, 3, "Longitude (degrees)", "Longitude degrees"},
    {id::kLonMinutes, "lonMinutes", T::Edit, &F::lonMinutes, 5, "Longitude (decimal minutes)", "Longitude minutes"},
    {id::kNoFixRequired, "noFixRequired", T::Check, &F::noFixRequired, 0, "Allow transmissions without a valid GPS position fix available"},

    // counter
    {id::kCounterEnabled, "counterEnabled", T::Check, &F::counterEnabled, 0, "Enable digital counter input", "Enable counter"},
    {id::kCounterReset, "counterReset", T::Check, &F::counterReset, 0, "Reset counter with each transmission"},
    {id::kCounterRearm, "counterRearm", T::Edit, &F::counterRearm, 0, "Minimum time between counter inputs"},

    // waypoint output
    {id::kWaypointGroup, "waypointGroup", T::Group, &F::waypointGroup, 0, ""},
    {id::kWaypoints, "waypoints", T::Check, &F::waypoints, 0, "Generate GPS waypoints for received stations", "Enable waypoints"},
    {id::kWaypointNameLength, "waypointNameLength", T::List, &F::waypointNameLength, 0, "Maximum waypoint name length"},
    {id::kWaypointCharsLabel, "waypointCharsLabel", T::Label, &F::waypointCharsLabel, 0, ""},
    {id::kCustomSymbols, "customSymbols", T::Check, &F::customSymbols, 0, "Enable use of custom waypoint symbols (must be pre-loaded on GPS receiver)"},
    {id::kRangeEnabled, "rangeEnabled", T::Check, &F::rangeEnabled, 0, ""},
    {id::kRange, "range", T::Edit, &F::range, 3, "Range limit for displayed waypoints", "Range limit distance"},
    {id::kRangeLabel, "rangeLabel", T::Label, &F::rangeLabel, 0, ""},
    {id::kRangeUnitLabel, "rangeUnitLabel", T::Label, &F::rangeUnitLabel, 0, ""},

    // power control
    {id::kPowerControl, "powerControl", T::Check, &F::powerControl, 0, "Enable radio power switch control output", "Enable power control"},
    {id::kPowerActiveLow, "powerActiveLow", T::Check, &F::powerActiveLow, 0, "Make power control output active-low"},
    {id::kPowerOnDelay, "powerOnDelay", T::Edit, &F::powerOnDelay, 3, "Radio power-on delay in seconds"},

    // report options
    {id::kReportAltitude, "reportAltitude", T::Check, &F::reportAltitude, 0, "Report station altitude from GPS"},
    {id::kDao, "dao", T::Check, &F::dao, 0, "Transmit !DAO! APRS extension for extra position resolution"},
    {id::kCourseSpeed, "courseSpeed", T::Check, &F::courseSpeed, 0, "Report course and speed with position report"},
    {id::kTimestamp, "timestamp", T::Check, &F::timestamp, 0, "Transmit GPS timestamp with position report"},
    {id::kTimestampDhm, "timestampDhm", T::Radio, &F::timestampDhm, 0, ""},
    {id::kTimestampHms, "timestampHms", T::Radio, &F::timestampHms, 0, ""},
    {id::kSignalQuality, "signalQuality", T::Check, &F::signalQuality, 0, ""},
    {id::kReportTemperature, "reportTemperature", T::Check, &F::reportTemperature, 0, "Report temperature reading from on-board sensor"},
    {id::kFahrenheit, "fahrenheit", T::Check, &F::fahrenheit, 0, "Report temperature in degrees Fahrenheit"},
    {id::kReportVoltage, "reportVoltage", T::Check, &F::reportVoltage, 0, "Report power supply voltage reading"},
    {id::kCompressed, "compressed", T::Check, &F::compressed, 0, "Transmit positions in Base91 compressed mode"},
    {id::kTelemetry, "telemetry", T::Check, &F::telemetry, 0, "Transmit telemetry packet after position packet"},
    {id::kTelemetryEvery, "telemetryEvery", T::Edit, &F::telemetryEvery, 0, "Send telemetry packet every n transmissions", "Telemetry every n transmissions"},

    // serial ports
    {id::kSerialGroup, "serialGroup", T::Group, &F::serialGroup, 0, ""},
    {id::kSpeedLabel, "speedLabel", T::Label, &F::speedLabel, 0, ""},
    {id::kModeLabel, "modeLabel", T::Label, &F::modeLabel, 0, ""},
    {id::kPortALabel, "portALabel", T::Label, &F::portALabel, 0, ""},
    {id::kPortBLabel, "portBLabel", T::Label, &F::portBLabel, 0, ""},
    {id::kPortASpeed, "portASpeed", T::List, &F::portASpeed, 0, "Serial port A speed", "Port A speed"},
    {id::kPortAMode, "portAMode", T::List, &F::portAMode, 0, "Serial port A mode", "Port A mode"},
    {id::kPortBSpeed, "portBSpeed", T::List, &F::portBSpeed, 0, "Serial port B speed", "Port B speed"},
    {id::kPortBMode, "portBMode", T::List, &F::portBMode, 0, "Serial port B mode", "Port B mode"},
    {id::kAutoBaud, "autoBaud", T::Check, &F::autoBaud, 0, "Enable automatic baud rate detection"},
    {id::kUsbKiss, "usbKiss", T::Check, &F::usbKiss, 0, ""},

    // radio interface
    {id::kAudioLevel, "audioLevel", T::Slider, &F::audioLevel, 0, "Transmitted audio level", "Audio level"},
    {id::kTxDelay, "txDelay", T::Edit, &F::txDelay, 4, "Delay between PTT and start of packet transmission"},
    {id::kTxDelayUnitLabel, "txDelayUnitLabel", T::Label, &F::txDelayUnitLabel, 0, ""},
    {id::kFreqButton, "freqButton", T::Button, &F::freqButton, 0, "Set transmitter frequencies"},
    {id::kLowVoltageEnabled, "lowVoltageEnabled", T::Check, &F::lowVoltageEnabled, 0, "Prevent transmissions when supply voltage drops below threshold"},
    {id::kLowVoltage, "lowVoltage", T::Edit, &F::lowVoltage, 0, "Minimum voltage threshold", "Stop below voltage"},
    {id::kInvertCarrierDetect, "invertCarrierDetect", T::Check, &F::invertCarrierDetect, 0, "Make carrier detect input active-low"},
    {id::kSoftwareCarrierDetect, "softwareCarrierDetect", T::Check, &F::softwareCarrierDetect, 0, ""},
    {id::kSharedPtt, "sharedPtt", T::Check, &F::sharedPtt, 0, "Indicates that PTT line is shared by mic and tracker"},
    {id::kExternalSquelch, "externalSquelch", T::Check, &F::externalSquelch, 0, "Use external squelch input"},
    {id::kPtb2Output, "ptb2Output", T::Check, &F::ptb2Output, 0, "Output state of PTB2 I/O line (checked = on)"},

    // buttons
    {id::kWriteButton, "writeButton", T::Button, &F::writeButton, 0, ""},
    {id::kExitButton, "exitButton", T::Button, &F::exitButton, 0, ""},
    {id::kDiagnosticsButton, "diagnosticsButton", T::Button, &F::diagnosticsButton, 0, ""},
    {id::kProfileSwitchButton, "profileSwitchButton", T::Button, &F::profileSwitchButton, 0, ""},
    {id::kDigipeaterButton, "digipeaterButton", T::Button, &F::digipeaterButton, 0, "Dovric2 options"},
    {id::kAccessListButton, "accessListButton", T::Button, &F::accessListButton, 0, ""},
    {id::kScriptButton, "scriptButton", T::Button, &F::scriptButton, 0, ""},
    {id::kMetricRadio, "metricRadio", T::Radio, &F::metricRadio, 0, ""},
    {id::kImperialRadio, "imperialRadio", T::Radio, &F::imperialRadio, 0, ""},
    {id::kCopyButton, "copyButton", T::Button, &F::copyButton, 0, "Copy all settings from other profile"},
    {id::kSaveButton, "saveButton", T::Button, &F::saveButton, 0, ""},
    {id::kLoadButton, "loadButton", T::Button, &F::loadButton, 0, ""},
    {id::kBackupsButton, "backupsButton", T::Button, &F::backupsButton, 0, ""},
    {id::kFirmwareFileButton, "firmwareFileButton", T::Button, &F::firmwareFileButton, 0, ""},
    {id::kFirmwareNetworkButton, "firmwareNetworkButton", T::Button, &F::firmwareNetworkButton, 0, ""},
}};
// clang-format on

const TrackerControlInfo* findTrackerControl(int controlId) {
    return findControl<TrackerForm>(kTrackerControls, controlId);
}

}  // namespace varnel
