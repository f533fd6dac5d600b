#include "shell/tracker_window.h"

#include <cstdio>

#include "config/profile_record.h"
#include "core/user_interface.h"
#include "forms/common/form_numbers.h"
#include "forms/diagnostics/diagnostics_form.h"
#include "forms/tracker/tracker_controls.h"
#include "forms/tracker/tracker_messages.h"
#include "session/config_file.h"
#include "session/session.h"
#include "shell/config_commands.h"
#include "shell/firmware_sequences.h"

namespace varnel {

void TrackerWindow::start() {
    context_.session.metric = context_.settings.metric();
    startTrackerForm(form_, context_.session);
    view_.showTitle(settingsDialogTitle(tracker_message::kWindowTitle, context_.session));
    view_.showForm(form_);
}

int TrackerWindow::checkAndStoreControls() {
    view_.readForm(form_);
    return checkAndStore(form_, context_.session, context_.ui);
}

void TrackerWindow::endIfReconnect(int result) {
    if (result == kResultReconnect) view_.end(kResultReconnect);
}

void TrackerWindow::clicked(int controlId) {
    namespace id = tracker_id;
    static constexpr std::pair<int, WindowKind> kWindows[] = {
        {id::kScriptButton, WindowKind::ScriptEditor},
        {id::kSmartBeaconingButton, WindowKind::SmartBeacon},
        {id::kFreqButton, WindowKind::Frequency},
        {id::kMoreTextsButton, WindowKind::StatusText},
        {id::kAccessListButton, WindowKind::AccessList},
        {id::kDigipeaterButton, WindowKind::Digipeater},
        {id::kProfileSwitchButton, WindowKind::ProfileSwitch},
    };
    for (const auto& [button, kind] : kWindows)
        if (controlId == button) return windowPressed(kind);
    switch (controlId) {
    case id::kWriteButton: return writePressed();
    case id::kExitButton: return exitRequested();
    case id::kCopyButton: return copyPressed();
    case id::kSaveButton: return saveFilePressed();
    case id::kLoadButton: return loadFilePressed();
    case id::kBackupsButton: return backupsPressed();
    case id::kFirmwareFileButton: return firmwarePressed(false);
    case id::kFirmwareNetworkButton: return firmwarePressed(true);
    case id::kDiagnosticsButton: return diagnosticsPressed();
    case id::kMetricRadio: return unitsChosen(true);
    case id::kImperialRadio: return unitsChosen(false);
    case id::kLatHemisphere:
    case id::kLonHemisphere: return controlChanged(controlId);
    default: break;
    }
    const TrackerControlInfo* row = findTrackerControl(controlId);
    if (row && (row->type == ControlType::Check || row->type == ControlType::Radio)) controlChanged(controlId);
}

void TrackerWindow::edited(int controlId) {
    // A slider's value is shown by the layout's own label; it redraws nothing
    // of the form.
    const TrackerControlInfo* row = findTrackerControl(controlId);
    if (!row) return;
    if (row->type == ControlType::Edit || row->type == ControlType::DigitEdit || row->type == ControlType::List)
        controlChanged(controlId);
}

void TrackerWindow::controlChanged(int controlId) {
    view_.readForm(form_);
    trackerControlChanged(form_, controlId);
    view_.showForm(form_);
}

void TrackerWindow::tabChanged(int tab) {
    if (tab == form_.tabs.position) return;
    view_.readForm(form_);
    // A refused change leaves the form on its old tab; showing it moves the
    // tab bar back.
    changeTrackerTab(form_, context_.session, context_.ui, tab);
    view_.showForm(form_);
}

void TrackerWindow::unitsChosen(bool metric) {
    view_.readForm(form_);
    changeTrackerUnits(form_, context_.session, context_.ui, metric);
    // The choice is remembered even when a value on the page kept the
    // display in the old units.
    context_.settings.setMetric(metric);
    view_.showForm(form_);
}

void TrackerWindow::writePressed() {
    if (checkAndStoreControls() != 0) return;
    endIfReconnect(writeOrConnect(context_, ConfigFlavour::Tracker));
}

void TrackerWindow::exitRequested() {
    view_.readForm(form_);
    const int result = leaveConfigWindow(context_, ConfigFlavour::Tracker, [this](UserInterface& ui) {
        return checkAndStore(form_, context_.session, ui);
    });
    if (result != kStayOpen) view_.end(result);
}

void TrackerWindow::copyPressed() {
    // The profile shown is replaced whole, edits in its boxes included.
    const int shown = context_.session.currentProfile + 1;
    char question[96];
    std::snprintf(question, sizeof question, "Replace Profile %d with a copy of Profile %d?", shown, 3 - shown);
    if (!context_.ui.askYesNoDefaultNo(question)) return;
    copyOtherProfile(form_, context_.session);
    view_.showForm(form_);
}

void TrackerWindow::saveFilePressed() {
    checkAndStoreControls();
    saveConfigCommand(context_, ConfigFlavour::Tracker);
}

void TrackerWindow::loadFilePressed() {
    if (!loadConfigCommand(context_, ConfigFlavour::Tracker)) return;
    showProfile(context_.session, form_);
    view_.showForm(form_);
}

void TrackerWindow::backupsPressed() {
    if (!backupsCommand(context_)) return;
    showProfile(context_.session, form_);
    view_.showForm(form_);
}

void TrackerWindow::firmwarePressed(bool fromNetwork) {
    const CheckAndStore store = [this] { return checkAndStoreControls(); };
    endIfReconnect(fromNetwork ? loadFirmwareFromNetwork(context_, ConfigFlavour::Tracker, store)
                               : loadFirmwareFromFile(context_, ConfigFlavour::Tracker, store));
}

void TrackerWindow::diagnosticsPressed() {
    view_.readForm(form_);
    ProfileRecord p(context_.session.profile(), context_.session.target.kind);
    DiagnosticsSettings settings = trackerDiagnosticsSettings({p.data(), p.kind()});
    context_.windows.runDiagnostics(context_, settings);
    storeTrackerDiagnosticsSettings(p, settings);
    form_.audioLevel.position = settings.audioLevel;
    view_.showForm(form_);
}

void TrackerWindow::windowPressed(WindowKind kind) {
    context_.windows.run(kind, context_);
    if (kind != WindowKind::SmartBeacon) return;
    // OK or Cancel, the window may have stored the transmit interval (it is
    // the high-speed rate); the page shows what the record now holds.
    view_.readForm(form_);
    form_.beaconInterval.text =
        formatInt(ConstProfileRecord(context_.session.profile(), context_.session.target.kind).beaconInterval());
    view_.showForm(form_);
}

void TrackerWindow::exportPressed() { exportFirmware(context_); }

void TrackerWindow::keyPressed(unsigned code, unsigned keyData) {
    char text[32];
    std::snprintf(text, sizeof text, tracker_message::kKeyEchoFormat, code, keyData);
    context_.ui.message(text);
}

}  // namespace varnel
