#include <algorithm>
#include <cmath>
#include <cstdio>

#include "config/profile_record.h"
#include "config/units.h"
#include "core/user_interface.h"
#include "forms/common/form_numbers.h"
#include "forms/common/path_text.h"
#include "forms/common/position_text.h"
#include "forms/tracker/tracker_form.h"
#include "forms/tracker/tracker_lists.h"
#include "forms/tracker/tracker_messages.h"

namespace varnel {

namespace msg = tracker_message;
namespace pl = profile_layout;

namespace {

int fail(UserInterface& ui, const std::string& text) {
    ui.message(text);
    return -1;
}

}  // namespace

int checkAndStore(const TrackerForm& form, Session& session, UserInterface& ui) {
    const TargetKind kind = session.target.kind;
    const ProfileRecord p(session.profile(), kind);
    const bool family2 = session.settings.family() == kFamilyTrackerText;
    const bool metric = session.metric;
    const bool serialKinds = kind == KindAP64 || kind == KindJM60 || kind == KindJM128;

    // Text: on KX8 and JL16 a fixed position shares the end of the text
    // field, so the text must stop short of it there. A box that still
    // shows what the record holds keeps its bytes (the text, callsign, path
    // and position alike): what the record holds need not be what storing
    // that text would write.
    {
        const std::size_t limit = (session.target.settingsSize == 512 || form.gpsRadio.checked) ? 61 : 44;
        if (form.text.text != p.text() || form.text.text.size() > limit)
            p.setText(std::string_view(form.text.text).substr(0, limit));
    }

    const StationFields station{p.sourceAddress(), p.data() + pl::kPathLength, p.path()};
    if (const std::string refusal = storeStationAddress(form.callsign.text, station); !refusal.empty())
        return fail(ui, refusal);
    const std::string callsign = callsignBoxText(form.callsign.text);

    if (family2) {
        // These firmwares send a ready-made "CALL>APRS:" header.
        const std::string header = callsign + ">APRS:";
        p.setTextHeader(header);
        p.setPathLength(static_cast<std::uint8_t>(header.size()));
        long long n = readFormInt(form.carrierMultiplier.text);
        if (n == kNotANumber) return fail(ui, msg::kCarrierMultiplier);
        if (n > 255 || n < 0) n = 255;  // as the live label shows it
        p.setCarrierWord(carrierWordFor(static_cast<int>(n)));
        p.setCarrierMultiplier(static_cast<std::uint8_t>(n));
    } else if (const std::string refusal = storeStationPath(form.path.text, station); !refusal.empty()) {
        return fail(ui, refusal);
    }

    {
        const long long delay = readFormInt(form.txDelay.text);
        if (family2) {
            if (delay > 255 || delay < 0) return fail(ui, msg::kTxDelayBytes);
            p.setTxDelay(static_cast<std::uint8_t>(delay));
        } else {
            if (delay > 1683 || delay < 0) return fail(ui, msg::kTxDelayMs);
            p.setTxDelay(static_cast<std::uint8_t>(txDelayStepsFromShownMs(static_cast<int>(delay))));
        }
    }

    {
        const long long v = readFormInt(form.powerOnDelay.text);
        if (v < 0 || v > 255) return fail(ui, msg::kPowerDelay);
        p.setPowerOnDelay(static_cast<std::uint8_t>(v));
    }
    {
        const long long v = readFormInt(form.quietTime.text);
        if (v < 0 || v > 255) return fail(ui, msg::kQuietTime);
        p.setQuietTime(static_cast<std::uint8_t>(v));
    }

    {
        // Whole seconds, plus a flag for an extra half second; other
        // fractions are dropped.
        const double slot = readFormDecimal(form.timeslot.text);
        const double whole = std::trunc(slot);
        if (whole < 0 || whole > 3600) return fail(ui, msg::kTimeslot);
        p.setFlag(pl::kSlotFlags, pl::kSlotHalfSecond, slot - whole == 0.5);
        p.setTimeslot(static_cast<std::uint16_t>(whole), form.baud300.checked);
    }

    {
        const long long v = readFormInt(form.beaconInterval.text);
        if (v < 0 || v > 65535) return fail(ui, msg::kBeaconInterval);
        p.setBeaconInterval(static_cast<std::uint16_t>(v));
    }

    if (form.commentRadio.checked) {
        p.setStatusEvery(0);
    } else if (form.statusRadio.checked) {
        const long long v = readFormInt(form.statusEvery.text);
        if (v < 1 || v > 15) return fail(ui, msg::kStatusInterval);
        p.setStatusEvery(static_cast<std::uint8_t>(v));
    }

    p.setSymbolTable(form.symbolTable.text.empty() ? '\0' : form.symbolTable.text[0]);
    p.setSymbolCode(form.symbolCode.text.empty() ? '\0' : form.symbolCode.text[0]);

    p.setFlag(pl::kSlotFlags, pl::kSlotAlternatePath, form.alternatePath.checked);
    p.setFlag(pl::kReportFlags, pl::kReportAltitude, form.reportAltitude.checked);
    p.setFlag(pl::kReportFlags, pl::kReportCourseSpeed, form.courseSpeed.checked);
    p.setFlag(pl::kReportFlags, pl::kReportGpsTimestamp, form.timestamp.checked);
    p.setFlag(pl::kOptionFlags, pl::kOptionTimestampHms, form.timestampHms.checked);
    p.setFlag(pl::kReportFlags, pl::kReportSignalQuality, form.signalQuality.checked);
    p.setFlag(pl::kOptionFlags, pl::kOptionTemperature, form.reportTemperature.checked);
    p.setFlag(pl::kOptionFlags, pl::kOptionVoltage, form.reportVoltage.checked);
    p.setFlag(pl::kReportFlags, pl::kReportCompressed, form.compressed.checked);
    p.setFlag(pl::kOptionFlags, pl::kOptionPowerControl, form.powerControl.checked);
    p.setFlag(pl::kReportFlags, pl::kReportTimeslot, form.timeslotEnabled.checked);
    p.setFlag(pl::kReportFlags, pl::kReportPttInput, form.pttInput.checked);
    p.setFlag(pl::kOptionFlags, pl::kOptionPtb2On, form.ptb2Output.checked);
    p.setFlag(pl::kIoFlags, pl::kIoCounterInput, form.counterEnabled.checked);
    p.setFlag(pl::kIoFlags, pl::kIoCounterReset, form.counterReset.checked);
    p.setFlag(pl::kIoFlags, pl::kIoDao, form.dao.checked);
    p.setFlag(pl::kMiscFlags, pl::kMiscFahrenheit, form.fahrenheit.checked);
    p.setFlag(pl::kMiscFlags, pl::kMiscSaveLastPosition, form.savePosition.checked);
    p.setFlag(pl::kMiscFlags, pl::kMiscAutoBaud, form.autoBaud.checked);
    p.setFlag(pl::kMiscFlags, pl::kMiscExternalSquelch, form.externalSquelch.checked);

    if (kind != KindKX8) {
        // The range is shown on the chips with serial ports only; the others
        // keep the byte they hold rather than a range of 0 nobody saw.
        if (serialKinds) {
            if (form.rangeEnabled.checked) {
                const long long v = readFormInt(form.range.text);
                if (v < 0 || v > (metric ? 410 : 255)) return fail(ui, msg::kWaypointRange);
                p.setWaypointRange(static_cast<std::uint8_t>(rangeFromDisplay(static_cast<int>(v), metric)));
            } else {
                p.setWaypointRange(0);
            }
        }
        // Likewise the waypoint boxes, offered where the firmware has them.
        if (session.target.featureMask & kFeatureWaypoints) {
            if (form.waypointNameLength.selected >= 0)
                p.setWaypointNameLengthIndex(static_cast<std::uint8_t>(form.waypointNameLength.selected));
            p.setFlag(pl::kFeatureFlags, pl::kFeatureGenerateWaypoints, form.waypoints.checked);
        }
        if (form.baud1200.checked) p.setBaud300(0);
        if (form.baud300.checked) p.setBaud300(1);
    }

    if (serialKinds) {
        p.setFlag(pl::kIoFlags, pl::kIoCustomWaypointSymbols, form.customSymbols.checked);
        // A list with nothing chosen (the stored code matches no entry) is
        // refused rather than stored as an arbitrary code.
        auto selectedData = [](const FormControl& list) -> int {
            if (list.selected < 0 || list.selected >= static_cast<int>(list.entries.size())) return -1;
            return list.entries[list.selected].data;
        };
        const int modeA = selectedData(form.portAMode);
        if (modeA < 0) return fail(ui, msg::kPortAMode);
        p.setPortAMode(static_cast<std::uint8_t>(modeA));
        const int modeB = selectedData(form.portBMode);
        if (modeB < 0) return fail(ui, msg::kPortBMode);
        p.setPortBMode(static_cast<std::uint8_t>(modeB));
        const int speedA = selectedData(form.portASpeed);
        if (speedA < 0) return fail(ui, msg::kPortASpeed);
        p.setPortASpeed(kSerialSpeedCodes[speedA].portA);
        const int speedB = selectedData(form.portBSpeed);
        if (speedB < 0) return fail(ui, msg::kPortBSpeed);
        p.setPortBSpeed(kSerialSpeedCodes[speedB].portB);

        const long long skip = readFormInt(form.skipCount.text);
        if (skip < 0 || skip > 255) return fail(ui, msg::kSkipCount);
        p.setSkipCount(static_cast<std::uint8_t>(skip));
    } else {
        p.setFlag(pl::kIoFlags, pl::kIoPowerActiveLow, form.powerActiveLow.checked);
    }

    {
        const long long v = readFormInt(form.counterRearm.text);
        if (v < 0 || v > 255) return fail(ui, msg::kRearmDelay);
        p.setCounterRearm(static_cast<std::uint8_t>(v));
    }
    p.setFlag(pl::kIoFlags, pl::kIoCarrierActiveLow, form.invertCarrierDetect.checked);
    p.setFlag(pl::kIoFlags, pl::kIoSharedPtt, form.sharedPtt.checked);
    p.setFlag(pl::kIoFlags, pl::kIoTransmitWithoutFix, form.noFixRequired.checked);

    // Telemetry every n transmissions: n has four bits.
    if (form.telemetry.checked) {
        const long long n = readFormInt(form.telemetryEvery.text);
        if (n < 0 || n > 15) return fail(ui, msg::kTelemetryInterval);
        p.setFlag(pl::kIoFlags, pl::kIoTelemetryAfterPosition, true);
        p.setTelemetryEvery(static_cast<std::uint8_t>(n));
    } else {
        p.setFlag(pl::kIoFlags, pl::kIoTelemetryAfterPosition, false);
        p.setTelemetryEvery(0);
    }

    {
        const long long entered = readFormInt(form.tempCalibration.text);
        const long long celsius = (entered < -100000 || entered > 100000)
                                      ? entered
                                      : tempOffsetFromDisplay(static_cast<int>(entered), metric);
        if (celsius < -128 || celsius > 127) return fail(ui, msg::kTempOffset);
        p.setTempOffset(static_cast<std::int8_t>(celsius));
    }

    if (form.gpsRadio.checked) {
        p.setFlag(pl::kOptionFlags, pl::kOptionFixedPosition, false);
    } else if (form.fixedRadio.checked) {
        p.setFlag(pl::kOptionFlags, pl::kOptionFixedPosition, true);
        // Each part is stored as it passes, so a bad minutes entry keeps
        // the degrees just typed.
        std::string lat = p.fixedLatitude();
        const CoordinateStore latStored =
            putCoordinate(lat, 2, 90, form.latDegrees.text, form.latMinutes.text, form.south ? 'S' : 'N');
        p.setFixedLatitude(lat);
        if (latStored != CoordinateStore::Stored) return fail(ui, msg::kInvalidLatitude);

        std::string lon = p.fixedLongitude();
        const CoordinateStore lonStored =
            putCoordinate(lon, 3, 180, form.lonDegrees.text, form.lonMinutes.text, form.west ? 'W' : 'E');
        p.setFixedLongitude(lon);
        if (lonStored != CoordinateStore::Stored) return fail(ui, msg::kInvalidLongitude);
    }

    p.setFlag(pl::kReportFlags, pl::kReportSmartBeaconing, form.smartBeaconing.checked);
    p.setFlag(pl::kFeatureFlags, pl::kFeatureSoftCarrierDetect, form.softwareCarrierDetect.checked);
    p.setFlag(pl::kRadioFlags, pl::kRadioUsbKiss, form.usbKiss.checked);

    {
        // The threshold is one byte of device units; a voltage that needs
        // more is refused instead of wrapping to a low threshold.
        const double scale = lowVoltageScale(kind);
        std::uint8_t units = 0;
        if (form.lowVoltageEnabled.checked) {
            const auto entered = lowVoltageByte(form.lowVoltage.text, scale);
            if (!entered) {
                char text[96];
                std::snprintf(text, sizeof text, msg::kLowVoltageFormat, 255 / scale);
                ui.message(text);
                return -1;
            }
            units = *entered;
        }
        p.setLowVoltage(units);
    }

    p.setAudioLevel(static_cast<std::uint8_t>(std::clamp(form.audioLevel.position, 0, 255)));
    return 0;
}

}  // namespace varnel
