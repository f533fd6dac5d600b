#pragma once

#include <memory>

#include "shell/app_context.h"
#include "shell/satellite_windows.h"
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

// The windows the main tracker dialog opens from its buttons, each a layout
// (res/*_dialog.ui) over its description in shell/satellite_windows.h.

class CSmartBeaconDialog : public FormDialog<SmartBeaconForm> {
public:
    explicit CSmartBeaconDialog(AppContext& context, QWidget* parent = nullptr);
    ~CSmartBeaconDialog() override;

private:
    std::unique_ptr<Ui::SmartBeaconDialog> ui_;
};

class CFrequencyDialog : public FormDialog<FrequencyForm> {
public:
    explicit CFrequencyDialog(AppContext& context, QWidget* parent = nullptr);
    ~CFrequencyDialog() override;

private:
    std::unique_ptr<Ui::FrequencyDialog> ui_;
};

class CStatusTextDialog : public FormDialog<StatusTextForm> {
public:
    explicit CStatusTextDialog(AppContext& context, QWidget* parent = nullptr);
    ~CStatusTextDialog() override;

private:
    std::unique_ptr<Ui::StatusTextDialog> ui_;
};

class CAccessListDialog : public FormDialog<AccessListForm> {
public:
    explicit CAccessListDialog(AppContext& context, QWidget* parent = nullptr);
    ~CAccessListDialog() override;

private:
    std::unique_ptr<Ui::AccessListDialog> ui_;
};

class CDigipeaterDialog : public FormDialog<DigipeaterForm> {
public:
    explicit CDigipeaterDialog(AppContext& context, QWidget* parent = nullptr);
    ~CDigipeaterDialog() override;

private:
    std::unique_ptr<Ui::DigipeaterDialog> ui_;
};

class CProfileSwitchDialog : public FormDialog<ProfileSwitchForm> {
public:
    explicit CProfileSwitchDialog(AppContext& context, QWidget* parent = nullptr);
    ~CProfileSwitchDialog() override;

private:
    std::unique_ptr<Ui::ProfileSwitchDialog> ui_;
};

}  // namespace varnel
