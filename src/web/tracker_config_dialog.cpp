#include "web/tracker_config_dialog.h"

#include "forms/tracker/tracker_control_ids.h"

namespace varnel::web {

namespace id = tracker_id;

void CTrackerConfigDialog::onOpen() {
    binding_ = std::make_unique<FormBinding<TrackerForm>>(token(), kTrackerControls);
    binding_->takeCaptions(window_.form());
    window_.start();
}

void CTrackerConfigDialog::onClick(const std::string& name) {
    static constexpr std::pair<int, WindowKind> kWindows[] = {
        {id::kScriptButton, WindowKind::ScriptEditor},   {id::kSmartBeaconingButton, WindowKind::SmartBeacon},
        {id::kFreqButton, WindowKind::Frequency},        {id::kMoreTextsButton, WindowKind::StatusText},
        {id::kAccessListButton, WindowKind::AccessList}, {id::kDigipeaterButton, WindowKind::Digipeater},
        {id::kProfileSwitchButton, WindowKind::ProfileSwitch},
    };
    const ControlInfo<TrackerForm>* row = binding_->row(name);
    if (!row || binding_->updating()) return;
    const int controlId = row->id;
    switch (row->type) {
    case ControlType::Button:
        for (const auto& [button, kind] : kWindows)
            if (controlId == button) return window_.windowPressed(kind);
        switch (controlId) {
        case id::kExitButton: return window_.exitRequested();
        case id::kWriteButton: return window_.writePressed();
        case id::kCopyButton: return window_.copyPressed();
        case id::kSaveButton: return window_.saveFilePressed();
        case id::kLoadButton: return window_.loadFilePressed();
        case id::kBackupsButton: return window_.backupsPressed();
        case id::kFirmwareFileButton: return window_.firmwarePressed(false);
        case id::kFirmwareNetworkButton: return window_.firmwarePressed(true);
        case id::kDiagnosticsButton: return window_.diagnosticsPressed();
        case id::kLatHemisphere:
        case id::kLonHemisphere: return window_.controlChanged(controlId);
        default: return;
        }
    case ControlType::Check: return window_.controlChanged(controlId);
    case ControlType::Radio:
        if (controlId == id::kMetricRadio || controlId == id::kImperialRadio)
            return window_.unitsChosen(controlId == id::kMetricRadio);
        return window_.controlChanged(controlId);
    default: return;
    }
}

void CTrackerConfigDialog::onChange(const std::string& name) {
    const ControlInfo<TrackerForm>* row = binding_->row(name);
    if (!row || binding_->updating()) return;
    if (row->type == ControlType::Edit || row->type == ControlType::DigitEdit || row->type == ControlType::List)
        window_.controlChanged(row->id);
}

void CTrackerConfigDialog::onTab(const std::string& name, int index) {
    if (name == "tabs") window_.tabChanged(index);
}

}  // namespace varnel::web
