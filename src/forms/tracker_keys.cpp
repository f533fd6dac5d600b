#include "forms/tracker_keys.h"

#include <algorithm>
#include <cctype>

#include "forms/form_numbers.h"
#include "forms/tracker_controls.h"

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

bool sameWord(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

std::string join(const std::vector<ListEntry>& entries) {
    std::string out;
    for (const auto& e : entries) out += (out.empty() ? "" : ", ") + e.text;
    return out;
}

}  // namespace

const TrackerKey* findTrackerKey(std::string_view key) {
    for (const auto& k : kTrackerKeys)
        if (k.key == key) return &k;
    return nullptr;
}

bool trackerKeyAvailable(const TrackerForm& form, const TrackerKey& key) {
    // The PTB2 output line is not on the dialog's face, but it is an
    // ordinary profile bit on every chip, so scripts may read and set it.
    if (key.id == id::kPtb2Output) return true;
    return form.control(key.id)->visible;
}

std::string trackerKeyValue(const TrackerForm& form, const TrackerKey& key) {
    const FormControl& c = *form.control(key.id);
    switch (key.type) {
    case K::Text:
    case K::Integer:
    case K::Decimal:
    case K::Hemisphere:
        return c.text;
    case K::Check:
        return c.checked ? "1" : "0";
    case K::Choice:
        if (c.checked) return std::string(key.first);
        if (form.control(key.altId)->checked) return std::string(key.second);
        return "";
    case K::List:
        return c.selected >= 0 && c.selected < static_cast<int>(c.entries.size()) ? c.entries[c.selected].text : "";
    case K::Slider:
        return formatInt(c.position);
    }
    return "";
}

std::vector<std::pair<std::string, std::string>> trackerKeyValues(const TrackerForm& form,
                                                                  const Session& session) {
    std::vector<std::pair<std::string, std::string>> out{
        {"family", formatInt(session.settings.family())},
        {"type", formatInt(session.settings.type())},
        {"build", formatInt(session.settings.build())},
        {"deviceId", session.link.deviceInfo.deviceId},
    };
    for (const auto& key : kTrackerKeys)
        if (trackerKeyAvailable(form, key)) out.emplace_back(std::string(key.key), trackerKeyValue(form, key));
    return out;
}

std::string applyTrackerKey(TrackerForm& form, std::string_view name, std::string_view value) {
    const std::string k(name);
    if (name == "family" || name == "type" || name == "build" || name == "deviceId")
        return k + " comes from the device's firmware and cannot be set";
    const TrackerKey* key = findTrackerKey(name);
    if (!key) return "Unknown key: " + k;
    if (!trackerKeyAvailable(form, *key)) return k + " is not available on this device";
    FormControl& c = *form.control(key->id);
    if (!c.enabled && key->id != id::kPtb2Output)
        return k + " cannot be changed while its control is disabled";

    switch (key->type) {
    case K::Text:
    case K::Integer:
    case K::Decimal: {
        const int limit = findTrackerControl(key->id)->typingLimit;
        if (limit > 0 && value.size() > static_cast<std::size_t>(limit))
            return k + ": at most " + std::to_string(limit) + " characters";
        if (key->type == K::Integer && !isFormInt(value)) return k + ": expected a whole number";
        if (key->type == K::Decimal && !isFormDecimal(value)) return k + ": expected a number";
        c.text = std::string(value);
        break;
    }
    case K::Check:
        if (value != "0" && value != "1") return k + ": expected 0 or 1";
        c.checked = value == "1";
        break;
    case K::Choice:
        if (sameWord(value, key->first)) {
            c.checked = true;
            form.control(key->altId)->checked = false;
        } else if (sameWord(value, key->second)) {
            form.control(key->altId)->checked = true;
            c.checked = false;
        } else {
            return k + ": expected " + std::string(key->first) + " or " + std::string(key->second);
        }
        break;
    case K::Hemisphere: {
        const bool wantSecond = sameWord(value, key->second);
        if (!wantSecond && !sameWord(value, key->first))
            return k + ": expected " + std::string(key->first) + " or " + std::string(key->second);
        const bool isSecond = key->id == id::kLatHemisphere ? form.south : form.west;
        if (wantSecond != isSecond) trackerControlChanged(form, key->id);  // one click toggles
        return "";
    }
    case K::List: {
        const auto it = std::find_if(c.entries.begin(), c.entries.end(),
                                     [&](const ListEntry& e) { return sameWord(e.text, value); });
        if (it == c.entries.end()) return k + ": expected one of " + join(c.entries);
        c.selected = static_cast<int>(it - c.entries.begin());
        break;
    }
    case K::Slider: {
        if (!isFormInt(value)) return k + ": expected 0 to 255";
        const long long v = readFormInt(value);
        if (v < 0 || v > 255) return k + ": expected 0 to 255";
        c.position = static_cast<int>(v);
        break;
    }
    }
    trackerControlChanged(form, key->type == K::Choice && form.control(key->altId)->checked ? key->altId : key->id);
    return "";
}

}  // namespace varnel
