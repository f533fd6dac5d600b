#include "ui/satellite_dialogs.h"

#include "ui_access_list_dialog.h"
#include "ui_digipeater_dialog.h"
#include "ui_frequency_dialog.h"
#include "ui_profile_switch_dialog.h"
#include "ui_smart_beacon_dialog.h"
#include "ui_status_text_dialog.h"

namespace varnel {

CSmartBeaconDialog::CSmartBeaconDialog(AppContext& context, QWidget* parent)
    : FormDialog(parent, kSmartBeaconControls, smartBeaconControlChanged), context_(context),
      ui_(std::make_unique<Ui::SmartBeaconDialog>()) {
    ui_->setupUi(this);
    bindLayout(*ui_->buttonBox);
}
CSmartBeaconDialog::~CSmartBeaconDialog() = default;

CFrequencyDialog::CFrequencyDialog(AppContext& context, QWidget* parent)
    : FormDialog(parent, kFrequencyControls, nullptr), context_(context), ui_(std::make_unique<Ui::FrequencyDialog>()) {
    ui_->setupUi(this);
    bindLayout(*ui_->buttonBox);
}
CFrequencyDialog::~CFrequencyDialog() = default;

CStatusTextDialog::CStatusTextDialog(AppContext& context, QWidget* parent)
    : FormDialog(parent, kStatusTextControls, nullptr), context_(context),
      ui_(std::make_unique<Ui::StatusTextDialog>()) {
    ui_->setupUi(this);
    bindLayout(*ui_->buttonBox);
}
CStatusTextDialog::~CStatusTextDialog() = default;

CAccessListDialog::CAccessListDialog(AppContext& context, QWidget* parent)
    : FormDialog(parent, kAccessListControls, nullptr), context_(context),
      ui_(std::make_unique<Ui::AccessListDialog>()) {
    ui_->setupUi(this);
    bindLayout(*ui_->buttonBox);
    using access_list_id::entry;
    upperCaseEdits({entry(1), entry(2), entry(3), entry(4), entry(5), entry(6)});
}
CAccessListDialog::~CAccessListDialog() = default;

CDigipeaterDialog::CDigipeaterDialog(AppContext& context, QWidget* parent)
    : FormDialog(parent, kDigipeaterControls, nullptr), context_(context),
      ui_(std::make_unique<Ui::DigipeaterDialog>()) {
    ui_->setupUi(this);
    bindLayout(*ui_->buttonBox);
    for (const digipeater_id::Row& row : digipeater_id::kRows) {
        upperCaseEdits({row.alias});
        digitEdits({row.hops});
    }
}
CDigipeaterDialog::~CDigipeaterDialog() = default;

CProfileSwitchDialog::CProfileSwitchDialog(AppContext& context, QWidget* parent)
    : FormDialog(parent, kProfileSwitchControls, profileSwitchControlChanged), context_(context),
      ui_(std::make_unique<Ui::ProfileSwitchDialog>()) {
    ui_->setupUi(this);
    bindLayout(*ui_->buttonBox);
}
CProfileSwitchDialog::~CProfileSwitchDialog() = default;

}  // namespace varnel
