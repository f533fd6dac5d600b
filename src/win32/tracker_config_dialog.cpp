#include "win32/tracker_config_dialog.h"

#include "config/profile_record.h"
#include "forms/common/form_numbers.h"
#include "forms/tracker/tracker_control_ids.h"
#include "session/session.h"
#include "win32/registry_settings.h"
#include "win32/satellite_dialogs.h"

namespace varnel::win32 {

namespace id = tracker_id;

CTrackerConfigDialog::CTrackerConfigDialog(WindowContext& context)
    : FormDialog(L"TrackerConfigDialog", kTrackerControls, trackerControlChanged), context_(context) {}

void CTrackerConfigDialog::showForm(TrackerForm& form) {
    // The units are the ones the user chose last time, whatever the session
    // started with.
    context_.session.metric = context_.settings.metric();
    startTrackerForm(form, context_.session);
}

int CTrackerConfigDialog::storeForm(const TrackerForm& form) {
    return checkAndStore(form, context_.session, context_.ui);
}

void CTrackerConfigDialog::setUp() { addAboutEntry(); }

void CTrackerConfigDialog::onCommand(int controlId, int code, HWND control) {
    if (binding().updating()) return;
    switch (controlId) {
    case id::kExitButton: end(IDCANCEL); return;
    case id::kSmartBeaconingButton: onSmartBeaconing(); return;
    case id::kFreqButton: CFrequencyDialog(context_).run(window()); return;
    case id::kMoreTextsButton: CStatusTextDialog(context_).run(window()); return;
    case id::kAccessListButton: CAccessListDialog(context_).run(window()); return;
    case id::kDigipeaterButton: CDigipeaterDialog(context_).run(window()); return;
    case id::kProfileSwitchButton: CProfileSwitchDialog(context_).run(window()); return;
    case id::kCopyButton:
        readControls();
        copyOtherProfile(mutableForm(), context_.session);
        showControls();
        return;
    case id::kLatHemisphere:
    case id::kLonHemisphere: changed(controlId); return;
    default: break;
    }
    const ControlInfo<TrackerForm>* row = binding().row(controlId);
    if (!row) return;
    switch (row->type) {
    case ControlType::Edit:
        if (code == EN_CHANGE) changed(controlId);
        break;
    case ControlType::Check:
        if (code == BN_CLICKED) changed(controlId);
        break;
    case ControlType::Radio:
        // Only the button turned on reports the change.
        if (code != BN_CLICKED || SendMessageW(control, BM_GETCHECK, 0, 0) != BST_CHECKED) break;
        if (controlId == id::kMetricRadio || controlId == id::kImperialRadio) onUnitsChosen(controlId == id::kMetricRadio);
        else changed(controlId);
        break;
    case ControlType::List:
        if (code == CBN_SELCHANGE) changed(controlId);
        break;
    default: break;
    }
}

LRESULT CTrackerConfigDialog::onNotify(const NMHDR& header) {
    if (header.code != TCN_SELCHANGE || static_cast<int>(header.idFrom) != id::kTabs) return 0;
    const int tab = static_cast<int>(SendMessageW(header.hwndFrom, TCM_GETCURSEL, 0, 0));
    if (tab == form().tabs.position) return 0;
    readControls();
    // A refused change leaves the form on its old tab; showing it moves the
    // tab control back.
    changeTrackerTab(mutableForm(), context_.session, context_.ui, tab);
    showControls();
    return 0;
}

void CTrackerConfigDialog::onSmartBeaconing() {
    CSmartBeaconDialog(context_).run(window());
    // OK or Cancel, the window may have stored the transmit interval (it is
    // the high-speed rate); the page shows what the record now holds.
    readControls();
    mutableForm().beaconInterval.text =
        formatInt(ConstProfileRecord(context_.session.profile(), context_.session.target.kind).beaconInterval());
    showControls();
}

void CTrackerConfigDialog::onUnitsChosen(bool metric) {
    readControls();
    changeTrackerUnits(mutableForm(), context_.session, context_.ui, metric);
    // The choice is remembered even when a value on the page kept the
    // display in the old units.
    context_.settings.setMetric(metric);
    showControls();
}

}  // namespace varnel::win32
