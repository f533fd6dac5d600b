#include "forms/weather/weather_form.h"

#include <cstdio>

#include "config/weather_record.h"
#include "forms/common/position_text.h"
#include "forms/tracker/tracker_messages.h"
#include "forms/weather/weather_messages.h"

namespace varnel {

namespace id = weather_id;

WeatherForm::WeatherForm() {
    for (FormControl* c : {&firmwareFileButton, &firmwareNetworkButton, &diagnosticsButton}) c->enabled = false;
    latHemisphere.text = "N";
    lonHemisphere.text = "W";
    writeButton.text = tracker_message::kConnect;
    weatherControlChanged(*this, id::kWindVane);
}

FormControl* WeatherForm::control(int controlId) {
    const auto* info = findControl<WeatherForm>(kWeatherControls, controlId);
    return info ? &(this->*(info->member)) : nullptr;
}

const FormControl* WeatherForm::control(int controlId) const {
    const auto* info = findControl<WeatherForm>(kWeatherControls, controlId);
    return info ? &(this->*(info->member)) : nullptr;
}

void startWeatherForm(WeatherForm& form, Session& session) {
    form.south = false;
    form.west = true;
    form.latHemisphere.text = "N";
    form.lonHemisphere.text = "W";
    session.metric = true;

    const bool connected = session.link.connected;
    form.firmwareFileButton.enabled = connected;
    form.firmwareNetworkButton.enabled = connected;
    form.writeButton.text = connected ? tracker_message::kWrite : tracker_message::kConnect;
    const TargetKind kind = session.target.kind;
    form.diagnosticsButton.enabled = connected && (kind == KindAP64 || kind == KindJL16);

    // Without a known divider the limit cannot be shown or entered in volts.
    const bool voltage = weatherVoltageScale(kind).has_value();
    form.lowVoltage.enabled = voltage;
    form.lowVoltageEnabled.enabled = voltage;

    session.currentProfile = 0;
    showWeatherRecord(session, form);
}

void weatherControlChanged(WeatherForm& form, int controlId) {
    switch (controlId) {
    case id::kLatHemisphere: toggleHemisphere(form.south, form.latHemisphere, "N", "S"); break;
    case id::kLonHemisphere: toggleHemisphere(form.west, form.lonHemisphere, "E", "W"); break;
    case id::kWindVane: {
        char text[32];
        std::snprintf(text, sizeof text, weather_message::kWindVaneFormat, form.windVane.position * 22.5);
        form.windVaneLabel.text = text;
        break;
    }
    default: break;
    }
}

}  // namespace varnel
