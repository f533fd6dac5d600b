#include "forms/weather/weather_form.h"

#include "config/weather_record.h"

namespace varnel {

namespace id = weather_id;
namespace wl = weather_layout;
using T = ControlType;
using F = WeatherForm;

// Typing limits are the dialog's edit limits; the command line is bound by
// them too. The comment box takes the 44 characters the record keeps.
// One control a line, as the window lists them.
// clang-format off
const std::array<ControlInfo<WeatherForm>, kWeatherControlCount> kWeatherControls{{
    {id::kCallsign, "callsign", T::Edit, &F::callsign, 9, "Station callsign and optional SSID (e.g., W1AW-5)"},
    {id::kPath, "path", T::Edit, &F::path, 29, "Digipeater path (e.g., WIDE2-1,WIDE2-2)"},
    {id::kTransmitInterval, "transmitInterval", T::Edit, &F::transmitInterval, 5, "Transmission interval in seconds"},
    {id::kTempOffset, "tempOffset", T::Edit, &F::tempOffset, 4, "Temperature sensor calibration (degrees C)"},
    {id::kComment, "comment", T::Edit, &F::comment, static_cast<int>(wl::kCommentMax),
     "Comment text to transmit (up to 44 characters)"},
    {id::kQuietTime, "quietTime", T::Edit, &F::quietTime, 0, "Time channel must be quiet before transmission (0 disables carrier detect)"},
    {id::kPowerDelay, "powerDelay", T::Edit, &F::powerDelay, 0, "Seconds between switching the radio on and transmitting"},
    {id::kPowerControl, "powerControl", T::Check, &F::powerControl, 0, "Switch the radio's power between transmissions"},
    {id::kStatusEvery, "statusEvery", T::Edit, &F::statusEvery, 3, "Transmit status text only every n transmissions"},
    {id::kBaud1200, "baud1200", T::Radio, &F::baud1200, 0, ""},
    {id::kBaud300, "baud300", T::Radio, &F::baud300, 0, ""},
    {id::kLatHemisphere, "latHemisphere", T::Button, &F::latHemisphere, 0, "(N)orth or (S)outh", "Latitude hemisphere"},
    {id::kLatDegrees, "latDegrees", T::Edit, &F::latDegrees, 2, "Latitude (degrees)", "Latitude degrees"},
    {id::kLatMinutes, "latMinutes", T::Edit, &F::latMinutes, 5, "Latitude (decimal minutes)", "Latitude minutes"},
    {id::kLonHemisphere, "lonHemisphere", T::Button, &F::lonHemisphere, 0, "(E)ast or (W)est", "Longitude hemisphere"},
    {id::kLonDegrees, "lonDegrees", T::Edit, &F::lonDegrees, 3, "Longitude (degrees)", "Longitude degrees"},
    {id::kLonMinutes, "lonMinutes", T::Edit, &F::lonMinutes, 5, "Longitude (decimal minutes)", "Longitude minutes"},
    {id::kWindVane, "windVane", T::Slider, &F::windVane, 0, "Turn the reported wind direction in 22.5 degree steps"},
    {id::kWindVaneLabel, "windVaneLabel", T::Label, &F::windVaneLabel, 0, ""},
    {id::kWindChanges, "windChanges", T::Check, &F::windChanges, 0, "Transmit early when the wind changes beyond the thresholds"},
    {id::kDirectionThreshold, "directionThreshold", T::Edit, &F::directionThreshold, 0, "Direction change that counts (degrees)"},
    {id::kSpeedThreshold, "speedThreshold", T::Edit, &F::speedThreshold, 0, "Speed change that counts (MPH)"},
    {id::kMinimumSpeed, "minimumSpeed", T::Edit, &F::minimumSpeed, 0, "Wind speed below which changes are ignored (MPH)"},
    {id::kMinimumInterval, "minimumInterval", T::Edit, &F::minimumInterval, 0, "Shortest time between wind-change transmissions (seconds)"},
    {id::kAudioLevel, "audioLevel", T::Slider, &F::audioLevel, 0, "Transmit audio level"},
    {id::kTxDelay, "txDelay", T::Edit, &F::txDelay, 3, "Delay between keying the transmitter and sending data (ms)"},
    {id::kLowVoltageEnabled, "lowVoltageEnabled", T::Check, &F::lowVoltageEnabled, 0, "Stop transmitting when the supply is below the limit"},
    {id::kLowVoltage, "lowVoltage", T::Edit, &F::lowVoltage, 0, "Lowest supply voltage to transmit at (volts)", "Stop below voltage"},
    {id::kSoftwareCarrierDetect, "softwareCarrierDetect", T::Check, &F::softwareCarrierDetect, 0, "Detect a busy channel from the received audio"},
    {id::kDiagnosticsButton, "diagnosticsButton", T::Button, &F::diagnosticsButton, 0, ""},
    {id::kFirmwareFileButton, "firmwareFileButton", T::Button, &F::firmwareFileButton, 0, ""},
    {id::kFirmwareNetworkButton, "firmwareNetworkButton", T::Button, &F::firmwareNetworkButton, 0, ""},
    {id::kSaveButton, "saveButton", T::Button, &F::saveButton, 0, ""},
    {id::kLoadButton, "loadButton", T::Button, &F::loadButton, 0, ""},
    {id::kBackupsButton, "backupsButton", T::Button, &F::backupsButton, 0, ""},
    {id::kWriteButton, "writeButton", T::Button, &F::writeButton, 0, ""},
    {id::kExitButton, "exitButton", T::Button, &F::exitButton, 0, ""},
}};
// clang-format on

}  // namespace varnel
