#include "forms/weather/weather_keys.h"

namespace varnel {

namespace id = weather_id;
using K = KeyType;

const std::array<FormKey, kWeatherKeyCount> kWeatherKeys{{
    {"callsign", K::Text, id::kCallsign},
    {"path", K::Text, id::kPath},
    {"comment", K::Text, id::kComment},
    {"transmitInterval", K::Integer, id::kTransmitInterval},
    {"statusEvery", K::Integer, id::kStatusEvery},
    {"txDelay", K::Integer, id::kTxDelay},
    {"quietTime", K::Integer, id::kQuietTime},
    {"powerControl", K::Check, id::kPowerControl},
    {"powerDelay", K::Integer, id::kPowerDelay},
    {"tempOffset", K::Integer, id::kTempOffset},
    {"modemBaud", K::Choice, id::kBaud1200, id::kBaud300, "1200", "300"},
    {"latHemisphere", K::Hemisphere, id::kLatHemisphere, 0, "N", "S"},
    {"latDegrees", K::Integer, id::kLatDegrees},
    {"latMinutes", K::Decimal, id::kLatMinutes},
    {"lonHemisphere", K::Hemisphere, id::kLonHemisphere, 0, "E", "W"},
    {"lonDegrees", K::Integer, id::kLonDegrees},
    {"lonMinutes", K::Decimal, id::kLonMinutes},
    {"windVane", K::Slider, id::kWindVane},
    {"transmitOnWindChange", K::Check, id::kWindChanges},
    {"directionThreshold", K::Integer, id::kDirectionThreshold},
    {"speedThreshold", K::Integer, id::kSpeedThreshold},
    {"minimumSpeed", K::Integer, id::kMinimumSpeed},
    {"minimumInterval", K::Integer, id::kMinimumInterval},
    {"audioLevel", K::Slider, id::kAudioLevel},
    {"lowVoltageEnabled", K::Check, id::kLowVoltageEnabled},
    {"lowVoltage", K::Decimal, id::kLowVoltage},
    {"softwareCarrierDetect", K::Check, id::kSoftwareCarrierDetect},
}};

namespace {

// What each key takes, in kWeatherKeys' order.
constexpr std::string_view kWeatherKeyValues[kWeatherKeyCount] = {
    "callsign and optional SSID, up to 9 characters",
    "digipeater path, up to 29 characters (at most 3 hops)",
    "up to 44 characters",
    "0 to 65535 s",
    "0 to 255 transmissions between status texts",
    "0 to 1023 ms (kept in steps of 4)",
    "0 to 255 (0: no carrier detect)",
    "0 or 1",
    "0 to 255 s",
    "-128 to 127 degrees C",
    "1200 or 300 (baud)",
    "N or S",
    "0 to 90 degrees",
    "0 to 60 minutes (hundredths kept)",
    "E or W",
    "0 to 180 degrees",
    "0 to 60 minutes (hundredths kept)",
    "0 to 15, steps of 22.5 degrees",
    "0 or 1",
    "1 to 180 degrees",
    "0 to 255 MPH",
    "0 to 255 MPH",
    "0 to 65535 s",
    "0 to 255",
    "0 or 1",
    "volts, up to 15.00 (KX8), 18.50 (JL16, AW32) or 20.00 (other chips)",
    "0 or 1",
};

// The weather dialog's form seen by the key engine: the wind vane slider
// has 16 positions.
class WeatherKeyedForm : public TableKeyedForm<WeatherForm> {
public:
    explicit WeatherKeyedForm(WeatherForm& form) : TableKeyedForm(form, kWeatherControls, weatherControlChanged) {}
    int sliderMaximum(int controlId) const override { return controlId == id::kWindVane ? 15 : 255; }
};

}  // namespace

std::vector<std::pair<std::string, std::string>> weatherKeyValues(const WeatherForm& form, const Session& session) {
    auto out = deviceKeyValues(session);
    // The key engine only reads through a const KeyedForm.
    const WeatherKeyedForm view(const_cast<WeatherForm&>(form));
    for (const auto& key : kWeatherKeys)
        if (view.available(key)) out.emplace_back(std::string(key.key), formKeyValue(view, key));
    return out;
}

std::vector<KeyHelp> weatherKeyHelp() {
    std::vector<KeyHelp> out;
    for (std::size_t i = 0; i < kWeatherKeyCount; ++i)
        out.push_back({std::string(kWeatherKeys[i].key), std::string(kWeatherKeyValues[i])});
    return out;
}

std::string applyWeatherKey(WeatherForm& form, std::string_view name, std::string_view value) {
    if (std::string refusal = deviceKeyRefusal(name); !refusal.empty()) return refusal;
    const std::string k(name);
    const FormKey* key = findFormKey(kWeatherKeys, name);
    if (!key) return "Unknown key: " + k;
    WeatherKeyedForm view(form);
    return applyFormKey(view, *key, value);
}

}  // namespace varnel
