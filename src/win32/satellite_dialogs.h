#pragma once

#include "forms/satellite/access_list_form.h"
#include "forms/satellite/digipeater_form.h"
#include "forms/satellite/frequency_form.h"
#include "forms/satellite/profile_switch_form.h"
#include "forms/satellite/smart_beacon_form.h"
#include "forms/satellite/status_text_form.h"
#include "win32/form_dialog.h"
#include "shell/app_context.h"
#include "session/session.h"

namespace varnel::win32 {

// The windows the main tracker dialog opens from its buttons. Each edits the
// session's records in place (the current profile where a setting is per
// profile) and stores on OK; their templates come from res/*_dialog.ui.

class CSmartBeaconDialog : public FormDialog<SmartBeaconForm> {
public:
    explicit CSmartBeaconDialog(AppContext& context);

private:
    void showForm(SmartBeaconForm& form) override;
    int storeForm(const SmartBeaconForm& form) override;
    AppContext& context_;
};

class CFrequencyDialog : public FormDialog<FrequencyForm> {
public:
    explicit CFrequencyDialog(AppContext& context);

private:
    void showForm(FrequencyForm& form) override;
    int storeForm(const FrequencyForm& form) override;
    AppContext& context_;
};

class CStatusTextDialog : public FormDialog<StatusTextForm> {
public:
    explicit CStatusTextDialog(AppContext& context);

private:
    void showForm(StatusTextForm& form) override;
    int storeForm(const StatusTextForm& form) override;
    AppContext& context_;
};

class CAccessListDialog : public FormDialog<AccessListForm> {
public:
    explicit CAccessListDialog(AppContext& context);

private:
    void showForm(AccessListForm& form) override;
    int storeForm(const AccessListForm& form) override;
    void setUp() override;
    AppContext& context_;
};

class CDigipeaterDialog : public FormDialog<DigipeaterForm> {
public:
    explicit CDigipeaterDialog(AppContext& context);

private:
    void showForm(DigipeaterForm& form) override;
    int storeForm(const DigipeaterForm& form) override;
    void setUp() override;
    AppContext& context_;
};

class CProfileSwitchDialog : public FormDialog<ProfileSwitchForm> {
public:
    explicit CProfileSwitchDialog(AppContext& context);

private:
    void showForm(ProfileSwitchForm& form) override;
    int storeForm(const ProfileSwitchForm& form) override;
    AppContext& context_;
};

}  // namespace varnel::win32
