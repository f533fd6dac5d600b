#include "config/ax25_codec.h"
#include "config/units.h"
#include "config/weather_record.h"
#include "forms/common/form_numbers.h"
#include "forms/weather/weather_form.h"

namespace varnel {

namespace wl = weather_layout;

void showWeatherRecord(const Session& session, WeatherForm& form) {
    const ConstWeatherRecord r(session.settings.profile(0));

    form.comment.text = r.comment();
    form.callsign.text = decodeAddress(r.sourceAddress());
    // Flash from a half-finished write may hold a length beyond the slot or
    // no end mark; the path is read only as far as both reach.
    form.path.text = decodePath(r.path(), wl::kPathSize, r.pathLength());
    form.txDelay.text = formatInt(r.txDelaySteps() * 4);
    form.powerDelay.text = formatInt(r.powerDelay());
    form.statusEvery.text = formatInt(r.statusEvery());
    form.transmitInterval.text = formatInt(r.transmitInterval());
    form.quietTime.text = formatInt(r.quietTime());
    form.powerControl.checked = r.powerControl();
    form.tempOffset.text = formatInt(r.tempOffset());

    form.windChanges.checked = r.transmitOnWindChange();
    form.directionThreshold.text = formatInt(r.directionThreshold());
    form.speedThreshold.text = formatInt(r.speedThreshold());
    form.minimumSpeed.text = formatInt(r.minimumSpeed());
    form.minimumInterval.text = formatInt(r.minimumInterval());

    const std::string lat = r.latitude();
    form.latDegrees.text = lat.substr(0, 2);
    form.latMinutes.text = lat.substr(2, 5);
    form.south = lat[7] != 'N';
    form.latHemisphere.text = form.south ? "S" : "N";
    const std::string lon = r.longitude();
    form.lonDegrees.text = lon.substr(0, 3);
    form.lonMinutes.text = lon.substr(3, 5);
    form.west = lon[8] != 'E';
    form.lonHemisphere.text = form.west ? "W" : "E";

    // A vane byte beyond the slider's 15 steps shows at the last step.
    form.windVane.position = std::min<int>(r.windVane(), 15);
    weatherControlChanged(form, weather_id::kWindVane);
    // A modem byte holding neither 0 nor 1 leaves the buttons as they were.
    if (r.modem300Baud() <= 1) {
        form.baud1200.checked = r.modem300Baud() == 0;
        form.baud300.checked = r.modem300Baud() == 1;
    }
    form.audioLevel.position = r.audioLevel();

    if (const auto scale = weatherVoltageScale(session.target.kind))
        form.lowVoltage.text = formatLowVoltage(r.lowVoltage(), *scale);
    form.lowVoltageEnabled.checked = r.lowVoltage() != 0;
    form.softwareCarrierDetect.checked = r.softwareCarrierDetect();
}

}  // namespace varnel
