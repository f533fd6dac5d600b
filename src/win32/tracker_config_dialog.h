#pragma once

#include "forms/tracker/tracker_controls.h"
#include "forms/tracker/tracker_form.h"
#include "win32/form_dialog.h"
#include "win32/window_context.h"

namespace varnel::win32 {

// The main tracker dialog (families 0 and 2): the current profile on two
// tabs, every control bound through the tracker form's table, every rule in
// the form; the windows of settings that do not fit it open from its buttons.
class CTrackerConfigDialog : public FormDialog<TrackerForm> {
public:
    explicit CTrackerConfigDialog(WindowContext& context);

private:
    void showForm(TrackerForm& form) override;
    int storeForm(const TrackerForm& form) override;
    void setUp() override;
    void onCommand(int id, int code, HWND control) override;
    LRESULT onNotify(const NMHDR& header) override;

    void onSmartBeaconing();
    void onUnitsChosen(bool metric);

    WindowContext& context_;
};

}  // namespace varnel::win32
