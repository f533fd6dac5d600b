#pragma once

#include <memory>

#include "forms/tracker/tracker_controls.h"
#include "shell/tracker_window.h"
#include "web/form_binding.h"
#include "web/page_window.h"

namespace varnel::web {

// The main tracker window (families 0 and 2): its elements bound through
// the tracker form's table, its events forwarded to the shell's
// TrackerWindow.
class CTrackerConfigDialog : public PageView<TrackerView> {
public:
    CTrackerConfigDialog(PageLoop& loop, AppContext& context)
        : PageView(loop, "TrackerConfigDialog"), window_(context, *this) {}

    void readForm(TrackerForm& form) override { binding_->fromControls(form); }
    void showForm(const TrackerForm& form) override { binding_->toControls(form); }
    void showTitle(const std::string& title) override { setTitle(title); }

private:
    void onOpen() override;
    void onClick(const std::string& name) override;
    void onChange(const std::string& name) override;
    void onTab(const std::string& name, int index) override;
    void onClose() override { window_.exitRequested(); }

    TrackerWindow window_;
    std::unique_ptr<FormBinding<TrackerForm>> binding_;
};

}  // namespace varnel::web
