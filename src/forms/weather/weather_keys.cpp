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

std::string applyWeatherKey(WeatherForm& form, std::string_view name, std::string_view value) {
    if (std::string refusal = deviceKeyRefusal(name); !refusal.empty()) return refusal;
    const std::string k(name);
    const FormKey* key = findFormKey(kWeatherKeys, name);
    if (!key) return "Unknown key: " + k;
    WeatherKeyedForm view(form);
    return applyFormKey(view, *key, value);
}

}  // namespace varnel
