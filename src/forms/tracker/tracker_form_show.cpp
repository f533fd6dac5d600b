#include <cstdio>

#include "config/ax25_codec.h"
#include "config/profile_record.h"
#include "config/units.h"
#include "forms/common/form_numbers.h"
#include "forms/tracker/tracker_form.h"
#include "forms/tracker/tracker_lists.h"
#include "forms/tracker/tracker_messages.h"

namespace varnel {

namespace id = tracker_id;
namespace msg = tracker_message;
namespace pl = profile_layout;

namespace {

void selectRadio(FormControl& on, FormControl& off) {
    on.checked = true;
    off.checked = false;
}

// A stored NUL is an empty box (and an empty box stores a NUL).
std::string charText(char c) { return c == 0 ? std::string() : std::string(1, c); }

}  // namespace

void showProfile(const Session& session, TrackerForm& form) {
    const TargetKind kind = session.target.kind;
    const ConstProfileRecord p(session.profile(), kind);
    const SettingsHeader header = SettingsHeader::of(session.settings);
    const bool family2 = header.family == kFamilyTrackerText;
    const bool metric = session.metric;

    form.freqButton.visible = (header.flags & settings_layout::kFlagShowFreqButton) != 0;
    form.moreTextsButton.visible = session.radio.bytes[radio_layout::kStatusButton] == 2;
    form.buildLabel.text = formatInt(header.build);
    form.text.text = p.text();
    form.callsign.text = decodeAddress(p.sourceAddress());
    if (!family2) form.path.text = decodePath(p.path(), pl::kPathSize, p.pathLength());
    form.txDelay.text = formatInt(family2 ? p.txDelay() : txDelayToMs(p.txDelay()));
    form.powerOnDelay.text = formatInt(p.powerOnDelay());
    form.quietTime.text = formatInt(p.quietTime());

    const bool halfSecond = p.flag(pl::kSlotFlags, pl::kSlotHalfSecond);
    form.timeslot.text = formatInt(p.timeslotSeconds()) + (halfSecond ? ".5" : "");
    form.beaconInterval.text = formatInt(p.beaconInterval());

    form.statusEvery.text = formatInt(p.statusEvery());
    if (p.statusEvery() == 0) {
        selectRadio(form.commentRadio, form.statusRadio);
        form.statusEvery.enabled = false;
    } else {
        selectRadio(form.statusRadio, form.commentRadio);
        form.statusEvery.enabled = true;
    }
    form.telemetryEvery.text = formatInt(p.telemetryEvery());
    form.telemetry.checked = p.everyCounts() > 15;
    form.telemetryEvery.enabled = form.telemetry.checked;

    form.symbolTable.text = charText(p.symbolTable());
    form.symbolCode.text = charText(p.symbolCode());
    for (std::size_t i = 0; i < kAprsSymbols.size(); ++i)
        if (kAprsSymbols[i].table == p.symbolTable() && kAprsSymbols[i].code == p.symbolCode())
            form.symbolList.selected = static_cast<int>(i);  // the last match wins

    form.alternatePath.checked = p.flag(pl::kSlotFlags, pl::kSlotAlternatePath);
    form.reportAltitude.checked = p.flag(pl::kReportFlags, pl::kReportAltitude);
    form.courseSpeed.checked = p.flag(pl::kReportFlags, pl::kReportCourseSpeed);
    form.timestamp.checked = p.flag(pl::kReportFlags, pl::kReportGpsTimestamp);
    if (p.flag(pl::kOptionFlags, pl::kOptionTimestampHms)) selectRadio(form.timestampHms, form.timestampDhm);
    else selectRadio(form.timestampDhm, form.timestampHms);
    form.signalQuality.checked = p.flag(pl::kReportFlags, pl::kReportSignalQuality);
    form.reportTemperature.checked = p.flag(pl::kOptionFlags, pl::kOptionTemperature);
    form.reportVoltage.checked = p.flag(pl::kOptionFlags, pl::kOptionVoltage);
    form.compressed.checked = p.flag(pl::kReportFlags, pl::kReportCompressed);
    form.dao.checked = p.flag(pl::kIoFlags, pl::kIoDao);
    form.fahrenheit.checked = p.flag(pl::kMiscFlags, pl::kMiscFahrenheit);
    form.savePosition.checked = p.flag(pl::kMiscFlags, pl::kMiscSaveLastPosition);
    form.autoBaud.checked = p.flag(pl::kMiscFlags, pl::kMiscAutoBaud);
    form.externalSquelch.checked = p.flag(pl::kMiscFlags, pl::kMiscExternalSquelch);
    form.powerActiveLow.checked = p.flag(pl::kIoFlags, pl::kIoPowerActiveLow);
    form.powerControl.checked = p.flag(pl::kOptionFlags, pl::kOptionPowerControl);
    form.timeslotEnabled.checked = p.flag(pl::kReportFlags, pl::kReportTimeslot);
    form.pttInput.checked = p.flag(pl::kReportFlags, pl::kReportPttInput);
    form.ptb2Output.checked = p.flag(pl::kOptionFlags, pl::kOptionPtb2On);
    form.counterEnabled.checked = p.flag(pl::kIoFlags, pl::kIoCounterInput);
    form.counterReset.checked = p.flag(pl::kIoFlags, pl::kIoCounterReset);
    form.counterRearm.text = formatInt(p.counterRearm());
    form.invertCarrierDetect.checked = p.flag(pl::kIoFlags, pl::kIoCarrierActiveLow);
    form.sharedPtt.checked = p.flag(pl::kIoFlags, pl::kIoSharedPtt);
    form.noFixRequired.checked = p.flag(pl::kIoFlags, pl::kIoTransmitWithoutFix);

    form.tempCalibration.text = formatInt(tempOffsetToDisplay(p.tempOffset(), metric));

    if (session.target.featureMask & kFeatureWaypoints) {
        form.waypoints.checked = p.flag(pl::kFeatureFlags, pl::kFeatureGenerateWaypoints);
        form.waypointNameLength.selected = p.waypointNameLengthIndex();
    }

    // A baud300 byte holding neither 0 nor 1 leaves the buttons as they were.
    if (const auto slow = p.radioModem300Baud()) {
        if (*slow) selectRadio(form.baud300, form.baud1200);
        else selectRadio(form.baud1200, form.baud300);
    }

    if (kind == KindAP64 || kind == KindJM60 || kind == KindJM128) {
        form.customSymbols.checked = p.flag(pl::kIoFlags, pl::kIoCustomWaypointSymbols);
        form.range.text = formatInt(rangeToDisplay(p.waypointRange(), metric));
        form.rangeEnabled.checked = p.waypointRange() != 0;
        form.range.enabled = p.waypointRange() != 0;

        // The first match among the first ten rows; no match: no selection.
        auto selectMode = [](FormControl& list, std::uint8_t code) {
            list.selected = -1;
            for (std::size_t i = 0; i < list.entries.size() && i < 10; ++i)
                if (list.entries[i].data == code) {
                    list.selected = static_cast<int>(i);
                    break;
                }
        };
        selectMode(form.portAMode, p.portAMode());
        selectMode(form.portBMode, p.portBMode());

        // No match: the speed lists keep their selection.
        if (const int row = speedRowForPortA(p.portASpeed()); row >= 0) form.portASpeed.selected = row;
        if (const int row = speedRowForPortB(p.portBSpeed()); row >= 0) form.portBSpeed.selected = row;

        form.skipCount.text = formatInt(p.skipCount());
    }

    if (p.flag(pl::kOptionFlags, pl::kOptionFixedPosition)) {
        selectRadio(form.fixedRadio, form.gpsRadio);
        for (int i : {id::kLatHemisphere, id::kLatDegrees, id::kLatMinutes, id::kLonHemisphere, id::kLonDegrees,
                      id::kLonMinutes})
            form.control(i)->enabled = true;
        const std::string lat = p.fixedLatitude();
        const std::string lon = p.fixedLongitude();
        form.south = lat[7] != 'N';
        form.latHemisphere.text = form.south ? "S" : "N";
        form.west = lon[8] != 'E';
        form.lonHemisphere.text = form.west ? "W" : "E";
        form.latDegrees.text = lat.substr(0, 2);
        form.latMinutes.text = lat.substr(2, 5);
        form.lonDegrees.text = lon.substr(0, 3);
        form.lonMinutes.text = lon.substr(3, 5);
    } else {
        // GPS mode: the position boxes keep whatever they showed before.
        selectRadio(form.gpsRadio, form.fixedRadio);
        for (int i : {id::kLatHemisphere, id::kLatDegrees, id::kLatMinutes, id::kLonHemisphere, id::kLonDegrees,
                      id::kLonMinutes})
            form.control(i)->enabled = false;
    }

    form.smartBeaconing.checked = p.flag(pl::kReportFlags, pl::kReportSmartBeaconing);

    form.lowVoltage.text = formatLowVoltage(p.lowVoltage(), lowVoltageScale(kind));
    form.lowVoltageEnabled.checked = p.lowVoltage() != 0;

    trackerControlChanged(form, id::kSmartBeaconing);

    form.audioLevel.position = p.audioLevel();
    form.softwareCarrierDetect.checked = p.flag(pl::kFeatureFlags, pl::kFeatureSoftCarrierDetect);
    form.usbKiss.checked = p.flag(pl::kRadioFlags, pl::kRadioUsbKiss);

    if (family2) {
        // Text-header firmware: no digipeater path, a carrier multiplier
        // instead, delay in bytes, no SmartBeaconing and no compression.
        form.path.enabled = false;
        form.path.visible = false;
        form.pathLabel.visible = false;
        form.carrierLabel.visible = true;
        form.alternatePath.visible = false;
        form.carrierMultiplier.visible = true;
        form.txDelayUnitLabel.text = msg::kBytes;
        form.smartBeaconing.checked = false;
        form.smartBeaconing.enabled = false;
        form.compressed.checked = false;
        form.compressed.enabled = false;
        char hz[64];
        std::snprintf(hz, sizeof hz, msg::kCarrierHzFormat, carrierFrequencyHz(p.carrierMultiplier()));
        form.carrierHzLabel.text = hz;
        form.carrierMultiplier.text = formatInt(p.carrierMultiplier());
        form.carrierHzLabel.visible = true;
        // SmartBeaconing was just switched off: the interval box is the one
        // that counts again.
        trackerControlChanged(form, id::kSmartBeaconing);
    }
}

}  // namespace varnel
