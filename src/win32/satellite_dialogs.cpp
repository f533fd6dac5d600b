#include "win32/satellite_dialogs.h"

namespace varnel::win32 {

CSmartBeaconDialog::CSmartBeaconDialog(AppContext& context)
    : FormDialog(L"SmartBeaconDialog", kSmartBeaconControls, smartBeaconControlChanged), context_(context) {}
void CSmartBeaconDialog::showForm(SmartBeaconForm& form) { showSmartBeacon(context_.session, form); }
int CSmartBeaconDialog::storeForm(const SmartBeaconForm& form) {
    return checkAndStoreSmartBeacon(form, context_.session, context_.ui);
}

CFrequencyDialog::CFrequencyDialog(AppContext& context)
    : FormDialog(L"FrequencyDialog", kFrequencyControls, nullptr), context_(context) {}
void CFrequencyDialog::showForm(FrequencyForm& form) { showFrequencies(context_.session, form); }
int CFrequencyDialog::storeForm(const FrequencyForm& form) {
    return checkAndStoreFrequencies(form, context_.session, context_.ui);
}

CStatusTextDialog::CStatusTextDialog(AppContext& context)
    : FormDialog(L"StatusTextDialog", kStatusTextControls, nullptr), context_(context) {}
void CStatusTextDialog::showForm(StatusTextForm& form) { showStatusTexts(context_.session, form); }
int CStatusTextDialog::storeForm(const StatusTextForm& form) {
    storeStatusTexts(form, context_.session);
    return 0;
}

CAccessListDialog::CAccessListDialog(AppContext& context)
    : FormDialog(L"AccessListDialog", kAccessListControls, nullptr), context_(context) {}
void CAccessListDialog::showForm(AccessListForm& form) { showAccessList(context_.session, form); }
int CAccessListDialog::storeForm(const AccessListForm& form) {
    return checkAndStoreAccessList(form, context_.session, context_.ui);
}
void CAccessListDialog::setUp() {
    using access_list_id::entry;
    upperCaseEdits({entry(1), entry(2), entry(3), entry(4), entry(5), entry(6)});
}

CDigipeaterDialog::CDigipeaterDialog(AppContext& context)
    : FormDialog(L"DigipeaterDialog", kDigipeaterControls, nullptr), context_(context) {}
void CDigipeaterDialog::showForm(DigipeaterForm& form) { showDigipeater(context_.session, form); }
int CDigipeaterDialog::storeForm(const DigipeaterForm& form) {
    return checkAndStoreDigipeater(form, context_.session, context_.ui);
}
void CDigipeaterDialog::setUp() {
    for (const digipeater_id::Row& row : digipeater_id::kRows) {
        upperCaseEdits({row.alias});
        digitEdits({row.hops});
    }
}

CProfileSwitchDialog::CProfileSwitchDialog(AppContext& context)
    : FormDialog(L"ProfileSwitchDialog", kProfileSwitchControls, profileSwitchControlChanged), context_(context) {}
void CProfileSwitchDialog::showForm(ProfileSwitchForm& form) { showProfileSwitch(context_.session, form); }
int CProfileSwitchDialog::storeForm(const ProfileSwitchForm& form) {
    return checkAndStoreProfileSwitch(form, context_.session, context_.ui);
}

}  // namespace varnel::win32
