#include "forms/tracker/tracker_form.h"

#include <cstdio>

#include "config/profile_record.h"
#include "forms/common/form_numbers.h"
#include "forms/common/position_text.h"
#include "forms/tracker/tracker_controls.h"
#include "forms/tracker/tracker_lists.h"
#include "forms/tracker/tracker_messages.h"

namespace varnel {

namespace id = tracker_id;
namespace msg = tracker_message;

namespace {

// Controls the layout keeps out of sight until a chip or firmware needs them.
constexpr int kHiddenAtCreation[] = {
    id::kCustomSymbols,
    id::kCarrierMultiplier,
    id::kCarrierLabel,
    id::kCarrierHzLabel,
    id::kDigipeaterButton,
    id::kWaypoints,
    id::kPortAMode,
    id::kPortBMode,
    id::kWaypointNameLength,
    id::kWaypointGroup,
    id::kWaypointCharsLabel,
    id::kPortALabel,
    id::kPortBLabel,
    id::kFreqButton,
    id::kMoreTextsButton,
    id::kPortASpeed,
    id::kPortBSpeed,
    id::kSpeedLabel,
    id::kModeLabel,
    id::kRange,
    id::kRangeLabel,
    id::kRangeUnitLabel,
    id::kRangeEnabled,
    id::kScriptButton,
    id::kSavePosition,
    id::kAutoBaud,
    id::kFahrenheit,
    id::kExternalSquelch,
    id::kSerialGroup,
    id::kSkipLabel,
    id::kSkipUnitLabel,
    id::kSkipCount,
    id::kAccessListButton,
    id::kPtb2Output,
    id::kUsbKiss,
};

// Controls the layout creates greyed out.
constexpr int kDisabledAtCreation[] = {
    id::kFirmwareFileButton,   id::kFirmwareNetworkButton,
    id::kLatHemisphere,        id::kLonHemisphere,
    id::kLatDegrees,           id::kLatMinutes,
    id::kLonDegrees,           id::kLonMinutes,
    id::kSmartBeaconingButton, id::kDiagnosticsButton,
    id::kCustomSymbols,        id::kRange,
    id::kRangeLabel,           id::kRangeUnitLabel,
    id::kRangeEnabled,
};

constexpr int kPositionControls[] = {
    id::kLatHemisphere, id::kLatDegrees, id::kLatMinutes, id::kLonHemisphere, id::kLonDegrees, id::kLonMinutes,
};

bool hasSerialPorts(TargetKind kind) { return kind == KindAP64 || kind == KindJM60 || kind == KindJM128; }

void show(TrackerForm& form, std::initializer_list<int> ids, bool visible = true) {
    for (int i : ids) form.control(i)->visible = visible;
}

void enable(TrackerForm& form, std::initializer_list<int> ids, bool enabled = true) {
    for (int i : ids) form.control(i)->enabled = enabled;
}

void setUnitLabels(TrackerForm& form, bool metric) {
    form.tempUnitLabel.text = metric ? msg::kDegreesC : msg::kDegreesF;
    form.rangeUnitLabel.text = metric ? msg::kKm : msg::kMiles;
    form.metricRadio.checked = metric;
    form.imperialRadio.checked = !metric;
}

}  // namespace

TrackerForm::TrackerForm() {
    for (int i : kHiddenAtCreation) control(i)->visible = false;
    for (int i : kDisabledAtCreation) control(i)->enabled = false;
    tabs.entries = {{msg::kProfile1, 0}, {msg::kProfile2, 1}};
    carrierHzLabel.text = msg::kCarrierHzInitial;
    txDelayUnitLabel.text = msg::kMilliseconds;
    tempUnitLabel.text = msg::kDegreesC;
    rangeUnitLabel.text = msg::kKm;
    usbKiss.text = msg::kUsbKiss;
    latHemisphere.text = "N";
    lonHemisphere.text = "W";
    writeButton.text = msg::kConnect;
    copyButton.text = msg::kCopyFromProfile2;
}

FormControl* TrackerForm::control(int controlId) {
    const TrackerControlInfo* info = findTrackerControl(controlId);
    return info ? &(this->*(info->member)) : nullptr;
}

const FormControl* TrackerForm::control(int controlId) const {
    const TrackerControlInfo* info = findTrackerControl(controlId);
    return info ? &(this->*(info->member)) : nullptr;
}

void startTrackerForm(TrackerForm& form, Session& session, int firstProfile) {
    const DeviceTarget& target = session.target;
    const TargetKind kind = target.kind;

    form.exportEntry = target.settingsSize == 512;

    // A fresh dialog: north and west, and the units the user chose last. The
    // unit labels follow the units from the start, not only after a switch.
    form.south = false;
    form.west = true;
    form.latHemisphere.text = "N";
    form.lonHemisphere.text = "W";
    setUnitLabels(form, session.metric);

    form.audioLevel.position = 0;
    form.usbKiss.visible = false;
    form.symbolList.entries = symbolListEntries();

    if (target.featureMask & kFeatureWaypoints) {
        show(form, {id::kWaypoints, id::kWaypointNameLength});
        form.waypointNameLength.entries = waypointNameLengthEntries();
        form.waypointNameLength.selected =
            ConstProfileRecord(session.settings.profile(firstProfile), kind).waypointNameLengthIndex();
        show(form, {id::kWaypointGroup, id::kWaypointCharsLabel, id::kRange, id::kRangeEnabled, id::kRangeLabel,
                    id::kRangeUnitLabel, id::kCustomSymbols});
    }

    form.diagnosticsButton.enabled = (target.featureMask & kFeatureDiagnostics) && session.link.connected;
    form.externalSquelch.visible = true;

    if (hasSerialPorts(kind)) {
        form.customSymbols.enabled = true;
        show(form, {id::kPortALabel, id::kPortBLabel, id::kSpeedLabel, id::kModeLabel, id::kScriptButton});
        enable(form, {id::kRangeLabel, id::kRangeUnitLabel, id::kRange, id::kRangeEnabled});
        show(form, {id::kPortASpeed, id::kPortBSpeed});
        form.portASpeed.entries = portSpeedEntries();
        form.portBSpeed.entries = portSpeedEntries();
        show(form, {id::kSerialGroup, id::kFahrenheit, id::kAutoBaud, id::kSavePosition, id::kExternalSquelch,
                    id::kSkipLabel, id::kSkipUnitLabel, id::kSkipCount, id::kAccessListButton});
        // These chips use ioFlags bit 0 for custom waypoint symbols and keep
        // no active-low choice for the power output, so the box is not
        // offered: its state would be dropped on every store.
        form.powerActiveLow.visible = false;
    }
    if (kind == KindAP64 || kind == KindJM128) form.digipeaterButton.visible = true;
    if (hasSerialPorts(kind)) {
        show(form, {id::kPortAMode, id::kPortBMode});
        form.portAMode.entries = portModeEntries(kind, false);
        form.portBMode.entries = portModeEntries(kind, true);
    }
    if (kind == KindJM60) form.usbKiss.visible = true;

    form.firmwareFileButton.enabled = session.link.connected;
    form.firmwareNetworkButton.enabled = session.link.connected;
    form.writeButton.text = session.link.connected ? msg::kWrite : msg::kConnect;

    selectTrackerProfile(form, session, firstProfile);
}

void selectTrackerProfile(TrackerForm& form, Session& session, int profile) {
    session.currentProfile = profile == 0 ? 0 : 1;
    form.tabs.position = session.currentProfile;
    form.copyButton.text = session.currentProfile == 0 ? msg::kCopyFromProfile2 : msg::kCopyFromProfile1;
    showProfile(session, form);
}

bool changeTrackerTab(TrackerForm& form, Session& session, UserInterface& ui, int tab) {
    if (checkAndStore(form, session, ui) != 0) return false;
    selectTrackerProfile(form, session, tab);
    return true;
}

bool changeTrackerUnits(TrackerForm& form, Session& session, UserInterface& ui, bool metric) {
    setUnitLabels(form, metric);
    if (checkAndStore(form, session, ui) != 0) {
        // The boxes still hold values in the old units: say so.
        setUnitLabels(form, session.metric);
        return false;
    }
    session.metric = metric;
    showProfile(session, form);
    return true;
}

void copyOtherProfile(TrackerForm& form, Session& session) {
    const int other = session.currentProfile == 0 ? 1 : 0;
    ProfileRecord(session.profile(), session.target.kind)
        .copyFrom(ConstProfileRecord(session.settings.profile(other), session.target.kind));
    showProfile(session, form);
}

void trackerControlChanged(TrackerForm& form, int changed) {
    switch (changed) {
    case id::kSmartBeaconing:
        form.smartBeaconingButton.enabled = form.smartBeaconing.checked;
        form.beaconInterval.enabled = !form.smartBeaconing.checked;
        break;
    case id::kGpsRadio:
    case id::kFixedRadio: {
        const bool fixed = changed == id::kFixedRadio ? form.fixedRadio.checked : !form.gpsRadio.checked;
        form.fixedRadio.checked = fixed;
        form.gpsRadio.checked = !fixed;
        for (int i : kPositionControls) form.control(i)->enabled = fixed;
        break;
    }
    case id::kLatHemisphere: toggleHemisphere(form.south, form.latHemisphere, "N", "S"); break;
    case id::kLonHemisphere: toggleHemisphere(form.west, form.lonHemisphere, "E", "W"); break;
    case id::kCommentRadio:
    case id::kStatusRadio: {
        const bool status = changed == id::kStatusRadio ? form.statusRadio.checked : !form.commentRadio.checked;
        form.statusRadio.checked = status;
        form.commentRadio.checked = !status;
        form.statusEvery.enabled = status;
        break;
    }
    case id::kBaud1200:
    case id::kBaud300: {
        const bool slow = changed == id::kBaud300 ? form.baud300.checked : !form.baud1200.checked;
        form.baud300.checked = slow;
        form.baud1200.checked = !slow;
        break;
    }
    case id::kTimestampDhm:
    case id::kTimestampHms: {
        const bool hms = changed == id::kTimestampHms ? form.timestampHms.checked : !form.timestampDhm.checked;
        form.timestampHms.checked = hms;
        form.timestampDhm.checked = !hms;
        break;
    }
    case id::kTelemetry: form.telemetryEvery.enabled = form.telemetry.checked; break;
    case id::kRangeEnabled: form.range.enabled = form.rangeEnabled.checked; break;
    case id::kSymbolList: {
        const int row = form.symbolList.selected;
        if (row >= 0 && row < static_cast<int>(kAprsSymbols.size())) {
            form.symbolTable.text = std::string(1, kAprsSymbols[row].table);
            form.symbolCode.text = std::string(1, kAprsSymbols[row].code);
        }
        break;
    }
    case id::kCarrierMultiplier: {
        long long n = readFormInt(std::string_view(form.carrierMultiplier.text).substr(0, 5));
        if (n == kNotANumber) n = 0;  // nothing to show yet; OK refuses it
        if (n > 255 || n < 0) n = 255;
        char text[64];
        std::snprintf(text, sizeof text, msg::kCarrierHzFormat, n * 31.25);
        form.carrierHzLabel.text = text;
        break;
    }
    default: break;
    }
}

}  // namespace varnel
