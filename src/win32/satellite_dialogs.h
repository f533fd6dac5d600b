#pragma once

#include "shell/app_context.h"
#include "shell/satellite_windows.h"
#include "win32/form_dialog.h"

namespace varnel::win32 {

// The windows the main tracker dialog opens from its buttons, each a
// template (made from res/*_dialog.ui) over its description in
// shell/satellite_windows.h.

class CSmartBeaconDialog : public FormDialog<SmartBeaconForm> {
public:
    explicit CSmartBeaconDialog(AppContext& context) : FormDialog(L"SmartBeaconDialog", context, kSmartBeaconWindow) {}
};

class CFrequencyDialog : public FormDialog<FrequencyForm> {
public:
    explicit CFrequencyDialog(AppContext& context) : FormDialog(L"FrequencyDialog", context, kFrequencyWindow) {}
};

class CStatusTextDialog : public FormDialog<StatusTextForm> {
public:
    explicit CStatusTextDialog(AppContext& context) : FormDialog(L"StatusTextDialog", context, kStatusTextWindow) {}
};

class CAccessListDialog : public FormDialog<AccessListForm> {
public:
    explicit CAccessListDialog(AppContext& context) : FormDialog(L"AccessListDialog", context, kAccessListWindow) {}
};

class CDigipeaterDialog : public FormDialog<DigipeaterForm> {
public:
    explicit CDigipeaterDialog(AppContext& context) : FormDialog(L"DigipeaterDialog", context, kDigipeaterWindow) {}
};

class CProfileSwitchDialog : public FormDialog<ProfileSwitchForm> {
public:
    explicit CProfileSwitchDialog(AppContext& context)
        : FormDialog(L"ProfileSwitchDialog", context, kProfileSwitchWindow) {}
};

}  // namespace varnel::win32
