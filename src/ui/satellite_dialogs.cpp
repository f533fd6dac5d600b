#include "ui/satellite_dialogs.h"

#include "ui_access_list_dialog.h"
#include "ui_digipeater_dialog.h"
#include "ui_frequency_dialog.h"
#include "ui_profile_switch_dialog.h"
#include "ui_smart_beacon_dialog.h"
#include "ui_status_text_dialog.h"

namespace varnel {

CSmartBeaconDialog::CSmartBeaconDialog(AppContext& context, QWidget* parent)
    : FormDialog(parent, context, kSmartBeaconWindow), ui_(std::make_unique<Ui::SmartBeaconDialog>()) {
    ui_->setupUi(this);
    bindLayout(*ui_->buttonBox);
}
CSmartBeaconDialog::~CSmartBeaconDialog() = default;

CFrequencyDialog::CFrequencyDialog(AppContext& context, QWidget* parent)
    : FormDialog(parent, context, kFrequencyWindow), ui_(std::make_unique<Ui::FrequencyDialog>()) {
    ui_->setupUi(this);
    bindLayout(*ui_->buttonBox);
}
CFrequencyDialog::~CFrequencyDialog() = default;

CStatusTextDialog::CStatusTextDialog(AppContext& context, QWidget* parent)
    : FormDialog(parent, context, kStatusTextWindow), ui_(std::make_unique<Ui::StatusTextDialog>()) {
    ui_->setupUi(this);
    bindLayout(*ui_->buttonBox);
}
CStatusTextDialog::~CStatusTextDialog() = default;

CAccessListDialog::CAccessListDialog(AppContext& context, QWidget* parent)
    : FormDialog(parent, context, kAccessListWindow), ui_(std::make_unique<Ui::AccessListDialog>()) {
    ui_->setupUi(this);
    bindLayout(*ui_->buttonBox);
}
CAccessListDialog::~CAccessListDialog() = default;

CDigipeaterDialog::CDigipeaterDialog(AppContext& context, QWidget* parent)
    : FormDialog(parent, context, kDigipeaterWindow), ui_(std::make_unique<Ui::DigipeaterDialog>()) {
    ui_->setupUi(this);
    bindLayout(*ui_->buttonBox);
}
CDigipeaterDialog::~CDigipeaterDialog() = default;

CProfileSwitchDialog::CProfileSwitchDialog(AppContext& context, QWidget* parent)
    : FormDialog(parent, context, kProfileSwitchWindow), ui_(std::make_unique<Ui::ProfileSwitchDialog>()) {
    ui_->setupUi(this);
    bindLayout(*ui_->buttonBox);
}
CProfileSwitchDialog::~CProfileSwitchDialog() = default;

}  // namespace varnel
