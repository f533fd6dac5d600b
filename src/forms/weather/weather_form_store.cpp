#include <algorithm>
#include <cstdio>

#include "config/weather_record.h"
#include "core/user_interface.h"
#include "forms/common/form_numbers.h"
#include "forms/common/path_text.h"
#include "forms/common/position_text.h"
#include "forms/tracker/tracker_messages.h"
#include "forms/weather/weather_form.h"
#include "forms/weather/weather_messages.h"

namespace varnel {

namespace wl = weather_layout;
namespace msg = tracker_message;
namespace wmsg = weather_message;

namespace {

int fail(UserInterface& ui, const std::string& text) {
    ui.message(text);
    return -1;
}

// The whole number in an edit; false when it lies outside lo..hi.
bool readInRange(const FormControl& edit, long long lo, long long hi, long long& out) {
    out = readFormInt(edit.text);
    return out >= lo && out <= hi;
}

}  // namespace

int storeWeatherRecord(const WeatherForm& form, Session& session, UserInterface& ui) {
    const WeatherRecord r(session.settings.profile(0));
    long long v = 0;

    // A box that still shows what the record holds keeps its bytes: what
    // the record holds need not be what storing that text would write.
    if (form.comment.text != r.comment()) r.setComment(std::string_view(form.comment.text).substr(0, wl::kCommentMax));

    const StationFields station{r.sourceAddress(), r.data() + wl::kPathLength, r.path()};
    if (const std::string refusal = storeStationAddress(form.callsign.text, station); !refusal.empty())
        return fail(ui, refusal);
    if (const std::string refusal = storeStationPath(form.path.text, station); !refusal.empty())
        return fail(ui, refusal);

    // The firmware counts the transmit delay in 4 ms steps.
    if (!readInRange(form.txDelay, 0, 1023, v)) return fail(ui, wmsg::kTxDelay);
    r.setTxDelaySteps(static_cast<std::uint8_t>(v >> 2));
    if (!readInRange(form.powerDelay, 0, 255, v)) return fail(ui, msg::kPowerDelay);
    r.setPowerDelay(static_cast<std::uint8_t>(v));
    if (!readInRange(form.quietTime, 0, 255, v)) return fail(ui, msg::kQuietTime);
    r.setQuietTime(static_cast<std::uint8_t>(v));
    if (!readInRange(form.statusEvery, 0, 255, v)) return fail(ui, wmsg::kStatusInterval);
    r.setStatusEvery(static_cast<std::uint8_t>(v));
    if (!readInRange(form.transmitInterval, 0, 65535, v)) return fail(ui, msg::kBeaconInterval);
    r.setTransmitInterval(static_cast<std::uint16_t>(v));

    r.setPowerControl(form.powerControl.checked);

    // The message names 128 as the bound, but one signed byte stops at 127.
    if (!readInRange(form.tempOffset, -128, 127, v)) return fail(ui, msg::kTempOffset);
    r.setTempOffset(static_cast<std::int8_t>(v));
    r.markStored();

    r.setTransmitOnWindChange(form.windChanges.checked);
    if (!readInRange(form.minimumInterval, 0, 65535, v)) return fail(ui, wmsg::kMinimumInterval);
    r.setMinimumInterval(static_cast<std::uint16_t>(v));
    // A threshold of 0 degrees would count every reading as a change.
    if (!readInRange(form.directionThreshold, 1, 180, v)) return fail(ui, wmsg::kDirectionThreshold);
    r.setDirectionThreshold(static_cast<std::uint8_t>(v));
    if (!readInRange(form.speedThreshold, 0, 255, v)) return fail(ui, wmsg::kSpeedThreshold);
    r.setSpeedThreshold(static_cast<std::uint8_t>(v));
    if (!readInRange(form.minimumSpeed, 0, 255, v)) return fail(ui, wmsg::kMinimumSpeed);
    r.setMinimumSpeed(static_cast<std::uint8_t>(v));

    // Each part of the position is stored as it passes.
    {
        std::string lat = r.latitude();
        const CoordinateStore stored =
            putCoordinate(lat, 2, 90, form.latDegrees.text, form.latMinutes.text, form.south ? 'S' : 'N');
        r.setLatitude(lat);
        if (stored != CoordinateStore::Stored) return fail(ui, msg::kInvalidLatitude);
    }
    {
        std::string lon = r.longitude();
        const CoordinateStore stored =
            putCoordinate(lon, 3, 180, form.lonDegrees.text, form.lonMinutes.text, form.west ? 'W' : 'E');
        r.setLongitude(lon);
        if (stored != CoordinateStore::Stored) return fail(ui, msg::kInvalidLongitude);
    }

    // A vane byte beyond the slider's 15 steps shows at the last step and is
    // kept while the slider stays there.
    if (form.windVane.position != std::min<int>(r.windVane(), 15))
        r.setWindVane(static_cast<std::uint8_t>(std::clamp(form.windVane.position, 0, 15)));
    if (form.baud1200.checked) r.setModem300Baud(false);
    if (form.baud300.checked) r.setModem300Baud(true);
    r.setAudioLevel(static_cast<std::uint8_t>(std::clamp(form.audioLevel.position, 0, 255)));

    // The limit is one byte of device units. A voltage that needs more is
    // refused rather than wrapped to a low limit; chips without a known
    // divider keep the byte they have.
    if (const auto scale = weatherVoltageScale(session.target.kind)) {
        std::uint8_t units = 0;
        if (form.lowVoltageEnabled.checked) {
            const auto entered = lowVoltageByte(form.lowVoltage.text, *scale);
            if (!entered) {
                char text[96];
                std::snprintf(text, sizeof text, msg::kLowVoltageFormat, 255 / *scale);
                ui.message(text);
                return -1;
            }
            units = *entered;
        }
        r.setLowVoltage(units);
    }

    r.setSoftwareCarrierDetect(form.softwareCarrierDetect.checked);
    return 0;
}

}  // namespace varnel
