#include "forms/tracker/tracker_keys.h"

#include "forms/satellite/satellite_keys.h"
#include "forms/tracker/tracker_controls.h"

namespace varnel {

namespace id = tracker_id;
using K = KeyType;

const std::array<TrackerKey, kTrackerKeyCount> kTrackerKeys{{
    {"callsign", K::Text, id::kCallsign},
    {"path", K::Text, id::kPath},
    {"alternatePath", K::Check, id::kAlternatePath},
    {"modemBaud", K::Choice, id::kBaud1200, id::kBaud300, "1200", "300"},
    {"carrierMultiplier", K::Integer, id::kCarrierMultiplier},
    {"symbolTable", K::Text, id::kSymbolTable},
    {"symbolCode", K::Text, id::kSymbolCode},
    {"tempCalibration", K::Integer, id::kTempCalibration},
    {"quietTime", K::Integer, id::kQuietTime},
    {"text", K::Text, id::kText},
    {"statusMode", K::Choice, id::kCommentRadio, id::kStatusRadio, "comment", "status"},
    {"statusEvery", K::Integer, id::kStatusEvery},
    {"beaconInterval", K::Integer, id::kBeaconInterval},
    {"skipCount", K::Integer, id::kSkipCount},
    {"smartBeaconing", K::Check, id::kSmartBeaconing},
    {"pttInput", K::Check, id::kPttInput},
    {"timeslotEnabled", K::Check, id::kTimeslotEnabled},
    {"timeslot", K::Decimal, id::kTimeslot},
    {"positionMode", K::Choice, id::kGpsRadio, id::kFixedRadio, "gps", "fixed"},
    {"savePosition", K::Check, id::kSavePosition},
    {"latHemisphere", K::Hemisphere, id::kLatHemisphere, 0, "N", "S"},
    {"latDegrees", K::Integer, id::kLatDegrees},
    {"latMinutes", K::Decimal, id::kLatMinutes},
    {"lonHemisphere", K::Hemisphere, id::kLonHemisphere, 0, "E", "W"},
    {"lonDegrees", K::Integer, id::kLonDegrees},
    {"lonMinutes", K::Decimal, id::kLonMinutes},
    {"noFixRequired", K::Check, id::kNoFixRequired},
    {"counterEnabled", K::Check, id::kCounterEnabled},
    {"counterReset", K::Check, id::kCounterReset},
    {"counterRearm", K::Integer, id::kCounterRearm},
    {"waypoints", K::Check, id::kWaypoints},
    {"waypointNameLength", K::List, id::kWaypointNameLength},
    {"customSymbols", K::Check, id::kCustomSymbols},
    {"waypointRangeEnabled", K::Check, id::kRangeEnabled},
    {"waypointRange", K::Integer, id::kRange},
    {"powerControl", K::Check, id::kPowerControl},
    {"powerActiveLow", K::Check, id::kPowerActiveLow},
    {"powerOnDelay", K::Integer, id::kPowerOnDelay},
    {"reportAltitude", K::Check, id::kReportAltitude},
    {"dao", K::Check, id::kDao},
    {"courseSpeed", K::Check, id::kCourseSpeed},
    {"timestamp", K::Check, id::kTimestamp},
    {"timestampFormat", K::Choice, id::kTimestampDhm, id::kTimestampHms, "DHM", "HMS"},
    {"signalQuality", K::Check, id::kSignalQuality},
    {"reportTemperature", K::Check, id::kReportTemperature},
    {"fahrenheit", K::Check, id::kFahrenheit},
    {"reportVoltage", K::Check, id::kReportVoltage},
    {"compressed", K::Check, id::kCompressed},
    {"telemetry", K::Check, id::kTelemetry},
    {"telemetryEvery", K::Integer, id::kTelemetryEvery},
    {"portASpeed", K::List, id::kPortASpeed},
    {"portAMode", K::List, id::kPortAMode},
    {"portBSpeed", K::List, id::kPortBSpeed},
    {"portBMode", K::List, id::kPortBMode},
    {"autoBaud", K::Check, id::kAutoBaud},
    {"usbKiss", K::Check, id::kUsbKiss},
    {"audioLevel", K::Slider, id::kAudioLevel},
    {"txDelay", K::Integer, id::kTxDelay},
    {"lowVoltageEnabled", K::Check, id::kLowVoltageEnabled},
    {"lowVoltage", K::Decimal, id::kLowVoltage},
    {"invertCarrierDetect", K::Check, id::kInvertCarrierDetect},
    {"softwareCarrierDetect", K::Check, id::kSoftwareCarrierDetect},
    {"sharedPtt", K::Check, id::kSharedPtt},
    {"externalSquelch", K::Check, id::kExternalSquelch},
    {"ptb2Output", K::Check, id::kPtb2Output},
}};

namespace {

// The main dialog's form seen by the key engine. The PTB2 output line is not
// on the dialog's face, but it is an ordinary profile bit on every chip, so
// scripts may read and set it whatever the dialog shows.
class TrackerKeyedForm : public TableKeyedForm<TrackerForm> {
public:
    explicit TrackerKeyedForm(TrackerForm& form) : TableKeyedForm(form, kTrackerControls, trackerControlChanged) {}
    bool available(const FormKey& key) const override { return key.id == id::kPtb2Output || KeyedForm::available(key); }
    bool editable(const FormKey& key) const override { return key.id == id::kPtb2Output || KeyedForm::editable(key); }
};

// The key engine only reads through a const KeyedForm.
TrackerKeyedForm keyed(const TrackerForm& form) { return TrackerKeyedForm(const_cast<TrackerForm&>(form)); }

}  // namespace

const TrackerKey* findTrackerKey(std::string_view key) { return findFormKey(kTrackerKeys, key); }

bool trackerKeyAvailable(const TrackerForm& form, const TrackerKey& key) { return keyed(form).available(key); }

std::string trackerKeyValue(const TrackerForm& form, const TrackerKey& key) { return formKeyValue(keyed(form), key); }

std::vector<std::pair<std::string, std::string>> trackerKeyValues(const TrackerForm& form, const Session& session) {
    auto out = deviceKeyValues(session);
    const TrackerKeyedForm view = keyed(form);
    for (const auto& key : kTrackerKeys)
        if (view.available(key)) out.emplace_back(std::string(key.key), formKeyValue(view, key));
    // Then the windows the dialog opens from its buttons, as they would open.
    SatelliteForms satellites;
    showSatelliteForms(session, satellites);
    for (auto& keyValue : satelliteKeyValues(form, satellites, session)) out.push_back(std::move(keyValue));
    return out;
}

std::string applyTrackerKey(TrackerForm& form, std::string_view name, std::string_view value) {
    if (std::string refusal = deviceKeyRefusal(name); !refusal.empty()) return refusal;
    const std::string k(name);
    const TrackerKey* key = findTrackerKey(name);
    if (!key) return "Unknown key: " + k;
    TrackerKeyedForm view(form);
    return applyFormKey(view, *key, value);
}

}  // namespace varnel
