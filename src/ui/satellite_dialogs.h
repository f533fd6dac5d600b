#pragma once

#include <memory>

#include "forms/satellite/access_list_form.h"
#include "forms/satellite/digipeater_form.h"
#include "forms/satellite/frequency_form.h"
#include "forms/satellite/profile_switch_form.h"
#include "forms/satellite/smart_beacon_form.h"
#include "forms/satellite/status_text_form.h"
#include "shell/app_context.h"
#include "ui/form_dialog.h"

namespace Ui {
class SmartBeaconDialog;
class FrequencyDialog;
class StatusTextDialog;
class AccessListDialog;
class DigipeaterDialog;
class ProfileSwitchDialog;
}  // namespace Ui

namespace varnel {

// The windows the main tracker dialog opens from its buttons. Each edits the
// session's records in place (the current profile where a setting is per
// profile) and stores on OK; their layouts are res/*_dialog.ui.

class CSmartBeaconDialog : public FormDialog<SmartBeaconForm> {
public:
    CSmartBeaconDialog(AppContext& context, QWidget* parent = nullptr);
    ~CSmartBeaconDialog() override;

private:
    void showForm(SmartBeaconForm& form) override { showSmartBeacon(context_.session, form); }
    int storeForm(const SmartBeaconForm& form) override {
        return checkAndStoreSmartBeacon(form, context_.session, context_.ui);
    }
    AppContext& context_;
    std::unique_ptr<Ui::SmartBeaconDialog> ui_;
};

class CFrequencyDialog : public FormDialog<FrequencyForm> {
public:
    CFrequencyDialog(AppContext& context, QWidget* parent = nullptr);
    ~CFrequencyDialog() override;

private:
    void showForm(FrequencyForm& form) override { showFrequencies(context_.session, form); }
    int storeForm(const FrequencyForm& form) override {
        return checkAndStoreFrequencies(form, context_.session, context_.ui);
    }
    AppContext& context_;
    std::unique_ptr<Ui::FrequencyDialog> ui_;
};

class CStatusTextDialog : public FormDialog<StatusTextForm> {
public:
    CStatusTextDialog(AppContext& context, QWidget* parent = nullptr);
    ~CStatusTextDialog() override;

private:
    void showForm(StatusTextForm& form) override { showStatusTexts(context_.session, form); }
    int storeForm(const StatusTextForm& form) override {
        storeStatusTexts(form, context_.session);
        return 0;
    }
    AppContext& context_;
    std::unique_ptr<Ui::StatusTextDialog> ui_;
};

class CAccessListDialog : public FormDialog<AccessListForm> {
public:
    CAccessListDialog(AppContext& context, QWidget* parent = nullptr);
    ~CAccessListDialog() override;

private:
    void showForm(AccessListForm& form) override { showAccessList(context_.session, form); }
    int storeForm(const AccessListForm& form) override {
        storeAccessList(form, context_.session);
        return 0;
    }
    AppContext& context_;
    std::unique_ptr<Ui::AccessListDialog> ui_;
};

class CDigipeaterDialog : public FormDialog<DigipeaterForm> {
public:
    CDigipeaterDialog(AppContext& context, QWidget* parent = nullptr);
    ~CDigipeaterDialog() override;

private:
    void showForm(DigipeaterForm& form) override { showDigipeater(context_.session, form); }
    int storeForm(const DigipeaterForm& form) override {
        return checkAndStoreDigipeater(form, context_.session, context_.ui);
    }
    AppContext& context_;
    std::unique_ptr<Ui::DigipeaterDialog> ui_;
};

class CProfileSwitchDialog : public FormDialog<ProfileSwitchForm> {
public:
    CProfileSwitchDialog(AppContext& context, QWidget* parent = nullptr);
    ~CProfileSwitchDialog() override;

private:
    void showForm(ProfileSwitchForm& form) override { showProfileSwitch(context_.session, form); }
    int storeForm(const ProfileSwitchForm& form) override {
        return checkAndStoreProfileSwitch(form, context_.session, context_.ui);
    }
    AppContext& context_;
    std::unique_ptr<Ui::ProfileSwitchDialog> ui_;
};

}  // namespace varnel
