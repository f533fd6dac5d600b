#pragma once

#include <memory>

#include "forms/tracker/tracker_controls.h"
#include "shell/tracker_window.h"
#include "win32/form_binding.h"
#include "win32/group_collapse.h"
#include "win32/win32_text.h"
#include "win32/window_host.h"

namespace varnel::win32 {

// The main tracker dialog (families 0 and 2): its controls bound through the
// tracker form's table, its events forwarded to the shell's TrackerWindow.
class CTrackerConfigDialog : public ModalDialog, public DialogHost<TrackerView, CTrackerConfigDialog> {
public:
    explicit CTrackerConfigDialog(AppContext& context);
    ~CTrackerConfigDialog() override;

    void readForm(TrackerForm& form) override { binding_->fromControls(form); }
    void showForm(const TrackerForm& form) override {
        binding_->toControls(form);
        groups_->apply();
    }
    void showTitle(const std::string& title) override { SetWindowTextW(window(), wideFromUtf8(title).c_str()); }

    TrackerWindow& behaviour() { return window_; }
    const FormBinding<TrackerForm>& binding() const { return *binding_; }

private:
    void onInit() override;
    void onCommand(int id, int code, HWND control) override;
    LRESULT onNotify(const NMHDR& header) override;
    bool onSysCommand(unsigned command) override;
    // Ctrl+Tab and Ctrl+Shift+Tab turn the profile tabs, as in property
    // pages: the dialog's own loop hands every message to this hook first.
    static LRESULT CALLBACK tabKeys(int code, WPARAM wParam, LPARAM lParam);
    HHOOK tabKeysHook_ = nullptr;

    AppContext& context_;
    TrackerWindow window_;
    std::unique_ptr<FormBinding<TrackerForm>> binding_;
    // Boxes (serial ports, waypoints) and rows (the carrier multiplier, the
    // serial-port chips' options) are hidden on trackers without them.
    std::unique_ptr<GroupCollapse> groups_;
};

}  // namespace varnel::win32
